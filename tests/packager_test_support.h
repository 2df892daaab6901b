#pragma once
// Shared by the packager's tests: scripted dialogs and message boxes, and small input files.

#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "packager/common_dialog.h"
#include "platform/path_text.h"

namespace packager_test {

// Answers each dialog with the next scripted path (an empty path: the user cancels) and keeps
// the requests it was shown.
class ScriptedDialogs : public packager::FileDialogs {
 public:
  std::optional<std::filesystem::path> ChooseFile(const packager::FileDialogRequest& request) override {
    requests.push_back(request);
    return Next();
  }
  std::optional<std::filesystem::path> ChooseFolder(const std::string& title) override {
    folderTitles.push_back(title);
    return Next();
  }

  std::deque<std::filesystem::path> answers;
  std::vector<packager::FileDialogRequest> requests;
  std::vector<std::string> folderTitles;

 private:
  std::optional<std::filesystem::path> Next() {
    std::filesystem::path answer;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    if (answer.empty()) return std::nullopt;
    return answer;
  }
};

struct Box {
  std::string text;  // UTF-8
  std::string title;
  friend bool operator==(const Box&, const Box&) = default;
};

// A fresh folder under the system's temporary folder, removed again at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("pakrel-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  // Writes `size` bytes of a pattern seeded by `seed` into a file of that name.
  std::filesystem::path Write(const std::string& name, std::size_t size, int seed) const {
    std::filesystem::path file = path_ / platform::PathFromUtf8(name);
    std::ofstream out(file, std::ios::binary);
    for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>((i * 31 + seed * 7) % 251));
    return file;
  }
  // Writes `size` bytes (at least 52) of MPEG audio frames, their bodies a pattern seeded by
  // `seed`: enough for the packager to take it as a song.
  std::filesystem::path WriteSong(const std::string& name, std::size_t size, int seed) const {
    std::filesystem::path file = Write(name, size, seed);
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    // MPEG 2 layer III, 8 kbit/s, 24 kHz: a frame every 24 bytes.
    for (std::size_t at = 0; at + 4 <= size; at += 24) out.seekp(at).write("\xFF\xF3\x14\xC4", 4);
    return file;
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

inline std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace packager_test
