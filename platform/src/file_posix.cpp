#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/file.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

// Copies `length` bytes between two descriptors at the given offsets (a negative `outOffset`
// means the output's current position), preferring the kernel's copy_file_range and falling
// back to a buffer of `block` bytes where the file systems do not support it.
Status CopyBetween(int in, const fs::path& inPath, std::int64_t inOffset, int out, const fs::path& outPath,
                   std::int64_t outOffset, std::int64_t length, std::size_t block) {
  bool kernel = true;
  std::vector<std::byte> buffer;
  for (std::int64_t done = 0; done < length;) {
    std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(length - done, static_cast<std::int64_t>(block)));
    ssize_t n = -1;
    if (kernel) {
      loff_t inPos = inOffset + done;
      loff_t outPos = outOffset + done;
      n = ::copy_file_range(in, &inPos, out, outOffset < 0 ? nullptr : &outPos, want, 0);
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        kernel = false;
        continue;
      }
      if (n < 0 && errno != EINTR) return ErrorFromErrno(errno, Operation::Write, outPath.string());
      if (n < 0) continue;
      if (n == 0) return Error{ErrorKind::Truncated, inPath.string()};
    } else {
      if (buffer.empty()) buffer.resize(block);
      ssize_t got = ::pread(in, buffer.data(), want, inOffset + done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return ErrorFromErrno(errno, Operation::Read, inPath.string());
      if (got == 0) return Error{ErrorKind::Truncated, inPath.string()};
      for (ssize_t put = 0; put < got;) {
        ssize_t w = outOffset < 0 ? ::write(out, buffer.data() + put, static_cast<std::size_t>(got - put))
                                  : ::pwrite(out, buffer.data() + put, static_cast<std::size_t>(got - put),
                                             outOffset + done + put);
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return ErrorFromErrno(errno, Operation::Write, outPath.string());
        put += w;
      }
      n = got;
    }
    done += n;
  }
  return {};
}

}  // namespace

Result<File> File::OpenRead(const fs::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrorFromErrno(errno, Operation::OpenForReading, path.string());
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return ErrorFromErrno(EISDIR, Operation::Read, path.string());
  }
  return File(fd, path);
}

Result<File> File::OpenReadWrite(const fs::path& path, bool& created) {
  created = false;
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created = fd >= 0;
  }
  if (fd < 0) return ErrorFromErrno(errno, Operation::OpenForWriting, path.string());
  return File(fd, path);
}

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

File::~File() {
  if (fd_ >= 0) ::close(fd_);
}

Result<std::int64_t> File::Size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return ErrorFromErrno(errno, Operation::ReadSize, path_.string());
  return static_cast<std::int64_t>(st.st_size);
}

Result<std::size_t> File::ReadAt(std::int64_t offset, std::span<std::byte> buffer) const {
  std::size_t done = 0;
  while (done < buffer.size()) {
    ssize_t n = ::pread(fd_, buffer.data() + done, buffer.size() - done, offset + static_cast<std::int64_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno, Operation::Read, path_.string());
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

Status File::ReadExactlyAt(std::int64_t offset, std::span<std::byte> buffer) const {
  if (TRY_VALUE(ReadAt(offset, buffer)) != buffer.size()) return Error{ErrorKind::Truncated, path_.string()};
  return {};
}

Status File::WriteAt(std::int64_t offset, std::span<const std::byte> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, offset + static_cast<std::int64_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno, Operation::Write, path_.string());
    }
    done += static_cast<std::size_t>(n);
  }
  return {};
}

Status File::CopyFrom(const File& source, std::int64_t sourceOffset, std::int64_t offset, std::int64_t length,
                      std::size_t block) {
  return CopyBetween(source.fd_, source.path_, sourceOffset, fd_, path_, offset, length, block);
}

Status File::Truncate(std::int64_t length) {
  if (::ftruncate(fd_, length) != 0) return ErrorFromErrno(errno, Operation::Truncate, path_.string());
  return {};
}

Status File::MakeExecutable() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return ErrorFromErrno(errno, Operation::ReadSize, path_.string());
  mode_t mode = st.st_mode & 07777;
  mode |= (mode & 0444) >> 2;
  if (::fchmod(fd_, mode) != 0) return ErrorFromErrno(errno, Operation::MakeExecutable, path_.string());
  return {};
}

Result<AtomicFile> AtomicFile::Create(const fs::path& finalPath) {
  fs::path folder = finalPath.parent_path();
  std::string pattern = (folder / ("." + finalPath.filename().string() + ".XXXXXX")).string();
  int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return ErrorFromErrno(errno, Operation::Create, finalPath.string());
  // mkstemp makes the file 0600; give it the mode an ordinary new file would get.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  return AtomicFile(fd, fs::path(pattern), finalPath);
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), temp_(std::move(other.temp_)), final_(std::move(other.final_)) {
  other.temp_.clear();
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

Status AtomicFile::Write(std::span<const std::byte> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno, Operation::Write, final_.string());
    }
    done += static_cast<std::size_t>(n);
  }
  return {};
}

Status AtomicFile::CopyFrom(const File& source, std::int64_t sourceOffset, std::int64_t length, std::size_t block) {
  return CopyBetween(source.fd_, source.path_, sourceOffset, fd_, final_, -1, length, block);
}

Status AtomicFile::Commit() {
  int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) return ErrorFromErrno(errno, Operation::Write, final_.string());
  if (::rename(temp_.c_str(), final_.c_str()) != 0)
    return ErrorFromErrno(errno, Operation::Create, final_.string());
  temp_.clear();
  return {};
}

Result<bool> AtomicFile::CommitIfMissing() {
  int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) return ErrorFromErrno(errno, Operation::Write, final_.string());
  // link() never replaces an existing name, so there is no window between check and write.
  if (::link(temp_.c_str(), final_.c_str()) != 0) {
    if (errno == EEXIST) return false;
    return ErrorFromErrno(errno, Operation::Create, final_.string());
  }
  ::unlink(temp_.c_str());
  temp_.clear();
  return true;
}

Result<std::string> ReadWholeFile(const fs::path& path, std::size_t maxBytes) {
  const File file = TRY_VALUE(File::OpenRead(path));
  const std::int64_t size = TRY_VALUE(file.Size());
  if (static_cast<std::uint64_t>(size) > maxBytes) return Error{ErrorKind::FileTooLarge, path.string()};
  std::string text(static_cast<std::size_t>(size), '\0');
  text.resize(TRY_VALUE(file.ReadAt(0, std::as_writable_bytes(std::span(text)))));
  return text;
}

}  // namespace platform
