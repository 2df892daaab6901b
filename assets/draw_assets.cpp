// Writes every registered picture into the folder given on the command line.
#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "drawers.h"

namespace assets {

static std::vector<std::pair<QString, std::function<QImage()>>>& Drawers() {
  static std::vector<std::pair<QString, std::function<QImage()>>> drawers;
  return drawers;
}

bool RegisterDrawer(const char* fileName, DrawFn draw) {
  Drawers().emplace_back(QString::fromUtf8(fileName), draw);
  return true;
}

bool RegisterScaledDrawer(const char* fileName, ScaledDrawFn draw) {
  const QString name = QString::fromUtf8(fileName);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  Drawers().emplace_back(name, [draw] { return draw(1); });
  Drawers().emplace_back(name.left(dot) + QStringLiteral("@2x") + name.mid(dot), [draw] { return draw(2); });
  return true;
}

QImage ScaledImage(QSize size, int scale, QImage::Format format) {
  QImage image(size * scale, format);
  image.setDevicePixelRatio(scale);
  return image;
}

}  // namespace assets

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_assets FOLDER\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QDir folder(QString::fromLocal8Bit(argv[1]));
  for (const auto& [name, draw] : assets::Drawers()) {
    QString path = folder.filePath(name);
    if (!draw().save(path)) {
      std::fprintf(stderr, "draw_assets: cannot write %s\n", qPrintable(path));
      return 1;
    }
    std::printf("%s\n", qPrintable(path));
  }
  return 0;
}
