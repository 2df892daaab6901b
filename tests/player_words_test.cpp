// The player's boxes: the words and titles its notices are shown with.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cerrno>

#include "words.h"

namespace {

using player::NoticeKind;

TEST(PlayerWords, EachNoticeIsShownWithItsWordsTitleAndIcon) {
  QCoreApplication::setApplicationName(QStringLiteral("Sonvira"));  // the running program's name
  const player::Message running = player::MessageFor(
      {NoticeKind::StartupRefused, platform::Error{platform::ErrorKind::AlreadyRunning, "/a/专辑.exe"}});
  EXPECT_EQ(running.text, "对不起Sonvira已在运行中, 不得重复加载!!");
  EXPECT_EQ(running.title, "错误！");
  EXPECT_EQ(running.icon, player::Icon::Critical);

  const player::Message notAlbum = player::MessageFor(
      {NoticeKind::StartupRefused, platform::Error{platform::ErrorKind::NotAnAlbum, "/a/bogus.exe"}});
  EXPECT_TRUE(notAlbum.text.contains(QStringLiteral("/a/bogus.exe"))) << notAlbum.text.toStdString();

  const player::Message full = player::MessageFor(
      {NoticeKind::LibraryNotWritten,
       platform::ErrorFromErrno(ENOSPC, platform::Operation::Write, "/run/full/bass.dll")});
  EXPECT_TRUE(full.text.endsWith(QStringLiteral("\n/run/full/bass.dll\n无法写入文件：磁盘已满")))
      << full.text.toStdString();
  EXPECT_EQ(full.icon, player::Icon::Critical);

  const player::Message settings = player::MessageFor({NoticeKind::NoSettings, {}, "/a/专辑/"});
  EXPECT_EQ(settings.text, "There was an error when trying to load settings from /a/专辑/set.ini. ");
  EXPECT_EQ(settings.title, "Load Error");

  const player::Message open = player::MessageFor({NoticeKind::StreamNotOpened, {}, {}, 41});
  EXPECT_EQ(open.text, "Can't open stream\r\n(error code: 41)");
  EXPECT_EQ(open.title, "Error");
  EXPECT_EQ(player::MessageFor({NoticeKind::StreamNotStarted, {}, {}, 9}).text,
            "Can't play stream\r\n(error code: 9)");

  const player::Message exported =
      player::MessageFor({NoticeKind::ExportFailed,
                          platform::ErrorFromErrno(EACCES, platform::Operation::Create, "/a/歌1.mp3")});
  EXPECT_TRUE(exported.text.contains(QStringLiteral("/a/歌1.mp3"))) << exported.text.toStdString();
  EXPECT_EQ(exported.title, "释出失败");
}

}  // namespace
