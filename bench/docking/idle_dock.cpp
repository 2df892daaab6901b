// The CPU time an idle player-sized window costs over a while, with or without a TaskBar
// ticking on it. Run by bench/docking/run.sh, which keeps the pointer away from the window.
//   docking_idle_bench SECONDS [--dock | --dock-at-rest | --bare-timer]
// --dock-at-rest places the docked window away from every edge, where its timer sleeps.
// Prints one line: "cpu_seconds wall_seconds".
#include <sys/resource.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "task_bar_window.h"

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  platform::PreferX11ForWindowPlacement();
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
  const char* mode = argc > 2 ? argv[2] : "";
  const bool atRest = std::strcmp(mode, "--dock-at-rest") == 0;
  const bool dock = atRest || std::strcmp(mode, "--dock") == 0;

  QWidget window(nullptr, Qt::FramelessWindowHint);
  window.setFixedSize(254, 160);
  window.move(atRest ? 400 : 3, 200);
  window.show();
  std::unique_ptr<docking::TaskBarWindow> bar;
  if (dock) {
    bar = std::make_unique<docking::TaskBarWindow>(&window);
    if (!bar->active()) {
      std::fprintf(stderr, "the docking timer does not run here (no X11 display?)\n");
      return 1;
    }
  }

  // The least any 15 ms timer costs: one that does nothing.
  QTimer bare;
  if (std::strcmp(mode, "--bare-timer") == 0) {
    bare.setTimerType(Qt::PreciseTimer);
    bare.start(docking::TaskBarWindow::kTickMilliseconds);
  }

  // One second to slide out and settle, then the measured stretch.
  double cpu0 = 0;
  std::chrono::steady_clock::time_point wall0;
  QTimer::singleShot(1000, [&] {
    cpu0 = CpuSeconds();
    wall0 = std::chrono::steady_clock::now();
  });
  QTimer::singleShot(1000 + seconds * 1000, [&] {
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    std::printf("%.3f %.3f %d\n", CpuSeconds() - cpu0, wall, window.x());
    app.quit();
  });
  return app.exec();
}
