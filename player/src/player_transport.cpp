// Playback: OpenAndPlay, the next song and the song buttons, the timers' work, the export.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/path_text.h"
#include "player/player_session.h"

namespace fs = std::filesystem;

namespace player {
namespace {

constexpr std::uint32_t kGreen = 0x00FF00;
constexpr int kTicksBetweenTries = 40;  // tmrBass ticks: one second
// The audio library makes its load figure again at each whole half second of the steady
// clock, and at no other moment. (Another library's figure is then shown up to that late.)
constexpr auto kLoadFigurePeriod = std::chrono::milliseconds(500);
constexpr std::uint32_t kWhite = 0xFFFFFF;

// The library's failure value (-1) for no stream reads as no time at all.
std::string Clock(float seconds) {
  if (!(seconds >= 0)) return Cbass_time::GetTime(0);
  return Cbass_time::GetTime(static_cast<std::int32_t>(std::nearbyint(seconds)));  // halves to even
}

std::string Seconds(float seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(seconds));
  return text;
}

}  // namespace

void PlayerSession::SelectAndPlay(std::int16_t index) {
  playlist::stdSS& list = *setup_.playlist;
  if (platform::Status s = list.SelectIndex(index); !s) {
    Log("no playlist entry " + std::to_string(index));
    return;
  }
  if (platform::Status s = list.GetData(list.Selected); !s) return;
  currentSongPath_ = SongPath(list.gFileName, ".mp3");
  currentTitle_ = list.gTitle;
  currentSlot_ = std::atoi(list.gFileName.c_str());
  face_.songtitle = "[" + currentTitle_ + "]";
  Log("label songtitle = " + face_.songtitle);
  for (int n = 1; n <= 10; ++n) face_.Label1[n].colour = kWhite;
  if (index >= 1 && index <= 10) face_.Label1[index].colour = kGreen;
  OpenAndPlay(currentSongPath_);
}

void PlayerSession::PlayNextSong() {
  if (setup_.playlist == nullptr || setup_.playlist->ListCount <= 0) return;
  const playlist::stdSS& list = *setup_.playlist;
  std::int16_t next = list.Selected == list.ListCount ? 1 : static_cast<std::int16_t>(list.Selected + 1);
  SelectAndPlay(next);
}

NowPlaying PlayerSession::nowPlaying() const {
  NowPlaying now;
  now.playing = api_ != nullptr && channel_ != 0 && !currentFailed_;
  now.slot = currentSlot_;
  now.title = currentTitle_;
  if (image_) now.album = image_->AlbumName();
  if (now.playing) now.length = std::max(0.0f, bassTime_->GetDuration(channel_));
  now.songCount = songCount_;
  return now;
}

double PlayerSession::playingPosition() const {
  if (api_ == nullptr || channel_ == 0 || currentFailed_) return 0;
  return std::max(0.0f, bassTime_->GetPlayingPos(channel_));
}

void PlayerSession::SongButtonClick(int n) {
  if (n < 1 || n > songCount_) return;
  reported_.erase(static_cast<std::int16_t>(n));
  SelectAndPlay(static_cast<std::int16_t>(n));
}

bool PlayerSession::SongButtonDown(int n, int button) {
  if (n < 1 || n > songCount_ || setup_.playlist == nullptr) return false;
  if (platform::Status s = setup_.playlist->GetData(static_cast<std::int16_t>(n)); !s) return false;
  exportSlot_ = std::atoi(setup_.playlist->gFileName.c_str());
  return button == 2;
}

void PlayerSession::OpenAndPlay(const fs::path& path) {
  if (api_ == nullptr) return;
  const DWORD early = std::exchange(earlyChannel_, 0);
  // The first song's stream, started before the window was built, is this song's: it plays on.
  const bool adopted = early != 0 && firstSlot_ != 0 && path == SongPath(std::to_string(firstSlot_), ".mp3");
  if (early != 0 && !adopted) {
    api_->BASS_ChannelStop(early);
    if (api_->BASS_StreamFree != nullptr) api_->BASS_StreamFree(early);
  }
  std::optional<NoticeKind> failure;
  const std::int16_t entry = setup_.playlist != nullptr ? setup_.playlist->Selected : 0;
  if (adopted) {
    channel_ = early;
  } else {
    api_->BASS_ChannelStop(channel_);
    // The stopped song is never played again: a player that loops for days must not keep one
    // stream for every song change.
    if (channel_ != 0 && api_->BASS_StreamFree != nullptr) api_->BASS_StreamFree(channel_);
    // The library takes the file name as bytes: UTF-8 on every system (on Linux the path's
    // own bytes), never Windows' wide characters.
    const std::string file = platform::PathToUtf8(path);
    channel_ = api_->BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, 0);
    if (channel_ == 0) {
      failure = NoticeKind::StreamNotOpened;
    } else if (!api_->BASS_ChannelPlay(channel_, FALSE)) {
      failure = NoticeKind::StreamNotStarted;
    }
  }
  if (!failure) {
    failedSinceLastPlay_.clear();
    startFailures_ = 0;
    currentFailed_ = false;
    if (setup_.log)
      Log("playing " + platform::PathToUtf8(path) + ", length " + Seconds(bassTime_->GetDuration(channel_)));
    SetTimer(face_.tmrBass, true, "tmrBass");
  } else {
    Log(std::string(*failure == NoticeKind::StreamNotOpened ? "cannot open the stream of "
                                                            : "cannot start the stream of ") +
        platform::PathToUtf8(path));
    // A song that fails is reported once, not again at every round of the album (unless
    // the user picks it), and never in a box on top of another.
    if (reported_.insert(entry).second) Error_(*failure);
    currentFailed_ = true;
    // The next tick of tmrBass moves on, also after a broken first song. A file that cannot
    // be opened stays so: when every song has failed to open, the player stays silent
    // instead of trying them in a loop. A stream that would not start failed for the sound
    // output's sake (a sound server restarting), which the library opens again: the next
    // song tries again, for as long as the player runs.
    if (channel_ == 0) {
      failedSinceLastPlay_.insert(entry);
    } else {
      ++startFailures_;
    }
    const bool allFailed = static_cast<int>(failedSinceLastPlay_.size()) >= songCount_;
    if (allFailed) Log("no song of the album can be played");
    SetTimer(face_.tmrBass, !allFailed, "tmrBass");
  }
  lyrics_ = LoadLyrics(currentSongPath_);
  face_.songword = StartCaption(lyrics_, currentTitle_);
  Log("label songword = " + face_.songword);
}

void PlayerSession::Error_(NoticeKind kind) {
  Report({kind, {}, {}, api_ != nullptr ? api_->BASS_ErrorGetCode() : 0});
}

void PlayerSession::Report(const Notice& notice) {
  if (messageOpen_) {
    Log("notice waits, another is open: " + Describe(notice));
    waiting_.push_back(notice);
    return;
  }
  Log("notice " + Describe(notice));
  messageOpen_ = true;
  if (setup_.notify) setup_.notify(notice);
}

void PlayerSession::MessageClosed() {
  messageOpen_ = false;
  if (waiting_.empty()) return;
  const Notice next = waiting_.front();
  waiting_.pop_front();
  Report(next);
}

Timer1Work PlayerSession::Timer1Tick(bool bars) {
  if (api_ == nullptr) return {face_.lblTime, face_.lblTotalTime, face_.lblInfo};
  const float position = bassTime_->GetPlayingPos(channel_);
  Timer1Work work{Clock(position), Clock(bassTime_->GetDuration(channel_)),
                  std::to_string(bassTime_->GetFrequency(channel_) / 1000) + "KHz"};
  auto set = [&](std::string& caption, const std::string& text, const char* name) {
    if (caption == text) return;
    caption = text;
    Log(std::string("label ") + name + " = " + text + " at " + Seconds(position));
  };
  set(face_.lblTime, work.lblTime, "lblTime");
  set(face_.lblTotalTime, work.lblTotalTime, "lblTotalTime");
  set(face_.lblInfo, work.lblInfo, "lblInfo");
  if (bars) work.bars = Bars();
  return work;
}

BarHeights PlayerSession::Bars() {
  if (api_ == nullptr) return {};
  RequestSpectrumSamples(*api_, *bassTime_, channel_, samples_);
  return SpectrumBarHeights(samples_);
}

TmrBassWork PlayerSession::TmrBassTick(std::chrono::steady_clock::time_point now) {
  TmrBassWork work;
  if (api_ == nullptr) return work;
  // The library measures its load twice a second: the caption is made again only then.
  if (const float load = api_->BASS_GetCPU(); !(load == cpuLoad_)) {
    cpuLoad_ = load;
    face_.lblCPU = CpuCaption(load);
  }
  work.lblCPU = face_.lblCPU;
  const QWORD length = api_->BASS_ChannelGetLength(channel_);
  const QWORD position = api_->BASS_ChannelGetPosition(channel_);
  // While no song of the album would start (the sound output is away), one try a second
  // is enough.
  const bool waiting = currentFailed_ && startFailures_ >= songCount_ && ++ticksWaited_ < kTicksBetweenTries;
  if ((length == position || currentFailed_) && !waiting) {
    Log("end of song " + platform::PathToUtf8(currentSongPath_));
    ticksWaited_ = 0;
    PlayNextSong();
    work.songChanged = true;
  }
  double quietMs = 0;
  if (!work.songChanged && !currentFailed_ && length > position) {
    const float left = BytesToSeconds(*api_, channel_, static_cast<std::uint32_t>(length - position));
    if (left * 1000 < kTmrBassInterval) work.endsIn = static_cast<int>(std::ceil(left * 1000));
    // Until the tick that finds less than a period left.
    quietMs = left * 1000.0 - kTmrBassInterval;
  }
  // From here on nothing can fail: the lyric step, at the position read above unless the song
  // changed (a position query waits on the sound output's lock).
  const float seconds = work.songChanged
                            ? bassTime_->GetPlayingPos(channel_)
                            : BytesToSeconds(*api_, channel_, static_cast<std::uint32_t>(position));
  // A line that repeats the caption (the same words under two tags) changes nothing.
  if (std::optional<std::string_view> line = LyricStep(lyrics_, seconds); line && *line != face_.songword) {
    face_.songword = *line;
    work.songword = face_.songword;
    Log("label songword = " + face_.songword + " at " + Seconds(seconds));
  }
  if (lyrics_.nextLyric < lyrics_.lyricCount())
    quietMs = std::min(quietMs, lyrics_.lyricLines.lines[lyrics_.nextLyric].timeMs - seconds * 1000.0);
  const auto nextFigure = kLoadFigurePeriod - now.time_since_epoch() % kLoadFigurePeriod;
  quietMs = std::min(quietMs, std::chrono::duration<double, std::milli>(nextFigure).count());
  work.quietMs = std::max(0, static_cast<int>(quietMs));
  return work;
}

void PlayerSession::Export() {
  if (!image_ || exportSlot_ < 1) return;
  auto exported = album::ExportSlot(*image_, exportSlot_, albumFolder_);
  if (!exported) {
    Log("export of slot " + std::to_string(exportSlot_) +
        " failed: " + platform::DescribeError(exported.error()));
    Report({NoticeKind::ExportFailed, exported.error()});
    return;
  }
  Log("wrote " + platform::PathToUtf8(exported.value().song));
  if (!exported.value().lyrics.empty()) Log("wrote " + platform::PathToUtf8(exported.value().lyrics));
}

}  // namespace player
