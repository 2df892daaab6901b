// The player window's pictures: the background with its see-through magenta, the bar box's
// background, the panel around the bar box and the playlist skin in the player's colours.
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include <cmath>
#include <utility>

#include "drawers.h"
#include "paint_kit.h"
#include "player_art.h"
#include "playlist_skin.h"

namespace assets::player_art {
namespace {

const QColor kBodyTop(74, 82, 100);
const QColor kBodyBottom(34, 38, 50);
const QColor kGlassTop(22, 32, 46);
const QColor kPearlTop(240, 243, 248);
const QColor kPearlBottom(200, 208, 222);

// The window's outline: a wide head holding the title row and the lyric line, a waist beside the
// bar panel, rounded lower corners and a bulge under the next button.
QPainterPath Silhouette() {
  QPainterPath s;
  s.moveTo(0, 6);
  s.quadTo(0, 0, 6, 0);
  s.lineTo(243, 0);
  s.quadTo(253, 0, 253, 10);
  s.lineTo(253, 50);
  s.cubicTo(253, 58, 247, 56, 247, 66);
  s.lineTo(247, 148);
  s.quadTo(247, 166, 229, 166);
  s.lineTo(178, 166);
  s.cubicTo(160, 166, 158, 182, 128, 182);
  s.cubicTo(98, 182, 96, 166, 78, 166);
  s.lineTo(24, 166);
  s.quadTo(6, 166, 6, 148);
  s.lineTo(6, 66);
  s.cubicTo(6, 56, 0, 58, 0, 50);
  s.closeSubpath();
  return s;
}

// The rail along the left, bottom and right edges, on which the body rests. When the window has slid
// out of sight at a screen edge, its few outermost rows or columns are all that stays on the screen:
// the rail makes them opaque along the whole edge, its outer pixels light on any desktop. Its foot is
// straight, so the rows the window continues below the picture continue it.
constexpr qreal kRailWidth = 3;
constexpr qreal kRailTop = 40;  // under the head

QPainterPath RailInside() {
  const qreal foot = kBackground.height();
  return Rounded(QRectF(kRailWidth, 20, kClient.width() - 2 * kRailWidth, foot - kRailWidth - 20), 9);
}

void DrawRail(QPainter& p) {
  QPainterPath rail;
  rail.addRect(QRectF(0, kRailTop, kClient.width(), kBackground.height() - kRailTop));
  rail = rail.subtracted(RailInside());
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(Vertical(kRailTop, kBackground.height(), QColor(196, 204, 218), kPearlBottom));
  p.drawPath(rail);
  p.setClipPath(rail);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kEdge, 1.5));  // the inner edge, against the see-through gap
  p.drawPath(RailInside());
  p.restore();
}

// The dark face: the band of the lyric line and the times, and below it the bar panel.
QPainterPath Face() {
  QPainterPath face = Rounded(QRectF(2, 27, 249, 26), 4);
  return face.united(Rounded(QRectF(kPanelShown).adjusted(0.5, -4, -0.5, -0.5), 5)).simplified();
}

void DrawGrille(QPainter& p, const QRectF& area) {
  Well(p, Rounded(area, 4), QColor(12, 16, 24), QColor(20, 26, 36));
  p.save();
  p.setPen(Qt::NoPen);
  for (qreal y = area.top() + 4; y < area.bottom() - 2.5; y += 3.4) {
    const bool odd = std::lround((y - area.top()) / 3.4) % 2;
    for (qreal x = area.left() + (odd ? 5.5 : 3.8); x < area.right() - 2.5; x += 3.4) {
      p.setBrush(Alpha(Qt::white, 26));
      p.drawEllipse(QPointF(x, y + 0.6), 1.1, 1.1);
      p.setBrush(QColor(2, 3, 6));
      p.drawEllipse(QPointF(x, y), 1.1, 1.1);
    }
  }
  p.restore();
}

// Turns partly covered edge pixels into the edge colour and uncovered ones into exact magenta, so the
// colour-keyed shape has no fringe. A larger drawing keeps the plain picture's shape (`shape`, null
// at scale 1): its pixels are see-through exactly where the plain pixel under them is.
QImage KeyOut(const QImage& drawn, const QImage& shape) {
  QImage out(drawn.size(), QImage::Format_RGB32);
  out.setDevicePixelRatio(drawn.devicePixelRatio());
  const int scale = shape.isNull() ? 1 : drawn.width() / shape.width();
  for (int y = 0; y < drawn.height(); ++y) {
    for (int x = 0; x < drawn.width(); ++x) {
      const QColor c = drawn.pixelColor(x, y);
      const bool kept =
          shape.isNull() ? c.alphaF() >= 0.5 : shape.pixelColor(x / scale, y / scale) != kSeeThrough;
      QColor o = kSeeThrough;
      if (kept) {
        const qreal a = c.alphaF();
        o = QColor::fromRgbF(c.redF() * a + kEdge.redF() * (1 - a), c.greenF() * a + kEdge.greenF() * (1 - a),
                             c.blueF() * a + kEdge.blueF() * (1 - a));
        if (o == kSeeThrough) o.setRed(254);
      }
      out.setPixelColor(x, y, o);
    }
  }
  return out;
}

QImage DrawBackgroundOnce(int scale) {
  QImage image = ScaledImage(kBackground.size(), scale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);

  DrawRail(p);  // first: the body's bulge rests on its foot

  const QPainterPath body = Silhouette();
  Raised(p, body, kBodyTop, kBodyBottom, kEdge, 70);
  // A faint brushed grain across the body.
  p.save();
  p.setClipPath(Inset(body, 1));
  for (int y = 1; y < kBackground.height(); ++y) {
    const int grain = (y * 7919 % 13) - 6;
    p.setPen(grain > 0 ? Alpha(Qt::white, grain + 2) : Alpha(Qt::black, -grain * 2));
    p.drawLine(QPointF(0, y + 0.5), QPointF(kBackground.width(), y + 0.5));
  }
  p.restore();

  // Title row: the album-name label and the well that seats the two window buttons.
  Raised(p, Rounded(QRectF(kAlbumName).adjusted(-4, -4, 0, 4), 4), kPearlTop, kPearlBottom,
         QColor(24, 28, 38), 200);
  Well(p, Rounded(QRectF(kMinimise.united(kClose)).adjusted(-2, -2, 2, 2), 7), QColor(10, 12, 18),
       QColor(24, 28, 38));

  // The face, its bar window and the speaker grilles on both sides of it.
  const QPainterPath face = Face();
  Well(p, face, kGlassTop, kGlassBottom);
  Gloss(p, Rounded(QRectF(2, 27, 249, 26), 4), 22);
  p.setPen(QPen(Alpha(kAccent, 60), 1));
  p.drawLine(QPointF(16, 52.5), QPointF(237, 52.5));
  Raised(p, Rounded(QRectF(kBars).adjusted(-3, -2, 3, 2), 4), QColor(70, 80, 98), QColor(30, 34, 46), kEdge,
         90);
  p.fillRect(kBars, kGlassBottom);
  const auto grille = [&](qreal left, qreal right) {
    DrawGrille(p, QRectF(left, kBars.top() + 4, right - left, kBars.height() - 7));
  };
  grille(kPanelShown.left() + 4, kBars.left() - 6);
  grille(kBars.left() + kBars.width() + 6, kPanelShown.left() + kPanelShown.width() - 4);

  // The song-title label.
  Raised(p, Rounded(QRectF(kSongTitle).adjusted(-4, -1.5, 5, 2.5), 4), kPearlTop, kPearlBottom,
         QColor(24, 28, 38), 200);

  // The song buttons' channels, running into the socket of the next button.
  const qreal channelTop = kSongButtonTop - 3.5;
  const QPainterPath channels =
      Rounded(QRectF(11, channelTop, 109, 19), 6).united(Rounded(QRectF(136, channelTop, 106, 19), 6));
  Well(p, channels, QColor(10, 13, 20), QColor(26, 31, 42));
  p.setPen(QPen(Alpha(kAccent, 50), 1));
  p.drawLine(QPointF(16, channelTop + 18), QPointF(102, channelTop + 18));
  p.drawLine(QPointF(154, channelTop + 18), QPointF(238, channelTop + 18));
  QPainterPath socket;
  socket.addEllipse(kSocketCentre, kSocketRadius, kSocketRadius);
  Raised(p, socket, QColor(96, 104, 122), QColor(30, 34, 44), kEdge, 110);
  QPainterPath hole;
  hole.addEllipse(kSocketCentre, kSocketRadius - 3, kSocketRadius - 3);
  Well(p, hole, QColor(6, 8, 12), QColor(20, 24, 32));

  // The name, engraved beside the socket.
  QFont mark(QStringLiteral("DejaVu Sans"));
  mark.setPixelSize(8);
  mark.setBold(true);
  mark.setLetterSpacing(QFont::AbsoluteSpacing, 2);
  p.setFont(mark);
  for (const auto& [box, text] : {std::pair{QRectF(12, 122, 88, 12), QStringLiteral("SONVIRA")},
                                  std::pair{QRectF(156, 122, 88, 12), QStringLiteral("PLAYER")}}) {
    p.setPen(Alpha(Qt::white, 40));
    p.drawText(box.translated(0, 1), Qt::AlignCenter, text);
    p.setPen(QColor(14, 17, 24));
    p.drawText(box, Qt::AlignCenter, text);
  }
  p.end();
  return KeyOut(image, scale == 1 ? QImage() : Background(1));
}

}  // namespace

// The bar box's background: dark glass with faint scale lines and a glow along the floor. Only its
// upper left part shows in the box, so nothing marks its right or lower edge.
QImage BarBox(int scale) {
  QImage image = ScaledImage(kBarsPicture, scale, QImage::Format_RGB32);
  const QRect all(QPoint(0, 0), kBarsPicture);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal shown = kBars.height();
  p.fillRect(all, Vertical(0, shown, QColor(16, 30, 44), kGlassBottom));
  for (qreal y = shown - 6.5; y > 2; y -= 6) {
    p.setPen(QPen(Alpha(kAccent, 18), 1));
    p.drawLine(QPointF(0, y), QPointF(all.width(), y));
  }
  QRadialGradient floor(QPointF(kBars.width() / 2.0, shown + 4), kBars.width() * 0.6);
  floor.setColorAt(0, Alpha(kBarColour, 46));
  floor.setColorAt(1, Alpha(kBarColour, 0));
  p.fillRect(all, floor);
  return image;
}

// The panel is the background's own pixels around the bar box, so it stacks on the window without
// a seam whether it is shown whole or clipped.
QImage Panel(int scale) {
  QImage panel = Background(scale).copy(Scaled(kPanel, scale));
  panel.setDevicePixelRatio(scale);
  return panel;
}

const QImage& Background(int scale) {
  if (scale == 1) {
    static const QImage plain = DrawBackgroundOnce(1);
    return plain;
  }
  static const QImage twice = DrawBackgroundOnce(2);
  return twice;
}

namespace {

QImage DrawSkin(int scale) {
  return assets::DrawPlaylistSkin(scale, {
      .track = QColor(22, 28, 38),
      .trackEdge = QColor(14, 18, 26),
      .trackGroove = QColor(30, 38, 50),
      .outline = kEdge,
      .thumbLight = {QColor(110, 120, 140), QColor(70, 160, 184)},
      .thumbDark = {QColor(62, 70, 88), QColor(36, 100, 124)},
      .thumbShine = {QColor(150, 160, 178), QColor(120, 210, 228)},
      .grip = {QColor(30, 34, 44), QColor(14, 50, 64)},
      .gripLight = {QColor(150, 160, 176), QColor(150, 230, 240)},
      .buttonTop = {QColor(96, 104, 122), QColor(70, 170, 196)},
      .buttonBottom = {QColor(42, 46, 60), QColor(28, 90, 114)},
      .arrow = {QColor(110, 220, 236), QColor(255, 255, 255)},
  });
}

QImage DrawBackground(int scale) {
  return Background(scale);
}

const bool registered[] = {
    RegisterScaledDrawer("player_background.png", &DrawBackground),
    RegisterScaledDrawer("player_Picture2_panel.png", [](int scale) { return Panel(scale); }),
    RegisterScaledDrawer("player_PicSpectrum1_background.png", [](int scale) { return BarBox(scale); }),
    RegisterScaledDrawer("player_Picture1_skin.png", &DrawSkin),
};

}  // namespace
}  // namespace assets::player_art
