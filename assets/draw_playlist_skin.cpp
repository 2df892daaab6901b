// The playlist's skin picture: a 91 x 41 pixel, 24-bit image holding the scroller pieces at
// the places the player's skin values name:
//   up button 13 x 17 at (0, 0), pressed at (13, 0); down button at (0, 17), pressed at (13, 17);
//   track tile 13 x 40 at (26, 0);
//   thumb top cap 13 x 21 at (39, 0), pressed at (52, 0);
//   thumb bottom cap 13 x 20 at (39, 21), pressed at (52, 21);
//   thumb body tile 13 x 40 at (65, 0), pressed at (78, 0).
// Tiles are uniform from top to bottom so that they repeat without seams.
#include <algorithm>
#include <cmath>
#include <optional>

#include "drawers.h"
#include "playlist_skin.h"

namespace assets {
namespace {

constexpr int kPieceWidth = 13;

QColor Mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                          a.blueF() + (b.blueF() - a.blueF()) * t);
}

// The skin is pixel art: its pieces are drawn in the plain picture's pixels. On a larger image
// (`scale` device pixels to a plain one) edges and outlines stay whole plain pixels, while the
// shading and the arrows use every device pixel.
struct Canvas {
  QImage& img;
  int scale;

  // Fills the plain pixel (x, y).
  void Put(int x, int y, const QColor& c) const {
    for (int dy = 0; dy < scale; ++dy)
      for (int dx = 0; dx < scale; ++dx) img.setPixelColor(x * scale + dx, y * scale + dy, c);
  }
  // Colours each device pixel of the plain pixel (x, y) by `shade`(fx, fy), its centre in plain
  // pixels, where the plain pixel's own centre is (x, y); nullopt leaves it as it is.
  template <typename Fn>
  void Shade(int x, int y, Fn shade) const {
    for (int dy = 0; dy < scale; ++dy) {
      for (int dx = 0; dx < scale; ++dx) {
        const double fx = x + (dx + 0.5) / scale - 0.5;
        const double fy = y + (dy + 0.5) / scale - 0.5;
        if (std::optional<QColor> c = shade(fx, fy)) img.setPixelColor(x * scale + dx, y * scale + dy, *c);
      }
    }
  }
};

// Column shading of the thumb: light left edge, darker right edge, outline at both sides.
QColor ThumbColumn(const PlaylistSkinColours& k, double x, bool pressed) {
  const int column = static_cast<int>(std::lround(x));
  if (column == 0 || column == kPieceWidth - 1) return k.outline;
  if (column == 1) return k.thumbShine[pressed];
  return Mix(k.thumbLight[pressed], k.thumbDark[pressed], (x - 2) / double(kPieceWidth - 4));
}

void DrawTrackTile(const PlaylistSkinColours& k, const Canvas& img, int ox, int oy, int h) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < kPieceWidth; ++x) {
      QColor c = k.track;
      if (x == 0 || x == kPieceWidth - 1) c = k.trackEdge;
      if (x == kPieceWidth / 2) c = k.trackGroove;
      img.Put(ox + x, oy + y, c);
    }
  }
}

void DrawThumbBody(const PlaylistSkinColours& k, const Canvas& img, int ox, int oy, int h, bool pressed) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < kPieceWidth; ++x)
      img.Shade(ox + x, oy + y, [&](double fx, double) { return ThumbColumn(k, fx - ox, pressed); });
  }
}

// A cap: the body's columns with a rounded, outlined end at the top or the bottom, and grip
// lines near the thumb's middle.
void DrawThumbCap(const PlaylistSkinColours& k, const Canvas& img, int ox, int oy, int h, bool top,
                  bool pressed) {
  for (int y = 0; y < h; ++y) {
    const int fromEnd = top ? y : h - 1 - y;  // distance from the rounded end
    for (int x = 0; x < kPieceWidth; ++x) {
      const int fromSide = std::min(x, kPieceWidth - 1 - x);
      img.Shade(ox + x, oy + y, [&](double fx, double) {
        const QColor column = ThumbColumn(k, fx - ox, pressed);
        QColor c = column;
        if (fromEnd == 0) c = fromSide < 2 ? k.track : k.outline;
        if (fromEnd == 1 && fromSide == 0) c = k.track;
        if (fromEnd == 1 && fromSide == 1) c = k.outline;
        if (fromEnd == 1 && fromSide >= 2) c = top ? Mix(column, Qt::white, 0.35) : c;
        return std::optional<QColor>(c);
      });
    }
  }
  // Grip: three short lines centred on the seam between the caps of a smallest thumb.
  const int rows[] = {top ? h - 5 : -1, top ? h - 2 : 1, top ? -1 : 4};
  for (int gy : rows) {
    if (gy < 0 || gy >= h) continue;
    for (int x = 3; x <= kPieceWidth - 4; ++x) {
      img.Put(ox + x, oy + gy, k.grip[pressed]);
      if (gy + 1 < h) img.Put(ox + x, oy + gy + 1, k.gripLight[pressed]);
    }
  }
}

void DrawButton(const PlaylistSkinColours& k, const Canvas& img, int ox, int oy, int h, bool up,
                bool pressed) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < kPieceWidth; ++x) {
      const bool edge = x == 0 || x == kPieceWidth - 1 || y == 0 || y == h - 1;
      const bool corner = (x == 0 || x == kPieceWidth - 1) && (y == 0 || y == h - 1);
      img.Shade(ox + x, oy + y, [&](double, double fy) {
        const QColor row = Mix(k.buttonTop[pressed], k.buttonBottom[pressed], (fy - oy) / double(h - 1));
        return std::optional<QColor>(corner ? k.track : edge ? k.outline : row);
      });
    }
  }
  // The arrow: a triangle four pixels tall whose rows widen by a pixel on each side, nudged down
  // and right while pressed. Its apex row is one pixel wide.
  const int shift = pressed ? 1 : 0;
  const int cx = kPieceWidth / 2 + shift;
  const int baseY = h / 2 - 2 + shift;
  for (int i = 0; i < 4; ++i) {
    for (int x = cx - 3; x <= cx + 3; ++x) {
      img.Shade(ox + x, oy + baseY + i, [&](double fx, double fy) -> std::optional<QColor> {
        const double depth = up ? fy - oy - baseY + 0.5 : oy + baseY + 3.5 - fy;  // from the apex
        if (std::abs(fx - ox - cx) > depth) return std::nullopt;
        return k.arrow[pressed];
      });
    }
  }
}

// The light blue scheme of the playlist demo.
const PlaylistSkinColours kLightScheme = {
    .track = QColor(226, 239, 251),
    .trackEdge = QColor(196, 218, 240),
    .trackGroove = QColor(208, 228, 246),
    .outline = QColor(68, 101, 138),
    .thumbLight = {QColor(150, 196, 236), QColor(96, 150, 204)},
    .thumbDark = {QColor(104, 158, 212), QColor(60, 112, 168)},
    .thumbShine = {QColor(196, 226, 250), QColor(120, 170, 220)},
    .grip = {QColor(70, 120, 176), QColor(40, 80, 128)},
    .gripLight = {QColor(206, 232, 252), QColor(140, 186, 230)},
    .buttonTop = {QColor(238, 247, 255), QColor(150, 194, 232)},
    .buttonBottom = {QColor(190, 220, 246), QColor(118, 170, 220)},
    .arrow = {QColor(68, 101, 138), QColor(255, 255, 255)},
};

QImage DrawLightSkin(int scale) {
  return DrawPlaylistSkin(scale, kLightScheme);
}

[[maybe_unused]] const bool registered = RegisterScaledDrawer("playlist_skin.png", &DrawLightSkin);

}  // namespace

QImage DrawPlaylistSkin(int scale, const PlaylistSkinColours& k) {
  QImage image = ScaledImage(QSize(91, 41), scale, QImage::Format_RGB888);
  image.fill(k.track);
  const Canvas img{image, scale};
  DrawButton(k, img, 0, 0, 17, true, false);
  DrawButton(k, img, 13, 0, 17, true, true);
  DrawButton(k, img, 0, 17, 17, false, false);
  DrawButton(k, img, 13, 17, 17, false, true);
  DrawTrackTile(k, img, 26, 0, 40);
  DrawThumbCap(k, img, 39, 0, 21, true, false);
  DrawThumbCap(k, img, 52, 0, 21, true, true);
  DrawThumbCap(k, img, 39, 21, 20, false, false);
  DrawThumbCap(k, img, 52, 21, 20, false, true);
  DrawThumbBody(k, img, 65, 0, 40, false);
  DrawThumbBody(k, img, 78, 0, 40, true);
  return image;
}

}  // namespace assets
