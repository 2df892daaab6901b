#include "words.h"

#include "ui/error_text.h"
#include "ui/paths.h"

namespace player {

Message MessageFor(const Notice& notice) {
  const platform::Error& error = notice.error;
  switch (notice.kind) {
    case NoticeKind::StartupRefused:
      return ui::MessageFor(error, {QStringLiteral("错误！"), QStringLiteral("无法播放这张专辑：")});
    case NoticeKind::LibraryNotWritten: {
      Message message =
          ui::MessageFor(error, {QStringLiteral("错误！"), QStringLiteral("音频库 bass.dll 无法写出：")});
      message.icon = Icon::Critical;
      return message;
    }
    case NoticeKind::NoSettings:
      return {QStringLiteral("There was an error when trying to load settings from ") +
                  ui::FromUtf8(notice.folder) + QStringLiteral("set.ini. "),
              QStringLiteral("Load Error"), Icon::Exclamation};
    case NoticeKind::StreamNotOpened:
    case NoticeKind::StreamNotStarted: {
      const QString what = notice.kind == NoticeKind::StreamNotOpened ? QStringLiteral("Can't open stream")
                                                                      : QStringLiteral("Can't play stream");
      return {what + QStringLiteral("\r\n(error code: %1)").arg(notice.code), QStringLiteral("Error"),
              Icon::Exclamation};
    }
    case NoticeKind::SongNotUnpacked:
      return ui::MessageFor(
          error, {QStringLiteral("警告"), QStringLiteral("第%1首歌曲无法解出，已跳过：").arg(error.slot)});
    case NoticeKind::ExportFailed:
      return ui::MessageFor(error, {QStringLiteral("释出失败"), QStringLiteral("这首歌曲没有释出：")});
  }
  return {};
}

}  // namespace player
