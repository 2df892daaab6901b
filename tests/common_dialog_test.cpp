// CommonDialog: the buffer behaviour of its properties and the requests it hands the dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "packager/common_dialog.h"
#include "packager/qt_file_dialogs.h"
#include "packager_test_support.h"

namespace {

using namespace std::string_literals;
using packager::CommonDialog;
using packager::FileDialogRequest;
using packager::NameFilter;
using packager_test::ScriptedDialogs;

TEST(CommonDialogTest, StartsWithEmptyBuffersAndTheTxtExtension) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  EXPECT_EQ(dialog.FileName(), "");
  EXPECT_EQ(dialog.Filter(), "");
  EXPECT_EQ(dialog.DialogTitle(), "");
  EXPECT_EQ(dialog.InitDir(), "");
  EXPECT_EQ(dialog.DefaultExt(), "txt");
  EXPECT_EQ(dialog.Flags(), 2);
  EXPECT_EQ(dialog.FileTitle(), std::string(256, '\0'));
}

TEST(CommonDialogTest, FilterRoundTripsThroughItsNulSeparatedForm) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.Filter("音乐文件|*.mp3");
  EXPECT_EQ(dialog.Filter(), "音乐文件|*.mp3");
  EXPECT_EQ(dialog.NameFilters(), (std::vector<NameFilter>{{"音乐文件", {"*.mp3"}}}));

  dialog.Filter("歌词文件|*.lrc|所有文件|*.*;*");
  EXPECT_EQ(dialog.Filter(), "歌词文件|*.lrc|所有文件|*.*;*");
  EXPECT_EQ(dialog.NameFilters(),
            (std::vector<NameFilter>{{"歌词文件", {"*.lrc"}}, {"所有文件", {"*.*", "*"}}}));
}

TEST(CommonDialogTest, FilterWithoutSeparatorIsKeptWholeAndMatchesEveryFile) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.Filter("songs");
  EXPECT_EQ(dialog.Filter(), "songs");
  EXPECT_EQ(dialog.NameFilters(), (std::vector<NameFilter>{{"songs", {"*"}}}));
}

TEST(CommonDialogTest, FileNameReadsThePathOnceAndThenEmpty) {
  ScriptedDialogs dialogs;
  dialogs.answers = {"/music/晴天.mp3"};
  CommonDialog dialog(dialogs);
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), "/music/晴天.mp3");
  EXPECT_EQ(dialog.FileName(), "");
}

TEST(CommonDialogTest, PresetFileNameReachesTheDialogAndReadsBackWithoutItsNul) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.FileName("/music/a long preset name.mp3");
  dialogs.answers = {"/m/b.mp3"};
  dialog.ShowSave();
  ASSERT_EQ(dialogs.requests.size(), 1u);
  EXPECT_EQ(dialogs.requests[0].presetPath, "/music/a long preset name.mp3");
  // The chosen path is shorter than the preset: no tail of the preset may cling to it.
  EXPECT_EQ(dialog.FileName(), "/m/b.mp3");

  dialog.FileName("/x/y.mp3");
  EXPECT_EQ(dialog.FileName(), "/x/y.mp3");
}

TEST(CommonDialogTest, CancelledDialogLeavesTheBuffersAsTheyWere) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), "");
  EXPECT_EQ(dialog.FileTitle(), std::string(256, '\0'));

  dialog.FileName("/kept.mp3");
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), "/kept.mp3");
}

TEST(CommonDialogTest, DefaultExtDropsEveryDot) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.DefaultExt(".mp3");
  EXPECT_EQ(dialog.DefaultExt(), "mp3");
  dialog.DefaultExt("tar.gz");
  EXPECT_EQ(dialog.DefaultExt(), "targz");
}

TEST(CommonDialogTest, FileTitleIsTheRawBufferUntilSetAndFilledByADialog) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.FileTitle("ab\0c"s);
  EXPECT_EQ(dialog.FileTitle(), "ab\0c"s);

  dialogs.answers = {"/music/x.mp3"};
  dialog.ShowOpen();
  std::string title = dialog.FileTitle();
  EXPECT_EQ(title.size(), 256u);
  EXPECT_TRUE(title.starts_with("x.mp3\0"s));
}

TEST(CommonDialogTest, TitleAndInitDirReadBackWithoutNuls) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.DialogTitle("选择\0音乐文件"s);
  EXPECT_EQ(dialog.DialogTitle(), "选择音乐文件");
  dialog.InitDir("/home/me");
  EXPECT_EQ(dialog.InitDir(), "/home/me");
}

TEST(CommonDialogTest, OpenAndSaveRequestsCarryTheRecord) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.Filter("歌词文件|*.lrc");
  dialog.DialogTitle("选择歌词文件");
  dialog.InitDir("/songs");
  dialog.DefaultExt(".lrc");
  dialog.ShowOpen();
  dialog.ShowSave();
  ASSERT_EQ(dialogs.requests.size(), 2u);
  const FileDialogRequest& open = dialogs.requests[0];
  EXPECT_EQ(open.kind, FileDialogRequest::Kind::Open);
  EXPECT_EQ(open.title, "选择歌词文件");
  EXPECT_EQ(open.nameFilters, (std::vector<NameFilter>{{"歌词文件", {"*.lrc"}}}));
  EXPECT_EQ(open.initialFolder, "/songs");
  EXPECT_EQ(open.defaultSuffix, "lrc");
  EXPECT_TRUE(open.presetPath.empty());
  EXPECT_FALSE(open.confirmOverwrite);
  const FileDialogRequest& save = dialogs.requests[1];
  EXPECT_EQ(save.kind, FileDialogRequest::Kind::Save);
  EXPECT_TRUE(save.confirmOverwrite);
  EXPECT_EQ(dialog.FilterIndex(), 1);
}

TEST(CommonDialogTest, GetFolderNameGivesTheFolderOrEmptyOnCancel) {
  ScriptedDialogs dialogs;
  dialogs.answers = {"/home/me/albums", {}};
  CommonDialog dialog(dialogs);
  EXPECT_EQ(dialog.GetFolderName("选择文件夹"), "/home/me/albums");
  EXPECT_EQ(dialog.GetFolderName("again"), "");
  EXPECT_EQ(dialogs.folderTitles, (std::vector<std::string>{"选择文件夹", "again"}));
}

// Waits for the desktop dialog to open, hands it to `inspect`, then closes it as a cancel.
void InspectNextDialog(std::function<void(QFileDialog*)> inspect) {
  auto* timer = new QTimer;
  int tries = 0;
  QObject::connect(timer, &QTimer::timeout, [timer, inspect, tries]() mutable {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog) inspect(dialog);
    if (dialog || ++tries > 200) {
      timer->stop();
      timer->deleteLater();
      if (dialog) dialog->reject();
    }
  });
  timer->start(10);
}

TEST(CommonDialogTest, QtDialogsShowTheFilterListAndAskBeforeOverwriting) {
  packager::QtFileDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.Filter("音乐文件|*.mp3");
  dialog.DialogTitle("选择音乐文件");
  dialog.DefaultExt(".mp3");

  bool seen = false;
  InspectNextDialog([&](QFileDialog* shown) {
    seen = true;
    EXPECT_EQ(shown->windowTitle(), QStringLiteral("选择音乐文件"));
    EXPECT_EQ(shown->nameFilters(), QStringList{QStringLiteral("音乐文件 (*.mp3)")});
    EXPECT_EQ(shown->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(shown->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(shown->defaultSuffix(), QStringLiteral("mp3"));
  });
  dialog.ShowSave();
  EXPECT_TRUE(seen);
  EXPECT_EQ(dialog.FileName(), "") << "a cancelled desktop dialog reads as an empty name";

  seen = false;
  InspectNextDialog([&](QFileDialog* shown) {
    seen = true;
    EXPECT_EQ(shown->acceptMode(), QFileDialog::AcceptOpen);
  });
  dialog.ShowOpen();
  EXPECT_TRUE(seen);
}

}  // namespace
