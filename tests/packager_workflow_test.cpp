// PackagerWorkflow: choosing files, the two refusals, the build with its progress steps, the
// finishing step, failed builds and a second build in the same run.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>

#include "album/reader.h"
#include "packager/packager_workflow.h"
#include "packager/words.h"
#include "platform/path_text.h"
#include "packager_test_support.h"

namespace {

using packager::FileDialogRequest;
using packager::NameFilter;
using packager::OutputFolder;
using packager::PackagerWorkflow;
using packager_test::Box;
using packager_test::ScriptedDialogs;
using packager_test::TempFolder;

// Keeps what the workflow asked of its window, its notices worded as the window words them.
class RecordingUi : public PackagerWorkflow::Ui {
 public:
  void Tell(const PackagerWorkflow::Notice& notice) override {
    const words::Box box = packager::NoticeBox(notice, "Pakrel");
    boxes.push_back({box.text, box.title});
    kinds.push_back(notice.kind);
  }
  // Answers from `answers`, no when it runs out.
  bool AskStopBuild() override {
    ++questions;
    const bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return yes;
  }
  void Close() override { ++closes; }
  void Progress(bool visible, int value) override {
    progress.push_back({visible, value});
    if (onProgress) onProgress();
  }
  void Refresh() override { ++refreshes; }

  std::vector<Box> boxes;
  std::vector<PackagerWorkflow::Notice::Kind> kinds;
  std::deque<bool> answers;
  int questions = 0;
  int closes = 0;
  std::vector<std::pair<bool, int>> progress;
  std::function<void()> onProgress;
  int refreshes = 0;
};

const std::string kPlayer =
    "\x7f"
    "ELF a small stand-in for the player program";

std::span<const std::byte> PlayerBytes() {
  return {reinterpret_cast<const std::byte*>(kPlayer.data()), kPlayer.size()};
}

struct Fixture {
  TempFolder folder;
  RecordingUi ui;
  ScriptedDialogs dialogs;
  std::filesystem::path output = folder.path() / "out";
  PackagerWorkflow workflow{ui, dialogs, PlayerBytes(), output};

  Fixture() { std::filesystem::create_directories(output); }

  // A file of that name that exists, in the test's folder.
  std::filesystem::path Song(const std::string& name) { return folder.WriteSong(name, 100, 1); }
  void ChooseSong(int index, const std::filesystem::path& path) {
    dialogs.answers.push_back(path);
    workflow.ChooseSong(index);
  }
  void ChooseLyrics(int index, const std::filesystem::path& path) {
    dialogs.answers.push_back(path);
    workflow.ChooseLyrics(index);
  }
};

std::vector<std::pair<bool, int>> ExpectedProgress() {
  std::vector<std::pair<bool, int>> steps{{true, 50}};
  for (int k = 1; k <= 21; ++k) steps.push_back({true, 2 * k});
  steps.push_back({true, 44});
  steps.push_back({true, 48});
  steps.push_back({true, 50});
  steps.push_back({false, 50});
  return steps;
}

TEST(PackagerWorkflowTest, StartsWithEmptySlotsAndTheUntouchedDescription) {
  Fixture f;
  EXPECT_EQ(f.workflow.Description(), "没有说明\r\n");
  EXPECT_FALSE(f.workflow.Text2(0).empty());
  for (int i = 1; i <= 20; ++i) EXPECT_TRUE(f.workflow.Text2(i).empty());
  EXPECT_FALSE(f.workflow.ProgressVisible());
  EXPECT_EQ(f.workflow.ProgressValue(), 50);
  EXPECT_FALSE(f.workflow.CompletionNoteVisible());
}

TEST(PackagerWorkflowTest, SongButtonAsksForAnMp3AndStoresPathAndName) {
  Fixture f;
  f.ChooseSong(2, f.Song("晴天.mp3"));
  ASSERT_EQ(f.dialogs.requests.size(), 1u);
  EXPECT_EQ(f.dialogs.requests[0].title, "选择音乐文件");
  EXPECT_EQ(f.dialogs.requests[0].nameFilters, (std::vector<NameFilter>{{"音乐文件", {"*.mp3"}}}));
  EXPECT_EQ(f.dialogs.requests[0].kind, FileDialogRequest::Kind::Open);
  EXPECT_EQ(f.workflow.Text2(3), f.Song("晴天.mp3"));
  EXPECT_EQ(f.workflow.Text5(2), "晴天");

  f.ChooseSong(2, f.Song("Another Day.mp3"));
  EXPECT_EQ(f.workflow.Text2(3), f.Song("Another Day.mp3"));
  EXPECT_EQ(f.workflow.Text5(2), "Another Day");
}

TEST(PackagerWorkflowTest, LyricsButtonAsksForAnLrcAndNeverTouchesTheName) {
  Fixture f;
  f.ChooseSong(9, f.Song("ten.mp3"));
  f.ChooseLyrics(9, f.Song("other.lrc"));
  EXPECT_EQ(f.dialogs.requests[1].title, "选择歌词文件");
  EXPECT_EQ(f.dialogs.requests[1].nameFilters, (std::vector<NameFilter>{{"歌词文件", {"*.lrc"}}}));
  EXPECT_EQ(f.workflow.Text2(20), f.Song("other.lrc"));
  EXPECT_EQ(f.workflow.Text5(9), "ten");
}

TEST(PackagerWorkflowTest, CancelledDialogsChangeNothing) {
  Fixture f;
  f.ChooseSong(0, f.Song("a.mp3"));
  f.ChooseLyrics(0, f.Song("a.lrc"));
  f.workflow.ChooseSong(0);
  f.workflow.ChooseLyrics(0);
  EXPECT_EQ(f.workflow.Text2(1), f.Song("a.mp3"));
  EXPECT_EQ(f.workflow.Text2(11), f.Song("a.lrc"));
  EXPECT_EQ(f.workflow.Text5(0), "a");
}

TEST(PackagerWorkflowTest, EachKindOfDialogReopensInTheFolderOfItsLastChoice) {
  Fixture f;
  TempFolder songs, lyrics;
  f.ChooseSong(0, songs.WriteSong("a.mp3", 100, 1));
  f.ChooseSong(1, songs.WriteSong("b.mp3", 100, 1));
  f.ChooseLyrics(0, lyrics.Write("a.lrc", 10, 1));
  f.workflow.ChooseLyrics(1);  // cancelled: the folder stays
  f.ChooseLyrics(1, {});
  ASSERT_EQ(f.dialogs.requests.size(), 5u);
  EXPECT_TRUE(f.dialogs.requests[0].initialFolder.empty());
  EXPECT_EQ(f.dialogs.requests[1].initialFolder, songs.path());
  EXPECT_TRUE(f.dialogs.requests[2].initialFolder.empty()) << "lyrics keep a folder of their own";
  EXPECT_EQ(f.dialogs.requests[3].initialFolder, lyrics.path());
  EXPECT_EQ(f.dialogs.requests[4].initialFolder, lyrics.path());
}

TEST(PackagerWorkflowTest, AChosenFileThatCannotBeReadIsRefusedAtOnce) {
  Fixture f;
  f.ChooseSong(0, f.Song("kept.mp3"));
  f.ChooseSong(0, f.folder.path() / "typed but missing.mp3");
  f.ChooseLyrics(3, f.folder.path());
  ASSERT_EQ(f.ui.boxes.size(), 2u);
  EXPECT_EQ(f.ui.kinds, std::vector(2, PackagerWorkflow::Notice::Kind::UnusableChoice));
  EXPECT_TRUE(f.ui.boxes[0].text.find("typed but missing.mp3") != std::string::npos);
  EXPECT_EQ(f.workflow.Text2(1), f.Song("kept.mp3"));
  EXPECT_EQ(f.workflow.Text5(0), "kept");
  EXPECT_TRUE(f.workflow.Text2(14).empty());
}

TEST(PackagerWorkflowTest, ASongThatIsNotMpegAudioIsRefusedWhenPickedAndBeforeABuild) {
  Fixture f;
  f.ChooseSong(0, f.Song("kept.mp3"));
  const std::filesystem::path words = f.folder.Write("words.mp3", 5000, 1);
  f.ChooseSong(0, words);
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].title, "错误！");
  EXPECT_TRUE(f.ui.boxes[0].text.starts_with(platform::PathToUtf8(words) + "\n")) << f.ui.boxes[0].text;
  EXPECT_EQ(f.workflow.Text2(1), f.Song("kept.mp3"));

  f.workflow.SetText2(2, words);  // typed into the path box
  f.workflow.SetAlbumName("typed");
  f.workflow.Build();
  EXPECT_EQ(f.ui.boxes, std::vector<Box>(2, f.ui.boxes[0]));
  EXPECT_TRUE(std::filesystem::is_empty(f.output));
}

TEST(PackagerWorkflowTest, GetFileNameDropsFolderAndLastFourCharacters) {
  EXPECT_EQ(PackagerWorkflow::GetFileName(platform::PathFromUtf8("/a/b/小星星.mp3")), "小星星");
  EXPECT_EQ(PackagerWorkflow::GetFileName("C:\\songs\\x.mp3"), "x");
  EXPECT_EQ(PackagerWorkflow::GetFileName("/a/.mp3"), "");
  EXPECT_EQ(PackagerWorkflow::GetFileName("/a/ab"), "");
}

TEST(PackagerWorkflowTest, BlankNameOrDescriptionIsRefusedWithItsWarning) {
  Fixture f;
  f.workflow.SetAlbumName("   ");
  f.workflow.Build();
  f.workflow.SetAlbumName(" 专辑 ");
  f.workflow.SetDescription("  ");
  f.workflow.Build();
  EXPECT_EQ(f.ui.boxes, (std::vector<Box>{
                            {"请先给你制作的专辑取个名字吧！", "无专辑名"},
                            {"请为你制作的专辑写个说明吧！", "无专辑说明"}}));
  EXPECT_TRUE(f.ui.progress.empty());
  EXPECT_TRUE(std::filesystem::is_empty(f.output));
  EXPECT_EQ(f.workflow.AlbumName(), " 专辑 ");

  // Only spaces are trimmed: line breaks alone make a description.
  f.workflow.SetDescription("\r\n");
  f.workflow.Build();
  EXPECT_EQ(f.ui.boxes.size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(f.output / platform::PathFromUtf8("专辑.exe")));
}

TEST(PackagerWorkflowTest, BuildWithGapsWritesTheImageAndFinishes) {
  Fixture f;
  auto song1 = f.folder.WriteSong("one.mp3", 3000, 1);
  auto lyrics1 = f.folder.Write("one.lrc", 120, 2);
  auto song3 = f.folder.WriteSong("three.mp3", 5000, 3);
  auto lyrics7 = f.folder.Write("seven.lrc", 80, 4);
  f.ChooseSong(0, song1);
  f.ChooseLyrics(0, lyrics1);
  f.ChooseSong(2, song3);
  f.ChooseLyrics(6, lyrics7);
  f.workflow.SetAlbumName("  My Album ");
  std::vector<bool> buildingDuringProgress;
  f.ui.onProgress = [&] { buildingDuringProgress.push_back(f.workflow.Building()); };

  f.workflow.Build();

  EXPECT_TRUE(f.ui.boxes.empty());
  EXPECT_EQ(f.ui.progress, ExpectedProgress());
  EXPECT_TRUE(buildingDuringProgress.at(5));
  EXPECT_FALSE(f.workflow.Building());

  const auto image = f.output / "My Album.exe";
  ASSERT_TRUE(std::filesystem::exists(image));
  EXPECT_EQ(f.workflow.LastImage(), image);
  const std::int64_t P = kPlayer.size();
  EXPECT_EQ(f.workflow.Text4(0), "My Album");
  EXPECT_EQ(f.workflow.Text4(1), std::to_string(P + 1));
  EXPECT_EQ(f.workflow.Text4(2), std::to_string(P + 1 + 3000));
  EXPECT_EQ(f.workflow.Text4(3), std::to_string(P + 1 + 3000)) << "slot 2 is empty";
  EXPECT_EQ(f.workflow.Text4(4), std::to_string(P + 1 + 8000));
  EXPECT_EQ(f.workflow.Text4(11), std::to_string(P + 1 + 8000));
  EXPECT_EQ(f.workflow.Text4(12), std::to_string(P + 1 + 8120));
  EXPECT_EQ(f.workflow.Text4(18), std::to_string(P + 1 + 8200));
  EXPECT_EQ(f.workflow.Text4(21), std::to_string(P + 1 + 8200));
  EXPECT_EQ(f.workflow.Text4(22), f.workflow.Text4(21));
  EXPECT_EQ(std::stoll(f.workflow.Text4(24)) + 9999,
            static_cast<long long>(std::filesystem::file_size(image)));

  // The image reads back with the songs in their slots.
  auto opened = album::AlbumImage::ReadAlbumIndex(image);
  ASSERT_TRUE(opened) << opened.error().file;
  EXPECT_EQ(opened.value().settings().songSlots[0].name, "one");
  EXPECT_EQ(opened.value().settings().songSlots[1].name, "");
  EXPECT_EQ(opened.value().settings().songSlots[2].name, "three");
  EXPECT_EQ(opened.value().description(), "没有说明\r\n");

  // Finished: paths, names and album name emptied, the description kept, the note shown.
  for (int i = 1; i <= 20; ++i) EXPECT_TRUE(f.workflow.Text2(i).empty()) << i;
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(f.workflow.Text5(i).empty()) << i;
  EXPECT_TRUE(f.workflow.AlbumName().empty());
  EXPECT_EQ(f.workflow.Description(), "没有说明\r\n");
  EXPECT_FALSE(f.workflow.Text2(0).empty());
  EXPECT_FALSE(f.workflow.ProgressVisible());
  EXPECT_EQ(f.workflow.ProgressValue(), 50);
  EXPECT_TRUE(f.workflow.CompletionNoteVisible());
}

TEST(PackagerWorkflowTest, FailedBuildWarnsWithFileAndProblemAndChangesNothing) {
  Fixture f;
  auto song = f.folder.WriteSong("here.mp3", 100, 1);
  f.ChooseSong(0, song);
  f.ChooseSong(1, f.Song("gone.mp3"));
  std::filesystem::remove(f.folder.path() / "gone.mp3");
  f.workflow.SetAlbumName("broken");
  f.workflow.Build();

  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].title, "打包失败");
  EXPECT_TRUE(f.ui.boxes[0].text.find("gone.mp3") != std::string::npos) << f.ui.boxes[0].text;
  EXPECT_FALSE(std::filesystem::exists(f.output / "broken.exe"));
  EXPECT_EQ(f.workflow.Text2(1), song);
  EXPECT_EQ(f.workflow.Text2(2), f.folder.path() / "gone.mp3");
  EXPECT_EQ(f.workflow.Text5(0), "here");
  EXPECT_EQ(f.workflow.AlbumName(), "broken");
  EXPECT_TRUE(f.workflow.Text4(0).empty());
  EXPECT_FALSE(f.workflow.ProgressVisible());
  EXPECT_EQ(f.workflow.ProgressValue(), 50);
  EXPECT_FALSE(f.workflow.CompletionNoteVisible());
  EXPECT_FALSE(f.workflow.Building());
}

TEST(PackagerWorkflowTest, StartingABuildHidesTheNoteOfTheLastOne) {
  Fixture f;
  f.ChooseSong(0, f.Song("a.mp3"));
  f.workflow.SetAlbumName("first");
  f.workflow.Build();
  EXPECT_TRUE(f.workflow.CompletionNoteVisible());

  std::vector<bool> noteDuringBuild;
  f.ui.onProgress = [&] { noteDuringBuild.push_back(f.workflow.CompletionNoteVisible()); };
  f.ChooseSong(0, f.Song("a.mp3"));
  f.workflow.SetAlbumName("second");
  f.workflow.Build();
  ASSERT_FALSE(noteDuringBuild.empty());
  EXPECT_EQ(std::count(noteDuringBuild.begin(), noteDuringBuild.end(), true), 0);
  EXPECT_TRUE(f.workflow.CompletionNoteVisible());

  f.ChooseSong(0, f.Song("gone.mp3"));
  std::filesystem::remove(f.folder.path() / "gone.mp3");
  f.workflow.SetAlbumName("third");
  f.workflow.Build();
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].title, "打包失败");
  EXPECT_FALSE(f.workflow.CompletionNoteVisible());
}

TEST(PackagerWorkflowTest, UnusableAlbumNameAndMissingFolderAreReported) {
  Fixture f;
  f.workflow.SetAlbumName("a/b");
  f.workflow.Build();
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].title, "打包失败");

  RecordingUi ui;
  ScriptedDialogs dialogs;
  PackagerWorkflow nowhere(ui, dialogs, PlayerBytes(), f.folder.path() / "no such folder");
  nowhere.SetAlbumName("x");
  nowhere.Build();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_TRUE(ui.boxes[0].text.find("no such folder") != std::string::npos) << ui.boxes[0].text;
}

TEST(PackagerWorkflowTest, ClickDuringABuildStartsNoSecondBuild) {
  Fixture f;
  f.ChooseSong(0, f.folder.WriteSong("a.mp3", 500, 1));
  f.workflow.SetAlbumName("once");
  int nested = 0;
  f.ui.onProgress = [&] {
    if (nested++ == 3) f.workflow.Build();
  };
  f.workflow.Build();
  EXPECT_EQ(f.ui.progress, ExpectedProgress());
  EXPECT_TRUE(f.ui.boxes.empty());
}

TEST(PackagerWorkflowTest, ClosingDuringABuildAsksUntilYesThenClosesOnceTheBuildIsUndone) {
  Fixture f;
  EXPECT_TRUE(f.workflow.CloseRequested());
  f.ChooseSong(0, f.Song("a.mp3"));
  f.workflow.SetAlbumName("album");
  f.ui.answers = {false, true};
  std::vector<bool> mayClose;
  f.ui.onProgress = [&] {
    const std::size_t step = f.ui.progress.size();
    if (step == 3 || step == 5) mayClose.push_back(f.workflow.CloseRequested());
    if (step == 5) mayClose.push_back(f.workflow.CloseRequested());
  };
  f.workflow.Build();
  EXPECT_EQ(mayClose, std::vector(3, false));
  EXPECT_EQ(f.ui.questions, 2) << "no question after the yes";
  EXPECT_EQ(f.ui.closes, 1);
  EXPECT_TRUE(f.ui.boxes.empty());
  EXPECT_TRUE(std::filesystem::is_empty(f.output));
  EXPECT_EQ(f.workflow.AlbumName(), "album");
  EXPECT_TRUE(f.workflow.CloseRequested());
}

TEST(PackagerWorkflowTest, AlbumsGoToTheProgramFolderOnlyWhenItIsWritable) {
  TempFolder folder;
  OutputFolder own = packager::ChooseOutputFolder(folder.path(), folder.path() / "fallback");
  EXPECT_EQ(own.folder, folder.path());
  EXPECT_TRUE(own.isProgramFolder);

  OutputFolder other = packager::ChooseOutputFolder(folder.path() / "missing", folder.path() / "Music");
  EXPECT_EQ(other.folder, folder.path() / "Music");
  EXPECT_FALSE(other.isProgramFolder);
  EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "Music"));
}

}  // namespace
