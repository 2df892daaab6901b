// playlist_demo: the playlist control as the player dresses it, with a few dozen rows, so that
// it can be seen and used. Events are printed on stdout.
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

#include "platform/property_store.h"
#include "player_skin.h"
#include "playlist/stdss_widget.h"

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

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);

  // The player's stored property set holds only the played frame colour.
  platform::MemoryPropertyStore store{{"playedbordercolor", 0x0080FF}};

  QWidget window;
  window.setWindowTitle(QStringLiteral("playlist_demo"));
  auto* layout = new QVBoxLayout(&window);
  auto* status = new QLabel(&window);
  auto* list = new playlist::stdSSWidget(&window, &store);
  list->setFixedSize(240, 300);
  list->SetSize(240, 300);
  layout->addWidget(list);
  layout->addWidget(status);

  player::DressPlaylist(*list, QImage(QStringLiteral(":/playlist_skin.png")));

  auto show = [list, status](const QString& what) {
    status->setText(QStringLiteral("%1 rows, %2 in all — %3").arg(list->ListCount).arg(TimeText(list->SkupensSekund)).arg(what));
  };
  list->PlayFile = [show](const QString& fileName) {
    std::printf("PlayFile %s\n", qPrintable(fileName));
    std::fflush(stdout);
    show(QStringLiteral("PlayFile ") + fileName);
  };
  list->Replay = [show] { std::printf("Replay\n"); show(QStringLiteral("Replay")); };
  list->RightClick = [show] { std::printf("RightClick\n"); show(QStringLiteral("RightClick")); };
  list->DurationChanged = [](std::int32_t total) { std::printf("DurationChanged %d\n", total); };

  int n = 0;
  for (const char* title : kTitles) {
    const int seconds = 150 + (n * 37) % 200;
    ++n;
    // A few dozen rows are far from every limit; a refusal would show as a shorter list.
    if (!list->AddItem(QString::number(n), QString(), QString::fromUtf8(title), TimeText(seconds), seconds))
      break;
  }
  // Start with rows 2 to 4 selected as a Shift range and row 6 marked as playing, without
  // asking anyone to play it.
  if (list->ListCount >= 6 && list->SelectIndex(2)) {
    list->NePredvajaj = true;
    list->Play(6);
    list->NePredvajaj = false;
    list->NanMultiSelect = 1;
    if (!list->MS(4)) std::printf("MS refused row 4\n");
    list->NanMultiSelect = 0;
  }
  show(QStringLiteral("ready"));

  window.show();
  list->setFocus();
  return app.exec();
}
