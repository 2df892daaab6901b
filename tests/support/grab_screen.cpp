// grab_screen OUT.png: saves the whole screen of $DISPLAY, for looking at windows under Xvfb.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2 || QGuiApplication::primaryScreen() == nullptr) return 2;
  return QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
