// What every backend of platform/file.h shares.
#include "platform/file.h"
#include "platform/path_text.h"

namespace platform {

Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes) {
  const File file = TRY_VALUE(File::OpenRead(path));
  const std::int64_t size = TRY_VALUE(file.Size());
  if (static_cast<std::uint64_t>(size) > maxBytes) return Error{ErrorKind::FileTooLarge, PathToUtf8(path)};
  std::string text(static_cast<std::size_t>(size), '\0');
  text.resize(TRY_VALUE(file.ReadAt(0, std::as_writable_bytes(std::span(text)))));
  return text;
}

}  // namespace platform
