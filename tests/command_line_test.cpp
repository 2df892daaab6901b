// The two programs run for real: pakrel builds the demo album, sonvira lists and unpacks it,
// and both refuse bad input with a message and an exit status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <map>

#include "album/reader.h"
#include "support/file_size_limit.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::RunProcess;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const fs::path kBin = fs::path(SONVIRA_BINARY_DIR) / "bin";
const fs::path kExamples = fs::path(SONVIRA_SOURCE_DIR) / "examples";
const std::string kPakrel = (kBin / "pakrel").string();
const std::string kSonvira = (kBin / "sonvira").string();

std::vector<std::string> DemoAlbumArgs(const fs::path& out) {
  return {kPakrel, "--name", " 示范 ", "--description", "第一行\n第二行",
          "--song", "1=" + (kExamples / "小星星.mp3").string(),
          "--lyrics", "1=" + (kExamples / "小星星.lrc").string(),
          "--song=3=" + (kExamples / "Ode to Joy 欢乐颂.mp3").string(),
          "--output-dir", out.string()};
}

TEST(CommandLine, HelpAndUsageErrors) {
  auto help = RunProcess({kPakrel, "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--song SLOT=FILE"), std::string::npos);
  EXPECT_EQ(RunProcess({kSonvira, "--help"}).exitCode, 0);

  for (const auto& args : std::vector<std::vector<std::string>>{
           {kPakrel, "--song", "1=a.mp3"},
           {kPakrel, "--name", "x", "--song", "11=a.mp3"},
           {kPakrel, "--name", "x", "--song", "1"},
           {kPakrel, "--name", "x", "--song", "1=a.mp3", "--song", "1=b.mp3"},
           {kPakrel, "--name", "x", "--description", "a", "--description-file", "b"},
           {kPakrel, "--bogus"},
           {kSonvira, "--list"},
           {kSonvira, "--extract", "a.exe"},
           {kSonvira, "--play"},
       }) {
    auto r = RunProcess(args);
    EXPECT_EQ(r.exitCode, 2) << args.back();
    EXPECT_NE(r.err.find("Try '"), std::string::npos) << r.err;
  }
}

TEST(CommandLine, PakrelBuildsTheAlbumThatSonviraListsAndUnpacks) {
  TempDir dir;
  auto built = RunProcess(DemoAlbumArgs(dir.path()));
  ASSERT_EQ(built.exitCode, 0) << built.err;
  fs::path album = dir / "示范.exe";
  EXPECT_EQ(built.out, album.string() + "\n");
  struct stat st {};
  ASSERT_EQ(::stat(album.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  // The album starts with the player program that pakrel carries.
  std::string player = ReadFile(fs::path(SONVIRA_BINARY_DIR) / "res" / "sonvira.res");
  ASSERT_FALSE(player.empty());
  EXPECT_EQ(ReadFile(album).substr(0, player.size()), player);

  auto listed = RunProcess({kSonvira, "--list", album.string()});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_NE(listed.out.find("Album: 示范\n"), std::string::npos);
  EXPECT_NE(listed.out.find("  第一行\n  第二行\n"), std::string::npos);
  auto size = [](const char* name) { return std::to_string(fs::file_size(kExamples / name)); };
  EXPECT_NE(listed.out.find(" 1  小星星  (song " + size("小星星.mp3") + " bytes, lyrics " + size("小星星.lrc") + " bytes)"),
            std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find(" 3  Ode to Joy 欢乐颂  (song " + size("Ode to Joy 欢乐颂.mp3") + " bytes, lyrics 0 bytes)"),
            std::string::npos);

  // The album image is the player program, command line included (started on its own it
  // plays; the player's end-to-end test covers that).
  auto self = RunProcess({album.string(), "--list", album.string()});
  EXPECT_EQ(self.exitCode, 0) << self.err;
  EXPECT_EQ(self.out, listed.out);

  auto extracted = RunProcess({kSonvira, "--extract", album.string(), (dir / "out").string()});
  ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
  EXPECT_EQ(ReadFile(dir / "out" / "小星星.mp3"), ReadFile(kExamples / "小星星.mp3"));
  EXPECT_EQ(ReadFile(dir / "out" / "小星星.lrc"), ReadFile(kExamples / "小星星.lrc"));
  EXPECT_EQ(ReadFile(dir / "out" / "Ode to Joy 欢乐颂.mp3"), ReadFile(kExamples / "Ode to Joy 欢乐颂.mp3"));
  EXPECT_FALSE(fs::exists(dir / "out" / "Ode to Joy 欢乐颂.lrc"));
  EXPECT_EQ(std::count(extracted.out.begin(), extracted.out.end(), '\n'), 3);
}

// The same album for the other system: its player first, the songs, lyrics and description
// the same, their positions moved by the difference in the players' sizes.
TEST(CommandLine, PakrelWritesTheAlbumOfTheSystemTargetNames) {
  TempDir dir;
  auto unknown = RunProcess({kPakrel, "--name", "a", "--target", "macos", "--output-dir", dir.path().string()});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find("--target needs linux or windows, not 'macos'"), std::string::npos) << unknown.err;

  fs::create_directories(dir / "linux");
  fs::create_directories(dir / "windows");
  auto build = [&](const char* target) {
    std::vector<std::string> args = DemoAlbumArgs(dir / target);
    args.insert(args.end(), {"--target", target});
    return RunProcess(args);
  };
  auto forLinux = build("linux");
  ASSERT_EQ(forLinux.exitCode, 0) << forLinux.err;
  auto forWindows = build("windows");
  const std::string windowsPlayer = SONVIRA_WINDOWS_PLAYER;
  if (windowsPlayer.empty()) {
    EXPECT_EQ(forWindows.exitCode, 1);
    EXPECT_NE(forWindows.err.find("carries no player program for Windows"), std::string::npos) << forWindows.err;
    EXPECT_TRUE(fs::is_empty(dir / "windows"));
    GTEST_SKIP() << "this build's pakrel carries no Windows player";
  }
  ASSERT_EQ(forWindows.exitCode, 0) << forWindows.err;

  const std::string linuxPlayer = ReadFile(fs::path(SONVIRA_BINARY_DIR) / "res" / "sonvira.res");
  ASSERT_FALSE(linuxPlayer.empty());
  const std::string linuxAlbum = ReadFile(dir / "linux" / "示范.exe");
  const std::string windowsAlbum = ReadFile(dir / "windows" / "示范.exe");
  EXPECT_EQ(windowsAlbum.substr(0, fs::file_size(windowsPlayer)), ReadFile(windowsPlayer));
  auto linuxIndex = album::AlbumImage::ReadAlbumIndex(dir / "linux" / "示范.exe");
  auto windowsIndex = album::AlbumImage::ReadAlbumIndex(dir / "windows" / "示范.exe");
  ASSERT_TRUE(linuxIndex && windowsIndex);
  const std::int64_t moved = static_cast<std::int64_t>(fs::file_size(windowsPlayer)) -
                             static_cast<std::int64_t>(linuxPlayer.size());
  const album::AlbumImage& l = linuxIndex.value();
  const album::AlbumImage& w = windowsIndex.value();
  // The settings text, which records the positions in decimal, may grow or shrink by a digit.
  EXPECT_EQ(w.index().A, l.index().A + moved);
  EXPECT_EQ(w.index().E - w.index().B, l.index().E - l.index().B);
  EXPECT_EQ(w.description(), l.description());
  for (std::size_t i = 0; i < album::kSlotCount; ++i) {
    const album::SlotEntry& x = l.settings().songSlots[i];
    const album::SlotEntry& y = w.settings().songSlots[i];
    EXPECT_EQ(y.name, x.name);
    EXPECT_EQ(y.songFirst, x.songFirst + moved) << "slot " << i + 1;
    EXPECT_EQ(y.lyricsAfter, x.lyricsAfter + moved) << "slot " << i + 1;
    EXPECT_EQ(windowsAlbum.substr(y.songFirst, y.songAfter - y.songFirst),
              linuxAlbum.substr(x.songFirst, x.songAfter - x.songFirst));
    EXPECT_EQ(windowsAlbum.substr(y.lyricsFirst, y.lyricsAfter - y.lyricsFirst),
              linuxAlbum.substr(x.lyricsFirst, x.lyricsAfter - x.lyricsFirst));
  }

  auto listed = RunProcess({kSonvira, "--list", (dir / "windows" / "示范.exe").string()});
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_NE(listed.out.find("Album: 示范\n"), std::string::npos);
}

TEST(CommandLine, PakrelRefusesInEnglishAndLeavesNothing) {
  TempDir dir;
  auto noName = RunProcess({kPakrel, "--name", "  ", "--output-dir", dir.path().string()});
  EXPECT_EQ(noName.exitCode, 1);
  EXPECT_NE(noName.err.find("pakrel: the album name is empty"), std::string::npos) << noName.err;
  auto noDescription = RunProcess({kPakrel, "--name", "a", "--description", " ", "--output-dir", dir.path().string()});
  EXPECT_EQ(noDescription.exitCode, 1);
  EXPECT_NE(noDescription.err.find("pakrel: the description is empty"), std::string::npos)
      << noDescription.err;

  auto missing = RunProcess({kPakrel, "--name", "a", "--song", "2=" + (dir / "gone.mp3").string(),
                             "--output-dir", dir.path().string()});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find((dir / "gone.mp3").string() + ": cannot open the file for reading: no such file"),
            std::string::npos) << missing.err;

  WriteFile(dir / "bad.txt", "\xFF\xFE not text");
  auto badText = RunProcess({kPakrel, "--name", "a", "--description-file", (dir / "bad.txt").string(),
                             "--output-dir", dir.path().string()});
  EXPECT_EQ(badText.exitCode, 1);
  EXPECT_NE(badText.err.find("bad.txt: the description is not UTF-8 text"), std::string::npos);

  auto noFolder = RunProcess({kPakrel, "--name", "a", "--output-dir", (dir / "nope").string()});
  EXPECT_EQ(noFolder.exitCode, 1);
  EXPECT_NE(noFolder.err.find("nope: no such folder"), std::string::npos);

  WriteFile(dir / "words.mp3", "[00:01.00]la\r\n");
  auto notMp3 =
      RunProcess({kPakrel, "--name", "a", "--song", "1=" + (kExamples / "小星星.mp3").string(), "--song",
                  "2=" + (dir / "words.mp3").string(), "--output-dir", dir.path().string()});
  EXPECT_EQ(notMp3.exitCode, 1);
  EXPECT_NE(notMp3.err.find("words.mp3: the song of slot 2 is not MP3"), std::string::npos) << notMp3.err;

  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
            2);  // bad.txt, words.mp3
}

TEST(CommandLine, ADescriptionFileLosesItsLastLineEndAndTheBarReachesAHundred) {
  TempDir dir;
  WriteFile(dir / "d.txt", "第一行\r\n第二行\n");
  fs::create_directory(dir / "file");
  ASSERT_EQ(RunProcess({kPakrel, "--name", "a", "--description", "第一行\n第二行", "--output-dir",
                        dir.path().string()})
                .exitCode,
            0);
  // Under `script` the bar's stderr is a terminal.
  auto fromFile = RunProcess({"/usr/bin/script", "-qec",
                              kPakrel + " --name a --description-file '" + (dir / "d.txt").string() +
                                  "' --output-dir '" + (dir / "file").string() + "'",
                              "/dev/null"});
  EXPECT_NE(fromFile.out.find("] 100%"), std::string::npos) << fromFile.out;
  EXPECT_TRUE(ReadFile(dir / "file" / "a.exe") == ReadFile(dir / "a.exe")) << "the albums differ";
}

TEST(CommandLine, DefaultDescriptionAndCurrentFolder) {
  TempDir dir;
  auto built = RunProcess({kPakrel, "--name", "默认"}, dir.path().string());
  ASSERT_EQ(built.exitCode, 0) << built.err;
  auto listed = RunProcess({kSonvira, "--list", (dir / "默认.exe").string()});
  EXPECT_NE(listed.out.find("Description:\n  没有说明\n"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("(none)"), std::string::npos);
}

TEST(CommandLine, SonviraRefusesWhatIsNoAlbum) {
  TempDir dir;
  WriteFile(dir / "short.exe", "tiny");
  auto r = RunProcess({kSonvira, "--list", (dir / "short.exe").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find((dir / "short.exe").string() + ": not a valid album"), std::string::npos) << r.err;

  auto built = RunProcess(DemoAlbumArgs(dir.path()));
  ASSERT_EQ(built.exitCode, 0);
  std::string image = ReadFile(dir / "示范.exe");
  WriteFile(dir / "cut.exe", image.substr(0, image.size() / 2));
  auto cut = RunProcess({kSonvira, "--extract", (dir / "cut.exe").string(), (dir / "out").string()});
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_NE(cut.err.find("cut.exe: not a valid album"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "out"));

  auto gone = RunProcess({kSonvira, "--list", (dir / "gone.exe").string()});
  EXPECT_EQ(gone.exitCode, 1);
  EXPECT_NE(gone.err.find("gone.exe: cannot open the file for reading: no such file"), std::string::npos);
}

TEST(CommandLine, PipesDevicesAndFoldersAreRefusedByName) {
  TempDir dir;
  const fs::path fifo = dir / "pipe.mp3";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {kPakrel, "--name", "a", "--song", "1=" + fifo.string(), "--output-dir", dir.path().string()},
           {kPakrel, "--name", "a", "--lyrics", "1=" + fifo.string(), "--output-dir", dir.path().string()},
           {kPakrel, "--name", "a", "--description-file", fifo.string(), "--output-dir", dir.path().string()},
           {kPakrel, "--name", "a", "--song", "1=/dev/zero", "--output-dir", dir.path().string()},
           {kSonvira, "--list", fifo.string()},
           {kSonvira, "--list", "/dev/stdin"},  // a piped album
       }) {
    auto r = RunProcess(args);
    EXPECT_EQ(r.exitCode, 1) << args[3];
    EXPECT_NE(r.err.find(": not a regular file"), std::string::npos) << r.err;
  }
  auto folder = RunProcess({kSonvira, "--list", dir.path().string()});
  EXPECT_NE(folder.err.find(dir.path().string() + ": it is a folder"), std::string::npos) << folder.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(CommandLine, ExtractionSaysWhatHappened) {
  TempDir dir;
  fs::create_directories(dir / "a");
  fs::create_directories(dir / "b");
  fs::copy_file(kExamples / "小星星.mp3", dir / "a" / "song.mp3");
  fs::copy_file(kExamples / "两只老虎.mp3", dir / "b" / "song.mp3");  // larger than the first
  fs::copy_file(kExamples / "小星星.mp3", dir / "a" / "x.mp3");
  auto built =
      RunProcess({kPakrel, "--name", "dup", "--output-dir", dir.path().string(), "--song",
                  "1=" + (dir / "a" / "song.mp3").string(), "--song",
                  "2=" + (dir / "b" / "song.mp3").string(), "--song", "3=" + (dir / "a" / "x.mp3").string()});
  ASSERT_EQ(built.exitCode, 0) << built.err;

  // Same names: the later slot gets its number, with a warning.
  auto dup = RunProcess({kSonvira, "--extract", (dir / "dup.exe").string(), (dir / "out").string()});
  EXPECT_EQ(dup.exitCode, 0) << dup.err;
  EXPECT_NE(
      dup.err.find("warning: slot 2 has the name of an earlier slot, \"song\"; written as song (2).mp3"),
      std::string::npos)
      << dup.err;
  EXPECT_EQ(ReadFile(dir / "out" / "song.mp3"), ReadFile(dir / "a" / "song.mp3"));
  EXPECT_EQ(ReadFile(dir / "out" / "song (2).mp3"), ReadFile(dir / "b" / "song.mp3"));

  // A write that fails (a full disk behaves the same) stops the extraction, and says so.
  {
    testing_support::FileSizeLimit failing(fs::file_size(dir / "a" / "song.mp3") + 1);
    auto full = RunProcess({kSonvira, "--extract", (dir / "dup.exe").string(), (dir / "full").string()});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err.find("skipped"), std::string::npos) << full.err;
    EXPECT_NE(full.err.find("the extraction stopped at slot 2; slots written: 1\n"), std::string::npos)
        << full.err;
  }

  // A file where the folder should be is named as such.
  auto notFolder =
      RunProcess({kSonvira, "--extract", (dir / "dup.exe").string(), (dir / "a" / "x.mp3").string()});
  EXPECT_NE(notFolder.err.find("x.mp3: is not a folder"), std::string::npos) << notFolder.err;
}

TEST(CommandLine, NamesWithControlCharactersAreRefusedAndShownEscaped) {
  TempDir dir;
  const fs::path song = dir / "title\x1B]0;pwned\x07.mp3";
  fs::copy_file(kExamples / "小星星.mp3", song);
  auto r = RunProcess(
      {kPakrel, "--name", "a", "--song", "1=" + song.string(), "--output-dir", dir.path().string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("title\\x1B]0;pwned\\x07.mp3: the file name holds a control character"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find('\x1B'), std::string::npos);
  auto tab = RunProcess({kPakrel, "--name", "a\tb", "--output-dir", dir.path().string()});
  EXPECT_NE(tab.err.find("a\\x09b.exe: the album name must not contain control characters"),
            std::string::npos)
      << tab.err;
}

}  // namespace

namespace {

// A program started in the background, its output going to files, so a test can act on it
// while it runs.
struct Background {
  explicit Background(const std::vector<std::string>& argv, const fs::path& outputs) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (outputs.string() + ".out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (outputs.string() + ".err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // The signals the test sends act as they would at a terminal, even under nohup.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, sig);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  int Wait() {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
  }
  pid_t pid = -1;
};

// Hidden files of `folder` (the temporary files of a write in progress).
std::vector<fs::path> HiddenFiles(const fs::path& folder) {
  std::vector<fs::path> hidden;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().starts_with(".")) hidden.push_back(entry.path());
  return hidden;
}

// Waits until a temporary file shows up in `folder`; false when the program ended first.
[[nodiscard]] bool AwaitTemporaryFile(const fs::path& folder, pid_t pid) {
  for (;;) {
    if (!HiddenFiles(folder).empty()) return true;
    if (::waitpid(pid, nullptr, WNOHANG) != 0) return false;
    ::usleep(200);
  }
}

std::map<std::string, std::string> Listing(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[entry.path().filename().string()] = entry.is_regular_file() ? ReadFile(entry.path()) : "<dir>";
  return files;
}

// Large songs, so that writing them takes long enough to be interrupted.
class LargeSongs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    songs_ = new TempDir;
    std::string block = testing_support::Pattern(1 << 20, 5);
    std::ofstream out(*songs_ / "big.mp3", std::ios::binary);
    // Three MPEG frames (2 layer III, 8 kbit/s, 24 kHz) make it a song for pakrel.
    for (int i = 0; i < 3; ++i) out.write("\xFF\xF3\x14\xC4", 4).write(std::string(20, '\0').data(), 20);
    for (int i = 0; i < 150; ++i) out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  static void TearDownTestSuite() { delete songs_; }
  static std::vector<std::string> BuildArgs(const fs::path& out, const std::string& description, int slots) {
    std::vector<std::string> args = {kPakrel,     "--name",       "album",     "--description",
                                     description, "--output-dir", out.string()};
    for (int i = 1; i <= slots; ++i)
      args.push_back("--song=" + std::to_string(i) + "=" + (*songs_ / "big.mp3").string());
    return args;
  }
  static inline TempDir* songs_ = nullptr;
};

TEST_F(LargeSongs, AnInterruptedBuildLeavesTheOldAlbumAndNoTemporaryFile) {
  TempDir dir, logs;
  ASSERT_EQ(RunProcess(DemoAlbumArgs(dir.path())).exitCode, 0);
  fs::rename(dir / "示范.exe", dir / "album.exe");
  const auto before = Listing(dir.path());
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    Background build(BuildArgs(dir.path(), "new", 10), logs / "build");
    ASSERT_TRUE(AwaitTemporaryFile(dir.path(), build.pid))
        << "the build ended before it could be interrupted";
    ::kill(build.pid, sig);
    int status = build.Wait();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
    EXPECT_EQ(Listing(dir.path()), before) << sig;
  }
}

TEST_F(LargeSongs, AStaleTemporaryFileIsSweptButNeverOneStillBeingWritten) {
  TempDir dir, logs;
  Background working(BuildArgs(dir.path(), "working", 10), logs / "working");
  ASSERT_TRUE(AwaitTemporaryFile(dir.path(), working.pid));
  const fs::path inUse = HiddenFiles(dir.path()).at(0);
  // A build killed outright leaves its temporary file behind.
  Background killed(BuildArgs(dir.path(), "killed", 10), logs / "killed");
  while (HiddenFiles(dir.path()).size() < 2) {
    ASSERT_EQ(::waitpid(killed.pid, nullptr, WNOHANG), 0);
    ::usleep(200);
  }
  ::kill(killed.pid, SIGKILL);
  killed.Wait();

  // The next build sweeps only that one. Had it swept the other too, the working build could
  // not put its album in place.
  auto small = RunProcess({kPakrel, "--name", "album", "--output-dir", dir.path().string()});
  EXPECT_EQ(small.exitCode, 0) << small.err;
  const std::vector<fs::path> left = HiddenFiles(dir.path());
  EXPECT_TRUE(left.empty() || left == std::vector<fs::path>{inUse});
  int status = working.Wait();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << ReadFile(logs / "working.err");
  EXPECT_TRUE(HiddenFiles(dir.path()).empty());
  auto listed = RunProcess({kSonvira, "--list", (dir / "album.exe").string()});
  EXPECT_NE(listed.out.find("  working\n"), std::string::npos) << listed.out;
}

TEST_F(LargeSongs, TwoBuildsOfOneNameAtOnceLeaveOneWholeAlbumAndBothSayTheTruth) {
  TempDir dir, logs;
  Background first(BuildArgs(dir.path(), "first", 6), logs / "first");
  Background second(BuildArgs(dir.path(), "second", 3), logs / "second");
  for (Background* build : {&first, &second}) {
    int status = build->Wait();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_EQ(ReadFile(logs / "first.out"), (dir / "album.exe").string() + "\n");
  EXPECT_EQ(ReadFile(logs / "second.out"), (dir / "album.exe").string() + "\n");
  EXPECT_TRUE(HiddenFiles(dir.path()).empty());
  // One album, whole: its description and its songs come from the same build.
  auto listed = RunProcess({kSonvira, "--list", (dir / "album.exe").string()});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const bool fromFirst = listed.out.find("  first\n") != std::string::npos;
  EXPECT_NE(fromFirst, listed.out.find("  second\n") != std::string::npos);
  EXPECT_EQ(listed.out.find("   6  big") != std::string::npos, fromFirst) << listed.out;
}

TEST_F(LargeSongs, AnInterruptedExtractionLeavesNoTemporaryFile) {
  TempDir dir, logs;
  ASSERT_EQ(RunProcess(BuildArgs(dir.path(), "to unpack", 3)).exitCode, 0);
  fs::create_directory(dir / "out");
  Background extract({kSonvira, "--extract", (dir / "album.exe").string(), (dir / "out").string()},
                     logs / "extract");
  ASSERT_TRUE(AwaitTemporaryFile(dir / "out", extract.pid));
  ::kill(extract.pid, SIGINT);
  int status = extract.Wait();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
  EXPECT_TRUE(HiddenFiles(dir / "out").empty());
  // Only whole songs are left.
  for (const auto& entry : fs::directory_iterator(dir / "out"))
    EXPECT_EQ(fs::file_size(entry.path()), 150u << 20);
}

}  // namespace
