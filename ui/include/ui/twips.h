#pragma once
// The windows were laid out in twips (1/1440 inch), at 15 twips to the pixel.

#include <QPoint>
#include <QRect>

namespace ui {

inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, rounded to the nearest.
constexpr int Px(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Pixels to twips.
constexpr int Twips(int pixels) {
  return pixels * kTwipsPerPixel;
}

// A rectangle given in twips (left, top, width, height), in pixels.
inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

// A point given in twips, in pixels.
inline QPoint TwipsPoint(int left, int top) {
  return QPoint(Px(left), Px(top));
}

}  // namespace ui
