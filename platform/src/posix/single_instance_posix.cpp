#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/folders.h"
#include "platform/single_instance.h"

namespace fs = std::filesystem;

namespace platform {

Result<std::unique_ptr<SingleInstance>> SingleInstance::Acquire(const fs::path& programFile) {
  const fs::path folder = TRY_VALUE(PrivateFolder());

  // One lock per program file: two different albums may run side by side.
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(programFile, ec);
  if (ec) canonical = programFile;
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : canonical.string()) hash = (hash ^ c) * 1099511628211ull;
  char name[40];
  std::snprintf(name, sizeof name, "instance-%016llx.lock", static_cast<unsigned long long>(hash));
  fs::path lockFile = folder / name;

  int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return ErrorFromErrno(errno, Operation::OpenLockFile, lockFile.string());
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) return Error{ErrorKind::AlreadyRunning, programFile.string()};
    return ErrorFromErrno(err, Operation::LockLockFile, lockFile.string());
  }
  return std::unique_ptr<SingleInstance>(new SingleInstance(fd));
}

SingleInstance::~SingleInstance() { ::close(fd_); }

}  // namespace platform
