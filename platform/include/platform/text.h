#pragma once
// Small text helpers shared by the readers and writers of settings, album and lyrics text:
// splitting lines, trimming, and ASCII case folding. They work on bytes, so they serve UTF-8
// and the album code page alike (neither uses bytes below 0x80 inside a character).

#include <string>
#include <string_view>

namespace platform {

// What ends a line. The album texts end their lines in CR LF; the player's readers have
// always taken a lone CR as a line end too, and the settings reader also a lone LF.
enum class LineEnds {
  CrOrCrLf,   // CR LF or CR; a lone LF stays inside the line
  CrLfCrOrLf  // CR LF, CR or LF
};

// Takes the next line off the front of `text` and returns it without its line end. A text
// that ends with a line end has no empty line after it; call while `text` is not empty.
std::string_view NextLine(std::string_view& text, LineEnds ends);

// `text` without the leading and trailing characters in `blanks` (by default the space
// alone, as the product has always trimmed).
std::string_view Trim(std::string_view text, std::string_view blanks = " ");

// True when `text` holds nothing but characters of `blanks`.
inline bool IsBlank(std::string_view text, std::string_view blanks = " ") {
  return text.find_first_not_of(blanks) == std::string_view::npos;
}

// 'A'..'Z' to 'a'..'z'; every other byte unchanged.
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal when only ASCII letter case differs.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// True when `utf8` holds a control character: C0 (tab and line breaks included), DEL, or C1
// (U+0080..U+009F).
bool HasControlCharacter(std::string_view utf8);

// `text` as it may be printed to a terminal: every control character (as above) and every
// byte that is not part of valid UTF-8 shown as "\xNN", so a name can neither steer the
// terminal nor cut a message short at a NUL. Other text, backslashes included, is unchanged.
std::string EscapeControls(std::string_view text);

// The one UTF-8 decoder. The length (1 to 4) of the valid UTF-8 character at the start of
// `text`, its code point in `cp`; 0 when `text` is empty or starts with a byte that begins no
// valid character (a stray continuation byte, an overlong form, a surrogate, a value past
// U+10FFFF or a sequence cut short).
std::size_t DecodeUtf8(std::string_view text, char32_t& cp);

// The length the UTF-8 sequence starting with `lead` claims to have: 2, 3 or 4 for a lead
// byte, else 1, so that counting characters never stalls on bad bytes.
std::size_t Utf8SequenceLength(unsigned char lead);

// `cp` (at most U+10FFFF) appended to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// `text` with every byte that does not start a valid UTF-8 character replaced by U+FFFD.
std::string RepairUtf8(std::string_view text);

}  // namespace platform
