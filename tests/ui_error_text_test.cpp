// The windows' wording of errors: the boxes the product always showed keep their exact texts,
// titles and icons; every other error reads in Chinese alone, framed by the window.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "ui/error_text.h"

namespace {

using platform::Error;
using platform::ErrorKind;
using ui::Icon;
using ui::Message;

TEST(WindowWords, TheProductsOwnBoxesKeepTheirExactTextsTitlesAndIcons) {
  QCoreApplication::setApplicationName(QStringLiteral("Pakrel"));
  EXPECT_EQ(ui::MessageFor({ErrorKind::AlreadyRunning, "/opt/pakrel"}),
            (Message{QStringLiteral("对不起Pakrel已在运行中, 不得重复加载!!"), QStringLiteral("错误！"),
                     Icon::Critical}));
  EXPECT_EQ(ui::MessageFor({ErrorKind::NoAlbumName}),
            (Message{QStringLiteral("请先给你制作的专辑取个名字吧！"), QStringLiteral("无专辑名"),
                     Icon::Exclamation}));
  EXPECT_EQ(ui::MessageFor({ErrorKind::NoDescription}),
            (Message{QStringLiteral("请为你制作的专辑写个说明吧！"), QStringLiteral("无专辑说明"),
                     Icon::Exclamation}));
  EXPECT_EQ(
      ui::MessageFor({ErrorKind::LibraryMissing, "/a/bass.dll"}),
      (Message{QStringLiteral("BASS.DLL does not exists"), QStringLiteral("BASS.DLL"), Icon::Critical}));
  EXPECT_EQ(ui::MessageFor({ErrorKind::LibraryWrongVersion, "/a/bass.dll", 0, 0x10002}),
            (Message{QStringLiteral("BASS version 2.2 was not loaded"), QStringLiteral("Incorrect BASS.DLL"),
                     Icon::Critical}));
  EXPECT_EQ(ui::MessageFor({ErrorKind::SoundInitFailed, "/a/bass.dll", 0, 3}),
            (Message{QStringLiteral("Can't initialize digital sound system\r\n(error code: 3)"),
                     QStringLiteral("Error"), Icon::Exclamation}));
  // A song that is no MP3 is refused in a box of the same kind, whatever framing the window asks.
  EXPECT_EQ(ui::MessageFor({ErrorKind::NotMpegAudio, "/a/歌.mp3", 2}, ui::BuildFailure()),
            (Message{QStringLiteral("/a/歌.mp3\n这不是音乐文件（找不到音频帧），放进专辑也播放不了"),
                     QStringLiteral("错误！"), Icon::Exclamation}));
}

TEST(WindowWords, OtherErrorsShowTheHeadingTheFileAndTheProblemOneToALine) {
  Error full = platform::ErrorFromErrno(ENOSPC, platform::Operation::Write, "/music/专辑.exe");
  EXPECT_EQ(ui::MessageFor(full, ui::BuildFailure()),
            (Message{QStringLiteral("专辑没有做成：\n/music/专辑.exe\n无法写入文件：磁盘已满"),
                     QStringLiteral("打包失败"), Icon::Exclamation}));
  EXPECT_EQ(ui::MessageFor({ErrorKind::SongNameTooShort, "/a/mp3", 3}).text,
            QStringLiteral("/a/mp3\n第3首歌曲的文件名太短，得不出歌名"));
  EXPECT_EQ(ui::MessageFor({ErrorKind::TooManyRows}).title, QStringLiteral("错误"));
}

// Latin letters in a Chinese sentence are the mixing users complained of; only the library's
// own English boxes (as the product always had them), the program's name and the name of a
// variable may carry them.
TEST(WindowWords, EveryOtherKindIsWordedInChineseAlone) {
  const std::vector<ErrorKind> english = {ErrorKind::LibraryMissing, ErrorKind::LibraryWrongVersion,
                                          ErrorKind::SoundInitFailed};
  const QString unknown = ui::ErrorText({static_cast<ErrorKind>(-1)});
  for (ErrorKind kind : platform::kAllErrorKinds) {
    if (std::find(english.begin(), english.end(), kind) != english.end()) continue;
    const int k = static_cast<int>(kind);
    for (auto operation : {platform::Operation::None, platform::Operation::OpenForReading}) {
      Error e{kind, "", 2, 5};
      e.operation = operation;
      QString text = ui::ErrorText(e);
      EXPECT_NE(text, unknown) << k;
      text.remove(QStringLiteral("HOME")).remove(QCoreApplication::applicationName());
      EXPECT_FALSE(text.isEmpty()) << k;
      for (QChar c : text)
        EXPECT_FALSE(c.isLetter() && c.unicode() < 0x80) << k << ": " << text.toStdString();
    }
  }
}

class RecordingBoxes : public ui::MessageBoxes {
 public:
  void Show(QWidget* parent, const Message& message) override { shown.push_back({parent, message}); }
  std::vector<std::pair<QWidget*, Message>> shown;
};

TEST(WindowWords, OneCallShowsAnErrorThroughTheBoxesInUse) {
  RecordingBoxes boxes;
  QWidget window;
  {
    ui::ScopedMessageBoxes scoped(boxes);
    ui::ShowError(&window, {ErrorKind::NoAlbumName});
  }
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first, &window);
  EXPECT_EQ(boxes.shown[0].second.title, QStringLiteral("无专辑名"));
}

}  // namespace
