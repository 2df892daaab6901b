// Line splitting, trimming and ASCII case folding, as the settings, album and lyrics readers use them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"

namespace {

std::vector<std::string> Lines(std::string_view text, platform::LineEnds ends) {
  std::vector<std::string> lines;
  while (!text.empty()) lines.emplace_back(platform::NextLine(text, ends));
  return lines;
}

TEST(Text, LinesEndAtCrLfAndCrAndOnlyWhereAskedAtALoneLf) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Lines("a\r\nb\rc\nd\r\n", platform::LineEnds::CrOrCrLf), (V{"a", "b", "c\nd"}));
  EXPECT_EQ(Lines("a\r\nb\rc\nd\r\n", platform::LineEnds::CrLfCrOrLf), (V{"a", "b", "c", "d"}));
  // An empty line between two ends is a line; nothing follows the last end.
  EXPECT_EQ(Lines("\r\n\r\nx", platform::LineEnds::CrOrCrLf), (V{"", "", "x"}));
  EXPECT_EQ(Lines("\n\r", platform::LineEnds::CrLfCrOrLf), (V{"", ""}));
}

TEST(Text, TrimmingTakesOnlyTheBlanksAskedFor) {
  EXPECT_EQ(platform::Trim("  a b \t "), "a b \t");
  EXPECT_EQ(platform::Trim(" \t a b \t ", " \t"), "a b");
  EXPECT_EQ(platform::Trim("    "), "");
  EXPECT_TRUE(platform::IsBlank("   "));
  EXPECT_FALSE(platform::IsBlank(" \r\n "));
}

TEST(Text, CaseFoldingTouchesOnlyAsciiLetters) {
  EXPECT_TRUE(platform::EqualsIgnoringAsciiCase("SONG1", "song1"));
  EXPECT_FALSE(platform::EqualsIgnoringAsciiCase("song", "songs"));
  // Bytes above 0x7F (code page 936 or UTF-8) are compared as they are.
  EXPECT_TRUE(platform::EqualsIgnoringAsciiCase("歌A", "歌a"));
  EXPECT_FALSE(platform::EqualsIgnoringAsciiCase("\xC4", "\xE4"));
}

TEST(Text, ControlCharactersAndStrayBytesArePrintedEscapedAndEverythingElseAsItIs) {
  EXPECT_EQ(platform::EscapeControls("歌 \\ ok"), "歌 \\ ok");
  EXPECT_EQ(platform::EscapeControls(std::string("a\x1B[2J\tb\0c\x7F", 10)), "a\\x1B[2J\\x09b\\x00c\\x7F");
  EXPECT_EQ(platform::EscapeControls("c1 \xC2\x9B stray \xFF cut \xE6\xAD"),
            "c1 \\xC2\\x9B stray \\xFF cut \\xE6\\xAD");
  EXPECT_TRUE(platform::HasControlCharacter("tab\there"));
  // C1 controls run from U+0080 to U+009F; the no-break space U+00A0 is text.
  EXPECT_TRUE(platform::HasControlCharacter("\xC2\x80"));
  EXPECT_TRUE(platform::HasControlCharacter("\xC2\x9F"));
  EXPECT_FALSE(platform::HasControlCharacter("\xC2\xA0"));
  EXPECT_FALSE(platform::HasControlCharacter("..  歌曲 \xFF"));
}

}  // namespace
