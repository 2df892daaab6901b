// The album code page on top of a backend's GB18030 conversion (codepage_backend.h).
#include <algorithm>

#include "codepage_backend.h"
#include "platform/codepage.h"
#include "platform/text.h"

namespace platform {

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(text.substr(i), cp);
    if (len == 0) return false;
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
