#include "ui/pictures.h"

#include <QGuiApplication>
#include <QPixmap>

namespace ui {

QImage LoadPicture(const QString& path, qreal devicePixelRatio) {
  if (devicePixelRatio > 1) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
      QImage twice(path.left(dot) + QStringLiteral("@2x") + path.mid(dot));
      if (!twice.isNull()) {
        twice.setDevicePixelRatio(2);
        return twice;
      }
    }
  }
  QImage plain(path);
  if (!plain.isNull()) plain.setDevicePixelRatio(1);
  return plain;
}

qreal ScreenPixelRatio() {
  return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

QCursor LoadCursor(const QString& path, QPoint hotSpot, qreal devicePixelRatio, Qt::CursorShape fallback) {
  const QImage picture = LoadPicture(path, devicePixelRatio);
  if (picture.isNull()) return QCursor(fallback);
  // QCursor counts the hot spot in logical pixels, but Qt's X11 backend (6.4) hands it to the
  // X server unchanged with the picture's device pixels, so there it is given in those.
  if (QGuiApplication::platformName() == QLatin1String("xcb"))
    hotSpot = (QPointF(hotSpot) * picture.devicePixelRatio()).toPoint();
  return QCursor(QPixmap::fromImage(picture), hotSpot.x(), hotSpot.y());
}

}  // namespace ui
