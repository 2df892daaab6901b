#pragma once
// Detects a second running copy of the same program file. The lock is a kernel file lock
// (flock) in the private folder, so a crashed copy never leaves it stuck.

#include <filesystem>
#include <memory>

#include "platform/result.h"

namespace platform {

class SingleInstance {
 public:
  // Takes the lock for `programFile` (ProgramFile() in the programs). The result holds the
  // lock until it is destroyed; AlreadyRunning when another process holds it.
  static Result<std::unique_ptr<SingleInstance>> Acquire(const std::filesystem::path& programFile);

  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

 private:
  explicit SingleInstance(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace platform
