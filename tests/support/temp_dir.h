#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "platform/path_text.h"

namespace testing_support {

class TempDir {
 public:
  TempDir() {
    std::random_device seed;
    std::error_code ec;
    do {
      path_ = std::filesystem::temp_directory_path() / ("sonvira-test-" + std::to_string(seed()));
    } while (!std::filesystem::create_directory(path_, ec));
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // `name` is UTF-8 text, as the test's string literals are.
  std::filesystem::path operator/(std::string_view name) const { return path_ / platform::PathFromUtf8(name); }

 private:
  std::filesystem::path path_;
};

// A device where a file is expected.
#ifdef _WIN32
inline const std::filesystem::path kNullDevice = "NUL";
#else
inline const std::filesystem::path kNullDevice = "/dev/null";
#endif

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// `size` bytes of a repeating pattern that differs per `seed`, so misplaced pieces show.
inline std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (auto& c : bytes) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return bytes;
}

}  // namespace testing_support
