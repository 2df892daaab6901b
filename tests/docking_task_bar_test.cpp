// TaskBar driven tick by tick through a fake window: the hide and show steps at each edge,
// the pointer test, the left button, and the persisted properties.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "docking/task_bar.h"

namespace {

using docking::TaskBar;

// A window on a 1280-pixel-wide screen, in twips; the pointer in pixels.
struct FakeWindow : TaskBar::Host {
  int L = 3000, T = 3000, W = 3810, H = 2400, S = 1280 * 15;
  std::optional<Point> pointer = Point{640, 400};
  bool button = false;
  std::vector<bool> keptAbove;

  int Left() const override { return L; }
  int Top() const override { return T; }
  int Width() const override { return W; }
  int Height() const override { return H; }
  void SetLeft(int v) override { L = v; }
  void SetTop(int v) override { T = v; }
  int ScreenWidth() const override { return S; }
  std::optional<Point> PointerPosition() const override { return pointer; }
  bool LeftButtonDown() const override { return button; }
  void KeepAbove(bool above) override { keptAbove.push_back(above); }

  void PointerAway() { pointer = Point{640, 400}; }
};

struct Docked {
  FakeWindow window;
  TaskBar bar;
  Docked() { bar.ReadProperties(platform::MemoryPropertyStore{}, &window, true); }

  std::vector<int> LeftsOverTicks(int ticks) {
    std::vector<int> lefts;
    for (int i = 0; i < ticks; ++i) {
      bar.Tick();
      lefts.push_back(window.L);
    }
    return lefts;
  }
};

TEST(DockingTaskBarTest, WindowAtTheLeftEdgeHidesAndComesBackInEightTicksEach) {
  Docked d;
  d.window.L = 50;
  EXPECT_EQ(d.LeftsOverTicks(8), (std::vector<int>{-450, -950, -1450, -1950, -2450, -2950, -3450, -3760}));
  EXPECT_EQ(d.bar.DockSide(), TaskBar::kLeft);
  EXPECT_EQ(d.LeftsOverTicks(1), std::vector<int>{-3760});  // hidden, 50 twips left on screen

  d.window.pointer = TaskBar::Host::Point{0, 250};
  EXPECT_EQ(d.LeftsOverTicks(8), (std::vector<int>{-3260, -2760, -2260, -1760, -1260, -760, -260, -150}));
  EXPECT_EQ(d.LeftsOverTicks(3), (std::vector<int>{-150, -150, -150}));
  EXPECT_EQ(d.window.T, 3000);

  d.window.PointerAway();
  EXPECT_EQ(d.LeftsOverTicks(1), std::vector<int>{-650});  // at rest it still touches its edge
}

TEST(DockingTaskBarTest, HidingStartsOnlyCloseEnoughToTheLeftOrTopEdge) {
  Docked d;
  d.window.L = 100;
  d.bar.Tick();
  EXPECT_EQ(d.window.L, -400);
  d.window.L = 101;
  d.bar.Tick();
  EXPECT_EQ(d.window.L, 101);

  d.window.T = 200;
  d.bar.Tick();
  EXPECT_EQ(d.window.T, -300);
  d.window.T = 201;
  d.bar.Tick();
  EXPECT_EQ(d.window.T, 201);
  EXPECT_EQ(d.window.L, 101);
}

TEST(DockingTaskBarTest, WindowHiddenAtTheTopComesBackFromTheTopSevenPixelRows) {
  Docked d;
  d.window.T = 0;
  for (int i = 0; i < 6; ++i) d.bar.Tick();
  EXPECT_EQ(d.window.T, 50 - d.window.H);
  EXPECT_EQ(d.bar.DockSide(), TaskBar::kTop);

  d.window.pointer = TaskBar::Host::Point{250, 7};  // 105 twips: below the widened band
  d.bar.Tick();
  EXPECT_EQ(d.window.T, 50 - d.window.H);
  d.window.pointer = TaskBar::Host::Point{250, 6};
  d.bar.Tick();
  EXPECT_EQ(d.window.T, 50 - d.window.H + 500);
  for (int i = 0; i < 6; ++i) d.bar.Tick();
  EXPECT_EQ(d.window.T, 10);
  EXPECT_EQ(d.window.L, 3000);
}

TEST(DockingTaskBarTest, WindowAtTheRightEdgeLeavesThirtyTwipsAndComesBackPastTheEdge) {
  Docked d;
  d.window.L = d.window.S - d.window.W;
  for (int i = 0; i < 8; ++i) d.bar.Tick();
  EXPECT_EQ(d.window.L, d.window.S - 30);
  EXPECT_EQ(d.bar.DockSide(), TaskBar::kRight);

  d.window.pointer = TaskBar::Host::Point{1279, 250};
  d.bar.Tick();
  EXPECT_EQ(d.window.L, d.window.S - 530);
  for (int i = 0; i < 8; ++i) d.bar.Tick();
  EXPECT_EQ(d.window.L, d.window.S - d.window.W + 150);
}

TEST(DockingTaskBarTest, WindowInTheCornerStepsLeftAndUpInOneTick) {
  Docked d;
  d.window.L = 0;
  d.window.T = 0;
  d.bar.Tick();
  EXPECT_EQ(d.window.L, -500);
  EXPECT_EQ(d.window.T, -500);
  EXPECT_EQ(d.bar.DockSide(), TaskBar::kTop);
}

TEST(DockingTaskBarTest, HeldLeftButtonStopsHidingButNotShowing) {
  Docked d;
  d.window.L = 50;
  d.window.button = true;
  d.bar.Tick();
  EXPECT_EQ(d.window.L, 50);
  d.window.button = false;
  d.bar.Tick();
  EXPECT_EQ(d.window.L, -450);

  d.window.button = true;
  d.window.pointer = TaskBar::Host::Point{0, 250};
  d.bar.Tick();
  EXPECT_EQ(d.window.L, -150);
}

TEST(DockingTaskBarTest, WindowsAwayFromTheHidingEdgesNeverMove) {
  for (bool goBottom : {true, false}) {
    Docked d;
    d.bar.GoBottom(goBottom);
    for (auto [x, y] : {std::pair{640, 400}, std::pair{210, 210}}) {  // pointer away, then over it
      d.window.pointer = TaskBar::Host::Point{x, y};
      d.window.T = 3000;  // middle
      d.bar.Tick();
      EXPECT_EQ(d.window.L, 3000);
      EXPECT_EQ(d.window.T, 3000);
      d.window.T = 800 * 15 - d.window.H;  // on the bottom edge
      d.bar.Tick();
      EXPECT_EQ(d.window.L, 3000);
      EXPECT_EQ(d.window.T, 800 * 15 - d.window.H);
    }
  }
}

TEST(DockingTaskBarTest, ClearedEdgeFlagsKeepTheWindowAtThatEdge) {
  Docked d;
  d.bar.GoLeft(false);
  d.bar.GoTop(false);
  d.window.L = 0;
  d.window.T = 0;
  d.bar.Tick();
  EXPECT_EQ(d.window.L, 0);
  EXPECT_EQ(d.window.T, 0);
  d.bar.GoRight(false);
  d.window.L = d.window.S - d.window.W;
  d.bar.Tick();
  EXPECT_EQ(d.window.L, d.window.S - d.window.W);
}

TEST(DockingTaskBarTest, MoveLengthBelowOneStepsByTheDefaultAndIsKeptAsWritten) {
  for (int length : {0, -300}) {
    Docked d;
    d.bar.MoveLength(length);
    d.window.L = 50;
    d.bar.Tick();
    EXPECT_EQ(d.window.L, -450);
    d.window.pointer = TaskBar::Host::Point{0, 250};
    d.bar.Tick();
    EXPECT_EQ(d.window.L, -150);
    platform::MemoryPropertyStore store;
    d.bar.WriteProperties(store);
    EXPECT_EQ(store.Read("MoveLength"), length);
  }
}

TEST(DockingTaskBarTest, TickWithoutHostOrPointerDoesNothing) {
  TaskBar lone;
  lone.Tick();
  lone.HideStep();
  lone.ShowStep();
  EXPECT_FALSE(lone.TimerEnabled());

  Docked d;
  d.window.L = 50;
  d.window.pointer.reset();
  d.bar.Tick();
  EXPECT_EQ(d.window.L, 50);
}

TEST(DockingTaskBarTest, OnTopIsAppliedWhenWrittenAndWhenLoaded) {
  Docked d;
  EXPECT_EQ(d.window.keptAbove, std::vector<bool>{false});
  d.bar.OnTop(true);
  EXPECT_EQ(d.window.keptAbove, (std::vector<bool>{false, true}));

  // Loaded again when the host window is made again; the first host stays.
  FakeWindow other;
  d.bar.ReadProperties(platform::MemoryPropertyStore{{"OnTop", 1}}, &other, true);
  EXPECT_EQ(d.window.keptAbove, (std::vector<bool>{false, true, true}));
  EXPECT_TRUE(other.keptAbove.empty());
}

TEST(DockingTaskBarTest, PropertiesPersistUnderTheirNamesOnlyWhenNotDefault) {
  TaskBar bar;
  EXPECT_EQ(bar.Width(), 500);
  bar.Resize(1200, 90);
  EXPECT_EQ(bar.Height(), 500);

  platform::MemoryPropertyStore untouched;
  bar.WriteProperties(untouched);
  EXPECT_EQ(untouched.size(), 0);

  std::vector<std::string> changed;
  bar.onPropertyChanged = [&](const char* name) {
    changed.push_back(name);
    if (changed.back() == "MoveLength") {
      EXPECT_EQ(bar.MoveLength(), 120);  // stored before the store hears of it
    }
  };
  bar.OnTop(true);
  bar.GoBottom(false);
  bar.GoRight(false);
  bar.GoTop(false);
  bar.GoLeft(false);
  bar.MoveLength(120);
  EXPECT_EQ(changed,
            (std::vector<std::string>{"OnTop", "GoBottom", "GoRight", "GoTop", "GoLeft", "MoveLength"}));

  platform::MemoryPropertyStore store;
  bar.WriteProperties(store);
  using Entries = std::vector<std::pair<std::string, int>>;
  EXPECT_EQ(
      store.entries(),
      (Entries{
          {"MoveLength", 120}, {"GoLeft", 0}, {"GoTop", 0}, {"GoRight", 0}, {"GoBottom", 0}, {"OnTop", 1}}));

  TaskBar loaded;
  loaded.ReadProperties(platform::MemoryPropertyStore{{"movelength", 120}, {"GOTOP", 0}}, nullptr, false);
  EXPECT_EQ(loaded.MoveLength(), 120);
  EXPECT_FALSE(loaded.GoTop());
  EXPECT_TRUE(loaded.GoLeft());
  EXPECT_TRUE(loaded.GoRight());
  EXPECT_TRUE(loaded.GoBottom());
  EXPECT_FALSE(loaded.OnTop());
  EXPECT_FALSE(loaded.TimerEnabled());
}

}  // namespace
