#include "player/spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/twips.h"

namespace player {
namespace {

constexpr double kTwips = platform::kTwipsPerPixel;

// The pixels a rectangle given by two corners in twips covers in part.
// The part of it inside a box of `width` x `height` pixels; empty when none is.
SpectrumRect CoveredPixels(double x1, double y1, double x2, double y2, int width, int height) {
  const int left = std::max(0, static_cast<int>(std::floor(std::min(x1, x2) / kTwips)));
  const int right = std::min(width, static_cast<int>(std::ceil(std::max(x1, x2) / kTwips)));
  const int top = std::max(0, static_cast<int>(std::floor(std::min(y1, y2) / kTwips)));
  const int bottom = std::min(height, static_cast<int>(std::ceil(std::max(y1, y2) / kTwips)));
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

// Fills `rect`, in logical pixels, with `colour`.
void Fill(platform::Pixels& box, const SpectrumRect& rect, std::uint32_t colour) {
  const double ratio = box.pixelRatio;
  const int left = static_cast<int>(std::lround(rect.x * ratio));
  const int right = std::min(box.width, static_cast<int>(std::lround((rect.x + rect.width) * ratio)));
  const int top = static_cast<int>(std::lround(rect.y * ratio));
  const int bottom = std::min(box.height, static_cast<int>(std::lround((rect.y + rect.height) * ratio)));
  for (int y = top; y < bottom; ++y)
    std::fill(box.argb.begin() + std::ptrdiff_t(y) * box.width + left,
              box.argb.begin() + std::ptrdiff_t(y) * box.width + right, colour);
}

}  // namespace

DWORD SpectrumRequestBytes(std::string_view mode) {
  return mode == "Mono" ? 511 : 1024;
}

void RequestSpectrumSamples(const BassApi& api, Cbass_time& bassTime, DWORD channel,
                            SpectrumSamples& samples) {
  samples.fill(0);
  const DWORD bytes = SpectrumRequestBytes(bassTime.GetMode(channel));
  api.BASS_ChannelGetData(channel, samples.data(), bytes);  // -1 on failure: the buffer stays 0
}

BarHeights SpectrumBarHeights(const SpectrumSamples& samples) {
  BarHeights heights{};
  for (int i = 0; i < kSpectrumBars; ++i)
    heights[i] = static_cast<std::int32_t>(std::nearbyint(samples[10 * i] / 65535.0));
  return heights;
}

SpectrumBar SpectrumBarRect(int bar, std::int32_t height, int boxWidth, int boxHeight) {
  const double width = boxWidth * kTwips;
  const double h = boxHeight * kTwips;
  const double w = std::floor(width / kSpectrumBars);
  const double left = w * bar + 20;
  const double right = w * bar + w - 30;
  return {CoveredPixels(left, h, right, h - 10, boxWidth, boxHeight),
          CoveredPixels(left, h, right, h - height / 52.0, boxWidth, boxHeight)};
}

void DrawSpectrum(platform::Pixels& box, const platform::Pixels& background, const BarHeights& heights) {
  box.argb.resize(std::size_t(std::max(0, box.width)) * std::max(0, box.height));
  // Sizes in logical pixels: a box or background of a denser screen is painted in the same
  // places, with finer pixels.
  const double scale = background.pixelRatio / box.pixelRatio;
  for (int y = 0; y < box.height; ++y) {
    std::uint32_t* row = box.argb.data() + std::ptrdiff_t(y) * box.width;
    const int from = static_cast<int>(y * scale);
    if (from >= background.height) {
      std::fill(row, row + box.width, 0xFF000000u);
      continue;
    }
    const std::uint32_t* source = background.argb.data() + std::ptrdiff_t(from) * background.width;
    if (scale == 1.0) {
      const int shown = std::min(box.width, background.width);
      std::copy(source, source + shown, row);
      std::fill(row + shown, row + box.width, 0xFF000000u);
      continue;
    }
    for (int x = 0; x < box.width; ++x) {
      const int column = static_cast<int>(x * scale);
      row[x] = column < background.width ? source[column] | 0xFF000000u : 0xFF000000u;
    }
  }
  const int width = static_cast<int>(box.width / box.pixelRatio);
  const int height = static_cast<int>(box.height / box.pixelRatio);
  for (int i = 0; i < kSpectrumBars; ++i) {
    const SpectrumBar rects = SpectrumBarRect(i, heights[i], width, height);
    Fill(box, rects.foot, kBarColour);
    Fill(box, rects.bar, kBarColour);
  }
}

std::string CpuCaption(float load) {
  // Held to a range whose hundredths fit a long long; the library reports a percentage.
  const double value = std::isfinite(load) ? std::clamp(static_cast<double>(load), -1e12, 1e12) : 0.0;
  const long long hundredths = std::llround(value * 100);  // halves away from zero, as "0.00" does
  const unsigned long long magnitude = hundredths < 0 ? -hundredths : hundredths;
  char text[48];
  std::snprintf(text, sizeof text, "CPU %% %s%llu.%02llu", hundredths < 0 ? "-" : "", magnitude / 100,
                magnitude % 100);
  return text;
}

}  // namespace player
