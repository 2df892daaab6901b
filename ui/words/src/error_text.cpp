#include "words/error_text.h"

namespace words {
namespace {

using platform::ErrorKind;
using platform::Operation;
using std::to_string;

std::string Doing(Operation operation) {
  switch (operation) {
    case Operation::None: return {};
    case Operation::OpenForReading: return "打开文件读取";
    case Operation::OpenForWriting: return "打开文件写入";
    case Operation::Read: return "读取文件";
    case Operation::Write: return "写入文件";
    case Operation::Create: return "创建文件";
    case Operation::ReadSize: return "读取文件大小";
    case Operation::Truncate: return "截短文件";
    case Operation::MakeExecutable: return "把文件设为可执行";
    case Operation::CreateFolder: return "创建文件夹";
    case Operation::OpenFolder: return "打开文件夹";
    case Operation::MakeFolderPrivate: return "把文件夹设为私有";
    case Operation::OpenLockFile: return "打开锁文件";
    case Operation::LockLockFile: return "锁定锁文件";
  }
  return {};
}

// "无法写入文件：磁盘已满", or only the reason when nothing was being done.
std::string Refused(const platform::Error& e, const std::string& reason) {
  const std::string doing = Doing(e.operation);
  return doing.empty() ? reason : "无法" + doing + "：" + reason;
}

std::string Song(const platform::Error& e) { return "第" + to_string(e.slot) + "首"; }

}  // namespace

std::string ErrorText(const platform::Error& e, std::string_view program) {
  switch (e.kind) {
    case ErrorKind::NotFound: return Refused(e, "文件或文件夹不存在");
    case ErrorKind::Unreadable:
    case ErrorKind::Unwritable: return Refused(e, "没有权限");
    case ErrorKind::ReadOnly: return Refused(e, "文件夹是只读的");
    case ErrorKind::DiskFull: return Refused(e, "磁盘已满");
    case ErrorKind::IsFolder: return Refused(e, "这是一个文件夹");
    case ErrorKind::NameTooLong: return Refused(e, "名称太长");
    case ErrorKind::FileTooLarge: return Refused(e, "文件太大");
    case ErrorKind::SystemError: return Refused(e, "系统错误（错误代码：" + to_string(e.code) + "）");
    case ErrorKind::Truncated: return "文件比预期的短（是否在使用中被修改了？）";
    case ErrorKind::NotPrivate: return "这不是本用户的私有文件夹";
    case ErrorKind::NoHomeFolder: return "找不到存放私有文件的文件夹：没有设置 HOME";
    case ErrorKind::NotRegularFile: return "这不是普通文件（是管道、设备之类），不能读取";
    case ErrorKind::AlreadyRunning: return "对不起" + std::string(program) + "已在运行中, 不得重复加载!!";
    case ErrorKind::NoAlbumName: return "请先给你制作的专辑取个名字吧！";
    case ErrorKind::NoDescription: return "请为你制作的专辑写个说明吧！";
    case ErrorKind::AlbumNameNotText: return "专辑名称不是有效的文字";
    case ErrorKind::AlbumNameHasSlash: return "专辑名称不能包含“/”或“\\”";
    case ErrorKind::AlbumNameHasControl: return "专辑名称不能包含控制字符";
    case ErrorKind::AlbumNameTooLong: return "专辑名称太长，不能用作文件名";
    case ErrorKind::DescriptionNotText: return "专辑说明不是有效的文字";
    case ErrorKind::DescriptionTooLarge: return "专辑说明太长：存入专辑后会超过 16,777,216 字节，播放器读不了";
    case ErrorKind::SongNameTooShort: return Song(e) + "歌曲的文件名太短，得不出歌名";
    case ErrorKind::SongNameUnusable: return Song(e) + "歌曲的文件名得不出可用的歌名";
    case ErrorKind::SongNameHasLineBreak: return Song(e) + "歌曲的文件名含有换行符";
    case ErrorKind::SongNameHasControl: return Song(e) + "歌曲的文件名含有控制字符";
    case ErrorKind::SongNameNotText: return Song(e) + "歌曲的文件名不是有效的文字";
    case ErrorKind::NotMpegAudio: return "这不是音乐文件（找不到音频帧），放进专辑也播放不了";
    case ErrorKind::FolderInTheWay: return "已有同名的文件夹";
    case ErrorKind::AlbumOverwritesSource: return "专辑会覆盖它自己的歌曲或歌词文件";
    case ErrorKind::AlbumTooLarge: return "专辑会超过 2,147,483,647 字节";
    case ErrorKind::IndexMismatch: return "专辑文件的结尾与它的索引不符";
    case ErrorKind::BuildStopped: return "打包已被停止";
    case ErrorKind::NotAnAlbum: return "这不是完整有效的专辑文件";
    case ErrorKind::NoSuchSlot: return "没有" + Song(e) + "歌曲";
    case ErrorKind::SlotWithoutSong: return Song(e) + "没有歌曲";
    case ErrorKind::UnsafeSongName: return Song(e) + "歌曲的歌名不能用作文件名";
    case ErrorKind::EmptySong: return Song(e) + "歌曲没有内容";
    case ErrorKind::AlbumChanged: return "专辑文件在播放中被改写了，请重新打开专辑";
    case ErrorKind::DestinationIsAlbum: return "这就是专辑文件本身，" + Song(e) + "歌曲不能写在它上面";
    case ErrorKind::NoLibraryResource: return "程序里没有音频库";
    case ErrorKind::LibraryMissing: return "BASS.DLL does not exists";
    case ErrorKind::LibraryWrongVersion: return "BASS version 2.2 was not loaded";
    case ErrorKind::SoundInitFailed:
      return "Can't initialize digital sound system\r\n(error code: " + to_string(e.code) + ")";
    case ErrorKind::NoSuchRow: return "播放列表没有第" + to_string(e.code) + "行";
    case ErrorKind::TooManyRows: return "播放列表最多只能有 32767 行";
    case ErrorKind::PlayTimeOverflow: return "播放列表的总时间太长";
  }
  return "未知错误";
}

Framing BuildFailure() { return {"打包失败", "专辑没有做成："}; }

Framing MissingPage(std::string_view program) { return {std::string(program), "找不到说明页："}; }

Framing UnusableChoice(std::string_view program) { return {std::string(program), "选择的文件不能用："}; }

Box StopBuildQuestion(std::string_view program) {
  return {"专辑正在打包。要停止打包并退出程序吗？\n停止后，做了一半的专辑文件会被删除。", std::string(program),
          Icon::Question};
}

Box NoOpenerFor(std::string_view program, std::string_view page) {
  return {"没有可以打开说明页的程序。说明页在：\n" + std::string(page), std::string(program), Icon::Information};
}

Box BoxFor(const platform::Error& error, std::string_view program, const Framing& framing) {
  std::string text = ErrorText(error, program);
  switch (error.kind) {
    case ErrorKind::AlreadyRunning: return {text, "错误！", Icon::Critical};
    case ErrorKind::NoAlbumName: return {text, "无专辑名", Icon::Exclamation};
    case ErrorKind::NoDescription: return {text, "无专辑说明", Icon::Exclamation};
    case ErrorKind::LibraryMissing: return {text, "BASS.DLL", Icon::Critical};
    case ErrorKind::LibraryWrongVersion: return {text, "Incorrect BASS.DLL", Icon::Critical};
    case ErrorKind::SoundInitFailed: return {text, "Error", Icon::Exclamation};
    case ErrorKind::NotMpegAudio: return {error.file + "\n" + text, "错误！", Icon::Exclamation};
    default: break;
  }
  std::string lines;
  for (const std::string& line : {framing.heading, error.file, text}) {
    if (line.empty()) continue;
    if (!lines.empty()) lines += '\n';
    lines += line;
  }
  return {std::move(lines), framing.title.empty() ? "错误" : framing.title, Icon::Exclamation};
}

}  // namespace words
