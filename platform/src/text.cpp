#include "platform/text.h"

#include <cstdint>

namespace platform {

namespace {

bool IsControl(char32_t cp) {
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

}  // namespace

std::size_t DecodeUtf8(std::string_view s, char32_t& cp) {
  if (s.empty()) return 0;
  const auto c = static_cast<unsigned char>(s[0]);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  const std::size_t len = Utf8SequenceLength(c);
  if (len == 1 || len > s.size()) return 0;
  cp = c & (0x7F >> len);
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0 && lead < 0xF0) return 3;
  if (lead >= 0xC0 && lead < 0xE0) return 2;
  return 1;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string RepairUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(in.substr(i), cp);
    if (len > 0) {
      out.append(in.substr(i, len));
      i += len;
    } else {
      out.append("\xEF\xBF\xBD");  // U+FFFD
      ++i;
    }
  }
  return out;
}

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
