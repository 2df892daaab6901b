#pragma once
// Twips (platform/twips.h) as Qt's rectangles and points.

#include <QPoint>
#include <QRect>

#include "platform/twips.h"

namespace ui {

using platform::kTwipsPerPixel;
using platform::Px;
using platform::Twips;

// A rectangle given in twips (left, top, width, height), in pixels.
inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

// A point given in twips, in pixels.
inline QPoint TwipsPoint(int left, int top) {
  return QPoint(Px(left), Px(top));
}

}  // namespace ui
