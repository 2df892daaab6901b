// The row model: adding, removing, clearing, multi-delete, refreshing and reading rows back.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "playlist/qt_text_measure.h"
#include "playlist_test_support.h"
#include "ui/fonts.h"

namespace {

using namespace playlist_test;
using playlist::stdSS;

TEST(PlaylistRows, NumbersHaveTwoDigitsUpToNineAndThePlainNumberFromTen) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 100);
  AddSongs(c, 100);
  EXPECT_EQ(c.row(1).lblevilka.text, "01. ");
  EXPECT_EQ(c.row(9).lblevilka.text, "09. ");
  EXPECT_EQ(c.row(10).lblevilka.text, "10. ");
  EXPECT_EQ(c.row(11).lblevilka.text, "11. ");
  EXPECT_EQ(c.row(100).lblevilka.text, "100. ");
  EXPECT_EQ(c.ListCount, 100);
}

TEST(PlaylistRows, RowElementsSitOnTheFourteenPixelPitchAcrossTheCanvas) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 3);
  const int W = c.elements().PicOzadje.box.width;
  ASSERT_EQ(W, 200);
  EXPECT_EQ(c.RowPitch(), 14);
  const playlist::Row& r = c.row(3);
  EXPECT_EQ(r.lblevilka.box.left, 2);
  EXPECT_EQ(r.lblevilka.box.top, 29);
  EXPECT_EQ(r.lblIme.box.left, r.lblevilka.box.right());
  EXPECT_EQ(r.lbls.box.left, W - 30 + 1);
  EXPECT_EQ(r.lbls.box.width, 30);
  EXPECT_EQ(r.shpOzadje.box, (playlist::Box{0, 28, W, 15}));
  EXPECT_EQ(r.shps.box, (playlist::Box{r.lbls.box.left - 1, 28, W - (r.lbls.box.left - 1) + 1, 15}));
  EXPECT_EQ(r.lblIzbor.box, (playlist::Box{0, 28, W, 14}));
  EXPECT_EQ(r.ta.y1, 42);
  EXPECT_EQ(r.ta.x2, r.shps.box.left);
  EXPECT_EQ(r.tas.x2, W - 1);
  EXPECT_FALSE(r.taRob.visible);
  EXPECT_FALSE(r.shpOzadje.visible);
  EXPECT_TRUE(r.lblIme.visible && r.lblevilka.visible && r.lbls.visible && r.shps.visible);
  EXPECT_EQ(c.elements().PicOzadje.box.height, 14 * 3 + 1);
  EXPECT_TRUE(c.elements().PicOzadje.visible);
}

TEST(PlaylistRows, LabelWidthsComeFromTheFontMetricsOfTheirFont) {
  stdSS c{playlist::QtTextMeasure()};
  c.ControlResized(200, 300);
  AddSong(c, 1, "晴天 Sunny Day");
  for (int k = 2; k <= 120; ++k) AddSong(c, k);
  for (int i : {1, 9, 10, 99, 100, 120}) {
    const playlist::TextElement& number = c.row(i).lblevilka;
    const QFont font = ui::ProductFont(QString::fromStdString(number.style.fontName), number.fontPixelSize);
    EXPECT_EQ(number.box.width, QFontMetrics(font).horizontalAdvance(QString::fromStdString(number.text)))
        << i;
  }
  const playlist::TextElement& title = c.row(1).lblIme;
  const QFont font = ui::ProductFont(QString::fromStdString(title.style.fontName), title.fontPixelSize);
  EXPECT_EQ(title.box.width, QFontMetrics(font).horizontalAdvance(QString::fromStdString(title.text)));
  EXPECT_GT(title.box.width, 0);
}

TEST(PlaylistRows, AnEmptyTitleShowsNoEllipsisAndALongOneShowsItLeftOfTheTimeColumn) {
  stdSS c{kFixedWidths};
  c.ControlResized(120, 300);
  AddSong(c, 1, " ");
  EXPECT_TRUE(c.RefreshTitle("", 1));
  AddSong(c, 2, "A title far too long to fit in front of the time column");
  EXPECT_FALSE(c.row(1).lblSpot.visible);
  const playlist::Row& r = c.row(2);
  EXPECT_TRUE(r.lblSpot.visible);
  EXPECT_EQ(r.lblSpot.text, "...");
  EXPECT_EQ(r.lblSpot.box.right(), r.lbls.box.left);
}

TEST(PlaylistRows, AddingRaisesDurationChangedOnceWithTheNewTotalBeforeTheRowHasItsTexts) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  Strings titlesSeen;
  std::vector<std::int32_t> totals;
  c.DurationChanged = [&](std::int32_t total) {
    totals.push_back(total);
    titlesSeen.push_back(c.row(c.ListCount).lblIme.text);
  };
  AddSong(c, 1);
  AddSong(c, 2);
  EXPECT_EQ(totals, (std::vector<std::int32_t>{10, 30}));
  EXPECT_EQ(titlesSeen, (Strings{"", ""}));
  EXPECT_EQ(c.SkupensSekund, 30);
}

TEST(PlaylistRows, AnAddThatWouldOverflowTheTotalTimeFailsAndChangesNothing) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  EXPECT_TRUE(c.AddItem("a", "", "a", "", 2'000'000'000));
  auto status = c.AddItem("b", "", "b", "", 2'000'000'000);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(c.ListCount, 1);
  EXPECT_EQ(c.SkupensSekund, 2'000'000'000);
}

TEST(PlaylistRows, RemovingTheMiddleOfThreeMovesTheLastSongUpWithItsDataAndMark) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 3);
  EventLog log;
  log.Attach(c);
  c.NanMultiSelect = 2;
  EXPECT_TRUE(c.MS(3));  // row 3 carries the mark
  ASSERT_TRUE(c.Remove(2).ok());
  EXPECT_EQ(c.ListCount, 2);
  EXPECT_EQ(c.row(1).lblevilka.text, "01. ");
  EXPECT_EQ(c.row(2).lblevilka.text, "02. ");
  EXPECT_EQ(c.row(2).lblIme.text, "Song 3");
  EXPECT_EQ(c.row(2).lbls.text, "0:30");
  EXPECT_EQ(c.row(2).FileName, "file 3");
  EXPECT_EQ(c.row(2).FileName2, "second 3");
  EXPECT_EQ(c.row(2).lblIzbor.tag, "I");
  EXPECT_TRUE(c.row(2).shpOzadje.visible);  // its look went with it
  EXPECT_EQ(c.SkupensSekund, 40);
  EXPECT_EQ(log.durations, (std::vector<std::int32_t>{40}));
  EXPECT_EQ(c.elements().PicOzadje.box.height, 29);
  EXPECT_EQ(c.Selected, 0);
}

TEST(PlaylistRows, RemovingThePlayingRowClearsThePlayingMark) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 4);
  c.Play(3);
  ASSERT_TRUE(c.elements().shpsB.visible);
  EventLog log;
  log.Attach(c);
  EXPECT_TRUE(c.Remove(3));
  EXPECT_EQ(c.Playing, 0);
  EXPECT_FALSE(c.elements().shpsB.visible);
  // The song that moved into the row does not look played.
  EXPECT_EQ(c.row(3).lblIme.style, c.row(0).lblIme.style);
  EXPECT_TRUE(log.playFile.empty());
  EXPECT_EQ(log.replay, 0);
}

TEST(PlaylistRows, RemovingARowAboveThePlayingRowMovesTheMarkUpWithoutPlaying) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 5);
  c.Play(4);
  EventLog log;
  log.Attach(c);
  EXPECT_TRUE(c.Remove(1));
  EXPECT_EQ(c.Playing, 3);
  EXPECT_EQ(c.row(3).lblIme.text, "Song 4");
  EXPECT_EQ(c.elements().shpsB.box.top, 28);
  EXPECT_EQ(c.row(3).lblIme.style, c.elements().lblImeB.style);
  EXPECT_EQ(c.row(4).lblIme.style, c.row(0).lblIme.style);
  EXPECT_TRUE(log.playFile.empty());
  EXPECT_EQ(log.replay, 0);
  EXPECT_FALSE(c.NePredvajaj);
}

TEST(PlaylistRows, RemovingTheOnlyRowHidesTheCanvas) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 1);
  EXPECT_TRUE(c.Remove(1));
  EXPECT_EQ(c.ListCount, 0);
  EXPECT_FALSE(c.elements().PicOzadje.visible);
  EXPECT_EQ(c.SkupensSekund, 0);
}

TEST(PlaylistRows, RemoveBelowOneDoesNothingAndPastTheEndFailsWithoutChanges) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 2);
  EventLog log;
  log.Attach(c);
  EXPECT_TRUE(c.Remove(0).ok());
  EXPECT_TRUE(c.Remove(-3).ok());
  EXPECT_FALSE(c.Remove(3).ok());
  EXPECT_EQ(c.ListCount, 2);
  EXPECT_TRUE(log.durations.empty());
  EXPECT_FALSE(c.RefreshTitle("x", 3).ok());
  EXPECT_FALSE(c.RefreshTime(1, "x", 3).ok());
  EXPECT_FALSE(c.GetData(3).ok());
  EXPECT_FALSE(c.AddFileName2("x", 3).ok());
}

TEST(PlaylistRows, RemovingARowScrolledIntoViewKeepsNoEmptySpaceBelowTheLastRow) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 70);
  AddSongs(c, 10);
  EXPECT_TRUE(c.SelectIndex(10));
  ASSERT_EQ(c.elements().PicOzadje.box.top, 70 - 141);
  EXPECT_TRUE(c.Remove(10));
  EXPECT_EQ(c.elements().PicOzadje.box.top, 70 - 127);
}

TEST(PlaylistRows, ClearEmptiesTheListTheTotalAndTheOutputFields) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 3);
  EXPECT_TRUE(c.SelectIndex(2));
  c.Play(1);
  EXPECT_TRUE(c.GetData(2));
  EventLog log;
  log.Attach(c);
  c.Clear();
  EXPECT_EQ(c.ListCount, 0);
  EXPECT_EQ(c.Selected, 0);
  EXPECT_EQ(c.Playing, 0);
  EXPECT_EQ(c.SkupensSekund, 0);
  EXPECT_EQ(log.durations, (std::vector<std::int32_t>{0}));
  EXPECT_EQ(c.elements().rows.size(), 1u);
  EXPECT_FALSE(c.elements().PicOzadje.visible);
  EXPECT_FALSE(c.elements().shpsB.visible);
  EXPECT_EQ(c.gFileName, "");
  EXPECT_EQ(c.gTitle, "");
  EXPECT_EQ(c.gTime, "0");
  EXPECT_EQ(c.gTimeInSeconds, 0);
  AddSong(c, 7);
  EXPECT_EQ(c.row(1).lblevilka.text, "01. ");
}

TEST(PlaylistRows, GetDataCopiesARowAndIndexZeroEmptiesTheFields) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 2);
  ASSERT_TRUE(c.GetData(2).ok());
  EXPECT_EQ(c.gFileName, "file 2");
  EXPECT_EQ(c.gFileName2, "second 2");
  EXPECT_EQ(c.gTitle, "Song 2");
  EXPECT_EQ(c.gTime, "0:20");
  EXPECT_EQ(c.gTimeInSeconds, 20);
  EXPECT_TRUE(c.AddFileName2("other", 2));
  EXPECT_TRUE(c.GetData(2));
  EXPECT_EQ(c.gFileName2, "other");
  EXPECT_TRUE(c.GetData(0));
  EXPECT_EQ(c.gFileName, "");
  EXPECT_EQ(c.gFileName2, "");
  EXPECT_EQ(c.gTitle, "");
  EXPECT_EQ(c.gTime, "");
  EXPECT_EQ(c.gTimeInSeconds, 0);
}

TEST(PlaylistRows, RefreshTimeChangesTheTotalOnlyForDifferentSeconds) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 2);
  EventLog log;
  log.Attach(c);
  EXPECT_TRUE(c.RefreshTime(20, "changed", 2));
  EXPECT_EQ(c.row(2).lbls.text, "0:20");
  EXPECT_TRUE(log.durations.empty());
  EXPECT_TRUE(c.RefreshTime(100, "1:40", 2));
  EXPECT_EQ(c.row(2).lbls.text, "1:40");
  EXPECT_EQ(c.row(2).seconds, 100);
  EXPECT_EQ(c.SkupensSekund, 110);
  EXPECT_EQ(log.durations, (std::vector<std::int32_t>{110}));
}

TEST(PlaylistRows, RefreshTitleShowsAndHidesTheEllipsisInPlace) {
  stdSS c{kFixedWidths};
  c.ControlResized(120, 300);
  AddSongs(c, 1);
  EXPECT_FALSE(c.row(1).lblSpot.visible);
  EXPECT_TRUE(c.RefreshTitle("A title far too long to fit in front of the time column", 1));
  EXPECT_TRUE(c.row(1).lblSpot.visible);
  EXPECT_TRUE(c.RefreshTitle("Short", 1));
  EXPECT_FALSE(c.row(1).lblSpot.visible);
  EXPECT_EQ(c.row(1).lblIme.text, "Short");
}

TEST(PlaylistRows, MultiDeleteRemovesTheSelectedRowAndEveryMarkedRow) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 5);
  EXPECT_TRUE(c.SelectIndex(3));
  c.NanMultiSelect = 2;
  EXPECT_TRUE(c.MS(2));
  EXPECT_TRUE(c.MS(4));
  ASSERT_EQ(Marks(c), (Strings{"", "I", "I", "I", ""}));
  c.MultiIzbris();
  EXPECT_EQ(Titles(c), (Strings{"Song 1", "Song 5"}));
  EXPECT_EQ(c.row(2).lblevilka.text, "02. ");
  EXPECT_EQ(c.SkupensSekund, 60);
  EXPECT_EQ(Marks(c), (Strings{"", ""}));
}

TEST(PlaylistRows, MultiDeleteOfARangeWithoutPrimaryRowAlsoRemovesTheLastRow) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 5);
  c.NanMultiSelect = 1;
  EXPECT_TRUE(c.MS(5));  // no single selection yet: rows 1 to 5, Selected stays 0
  ASSERT_EQ(c.Selected, 0);
  c.NanMultiSelect = 2;
  EXPECT_TRUE(c.MS(1));
  EXPECT_TRUE(c.MS(2));
  c.MultiIzbris();
  EXPECT_EQ(Titles(c), (Strings{"Song 1", "Song 2"}));
}

}  // namespace
