#include "words.h"

#include "ui/error_text.h"
#include "ui/paths.h"

namespace player {

Message StartupFailedMessage(const platform::Error& error) {
  return ui::MessageFor(error, {QStringLiteral("错误！"), QStringLiteral("无法播放这张专辑：")});
}

Message LibraryNotWrittenMessage(const platform::Error& error) {
  Message message =
      ui::MessageFor(error, {QStringLiteral("错误！"), QStringLiteral("音频库 bass.dll 无法写出：")});
  message.icon = Icon::Critical;
  return message;
}

Message LoadErrorMessage(const std::string& albumFolder) {
  return {QStringLiteral("There was an error when trying to load settings from ") +
              ui::FromUtf8(albumFolder) + QStringLiteral("set.ini. "),
          QStringLiteral("Load Error"), Icon::Exclamation};
}

Message LibraryErrorMessage(const std::string& what, int code) {
  return {ui::FromUtf8(what) + QStringLiteral("\r\n(error code: %1)").arg(code), QStringLiteral("Error"),
          Icon::Exclamation};
}

Message UnpackFailedMessage(const platform::Error& error) {
  return ui::MessageFor(
      error, {QStringLiteral("警告"), QStringLiteral("第%1首歌曲无法解出，已跳过：").arg(error.slot)});
}

Message ExportFailedMessage(const platform::Error& error) {
  return ui::MessageFor(error, {QStringLiteral("释出失败"), QStringLiteral("这首歌曲没有释出：")});
}

}  // namespace player
