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
  // The hot spot is counted in the picture's logical pixels, whatever its density.
  return QCursor(QPixmap::fromImage(picture), hotSpot.x(), hotSpot.y());
}

}  // namespace ui
