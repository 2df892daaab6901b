#include "platform/text.h"

#include <cstdint>

namespace platform {

namespace {

// The length of the valid UTF-8 character at the start of `s` and its code point; length 0
// for a byte that does not start one.
std::size_t DecodeUtf8(std::string_view s, char32_t& cp) {
  const auto c = static_cast<unsigned char>(s[0]);
  std::size_t len;
  if (c < 0x80) { cp = c; return 1; }
  if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
  else return 0;
  if (len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

bool IsControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

}  // namespace

bool HasControlCharacter(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(utf8.substr(i), cp);
    if (len > 0 && IsControl(cp)) return true;
    i += len > 0 ? len : 1;
  }
  return false;
}

std::string EscapeControls(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(text.substr(i), cp);
    if (len > 0 && !IsControl(cp)) {
      out.append(text.substr(i, len));
      i += len;
      continue;
    }
    // A control character or a stray byte: each of its bytes in hexadecimal.
    for (std::size_t k = 0; k < (len > 0 ? len : 1); ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
    i += len > 0 ? len : 1;
  }
  return out;
}

std::string_view NextLine(std::string_view& text, LineEnds ends) {
  const std::size_t end = text.find_first_of(ends == LineEnds::CrOrCrLf ? std::string_view("\r") : "\r\n");
  const std::string_view line = text.substr(0, end);
  if (end == std::string_view::npos) {
    text = {};
  } else {
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crlf ? 2 : 1));
  }
  return line;
}

std::string_view Trim(std::string_view text, std::string_view blanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace platform
