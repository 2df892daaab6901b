// TaskBarWindow on the offscreen platform: idle where windows cannot place themselves, and
// with a fake desktop, the rounding to whole pixels and moves only when a step asks for one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include "task_bar_window.h"

namespace {

struct FakeDesktop : platform::Desktop {
  platform::PointerState* pointer;
  explicit FakeDesktop(platform::PointerState* p) : pointer(p) {}
  std::optional<platform::PointerState> Pointer() override { return *pointer; }
  int Width() const override { return 1280; }
};

struct MoveCounter : QObject {
  int moves = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Move) ++moves;
    return false;
  }
};

TEST(DockingWindowTest, ControlStaysIdleWhereWindowsCannotPlaceThemselves) {
  QWidget window;
  window.setGeometry(0, 0, 254, 160);
  window.show();
  docking::TaskBarWindow dock(&window);
  EXPECT_FALSE(dock.active());
  dock.Tick();
  dock.bar().OnTop(true);
  EXPECT_EQ(window.pos(), QPoint(0, 0));
  EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(DockingWindowTest, WindowAtTheRightEdgeKeepsTwoPixelsAndMovesOnlyWhenAStepSaysSo) {
  QWidget window(nullptr, Qt::FramelessWindowHint);
  window.setGeometry(1026, 300, 254, 160);
  window.show();
  platform::PointerState pointer{600, 500, false};
  docking::TaskBarWindow dock(&window, nullptr, std::make_unique<FakeDesktop>(&pointer));
  EXPECT_TRUE(dock.active());
  dock.bar().MoveLength(1000);

  MoveCounter counter;
  window.installEventFilter(&counter);
  for (int i = 0; i < 4; ++i) dock.Tick();
  EXPECT_EQ(window.x(), 1278);  // S - 30 twips
  const int moves = counter.moves;
  for (int i = 0; i < 4; ++i) dock.Tick();
  EXPECT_EQ(counter.moves, moves);

  pointer = {1279, 310, false};
  for (int i = 0; i < 6; ++i) dock.Tick();
  EXPECT_EQ(window.x(), 1036);  // S - W + 150 twips
  EXPECT_EQ(window.y(), 300);

  const WId id = window.winId();
  dock.bar().OnTop(true);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.winId(), id);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
}

TEST(DockingWindowTest, TimerSleepsWhileTheWindowRestsAwayFromTheEdgesOrIsHidden) {
  QWidget window(nullptr, Qt::FramelessWindowHint);
  window.setGeometry(500, 300, 254, 160);
  window.show();
  platform::PointerState pointer{600, 350, false};
  docking::TaskBarWindow dock(&window, nullptr, std::make_unique<FakeDesktop>(&pointer));
  dock.Tick();
  EXPECT_TRUE(dock.active());
  EXPECT_FALSE(dock.ticking());

  window.move(2, 300);  // within reach of the left edge: the ticks slide it out
  EXPECT_TRUE(dock.ticking());
  pointer = {900, 700, false};
  for (int i = 0; i < 10; ++i) dock.Tick();
  EXPECT_EQ(window.x(), -251);
  EXPECT_TRUE(dock.SlidOut());
  EXPECT_TRUE(dock.ticking());  // the pointer may come back onto the strip

  window.hide();
  dock.Tick();
  EXPECT_FALSE(dock.ticking());
  window.show();
  EXPECT_TRUE(dock.ticking());
  pointer = {1, 350, false};
  for (int i = 0; i < 10; ++i) dock.Tick();
  EXPECT_EQ(window.x(), -10);
  EXPECT_FALSE(dock.SlidOut());
}

// A desktop that tells of pointer moves through a pipe, as the X server's raw events do.
struct TellingDesktop : FakeDesktop {
  int fds[2] = {-1, -1};
  explicit TellingDesktop(platform::PointerState* p) : FakeDesktop(p) { EXPECT_EQ(::pipe(fds), 0); }
  ~TellingDesktop() override {
    ::close(fds[0]);
    ::close(fds[1]);
  }
  int InputSocket() const override { return fds[0]; }
  void Moved() {
    char drained[16];
    EXPECT_EQ(::write(fds[1], "m", 1), 1);
    QCoreApplication::processEvents();
    EXPECT_GT(::read(fds[0], drained, sizeof drained), 0);
  }
};

TEST(DockingWindowTest, SlidOutTheTimerWaitsForThePointerToMoveOrEnter) {
  QWidget window(nullptr, Qt::FramelessWindowHint);
  window.setGeometry(2, 300, 254, 160);
  window.show();
  platform::PointerState pointer{900, 700, false};
  auto owned = std::make_unique<TellingDesktop>(&pointer);
  TellingDesktop* desktop = owned.get();
  docking::TaskBarWindow dock(&window, nullptr, std::move(owned));
  for (int i = 0; i < 10; ++i) dock.Tick();
  EXPECT_EQ(window.x(), -251);
  EXPECT_FALSE(dock.ticking());

  desktop->Moved();  // elsewhere: one tick finds nothing to do
  EXPECT_TRUE(dock.ticking());
  dock.Tick();
  EXPECT_FALSE(dock.ticking());

  // A warp onto the strip sends no raw event, but the window sees the pointer enter.
  pointer = {1, 350, false};
  QEvent enter(QEvent::Enter);
  QCoreApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(dock.ticking());
  for (int i = 0; i < 10; ++i) dock.Tick();
  EXPECT_EQ(window.x(), -10);
}

TEST(DockingWindowTest, WaylandSessionsWithXWaylandRunThroughX11UnlessTheUserChose) {
  const QByteArray saved[] = {qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
  const auto platformAfter = [](const char* wayland, const char* display, const char* user) {
    wayland ? qputenv("WAYLAND_DISPLAY", wayland) : qunsetenv("WAYLAND_DISPLAY");
    display ? qputenv("DISPLAY", display) : qunsetenv("DISPLAY");
    user ? qputenv("QT_QPA_PLATFORM", user) : qunsetenv("QT_QPA_PLATFORM");
    platform::PreferX11ForWindowPlacement();
    return qgetenv("QT_QPA_PLATFORM").toStdString();
  };
  EXPECT_EQ(platformAfter("wayland-0", ":0", nullptr), "xcb");
  EXPECT_EQ(platformAfter("wayland-0", ":0", "wayland"), "wayland");
  EXPECT_EQ(platformAfter("wayland-0", nullptr, nullptr), "");
  platformAfter(saved[0].isEmpty() ? nullptr : saved[0].constData(),
                saved[1].isEmpty() ? nullptr : saved[1].constData(), saved[2].constData());
}

}  // namespace
