// What the lyrics and the bar display cost: parsing a 10 MB lyrics file against only decoding
// its bytes, and one bar-display tick (sample request, heights, drawing) against only copying
// the box's background, both measured in the same run. Also the lyric step per tick.
#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "platform/file.h"
#include "player/lyrics.h"
#include "player/spectrum.h"
#include "playlist/qt_pictures.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double MicrosecondsPerRun(int runs, F&& f) {
  const auto start = Clock::now();
  for (int i = 0; i < runs; ++i) f(i);
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / runs;
}

BOOL Info(DWORD, BASS_CHANNELINFO* info) {
  *info = {44100, 2, 0, 0, 0};
  return TRUE;
}

DWORD Data(DWORD, void* buffer, DWORD length) {
  static std::int32_t words[1024];
  for (int i = 0; i < 1024; ++i) words[i] = (i * 7919 % 65536 - 32768) << 16;
  std::memcpy(buffer, words, length);
  return length;
}

void Report(const char* what, double us, double referenceUs) {
  std::printf("%-44s %10.2f us   %6.2fx the reference (%.2f us)\n", what, us, us / referenceUs, referenceUs);
}

}  // namespace

int main() {
  std::string file;
  for (int i = 0; file.size() < (10u << 20); ++i) {
    char line[80];
    std::snprintf(line, sizeof line, "[%02d:%02d.%02d]\xB8\xE8\xB4\xCA line %d, with words\r\n",
                  i / 6000 % 100, i / 100 % 60, i % 100, i);
    file += line;
  }
  std::size_t sink = 0;
  const double decode = MicrosecondsPerRun(5, [&](int) { sink += platform::FromAnsi(file).size(); });
  const double parse =
      MicrosecondsPerRun(5, [&](int) { sink += player::ParseLyrics(platform::AsBytes(file)).lines.size(); });
  Report("parse 10 MB of lyrics (ref: decode only)", parse, decode);

  player::BassApi api;
  api.BASS_ChannelGetInfo = Info;
  api.BASS_ChannelGetData = Data;
  player::Cbass_time bassTime(api);
  const platform::Pixels background =
      playlist::ToPixels(QImage(SONVIRA_SOURCE_DIR "/assets/player_PicSpectrum1_background.png")
                             .convertToFormat(QImage::Format_RGB32));
  platform::Pixels box{141, 45, {}, 1.0};
  player::SpectrumSamples samples;
  const double copy = MicrosecondsPerRun(2000, [&](int) { player::DrawSpectrum(box, background, {}); });
  const double tick = MicrosecondsPerRun(2000, [&](int) {
    player::RequestSpectrumSamples(api, bassTime, 1, samples);
    player::DrawSpectrum(box, background, player::SpectrumBarHeights(samples));
  });
  Report("bar tick, every 150 ms (ref: feet only)", tick, copy);

  player::LyricState state;
  state.lyricLines = player::ParseLyrics(platform::AsBytes(file));
  const double step =
      MicrosecondsPerRun(1'000'000, [&](int i) { sink += player::LyricStep(state, i * 0.025).has_value(); });
  std::printf("%-44s %10.3f us\n", "lyric step, every 25 ms", step);
  std::printf("(%zu)\n", sink);
}
