// The player window's picture buttons, normal and hovered: a capsule split into minimise and close,
// and a round glass next button seated in its socket; and the pointer they show.
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <utility>

#include "drawers.h"
#include "paint_kit.h"
#include "player_art.h"

namespace assets::player_art {
namespace {

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
  p.drawLine(QPointF(r.center().x() - 3, r.center().y() + 3),
             QPointF(r.center().x() + 4, r.center().y() + 3));
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

}  // namespace

// A button's picture is its place in the background with the button drawn over it, so its corners
// match the window exactly.
QImage ButtonPicture(PictureButton button, bool hover, int scale) {
  using Face = void (*)(QPainter&, const QRectF&, bool hover);
  const auto [where, face] = button == PictureButton::kNext    ? std::pair{kNext, Face(&NextFace)}
                             : button == PictureButton::kClose ? std::pair{kClose, Face(&CloseFace)}
                                                               : std::pair{kMinimise, Face(&MinimiseFace)};
  QImage image = Background(scale).copy(Scaled(where, scale)).convertToFormat(QImage::Format_RGB32);
  image.setDevicePixelRatio(scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  face(p, QRectF(0, 0, where.width(), where.height()), hover);
  return image;
}

namespace {

// A pointing hand whose fingertip, pixel (10, 1), is the hot spot.
QImage DrawPointer(int scale) {
  QImage image = ScaledImage(QSize(32, 32), scale, QImage::Format_ARGB32_Premultiplied);
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
  for (int i = 0; i < 3; ++i)
    p.drawLine(QPointF(12.3 + i * 4.2, 11.5 + i * 1.2), QPointF(12.3 + i * 4.2, 17));
  return image;
}

const bool registered[] = {
    RegisterScaledDrawer("player_Image3_next.png",
                         [](int scale) { return ButtonPicture(PictureButton::kNext, false, scale); }),
    RegisterScaledDrawer("player_Image4_next_hover.png",
                         [](int scale) { return ButtonPicture(PictureButton::kNext, true, scale); }),
    RegisterScaledDrawer("player_Image5_close.png",
                         [](int scale) { return ButtonPicture(PictureButton::kClose, false, scale); }),
    RegisterScaledDrawer("player_Image6_close_hover.png",
                         [](int scale) { return ButtonPicture(PictureButton::kClose, true, scale); }),
    RegisterScaledDrawer("player_Image8_minimise.png",
                         [](int scale) { return ButtonPicture(PictureButton::kMinimise, false, scale); }),
    RegisterScaledDrawer("player_Image9_minimise_hover.png",
                         [](int scale) { return ButtonPicture(PictureButton::kMinimise, true, scale); }),
    RegisterScaledDrawer("player_cursor.png", &DrawPointer),
};

}  // namespace
}  // namespace assets::player_art
