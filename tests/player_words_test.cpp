// The player's boxes: the words and titles its notices are shown with, on every system.
#include <gtest/gtest.h>

#include <cerrno>

#include "player/words.h"

namespace {

using player::NoticeKind;
using words::Icon;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(PlayerWords, EachNoticeIsShownWithItsWordsTitleAndIcon) {
  const words::Box running = player::BoxFor(
      {NoticeKind::StartupRefused, platform::Error{platform::ErrorKind::AlreadyRunning, "/a/专辑.exe"}}, "Sonvira");
  EXPECT_EQ(running, (words::Box{"对不起Sonvira已在运行中, 不得重复加载!!", "错误！", Icon::Critical}));

  const words::Box notAlbum = player::BoxFor(
      {NoticeKind::StartupRefused, platform::Error{platform::ErrorKind::NotAnAlbum, "/a/bogus.exe"}}, "Sonvira");
  EXPECT_TRUE(Has(notAlbum.text, "/a/bogus.exe")) << notAlbum.text;

  const words::Box full = player::BoxFor(
      {NoticeKind::LibraryNotWritten, platform::Error(platform::ErrorKind::DiskFull, "/run/full/bass.dll")},
      "Sonvira");
  EXPECT_TRUE(full.text.ends_with("\n/run/full/bass.dll\n磁盘已满")) << full.text;
  EXPECT_EQ(full.icon, Icon::Critical);

  const words::Box settings = player::BoxFor({NoticeKind::NoSettings, {}, "/a/专辑/"}, "Sonvira");
  EXPECT_EQ(settings.text, "There was an error when trying to load settings from /a/专辑/set.ini. ");
  EXPECT_EQ(settings.title, "Load Error");

  const words::Box open = player::BoxFor({NoticeKind::StreamNotOpened, {}, {}, 41}, "Sonvira");
  EXPECT_EQ(open.text, "Can't open stream\r\n(error code: 41)");
  EXPECT_EQ(open.title, "Error");
  EXPECT_EQ(player::BoxFor({NoticeKind::StreamNotStarted, {}, {}, 9}, "Sonvira").text,
            "Can't play stream\r\n(error code: 9)");

  platform::Error denied(platform::ErrorKind::Unwritable, "/a/歌1.mp3");
  denied.operation = platform::Operation::Create;
  const words::Box exported = player::BoxFor({NoticeKind::ExportFailed, denied}, "Sonvira");
  EXPECT_TRUE(exported.text.ends_with("\n/a/歌1.mp3\n无法创建文件：没有权限")) << exported.text;
  EXPECT_EQ(exported.title, "释出失败");
}

}  // namespace
