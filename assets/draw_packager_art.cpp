// The packager's pictures: the banner at the left of its window, the second picture kept below
// the window's visible area, and the mouse cursor of the build button and the link.
#include <QConicalGradient>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "drawers.h"

namespace {

// A compact disc centred at `c` with outer radius `r`.
void DrawDisc(QPainter& p, QPointF c, qreal r) {
  QConicalGradient sheen(c, 30);
  sheen.setColorAt(0.00, QColor(225, 230, 240));
  sheen.setColorAt(0.15, QColor(160, 220, 255));
  sheen.setColorAt(0.30, QColor(250, 240, 200));
  sheen.setColorAt(0.45, QColor(210, 170, 250));
  sheen.setColorAt(0.60, QColor(230, 235, 245));
  sheen.setColorAt(0.75, QColor(170, 250, 210));
  sheen.setColorAt(0.90, QColor(255, 200, 220));
  sheen.setColorAt(1.00, QColor(225, 230, 240));
  p.setPen(QPen(QColor(90, 100, 130), 1));
  p.setBrush(sheen);
  p.drawEllipse(c, r, r);
  p.setBrush(QColor(200, 205, 215));
  p.setPen(QPen(QColor(120, 125, 140), 1));
  p.drawEllipse(c, r * 0.30, r * 0.30);
  p.setBrush(QColor(30, 35, 70));
  p.drawEllipse(c, r * 0.12, r * 0.12);
  // A soft highlight across the upper left of the disc.
  QRadialGradient glow(c + QPointF(-r * 0.35, -r * 0.40), r * 0.7);
  glow.setColorAt(0, QColor(255, 255, 255, 120));
  glow.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(c, r, r);
}

// An eighth note whose head sits at `head`, `size` pixels tall.
void DrawNote(QPainter& p, QPointF head, qreal size, const QColor& colour) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.translate(head);
  p.rotate(-20);
  p.drawEllipse(QPointF(0, 0), size * 0.22, size * 0.15);
  p.restore();
  const QPointF top = head + QPointF(size * 0.19, -size);
  p.setPen(QPen(colour, std::max<qreal>(1.0, size * 0.07), Qt::SolidLine, Qt::FlatCap));
  p.drawLine(head + QPointF(size * 0.19, -size * 0.05), top);
  QPainterPath flag(top);
  flag.cubicTo(top + QPointF(size * 0.05, size * 0.25), top + QPointF(size * 0.45, size * 0.25),
               top + QPointF(size * 0.30, size * 0.60));
  p.setBrush(Qt::NoBrush);
  p.drawPath(flag);
}

QImage DrawBanner(int scale) {
  const QRect all(0, 0, 135, 354);
  QImage image = assets::ScaledImage(all.size(), scale, QImage::Format_ARGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);

  QLinearGradient sky(0, 0, 0, 354);
  sky.setColorAt(0.0, QColor(18, 28, 78));
  sky.setColorAt(0.55, QColor(62, 36, 118));
  sky.setColorAt(1.0, QColor(120, 40, 120));
  p.fillRect(all, sky);

  // Faint stave lines running down the banner.
  p.setPen(QPen(QColor(255, 255, 255, 28), 1));
  for (int i = 0; i < 5; ++i) p.drawLine(QPointF(0, 262 + i * 7), QPointF(135, 250 + i * 7));

  DrawDisc(p, QPointF(67.5, 92), 50);

  DrawNote(p, QPointF(22, 185), 26, QColor(255, 210, 90));
  DrawNote(p, QPointF(104, 172), 20, QColor(140, 220, 255));
  DrawNote(p, QPointF(30, 300), 22, QColor(255, 150, 200));
  DrawNote(p, QPointF(98, 318), 28, QColor(180, 255, 190));

  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(26);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(0, 0, 0, 90));
  p.drawText(QRectF(1, 199, 135, 34), Qt::AlignCenter, QStringLiteral("Pakrel"));
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 198, 135, 34), Qt::AlignCenter, QStringLiteral("Pakrel"));

  QFont caption(QStringLiteral("WenQuanYi Zen Hei"));
  caption.setPixelSize(13);
  p.setFont(caption);
  p.setPen(QColor(230, 220, 255));
  p.drawText(QRectF(0, 232, 135, 18), Qt::AlignCenter, QStringLiteral("音乐光碟制作"));

  // A thin frame, one pixel of the plain picture, keeps the banner apart from the window's
  // background.
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor frame(10, 14, 40);
  p.fillRect(QRect(0, 0, all.width(), 1), frame);
  p.fillRect(QRect(0, all.height() - 1, all.width(), 1), frame);
  p.fillRect(QRect(0, 0, 1, all.height()), frame);
  p.fillRect(QRect(all.width() - 1, 0, 1, all.height()), frame);
  return image;
}

QImage DrawSecondPicture(int scale) {
  QImage image = assets::ScaledImage(QSize(48, 48), scale, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  DrawDisc(p, QPointF(24, 24), 22);
  DrawNote(p, QPointF(30, 44), 16, QColor(60, 40, 140));
  return image;
}

// An arrow whose tip is the hot spot (pixel 1, 1), with a small note beside it.
QImage DrawCursor(int scale) {
  QImage image = assets::ScaledImage(QSize(32, 32), scale, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath arrow;
  arrow.moveTo(1.5, 1.5);
  arrow.lineTo(1.5, 19.5);
  arrow.lineTo(6, 15);
  arrow.lineTo(9.5, 22.5);
  arrow.lineTo(12.5, 21);
  arrow.lineTo(9, 14);
  arrow.lineTo(15, 14);
  arrow.closeSubpath();
  p.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(Qt::white);
  p.drawPath(arrow);
  DrawNote(p, QPointF(20, 29), 14, QColor(200, 0, 160));
  return image;
}

// The desktop icons: the packager's disc and note, and the player's disc with a play mark,
// drawn at each size rather than scaled, so the small ones stay crisp.
QImage DrawIcon(int size, bool player) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal u = size / 48.0;
  DrawDisc(p, QPointF(24 * u, 24 * u), 22 * u);
  if (player) {
    QPainterPath play;
    play.moveTo(26 * u, 27 * u);
    play.lineTo(26 * u, 45 * u);
    play.lineTo(42 * u, 36 * u);
    play.closeSubpath();
    p.setPen(QPen(QColor(255, 255, 255), 1.5 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(40, 130, 70));
    p.drawPath(play);
  } else {
    DrawNote(p, QPointF(30 * u, 44 * u), 16 * u, QColor(60, 40, 140));
  }
  return image;
}

const bool registeredBanner = assets::RegisterScaledDrawer("packager_banner.png", &DrawBanner);
const bool registeredSecond = assets::RegisterScaledDrawer("packager_image2.png", &DrawSecondPicture);
const bool registeredCursor = assets::RegisterScaledDrawer("packager_cursor.png", &DrawCursor);

const bool registeredIcons[] = {
    assets::RegisterDrawer("pakrel_icon_48.png", [] { return DrawIcon(48, false); }),
    assets::RegisterDrawer("pakrel_icon_128.png", [] { return DrawIcon(128, false); }),
    assets::RegisterDrawer("sonvira_icon_48.png", [] { return DrawIcon(48, true); }),
    assets::RegisterDrawer("sonvira_icon_128.png", [] { return DrawIcon(128, true); }),
};

}  // namespace
