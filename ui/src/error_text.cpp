#include "ui/error_text.h"

#include <QCoreApplication>

#include "ui/paths.h"

namespace ui {
namespace {

using platform::ErrorKind;
using platform::Operation;

QString Doing(Operation operation) {
  switch (operation) {
    case Operation::None: return {};
    case Operation::OpenForReading: return QStringLiteral("打开文件读取");
    case Operation::OpenForWriting: return QStringLiteral("打开文件写入");
    case Operation::Read: return QStringLiteral("读取文件");
    case Operation::Write: return QStringLiteral("写入文件");
    case Operation::Create: return QStringLiteral("创建文件");
    case Operation::ReadSize: return QStringLiteral("读取文件大小");
    case Operation::Truncate: return QStringLiteral("截短文件");
    case Operation::MakeExecutable: return QStringLiteral("把文件设为可执行");
    case Operation::CreateFolder: return QStringLiteral("创建文件夹");
    case Operation::OpenFolder: return QStringLiteral("打开文件夹");
    case Operation::MakeFolderPrivate: return QStringLiteral("把文件夹设为私有");
    case Operation::OpenLockFile: return QStringLiteral("打开锁文件");
    case Operation::LockLockFile: return QStringLiteral("锁定锁文件");
  }
  return {};
}

// "无法写入文件：磁盘已满", or only the reason when nothing was being done.
QString Refused(const platform::Error& e, const QString& reason) {
  const QString doing = Doing(e.operation);
  return doing.isEmpty() ? reason : QStringLiteral("无法%1：%2").arg(doing, reason);
}

QString Song(const platform::Error& e) { return QStringLiteral("第%1首").arg(e.slot); }

}  // namespace

QString ErrorText(const platform::Error& e) {
  switch (e.kind) {
    case ErrorKind::NotFound: return Refused(e, QStringLiteral("文件或文件夹不存在"));
    case ErrorKind::Unreadable:
    case ErrorKind::Unwritable: return Refused(e, QStringLiteral("没有权限"));
    case ErrorKind::ReadOnly: return Refused(e, QStringLiteral("文件夹是只读的"));
    case ErrorKind::DiskFull: return Refused(e, QStringLiteral("磁盘已满"));
    case ErrorKind::IsFolder: return Refused(e, QStringLiteral("这是一个文件夹"));
    case ErrorKind::NameTooLong: return Refused(e, QStringLiteral("名称太长"));
    case ErrorKind::FileTooLarge: return Refused(e, QStringLiteral("文件太大"));
    case ErrorKind::SystemError: return Refused(e, QStringLiteral("系统错误（错误代码：%1）").arg(e.code));
    case ErrorKind::Truncated: return QStringLiteral("文件比预期的短（是否在使用中被修改了？）");
    case ErrorKind::NotPrivate: return QStringLiteral("这不是本用户的私有文件夹");
    case ErrorKind::NoHomeFolder: return QStringLiteral("找不到存放私有文件的文件夹：没有设置 HOME");
    case ErrorKind::NotRegularFile: return QStringLiteral("这不是普通文件（是管道、设备之类），不能读取");
    case ErrorKind::AlreadyRunning:
      return QStringLiteral("对不起%1已在运行中, 不得重复加载!!").arg(QCoreApplication::applicationName());
    case ErrorKind::NoAlbumName: return QStringLiteral("请先给你制作的专辑取个名字吧！");
    case ErrorKind::NoDescription: return QStringLiteral("请为你制作的专辑写个说明吧！");
    case ErrorKind::AlbumNameNotText: return QStringLiteral("专辑名称不是有效的文字");
    case ErrorKind::AlbumNameHasSlash: return QStringLiteral("专辑名称不能包含“/”或“\\”");
    case ErrorKind::AlbumNameHasControl: return QStringLiteral("专辑名称不能包含控制字符");
    case ErrorKind::AlbumNameTooLong: return QStringLiteral("专辑名称太长，不能用作文件名");
    case ErrorKind::DescriptionNotText: return QStringLiteral("专辑说明不是有效的文字");
    case ErrorKind::DescriptionTooLarge:
      return QStringLiteral("专辑说明太长：存入专辑后会超过 16,777,216 字节，播放器读不了");
    case ErrorKind::SongNameTooShort: return QStringLiteral("%1歌曲的文件名太短，得不出歌名").arg(Song(e));
    case ErrorKind::SongNameUnusable: return QStringLiteral("%1歌曲的文件名得不出可用的歌名").arg(Song(e));
    case ErrorKind::SongNameHasLineBreak: return QStringLiteral("%1歌曲的文件名含有换行符").arg(Song(e));
    case ErrorKind::SongNameHasControl: return QStringLiteral("%1歌曲的文件名含有控制字符").arg(Song(e));
    case ErrorKind::SongNameNotText: return QStringLiteral("%1歌曲的文件名不是有效的文字").arg(Song(e));
    case ErrorKind::NotMpegAudio:
      return QStringLiteral("这不是音乐文件（找不到音频帧），放进专辑也播放不了");
    case ErrorKind::FolderInTheWay: return QStringLiteral("已有同名的文件夹");
    case ErrorKind::AlbumOverwritesSource: return QStringLiteral("专辑会覆盖它自己的歌曲或歌词文件");
    case ErrorKind::AlbumTooLarge: return QStringLiteral("专辑会超过 2,147,483,647 字节");
    case ErrorKind::IndexMismatch: return QStringLiteral("专辑文件的结尾与它的索引不符");
    case ErrorKind::BuildStopped: return QStringLiteral("打包已被停止");
    case ErrorKind::NotAnAlbum: return QStringLiteral("这不是完整有效的专辑文件");
    case ErrorKind::NoSuchSlot: return QStringLiteral("没有%1歌曲").arg(Song(e));
    case ErrorKind::SlotWithoutSong: return QStringLiteral("%1没有歌曲").arg(Song(e));
    case ErrorKind::UnsafeSongName: return QStringLiteral("%1歌曲的歌名不能用作文件名").arg(Song(e));
    case ErrorKind::EmptySong: return QStringLiteral("%1歌曲没有内容").arg(Song(e));
    case ErrorKind::AlbumChanged: return QStringLiteral("专辑文件在播放中被改写了，请重新打开专辑");
    case ErrorKind::DestinationIsAlbum: return QStringLiteral("这就是专辑文件本身，%1歌曲不能写在它上面").arg(Song(e));
    case ErrorKind::NoLibraryResource: return QStringLiteral("程序里没有音频库");
    case ErrorKind::LibraryMissing: return QStringLiteral("BASS.DLL does not exists");
    case ErrorKind::LibraryWrongVersion: return QStringLiteral("BASS version 2.2 was not loaded");
    case ErrorKind::SoundInitFailed:
      return QStringLiteral("Can't initialize digital sound system\r\n(error code: %1)").arg(e.code);
    case ErrorKind::NoSuchRow: return QStringLiteral("播放列表没有第%1行").arg(e.code);
    case ErrorKind::TooManyRows: return QStringLiteral("播放列表最多只能有 32767 行");
    case ErrorKind::PlayTimeOverflow: return QStringLiteral("播放列表的总时间太长");
  }
  return QStringLiteral("未知错误");
}

Framing BuildFailure() { return {QStringLiteral("打包失败"), QStringLiteral("专辑没有做成：")}; }

Framing MissingPage() { return {QCoreApplication::applicationName(), QStringLiteral("找不到说明页：")}; }

Framing UnusableChoice() { return {QCoreApplication::applicationName(), QStringLiteral("选择的文件不能用：")}; }

Message StopBuildQuestion() {
  return {QStringLiteral("专辑正在打包。要停止打包并退出程序吗？\n停止后，做了一半的专辑文件会被删除。"),
          QCoreApplication::applicationName(), Icon::Question};
}

Message NoOpenerFor(const QString& page) {
  return {QStringLiteral("没有可以打开说明页的程序。说明页在：\n%1").arg(page), QCoreApplication::applicationName(),
          Icon::Information};
}

Message MessageFor(const platform::Error& error, const Framing& framing) {
  const QString text = ErrorText(error);
  switch (error.kind) {
    case ErrorKind::AlreadyRunning: return {text, QStringLiteral("错误！"), Icon::Critical};
    case ErrorKind::NoAlbumName: return {text, QStringLiteral("无专辑名"), Icon::Exclamation};
    case ErrorKind::NoDescription: return {text, QStringLiteral("无专辑说明"), Icon::Exclamation};
    case ErrorKind::LibraryMissing: return {text, QStringLiteral("BASS.DLL"), Icon::Critical};
    case ErrorKind::LibraryWrongVersion: return {text, QStringLiteral("Incorrect BASS.DLL"), Icon::Critical};
    case ErrorKind::SoundInitFailed: return {text, QStringLiteral("Error"), Icon::Exclamation};
    case ErrorKind::NotMpegAudio:
      return {QStringLiteral("%1\n%2").arg(ToQString(std::filesystem::path(error.file)), text),
              QStringLiteral("错误！"), Icon::Exclamation};
    default: break;
  }
  QStringList lines;
  if (!framing.heading.isEmpty()) lines << framing.heading;
  if (!error.file.empty()) lines << ToQString(std::filesystem::path(error.file));
  lines << text;
  return {lines.join(u'\n'), framing.title.isEmpty() ? QStringLiteral("错误") : framing.title, Icon::Exclamation};
}

void ShowError(QWidget* parent, const platform::Error& error, const Framing& framing) {
  ShowMessage(parent, MessageFor(error, framing));
}

}  // namespace ui
