// Writes every registered picture into the folder given on the command line.
#include <QGuiApplication>
#include <QDir>

#include <cstdio>
#include <utility>
#include <vector>

#include "drawers.h"

namespace assets {

static std::vector<std::pair<const char*, DrawFn>>& Drawers() {
  static std::vector<std::pair<const char*, DrawFn>> drawers;
  return drawers;
}

bool RegisterDrawer(const char* fileName, DrawFn draw) {
  Drawers().emplace_back(fileName, draw);
  return true;
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
    QString path = folder.filePath(QString::fromUtf8(name));
    if (!draw().save(path)) {
      std::fprintf(stderr, "draw_assets: cannot write %s\n", qPrintable(path));
      return 1;
    }
    std::printf("%s\n", qPrintable(path));
  }
  return 0;
}
