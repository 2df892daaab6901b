// The two programs run for real: pakrel builds the demo album, sonvira lists and unpacks it,
// and both refuse bad input with a message and an exit status.
#include <gtest/gtest.h>

#include <sys/stat.h>

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

  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // bad.txt
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

}  // namespace
