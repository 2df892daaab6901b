// The player's skin picture, read by Qt.
#include <QImage>

#include "playlist/qt_pictures.h"
#include "playlist_test_support.h"

platform::Pixels playlist_test::PlayerSkin() {
  return playlist::ToPixels(QImage(QStringLiteral(SONVIRA_SOURCE_DIR "/assets/playlist_skin.png")));
}
