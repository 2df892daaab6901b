#include "words.h"

namespace player {

std::string Reason(const platform::Error& error) {
  switch (error.kind) {
    case platform::ErrorKind::NotFound:
      return "找不到该文件或文件夹";
    case platform::ErrorKind::Unreadable:
      return "无法读取该文件";
    case platform::ErrorKind::Unwritable:
      return "无法写入（文件夹只读或没有权限）";
    case platform::ErrorKind::DiskFull:
      return "磁盘空间不足";
    case platform::ErrorKind::BadName:
      return "文件名无效";
    case platform::ErrorKind::TooLarge:
      return "文件太大";
    case platform::ErrorKind::BadFormat:
      return "不是有效的专辑文件（文件可能已损坏或不完整）";
    case platform::ErrorKind::AlreadyRunning:
      return "程序已在运行中";
    case platform::ErrorKind::Other:
      break;
  }
  return "发生未知错误";
}

namespace {

std::string Named(const std::string& file) {
  return file.empty() ? std::string() : "“" + file + "”";
}

}  // namespace

Message AlreadyRunningMessage() {
  return {"对不起Sonvira已在运行中, 不得重复加载!!", "错误！", Icon::Critical};
}

Message PrivateFolderMessage(const platform::Error& error) {
  return {"无法使用私有文件夹" + Named(error.file) + "：" + Reason(error), "错误！", Icon::Critical};
}

Message NotAnAlbumMessage(const std::filesystem::path& album, const platform::Error& error) {
  return {"无法播放专辑" + Named(album.string()) + "：" + Reason(error), "错误！", Icon::Critical};
}

Message LoadErrorMessage(const std::string& albumFolder) {
  return {"There was an error when trying to load settings from " + albumFolder + "set.ini. ", "Load Error",
          Icon::Exclamation};
}

Message LibraryMessage(const BassLoadResult& failed) {
  const StartupMessage& m = failed.message;
  return {m.text, m.title, m.icon == MessageIcon::Critical ? Icon::Critical : Icon::Exclamation};
}

Message LibraryErrorMessage(const std::string& what, int code) {
  return {what + "\r\n(error code: " + std::to_string(code) + ")", "Error", Icon::Exclamation};
}

Message UnpackFailedMessage(int slot, const std::string& title, const platform::Error& error) {
  return {"第" + std::to_string(slot) + "首歌曲“" + title + "”无法解出，已跳过。\n" + Named(error.file) +
              "：" + Reason(error),
          "警告", Icon::Warning};
}

Message ExportFailedMessage(const platform::Error& error) {
  return {"无法释出文件" + Named(error.file) + "：" + Reason(error), "释出失败", Icon::Warning};
}

}  // namespace player
