// Code page conversion through the C library's iconv, which knows GB18030.
#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "platform/codepage.h"

namespace platform {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; on a byte sequence it cannot convert, appends `replacement` and skips
  // one byte. An incomplete sequence at the end is dropped.
  std::string Run(std::string_view in, std::string_view replacement) {
    std::string out;
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buf[4096];
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) continue;
      if (errno == EINVAL) break;  // cut off at the end
      out.append(replacement);     // EILSEQ
      ++src;
      --left;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buf;
    std::size_t room = sizeof buf;
    iconv(cd_, nullptr, nullptr, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

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

// The length of the GB18030 character that starts at `s[0]`: one byte below 0x81 and for
// 0xFF, four for a lead byte followed by a digit, two for any other lead byte.
std::size_t AnsiCharLength(std::string_view s) {
  const auto lead = static_cast<unsigned char>(s[0]);
  if (lead < 0x81 || lead == 0xFF) return 1;
  if (s.size() > 1 && s[1] >= '0' && s[1] <= '9') return 4;
  return 2;
}

}  // namespace

// Code page 936 has the euro sign at the single byte 0x80, where GB18030 has nothing (it
// puts the euro at A2 E3), so the euro is mapped here and the rest left to iconv.
std::optional<std::string> ToAnsi(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  Converter c("GB18030", "UTF-8");
  std::string out;
  for (;;) {
    const std::size_t euro = utf8.find(kEuroUtf8);
    out += c.Run(utf8.substr(0, euro), "?");
    if (euro == std::string_view::npos) return out;
    out += kEuroAnsi;
    utf8.remove_prefix(euro + kEuroUtf8.size());
  }
}

std::string FromAnsi(std::string_view ansi) {
  Converter c("UTF-8", "GB18030");
  std::string out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < ansi.size();) {
    if (ansi[i] == kEuroAnsi) {
      out += c.Run(ansi.substr(start, i - start), "\xEF\xBF\xBD");
      out += kEuroUtf8;
      start = ++i;
      continue;
    }
    i += AnsiCharLength(ansi.substr(i));
  }
  out += c.Run(ansi.substr(std::min(start, ansi.size())), "\xEF\xBF\xBD");
  return out;
}

}  // namespace platform
