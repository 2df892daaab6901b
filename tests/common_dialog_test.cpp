// CommonDialog: the buffer behaviour of its properties and the requests it hands the dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "common_dialog.h"
#include "packager_test_support.h"

namespace {

const QChar kNul(u'\0');

using packager_test::ScriptedDialogs;

TEST(CommonDialogTest, StartsWithEmptyBuffersAndTheTxtExtension) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  EXPECT_EQ(dialog.FileName(), QString());
  EXPECT_EQ(dialog.Filter(), QString());
  EXPECT_EQ(dialog.DialogTitle(), QString());
  EXPECT_EQ(dialog.InitDir(), QString());
  EXPECT_EQ(dialog.DefaultExt(), QStringLiteral("txt"));
  EXPECT_EQ(dialog.Flags(), 2);
  EXPECT_EQ(dialog.FileTitle(), QString(256, kNul));
}

TEST(CommonDialogTest, FilterRoundTripsThroughItsNulSeparatedForm) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.Filter(QStringLiteral("音乐文件|*.mp3"));
  EXPECT_EQ(dialog.Filter(), QStringLiteral("音乐文件|*.mp3"));
  EXPECT_EQ(dialog.NameFilters(), QStringList{QStringLiteral("音乐文件 (*.mp3)")});

  dialog.Filter(QStringLiteral("歌词文件|*.lrc|所有文件|*.*;*"));
  EXPECT_EQ(dialog.Filter(), QStringLiteral("歌词文件|*.lrc|所有文件|*.*;*"));
  EXPECT_EQ(dialog.NameFilters(),
            (QStringList{QStringLiteral("歌词文件 (*.lrc)"), QStringLiteral("所有文件 (*.* *)")}));
}

TEST(CommonDialogTest, FilterWithoutSeparatorIsKeptWholeAndMatchesEveryFile) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.Filter(QStringLiteral("songs"));
  EXPECT_EQ(dialog.Filter(), QStringLiteral("songs"));
  EXPECT_EQ(dialog.NameFilters(), QStringList{QStringLiteral("songs (*)")});
}

TEST(CommonDialogTest, FileNameReadsThePathOnceAndThenEmpty) {
  ScriptedDialogs dialogs;
  dialogs.answers = {QStringLiteral("/music/晴天.mp3")};
  CommonDialog dialog(dialogs);
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), QStringLiteral("/music/晴天.mp3"));
  EXPECT_EQ(dialog.FileName(), QString());
}

TEST(CommonDialogTest, PresetFileNameReachesTheDialogAndReadsBackWithoutItsNul) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.FileName(QStringLiteral("/music/a long preset name.mp3"));
  dialogs.answers = {QStringLiteral("/m/b.mp3")};
  dialog.ShowSave();
  ASSERT_EQ(dialogs.requests.size(), 1u);
  EXPECT_EQ(dialogs.requests[0].presetPath, QStringLiteral("/music/a long preset name.mp3"));
  // The chosen path is shorter than the preset: no tail of the preset may cling to it.
  EXPECT_EQ(dialog.FileName(), QStringLiteral("/m/b.mp3"));

  dialog.FileName(QStringLiteral("/x/y.mp3"));
  EXPECT_EQ(dialog.FileName(), QStringLiteral("/x/y.mp3"));
}

TEST(CommonDialogTest, CancelledDialogLeavesTheBuffersAsTheyWere) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), QString());
  EXPECT_EQ(dialog.FileTitle(), QString(256, kNul));

  dialog.FileName(QStringLiteral("/kept.mp3"));
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), QStringLiteral("/kept.mp3"));
}

TEST(CommonDialogTest, DefaultExtDropsEveryDot) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.DefaultExt(QStringLiteral(".mp3"));
  EXPECT_EQ(dialog.DefaultExt(), QStringLiteral("mp3"));
  dialog.DefaultExt(QStringLiteral("tar.gz"));
  EXPECT_EQ(dialog.DefaultExt(), QStringLiteral("targz"));
}

TEST(CommonDialogTest, FileTitleIsTheRawBufferUntilSetAndFilledByADialog) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.FileTitle(QStringLiteral("ab") + kNul + QStringLiteral("c"));
  EXPECT_EQ(dialog.FileTitle(), QStringLiteral("ab") + kNul + QStringLiteral("c"));

  dialogs.answers = {QStringLiteral("/music/x.mp3")};
  dialog.ShowOpen();
  QString title = dialog.FileTitle();
  EXPECT_EQ(title.size(), 256);
  EXPECT_TRUE(title.startsWith(QStringLiteral("x.mp3") + kNul));
}

TEST(CommonDialogTest, TitleAndInitDirReadBackWithoutNuls) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.DialogTitle(QStringLiteral("选择") + kNul + QStringLiteral("音乐文件"));
  EXPECT_EQ(dialog.DialogTitle(), QStringLiteral("选择音乐文件"));
  dialog.InitDir(QStringLiteral("/home/me"));
  EXPECT_EQ(dialog.InitDir(), QStringLiteral("/home/me"));
}

TEST(CommonDialogTest, OpenAndSaveRequestsCarryTheRecord) {
  ScriptedDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.Filter(QStringLiteral("歌词文件|*.lrc"));
  dialog.DialogTitle(QStringLiteral("选择歌词文件"));
  dialog.InitDir(QStringLiteral("/songs"));
  dialog.DefaultExt(QStringLiteral(".lrc"));
  dialog.ShowOpen();
  dialog.ShowSave();
  ASSERT_EQ(dialogs.requests.size(), 2u);
  const FileDialogRequest& open = dialogs.requests[0];
  EXPECT_EQ(open.kind, FileDialogRequest::Kind::Open);
  EXPECT_EQ(open.title, QStringLiteral("选择歌词文件"));
  EXPECT_EQ(open.nameFilters, QStringList{QStringLiteral("歌词文件 (*.lrc)")});
  EXPECT_EQ(open.initialFolder, QStringLiteral("/songs"));
  EXPECT_EQ(open.defaultSuffix, QStringLiteral("lrc"));
  EXPECT_TRUE(open.presetPath.isEmpty());
  EXPECT_FALSE(open.confirmOverwrite);
  const FileDialogRequest& save = dialogs.requests[1];
  EXPECT_EQ(save.kind, FileDialogRequest::Kind::Save);
  EXPECT_TRUE(save.confirmOverwrite);
  EXPECT_EQ(dialog.FilterIndex(), 1);
}

TEST(CommonDialogTest, GetFolderNameGivesTheFolderOrEmptyOnCancel) {
  ScriptedDialogs dialogs;
  dialogs.answers = {QStringLiteral("/home/me/albums"), QString()};
  CommonDialog dialog(dialogs);
  EXPECT_EQ(dialog.GetFolderName(QStringLiteral("选择文件夹")), QStringLiteral("/home/me/albums"));
  EXPECT_EQ(dialog.GetFolderName(QStringLiteral("again")), QString());
  EXPECT_EQ(dialogs.folderTitles, (QStringList{QStringLiteral("选择文件夹"), QStringLiteral("again")}));
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
  QtFileDialogs dialogs;
  CommonDialog dialog(dialogs);
  dialog.Filter(QStringLiteral("音乐文件|*.mp3"));
  dialog.DialogTitle(QStringLiteral("选择音乐文件"));
  dialog.DefaultExt(QStringLiteral(".mp3"));

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
  EXPECT_EQ(dialog.FileName(), QString()) << "a cancelled desktop dialog reads as an empty name";

  seen = false;
  InspectNextDialog([&](QFileDialog* shown) {
    seen = true;
    EXPECT_EQ(shown->acceptMode(), QFileDialog::AcceptOpen);
  });
  dialog.ShowOpen();
  EXPECT_TRUE(seen);
}

}  // namespace
