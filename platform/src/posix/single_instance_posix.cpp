#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/folders.h"
#include "platform/single_instance.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

constexpr char kPrefix[] = "instance-";
constexpr char kSuffix[] = ".lock";

bool IsLockName(const std::string& name) {
  return name.size() > sizeof kPrefix + sizeof kSuffix - 2 && name.starts_with(kPrefix) &&
         name.ends_with(kSuffix);
}

// Opens (creating it when `create`) and locks `lockFile` without waiting: the descriptor, or
// -1 with errno set (EWOULDBLOCK: another process holds it). A holder removes its lock file
// before it lets go, so the lock counts only when the file it was taken on still has the name.
int LockNamed(const fs::path& lockFile, bool create) {
  for (;;) {
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      ::close(fd);
      errno = err;
      return -1;
    }
    struct stat locked {
    }, named{};
    if (::fstat(fd, &locked) == 0 && ::lstat(lockFile.c_str(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino)
      return fd;
    ::close(fd);  // its holder removed it meanwhile
    if (!create) {
      errno = ENOENT;
      return -1;
    }
  }
}

// Removes the lock files nobody holds: their programs were killed before they could.
void SweepUnheld(const fs::path& folder, const fs::path& keep) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path() == keep || !IsLockName(entry.path().filename().string())) continue;
    const int fd = LockNamed(entry.path(), /*create=*/false);
    if (fd < 0) continue;
    ::unlink(entry.path().c_str());
    ::close(fd);
  }
}

}  // namespace

Result<std::unique_ptr<SingleInstance>> SingleInstance::Acquire(const fs::path& programFile) {
  const fs::path folder = TRY_VALUE(PrivateFolder());

  // One lock per program file, whatever path reached it: two different albums may run side
  // by side, two links to one album may not.
  struct stat program {};
  if (::stat(programFile.c_str(), &program) != 0)
    return ErrorFromErrno(errno, Operation::OpenForReading, programFile.string());
  char name[64];
  std::snprintf(name, sizeof name, "%s%llx-%llx%s", kPrefix, static_cast<unsigned long long>(program.st_dev),
                static_cast<unsigned long long>(program.st_ino), kSuffix);
  const fs::path lockFile = folder / name;

  // Acquisitions take turns on the folder, so a sweep never holds the lock file of a program
  // that is starting at that moment and makes it look as if it were running.
  const int guard = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (guard < 0 || ::flock(guard, LOCK_EX) != 0) {
    const Error error = ErrorFromErrno(errno, Operation::LockLockFile, folder.string());
    if (guard >= 0) ::close(guard);
    return error;
  }
  SweepUnheld(folder, lockFile);
  const int fd = LockNamed(lockFile, /*create=*/true);
  const int err = errno;
  ::close(guard);
  if (fd >= 0) return std::unique_ptr<SingleInstance>(new SingleInstance(fd, lockFile));
  if (err == EWOULDBLOCK) return Error{ErrorKind::AlreadyRunning, programFile.string()};
  return ErrorFromErrno(err, Operation::OpenLockFile, lockFile.string());
}

SingleInstance::~SingleInstance() {
  // Removed while still held: whoever opened it meanwhile finds it gone and makes a new one.
  ::unlink(lockFile_.c_str());
  ::close(fd_);
}

}  // namespace platform
