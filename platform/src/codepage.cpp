// The album code page on top of a backend's GB18030 conversion (codepage_backend.h).
#include <algorithm>

#include "codepage_backend.h"
#include "platform/codepage.h"

namespace platform {

bool IsValidUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    unsigned char c = s[i];
    std::size_t len;
    char32_t cp;
    if (c < 0x80) { ++i; continue; }
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
    else return false;
    if (i + len > n) return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

namespace {

constexpr std::string_view kEuroUtf8 = "\xE2\x82\xAC";
constexpr char kEuroAnsi = '\x80';

}  // namespace

// Code page 936 has the euro sign at the single byte 0x80, where GB18030 has nothing (it
// puts the euro at A2 E3), so the euro is mapped here and the rest left to the backend.
std::optional<std::string> ToAnsi(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  std::string out;
  for (;;) {
    const std::size_t euro = utf8.find(kEuroUtf8);
    out += detail::Utf8ToGb18030(utf8.substr(0, euro));
    if (euro == std::string_view::npos) return out;
    out += kEuroAnsi;
    utf8.remove_prefix(euro + kEuroUtf8.size());
  }
}

std::string FromAnsi(std::string_view ansi) {
  std::string out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < ansi.size();) {
    if (ansi[i] == kEuroAnsi) {
      out += detail::Gb18030ToUtf8(ansi.substr(start, i - start));
      out += kEuroUtf8;
      start = ++i;
      continue;
    }
    i += detail::AnsiCharLength(ansi.substr(i));
  }
  out += detail::Gb18030ToUtf8(ansi.substr(std::min(start, ansi.size())));
  return out;
}

}  // namespace platform
