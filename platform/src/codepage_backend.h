#pragma once
// What each backend of platform/codepage.h provides: plain GB18030 conversion. The euro sign,
// which code page 936 has at 0x80 and GB18030 does not, is dealt with once in codepage.cpp.

#include <string>
#include <string_view>

namespace platform::detail {

// Valid UTF-8 to GB18030.
std::string Utf8ToGb18030(std::string_view utf8);

// GB18030 to UTF-8. A byte that starts no valid character becomes U+FFFD and conversion goes
// on with the next byte; a character cut off at the end is dropped.
std::string Gb18030ToUtf8(std::string_view gb18030);

// The length of the GB18030 character that starts at `s[0]`: one byte below 0x81 and for
// 0xFF, four for a lead byte followed by a digit, two for any other lead byte.
inline std::size_t AnsiCharLength(std::string_view s) {
  const auto lead = static_cast<unsigned char>(s[0]);
  if (lead < 0x81 || lead == 0xFF) return 1;
  if (s.size() > 1 && s[1] >= '0' && s[1] <= '9') return 4;
  return 2;
}

}  // namespace platform::detail
