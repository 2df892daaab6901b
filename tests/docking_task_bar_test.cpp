// TaskBar driven tick by tick through a fake window: the hide and show steps at each edge,
// the pointer test, the left button, and the persisted properties.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "docking/task_bar.h"

namespace {

using docking::TaskBar;
using Point = TaskBar::Host::Point;

// A 3810 x 2400 twip window in the middle of a 1280 x 800 pixel screen; positions in twips,
// the pointer in pixels, away from the window unless a test moves it.
struct Docked : TaskBar::Host {
  int L = 3000, T = 3000, W = 3810, H = 2400, S = 1280 * 15;
  std::optional<Point> pointer = Point{640, 400};
  bool button = false;
  std::vector<bool> keptAbove;
  TaskBar bar;

  Docked() { bar.ReadProperties(platform::MemoryPropertyStore{}, this, true); }
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

  void Ticks(int n) {
    for (int i = 0; i < n; ++i) bar.Tick();
  }
  std::vector<int> LeftsOverTicks(int n) {
    std::vector<int> lefts;
    for (int i = 0; i < n; ++i) {
      bar.Tick();
      lefts.push_back(L);
    }
    return lefts;
  }
};

TEST(DockingTaskBarTest, WindowAtTheLeftEdgeHidesAndComesBackInEightTicksEach) {
  Docked d;
  d.L = 50;
  EXPECT_EQ(d.LeftsOverTicks(9),
            (std::vector<int>{-450, -950, -1450, -1950, -2450, -2950, -3450, -3760, -3760}));
  EXPECT_EQ(d.bar.DockSide(), TaskBar::kLeft);

  d.pointer = Point{0, 250};
  EXPECT_EQ(d.LeftsOverTicks(10),
            (std::vector<int>{-3260, -2760, -2260, -1760, -1260, -760, -260, -150, -150, -150}));
  EXPECT_EQ(d.T, 3000);

  d.pointer = Point{640, 400};
  EXPECT_EQ(d.LeftsOverTicks(1), std::vector<int>{-650});  // at rest it still touches its edge
}

TEST(DockingTaskBarTest, HidingStartsOnlyCloseEnoughToTheLeftOrTopEdge) {
  Docked d;
  d.L = 100;
  d.Ticks(1);
  EXPECT_EQ(d.L, -400);
  d.L = 101;
  d.T = 200;
  d.Ticks(1);
  EXPECT_EQ(d.L, 101);
  EXPECT_EQ(d.T, -300);
  d.T = 201;
  d.Ticks(1);
  EXPECT_EQ(d.T, 201);
}

TEST(DockingTaskBarTest, WindowHiddenAtTheTopComesBackFromTheTopSevenPixelRows) {
  Docked d;
  d.T = 0;
  d.Ticks(6);
  EXPECT_EQ(d.T, 50 - d.H);
  EXPECT_EQ(d.bar.DockSide(), TaskBar::kTop);

  d.pointer = Point{250, 7};  // 105 twips: below the widened band
  d.Ticks(1);
  EXPECT_EQ(d.T, 50 - d.H);
  d.pointer = Point{250, 6};
  d.Ticks(1);
  EXPECT_EQ(d.T, 50 - d.H + 500);
  d.Ticks(6);
  EXPECT_EQ(d.T, 10);
  EXPECT_EQ(d.L, 3000);
}

TEST(DockingTaskBarTest, WindowAtTheRightEdgeLeavesThirtyTwipsAndComesBackPastTheEdge) {
  Docked d;
  d.L = d.S - d.W;
  d.Ticks(8);
  EXPECT_EQ(d.L, d.S - 30);
  EXPECT_EQ(d.bar.DockSide(), TaskBar::kRight);

  d.pointer = Point{1279, 250};
  d.Ticks(1);
  EXPECT_EQ(d.L, d.S - 530);
  d.Ticks(8);
  EXPECT_EQ(d.L, d.S - d.W + 150);
}

TEST(DockingTaskBarTest, WindowInTheCornerStepsLeftAndUpInOneTick) {
  Docked d;
  d.L = 0;
  d.T = 0;
  d.Ticks(1);
  EXPECT_EQ(d.L, -500);
  EXPECT_EQ(d.T, -500);
  EXPECT_EQ(d.bar.DockSide(), TaskBar::kTop);
}

TEST(DockingTaskBarTest, HeldLeftButtonStopsHidingButNotShowing) {
  Docked d;
  d.L = 50;
  d.button = true;
  d.Ticks(1);
  EXPECT_EQ(d.L, 50);
  d.button = false;
  d.Ticks(1);
  EXPECT_EQ(d.L, -450);
  d.button = true;
  d.pointer = Point{0, 250};
  d.Ticks(1);
  EXPECT_EQ(d.L, -150);
}

TEST(DockingTaskBarTest, WindowsAwayFromTheHidingEdgesNeverMove) {
  for (bool goBottom : {true, false}) {
    Docked d;
    d.bar.GoBottom(goBottom);
    for (Point pointer : {Point{640, 400}, Point{210, 210}, Point{210, 700}}) {
      d.pointer = pointer;
      for (int top : {3000, 800 * 15 - d.H}) {  // the middle, then on the bottom edge
        d.T = top;
        d.Ticks(2);
        EXPECT_EQ(d.L, 3000);
        EXPECT_EQ(d.T, top);
      }
    }
  }
}

TEST(DockingTaskBarTest, ClearedEdgeFlagsKeepTheWindowAtThoseEdges) {
  Docked d;
  d.bar.GoLeft(false);
  d.bar.GoTop(false);
  d.bar.GoRight(false);
  for (int left : {0, d.S - d.W}) {
    d.L = left;
    d.T = 0;
    d.Ticks(2);
    EXPECT_EQ(d.L, left);
    EXPECT_EQ(d.T, 0);
  }
}

TEST(DockingTaskBarTest, AWindowRestsExactlyWhereATickLeavesItAlone) {
  // One twip either side of the lines at the left (100), top (200) and right (S - 10) edges.
  const Docked probe;
  const int right = probe.S - 10 - probe.W;
  for (int left : {99, 100, 101, 102, right - 1, right, right + 1})
    for (int top : {199, 200, 201, 3000}) {
      Docked d;
      d.L = left;
      d.T = top;
      const bool resting = d.bar.Resting();
      d.Ticks(1);
      EXPECT_EQ(resting, d.L == left && d.T == top) << left << ", " << top;
    }
}

TEST(DockingTaskBarTest, BroughtOutAWindowStaysOnTheScreenWhileThePointerIsAway) {
  // Hidden at each edge and in the top-left corner, pixel-aligned as a real window would be.
  for (auto [left, top] : {std::pair{-3760, 3000}, {3000, -2350}, {1280 * 15 - 30, 3000}, {-3760, -2350}}) {
    Docked d;
    d.L = left;
    d.T = top;
    d.bar.BringOut();
    EXPECT_TRUE(d.bar.Resting()) << left << ", " << top;
    EXPECT_GE(d.L, 0);
    EXPECT_LE(d.L + d.W, d.S);
    EXPECT_GE(d.T, 0);
    // Rounded to pixels by the host, it still rests: ticks leave it where it is.
    d.L = (d.L + 7) / 15 * 15;
    d.T = (d.T + 7) / 15 * 15;
    const int L = d.L, T = d.T;
    d.Ticks(3);
    EXPECT_EQ(d.L, L);
    EXPECT_EQ(d.T, T);
  }
  Docked away;  // a window in the middle does not move
  away.bar.BringOut();
  EXPECT_EQ(away.L, 3000);
  EXPECT_EQ(away.T, 3000);
}

TEST(DockingTaskBarTest, MoveLengthBelowOneStepsByTheDefaultAndIsKeptAsWritten) {
  for (int length : {0, -300}) {
    Docked d;
    d.bar.MoveLength(length);
    d.L = 50;
    d.Ticks(1);
    EXPECT_EQ(d.L, -450);
    d.pointer = Point{0, 250};
    d.Ticks(1);
    EXPECT_EQ(d.L, -150);
    platform::MemoryPropertyStore store;
    d.bar.WriteProperties(store);
    EXPECT_EQ(store.Read("MoveLength"), length);
  }
}

TEST(DockingTaskBarTest, OnTopIsAppliedWhenWrittenAndWhenLoaded) {
  Docked d;
  d.bar.OnTop(true);
  // Loaded again when the host window is made again; the first host stays.
  Docked other;
  d.bar.ReadProperties(platform::MemoryPropertyStore{{"OnTop", 1}}, &other, true);
  EXPECT_EQ(d.keptAbove, (std::vector<bool>{false, true, true}));
  EXPECT_EQ(other.keptAbove, std::vector<bool>{false});
}

TEST(DockingTaskBarTest, PropertiesPersistUnderTheirNamesOnlyWhenNotDefault) {
  TaskBar bar;
  bar.Resize(1200, 90);
  EXPECT_EQ(bar.Width(), 500);
  EXPECT_EQ(bar.Height(), 500);
  platform::MemoryPropertyStore untouched;
  bar.WriteProperties(untouched);
  EXPECT_EQ(untouched.size(), 0);

  std::vector<std::string> changed;
  bar.onPropertyChanged = [&](const char* name) {
    changed.push_back(name);
    EXPECT_NE(bar.MoveLength(), 500);  // the value is stored before the store hears of it
  };
  bar.MoveLength(120);
  bar.OnTop(true);
  bar.GoBottom(false);
  bar.GoRight(false);
  bar.GoTop(false);
  bar.GoLeft(false);
  EXPECT_EQ(changed,
            (std::vector<std::string>{"MoveLength", "OnTop", "GoBottom", "GoRight", "GoTop", "GoLeft"}));

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
  EXPECT_TRUE(loaded.GoLeft() && loaded.GoRight() && loaded.GoBottom());
  EXPECT_FALSE(loaded.OnTop());
  EXPECT_FALSE(loaded.TimerEnabled());
}

}  // namespace
