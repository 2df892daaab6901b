#pragma once
// Paths as UTF-8 text and back, for code that keeps paths among its texts (a path box, a
// dialog's file buffer, a command-line argument). POSIX paths are bytes and pass unchanged,
// so a name that is not valid UTF-8 keeps its bytes both ways; Windows paths are UTF-16 and
// are converted (a plain std::string would be taken in the C library's code page there, and
// text that is not UTF-8 throws std::filesystem::filesystem_error).

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

inline std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace platform
