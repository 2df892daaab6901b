#include "paint_kit.h"

#include <QPainterPathStroker>

namespace assets {

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

QPainterPath Inset(const QPainterPath& path, qreal d) {
  QPainterPathStroker stroker;
  stroker.setWidth(2 * d);
  stroker.setJoinStyle(Qt::RoundJoin);
  return path.subtracted(stroker.createStroke(path)).simplified();
}

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

}  // namespace assets
