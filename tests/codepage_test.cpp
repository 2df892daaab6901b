#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/codepage.h"

using platform::FromAnsi;
using platform::ToAnsi;

namespace {

TEST(CodePage, ChineseTextRoundTripsThroughCodePage936Bytes) {
  // "没有说明" is C3BB D3D0 CBB5 C3F7 in code page 936.
  std::optional<std::string> ansi = ToAnsi("没有说明");
  ASSERT_TRUE(ansi);
  EXPECT_EQ(*ansi, "\xC3\xBB\xD3\xD0\xCB\xB5\xC3\xF7");
  EXPECT_EQ(FromAnsi(*ansi), "没有说明");
}

TEST(CodePage, AsciiIsUnchanged) {
  EXPECT_EQ(ToAnsi("abc 123\r\n").value(), "abc 123\r\n");
  EXPECT_EQ(FromAnsi("abc 123\r\n"), "abc 123\r\n");
}

TEST(CodePage, CharactersOutsideCodePage936StillRoundTrip) {
#ifdef _WIN32
  if (!::IsValidCodePage(54936)) GTEST_SKIP() << "this system (wine) has no GB18030, code page 54936";
#endif
  std::string text = "Ünïcödé ☃ 🎵 한국어";
  std::optional<std::string> ansi = ToAnsi(text);
  ASSERT_TRUE(ansi);
  EXPECT_EQ(FromAnsi(*ansi), text);
}

TEST(CodePage, InvalidUtf8IsRefused) {
  EXPECT_FALSE(ToAnsi("bad \xFF byte"));
  EXPECT_FALSE(ToAnsi("\xC0\xAF"));        // overlong "/"
  EXPECT_FALSE(ToAnsi("\xED\xA0\x80"));    // a surrogate
  EXPECT_FALSE(ToAnsi("cut \xE4\xB8"));    // cut off
}

TEST(CodePage, ACharacterCutOffAtTheEndIsDropped) {
  // The 126-byte cut of a settings value may split a two-byte character.
  EXPECT_EQ(FromAnsi("ab\xC3"), "ab");
}

TEST(CodePage, InvalidBytesBecomeReplacementCharacters) {
  std::string text = FromAnsi("a\xFF" "b");
  EXPECT_EQ(text, "a\xEF\xBF\xBD" "b");
}

TEST(CodePage, TheEuroSignIsTheSingleByte0x80BothWays) {
  EXPECT_EQ(FromAnsi("\x80 5"), "€ 5");
  EXPECT_EQ(ToAnsi("€ 5").value(), "\x80 5");
  EXPECT_EQ(FromAnsi("\xC3\xBB\x80\xC3\xF7"), "没€明");
  // 0x80 as the second byte of a two-byte character stays part of it.
  EXPECT_EQ(FromAnsi("\x81\x80"), "亐");
  EXPECT_EQ(FromAnsi(ToAnsi("价格€€ 元").value()), "价格€€ 元");
}

}  // namespace
