// GradientHScroll: what it draws (the pixels of its surface), what it stores and reads back
// (the keys of a property store), and what the mouse does to it.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "packager/gradient_hscroll.h"
#include "packager/gradient_hscroll_widget.h"

namespace {

using Entries = std::vector<std::pair<std::string, int>>;
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
std::uint32_t CellCentre(const GradientHScroll& bar, int cell) {
  const Box box = bar.CellRect(cell);
  return PixelAt(bar, CentreX(box), CentreY(box));
}

struct Colour {
  int red, green, blue;
};

// A full bar of Max + 1 cells from `start` to `end`, without the marker.
void Dress(GradientHScroll& bar, Colour start, Colour end, int max) {
  bar.Resize(12);
  bar.BarVisible(false);
  bar.Step(6);
  bar.StartRed(start.red);
  bar.StartGreen(start.green);
  bar.StartBlue(start.blue);
  bar.EndRed(end.red);
  bar.EndGreen(end.green);
  bar.EndBlue(end.blue);
  bar.Max(max);
  bar.Value(max);
}

TEST(GradientHScrollTest, CellsRunFromTheStartColourToExactlyTheEndColourRoundedHalvesToEven) {
  GradientHScroll bar;
  Dress(bar, Colour{0, 0, 0}, Colour{1, 5, 7}, 2);
  EXPECT_EQ(bar.Width(), 3 * 6 + 2);
  EXPECT_EQ(CellCentre(bar, 0), Rgb(0, 0, 0));
  EXPECT_EQ(CellCentre(bar, 1), Rgb(0, 2, 4));  // 0.5, 2.5, 3.5
  EXPECT_EQ(CellCentre(bar, 2), Rgb(1, 5, 7));

  // Colours that do not divide evenly still end in exactly the end colour.
  Dress(bar, Colour{3, 200, 150}, Colour{250, 7, 150}, 49);
  EXPECT_EQ(CellCentre(bar, 0), Rgb(3, 200, 150));
  EXPECT_EQ(CellCentre(bar, 49), Rgb(250, 7, 150));

  // Max = Min: one cell, in the start colour.
  bar.Min(49);
  EXPECT_EQ(bar.Width(), 6 + 2);
  EXPECT_EQ(CellCentre(bar, 0), Rgb(3, 200, 150));
}

TEST(GradientHScrollTest, CellsPastValueShowTheBackground) {
  GradientHScroll bar;
  Dress(bar, Colour{0, 0, 150}, Colour{0, 0, 150}, 50);
  bar.BackGreen(233);
  bar.Value(10);
  EXPECT_EQ(CellCentre(bar, 10), Rgb(0, 0, 150));
  EXPECT_EQ(CellCentre(bar, 11), Rgb(0, 233, 0));
  bar.Value(0);  // Value at Min still draws its cell
  EXPECT_EQ(CellCentre(bar, 0), Rgb(0, 0, 150));
}

TEST(GradientHScrollTest, SettersClampToTheirLimitsAndDragValueAlong) {
  GradientHScroll bar;
  bar.StartRed(300);
  bar.EndGreen(-4);
  EXPECT_EQ(bar.StartRed(), 255);
  EXPECT_EQ(bar.EndGreen(), 0);
  bar.Step(0);
  EXPECT_EQ(bar.Step(), 1);
  bar.Step(5000);
  EXPECT_EQ(bar.Step(), 999);
  bar.Max(1500);
  EXPECT_EQ(bar.Max(), 999);
  bar.Min(-3);
  EXPECT_EQ(bar.Min(), 0);
  bar.Value(80);
  bar.Max(50);
  EXPECT_EQ(bar.Value(), 50) << "Max lowers Value";
  bar.Min(60);
  EXPECT_EQ(bar.Min(), 50) << "Min never passes Max";
  EXPECT_EQ(bar.Value(), 50);
  bar.Max(10);
  EXPECT_EQ(bar.Max(), 50) << "Max never drops below Min";
  bar.Max(70);
  bar.Value(5000);
  EXPECT_EQ(bar.Value(), 70);
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

// Every property with a value other than its default. The keys are the properties' names,
// except the outline flag's.
// clang-format off
struct Persisted {
  const char* key;
  int value;
  int (*read)(const GradientHScroll&);
};
#define PERSISTED(property, value) {#property, value, [](const GradientHScroll& b) -> int { return b.property(); }}
const Persisted kPersisted[] = {
    PERSISTED(StartRed, 7),    PERSISTED(StartGreen, 7), PERSISTED(StartBlue, 7),   PERSISTED(EndRed, 7),
    PERSISTED(EndGreen, 7),    PERSISTED(EndBlue, 7),    PERSISTED(Max, 500),       PERSISTED(Min, 7),
    PERSISTED(BoxRed, 7),      PERSISTED(BoxGreen, 7),   PERSISTED(BoxBlue, 7),     PERSISTED(BackRed, 7),
    PERSISTED(BackGreen, 7),   PERSISTED(BackBlue, 7),   PERSISTED(BarRed, 7),      PERSISTED(BarGreen, 7),
    PERSISTED(BarBlue, 7),     PERSISTED(BarVisible, 0), PERSISTED(BarSolid, 1),    PERSISTED(Step, 7),
    PERSISTED(ScrollEnabled, 0), PERSISTED(Value, 7),
    {"CellOutLined", 0, [](const GradientHScroll& b) -> int { return b.CellOutlined(); }},
};
#undef PERSISTED
// clang-format on

TEST(GradientHScrollTest, EachPropertyIsStoredUnderItsOwnKeyAndReadBackFromIt) {
  platform::MemoryPropertyStore untouched;
  GradientHScroll().WriteProperties(untouched);
  EXPECT_EQ(untouched.entries(), Entries{}) << "a new bar stores nothing";
  for (const Persisted& p : kPersisted) {
    GradientHScroll bar;
    bar.ReadProperties(platform::MemoryPropertyStore{{p.key, p.value}});
    EXPECT_EQ(p.read(bar), p.value) << p.key;
    platform::MemoryPropertyStore stored;
    bar.WriteProperties(stored);
    EXPECT_EQ(stored.entries(), (Entries{{p.key, p.value}}));
  }
}

TEST(GradientHScrollTest, SavingWritesOnlyChangedKeysInTheirOrder) {
  GradientHScroll bar;
  bar.Value(40);
  bar.CellOutlined(false);
  bar.EndRed(10);
  bar.BarSolid(true);
  platform::MemoryPropertyStore store;
  bar.WriteProperties(store);
  EXPECT_EQ(store.entries(), (Entries{{"EndRed", 10}, {"CellOutLined", 0}, {"BarSolid", 1}, {"Value", 40}}));
}

TEST(GradientHScrollTest, LoadingRedrawsOnceAtTheEndAndSetsMaxBeforeMin) {
  GradientHScroll bar;
  bar.Resize(15);
  int redraws = 0;
  bool loadingSeen = false;
  bar.onRedrawn = [&](int) { ++redraws; };
  bar.onPropertyChanged = [&](const char*) { loadingSeen = loadingSeen || bar.Loading(); };
  // Names are matched without regard to case.
  bar.ReadProperties(platform::MemoryPropertyStore{{"min", 200}, {"MAX", 300}, {"Step", 3}, {"value", 250}});
  EXPECT_TRUE(loadingSeen);
  EXPECT_FALSE(bar.Loading());
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(bar.Min(), 200);
  EXPECT_EQ(bar.Value(), 250);
  EXPECT_EQ(bar.Width(), 101 * 3 + 2);
  EXPECT_EQ(bar.Surface().width, bar.Width());
}

TEST(GradientHScrollTest, ValueIsLoadedWithinTheRangeLoadedBeforeIt) {
  GradientHScroll bar;
  bar.ReadProperties(platform::MemoryPropertyStore{{"Value", 300}, {"Max", 500}, {"Min", 250}});
  EXPECT_EQ(bar.Value(), 300);
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

TEST(GradientHScrollTest, NarrowCellsAreNeverOutlined) {
  for (int step : {1, 2}) {
    GradientHScroll bar;
    Dress(bar, Colour{200, 0, 0}, Colour{200, 0, 0}, 20);
    bar.BackRed(9);
    bar.Resize(10);
    bar.Step(step);
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
  Dress(bar, Colour{200, 0, 0}, Colour{200, 0, 0}, 3);
  bar.BackGreen(99);
  EXPECT_EQ(bar.CellRect(1), (Box{7, 1, 6, 10}));  // columns 7..12, rows 1..10
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
  EXPECT_NE(CellCentre(bar, 4), Rgb(1, 2, 3)) << "an outlined marker";
  bar.BarSolid(true);
  EXPECT_EQ(CellCentre(bar, 4), Rgb(1, 2, 3));
  const int w = bar.Width();
  EXPECT_EQ(w, 11 * 6 + 2);
  for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, 11}, {w - 1, 11}, {w / 2, 11}})
    EXPECT_EQ(PixelAt(bar, x, y), Rgb(40, 50, 60)) << x << "," << y;
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

TEST(GradientHScrollTest, TheWidgetIsAsWideAsTheBarAndTurnsClicksIntoValueAndChange) {
  GradientHScrollWidget widget;
  widget.Place(QPoint(152, 344), 15);
  widget.bar().Max(50);
  widget.bar().Step(10);
  EXPECT_EQ(widget.width(), 512);
  QSignalSpy changes(&widget, &GradientHScrollWidget::Change);
  QTest::mouseClick(&widget, Qt::LeftButton, {}, QPoint(31, 6));
  EXPECT_EQ(widget.bar().Value(), 3);
  EXPECT_EQ(changes.count(), 1);
  const QImage shown = widget.grab().toImage();
  EXPECT_EQ(shown.pixel(511, 7), qRgb(255, 255, 255)) << "the frame, painted";
  EXPECT_EQ(shown.pixel(100, 7), PixelAt(widget.bar(), 100, 7)) << "the widget shows what the bar drew";
}

}  // namespace
