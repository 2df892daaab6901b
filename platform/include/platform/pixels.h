#pragma once
// A picture as plain data, for the code below the windows that hands pictures to a front end
// (the playlist's skin) without depending on its toolkit.

#include <cstdint>
#include <vector>

namespace platform {

struct Pixels {
  int width = 0;  // in device pixels
  int height = 0;
  // Row after row from the top, each pixel 0xAARRGGBB (not premultiplied); width * height of them.
  std::vector<std::uint32_t> argb;
  // Device pixels per logical pixel: 2 for a picture drawn at twice the size for a dense screen.
  // Whoever cuts pieces out of the picture counts in logical pixels.
  double pixelRatio = 1.0;

  bool empty() const { return width <= 0 || height <= 0; }
};

}  // namespace platform
