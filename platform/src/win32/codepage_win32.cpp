// GB18030 through Windows' own conversion tables (code page 54936, of which code page 936
// is the two-byte part), so albums read and written here match those of the Linux build byte
// for byte, characters outside code page 936 included. Where the system lacks code page
// 54936 (wine), code page 936 alone serves: its characters are the same, and others are
// written as "?" and read as U+FFFD.
#include <windows.h>

#include <algorithm>

#include "codepage_backend.h"
#include "win32/win32_util.h"

namespace platform::detail {
namespace {

UINT CodePage() {
  static const UINT codePage = ::IsValidCodePage(54936) ? 54936 : 936;
  return codePage;
}

// Whether `s`, cut off at the end of the text, could still be the start of a character.
bool IsCutOffCharacter(std::string_view s) {
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if (s.size() >= 2 && !(at(1) >= 0x30 && at(1) <= 0x39) && !(at(1) >= 0x40 && at(1) <= 0xFE && at(1) != 0x7F))
    return false;
  return s.size() < 3 || (at(2) >= 0x81 && at(2) <= 0xFE);
}

// UTF-16 of `bytes`, or nothing when they are not all valid GB18030.
bool DecodeStrictly(std::string_view bytes, std::wstring& out) {
  if (bytes.empty()) return true;
  const int n = ::MultiByteToWideChar(CodePage(), MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(n));
  ::MultiByteToWideChar(CodePage(), MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                        out.data() + at, n);
  return true;
}

}  // namespace

std::string Utf8ToGb18030(std::string_view utf8) {
  const std::wstring wide = win32::Widen(utf8);
  if (wide.empty()) return {};
  // Code page 54936 takes no flags; for 936, no look-alike stands in for a missing character.
  const DWORD flags = CodePage() == 936 ? WC_NO_BEST_FIT_CHARS : 0;
  const int n = ::WideCharToMultiByte(CodePage(), flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
  ::WideCharToMultiByte(CodePage(), flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

// Windows refuses a whole text for one bad byte, so a text that is not all valid is taken
// one character at a time, to go on after a bad byte as the Linux build does.
std::string Gb18030ToUtf8(std::string_view gb18030) {
  std::wstring wide;
  if (!DecodeStrictly(gb18030, wide)) {
    wide.clear();
    for (std::size_t i = 0; i < gb18030.size();) {
      const std::string_view rest = gb18030.substr(i);
      const std::size_t length = AnsiCharLength(rest);
      if (length > rest.size() && IsCutOffCharacter(rest)) break;
      if (length <= rest.size() && DecodeStrictly(rest.substr(0, length), wide)) {
        i += length;
      } else {
        wide += L'\xFFFD';
        ++i;
      }
    }
  }
  return win32::Narrow(wide);
}

}  // namespace platform::detail
