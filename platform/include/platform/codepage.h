#pragma once
// Album texts are stored in code page 936. We read and write them as GB18030, its superset,
// which is byte-identical for every code page 936 character but one: the euro sign, the
// single byte 0x80 in code page 936, which is mapped here both ways. Everything else in the
// program (file names, the screen) is UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 to album bytes. Empty when `utf8` is not valid UTF-8 (GB18030 itself can encode
// every Unicode character, so nothing valid is ever lost).
std::optional<std::string> ToAnsi(std::string_view utf8);

// Album bytes to UTF-8. Never fails: a byte sequence that is not GB18030 becomes U+FFFD,
// and a character cut off at the end of the text (as a 126-byte cut may leave) is dropped.
std::string FromAnsi(std::string_view ansi);

// True when `text` is valid UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace platform
