#include "player/unpack_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace fs = std::filesystem;
using platform::Error;
using platform::ErrorFromErrno;
using platform::Result;

namespace player {
namespace {

constexpr char kPrefix[] = "player-";
constexpr char kLockName[] = ".lock";

// A lock on the base folder itself, held while a folder is made and locked and while stale
// folders are swept, so a sweeper never sees a new folder before its owner has locked it. It
// leaves no file behind.
class ScopedLock {
 public:
  explicit ScopedLock(const fs::path& folder)
      : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~ScopedLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

// True when nobody holds the lock of `folder`: its player is gone.
bool Abandoned(const fs::path& folder) {
  int fd = ::open((folder / kLockName).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return errno == ENOENT;  // a folder without a lock was never finished
  bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

void Sweep(const fs::path& base, std::vector<fs::path>* swept) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(base, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kPrefix, 0) != 0 || !entry.is_directory(ec) || entry.is_symlink(ec)) continue;
    if (!Abandoned(entry.path())) continue;
    fs::remove_all(entry.path(), ec);
    if (swept != nullptr) swept->push_back(entry.path());
  }
}

}  // namespace

Result<std::unique_ptr<UnpackFolder>> UnpackFolder::Create(const fs::path& base,
                                                           std::vector<fs::path>* swept) {
  ScopedLock guard(base);
  if (!guard.held()) return ErrorFromErrno(errno, platform::Operation::LockLockFile, base.string());
  Sweep(base, swept);

  std::string pattern = (base / (std::string(kPrefix) + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr)
    return ErrorFromErrno(errno, platform::Operation::CreateFolder, base.string());
  fs::path folder = pattern;
  int fd = ::open((folder / kLockName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    Error error = ErrorFromErrno(errno, platform::Operation::LockLockFile, folder.string());
    if (fd >= 0) ::close(fd);
    std::error_code ec;
    fs::remove_all(folder, ec);
    return error;
  }
  return std::unique_ptr<UnpackFolder>(new UnpackFolder(folder, fd));
}

UnpackFolder::~UnpackFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
  ::close(lockFd_);
}

}  // namespace player
