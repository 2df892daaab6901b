// playlist_demo: the playlist control as the player dresses it, with a few dozen rows, so that
// it can be seen and used. Events are printed on stdout.
#include <QApplication>
#include <QCommandLineParser>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <string>

#include "platform/property_store.h"
#include "player/player_skin.h"
#include "playlist/qt_pictures.h"
#include "playlist/stdss_widget.h"
#include "ui/pictures.h"

namespace {

const char* const kTitles[] = {
    "晴天",        "Blue in Green",     "夜曲",           "So What",          "稻香",
    "Take Five",   "一路向北",          "Autumn Leaves — a rather long title that does not fit",
    "青花瓷",      "Round Midnight",    "七里香",         "Naima",            "东风破",
    "Giant Steps", "说好的幸福呢",      "My Favorite Things", "告白气球",   "Footprints",
    "安静",        "Moanin'",           "简单爱",         "Cantaloupe Island", "听妈妈的话",
    "Maiden Voyage", "彩虹",            "A Night in Tunisia", "以父之名",   "Song for My Father",
    "枫",          "Waltz for Debby",   "发如雪",         "Blue Bossa",
};

QString TimeText(int seconds) {
  return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QChar('0')).arg(seconds % 60, 2, 10, QChar('0'));
}

// The whole list's length: hours appear once there is a whole hour.
QString TotalText(int seconds) {
  if (seconds < 3600) return TimeText(seconds);
  return QStringLiteral("%1:%2").arg(seconds / 3600).arg(TimeText(seconds % 3600));
}

// One line per event on stdout, flushed at once so that a pipe sees it as it happens.
void Print(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("playlist_demo"));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "The playlist control dressed as the player dresses it, filled with a few dozen rows.\n"
      "Click, Shift/Ctrl-click, drag, double-click, Enter, Delete and the mouse wheel work on it;\n"
      "its events (PlayFile, Replay, RightClick, DurationChanged) are printed on stdout."));
  parser.addHelpOption();
  parser.process(app);

  // The player's stored property set holds only the played frame colour.
  platform::MemoryPropertyStore store{{"playedbordercolor", 0x0080FF}};

  QWidget window;
  window.setWindowTitle(QStringLiteral("playlist_demo"));
  auto* layout = new QVBoxLayout(&window);
  auto* status = new QLabel(&window);
  auto* list = new playlist::stdSSWidget(&window, &store);
  // The list takes whatever room the window gives it.
  list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  list->setMinimumSize(120, 60);
  list->SetSize(240, 300);
  layout->addWidget(list, 1);
  layout->addWidget(status);

  player::DressPlaylist(*list, playlist::ToPixels(ui::LoadPicture(QStringLiteral(":/playlist_skin.png"),
                                                                  ui::ScreenPixelRatio())));

  QString lastEvent;
  auto show = [list, status, &lastEvent](const QString& what) {
    if (!what.isEmpty()) lastEvent = what;
    status->setText(QStringLiteral("%1 rows, %2 in all — %3")
                        .arg(list->ListCount)
                        .arg(TotalText(list->SkupensSekund))
                        .arg(lastEvent));
  };
  auto event = [show](const QString& line) {
    Print(line);
    show(line);
  };
  list->PlayFile = [event](const std::string& fileName) {
    event(QStringLiteral("PlayFile ") + QString::fromStdString(fileName));
  };
  list->Replay = [event] { event(QStringLiteral("Replay")); };
  list->RightClick = [event] { event(QStringLiteral("RightClick")); };
  list->DurationChanged = [show, &window](std::int32_t total) {
    Print(QStringLiteral("DurationChanged %1").arg(total));
    // The total changes before the row count does (Remove raises it first), so the status
    // line is redrawn once the operation has finished.
    QTimer::singleShot(0, &window, [show] { show(QString()); });
  };

  int n = 0;
  for (const char* title : kTitles) {
    const int seconds = 150 + (n * 37) % 200;
    ++n;
    // A few dozen rows are far from every limit; a refusal would show as a shorter list.
    if (!list->AddItem(std::to_string(n), "", title, TimeText(seconds).toStdString(), seconds)) break;
  }
  // Start with rows 2 to 4 selected as a Shift range and row 6 marked as playing, without
  // asking anyone to play it.
  if (list->ListCount >= 6 && list->SelectIndex(2)) {
    list->NePredvajaj = true;
    list->Play(6);
    list->NePredvajaj = false;
    list->NanMultiSelect = 1;
    if (!list->MS(4)) Print(QStringLiteral("MS refused row 4"));
    list->NanMultiSelect = 0;
  }
  show(QStringLiteral("ready"));

  window.resize(window.sizeHint().expandedTo(QSize(260, 340)));
  window.show();
  list->setFocus();
  return app.exec();
}
