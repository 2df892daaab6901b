// The lyrics parser on lyrics files of our own, loading them beside a song, and the lyric step.
#include "player/lyrics.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/file.h"
#include "support/temp_dir.h"

namespace {

using Lines = std::vector<std::pair<std::int32_t, std::string>>;

Lines Shown(const player::Lyrics& lyrics) {
  Lines lines;
  for (std::size_t i = 0; i < lyrics.lines.size(); ++i)
    lines.emplace_back(lyrics.lines[i].timeMs, std::string(lyrics.Text(i)));
  return lines;
}

Lines Parse(std::string_view bytes) {
  return Shown(player::ParseLyrics(platform::AsBytes(bytes)));
}

struct ParseCase {
  const char* what;
  std::string bytes;
  Lines expected;
};

TEST(Lyrics, FilesComeOutAsTimeOrderedLines) {
  using namespace std::string_literals;
  const ParseCase cases[] = {
      {"a line with two tags becomes two lines",
       "[01:02.03][02:10.50]Hello\r\n",
       {{62'030, "Hello"}, {130'500, "Hello"}}},
      {"header and untagged lines are dropped wherever they stand",
       "[ti:T]\r\n[ar:A]\r\n[00:01.00]a\r\n[al:B]\r\n[by:C]\r\n[00:02.00]b\r\nplain\r\n",
       {{1000, "a"}, {2000, "b"}}},
      {"commas and quotes are kept",
       "[00:20.00]one, two\n[00:21.00]\"quoted\", yes\n",
       {{20'000, "one, two"}, {21'000, "\"quoted\", yes"}}},
      {"each tag is read on its own, with one to three digits of minutes",
       "[00:05]a\n[00:01.5]b\n[00:02.25]c\n[00:03.125]d\n[100:00.00]e\n[1:00]f\n",
       {{1500, "b"}, {2250, "c"}, {3125, "d"}, {5000, "a"}, {60'000, "f"}, {6'000'000, "e"}}},
      {"lines of the same time keep their order in the file, whatever their letters",
       "[00:10]zeta\n[00:02]Alpha\n[00:10]alpha\n[00:02][00:10]both\n",
       {{2000, "Alpha"}, {2000, "both"}, {10'000, "zeta"}, {10'000, "alpha"}, {10'000, "both"}}},
      {"malformed tags are no time tags; blanks around the line go",
       "[0:1]x\n[00:1]y\n[00:01:]z\n[00:01.]w\n[1234:00]v\n[00:01.1234]u\n \t[00:03] spaced \t\n",
       {{3000, "spaced"}}},
      {"a colon before the hundredths reads like a dot", "[00:01:50]z\n", {{1500, "z"}}},
      {"word time tags are dropped from the text, other angle brackets stay",
       "[00:01.00]<00:01.20>Hello <00:01.80>world<00:02:10> <3 <a>\n",
       {{1000, "Hello world <3 <a>"}}},
      {"a positive offset shows lines earlier, never before 0",
       "[00:00.20]a\n[00:02.00]b\n[offset:+500]\n",
       {{0, "a"}, {1500, "b"}}},
      {"a negative offset shows them later; the last offset counts",
       "[offset:100]\n[Offset: -300 ]\n[00:02.00]b\n",
       {{2300, "b"}}},
      {"UTF-8 without a byte order mark", "[00:01.00]你好世界\r\n", {{1000, "你好世界"}}},
      {"UTF-16 little-endian with its byte order mark",
       "\xFF\xFE[\0\x30\0\x30\0:\0\x30\0\x31\0]\0`O}Y=\xD8\0\xDE\r\0\n\0"s,
       {{1000, "你好😀"}}},
      {"UTF-16 big-endian, a lone surrogate becoming a replacement character",
       "\xFE\xFF\0[\0\x30\0\x30\0:\0\x30\0\x31\0]O`Y}\xD8\0\0\n"s,
       {{1000, "你好\xEF\xBF\xBD"}}},
      {"an empty timed line clears the label", "[00:30.00]\r\n", {{30'000, ""}}},
      {"a file without timed lines has none", "just text\r\n[ti:x]\r\n", {}},
      {"NUL bytes are text and a lone CR ends a line",
       "[00:01]a\0b\r[00:02]c"s,
       {{1000, "a\0b"s}, {2000, "c"}}},
      {"code page 936 text with CR LF",
       "[00:01.00]\xCB\xB5\xC3\xF7\r\n[00:02.00]x\r\n",
       {{1000, "说明"}, {2000, "x"}}},
      {"a GB18030 character may end in the byte of a bracket", "[00:01]\x81\x5B\x81\x5D\n", {{1000, "乕乚"}}},
      {"UTF-8 after a byte order mark, with LF", "\xEF\xBB\xBF[00:01.00]说明\n", {{1000, "说明"}}},
      {"bad UTF-8 after a byte order mark becomes replacement characters",
       "\xEF\xBB\xBF[00:01]a\xFF\n",
       {{1000, "a\xEF\xBF\xBD"}}},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(Parse(c.bytes), c.expected) << c.what;
}

TEST(Lyrics, AMegabyteLineWithManyTagsSharesItsText) {
  // 150,000 tags share one text of a megabyte rather than copying it.
  std::string tags;
  for (int i = 0; i < 150'000; ++i) tags += "[00:01]";
  const player::Lyrics wide = player::ParseLyrics(platform::AsBytes(tags + std::string(1 << 20, 'x')));
  EXPECT_EQ(wide.lines.size(), 150'000u);
  EXPECT_EQ(wide.texts.size(), 1u);
}

TEST(Lyrics, HugeLinesKeepWhatALabelCanShowCutAtACharacter) {
  std::string utf8 = "abc", ansi = "abc";  // so that both cuts fall inside a character
  for (int i = 0; i < 1'000'000; ++i) utf8 += "说明", ansi += "\xCB\xB5\xC3\xF7";
  for (const std::string& text : {utf8, ansi, std::string(5 << 20, 'x')}) {
    const Lines lines = Parse("[00:01]" + text + "\n[00:02]" + text);
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& [time, shown] : lines) {
      EXPECT_LE(shown.size(), player::kMaxLyricTextBytes);
      EXPECT_GT(shown.size(), player::kMaxLyricTextBytes - 3);
      EXPECT_TRUE(platform::IsValidUtf8(shown) && (text.starts_with(shown) || utf8.starts_with(shown)));
    }
  }
}

TEST(Lyrics, LoadingReadsTheLrcFileBesideTheSong) {
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "歌.lrc", "[ti:\xB8\xE8]\r\n[00:01.00]\xCB\xB5\xC3\xF7\r\n");
  testing_support::WriteFile(dir / "empty.lrc", "[ar:nobody]\r\n");
  std::filesystem::create_directory(dir / "folder.lrc");
#ifndef _WIN32  // Windows has no FIFOs among its files
  ASSERT_EQ(::mkfifo((dir / "pipe.lrc").c_str(), 0600), 0);
#endif

  const player::LyricState song = player::LoadLyrics(dir / "歌.mp3");
  EXPECT_TRUE(song.hasLyrics);
  EXPECT_EQ(Shown(song.lyricLines), (Lines{{1000, "说明"}}));
  EXPECT_EQ(player::StartCaption(song, "歌"), "");

  const player::LyricState empty = player::LoadLyrics(dir / "empty.mp3");
  EXPECT_TRUE(empty.hasLyrics);
  EXPECT_EQ(empty.lyricCount(), 0u);
  EXPECT_EQ(player::StartCaption(empty, "empty"), "");

  for (const char* song : {"missing.mp3", "folder.mp3", "pipe.mp3"}) {
    player::LyricState none = player::LoadLyrics(dir / song);
    EXPECT_FALSE(none.hasLyrics) << song;
    EXPECT_EQ(player::StartCaption(none, "title"), "title") << song;
    EXPECT_FALSE(player::LyricStep(none, 1e6)) << song;
  }

  // Past the size limit only whole lines are read: the cut falls inside a character, which
  // must not make the file read as code page 936.
  std::string big = "[00:01]\n";
  while (big.size() < player::kMaxLyricsBytes + 100) big += "[00:03]说\n";
  testing_support::WriteFile(dir / "big.lrc", big);
  const player::LyricState cut = player::LoadLyrics(dir / "big.mp3");
  EXPECT_EQ(cut.lyricLines.texts.back(), "说");
}

// The step at each of `positions`: the text shown, or "-" when the label stays.
std::vector<std::string> Steps(player::LyricState& state, std::initializer_list<double> positions) {
  std::vector<std::string> shown;
  for (double p : positions) {
    const auto text = player::LyricStep(state, p);
    shown.emplace_back(text ? std::string(*text) : "-");
  }
  return shown;
}

TEST(Lyrics, LinesFallDueOnePerTickInTimeOrderAndTheLastStays) {
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "a.lrc", "[00:03.00]d\r\n[00:02.00]b\r\n[00:01.00]a\r\n[00:02.00]c\r\n");
  player::LyricState state = player::LoadLyrics(dir / "a.mp3");
  EXPECT_EQ(Steps(state, {0, 0.5, 1.0, 1.01, 2.5, 9, 9, 9, 9, 600}),
            (std::vector<std::string>{"-", "-", "-", "a", "b", "c", "d", "-", "-", "-"}));
  EXPECT_EQ(state.nextLyric, state.lyricCount());

  // A new song replaces the state, also in the middle of the old one.
  testing_support::WriteFile(dir / "b.lrc", "[00:00.50]first\r\n");
  state = player::LoadLyrics(dir / "b.mp3");
  EXPECT_EQ(Steps(state, {0.4, 0.6, 0.7}), (std::vector<std::string>{"-", "first", "-"}));
}

}  // namespace
