// The player window's pictures: the background with its see-through magenta, the normal and hover
// pictures of the next, close and minimise buttons, the bar box's background, the panel around the
// bar box, the playlist skin in the player's colours, the pointer of the buttons, and a preview that
// puts them together with the labels the way the window places them.
//
// The theme: a graphite body with a dark glass face for the lyric, times and bars, and two pearl
// labels for the album name and the song title, whose text colours are dark.
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include <cmath>

#include "drawers.h"
#include "playlist_skin.h"

namespace {

// Where the window's controls sit, in pixels of the client area.
constexpr QRect kBackground(0, 0, 254, 183);
constexpr QRect kAlbumName(10, 8, 162, 12);  // Label2
constexpr QRect kMinimise(174, 6, 26, 19);   // Image10
constexpr QRect kClose(200, 6, 44, 19);      // Image7
constexpr QRect kNext(106, 120, 44, 53);     // Image2
constexpr QRect kPanel(14, 52, 232, 53);     // Picture2, shown clipped to 225 x 49
constexpr QRect kPanelShown(14, 52, 225, 49);
constexpr QRect kBars(58, 54, 141, 45);  // PicSpectrum1
constexpr QSize kBarsPicture(164, 50);
constexpr QRect kSongTitle(14, 104, 225, 13);
constexpr int kSongButtonTop = 142;
constexpr int kSongButtonLeft[] = {16, 34, 54, 72, 90, 152, 168, 184, 200, 220};

const QColor kSeeThrough(255, 0, 255);
const QColor kEdge(8, 10, 15);
const QColor kBodyTop(74, 82, 100);
const QColor kBodyBottom(34, 38, 50);
const QColor kGlassTop(22, 32, 46);
const QColor kGlassBottom(8, 12, 20);
const QColor kPearlTop(240, 243, 248);
const QColor kPearlBottom(200, 208, 222);
const QColor kAccent(110, 220, 236);
const QColor kBarColour(155, 251, 251);

QColor Alpha(QColor c, int alpha) {
  c.setAlpha(alpha);
  return c;
}

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& from, const QColor& to) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, from);
  g.setColorAt(1, to);
  return g;
}

QPainterPath Rounded(const QRectF& r, qreal radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

// The path `d` pixels inside `path`.
QPainterPath Inset(const QPainterPath& path, qreal d) {
  QPainterPathStroker stroker;
  stroker.setWidth(2 * d);
  stroker.setJoinStyle(Qt::RoundJoin);
  return path.subtracted(stroker.createStroke(path)).simplified();
}

// A recessed area: dark fill, a shadow along its upper inner edge and a lit lip below it.
void Well(QPainter& p, const QPainterPath& well, const QColor& top, const QColor& bottom) {
  const QRectF box = well.boundingRect();
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(Alpha(Qt::white, 34));
  p.drawPath(well.translated(0, 1));
  p.setBrush(Vertical(box.top(), box.bottom(), top, bottom));
  p.drawPath(well);
  p.setClipPath(well);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Alpha(Qt::black, 150), 2.2));
  p.drawPath(well.translated(0, 0.8));
  p.restore();
}

// A raised part: outlined, filled with a gradient, with a highlight along its upper inner edge.
void Raised(QPainter& p, const QPainterPath& part, const QColor& top, const QColor& bottom,
            const QColor& outline, int shine) {
  const QRectF box = part.boundingRect();
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(outline);
  p.drawPath(part);
  const QPainterPath face = Inset(part, 1);
  p.setBrush(Vertical(box.top(), box.bottom(), top, bottom));
  p.drawPath(face);
  p.setClipPath(face);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Vertical(box.top(), box.bottom(), Alpha(Qt::white, shine), Alpha(Qt::white, 0)), 2));
  p.drawPath(face.translated(0, 0.6));
  p.restore();
}

// A soft glassy reflection over the upper part of `area`.
void Gloss(QPainter& p, const QPainterPath& area, int strength) {
  const QRectF box = area.boundingRect();
  p.save();
  p.setClipPath(area);
  p.setPen(Qt::NoPen);
  p.setBrush(Vertical(box.top(), box.center().y(), Alpha(Qt::white, strength), Alpha(Qt::white, 0)));
  p.drawEllipse(QRectF(box.left() - box.width() * 0.25, box.top() - box.height() * 0.9, box.width() * 1.5,
                       box.height() * 1.4));
  p.restore();
}

// The window's outline: a wide head holding the title row and the lyric line, a waist beside the
// bar panel, rounded lower corners and a bulge under the next button.
QPainterPath Silhouette() {
  QPainterPath s;
  s.moveTo(0, 6);
  s.quadTo(0, 0, 6, 0);
  s.lineTo(244, 0);
  s.quadTo(254, 0, 254, 10);
  s.lineTo(254, 50);
  s.cubicTo(254, 58, 248, 56, 248, 66);
  s.lineTo(248, 148);
  s.quadTo(248, 166, 230, 166);
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

// The dark face: the band of the lyric line and the times, and below it the bar panel.
QPainterPath Face() {
  QPainterPath face = Rounded(QRectF(2, 27, 250, 26), 4);
  return face.united(Rounded(QRectF(kPanelShown).adjusted(0.5, -4, -0.5, -0.5), 5)).simplified();
}

// The next button's socket; the song buttons "5" and "6" sit close to either side of it.
constexpr QPointF kSocketCentre(128, 146.5);
constexpr qreal kSocketRadius = 24;

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
// colour-keyed shape has no fringe.
QImage KeyOut(const QImage& drawn) {
  QImage out(drawn.size(), QImage::Format_RGB32);
  for (int y = 0; y < drawn.height(); ++y) {
    for (int x = 0; x < drawn.width(); ++x) {
      const QColor c = drawn.pixelColor(x, y);
      QColor o = kSeeThrough;
      if (c.alphaF() >= 0.5) {
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

QImage DrawBackgroundOnce() {
  QImage image(kBackground.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);

  const QPainterPath body = Silhouette();
  Raised(p, body, kBodyTop, kBodyBottom, kEdge, 70);
  // A faint brushed grain across the body.
  p.save();
  p.setClipPath(Inset(body, 1));
  for (int y = 1; y < kBackground.height(); ++y) {
    const int grain = (y * 7919 % 13) - 6;
    p.setPen(grain > 0 ? Alpha(Qt::white, grain + 2) : Alpha(Qt::black, -grain * 2));
    p.drawLine(QPointF(0, y + 0.5), QPointF(254, y + 0.5));
  }
  p.restore();

  // Title row: the album-name label and the well that seats the two window buttons.
  Raised(p, Rounded(QRectF(6, 4, 166, 20), 4), kPearlTop, kPearlBottom, QColor(24, 28, 38), 200);
  Well(p, Rounded(QRectF(172, 4, 74, 23), 7), QColor(10, 12, 18), QColor(24, 28, 38));

  // The face, its bar window and the speaker grilles on both sides of it.
  const QPainterPath face = Face();
  Well(p, face, kGlassTop, kGlassBottom);
  Gloss(p, Rounded(QRectF(2, 27, 250, 26), 4), 22);
  p.setPen(QPen(Alpha(kAccent, 60), 1));
  p.drawLine(QPointF(16, 52.5), QPointF(237, 52.5));
  Raised(p, Rounded(QRectF(kBars).adjusted(-3, -2, 3, 2), 4), QColor(70, 80, 98), QColor(30, 34, 46), kEdge,
         90);
  p.fillRect(kBars, kGlassBottom);
  DrawGrille(p, QRectF(18, 58, 34, 38));
  DrawGrille(p, QRectF(205, 58, 30, 38));

  // The song-title label.
  Raised(p, Rounded(QRectF(10, 102.5, 234, 17), 4), kPearlTop, kPearlBottom, QColor(24, 28, 38), 200);

  // The song buttons' channels, running into the socket of the next button.
  const QPainterPath channels = Rounded(QRectF(10, 138.5, 110, 19), 6).united(Rounded(QRectF(136, 138.5, 108, 19), 6));
  Well(p, channels, QColor(10, 13, 20), QColor(26, 31, 42));
  p.setPen(QPen(Alpha(kAccent, 50), 1));
  p.drawLine(QPointF(16, 156.5), QPointF(102, 156.5));
  p.drawLine(QPointF(154, 156.5), QPointF(238, 156.5));
  QPainterPath socket;
  socket.addEllipse(kSocketCentre, kSocketRadius, kSocketRadius);
  Raised(p, socket, QColor(96, 104, 122), QColor(30, 34, 44), kEdge, 110);
  QPainterPath hole;
  hole.addEllipse(kSocketCentre, kSocketRadius - 3, kSocketRadius - 3);
  Well(p, hole, QColor(6, 8, 12), QColor(20, 24, 32));
  p.end();
  return KeyOut(image);
}

const QImage& Background() {
  static const QImage background = DrawBackgroundOnce();
  return background;
}

QImage DrawBackground() { return Background(); }

// The panel is the background's own pixels around the bar box, so it stacks on the window without
// a seam whether it is shown whole or clipped.
QImage DrawPanel() { return Background().copy(kPanel); }

// A button's picture: its place in the background with the button drawn over it, so its corners
// match the window exactly.
using ButtonFace = void (*)(QPainter&, const QRectF&, bool hover);

QImage DrawButton(const QRect& where, ButtonFace drawFace, bool hover) {
  QImage image = Background().copy(where).convertToFormat(QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  drawFace(p, QRectF(0, 0, where.width(), where.height()), hover);
  return image;
}

// The two window buttons together form one capsule: minimise its left end, close its right end.
QPainterPath CapsuleEnd(const QRectF& r, bool left) {
  const qreal radius = r.height() / 2;
  QPainterPath path;
  path.addRoundedRect(r.adjusted(left ? 0 : -radius, 0, left ? radius : 0, 0), radius, radius);
  QPainterPath keep;
  keep.addRect(r);
  return path.intersected(keep);
}

void DrawCapsule(QPainter& p, const QPainterPath& shape, bool hover, const QColor& glow) {
  const QColor top = hover ? glow.lighter(115) : QColor(86, 94, 112);
  const QColor bottom = hover ? glow.darker(170) : QColor(38, 42, 54);
  Raised(p, shape, top, bottom, kEdge, hover ? 140 : 90);
  Gloss(p, Inset(shape, 1), hover ? 70 : 40);
}

void MinimiseFace(QPainter& p, const QRectF& r, bool hover) {
  DrawCapsule(p, CapsuleEnd(r.adjusted(1, 1, 0, -1), true), hover, QColor(60, 170, 200));
  p.setPen(QPen(hover ? Qt::white : QColor(200, 212, 228), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(r.center().x() - 3, r.center().y() + 3), QPointF(r.center().x() + 4, r.center().y() + 3));
  // The divider between the two halves of the capsule.
  p.setPen(QPen(kEdge, 1));
  p.drawLine(QPointF(r.right() - 0.5, r.top() + 2), QPointF(r.right() - 0.5, r.bottom() - 2));
}

void CloseFace(QPainter& p, const QRectF& r, bool hover) {
  DrawCapsule(p, CapsuleEnd(r.adjusted(0, 1, -1, -1), false), hover, QColor(214, 58, 52));
  const QPointF c = r.center() - QPointF(2, 0);
  p.setPen(QPen(hover ? Qt::white : QColor(200, 212, 228), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-3.5, -3.5), c + QPointF(3.5, 3.5));
  p.drawLine(c + QPointF(-3.5, 3.5), c + QPointF(3.5, -3.5));
}

// A round glass button sitting in its socket, marked with "skip to next".
void NextFace(QPainter& p, const QRectF&, bool hover) {
  const QPointF c = kSocketCentre - QPointF(kNext.topLeft());
  if (hover) {
    QRadialGradient halo(c, kSocketRadius - 3);
    halo.setColorAt(0.8, Alpha(kAccent, 160));
    halo.setColorAt(1.0, Alpha(kAccent, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(c, kSocketRadius - 3, kSocketRadius - 3);
  }
  QPainterPath button;
  button.addEllipse(c, 18.5, 18.5);
  Raised(p, button, hover ? QColor(150, 160, 178) : QColor(120, 128, 146), QColor(28, 32, 42), kEdge, 160);
  QPainterPath glass;
  glass.addEllipse(c, 15, 15);
  QRadialGradient deep(c + QPointF(0, 6), 20);
  deep.setColorAt(0, hover ? QColor(30, 110, 140) : QColor(22, 60, 84));
  deep.setColorAt(1, hover ? QColor(8, 34, 52) : QColor(6, 16, 26));
  p.setPen(QPen(kEdge, 1));
  p.setBrush(deep);
  p.drawPath(glass);
  Gloss(p, glass, hover ? 90 : 60);

  // Two triangles and a bar.
  const QColor mark = hover ? Qt::white : kAccent;
  QPainterPath sign;
  for (qreal x : {-9.0, -2.5}) {
    sign.moveTo(c + QPointF(x, -6));
    sign.lineTo(c + QPointF(x + 7, 0));
    sign.lineTo(c + QPointF(x, 6));
    sign.closeSubpath();
  }
  sign.addRect(QRectF(c + QPointF(5, -6), QSizeF(2.5, 12)));
  if (hover) {
    p.setPen(QPen(Alpha(kAccent, 120), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(sign);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(mark);
  p.drawPath(sign);
}

// The bar box's background: dark glass with faint scale lines and a glow along the floor. Only its
// upper left part shows in the box, so nothing marks its right or lower edge.
QImage DrawBarBox() {
  QImage image(kBarsPicture, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal shown = kBars.height();
  p.fillRect(image.rect(), Vertical(0, shown, QColor(16, 30, 44), kGlassBottom));
  for (qreal y = shown - 6.5; y > 2; y -= 6) {
    p.setPen(QPen(Alpha(kAccent, 18), 1));
    p.drawLine(QPointF(0, y), QPointF(image.width(), y));
  }
  QRadialGradient floor(QPointF(kBars.width() / 2.0, shown + 4), kBars.width() * 0.6);
  floor.setColorAt(0, Alpha(kBarColour, 46));
  floor.setColorAt(1, Alpha(kBarColour, 0));
  p.fillRect(image.rect(), floor);
  return image;
}

QImage DrawSkin() {
  const QColor outline(8, 10, 15);
  return assets::DrawPlaylistSkin({
      .track = QColor(22, 28, 38),
      .trackEdge = QColor(14, 18, 26),
      .trackGroove = QColor(30, 38, 50),
      .outline = outline,
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

// A pointing hand whose fingertip, pixel (10, 1), is the hot spot.
QImage DrawPointer() {
  QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath hand = Rounded(QRectF(7.5, 1, 5, 19), 2.5);
  for (int i = 0; i < 3; ++i) hand = hand.united(Rounded(QRectF(12 + i * 4.2, 9 + i * 1.2, 4.6, 12), 2.3));
  hand = hand.united(Rounded(QRectF(7.5, 14, 17.5, 14), 4));
  const QPainterPath thumb = Rounded(QRectF(-2.5, -2.5, 12, 5), 2.5);
  QTransform turn;
  turn.translate(6, 19);
  turn.rotate(50);
  hand = hand.united(turn.map(thumb)).simplified();
  p.setPen(QPen(kEdge, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Vertical(0, 28, Qt::white, QColor(200, 212, 226)));
  p.drawPath(hand);
  // Knuckle creases.
  p.setPen(QPen(Alpha(kEdge, 120), 0.9));
  for (int i = 0; i < 3; ++i) p.drawLine(QPointF(12.3 + i * 4.2, 11.5 + i * 1.2), QPointF(12.3 + i * 4.2, 17));
  return image;
}

// The background with the buttons, panel, bar box and labels placed as the window places them,
// over a chequered desktop, once in the normal state and once with every button hovered.
QImage DrawPreview() {
  constexpr int kGap = 16;
  QImage image(2 * kBackground.width() + 3 * kGap, kBackground.height() + 2 * kGap, QImage::Format_RGB32);
  QPainter p(&image);
  for (int y = 0; y < image.height(); y += 8) {
    for (int x = 0; x < image.width(); x += 8) {
      p.fillRect(x, y, 8, 8, ((x + y) / 8) % 2 ? QColor(150, 160, 150) : QColor(190, 200, 190));
    }
  }
  QFont song(QStringLiteral("WenQuanYi Zen Hei"));
  song.setPixelSize(12);
  song.setBold(true);
  QFont plain(QStringLiteral("WenQuanYi Zen Hei"));
  plain.setPixelSize(12);
  const auto label = [&](const QRect& r, const QColor& colour, const QFont& font, const QString& text) {
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignLeft | Qt::AlignTop, text);
  };
  for (int state = 0; state < 2; ++state) {
    const bool hover = state == 1;
    p.save();
    p.translate(kGap + state * (kBackground.width() + kGap), kGap);
    // Build the window on its own layer, see-through where the key colour is, then drop it on the desktop.
    QImage layer = Background().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < layer.height(); ++y) {
      for (int x = 0; x < layer.width(); ++x) {
        if (layer.pixelColor(x, y) == kSeeThrough) layer.setPixelColor(x, y, Qt::transparent);
      }
    }
    {
      QPainter w(&layer);
      w.setCompositionMode(QPainter::CompositionMode_SourceAtop);
      w.drawImage(kPanel.topLeft(), DrawPanel().copy(0, 0, kPanelShown.width(), kPanelShown.height()));
      w.drawImage(kBars.topLeft(), DrawBarBox().copy(0, 0, kBars.width(), kBars.height()));
      // Bars as the drawing routine places them, in twips of the box.
      w.setRenderHint(QPainter::Antialiasing);
      w.save();
      w.translate(kBars.topLeft());
      w.scale(1 / 15.0, 1 / 15.0);
      const int inner = kBars.width() * 15, height = kBars.height() * 15, pitch = inner / 30;
      for (int i = 0; i < 30; ++i) {
        const int level = i < 26 ? int(520 * std::fabs(std::sin(i * 0.7 + state)) * (1 - i / 40.0)) : 0;
        w.fillRect(QRectF(pitch * i + 20, height - 10 - level, pitch - 50, 10 + level), kBarColour);
      }
      w.restore();
      w.setCompositionMode(QPainter::CompositionMode_SourceOver);
      w.drawImage(kMinimise.topLeft(), DrawButton(kMinimise, &MinimiseFace, hover));
      w.drawImage(kClose.topLeft(), DrawButton(kClose, &CloseFace, hover));
      w.drawImage(kNext.topLeft(), DrawButton(kNext, &NextFace, hover));
      w.end();
    }
    p.drawImage(0, 0, layer);
    label(kAlbumName, QColor(0x5A, 0x63, 0x7C), song, QStringLiteral("Sonvira · 未命名专辑"));
    label(QRect(2, 2, 97, 13), QColor(0xFF, 0x80, 0x00), song, QStringLiteral("44KHz"));
    label(QRect(196, 0, 28, 12), QColor(0xFF, 0x80, 0x00), song, QStringLiteral("0.00"));
    label(QRect(14, 30, 224, 12), QColor(0x00, 0xFF, 0x00), plain, QStringLiteral("晚风轻轻吹过山岗"));
    label(QRect(2, 36, 41, 16), QColor(0x74, 0xC5, 0xD2), song, QStringLiteral("01:23"));
    label(QRect(180, 38, 45, 20), QColor(0x5A, 0x63, 0x7C), song, QStringLiteral("04:05"));
    label(kSongTitle, QColor(0x3C, 0x43, 0x52), song, QStringLiteral("[晚风]"));
    for (int n = 0; n < 10; ++n) {
      label(QRect(kSongButtonLeft[n], kSongButtonTop, 16, 12), n == 0 ? QColor(0, 255, 0) : Qt::white, plain,
            QString::number(n + 1));
    }
    p.restore();
  }
  return image;
}

const bool registered[] = {
    assets::RegisterDrawer("player_background.png", &DrawBackground),
    assets::RegisterDrawer("player_Picture2_panel.png", &DrawPanel),
    assets::RegisterDrawer("player_PicSpectrum1_background.png", &DrawBarBox),
    assets::RegisterDrawer("player_Picture1_skin.png", &DrawSkin),
    assets::RegisterDrawer("player_Image3_next.png", [] { return DrawButton(kNext, &NextFace, false); }),
    assets::RegisterDrawer("player_Image4_next_hover.png", [] { return DrawButton(kNext, &NextFace, true); }),
    assets::RegisterDrawer("player_Image5_close.png", [] { return DrawButton(kClose, &CloseFace, false); }),
    assets::RegisterDrawer("player_Image6_close_hover.png", [] { return DrawButton(kClose, &CloseFace, true); }),
    assets::RegisterDrawer("player_Image8_minimise.png",
                           [] { return DrawButton(kMinimise, &MinimiseFace, false); }),
    assets::RegisterDrawer("player_Image9_minimise_hover.png",
                           [] { return DrawButton(kMinimise, &MinimiseFace, true); }),
    assets::RegisterDrawer("player_cursor.png", &DrawPointer),
    assets::RegisterDrawer("player_preview.png", &DrawPreview),
};

}  // namespace
