// The playlist's skin picture: a 91 x 41 pixel, 24-bit image holding the scroller pieces at
// the places the player's skin values name:
//   up button 13 x 17 at (0, 0), pressed at (13, 0); down button at (0, 17), pressed at (13, 17);
//   track tile 13 x 40 at (26, 0);
//   thumb top cap 13 x 21 at (39, 0), pressed at (52, 0);
//   thumb bottom cap 13 x 20 at (39, 21), pressed at (52, 21);
//   thumb body tile 13 x 40 at (65, 0), pressed at (78, 0).
// Tiles are uniform from top to bottom so that they repeat without seams.
#include <algorithm>

#include "drawers.h"
#include "playlist_skin.h"

namespace assets {
namespace {

constexpr int kPieceWidth = 13;

QColor Mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                          a.blueF() + (b.blueF() - a.blueF()) * t);
}

void Put(QImage& img, int x, int y, const QColor& c) {
  img.setPixelColor(x, y, c);
}

// Column shading of the thumb: light left edge, darker right edge, outline at both sides.
QColor ThumbColumn(const PlaylistSkinColours& k, int x, bool pressed) {
  if (x == 0 || x == kPieceWidth - 1) return k.outline;
  if (x == 1) return k.thumbShine[pressed];
  return Mix(k.thumbLight[pressed], k.thumbDark[pressed], (x - 2) / double(kPieceWidth - 4));
}

void DrawTrackTile(const PlaylistSkinColours& k, QImage& img, int ox, int oy, int h) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < kPieceWidth; ++x) {
      QColor c = k.track;
      if (x == 0 || x == kPieceWidth - 1) c = k.trackEdge;
      if (x == kPieceWidth / 2) c = k.trackGroove;
      Put(img, ox + x, oy + y, c);
    }
  }
}

void DrawThumbBody(const PlaylistSkinColours& k, QImage& img, int ox, int oy, int h, bool pressed) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < kPieceWidth; ++x) Put(img, ox + x, oy + y, ThumbColumn(k, x, pressed));
  }
}

// A cap: the body's columns with a rounded, outlined end at the top or the bottom, and grip
// lines near the thumb's middle.
void DrawThumbCap(const PlaylistSkinColours& k, QImage& img, int ox, int oy, int h, bool top, bool pressed) {
  for (int y = 0; y < h; ++y) {
    const int fromEnd = top ? y : h - 1 - y;  // distance from the rounded end
    for (int x = 0; x < kPieceWidth; ++x) {
      const int fromSide = std::min(x, kPieceWidth - 1 - x);
      QColor c = ThumbColumn(k, x, pressed);
      if (fromEnd == 0) c = fromSide < 2 ? k.track : k.outline;
      if (fromEnd == 1 && fromSide == 0) c = k.track;
      if (fromEnd == 1 && fromSide == 1) c = k.outline;
      if (fromEnd == 1 && fromSide >= 2) c = top ? Mix(ThumbColumn(k, x, pressed), Qt::white, 0.35) : c;
      Put(img, ox + x, oy + y, c);
    }
  }
  // Grip: three short lines centred on the seam between the caps of a smallest thumb.
  const int rows[] = {top ? h - 5 : -1, top ? h - 2 : 1, top ? -1 : 4};
  for (int gy : rows) {
    if (gy < 0 || gy >= h) continue;
    for (int x = 3; x <= kPieceWidth - 4; ++x) {
      Put(img, ox + x, oy + gy, k.grip[pressed]);
      if (gy + 1 < h) Put(img, ox + x, oy + gy + 1, k.gripLight[pressed]);
    }
  }
}

void DrawButton(const PlaylistSkinColours& k, QImage& img, int ox, int oy, int h, bool up, bool pressed) {
  for (int y = 0; y < h; ++y) {
    const QColor row = Mix(k.buttonTop[pressed], k.buttonBottom[pressed], y / double(h - 1));
    for (int x = 0; x < kPieceWidth; ++x) {
      const bool edge = x == 0 || x == kPieceWidth - 1 || y == 0 || y == h - 1;
      const bool corner = (x == 0 || x == kPieceWidth - 1) && (y == 0 || y == h - 1);
      Put(img, ox + x, oy + y, corner ? k.track : edge ? k.outline : row);
    }
  }
  // The arrow: a filled triangle five pixels tall, nudged down and right while pressed.
  const int shift = pressed ? 1 : 0;
  const int cx = kPieceWidth / 2 + shift;
  const int baseY = h / 2 - 2 + shift;
  for (int i = 0; i < 4; ++i) {
    const int y = up ? baseY + i : baseY + 3 - i;
    for (int x = cx - i; x <= cx + i; ++x) Put(img, ox + x, oy + y, k.arrow[pressed]);
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

QImage DrawLightSkin() {
  return DrawPlaylistSkin(kLightScheme);
}

[[maybe_unused]] const bool registered = RegisterDrawer("playlist_skin.png", &DrawLightSkin);

}  // namespace

QImage DrawPlaylistSkin(const PlaylistSkinColours& k) {
  QImage img(91, 41, QImage::Format_RGB888);
  img.fill(k.track);
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
  return img;
}

}  // namespace assets
