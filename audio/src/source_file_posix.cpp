#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "source_file.h"

namespace bass {

std::unique_ptr<SourceFile> SourceFile::Open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<SourceFile>(new SourceFile(fd, st.st_size));
}

SourceFile::~SourceFile() { ::close(static_cast<int>(handle_)); }

std::int64_t SourceFile::ReadAt(std::int64_t offset, void* buffer, std::size_t bytes) {
  for (;;) {
    const ssize_t got = ::pread(static_cast<int>(handle_), buffer, bytes, offset);
    if (got < 0 && errno == EINTR) continue;
    return got;
  }
}

}  // namespace bass
