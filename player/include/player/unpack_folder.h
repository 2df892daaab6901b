#pragma once
// The folder a running player unpacks its songs, lyrics and audio library into: a subfolder
// of the user's private folder that belongs to this player alone, so that two albums with
// songs of the same name never overwrite or delete each other's files. A kernel lock held
// for the player's life marks it as in use; a folder whose lock nobody holds was left by a
// player that was killed, and the next player to start removes it.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/result.h"

namespace player {

class UnpackFolder {
 public:
  // Removes every subfolder of `base` that no running player holds (their paths go to
  // `swept` when given), then makes and locks a new one (mode 0700).
  static platform::Result<std::unique_ptr<UnpackFolder>> Create(
      const std::filesystem::path& base, std::vector<std::filesystem::path>* swept = nullptr);

  // Removes the folder and whatever is still in it, then lets go of the lock.
  ~UnpackFolder();
  UnpackFolder(const UnpackFolder&) = delete;
  UnpackFolder& operator=(const UnpackFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  UnpackFolder(std::filesystem::path path, int lockFd) : path_(std::move(path)), lockFd_(lockFd) {}

  std::filesystem::path path_;
  int lockFd_ = -1;
};

}  // namespace player
