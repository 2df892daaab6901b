#include "player/words.h"

#include <string>

namespace player {

words::Box BoxFor(const Notice& notice, std::string_view program) {
  const platform::Error& error = notice.error;
  switch (notice.kind) {
    case NoticeKind::StartupRefused: return words::BoxFor(error, program, {"错误！", "无法播放这张专辑："});
    case NoticeKind::LibraryNotWritten: {
      words::Box box = words::BoxFor(error, program, {"错误！", "音频库 bass.dll 无法写出："});
      box.icon = words::Icon::Critical;
      return box;
    }
    case NoticeKind::NoSettings:
      return {"There was an error when trying to load settings from " + notice.folder + "set.ini. ", "Load Error",
              words::Icon::Exclamation};
    case NoticeKind::StreamNotOpened:
    case NoticeKind::StreamNotStarted: {
      const char* what = notice.kind == NoticeKind::StreamNotOpened ? "Can't open stream" : "Can't play stream";
      return {what + std::string("\r\n(error code: ") + std::to_string(notice.code) + ")", "Error",
              words::Icon::Exclamation};
    }
    case NoticeKind::SongNotUnpacked:
      return words::BoxFor(error, program, {"警告", "第" + std::to_string(error.slot) + "首歌曲无法解出，已跳过："});
    case NoticeKind::ExportFailed: return words::BoxFor(error, program, {"释出失败", "这首歌曲没有释出："});
  }
  return {};
}

}  // namespace player
