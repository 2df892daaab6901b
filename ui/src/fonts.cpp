#include "ui/fonts.h"

#include <QStringList>

namespace ui {

QFont ProductFont(const QString& face, int pixelSize) {
  QFont font;
  if (face == kSongFace || face == QStringLiteral("SimSun")) {
    // SimSun where it is installed, then its Song/Ming stand-ins.
    font.setFamilies({face, QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("AR PL UMing TW"), QStringLiteral("WenQuanYi Zen Hei")});
  } else {
    // Any other face: a sans-serif CJK face behind it, so that Chinese never shows as boxes.
    font.setFamilies({face, QStringLiteral("WenQuanYi Zen Hei")});
  }
  font.setPixelSize(pixelSize);
  return font;
}

QFont ProductFont() {
  return ProductFont(kSongFace, 12);
}

}  // namespace ui
