#include "pictures.h"

#include <QBitmap>
#include <QPainter>
#include <QPixmap>

#include <string_view>

#include "player_layout.h"

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

QImage PlayerPicture(const char* name) {
  RegisterPictures();
  QImage image(QStringLiteral(":/player/") + QString::fromLatin1(name));
  if (!image.isNull()) return image;
  const QSize size = PictureSize(name);
  if (std::string_view(name) == pictures::kBackground) return StandInBackground(size.width(), size.height());
  image = QImage(size, QImage::Format_RGB32);
  image.fill(std::string_view(name).find("hover") != std::string_view::npos ? QColor(96, 110, 140)
                                                                            : QColor(60, 67, 82));
  return image;
}

QCursor PlayerCursor() {
  RegisterPictures();
  QPixmap picture(QStringLiteral(":/player/") + QString::fromLatin1(pictures::kPointer));
  if (picture.isNull()) return QCursor(Qt::PointingHandCursor);
  return QCursor(picture, 10, 1);
}

QRegion ShapeOf(const QImage& background, int width, int height) {
  QImage rgb = background.convertToFormat(QImage::Format_RGB32);
  QBitmap kept = QBitmap::fromImage(rgb.createMaskFromColor(kSeeThrough, Qt::MaskInColor));
  return QRegion(kept) & QRegion(0, 0, width, height);
}

}  // namespace player
