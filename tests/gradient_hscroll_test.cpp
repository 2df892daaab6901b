// GradientHScroll: property limits, the persisted form, the mouse rules and the drawing,
// checked on the pixels of its surface.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "packager/gradient_hscroll.h"
#include "packager/gradient_hscroll_widget.h"

namespace {

using packager::Box;
using packager::GradientHScroll;
using packager::GradientHScrollWidget;

// Surface pixels are 0xAARRGGBB, opaque.
std::uint32_t Rgb(int r, int g, int b) {
  return 0xFF000000u | static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}
std::uint32_t PixelAt(const GradientHScroll& bar, int x, int y) {
  const platform::Pixels& surface = bar.Surface();
  return surface.argb.at(static_cast<std::size_t>(y) * surface.width + x);
}
// The middle pixel of a box; of two middle ones, the first.
int CentreX(const Box& box) {
  return box.left + (box.width - 1) / 2;
}
int CentreY(const Box& box) {
  return box.top + (box.height - 1) / 2;
}

// The packager's progress bar as its window sets it up.
void DressAsProgressBar(GradientHScroll& bar) {
  platform::MemoryPropertyStore store{{"Max", 50},       {"Value", 50},     {"Step", 10},        {"StartBlue", 150},
                            {"EndRed", 0},     {"EndGreen", 0},   {"EndBlue", 150},    {"BoxRed", 0},
                            {"BoxGreen", 0},   {"BoxBlue", 200},  {"BackRed", 235},    {"BackGreen", 233},
                            {"BackBlue", 237}, {"BarVisible", 0}, {"ScrollEnabled", 0}};
  bar.ReadProperties(store);
}

TEST(GradientHScrollTest, NewInstanceHasTheDefaults) {
  GradientHScroll bar;
  EXPECT_EQ(bar.StartRed(), 0);
  EXPECT_EQ(bar.EndBlue(), 255);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.BoxGreen(), 255);
  EXPECT_EQ(bar.BackRed(), 0);
  EXPECT_EQ(bar.BarBlue(), 255);
  EXPECT_TRUE(bar.BarVisible());
  EXPECT_FALSE(bar.BarSolid());
  EXPECT_EQ(bar.Step(), 1);
  EXPECT_EQ(bar.Value(), 100);
  EXPECT_TRUE(bar.ScrollEnabled());
  EXPECT_TRUE(bar.CellOutlined());
  EXPECT_FALSE(bar.Loading());
  EXPECT_EQ(bar.Width(), 103);
}

TEST(GradientHScrollTest, SettersClampToTheirLimits) {
  GradientHScroll bar;
  bar.StartRed(300);
  bar.EndGreen(-4);
  bar.BarBlue(256);
  EXPECT_EQ(bar.StartRed(), 255);
  EXPECT_EQ(bar.EndGreen(), 0);
  EXPECT_EQ(bar.BarBlue(), 255);
  bar.Step(0);
  EXPECT_EQ(bar.Step(), 1);
  bar.Step(5000);
  EXPECT_EQ(bar.Step(), 999);
  bar.Max(1500);
  EXPECT_EQ(bar.Max(), 999);
  bar.Min(-3);
  EXPECT_EQ(bar.Min(), 0);
  bar.Min(1200);
  EXPECT_EQ(bar.Min(), 999);
  bar.Max(10);
  EXPECT_EQ(bar.Max(), 999) << "Max never drops below Min";
  bar.Min(20);
  bar.Value(5);
  EXPECT_EQ(bar.Value(), 20);
  bar.Value(5000);
  EXPECT_EQ(bar.Value(), 999);
}

TEST(GradientHScrollTest, MovingMaxAndMinDragsValueAlong) {
  GradientHScroll bar;
  bar.Value(80);
  bar.Max(50);
  EXPECT_EQ(bar.Value(), 50);
  bar.Min(30);
  bar.Value(30);
  bar.Min(40);
  EXPECT_EQ(bar.Value(), 40);
  bar.Max(45);
  EXPECT_EQ(bar.Value(), 40) << "a Value inside the new range stays";
}

TEST(GradientHScrollTest, EverySetReportsThePropertyNameAndRedraws) {
  GradientHScroll bar;
  std::vector<std::string> names;
  int redraws = 0;
  bar.onPropertyChanged = [&](const char* name) { names.emplace_back(name); };
  bar.onRedrawn = [&](int) { ++redraws; };
  bar.CellOutlined(false);
  bar.Step(4);
  bar.BackGreen(9);
  EXPECT_EQ(names, (std::vector<std::string>{"CellOutlined", "Step", "BackGreen"}));
  EXPECT_EQ(redraws, 3);
}

TEST(GradientHScrollTest, LoadingSetsEveryKeyAndRedrawsOnceAtTheEnd) {
  GradientHScroll bar;
  bar.Resize(15);
  int redraws = 0;
  bool loadingSeen = false;
  bar.onRedrawn = [&](int) { ++redraws; };
  bar.onPropertyChanged = [&](const char*) { loadingSeen = loadingSeen || bar.Loading(); };
  // Names are matched without regard to case.
  platform::MemoryPropertyStore store{{"startred", 12}, {"CELLOUTLINED", 0}, {"max", 20},
                            {"Step", 3},      {"Value", 7},        {"barvisible", 0}};
  bar.ReadProperties(store);
  EXPECT_TRUE(loadingSeen);
  EXPECT_FALSE(bar.Loading());
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(bar.StartRed(), 12);
  EXPECT_FALSE(bar.CellOutlined());
  EXPECT_EQ(bar.Max(), 20);
  EXPECT_EQ(bar.Step(), 3);
  EXPECT_EQ(bar.Value(), 7);
  EXPECT_FALSE(bar.BarVisible());
  EXPECT_EQ(bar.EndRed(), 255) << "a missing key gives its default";
  EXPECT_EQ(bar.Width(), 21 * 3 + 2);
}

TEST(GradientHScrollTest, ValueIsLoadedWithinTheRangeLoadedBeforeIt) {
  GradientHScroll bar;
  bar.ReadProperties(platform::MemoryPropertyStore{{"Value", 300}, {"Max", 500}, {"Min", 250}});
  EXPECT_EQ(bar.Value(), 300);
}

TEST(GradientHScrollTest, SavingWritesOnlyChangedKeysInTheirOrder) {
  GradientHScroll bar;
  platform::MemoryPropertyStore untouched;
  bar.WriteProperties(untouched);
  EXPECT_TRUE(untouched.entries().empty());

  bar.Value(40);
  bar.CellOutlined(false);
  bar.EndRed(10);
  bar.BarSolid(true);
  platform::MemoryPropertyStore store;
  bar.WriteProperties(store);
  std::vector<std::string> keys;
  for (const auto& entry : store.entries()) keys.push_back(entry.first);
  EXPECT_EQ(keys, (std::vector<std::string>{"EndRed", "CellOutLined", "BarSolid", "Value"}));

  GradientHScroll copy;
  copy.ReadProperties(store);
  EXPECT_EQ(copy.Value(), 40);
  EXPECT_FALSE(copy.CellOutlined());
  EXPECT_EQ(copy.EndRed(), 10);
  EXPECT_TRUE(copy.BarSolid());
}

TEST(GradientHScrollTest, ClicksPickTheNearestCellWithHalvesToEven) {
  GradientHScroll bar;
  bar.Max(50);
  bar.Min(5);
  bar.Step(10);
  int changes = 0;
  bar.Change = [&] { ++changes; };
  bar.MouseDown(6);
  EXPECT_EQ(bar.Value(), 6);
  bar.MouseDown(5);
  EXPECT_EQ(bar.Value(), 5);
  bar.MouseDown(15);  // 1.5 goes to 2
  EXPECT_EQ(bar.Value(), 7);
  bar.MouseDown(25);  // 2.5 goes to 2
  EXPECT_EQ(bar.Value(), 7);
  bar.MouseDown(4.6);  // 5 pixels, 0.5 goes to 0
  EXPECT_EQ(bar.Value(), 5);
  bar.MouseDown(9000);
  EXPECT_EQ(bar.Value(), 50);
  EXPECT_EQ(changes, 6);

  bar.Value(20);
  EXPECT_EQ(changes, 6) << "setting Value from code raises no Change";
}

TEST(GradientHScrollTest, DraggingMovesValueOnlyWithTheLeftButtonAlone) {
  GradientHScroll bar;
  bar.Step(10);
  int changes = 0;
  bar.Change = [&] { ++changes; };
  bar.MouseMove(300, false);
  EXPECT_EQ(bar.Value(), 100);
  bar.MouseMove(300, true);
  EXPECT_EQ(bar.Value(), 30);
  bar.MouseMove(-80, true);
  EXPECT_EQ(bar.Value(), 0);
  EXPECT_EQ(changes, 2);
}

TEST(GradientHScrollTest, MouseDoesNothingWhenScrollingIsDisabled) {
  GradientHScroll bar;
  bar.ScrollEnabled(false);
  int changes = 0;
  bar.Change = [&] { ++changes; };
  bar.MouseDown(10);
  bar.MouseMove(10, true);
  EXPECT_EQ(bar.Value(), 100);
  EXPECT_EQ(changes, 0);
}

TEST(GradientHScrollTest, SingleCellRangeDrawsTheStartColour) {
  GradientHScroll bar;
  bar.Resize(12);
  bar.StartRed(10);
  bar.StartGreen(20);
  bar.StartBlue(30);
  bar.Step(8);
  bar.BarVisible(false);
  bar.Min(0);
  bar.Max(0);
  EXPECT_EQ(bar.Width(), 10);
  ASSERT_EQ(bar.Surface().width, 10);
  EXPECT_EQ(PixelAt(bar, 4, 5), Rgb(10, 20, 30));
}

TEST(GradientHScrollTest, ValueAtMaxEndsInExactlyTheEndColour) {
  GradientHScroll bar;
  bar.Resize(15);
  DressAsProgressBar(bar);
  // From (0, 0, 150) to (0, 0, 150) would be flat; pick colours that do not divide evenly.
  bar.StartRed(3);
  bar.EndRed(250);
  bar.StartGreen(200);
  bar.EndGreen(7);
  bar.Max(49);
  bar.Value(49);
  const int last = bar.Value() - bar.Min();
  Box cell = bar.CellRect(last);
  EXPECT_EQ(PixelAt(bar, CentreX(cell), CentreY(cell)), Rgb(250, 7, 150));
  Box first = bar.CellRect(0);
  EXPECT_EQ(PixelAt(bar, CentreX(first), CentreY(first)), Rgb(3, 200, 150));
}

TEST(GradientHScrollTest, CellsPastValueShowTheBackground) {
  GradientHScroll bar;
  bar.Resize(15);
  DressAsProgressBar(bar);
  bar.Value(10);
  Box beyond = bar.CellRect(11);
  EXPECT_EQ(PixelAt(bar, CentreX(beyond), CentreY(beyond)), Rgb(235, 233, 237));
  Box drawn = bar.CellRect(10);
  EXPECT_NE(PixelAt(bar, CentreX(drawn), CentreY(drawn)), Rgb(235, 233, 237));
}

TEST(GradientHScrollTest, NarrowCellsAreNeverOutlined) {
  for (int step : {1, 2}) {
    GradientHScroll bar;
    bar.Resize(10);
    bar.BarVisible(false);
    bar.BackRed(9);
    bar.StartRed(200);
    bar.EndRed(200);
    bar.EndGreen(0);
    bar.EndBlue(0);
    bar.Max(20);
    bar.Step(step);
    bar.Value(20);
    ASSERT_TRUE(bar.CellOutlined());
    // Every column of every cell carries the cell colour on the middle row and the top row.
    for (int x = 1; x <= 21 * step; ++x) {
      EXPECT_EQ(PixelAt(bar, x, 5), Rgb(200, 0, 0)) << "step " << step << " column " << x;
      EXPECT_EQ(PixelAt(bar, x, 1), Rgb(200, 0, 0)) << "step " << step << " column " << x;
    }
  }
}

TEST(GradientHScrollTest, WideCellsGetBackgroundOutlinesUnlessSwitchedOff) {
  GradientHScroll bar;
  bar.Resize(12);
  bar.BarVisible(false);
  bar.BackGreen(99);
  bar.StartRed(200);
  bar.EndRed(200);
  bar.EndGreen(0);
  bar.EndBlue(0);
  bar.Max(3);
  bar.Step(6);
  bar.Value(3);
  Box cell = bar.CellRect(1);  // columns 7..12, rows 1..10
  EXPECT_EQ(cell, (Box{7, 1, 6, 10}));
  EXPECT_EQ(PixelAt(bar, 7, 5), Rgb(0, 99, 0));
  EXPECT_EQ(PixelAt(bar, 12, 5), Rgb(0, 99, 0));
  EXPECT_EQ(PixelAt(bar, 9, 1), Rgb(0, 99, 0));
  EXPECT_EQ(PixelAt(bar, 9, 5), Rgb(200, 0, 0));
  bar.CellOutlined(false);
  EXPECT_EQ(PixelAt(bar, 7, 5), Rgb(200, 0, 0));
}

TEST(GradientHScrollTest, MarkerAndFrameAreDrawnLast) {
  GradientHScroll bar;
  bar.Resize(12);
  bar.Max(10);
  bar.Step(6);
  bar.Value(4);
  bar.BarRed(1);
  bar.BarGreen(2);
  bar.BarBlue(3);
  bar.BoxRed(40);
  bar.BoxGreen(50);
  bar.BoxBlue(60);
  Box cell = bar.CellRect(4);
  EXPECT_EQ(PixelAt(bar, cell.left, CentreY(cell)), Rgb(1, 2, 3));
  EXPECT_NE(PixelAt(bar, CentreX(cell), CentreY(cell)), Rgb(1, 2, 3)) << "an outlined marker";
  bar.BarSolid(true);
  EXPECT_EQ(PixelAt(bar, CentreX(cell), CentreY(cell)), Rgb(1, 2, 3));
  const int w = bar.Width();
  EXPECT_EQ(w, 11 * 6 + 2);
  for (QPoint p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, 11), QPoint(w - 1, 11), QPoint(w / 2, 11)})
    EXPECT_EQ(PixelAt(bar, p.x(), p.y()), Rgb(40, 50, 60)) << p.x() << "," << p.y();
}

TEST(GradientHScrollTest, HugeRangesAreCutAtTheWidestSurface) {
  GradientHScroll bar;
  bar.Resize(4);
  bar.Max(999);
  bar.Step(999);
  bar.Value(999);
  EXPECT_EQ(bar.Width(), GradientHScroll::kMaxWidth);
  EXPECT_EQ(bar.Surface().width, GradientHScroll::kMaxWidth);
}

TEST(GradientHScrollTest, PackagerProgressBarIs512PixelsWide) {
  GradientHScrollWidget widget;
  widget.Place(QPoint(2280 / 15, 5160 / 15), 225 / 15);
  DressAsProgressBar(widget.bar());
  EXPECT_EQ(widget.bar().Width(), 512);
  EXPECT_EQ(widget.width(), 512);
  EXPECT_EQ(widget.bar().Surface().width, 512);
  EXPECT_EQ(widget.bar().Surface().height, 15);
  // All fifty-one cells drawn in blue 150 with background outlines, the frame in box blue.
  EXPECT_EQ(PixelAt(widget.bar(), 505, 7), Rgb(0, 0, 150));
  EXPECT_EQ(PixelAt(widget.bar(), 501, 7), Rgb(235, 233, 237));
  EXPECT_EQ(PixelAt(widget.bar(), 511, 7), Rgb(0, 0, 200));
  EXPECT_EQ(widget.grab().toImage().pixel(505, 7), qRgb(0, 0, 150)) << "the widget shows what the bar drew";
}

TEST(GradientHScrollTest, WidgetTurnsClicksIntoValueAndChange) {
  GradientHScrollWidget widget;
  widget.resize(100, 12);
  widget.bar().Max(20);
  widget.bar().Step(5);
  QSignalSpy changes(&widget, &GradientHScrollWidget::Change);
  QTest::mouseClick(&widget, Qt::LeftButton, {}, QPoint(31, 6));
  EXPECT_EQ(widget.bar().Value(), 6);
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(widget.width(), 21 * 5 + 2);
}

}  // namespace
