#pragma once
// The windows were laid out in twips (1/1440 inch), at 15 twips to the pixel. The one
// conversion every part uses, with or without a toolkit.

namespace platform {

inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, rounded to the nearest.
constexpr int Px(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Pixels to twips.
constexpr int Twips(int pixels) {
  return pixels * kTwipsPerPixel;
}

}  // namespace platform
