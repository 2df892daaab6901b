// The bar display from known sample data, checked on the drawn box, and the load label.
#include "player/spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// The stand-in library: a stream of `chans` channels whose sample data is one word repeated.
struct Stream {
  DWORD chans = 2;
  std::int32_t word = 0;
  DWORD requested = 0;
} stream;

BOOL BASS_CALL Info(DWORD handle, BASS_CHANNELINFO* info) {
  if (handle == 0) return FALSE;
  *info = {44100, stream.chans, 0, 0, 0};
  return TRUE;
}

DWORD BASS_CALL Data(DWORD handle, void* buffer, DWORD length) {
  stream.requested = length;
  if (handle == 0) return static_cast<DWORD>(-1);
  std::vector<std::int32_t> words(1024, stream.word);
  std::memcpy(buffer, words.data(), length);
  return length;
}

// A background of the box's size whose every pixel differs from its neighbours and from the bars.
const platform::Pixels& Background() {
  static const platform::Pixels pixels = [] {
    platform::Pixels p{141, 45, {}, 1.0};
    for (int i = 0; i < p.width * p.height; ++i)
      p.argb.push_back(0xFF000000u | std::uint32_t(i * 2654435761u >> 8));
    return p;
  }();
  return pixels;
}

std::uint32_t Pixel(const platform::Pixels& p, int x, int y) {
  return p.argb[std::size_t(y) * p.width + x];
}

// The painted height in pixels of each bar, read off the drawn box: runs of bar-coloured
// columns from left to right, each measured by its bar-coloured pixels.
std::vector<int> PaintedBars(const platform::Pixels& box) {
  std::vector<int> bars;
  bool inBar = false;
  for (int x = 0; x < box.width; ++x) {
    int painted = 0;
    for (int y = 0; y < box.height; ++y) painted += Pixel(box, x, y) == player::kBarColour;
    if (painted > 0 && !inBar) bars.push_back(painted);
    if (painted > 0) {
      EXPECT_EQ(painted, bars.back()) << "column " << x;
    }
    inBar = painted > 0;
  }
  return bars;
}

struct BarCase {
  const char* what;
  DWORD channel;
  DWORD chans;
  std::int32_t word;
  DWORD expectedRequest;
  int tallBars;  // bars 0 .. tallBars - 1 reach `tallPixels`, the rest show the foot alone
  int tallPixels;
};

TEST(Spectrum, BarsFollowTheSampleWordsOnTheDrawnBox) {
  player::BassApi api;
  api.BASS_ChannelGetInfo = Info;
  api.BASS_ChannelGetData = Data;
  player::Cbass_time bassTime(api);

  const BarCase cases[] = {
      {"silence shows the feet alone", 7, 2, 0, 1024, 0, 1},
      // 1024 bytes of stereo fill words 0 to 255, so bars 26 to 29 never rise.
      {"full scale rises about 630 twips", 7, 2, 0x7FFF7FFF, 1024, 26, 43},
      {"a right sample of 15600 rises 300 twips", 7, 2, 15600 << 16, 1024, 26, 20},
      {"a negative sample shows the foot alone", 7, 2, std::numeric_limits<std::int32_t>::min(), 1024, 0, 1},
      {"without a stream every bar shows its foot alone", 0, 2, 0x7FFF7FFF, 1024, 0, 1},
      {"mono asks for 511 bytes, so bars 13 to 29 show their foot alone", 7, 1, 0x7FFF7FFF, 511, 13, 43},
  };
  player::SpectrumSamples samples;
  samples.fill(-1);  // what the last drawing left
  platform::Pixels box{141, 45, {}, 1.0};
  for (const BarCase& c : cases) {
    stream = {c.chans, c.word, 0};
    player::RequestSpectrumSamples(api, bassTime, c.channel, samples);
    EXPECT_EQ(stream.requested, c.expectedRequest) << c.what;
    player::DrawSpectrum(box, Background(), player::SpectrumBarHeights(samples));

    std::vector<int> expected(player::kSpectrumBars, 1);
    for (int i = 0; i < c.tallBars; ++i) expected[i] = c.tallPixels;
    EXPECT_EQ(PaintedBars(box), expected) << c.what;
    // The feet sit on the bottom row; everything beside the bars is the background.
    for (int y = 0; y < box.height; ++y)
      for (int x = 0; x < box.width; ++x)
        if (Pixel(box, x, y) != player::kBarColour) {
          ASSERT_EQ(Pixel(box, x, y), Pixel(Background(), x, y)) << c.what;
        }
    EXPECT_EQ(Pixel(box, 1, 44), player::kBarColour) << c.what;
  }
}

TEST(Spectrum, LoadLabelShowsTwoDecimals) {
  const std::pair<float, const char*> cases[] = {
      {1.5f, "CPU % 1.50"},   {0.0f, "CPU % 0.00"},     {0.125f, "CPU % 0.13"},
      {0.004f, "CPU % 0.00"}, {100.0f, "CPU % 100.00"}, {std::nanf(""), "CPU % 0.00"},
  };
  for (const auto& [load, caption] : cases) EXPECT_EQ(player::CpuCaption(load), caption) << load;
}

}  // namespace
