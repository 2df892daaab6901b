#pragma once
// The pictures of the programs are drawn by code, so that every pixel is our own and can be
// drawn again. Each picture registers its drawer from its own source file:
//
//   static const bool registered = assets::RegisterDrawer("banner.png", &DrawBanner);
//
// `draw_assets <folder>` writes every registered picture into <folder> (the committed
// copies live in assets/).
//
// A picture the windows show is drawn twice, for ordinary screens and for screens of twice the
// density: a scaled drawer paints in the plain picture's pixels on an image of `scale` times its
// size (with that device pixel ratio), and is written as "name.png" at scale 1 and as
// "name@2x.png" at scale 2, where Qt and our loader look for it.

#include <QImage>
#include <QRect>

namespace assets {

using DrawFn = QImage (*)();
using ScaledDrawFn = QImage (*)(int scale);

bool RegisterDrawer(const char* fileName, DrawFn draw);
bool RegisterScaledDrawer(const char* fileName, ScaledDrawFn draw);

// A transparent or filled image of `size` plain pixels, `scale` times as large, that paints in
// plain pixels.
QImage ScaledImage(QSize size, int scale, QImage::Format format);
// `r` in an image's own pixels at `scale`.
inline QRect Scaled(const QRect& r, int scale) {
  return QRect(r.topLeft() * scale, r.size() * scale);
}

}  // namespace assets
