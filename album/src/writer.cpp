#include "album/writer.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/codepage.h"
#include "platform/file.h"

namespace fs = std::filesystem;
using platform::Error;
using platform::ErrorKind;
using platform::File;
using platform::Result;
using platform::Status;

namespace album {

std::string TrimSpaces(std::string_view text) {
  std::size_t b = text.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  std::size_t e = text.find_last_not_of(' ');
  return std::string(text.substr(b, e - b + 1));
}

std::optional<Refusal> CheckNameAndDescription(std::string_view albumName, std::string_view description) {
  if (TrimSpaces(albumName).empty()) return Refusal{"请先给你制作的专辑取个名字吧！", "无专辑名"};
  if (TrimSpaces(description).empty()) return Refusal{"请为你制作的专辑写个说明吧！", "无专辑说明"};
  return std::nullopt;
}

namespace {

constexpr std::size_t kCopyBlock = 1 << 20;

// Why `name` cannot be the album's file name, or empty when it can.
std::string AlbumNameProblem(const std::string& name) {
  if (!platform::IsValidUtf8(name)) return "the album name is not valid text";
  for (unsigned char c : name) {
    if (c == '/' || c == '\\') return "the album name must not contain \"/\" or \"\\\"";
    if (c < 0x20 && c != '\t') return "the album name must not contain control characters";
  }
  if (name.size() + 4 > 255) return "the album name is too long for a file name";
  return {};
}

// Why a song name (from the song's file name) cannot be stored, or empty when it can.
std::string SongNameProblem(const std::string& name) {
  if (name == "." || name == "..") return "the file name does not give a usable song name";
  if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
    return "the file name holds a line break";
  return {};
}

// Undoes a failed build: a file the build created goes away, an older file gets back the
// bytes the player overwrote and its old length.
class ImageGuard {
 public:
  ImageGuard(File& image, bool created) : image_(image), created_(created) {}
  ~ImageGuard() {
    if (committed_) return;
    if (created_) {
      std::error_code ec;
      fs::remove(image_.path(), ec);
    } else if (remembered_) {
      (void)image_.WriteAt(0, oldPrefix_);
      (void)image_.Truncate(oldLength_);
    }
  }
  // Keeps the older file's length and its first `overwritten` bytes for the undo.
  Status Remember(std::int64_t length, std::int64_t overwritten) {
    if (created_) return {};
    oldPrefix_.resize(static_cast<std::size_t>(std::min(length, overwritten)));
    if (Status st = image_.ReadExactlyAt(0, oldPrefix_); !st) return st;
    oldLength_ = length;
    remembered_ = true;
    return {};
  }
  void Commit() { committed_ = true; }

 private:
  File& image_;
  bool created_;
  bool remembered_ = false;
  std::vector<std::byte> oldPrefix_;
  std::int64_t oldLength_ = 0;
  bool committed_ = false;
};

}  // namespace

Status WriteIndexTrailer(File& image, const Index& index) {
  Result<std::int64_t> length = image.Size();
  if (!length) return length.error();
  if (length.value() != index.E - 1)
    return Error{ErrorKind::Other, image.path().string(), "the album does not end where its index says"};
  std::array<std::byte, kTrailerSize> trailer = BuildTrailer(index);
  return image.WriteAt(length.value(), trailer);
}

Result<BuildResult> BuildAlbumImage(const BuildRequest& request, const ProgressFn& progress) {
  auto report = [&](int value) {
    if (progress) progress(value);
  };
  if (std::optional<Refusal> refusal = CheckNameAndDescription(request.albumName, request.description))
    return Error{ErrorKind::BadName, "", refusal->text};

  BuildResult result;
  const std::string albumName = TrimSpaces(request.albumName);
  result.image = request.outputFolder / (albumName + ".exe");
  if (std::string problem = AlbumNameProblem(albumName); !problem.empty())
    return Error{ErrorKind::BadName, result.image.string(), problem};
  std::optional<std::string> title = platform::ToAnsi(albumName);
  std::optional<std::string> description = BuildDescriptionText(request.description);
  if (!description) return Error{ErrorKind::BadFormat, "", "the description is not valid text"};

  // Every source is opened and measured before the image is touched, so a missing or
  // unreadable file stops the build with nothing written.
  std::array<std::string, kSlotCount> ansiNames;
  std::vector<std::unique_ptr<File>> sources(22);  // pieces 2..21
  std::array<std::int64_t, 22> sizes{};
  for (int i = 1; i <= kSlotCount; ++i) {
    const SlotSources& slot = request.slots[i - 1];
    for (int lyrics = 0; lyrics < 2; ++lyrics) {
      const fs::path& path = lyrics ? slot.lyrics : slot.song;
      if (path.empty()) continue;
      int piece = lyrics ? 11 + i : 1 + i;
      Result<File> file = File::OpenRead(path);
      if (!file) return file.error();
      Result<std::int64_t> size = file.value().Size();
      if (!size) return size.error();
      sizes[piece] = size.value();
      sources[piece] = std::make_unique<File>(std::move(file).value());
    }
    if (slot.song.empty()) continue;
    std::optional<std::string> name = GetFileName(slot.song.string());
    if (!name) return Error{ErrorKind::BadName, slot.song.string(), "the file name is too short to form a song name"};
    if (std::string problem = SongNameProblem(*name); !problem.empty())
      return Error{ErrorKind::BadName, slot.song.string(), problem};
    std::optional<std::string> ansi = platform::ToAnsi(*name);
    if (!ansi) return Error{ErrorKind::BadName, slot.song.string(), "the file name is not valid text"};
    result.names[i - 1] = *name;
    ansiNames[i - 1] = *ansi;
  }

  std::error_code ec;
  if (fs::is_directory(result.image, ec))
    return Error{ErrorKind::BadName, result.image.string(), "a folder of that name is in the way"};
  for (const auto& source : sources) {
    if (source && fs::equivalent(source->path(), result.image, ec))
      return Error{ErrorKind::BadName, result.image.string(), "the album would overwrite one of its own files"};
  }

  bool created = false;
  Result<File> opened = File::OpenReadWrite(result.image, created);
  if (!opened) return opened.error();
  File& image = opened.value();
  // From here on every early return leaves the folder as it was.
  ImageGuard guard(image, created);
  Result<std::int64_t> oldSize = image.Size();
  if (!oldSize) return oldSize.error();
  const std::int64_t oldLength = oldSize.value();
  const auto playerSize = static_cast<std::int64_t>(request.player.size());
  if (Status st = guard.Remember(oldLength, playerSize); !st) return st.error();

  // All positions follow from the sizes, so the size limit is checked before writing.
  PiecePositions& s = result.s;
  s[1] = std::max(playerSize, oldLength) + 1;
  for (int k = 2; k <= 21; ++k) s[k] = s[k - 1] + sizes[k];
  std::string settings = BuildSettingsText(*title, s, ansiNames);
  result.index.A = s[21];
  result.index.B = result.index.A + static_cast<std::int64_t>(settings.size());
  result.index.E = result.index.B + static_cast<std::int64_t>(description->size());
  if (result.index.E + kTrailerSize - 1 > kMaxImageSize)
    return Error{ErrorKind::TooLarge, result.image.string(), "the album would be larger than 2,147,483,647 bytes"};

  if (Status st = image.WriteAt(0, request.player); !st) return st.error();
  report(2);
  for (int k = 2; k <= 21; ++k) {
    if (sources[k]) {
      if (Status st = image.CopyFrom(*sources[k], 0, s[k - 1] - 1, sizes[k], kCopyBlock); !st) return st.error();
    }
    report(2 * k);
  }
  if (Status st = image.WriteAt(result.index.A - 1, platform::AsBytes(settings)); !st) return st.error();
  report(44);
  if (Status st = image.WriteAt(result.index.B - 1, platform::AsBytes(*description)); !st) return st.error();
  report(48);
  if (Status st = WriteIndexTrailer(image, result.index); !st) return st.error();
  if (Status st = image.MakeExecutable(); !st) return st.error();
  guard.Commit();
  return result;
}

}  // namespace album
