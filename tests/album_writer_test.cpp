#include <gtest/gtest.h>

#include "cli/error_text.h"

#include <sys/stat.h>

#include <map>

#include "album/reader.h"
#include "album/song_check.h"
#include "album/writer.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "support/temp_dir.h"
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_seams.h"
#include "support/file_size_limit.h"
#endif

namespace fs = std::filesystem;
using testing_support::Pattern;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

class AlbumWriter : public ::testing::Test {
 protected:
  album::BuildRequest Request(std::string_view name, std::string_view description) {
    album::BuildRequest request;
    request.player = platform::AsBytes(player_);
    request.albumName = name;
    request.description = description;
    request.outputFolder = dir_.path();
    return request;
  }
  fs::path Source(std::string_view name, std::size_t size, unsigned seed) {
    fs::path path = dir_ / name;
    WriteFile(path, Pattern(size, seed));
    return path;
  }

  TempDir dir_;
  std::string player_ = Pattern(700416, 99);
};

TEST_F(AlbumWriter, WorkedExampleIsWrittenByteForByte) {
  album::BuildRequest request = Request("abc", "hi");
  request.songSlots[0].song = Source("x.mp3", 3000000, 1);
  std::vector<int> progress;
  auto result = album::BuildAlbumImage(request, [&](int v) { progress.push_back(v); });
  ASSERT_TRUE(result) << cli::ErrorText(result.error());

  EXPECT_EQ(result.value().s[1], 700417);
  for (int k = 2; k <= 21; ++k) EXPECT_EQ(result.value().s[k], 3700417) << "s" << k;
  EXPECT_EQ(result.value().index, (album::Index{3700417, 3700792, 3700796}));

  std::string image = ReadFile(dir_ / "abc.exe");
  ASSERT_EQ(image.size(), 3710795u);
  EXPECT_EQ(image.substr(0, 700416), player_);
  EXPECT_EQ(image.substr(700416, 3000000), Pattern(3000000, 1));

  std::string settings = image.substr(3700416, 375);
  EXPECT_EQ(std::count(settings.begin(), settings.end(), '\n'), 35);
  EXPECT_EQ(settings.substr(0, 37), "[t]\r\ntitle =abc\r\n[s]\r\ns1=700417\r\ns2=3");
  EXPECT_TRUE(settings.ends_with("\r\nSONG9=\r\nSONG10=\r\n"));
  EXPECT_NE(settings.find("[SONG]\r\nSONG1=x\r\nSONG2=\r\n"), std::string::npos);
  EXPECT_EQ(image.substr(3700791, 4), "hi\r\n");

  // The trailer: "3700417\3700792\3700796" padded to 100 characters, one every 100 bytes.
  std::string text;
  for (int k = 1; k <= 100; ++k) text += image[3700795 + 100 * k - 1];
  EXPECT_EQ(text, "3700417\\3700792\\3700796" + std::string(77, ' '));
  EXPECT_EQ(image[3700894], '3');
  std::size_t zeros = 0;
  for (std::size_t i = 3700795; i < image.size(); ++i) zeros += image[i] == '\0';
  EXPECT_EQ(zeros, 9900u);

  std::vector<int> expected;
  for (int k = 1; k <= 21; ++k) expected.push_back(2 * k);
  expected.push_back(44);
  expected.push_back(48);
  EXPECT_EQ(progress, expected);

#ifndef _WIN32  // Windows runs a program by its name, not by a mode
  struct stat st {};
  ::stat((dir_ / "abc.exe").c_str(), &st);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
#endif
}

TEST_F(AlbumWriter, GapsAndLyricsWithoutSongsRoundTrip) {
  album::BuildRequest request = Request("  专辑 gaps  ", "第一行\n\n  \nsecond line");
  request.songSlots[1].song = Source("两只老虎.mp3", 5000, 2);
  request.songSlots[1].lyrics = Source("两只老虎.lrc", 300, 3);
  request.songSlots[4].song = Source("five.mp3", 7000, 5);
  request.songSlots[7].lyrics = Source("orphan.lrc", 100, 8);
  auto result = album::BuildAlbumImage(request);
  ASSERT_TRUE(result) << cli::ErrorText(result.error());
  EXPECT_EQ(result.value().image.filename(), platform::PathFromUtf8("专辑 gaps.exe"));

  auto image = album::AlbumImage::ReadAlbumIndex(result.value().image);
  ASSERT_TRUE(image) << cli::ErrorText(image.error());
  EXPECT_EQ(image.value().AlbumName(), "专辑 gaps");
  EXPECT_EQ(image.value().settings().title, "专辑 gaps");
  // Blank lines are not shown; the others are kept as typed.
  EXPECT_EQ(image.value().description(), "第一行\r\nsecond line\r\n");
  const auto& slots = image.value().settings().songSlots;
  EXPECT_EQ(slots[0].name, "");
  EXPECT_EQ(slots[1].name, "两只老虎");
  EXPECT_EQ(slots[4].name, "five");
  EXPECT_EQ(slots[7].name, "");
  EXPECT_TRUE(slots[7].HasLyrics());

  TempDir out;
  std::vector<int> announced;
  auto songs = album::ExtractSongs(image.value(), out.path(),
                                   {.onSong = [&](const album::ExtractedSong& s) { announced.push_back(s.slot); },
                                    .onSkip = {}});
  ASSERT_TRUE(songs);
  EXPECT_EQ(announced, (std::vector<int>{2, 5}));
  EXPECT_EQ(ReadFile(out / "两只老虎.mp3"), Pattern(5000, 2));
  EXPECT_EQ(ReadFile(out / "两只老虎.lrc"), Pattern(300, 3));
  EXPECT_EQ(ReadFile(out / "five.mp3"), Pattern(7000, 5));
  EXPECT_FALSE(fs::exists(out / "five.lrc"));
  // Lyrics without a song travel in the album but are never unpacked.
  EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 3);
}

TEST_F(AlbumWriter, AlbumWithoutSongsStillCarriesPlayerSettingsAndDescription) {
  auto result = album::BuildAlbumImage(Request("empty", "没有说明\r\n"));
  ASSERT_TRUE(result);
  EXPECT_EQ(result.value().s[1], 700417);
  EXPECT_EQ(result.value().s[21], 700417);
  auto image = album::AlbumImage::ReadAlbumIndex(result.value().image);
  ASSERT_TRUE(image);
  EXPECT_EQ(image.value().description(), "没有说明\r\n");
  // The description is stored in code page 936.
  std::string bytes = ReadFile(result.value().image);
  EXPECT_NE(bytes.find("\xC3\xBB\xD3\xD0\xCB\xB5\xC3\xF7\r\n\r\n"), std::string::npos);
}

TEST_F(AlbumWriter, RebuildingOverAnOlderAlbumStartsFromAnEmptyFile) {
  // Nothing of the older, longer album may travel inside the new one.
  WriteFile(dir_ / "abc.exe", Pattern(900000, 7));
  album::BuildRequest request = Request("abc", "hi");
  request.songSlots[0].song = Source("x.mp3", 1000, 1);
  auto result = album::BuildAlbumImage(request);
  ASSERT_TRUE(result);
  EXPECT_EQ(result.value().s[1], 700417);
  // Byte for byte the album a fresh build makes.
  TempDir fresh;
  request.outputFolder = fresh.path();
  ASSERT_TRUE(album::BuildAlbumImage(request));
  EXPECT_EQ(ReadFile(dir_ / "abc.exe"), ReadFile(fresh / "abc.exe"));
}

TEST_F(AlbumWriter, NamesOfDotsAloneArePackedAndUnpackedInTheirFolder) {
  album::BuildRequest request = Request("dots", "hi");
  request.songSlots[0].song = Source("..mp3", 10, 1);
  request.songSlots[1].song = Source("...mp3", 20, 2);
  auto result = album::BuildAlbumImage(request);
  ASSERT_TRUE(result) << cli::ErrorText(result.error());
  auto image = album::AlbumImage::ReadAlbumIndex(result.value().image);
  ASSERT_TRUE(image);
  TempDir out;
  fs::create_directory(out / "in");
  auto songs = album::ExtractSongs(image.value(), out / "in");
  ASSERT_TRUE(songs);
  EXPECT_EQ(ReadFile(out / "in" / "..mp3"), Pattern(10, 1));
  EXPECT_EQ(ReadFile(out / "in" / "...mp3"), Pattern(20, 2));
  EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);
}

#ifndef _WIN32  // Windows runs a program by its name, not by a mode
TEST_F(AlbumWriter, AnImageThatCannotBeMarkedExecutableIsBuiltWithAWarning) {
  // As on FAT, which keeps no modes.
  platform::seams::FileCalls saved = platform::seams::Calls();
  platform::seams::Calls().fchmod = [](int, mode_t) { return errno = EPERM, -1; };
  auto result = album::BuildAlbumImage(Request("fat", "hi"));
  platform::seams::Calls() = saved;
  ASSERT_TRUE(result) << cli::ErrorText(result.error());
  ASSERT_TRUE(result.value().notExecutable);
  EXPECT_EQ(cli::ErrorText(*result.value().notExecutable),
            (dir_ / "fat.exe").string() + ": cannot make the file executable: permission denied");
  EXPECT_TRUE(album::AlbumImage::ReadAlbumIndex(dir_ / "fat.exe"));
}
#endif

TEST_F(AlbumWriter, LongSongNamesComeBackCutTo126Bytes) {
  std::string longName(140, 'n');
  album::BuildRequest request = Request("long", "hi");
  request.songSlots[0].song = Source(longName + ".mp3", 10, 1);
  std::string chinese;
  for (int i = 0; i < 50; ++i) chinese += "歌";  // 100 bytes in code page 936, 150 in UTF-8
  request.songSlots[1].song = Source(chinese + "x.mp3", 10, 2);
  std::string cut;
  for (int i = 0; i < 70; ++i) cut += "曲";  // 140 bytes: the cut falls on a character boundary
  request.songSlots[2].song = Source(cut + ".mp3", 10, 3);
  auto result = album::BuildAlbumImage(request);
  ASSERT_TRUE(result);
  auto image = album::AlbumImage::ReadAlbumIndex(result.value().image);
  ASSERT_TRUE(image);
  EXPECT_EQ(image.value().settings().songSlots[0].name, std::string(126, 'n'));
  EXPECT_EQ(image.value().settings().songSlots[1].name, chinese + "x");
  EXPECT_EQ(image.value().settings().songSlots[2].name.size(), 63u * 3);
}

TEST_F(AlbumWriter, NameAndDescriptionChecksComeFirst) {
  auto noName = album::CheckNameAndDescription("   ", "hi");
  ASSERT_FALSE(noName);
  EXPECT_EQ(noName.error().kind, platform::ErrorKind::NoAlbumName);
  auto noDescription = album::CheckNameAndDescription("abc", "   ");
  ASSERT_FALSE(noDescription);
  EXPECT_EQ(noDescription.error().kind, platform::ErrorKind::NoDescription);
  // Only spaces count as blank.
  EXPECT_TRUE(album::CheckNameAndDescription("a\tb", "\r\n\r\n"));

  auto result = album::BuildAlbumImage(Request(" ", ""));
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().kind, platform::ErrorKind::NoAlbumName);
  EXPECT_TRUE(fs::is_empty(dir_.path()));
}

// Every refusal names the file and leaves the folder exactly as it was.
class RefusedBuild : public AlbumWriter {
 protected:
  void ExpectRefused(const album::BuildRequest& request, std::string_view file, std::string_view words) {
    auto before = Listing();
    auto result = album::BuildAlbumImage(request);
    ASSERT_FALSE(result);
    EXPECT_NE(cli::ErrorText(result.error()).find(file), std::string::npos) << cli::ErrorText(result.error());
    EXPECT_NE(cli::ErrorText(result.error()).find(words), std::string::npos)
        << cli::ErrorText(result.error());
    EXPECT_EQ(Listing(), before);
  }
#ifndef _WIN32  // Windows has no file size limit of a process to stand in for a full disk
  // A write that fails half-way (a full disk behaves the same) after `limit` bytes.
  platform::Result<album::BuildResult> BuildWithWritesFailingAt(std::size_t limit) {
    album::BuildRequest request = Request("abc", "hi");
    request.songSlots[0].song = Source("x.mp3", 3000000, 1);
    testing_support::FileSizeLimit failing(limit);
    return album::BuildAlbumImage(request);
  }
#endif
  std::map<std::string, std::string> Listing() {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir_.path()))
      files[entry.path().filename().string()] =
          !entry.is_regular_file() ? "<dir>"
          : entry.file_size() > (10 << 20) ? "<" + std::to_string(entry.file_size()) + " bytes>"
                                           : ReadFile(entry.path());
    return files;
  }
};

TEST_F(RefusedBuild, MissingOrUnreadableSource) {
  album::BuildRequest request = Request("abc", "hi");
  request.songSlots[0].song = dir_ / "gone.mp3";
  ExpectRefused(request, "gone.mp3", "no such file");
#ifndef _WIN32  // a mode that forbids reading is POSIX's
  if (::getuid() != 0) {  // root reads anything
    request.songSlots[0].song = Source("locked.mp3", 10, 1);
    ::chmod(request.songSlots[0].song.c_str(), 0);
    ExpectRefused(request, "locked.mp3", "permission denied");
  }
#endif
  request.songSlots[0].song = Source("ok.mp3", 10, 1);
  request.songSlots[3].lyrics = dir_.path();
  ExpectRefused(request, dir_.path().string(), "folder");
}

TEST_F(RefusedBuild, SongFileNamesThatGiveNoUsableName) {
  album::BuildRequest request = Request("abc", "hi");
  request.songSlots[0].song = Source("mp3", 10, 1);
  ExpectRefused(request, "mp3", "too short");
  request.songSlots[0].song = Source(".mp3", 10, 1);
  ExpectRefused(request, ".mp3", "usable song name");
#ifndef _WIN32  // Windows file names cannot hold control characters
  request.songSlots[0].song = Source("tab\there.mp3", 10, 1);
  ExpectRefused(request, "tab\\x09here.mp3", "control character");
  request.songSlots[0].song = Source("\x1B[2Jclear.mp3", 10, 1);
  ExpectRefused(request, "\\x1B[2Jclear.mp3", "control character");
#endif
}

TEST_F(RefusedBuild, SourcesThatAreNotRegularFiles) {
  album::BuildRequest request = Request("abc", "hi");
#ifndef _WIN32  // Windows has no FIFOs among its files
  request.songSlots[0].song = dir_ / "pipe.mp3";
  ASSERT_EQ(::mkfifo(request.songSlots[0].song.c_str(), 0600), 0);
  ExpectRefused(request, "pipe.mp3", "not a regular file");
#endif
  request.songSlots[0].song = testing_support::kNullDevice;
  ExpectRefused(request, testing_support::kNullDevice.string(), "not a regular file");
}

TEST_F(RefusedBuild, AlbumNamesThatAreNoFileNames) {
  ExpectRefused(Request("../escape", "hi"), "escape", "\"/\"");
  ExpectRefused(Request("a\\b", "hi"), "a\\b", "\"/\"");
  ExpectRefused(Request("line\nbreak", "hi"), "line", "control");
  ExpectRefused(Request("tab\there", "hi"), "tab", "control");
  EXPECT_FALSE(fs::exists(dir_.path().parent_path() / "escape.exe"));
  // With ".exe" at most 255 bytes, the longest file name there is.
  auto longest = album::BuildAlbumImage(Request(std::string(251, 'a'), "hi"));
  EXPECT_TRUE(longest) << cli::ErrorText(longest.error());
  auto tooLong = album::BuildAlbumImage(Request(std::string(252, 'b'), "hi"));
  ASSERT_FALSE(tooLong);
  EXPECT_EQ(tooLong.error().kind, platform::ErrorKind::AlbumNameTooLong);
}

TEST_F(RefusedBuild, AlbumThatWouldOverwriteItsOwnSong) {
  album::BuildRequest request = Request("abc", "hi");
  request.songSlots[0].song = Source("abc.exe", 10, 1);
  ExpectRefused(request, "abc.exe", "its own files");
}

#ifndef _WIN32  // the first write past the size check stops at a process file size limit
TEST_F(RefusedBuild, AlbumsUpToTheSizeLimitAreWrittenAndLargerOnesRefusedBeforeWriting) {
  // A sparse song: 700,416 player bytes, the song, 435 settings bytes (ten-digit positions), 4
  // description bytes and the 10,000-byte index make 2,147,483,647 bytes.
  album::BuildRequest request = Request("abc", "hi");
  request.songSlots[0].song = Source("x.mp3", 0, 1);
  const std::uintmax_t fits = 2147483647u - 700416 - 435 - 4 - 10000;
  fs::resize_file(request.songSlots[0].song, fits);
  {
    // Passed the size check, the writing begins, and here it stops at a megabyte.
    testing_support::FileSizeLimit failing(1 << 20);
    auto atLimit = album::BuildAlbumImage(request);
    ASSERT_FALSE(atLimit);
    EXPECT_EQ(atLimit.error().kind, platform::ErrorKind::FileTooLarge) << cli::ErrorText(atLimit.error());
  }
  fs::resize_file(request.songSlots[0].song, fits + 1);
  ExpectRefused(request, "abc.exe", "2,147,483,647");
}
#endif

#ifndef _WIN32  // Windows has no file size limit of a process to stand in for a full disk
TEST_F(RefusedBuild, WriteFailureRemovesANewImage) {
  auto result = BuildWithWritesFailingAt(2000000);
  ASSERT_FALSE(result);
  EXPECT_NE(cli::ErrorText(result.error()).find("abc.exe"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "abc.exe"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);  // x.mp3
}

TEST_F(RefusedBuild, WriteFailureRestoresAnOlderImage) {
  std::string old = Pattern(800000, 5);
  WriteFile(dir_ / "abc.exe", old);
  ASSERT_FALSE(BuildWithWritesFailingAt(2000000));
  EXPECT_EQ(ReadFile(dir_ / "abc.exe"), old);
}
#endif

TEST_F(RefusedBuild, ADescriptionThePlayerWouldNotRead) {
  // Stored with a closing CR LF, this one is exactly as large as the player reads.
  auto fits = album::BuildAlbumImage(Request("fits", std::string(album::kMaxDescriptionSize - 2, 'a')));
  ASSERT_TRUE(fits);
  EXPECT_TRUE(album::AlbumImage::ReadAlbumIndex(fits.value().image));
  // Every LF is stored as CR LF.
  ExpectRefused(Request("big", std::string(album::kMaxDescriptionSize / 2, '\n')), "",
                "description is too large");
}

TEST(SongCheck, TheProjectsMp3sPassAndOtherFilesAreNamedAsNotMpegAudio) {
  const fs::path examples = fs::path(SONVIRA_SOURCE_DIR) / "examples",
                 audio = examples / "../tests/data/audio";
  for (const fs::path& folder : {examples, audio})
    for (const auto& entry : fs::directory_iterator(folder))
      EXPECT_TRUE(entry.path().extension() != ".mp3" || entry.path().filename() == "not_mp3.mp3" ||
                  album::CheckSongFile(entry.path(), 1))
          << entry.path();

  for (const fs::path& other :
       {audio / "not_mp3.mp3", examples / "小星星.lrc", audio / "make_test_mp3s.sh"}) {
    platform::Status checked = album::CheckSongFile(other, 4);
    ASSERT_FALSE(checked) << other;
    EXPECT_EQ(cli::ErrorText(checked.error()),
              other.string() + ": the song of slot 4 is not MP3 (MPEG audio) and could not be played");
  }
}

TEST(SongCheck, ThreeFramesEachWhereTheOneBeforeEndsWithin64KiBAfterAnId3Tag) {
  TempDir dir;
  auto passes = [&](const std::string& bytes) {
    WriteFile(dir / "s.mp3", bytes);
    return album::CheckSongFile(dir / "s.mp3", 1).ok();
  };
  // MPEG 2 layer III at 24 kHz: 8 kbit/s in 24 bytes, 16 kbit/s in 48.
  const std::string slow = std::string("\xFF\xF3\x14\xC4", 4) + std::string(20, '\0');
  const std::string fast = std::string("\xFF\xF3\x24\xC4", 4) + std::string(44, '\0');
  const std::string frames = slow + fast + slow;
  EXPECT_TRUE(passes(frames));
  EXPECT_FALSE(passes(slow + " " + fast + slow));
  EXPECT_FALSE(passes(frames.substr(0, 24 + 48 + 3)));
  // A tag of 128 KiB, then up to 64 KiB of anything before the first frame.
  const std::string tag = std::string("ID3\x04\0\0\0\x08\0\0", 10) + std::string(128 << 10, '\xFF');
  EXPECT_TRUE(passes(tag + std::string(65535, '\0') + frames));
  EXPECT_FALSE(passes(tag + std::string(65536, '\0') + frames));
}

#ifndef _WIN32  // folder modes, and a child process as another user, are POSIX's
TEST_F(RefusedBuild, ReadOnlyFolder) {
  TempDir outer;
  fs::path locked = outer / "locked";
  fs::create_directory(locked);
  ::chmod(outer.path().c_str(), 0755);
  ::chmod(locked.c_str(), 0555);
  album::BuildRequest request = Request("abc", "hi");
  request.outputFolder = locked;
  // Root may write anywhere, so as root the build runs in a child process as "nobody".
  const bool asNobody = ::getuid() == 0;
  pid_t child = asNobody ? ::fork() : 0;
  if (child == 0) {
    if (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(3);
    auto result = album::BuildAlbumImage(request);
    bool named = !result && cli::ErrorText(result.error()).find(locked.string()) != std::string::npos &&
                 cli::ErrorText(result.error()).find("permission denied") != std::string::npos;
    if (asNobody) _exit(named ? 0 : 1);
    EXPECT_TRUE(named) << (result ? "built" : cli::ErrorText(result.error()));
  } else {
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_TRUE(fs::is_empty(locked));
}
#endif

}  // namespace
