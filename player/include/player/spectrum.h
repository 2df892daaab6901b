#pragma once
// The bar display in the box PicSpectrum1 and the processor-load label lblCPU. The bars are
// not a frequency analysis: each is one raw sample word of the stream, so they jump with the
// waveform. Reading the samples, the bar heights and the drawing are separate steps, so the
// player can keep reading while its window is hidden and draw only when it can be seen.
//
// Only the user-interface thread calls these.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/pixels.h"
#include "player/bass_loader.h"
#include "player/cbass_time.h"

namespace player {

inline constexpr int kSpectrumBars = 30;

// The sample buffer of one drawing: the library fills only as many words as it delivers, the
// rest stay 0. The player keeps one and reuses it every tick.
using SpectrumSamples = std::array<std::int32_t, 1025>;
using BarHeights = std::array<std::int32_t, kSpectrumBars>;

inline constexpr std::uint32_t kBarColour = 0xFF9BFBFB;  // 0xAARRGGBB

// Bytes of sample data to ask for: 511 for a "Mono" stream (Cbass_time::GetMode), else 1024.
DWORD SpectrumRequestBytes(std::string_view mode);

// Sets `samples` to 0 and asks the library for the current sample data of `channel` (no FFT).
// A failed request, as for channel 0, leaves every word 0.
void RequestSpectrumSamples(const BassApi& api, Cbass_time& bassTime, DWORD channel,
                            SpectrumSamples& samples);

// Bar i is the word at index 10 x i divided by 65535, rounded to the nearest integer with
// halves to even. For 16-bit stereo data that is about the right channel's sample, -32768 to
// 32767; 0 or less shows the foot alone.
BarHeights SpectrumBarHeights(const SpectrumSamples& samples);

// Where bar i and its foot are filled in a box of `box` pixels, clipped to it (empty when
// nothing shows). The layout is in twips, 15 to a pixel, origin top-left: with pitch
// w = box width in twips / 30 (rounded down) and H = box height in twips, the foot spans
// (w i + 20, H) to (w i + w - 30, H - 10) and the bar (w i + 20, H) to
// (w i + w - 30, H - height / 52). A pixel is filled when the twip rectangle covers part of it.
struct SpectrumRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const SpectrumRect&) const = default;
};
struct SpectrumBar {
  SpectrumRect foot;
  SpectrumRect bar;
};
SpectrumBar SpectrumBarRect(int bar, std::int32_t height, int boxWidth, int boxHeight);

// Paints the whole box into `box` (the box's size): `background` from the top-left corner
// (what lies beyond it is black), then every foot and bar in kBarColour. Places are logical
// pixels: `box` and `background` may be of any pixel ratio, and a background of another ratio
// than the box's is taken by its nearest pixel.
void DrawSpectrum(platform::Pixels& box, const platform::Pixels& background, const BarHeights& heights);

// lblCPU: "CPU % " + the library's processor load with at least one integer digit and
// exactly two decimals (1.5 gives "CPU % 1.50"). A load that is not a number shows as 0.
std::string CpuCaption(float load);

}  // namespace player
