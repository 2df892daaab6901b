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
  Result<fs::path> folder = PrivateFolder();
  if (!folder) return folder.error();

  // One lock per program file: two different albums may run side by side.
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(programFile, ec);
  if (ec) canonical = programFile;
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : canonical.string()) hash = (hash ^ c) * 1099511628211ull;
  char name[40];
  std::snprintf(name, sizeof name, "instance-%016llx.lock", static_cast<unsigned long long>(hash));
  fs::path lockFile = folder.value() / name;

  int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return ErrorFromErrno(errno, lockFile.string(), "open the lock file");
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK)
      return Error{ErrorKind::AlreadyRunning, programFile.string(), "another copy is already running"};
    return ErrorFromErrno(err, lockFile.string(), "lock the lock file");
  }
  return std::unique_ptr<SingleInstance>(new SingleInstance(fd));
}

SingleInstance::~SingleInstance() { ::close(fd_); }

}  // namespace platform
