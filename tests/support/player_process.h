#pragma once
// For the tests that run the real player: a running album image with its verbose log in a
// file, test tones made with sox and lame, the player's window on the X display, and its
// unpack folders. Needs gtest, and the display and sound that scripts/headless.sh gives.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/run_process.h"
#include "support/temp_dir.h"

namespace testing_support {

using namespace std::chrono_literals;

inline const std::filesystem::path kBin = std::filesystem::path(SONVIRA_BINARY_DIR) / "bin";

// A running album image, its verbose log going to a file.
class Player {
 public:
  // `command` is the album image, or sonvira with --album.
  Player(std::vector<std::string> command, const std::filesystem::path& log) : log_(log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    command.push_back("--verbose");
    std::vector<char*> argv;
    for (std::string& a : command) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Player() {
    if (pid_ > 0 && !Exited(0ms)) {
      ::kill(pid_, SIGKILL);
      if (!Exited(2s)) ADD_FAILURE() << "the player outlived SIGKILL";
    }
  }
  // Waits until the log holds `text`.
  [[nodiscard]] bool Logged(const std::string& text, std::chrono::milliseconds within = 10s) const {
    for (auto end = std::chrono::steady_clock::now() + within; std::chrono::steady_clock::now() < end;) {
      if (ReadFile(log_).find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }
  [[nodiscard]] bool Exited(std::chrono::milliseconds within) {
    for (auto end = std::chrono::steady_clock::now() + within;;) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
        return true;
      }
      if (std::chrono::steady_clock::now() >= end) return false;
      std::this_thread::sleep_for(50ms);
    }
  }
  int exitCode() const { return exitCode_; }
  pid_t pid() const { return pid_; }
  std::string log() const { return ReadFile(log_); }

 private:
  std::filesystem::path log_;
  pid_t pid_ = -1;
  int exitCode_ = -1;
};

// Runs a program that must succeed; its output.
inline std::string Check(const std::vector<std::string>& argv) {
  auto r = RunProcess(argv);
  EXPECT_EQ(r.exitCode, 0) << argv[0] << " " << (argv.size() > 1 ? argv[1] : "") << ": " << r.err;
  return r.out;
}

// A 20-second pure tone as an MP3.
inline std::filesystem::path Tone(const std::filesystem::path& folder, const std::string& name, int hz) {
  std::filesystem::path wav = folder / (name + ".wav"), mp3 = folder / (name + ".mp3");
  Check({"/usr/bin/sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav.string(), "synth", "20", "sine",
         std::to_string(hz), "vol", "0.5"});
  Check({"/usr/bin/lame", "--quiet", "-b", "128", wav.string(), mp3.string()});
  std::filesystem::remove(wav);
  return mp3;
}

// The X window of the player, waiting up to five seconds for it to show; empty when it did not.
[[nodiscard]] inline std::string PlayerWindowId() {
  for (int i = 0; i < 50; ++i) {
    auto r = RunProcess({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^Sonvira$"});
    if (r.exitCode == 0 && !r.out.empty()) return r.out.substr(0, r.out.find('\n'));
    std::this_thread::sleep_for(100ms);
  }
  return {};
}

// The unpack folders of players, running or not.
inline std::set<std::filesystem::path> PlayerFolders() {
  namespace fs = std::filesystem;
  std::set<fs::path> found;
  std::error_code ec;
  fs::path base = fs::path(std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "") / "sonvira";
  for (const auto& e : fs::directory_iterator(base, ec))
    if (e.path().filename().string().starts_with("player-")) found.insert(e.path());
  return found;
}

}  // namespace testing_support
