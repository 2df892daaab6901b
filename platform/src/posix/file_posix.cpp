#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "platform/file_seams.h"

namespace fs = std::filesystem;

namespace platform {

namespace seams {

FileCalls& Calls() {
  static FileCalls calls{[](const char* from, const char* to) {
                           return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
                         },
                         [](int fd, mode_t mode) { return ::fchmod(fd, mode); }};
  return calls;
}

}  // namespace seams

namespace {

// The temporary files of this process, removed by the handler of the terminating signals.
// Plain arrays and atomics, since a signal handler may touch nothing else.
constexpr int kPendingSlots = 32;
constexpr int kFree = 0, kClaimed = 1, kReady = 2;
struct PendingFile {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};
PendingFile g_pending[kPendingSlots];
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[3];

void RemovePendingFiles(int sig) {
  const int savedErrno = errno;
  for (PendingFile& file : g_pending)
    if (file.state.load() == kReady) ::unlink(file.path);
  // End as the signal would have ended the process without us.
  for (int i = 0; i < 3; ++i)
    if (kCleanupSignals[i] == sig) ::sigaction(sig, &g_previous[i], nullptr);
  ::raise(sig);
  errno = savedErrno;  // for a previous handler that lets the process go on
}

void InstallCleanupHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int i = 0; i < 3; ++i) {
      struct sigaction current {};
      ::sigaction(kCleanupSignals[i], nullptr, &current);
      // A signal the caller ignores (nohup) stays ignored.
      if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN) continue;
      g_previous[i] = current;
      struct sigaction ours {};
      ours.sa_handler = RemovePendingFiles;
      sigemptyset(&ours.sa_mask);
      ::sigaction(kCleanupSignals[i], &ours, nullptr);
    }
  });
}

// Registers `path` for removal at a terminating signal; -1 when every slot is taken (the
// file is then left to the sweep of a later run).
int AddPending(const fs::path& path) {
  const std::string& text = path.native();
  if (text.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kPendingSlots; ++i) {
    int expected = kFree;
    if (!g_pending[i].state.compare_exchange_strong(expected, kClaimed)) continue;
    std::memcpy(g_pending[i].path, text.c_str(), text.size() + 1);
    g_pending[i].state.store(kReady);
    return i;
  }
  return -1;
}

void RemovePending(int slot) {
  if (slot >= 0) g_pending[slot].state.store(kFree);
}

// Holds back the terminating signals while a file is created and registered, so that no
// signal falls between the two.
class CleanupSignalsBlocked {
 public:
  CleanupSignalsBlocked() {
    InstallCleanupHandlers();
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int sig : kCleanupSignals) sigaddset(&blocked, sig);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &saved_);
  }
  ~CleanupSignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
  CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
  CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

 private:
  sigset_t saved_;
};

bool IsTemporaryNameOf(std::string_view entry, std::string_view prefix) {
  return entry.size() == prefix.size() + 6 && entry.substr(0, prefix.size()) == prefix;
}

// Removes the temporary files ".name.XXXXXX" in `folder` whose writer is gone: a writer
// holds a lock on its file until it is renamed or removed, so a file that can be locked
// has none.
void SweepStaleTemporaries(const fs::path& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryNameOf(entry->d_name, prefix)) continue;
    int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == held.st_dev &&
        named.st_ino == held.st_ino)
      ::unlinkat(dirFd, entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

Status AddExecute(int fd, const fs::path& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return ErrorFromErrno(errno, Operation::ReadSize, path.string());
  mode_t mode = st.st_mode & 07777;
  mode |= (mode & 0444) >> 2;
  if (seams::Calls().fchmod(fd, mode) != 0)
    return ErrorFromErrno(errno, Operation::MakeExecutable, path.string());
  return {};
}

// Copies `length` bytes between two descriptors at the given offsets. The kernel's
// copy_file_range is used where source and destination offsets share their place within a
// page: otherwise it copies every page piecewise and runs a third slower than a plain copy
// through a buffer, which is then used instead (one buffer of `block` bytes), as it is where
// the file systems do not support the kernel's copy.
Status CopyBetween(int in, const fs::path& inPath, std::int64_t inOffset, int out, const fs::path& outPath,
                   std::int64_t outOffset, std::int64_t length, std::size_t block) {
  constexpr std::int64_t kPage = 4096;
  bool kernel = (inOffset - outOffset) % kPage == 0;
  std::vector<std::byte> buffer;
  for (std::int64_t done = 0; done < length;) {
    // The kernel needs no buffer of ours, so it takes large steps.
    const std::int64_t step = kernel ? std::int64_t{1} << 30 : static_cast<std::int64_t>(block);
    std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(length - done, step));
    ssize_t n = -1;
    if (kernel) {
      loff_t inPos = inOffset + done;
      loff_t outPos = outOffset + done;
      n = ::copy_file_range(in, &inPos, out, &outPos, want, 0);
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
        ssize_t w =
            ::pwrite(out, buffer.data() + put, static_cast<std::size_t>(got - put), outOffset + done + put);
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
  // Without O_NONBLOCK, opening a FIFO waits for a writer, forever if none comes.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ErrorFromErrno(errno, Operation::OpenForReading, path.string());
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return ErrorFromErrno(err, Operation::ReadSize, path.string());
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    if (S_ISDIR(st.st_mode)) return ErrorFromErrno(EISDIR, Operation::None, path.string());
    return Error{ErrorKind::NotRegularFile, path.string()};
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
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
  return AddExecute(fd_, path_);
}

bool File::IsSameFileAs(const fs::path& other) const {
  struct stat mine {};
  struct stat theirs {};
  return ::fstat(fd_, &mine) == 0 && ::stat(other.c_str(), &theirs) == 0 && mine.st_dev == theirs.st_dev &&
         mine.st_ino == theirs.st_ino;
}

Result<AtomicFile> AtomicFile::Create(const fs::path& finalPath) {
  const fs::path folder = finalPath.parent_path();
  // ".name.XXXXXX" must itself fit a file name: the longest final names are cut short there.
  std::string name = finalPath.filename().string();
  name.resize(std::min<std::size_t>(name.size(), NAME_MAX - 8));
  const std::string prefix = "." + name + ".";
  SweepStaleTemporaries(folder, prefix);
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string pattern = (folder / (prefix + "XXXXXX")).string();
    int fd = -1;
    int pending = -1;
    {
      CleanupSignalsBlocked blocked;
      fd = ::mkostemp(pattern.data(), O_CLOEXEC);
      if (fd < 0) return ErrorFromErrno(errno, Operation::Create, finalPath.string());
      pending = AddPending(pattern);
    }
    // A sweep of another run may have found the file before it was locked; once the lock is
    // held, a file that still has its name is safe from every sweep. (Where the file system
    // has no locks, no sweep can take the file either.)
    ::flock(fd, LOCK_EX);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_nlink > 0) {
      // mkstemp makes the file 0600; give it the mode an ordinary new file would get. A file
      // system without modes (FAT) refuses, which is no reason to fail.
      mode_t mask = ::umask(0);
      ::umask(mask);
      seams::Calls().fchmod(fd, 0666 & ~mask);
      return AtomicFile(fd, fs::path(pattern), finalPath, pending);
    }
    RemovePending(pending);
    ::close(fd);
  }
  return ErrorFromErrno(EBUSY, Operation::Create, finalPath.string());
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      temp_(std::move(other.temp_)),
      final_(std::move(other.final_)),
      pending_(std::exchange(other.pending_, -1)),
      size_(other.size_) {
  other.temp_.clear();
}

AtomicFile::~AtomicFile() {
  Discard();
}

void AtomicFile::Discard() {
  if (!temp_.empty()) ::unlink(temp_.c_str());
  RemovePending(std::exchange(pending_, -1));
  temp_.clear();
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

Status AtomicFile::Write(std::span<const std::byte> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, size_);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno, Operation::Write, final_.string());
    }
    done += static_cast<std::size_t>(n);
    size_ += n;
  }
  return {};
}

Status AtomicFile::CopyFrom(const File& source, std::int64_t sourceOffset, std::int64_t length, std::size_t block) {
  TRY(CopyBetween(source.fd_, source.path_, sourceOffset, fd_, final_, size_, length, block));
  size_ += length;
  return {};
}

Status AtomicFile::MakeExecutable() {
  return AddExecute(fd_, final_);
}

Status AtomicFile::Commit(Durability durability) {
  // The bytes reach the disk before the name does: otherwise a crash after the rename could
  // leave an empty file in place of the old one, and a full disk found only at write-back
  // would go unreported.
  if (durability == Durability::ToDisk && ::fdatasync(fd_) != 0 && errno != EINVAL)
    return ErrorFromErrno(errno, Operation::Write, final_.string());
  // The lock is held across the rename, so no sweep takes the file in between.
  if (::rename(temp_.c_str(), final_.c_str()) != 0)
    return ErrorFromErrno(errno, Operation::Create, final_.string());
  temp_.clear();
  RemovePending(std::exchange(pending_, -1));
  if (::close(std::exchange(fd_, -1)) != 0) return ErrorFromErrno(errno, Operation::Write, final_.string());
  return {};
}

Result<bool> AtomicFile::CommitIfMissing() {
  if (seams::Calls().renameNoReplace(temp_.c_str(), final_.c_str()) == 0) {
    temp_.clear();
    Discard();
    return true;
  }
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
    return ErrorFromErrno(errno, Operation::Create, final_.string());

  // No such rename here: create the final name exclusively and copy into it. The copy is
  // removed again if it fails or a signal ends the process.
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return ErrorFromErrno(errno, Operation::ReadSize, temp_.string());
  int out = -1;
  int pending = -1;
  {
    CleanupSignalsBlocked blocked;
    out = ::open(final_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0 && errno == EEXIST) return false;
    if (out < 0) return ErrorFromErrno(errno, Operation::Create, final_.string());
    pending = AddPending(final_);
  }
  Status copied = CopyBetween(fd_, temp_, 0, out, final_, 0, st.st_size, 1 << 16);
  if (::close(out) != 0 && copied) copied = ErrorFromErrno(errno, Operation::Write, final_.string());
  if (!copied) ::unlink(final_.c_str());
  RemovePending(pending);
  if (!copied) return copied.error();
  return true;
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
  struct stat sa {};
  struct stat sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

Error LastSystemError(Operation operation, const std::string& file) {
  return ErrorFromErrno(errno, operation, file);
}

}  // namespace platform
