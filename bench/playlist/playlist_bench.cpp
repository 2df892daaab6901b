// Times the large-list paths of the playlist control: 5,000 rows added one by one, a Shift
// range over all of them, and removing the first of 5,000 rows. Each is printed with its
// budget and with its ratio to a reference measured in the same run: measuring the same
// titles with QFontMetrics, the least work any list showing them has to do.
#include <QFontMetrics>
#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <string>

#include "player/player_skin.h"
#include "playlist/qt_pictures.h"
#include "playlist/qt_text_measure.h"
#include "playlist/stdss.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

QString Title(int i) { return QStringLiteral("Song number %1 of the long list").arg(i); }
std::string TitleText(int i) { return "Song number " + std::to_string(i) + " of the long list"; }

constexpr int kRows = 5000;

platform::Status Fill(playlist::stdSS& list) {
  for (int i = 1; i <= kRows; ++i) TRY(list.AddItem(std::to_string(i), "", TitleText(i), "03:00", 180));
  return {};
}

// A refused operation means the timings below measure nothing.
int Refused() {
  std::fprintf(stderr, "playlist_bench: the playlist refused an operation\n");
  return 1;
}

void Report(const char* what, double ms, double budgetMs, double referenceMs) {
  std::printf("%-36s %9.2f ms   budget %6.0f ms (%5.2fx of it)   %7.1fx the reference\n", what, ms, budgetMs,
              ms / budgetMs, referenceMs > 0 ? ms / referenceMs : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  // Reference: measuring every title once.
  QFontMetrics metrics(QGuiApplication::font());
  auto start = Clock::now();
  int sum = 0;
  for (int i = 1; i <= kRows; ++i) sum += metrics.horizontalAdvance(Title(i + kRows));
  const double referenceMs = MsSince(start);
  std::printf("reference: %d titles measured in %.2f ms (width sum %d)\n", kRows, referenceMs, sum);

  playlist::stdSS list(playlist::QtTextMeasure());
  list.ControlResized(240, 300);
  player::DressPlaylist(list, playlist::ToPixels(QImage(91, 41, QImage::Format_RGB888)));

  start = Clock::now();
  if (!Fill(list)) return Refused();
  Report("add 5000 rows one by one", MsSince(start), 1000, referenceMs);

  if (!list.SelectIndex(1)) return Refused();
  list.NanMultiSelect = 1;
  start = Clock::now();
  if (!list.MS(kRows)) return Refused();
  Report("Shift range over 5000 rows", MsSince(start), 50, referenceMs);
  list.NanMultiSelect = 0;
  list.NoMS();

  playlist::stdSS fresh(playlist::QtTextMeasure());
  fresh.ControlResized(240, 300);
  player::DressPlaylist(fresh, playlist::ToPixels(QImage(91, 41, QImage::Format_RGB888)));
  if (!Fill(fresh)) return Refused();
  start = Clock::now();
  if (!fresh.Remove(1)) return Refused();
  Report("remove the first of 5000 rows", MsSince(start), 50, referenceMs);
  return 0;
}
