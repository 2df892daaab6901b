#pragma once
// Detects a second running copy of the same program file. A copy is known by the identity of
// its file, not by the path it was started from: a hard link, a symbolic link or another
// spelling of the path reaches the same file and is the same program. (On POSIX the identity
// is the device and inode number.) The lock is a kernel file lock in the private folder, so a
// crashed copy never leaves it stuck, and its file goes when the copy that held it lets go.

#include <filesystem>
#include <memory>

#include "platform/result.h"

namespace platform {

class SingleInstance {
 public:
  // Takes the lock for the file `programFile` names (ProgramFile() in the programs). The
  // result holds the lock until it is destroyed; AlreadyRunning when another process holds
  // it, the error of reading its identity when the file cannot be reached. Lock files that
  // no running copy holds (left by a copy that was killed) are removed on the way.
  static Result<std::unique_ptr<SingleInstance>> Acquire(const std::filesystem::path& programFile);

  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

 private:
  SingleInstance(int fd, std::filesystem::path lockFile) : fd_(fd), lockFile_(std::move(lockFile)) {}
  int fd_;
  std::filesystem::path lockFile_;
};

}  // namespace platform
