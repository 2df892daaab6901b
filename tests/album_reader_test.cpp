#include <gtest/gtest.h>

#include "cli/error_text.h"

#include "album/reader.h"
#include "album/writer.h"
#include "platform/codepage.h"
#include "platform/file.h"

#include <sys/stat.h>
#include "support/temp_dir.h"
#ifndef _WIN32
#include <unistd.h>
#include "support/file_size_limit.h"
#endif

namespace fs = std::filesystem;
using testing_support::Pattern;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// Builds album images by hand, the way any other correct writer of the format could: its own
// player bytes, its own spelling of the settings text.
struct HandMadeAlbum {
  std::string player = Pattern(5000, 42);
  std::array<std::string, 10> songs, lyrics, names;
  std::string description = "made elsewhere\r\n";
  std::string settingsOverride;  // used instead of the computed text when not empty

  std::string Bytes(album::Index* indexOut = nullptr) const {
    std::string image = player;
    album::PiecePositions s{};
    s[1] = static_cast<std::int64_t>(image.size()) + 1;
    for (int k = 2; k <= 21; ++k) {
      const std::string& piece = k <= 11 ? songs[k - 2] : lyrics[k - 12];
      image += piece;
      s[k] = s[k - 1] + static_cast<std::int64_t>(piece.size());
    }
    std::string settings = settingsOverride;
    if (settings.empty()) {
      settings = "[T]\r\nTitle=elsewhere\r\n[S]\r\n";
      for (int k = 21; k >= 1; --k) settings += "S" + std::to_string(k) + " = " + std::to_string(s[k]) + "\r\n";
      settings += "[song]\r\n";
      for (int i = 1; i <= 10; ++i) settings += "song" + std::to_string(i) + "=" + names[i - 1] + "\r\n";
    }
    album::Index index;
    index.A = s[21];
    image += settings;
    index.B = index.A + static_cast<std::int64_t>(settings.size());
    image += description;
    index.E = index.B + static_cast<std::int64_t>(description.size());
    auto trailer = album::BuildTrailer(index);
    image.append(reinterpret_cast<const char*>(trailer.data()), trailer.size());
    if (indexOut) *indexOut = index;
    return image;
  }
};

class AlbumReader : public ::testing::Test {
 protected:
  fs::path Write(std::string_view name, std::string_view bytes) {
    fs::path path = dir_ / name;
    WriteFile(path, bytes);
    return path;
  }
  void ExpectRefused(std::string_view bytes, std::string_view words) {
    fs::path path = Write("bad.exe", bytes);
    auto image = album::AlbumImage::ReadAlbumIndex(path);
    ASSERT_FALSE(image) << "accepted: " << words;
    EXPECT_EQ(image.error().kind, platform::ErrorKind::NotAnAlbum);
    EXPECT_NE(cli::ErrorText(image.error()).find(path.string()), std::string::npos);
    EXPECT_NE(cli::ErrorText(image.error()).find(words), std::string::npos) << cli::ErrorText(image.error());
  }
  TempDir dir_;
};

TEST_F(AlbumReader, ReadsAnAlbumFromAnotherWriter) {
  HandMadeAlbum made;
  made.songs[0] = Pattern(70000, 1);
  made.names[0] = "first";
  made.songs[2] = Pattern(10, 3);
  made.lyrics[2] = "[00:01.00]third\r\n";
  made.names[2] = "\xC8\xFD";  // "三" in code page 936
  auto image = album::AlbumImage::ReadAlbumIndex(Write("other.exe", made.Bytes()));
  ASSERT_TRUE(image) << cli::ErrorText(image.error());
  EXPECT_EQ(image.value().settings().title, "elsewhere");
  EXPECT_EQ(image.value().description(), "made elsewhere\r\n");

  TempDir out;
  auto songs = album::ExtractSongs(image.value(), out.path());
  ASSERT_TRUE(songs);
  ASSERT_EQ(songs.value().size(), 2u);
  EXPECT_EQ(ReadFile(out / "first.mp3"), made.songs[0]);
  EXPECT_EQ(ReadFile(out / "三.mp3"), made.songs[2]);
  EXPECT_EQ(ReadFile(out / "三.lrc"), made.lyrics[2]);
  EXPECT_EQ(songs.value()[1].lyrics, out / "三.lrc");
}

TEST_F(AlbumReader, RefusesFilesThatAreNotWholeAlbums) {
  HandMadeAlbum made;
  made.songs[0] = Pattern(1000, 1);
  made.names[0] = "one";
  std::string good = made.Bytes();
  ASSERT_TRUE(album::AlbumImage::ReadAlbumIndex(Write("good.exe", good)));

  ExpectRefused("", "shorter than the 10,000-byte index");
  ExpectRefused(std::string(9999, ' '), "shorter than the 10,000-byte index");
  ExpectRefused(std::string(20000, '\0'), "three numbers");
  // Cut or grown at either end: the index no longer matches the length.
  ExpectRefused(good.substr(0, good.size() - 1), "file length");
  ExpectRefused(good.substr(1000), "file length");
  ExpectRefused(good + "x", "file length");
  // A trailer that is intact but the file was cut before it.
  std::string cut = good.substr(0, 3000) + good.substr(good.size() - 10000);
  ExpectRefused(cut, "file length");
}

TEST_F(AlbumReader, RefusesForgedIndexes) {
  HandMadeAlbum made;
  made.songs[0] = Pattern(1000, 1);
  made.names[0] = "one";
  album::Index index;
  std::string good = made.Bytes(&index);
  auto forge = [&](album::Index forged) {
    std::string bytes = good;
    auto trailer = album::BuildTrailer(forged);
    bytes.replace(bytes.size() - 10000, 10000, reinterpret_cast<const char*>(trailer.data()), 10000);
    return bytes;
  };
  ExpectRefused(forge({index.B, index.A, index.E}), "out of order");
  ExpectRefused(forge({0, index.B, index.E}), "out of order");
  ExpectRefused(forge({index.A, index.E + 1, index.E}), "out of order");
  ExpectRefused(forge({index.A, index.B, index.E - 1}), "file length");
  ExpectRefused(forge({index.A + 1, index.B, index.E}), "settings");
  // Numbers too large for the format.
  std::string huge = good;
  std::string text = "99999999999\\1\\1";
  for (std::size_t k = 0; k < 100; ++k) huge[huge.size() - 10000 + 100 * (k + 1) - 1] = k < text.size() ? text[k] : ' ';
  ExpectRefused(huge, "three numbers");
}

TEST_F(AlbumReader, ReadsSettingsOfUpToOneMebibyteAndRefusesLarger) {
  HandMadeAlbum made;
  made.songs[0] = Pattern(1000, 1);
  made.names[0] = "one";
  album::Index index;
  const std::string plain = made.Bytes(&index).substr(index.A - 1, index.B - index.A);
  auto padded = [&](std::size_t size) {
    std::string text = plain + "[pad]\r\np=";
    text.resize(size, 'x');
    return text;
  };
  made.settingsOverride = padded(1 << 20);
  auto largest = album::AlbumImage::ReadAlbumIndex(Write("largest.exe", made.Bytes()));
  ASSERT_TRUE(largest) << cli::ErrorText(largest.error());
  EXPECT_EQ(largest.value().settings().songSlots[0].name, "one");
  made.settingsOverride = padded((1 << 20) + 1);
  ExpectRefused(made.Bytes(), "settings are implausibly large");
}

TEST_F(AlbumReader, RefusesSettingsWithPositionsOutOfOrderOrOutOfTheFile) {
  HandMadeAlbum made;
  made.songs[0] = Pattern(1000, 1);
  made.names[0] = "one";
  album::Index index;
  made.Bytes(&index);
  auto settingsWith = [&](int k, std::int64_t value) {
    std::string text = "[s]\r\n";
    for (int j = 1; j <= 21; ++j) {
      std::int64_t v = j == 1 ? 5001 : index.A;
      if (j == k) v = value;
      text += "s" + std::to_string(j) + "=" + std::to_string(v) + "\r\n";
    }
    return text + "[SONG]\r\nSONG1=one\r\n";
  };
  // The settings text length stays the same as long as the numbers keep their digits.
  made.settingsOverride = settingsWith(0, 0);
  ASSERT_TRUE(album::AlbumImage::ReadAlbumIndex(Write("ok.exe", made.Bytes())));
  made.settingsOverride = settingsWith(5, 5001);
  ExpectRefused(made.Bytes(), "out of order");
  made.settingsOverride = settingsWith(1, 0);
  ExpectRefused(made.Bytes(), "where the songs start");
  made.settingsOverride = settingsWith(21, 9999);
  ExpectRefused(made.Bytes(), "do not agree with the index");
  made.settingsOverride = settingsWith(21, 0);
  ExpectRefused(made.Bytes(), "out of order");
  made.settingsOverride = "[s]\r\nnothing here\r\n";
  ExpectRefused(made.Bytes(), "where the songs start");
}

TEST_F(AlbumReader, UnsafeAndEmptySongsAreSkippedWithAReason) {
  HandMadeAlbum made;
  made.songs[0] = Pattern(10, 1);
  made.names[0] = "../../escape";
  made.songs[1] = Pattern(10, 2);
  made.names[1] = "retitle\x1B]0;pwned\x07";
  made.songs[2] = Pattern(10, 3);
  made.names[2] = "back\\slash";
  made.names[3] = "no bytes";
  made.songs[4] = Pattern(10, 5);
  made.names[4] = "fine";
  made.songs[5] = Pattern(10, 6);
  made.names[5] = "..";  // its file "...mp3" stays in the folder
  auto image = album::AlbumImage::ReadAlbumIndex(Write("unsafe.exe", made.Bytes()));
  ASSERT_TRUE(image);
  TempDir out;
  std::vector<std::pair<int, platform::ErrorKind>> skipped;
  auto songs = album::ExtractSongs(image.value(), out.path(),
                                   {.onSong = {}, .onSkip = [&](const platform::Error& why) {
                                      skipped.emplace_back(why.slot, why.kind);
                                    }});
  ASSERT_TRUE(songs);
  using platform::ErrorKind;
  EXPECT_EQ(skipped, (std::vector<std::pair<int, ErrorKind>>{{1, ErrorKind::UnsafeSongName},
                                                             {2, ErrorKind::UnsafeSongName},
                                                             {3, ErrorKind::UnsafeSongName},
                                                             {4, ErrorKind::EmptySong}}));
  ASSERT_EQ(songs.value().size(), 2u);
  EXPECT_EQ(songs.value()[0].slot, 5);
  EXPECT_EQ(ReadFile(out / "...mp3"), made.songs[5]);
  EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 2);
  EXPECT_FALSE(fs::exists(dir_.path().parent_path() / "escape.mp3"));

  auto exported = album::ExportSlot(image.value(), 1, out.path());
  ASSERT_FALSE(exported);
  EXPECT_EQ(exported.error().kind, platform::ErrorKind::UnsafeSongName);
  EXPECT_EQ(exported.error().slot, 1);
}

TEST_F(AlbumReader, SameNamesGetTheSlotNumberSoNothingIsOverwritten) {
  HandMadeAlbum made;
  made.songs[0] = Pattern(100, 1);
  made.songs[1] = Pattern(200, 2);
  made.lyrics[1] = "[00:01.00]two\r\n";
  made.songs[2] = Pattern(300, 3);
  made.names[0] = made.names[1] = "same";
  made.names[2] = "same (2)";  // already taken by slot 2's file
  // Names that differ only past the 126-byte cut come back equal.
  made.songs[3] = Pattern(400, 4);
  made.songs[4] = Pattern(500, 5);
  made.names[3] = std::string(126, 'n') + "four";
  made.names[4] = std::string(126, 'n') + "five";
  auto image = album::AlbumImage::ReadAlbumIndex(Write("same.exe", made.Bytes()));
  ASSERT_TRUE(image);
  TempDir out;
  std::vector<std::pair<int, bool>> written;
  auto songs =
      album::ExtractSongs(image.value(), out.path(),
                          {.onSong = {}, .onSkip = {}, .onWritten = [&](const album::ExtractedSong& s) {
                             written.emplace_back(s.slot, s.nameTaken);
                           }});
  ASSERT_TRUE(songs);
  EXPECT_EQ(written,
            (std::vector<std::pair<int, bool>>{{1, false}, {2, true}, {3, true}, {4, false}, {5, true}}));
  EXPECT_EQ(ReadFile(out / "same.mp3"), made.songs[0]);
  EXPECT_EQ(ReadFile(out / "same (2).mp3"), made.songs[1]);
  EXPECT_EQ(ReadFile(out / "same (2).lrc"), made.lyrics[1]);
  EXPECT_EQ(ReadFile(out / "same (2) (3).mp3"), made.songs[2]);
  EXPECT_EQ(ReadFile(out / (std::string(126, 'n') + " (5).mp3")), made.songs[4]);
  EXPECT_EQ(songs.value()[1].name, "same");
}

TEST_F(AlbumReader, NothingIsWrittenOverTheAlbumItself) {
  // An album renamed after its own song, unpacked into its own folder.
  HandMadeAlbum made;
  made.songs[0] = Pattern(100, 1);
  made.names[0] = platform::ToAnsi("小星星").value();
  made.songs[1] = Pattern(100, 2);
  made.lyrics[1] = "la";
  made.names[1] = "lyrics";
  const std::string bytes = made.Bytes();
  auto image = album::AlbumImage::ReadAlbumIndex(Write("小星星.mp3", bytes));
  ASSERT_TRUE(image);
  fs::create_hard_link(dir_ / "小星星.mp3", dir_ / "lyrics.lrc");  // the same file by another name
  std::vector<platform::Error> skipped;
  auto songs =
      album::ExtractSongs(image.value(), dir_.path(),
                          {.onSong = {}, .onSkip = [&](const platform::Error& e) { skipped.push_back(e); }});
  ASSERT_TRUE(songs);
  EXPECT_TRUE(songs.value().empty());
  ASSERT_EQ(skipped.size(), 2u);
  EXPECT_EQ(cli::ErrorText(skipped[0]),
            (dir_ / "小星星.mp3").string() + ": this is the album itself, so slot 1 is not written over it");
  EXPECT_EQ(skipped[1].kind, platform::ErrorKind::DestinationIsAlbum);
  EXPECT_FALSE(fs::exists(dir_ / "lyrics.mp3")) << "nothing of a refused slot is written";
  auto exported = album::ExportSlot(image.value(), 1, dir_.path());
  ASSERT_FALSE(exported);
  EXPECT_EQ(exported.error().kind, platform::ErrorKind::DestinationIsAlbum);
  EXPECT_EQ(album::ExtractPiece(dir_ / "小星星.mp3", dir_ / "小星星.mp3", 1, 10).error().kind,
            platform::ErrorKind::DestinationIsAlbum);
  EXPECT_EQ(ReadFile(dir_ / "小星星.mp3"), bytes);
}

TEST_F(AlbumReader, OnlyARegularFileIsReadAsAnAlbum) {
  std::vector<fs::path> notFiles{testing_support::kNullDevice};
#ifndef _WIN32  // Windows has no FIFOs among its files
  ASSERT_EQ(::mkfifo((dir_ / "pipe.exe").c_str(), 0600), 0);
  notFiles.push_back(dir_ / "pipe.exe");
#endif
  for (const fs::path& path : notFiles)
    EXPECT_EQ(album::AlbumImage::ReadAlbumIndex(path).error().kind, platform::ErrorKind::NotRegularFile)
        << path;
  EXPECT_EQ(album::AlbumImage::ReadAlbumIndex(dir_.path()).error().kind, platform::ErrorKind::IsFolder);
}

TEST_F(AlbumReader, TheAlbumNameDropsExeInAnyLetterCase) {
  HandMadeAlbum made;
  for (const char* file : {"X.EXE", "y.Exe", "z.exe"}) {
    auto image = album::AlbumImage::ReadAlbumIndex(Write(file, made.Bytes()));
    ASSERT_TRUE(image);
    EXPECT_EQ(image.value().AlbumName(), std::string(1, file[0]));
  }
}

TEST_F(AlbumReader, ExportWritesSongAndLyricsAgainAndAgain) {
  HandMadeAlbum made;
  made.songs[2] = Pattern(100, 1);
  made.lyrics[2] = "[00:00.50]la\r\n";
  made.names[2] = "three";
  made.songs[3] = Pattern(100, 4);
  made.names[3] = "four";
  auto image = album::AlbumImage::ReadAlbumIndex(Write("export.exe", made.Bytes()));
  ASSERT_TRUE(image);
  WriteFile(dir_ / "three.mp3", Pattern(500000, 9));  // an older, longer file is replaced
  for (int round = 0; round < 2; ++round) {
    auto song = album::ExportSlot(image.value(), 3, dir_.path());
    ASSERT_TRUE(song);
    EXPECT_EQ(ReadFile(dir_ / "three.mp3"), made.songs[2]);
    EXPECT_EQ(ReadFile(dir_ / "three.lrc"), made.lyrics[2]);
  }
  ASSERT_TRUE(album::ExportSlot(image.value(), 4, dir_.path()));
  EXPECT_FALSE(fs::exists(dir_ / "four.lrc"));
  EXPECT_FALSE(album::ExportSlot(image.value(), 1, dir_.path()));
  EXPECT_FALSE(album::ExportSlot(image.value(), 11, dir_.path()));
  made.songs[2] += "longer";
  WriteFile(dir_ / "export.exe", made.Bytes());  // rewritten in place: the positions read are void
  EXPECT_EQ(album::ExportSlot(image.value(), 3, dir_.path()).error().kind, platform::ErrorKind::AlbumChanged);
}

TEST(ExtractPiece, CopiesExactlyTheRangeAcrossBlockBoundaries) {
  TempDir dir;
  std::string source = Pattern(200000, 3);
  WriteFile(dir / "src", source);
  for (std::int64_t n : {0, 1, 63999, 64000, 64001, 128000, 128005}) {
    ASSERT_TRUE(album::ExtractPiece(dir / "src", dir / "dst", 7, 7 + n - 1));
    EXPECT_EQ(ReadFile(dir / "dst"), source.substr(6, static_cast<std::size_t>(n))) << n;
  }
}

TEST(ExtractPiece, AFailedCopyLeavesNoHalfFile) {
  TempDir dir;
  WriteFile(dir / "src", Pattern(1000, 3));
  WriteFile(dir / "dst", "older");
  // Past the end of the source.
  auto status = album::ExtractPiece(dir / "src", dir / "dst", 500, 1500);
  ASSERT_FALSE(status);
  EXPECT_NE(cli::ErrorText(status.error()).find("src"), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "dst"), "older");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
#ifndef _WIN32  // Windows has no file size limit of a process to stand in for a full disk
  // A write that fails half-way (a full disk behaves the same).
  WriteFile(dir / "big", Pattern(300000, 4));
  {
    testing_support::FileSizeLimit failing(100000);
    status = album::ExtractPiece(dir / "big", dir / "new", 1, 300000);
  }
  ASSERT_FALSE(status);
  EXPECT_NE(cli::ErrorText(status.error()).find("new"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "new"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
#endif
  // A missing source.
  EXPECT_EQ(album::ExtractPiece(dir / "nope", dir / "x", 1, 1).error().kind, platform::ErrorKind::NotFound);
  EXPECT_FALSE(fs::exists(dir / "x"));
}

TEST(AlbumFormat, SongNamesDropTheLastFourCharacters) {
  EXPECT_EQ(album::GetFileName("/music/歌曲.mp3"), "歌曲");
  EXPECT_EQ(album::GetFileName("C:\\music\\song.MP3"), "song");
  EXPECT_EQ(album::GetFileName("plain.mp3"), "plain");
  EXPECT_EQ(album::GetFileName("/music/.mp3"), "");  // exactly four: an empty name
  EXPECT_EQ(album::GetFileName("/music/一二三四"), "");
  EXPECT_FALSE(album::GetFileName("/music/mp3"));
  EXPECT_FALSE(album::GetFileName("/music/"));
}

TEST(AlbumFormat, TrailerNumbersAreReadLeniently) {
  auto trailerOf = [](std::string text) {
    std::vector<std::byte> trailer(10000);
    for (std::size_t k = 0; k < text.size(); ++k) trailer[100 * (k + 1) - 1] = static_cast<std::byte>(text[k]);
    return trailer;
  };
  EXPECT_EQ(album::ParseTrailer(trailerOf("1\\2\\3")), (album::Index{1, 2, 3}));
  EXPECT_EQ(album::ParseTrailer(trailerOf("  12abc\\ 7\\9 trailing")), (album::Index{12, 7, 9}));
  EXPECT_EQ(album::ParseTrailer(trailerOf("1\\2\\3\\4")), (album::Index{1, 2, 3}));
  EXPECT_FALSE(album::ParseTrailer(trailerOf("1\\2")));
  EXPECT_FALSE(album::ParseTrailer(trailerOf("1\\\\3")));
  EXPECT_FALSE(album::ParseTrailer(trailerOf("2147483648\\1\\1")));
  EXPECT_EQ(album::ParseTrailer(trailerOf("2147483647\\1\\1"))->A, 2147483647);
  // The 100th character of a written trailer is always a space.
  auto written = album::BuildTrailer({2147483647, 2147483647, 2147483647});
  EXPECT_EQ(written[9999], std::byte{' '});
}

}  // namespace
