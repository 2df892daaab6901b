#include "pictures.h"

#include <QBitmap>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "player/player_layout.h"
#include "ui/pictures.h"

// The pictures are compiled into a static library, whose resources must be registered by
// hand, from outside any namespace.
static bool RegisterPlayerResource() {
  Q_INIT_RESOURCE(player);
  return true;
}

namespace player {
namespace {

constexpr QRgb kSeeThrough = 0xFFFF00FF;

// A dark rounded body with see-through corners, so even the stand-in has a shape.
QImage StandInBackground(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kSeeThrough);
  QPainter p(&image);
  p.setPen(QColor(90, 99, 124));
  p.setBrush(QColor(36, 40, 52));
  p.drawRoundedRect(QRectF(0.5, 0.5, width - 2, height - 2), 12, 12);
  return image;
}

// The size each picture is drawn at.
QSize PictureSize(std::string_view name) {
  if (name == pictures::kBackground) return {254, 183};
  if (name == pictures::kSpectrum) return {164, 50};
  if (name == pictures::kPanel) return {232, 53};
  if (name == pictures::kPlaylistSkin) return {91, 41};
  for (const ControlDesign& c : PlayerLayout())
    if (name == c.picture) return {c.width, c.height};
  if (name == pictures::kNextHover) return {Control("Image2").width, Control("Image2").height};
  if (name == pictures::kCloseHover) return {Control("Image7").width, Control("Image7").height};
  return {Control("Image10").width, Control("Image10").height};
}

}  // namespace

void RegisterPictures() {
  static const bool registered = RegisterPlayerResource();
  static_cast<void>(registered);
}

QImage PlayerPicture(const char* name, qreal devicePixelRatio) {
  RegisterPictures();
  QImage image = ui::LoadPicture(QStringLiteral(":/player/") + QString::fromLatin1(name), devicePixelRatio);
  if (!image.isNull()) return image;
  const QSize size = PictureSize(name);
  if (std::string_view(name) == pictures::kBackground) return StandInBackground(size.width(), size.height());
  image = QImage(size, QImage::Format_RGB32);
  image.fill(std::string_view(name).find("hover") != std::string_view::npos ? QColor(96, 110, 140)
                                                                            : QColor(60, 67, 82));
  return image;
}

QCursor PlayerCursor(qreal devicePixelRatio) {
  RegisterPictures();
  return ui::LoadCursor(QStringLiteral(":/player/") + QString::fromLatin1(pictures::kPointer), QPoint(10, 1),
                        devicePixelRatio, Qt::PointingHandCursor);
}

QImage ContinuedBelow(const QImage& background, int height) {
  const int ratio = std::max(1, qRound(background.devicePixelRatio()));
  QImage rgb = background.convertToFormat(QImage::Format_RGB32);
  if (rgb.isNull() || height * ratio <= rgb.height()) return rgb;
  QImage continued(rgb.width(), height * ratio, QImage::Format_RGB32);
  continued.setDevicePixelRatio(background.devicePixelRatio());
  for (int y = 0; y < continued.height(); ++y)
    std::memcpy(continued.scanLine(y), rgb.constScanLine(std::min(y, rgb.height() - 1)),
                static_cast<std::size_t>(rgb.bytesPerLine()));
  return continued;
}

QRegion ShapeOf(const QImage& background, int width, int height) {
  QImage rgb = ContinuedBelow(background, height);
  const int ratio = std::max(1, qRound(background.devicePixelRatio()));
  if (ratio > 1) {
    QImage logical(rgb.width() / ratio, rgb.height() / ratio, QImage::Format_RGB32);
    for (int y = 0; y < logical.height(); ++y) {
      for (int x = 0; x < logical.width(); ++x) {
        QRgb kept = rgb.pixel(x * ratio, y * ratio);
        for (int dy = 0; dy < ratio; ++dy)
          for (int dx = 0; dx < ratio; ++dx)
            if (rgb.pixel(x * ratio + dx, y * ratio + dy) == kSeeThrough) kept = kSeeThrough;
        logical.setPixel(x, y, kept);
      }
    }
    rgb = logical;
  }
  QBitmap kept = QBitmap::fromImage(rgb.createMaskFromColor(kSeeThrough, Qt::MaskInColor));
  return QRegion(kept) & QRegion(0, 0, width, height);
}

}  // namespace player
