#pragma once
// Small painting helpers shared by the drawers: gradients, rounded and inset paths, and the recessed,
// raised and glossy looks of skinned parts.
#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace assets {

QColor Alpha(QColor c, int alpha);
QLinearGradient Vertical(qreal top, qreal bottom, const QColor& from, const QColor& to);
QPainterPath Rounded(const QRectF& r, qreal radius);
// The path `d` pixels inside `path`.
QPainterPath Inset(const QPainterPath& path, qreal d);
// A recessed area: dark fill, a shadow along its upper inner edge and a lit lip below it.
void Well(QPainter& p, const QPainterPath& well, const QColor& top, const QColor& bottom);
// A raised part: outlined, filled with a gradient, with a highlight along its upper inner edge.
void Raised(QPainter& p, const QPainterPath& part, const QColor& top, const QColor& bottom,
            const QColor& outline, int shine);
// A soft glassy reflection over the upper part of `area`.
void Gloss(QPainter& p, const QPainterPath& area, int strength);

}  // namespace assets
