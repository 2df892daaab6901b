#include "spectrum.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ui/twips.h"

namespace player {
namespace {

constexpr double kTwips = ui::kTwipsPerPixel;

// The pixels a rectangle given by two corners in twips covers in part.
QRect CoveredPixels(double x1, double y1, double x2, double y2) {
  const int left = static_cast<int>(std::floor(std::min(x1, x2) / kTwips));
  const int right = static_cast<int>(std::ceil(std::max(x1, x2) / kTwips));
  const int top = static_cast<int>(std::floor(std::min(y1, y2) / kTwips));
  const int bottom = static_cast<int>(std::ceil(std::max(y1, y2) / kTwips));
  if (right <= left || bottom <= top) return {};
  return QRect(left, top, right - left, bottom - top);
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

SpectrumBar SpectrumBarRect(int bar, std::int32_t height, QSize box) {
  const double width = box.width() * kTwips;
  const double h = box.height() * kTwips;
  const double w = std::floor(width / kSpectrumBars);
  const double left = w * bar + 20;
  const double right = w * bar + w - 30;
  const QRect inside(QPoint(0, 0), box);
  return {CoveredPixels(left, h, right, h - 10) & inside,
          CoveredPixels(left, h, right, h - height / 52.0) & inside};
}

void DrawSpectrum(QImage& box, const QImage& background, const BarHeights& heights) {
  // Sizes in logical pixels: a box or background of a denser screen is painted in the same
  // places, with finer pixels.
  const QSize size = box.deviceIndependentSize().toSize();
  const QSizeF shown = background.deviceIndependentSize();
  if (shown.width() < size.width() || shown.height() < size.height()) box.fill(Qt::black);
  QPainter painter(&box);
  painter.drawImage(0, 0, background);
  for (int i = 0; i < kSpectrumBars; ++i) {
    const SpectrumBar rects = SpectrumBarRect(i, heights[i], size);
    painter.fillRect(rects.foot, QColor(kBarColour));
    painter.fillRect(rects.bar, QColor(kBarColour));
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
