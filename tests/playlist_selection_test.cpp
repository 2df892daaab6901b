// Selection, Shift and Ctrl multi-selection, the playing mark, drag reordering and keys.
#include <gtest/gtest.h>

#include "playlist_test_support.h"

namespace {

using namespace playlist_test;
using playlist::kCtrlMask;
using playlist::kKeyDelete;
using playlist::kKeyDown;
using playlist::kKeyReturn;
using playlist::kKeyUp;
using playlist::kLeftButton;
using playlist::kRightButton;
using playlist::kShiftMask;
using playlist::stdSS;

class FiveRows : public ::testing::Test {
 protected:
  void SetUp() override {
    c.ControlResized(200, 300);
    AddSongs(c, 5);
    log.Attach(c);
  }
  void ShiftPress(int row) {
    c.KeyDown(16, kShiftMask);
    c.RowMouseDown(static_cast<std::int16_t>(row), kLeftButton);
    c.RowMouseUp(static_cast<std::int16_t>(row), kLeftButton, 5);
    c.KeyUp();
  }
  void CtrlPress(int row) {
    c.KeyDown(17, kCtrlMask);
    c.RowMouseDown(static_cast<std::int16_t>(row), kLeftButton);
    c.RowMouseUp(static_cast<std::int16_t>(row), kLeftButton, 5);
    c.KeyUp();
  }
  void Click(int row) {
    c.RowMouseDown(static_cast<std::int16_t>(row), kLeftButton);
    c.RowMouseUp(static_cast<std::int16_t>(row), kLeftButton, 5);
  }
  // Press on row `from`, move to row `to` and let go there.
  void Drag(int from, int to) {
    c.RowMouseDown(static_cast<std::int16_t>(from), kLeftButton);
    const int y = (to - from) * 14 + 5;
    c.RowMouseMove(static_cast<std::int16_t>(from), kLeftButton, y);
    c.RowMouseUp(static_cast<std::int16_t>(from), kLeftButton, y);
  }
  bool LooksSelected(int i) const {
    const playlist::Row& r = c.row(i);
    return r.shpOzadje.visible && r.shps.fillColor == c.elements().shpsA.fillColor &&
           r.shps.box.top == (i - 1) * 14 + 1 && r.lblIme.style == c.elements().lblImeA.style;
  }
  bool LooksNormal(int i) const {
    const playlist::Row& r = c.row(i);
    return !r.shpOzadje.visible && r.shps.fillColor == c.row(0).shps.fillColor &&
           r.shps.box.top == (i - 1) * 14 && r.lblIme.style == c.row(0).lblIme.style;
  }
  std::vector<bool> Joins() const {
    std::vector<bool> joins;
    for (int i = 1; i <= c.ListCount; ++i) joins.push_back(c.row(i).ta.visible && c.row(i).tas.visible);
    return joins;
  }
  stdSS c{kFixedWidths};
  EventLog log;
};

TEST_F(FiveRows, SelectingARowMarksItAndReturnsThePreviousOneToNormal) {
  Click(2);
  EXPECT_EQ(c.Selected, 2);
  EXPECT_EQ(c.prvaMultiSelect, 2);
  EXPECT_TRUE(LooksSelected(2));
  EXPECT_EQ(c.row(2).lblSpot.backColor, c.row(0).shpOzadje.fillColor);
  Click(4);
  EXPECT_TRUE(LooksNormal(2));
  EXPECT_TRUE(LooksSelected(4));
  EXPECT_EQ(Marks(c), (Strings{"", "", "", "I", ""}));
  EXPECT_EQ(c.row(2).lblSpot.backColor, c.BackgroundColor());
  EXPECT_EQ(c.row(4).shps.box.height, 14);
  EXPECT_EQ(c.row(4).shps.box.width, c.elements().PicOzadje.box.width - c.row(4).shps.box.left);
  EXPECT_TRUE(log.playFile.empty());
}

TEST_F(FiveRows, ShiftExtendsFromTheAnchorAndShrinksAgain) {
  Click(2);
  ShiftPress(5);
  EXPECT_EQ(Marks(c), (Strings{"", "I", "I", "I", "I"}));
  EXPECT_EQ(Joins(), (std::vector<bool>{false, true, true, true, false}));
  EXPECT_EQ(c.Selected, 2);
  EXPECT_TRUE(c.ZatMS);
  for (int i = 2; i <= 5; ++i) EXPECT_TRUE(LooksSelected(i)) << i;
  ShiftPress(3);
  EXPECT_EQ(Marks(c), (Strings{"", "I", "I", "", ""}));
  EXPECT_EQ(Joins(), (std::vector<bool>{false, true, false, false, false}));
  EXPECT_TRUE(LooksNormal(4));
  EXPECT_TRUE(LooksNormal(5));
}

TEST_F(FiveRows, PressingTheSelectedRowAgainKeepsAMultiSelection) {
  Click(2);
  ShiftPress(4);
  Click(2);
  EXPECT_EQ(Marks(c), (Strings{"", "I", "I", "I", ""}));
  EXPECT_TRUE(c.ZatMS);
}

TEST_F(FiveRows, ShiftWithoutAnyAnchorSelectsFromTheFirstRow) {
  ShiftPress(3);
  EXPECT_EQ(Marks(c), (Strings{"I", "I", "I", "", ""}));
  EXPECT_EQ(c.Selected, 0);
}

TEST_F(FiveRows, CtrlTogglesRowsAndDrawsThePrimaryRowUnselectedWhileKeepingIt) {
  Click(2);
  CtrlPress(4);
  EXPECT_EQ(Marks(c), (Strings{"", "I", "", "I", ""}));
  CtrlPress(3);
  EXPECT_EQ(Joins(), (std::vector<bool>{false, true, true, false, false}));
  CtrlPress(2);
  EXPECT_EQ(c.Selected, 2);
  EXPECT_TRUE(LooksNormal(2));
  EXPECT_EQ(Marks(c), (Strings{"", "", "I", "I", ""}));
  EXPECT_EQ(Joins(), (std::vector<bool>{false, false, true, false, false}));
}

TEST_F(FiveRows, ASingleClickEndsAMultiSelection) {
  Click(2);
  ShiftPress(4);
  Click(5);
  EXPECT_EQ(Marks(c), (Strings{"", "", "", "", "I"}));
  EXPECT_FALSE(c.ZatMS);
  EXPECT_EQ(Joins(), (std::vector<bool>(5, false)));
}

TEST_F(FiveRows, ARightPressInsideAMultiSelectionKeepsItAndMovesOnlyThePrimaryRow) {
  Click(2);
  ShiftPress(4);
  c.RowMouseDown(3, kRightButton);
  EXPECT_EQ(Marks(c), (Strings{"", "I", "I", "I", ""}));
  EXPECT_EQ(c.Selected, 3);
  EXPECT_EQ(log.rightClick, 1);
  c.RowMouseDown(5, kRightButton);  // outside: selects it alone
  EXPECT_EQ(Marks(c), (Strings{"", "", "", "", "I"}));
  EXPECT_EQ(log.rightClick, 2);
  c.BackgroundMouseDown(kRightButton);
  EXPECT_EQ(log.rightClick, 3);
  EXPECT_EQ(c.Selected, 5);
  c.BackgroundMouseDown(kLeftButton);
  EXPECT_EQ(log.rightClick, 3);
}

TEST_F(FiveRows, ArrowKeysMoveTheSelectionButStopAtTheEnds) {
  c.KeyDown(kKeyUp, 0);
  EXPECT_EQ(c.Selected, 1);
  c.KeyDown(kKeyUp, 0);
  EXPECT_EQ(c.Selected, 1);
  c.KeyDown(kKeyDown, 0);
  EXPECT_EQ(c.Selected, 2);
  ShiftPress(4);
  c.KeyDown(kKeyDown, 0);  // moves and ends the multi-selection
  EXPECT_EQ(c.Selected, 3);
  EXPECT_EQ(Marks(c), (Strings{"", "", "I", "", ""}));
  Click(5);
  ShiftPress(3);
  c.KeyDown(kKeyDown, 0);  // on the last row: nothing, the range stays
  EXPECT_EQ(Marks(c), (Strings{"", "", "I", "I", "I"}));
  c.KeyUp();
  stdSS empty{kFixedWidths};
  empty.KeyDown(kKeyDown, 0);
  EXPECT_EQ(empty.Selected, 0);
}

TEST_F(FiveRows, ModifierKeysTurnMultiSelectOnOnlyWhenHeldAlone) {
  c.KeyDown(16, kShiftMask);
  EXPECT_TRUE(c.MultiSelect);
  EXPECT_EQ(c.NanMultiSelect, 1);
  c.KeyDown(17, kShiftMask | kCtrlMask);
  EXPECT_FALSE(c.MultiSelect);
  EXPECT_EQ(c.NanMultiSelect, 0);
  c.KeyDown(17, kCtrlMask);
  EXPECT_EQ(c.NanMultiSelect, 2);
  c.KeyUp();
  EXPECT_FALSE(c.MultiSelect);
  EXPECT_EQ(c.NanMultiSelect, 0);
}

TEST_F(FiveRows, DoubleClickPlaysThenPlaysTheSameRowOnceMoreThenOnlyReplays) {
  c.RowDoubleClick(3);
  EXPECT_EQ(c.Playing, 3);
  EXPECT_EQ(log.playFile, (Strings{"file 3"}));
  EXPECT_TRUE(c.elements().shpsB.visible);
  EXPECT_EQ(c.elements().shpsB.box, (playlist::Box{0, 28, c.elements().PicOzadje.box.width, 15}));
  EXPECT_EQ(c.row(3).lblIme.style, c.elements().lblImeB.style);
  c.RowDoubleClick(3);
  EXPECT_EQ(log.playFile, (Strings{"file 3", "file 3"}));
  EXPECT_TRUE(c.GU);
  EXPECT_EQ(log.replay, 0);
  c.RowDoubleClick(3);
  c.RowDoubleClick(3);
  EXPECT_EQ(log.playFile.size(), 2u);
  EXPECT_EQ(log.replay, 2);
  c.RowDoubleClick(1);
  EXPECT_EQ(log.playFile.back(), "file 1");
  EXPECT_EQ(c.row(3).lblIme.style, c.row(0).lblIme.style);
}

TEST_F(FiveRows, DoubleClickIsIgnoredWhileAMultiSelectKeyIsHeld) {
  c.KeyDown(16, kShiftMask);
  c.RowDoubleClick(2);
  EXPECT_EQ(c.Playing, 0);
  EXPECT_TRUE(log.playFile.empty());
}

TEST_F(FiveRows, ThePlayingRowKeepsThePlayedLookWhileSelectedAndAfterwards) {
  c.Play(2);
  Click(2);
  EXPECT_EQ(c.row(2).lblIme.style, c.elements().lblImeB.style);
  EXPECT_TRUE(c.row(2).shpOzadje.visible);
  Click(4);
  EXPECT_EQ(c.row(2).lblIme.style, c.elements().lblImeB.style);
  EXPECT_FALSE(c.row(2).shpOzadje.visible);
  c.Play(4);
  EXPECT_TRUE(LooksNormal(2));
  EXPECT_EQ(c.row(4).lblIme.style, c.elements().lblImeB.style);
  EXPECT_TRUE(c.row(4).shpOzadje.visible);
  c.Play(1);
  EXPECT_TRUE(LooksSelected(4));
}

TEST_F(FiveRows, EnterPlaysThePrimaryRowAfterDroppingTheOtherMarks) {
  Click(2);
  ShiftPress(4);
  c.KeyDown(kKeyReturn, 0);
  EXPECT_EQ(Marks(c), (Strings{"", "I", "", "", ""}));
  EXPECT_EQ(c.Playing, 2);
  EXPECT_EQ(log.playFile, (Strings{"file 2"}));
  c.KeyDown(kKeyReturn, 0);
  EXPECT_EQ(log.playFile, (Strings{"file 2", "file 2"}));
  c.KeyDown(kKeyReturn, 0);
  EXPECT_EQ(log.replay, 1);
}

TEST_F(FiveRows, EnterWithNothingSelectedDoesNothing) {
  c.KeyDown(kKeyReturn, 0);
  c.KeyDown(kKeyReturn, 0);
  EXPECT_TRUE(log.playFile.empty());
  EXPECT_EQ(log.replay, 0);
  EXPECT_EQ(c.Playing, 0);
  EXPECT_FALSE(c.GU);
}

TEST_F(FiveRows, PlayPastTheLastRowDoesNothingAndPlayOfThePlayingRowReplays) {
  c.Play(6);
  EXPECT_EQ(c.Playing, 0);
  EXPECT_TRUE(log.playFile.empty());
  c.Play(2);
  c.Play(2);
  EXPECT_EQ(log.playFile, (Strings{"file 2"}));
  EXPECT_EQ(log.replay, 1);
  c.Play(-1);
  EXPECT_EQ(c.Playing, 2);
}

TEST_F(FiveRows, DeleteRemovesTheSelectedRowOrTheWholeMultiSelection) {
  Click(2);
  c.KeyDown(kKeyDelete, 0);
  EXPECT_EQ(Titles(c), (Strings{"Song 1", "Song 3", "Song 4", "Song 5"}));
  EXPECT_EQ(c.Selected, 0);
  c.KeyDown(kKeyDelete, 0);  // nothing selected: nothing removed
  EXPECT_EQ(c.ListCount, 4);
  Click(1);
  ShiftPress(3);
  c.KeyDown(kKeyDelete, 0);
  EXPECT_EQ(Titles(c), (Strings{"Song 5"}));
  EXPECT_TRUE(log.playFile.empty());
}

TEST_F(FiveRows, DeleteSparesAPrimaryRowTheUserUnmarkedAndAClickMarksItAgain) {
  Click(2);
  CtrlPress(4);
  CtrlPress(2);
  c.KeyDown(kKeyDelete, 0);
  EXPECT_EQ(Titles(c), (Strings{"Song 1", "Song 2", "Song 3", "Song 5"}));

  Click(3);
  CtrlPress(3);
  EXPECT_EQ(c.Selected, 3);
  Click(3);
  EXPECT_TRUE(LooksSelected(3));
  EXPECT_EQ(Marks(c), (Strings{"", "", "I", ""}));
  c.KeyDown(kKeyDelete, 0);
  EXPECT_EQ(Titles(c), (Strings{"Song 1", "Song 2", "Song 5"}));
}

TEST_F(FiveRows, DraggingRowFiveOntoRowTwoMovesTheSongsAndThePlayingMarkSilently) {
  c.Play(3);
  log.Reset();
  log.Attach(c);
  c.RowMouseDown(5, kLeftButton);
  c.RowMouseMove(5, kLeftButton, -3 * 14 + 5);
  EXPECT_TRUE(c.elements().picPremik.visible);
  EXPECT_EQ(c.elements().picPremik.box.top, 13);
  EXPECT_EQ(c.elements().picPremik.box.height, 3);
  c.RowMouseUp(5, kLeftButton, -3 * 14 + 5);
  EXPECT_FALSE(c.elements().picPremik.visible);
  EXPECT_EQ(Titles(c), (Strings{"Song 1", "Song 5", "Song 2", "Song 3", "Song 4"}));
  EXPECT_EQ(c.row(2).FileName, "file 5");
  EXPECT_EQ(c.row(2).seconds, 50);
  EXPECT_EQ(c.row(2).lblevilka.text, "02. ");
  EXPECT_EQ(c.Selected, 2);
  EXPECT_EQ(c.Playing, 4);
  EXPECT_EQ(c.elements().shpsB.box.top, 42);
  EXPECT_TRUE(log.playFile.empty());
  EXPECT_EQ(log.replay, 0);
  EXPECT_FALSE(c.NePredvajaj);
  EXPECT_EQ(c.SkupensSekund, 150);
}

TEST_F(FiveRows, DraggingThePlayingSongTakesTheMarkAlong) {
  c.Play(2);
  Drag(2, 4);
  EXPECT_EQ(Titles(c), (Strings{"Song 1", "Song 3", "Song 4", "Song 2", "Song 5"}));
  EXPECT_EQ(c.Playing, 4);
  EXPECT_EQ(c.row(4).lblIme.style, c.elements().lblImeB.style);
  EXPECT_EQ(c.row(2).lblIme.style, c.row(0).lblIme.style);
  EXPECT_EQ(log.playFile, (Strings{"file 2"}));  // only the first Play
}

TEST_F(FiveRows, DropsAboveTheFirstRowOrBelowTheLastLandOnTheEndRows) {
  Drag(3, -4);
  EXPECT_EQ(Titles(c), (Strings{"Song 3", "Song 1", "Song 2", "Song 4", "Song 5"}));
  Drag(1, 12);
  EXPECT_EQ(Titles(c), (Strings{"Song 1", "Song 2", "Song 4", "Song 5", "Song 3"}));
  EXPECT_EQ(c.Selected, 5);
  Drag(2, 2);
  EXPECT_EQ(Titles(c), (Strings{"Song 1", "Song 2", "Song 4", "Song 5", "Song 3"}));
}

TEST_F(FiveRows, NoDragMarkerWhileAMultiSelectKeyIsHeldOrWithTheRightButton) {
  c.KeyDown(16, kShiftMask);
  c.RowMouseMove(2, kLeftButton, 30);
  EXPECT_FALSE(c.elements().picPremik.visible);
  c.KeyUp();
  c.RowMouseMove(2, kRightButton, 30);
  EXPECT_FALSE(c.elements().picPremik.visible);
}

TEST(PlaylistSelection, ATruncatedTitleShowsItselfAsTooltipAndAFittingOneNone) {
  stdSS c{kFixedWidths};
  c.ControlResized(120, 300);
  AddSong(c, 1, "A title far too long to fit in front of the time column");
  AddSong(c, 2, "Short");
  c.RowMouseMove(1, 0, 3);
  EXPECT_EQ(c.row(1).lblIzbor.toolTip, "A title far too long to fit in front of the time column");
  c.RowMouseMove(2, 0, 3);
  EXPECT_EQ(c.row(2).lblIzbor.toolTip, "");
}

TEST(PlaylistSelection, SelectingOrPlayingARowScrollsItIntoView) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 70);
  AddSongs(c, 10);
  EXPECT_TRUE(c.SelectIndex(8));
  EXPECT_EQ(c.elements().PicOzadje.box.top, -43);
  EXPECT_TRUE(c.SelectIndex(1));
  EXPECT_EQ(c.elements().PicOzadje.box.top, 0);
  c.Play(8);
  EXPECT_EQ(c.elements().PicOzadje.box.top, -43);
  c.Play(1);
  EXPECT_EQ(c.elements().PicOzadje.box.top, 0);
}

TEST(PlaylistSelection, SelectIndexAndMsRefuseRowsThatDoNotExist) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 2);
  EXPECT_FALSE(c.SelectIndex(3).ok());
  EXPECT_EQ(c.Selected, 0);
  ASSERT_TRUE(c.SelectIndex(1).ok());
  EXPECT_FALSE(c.SelectIndex(0).ok());
  EXPECT_FALSE(c.MS(0).ok());
  EXPECT_EQ(c.Selected, 1);
  EXPECT_TRUE(c.row(0).lblIzbor.tag.empty());
  EXPECT_FALSE(c.row(0).shpOzadje.visible);
}

TEST(PlaylistSelection, DropsFromOutsideArePassedToTheHostUnchanged) {
  stdSS c{kFixedWidths};
  std::int32_t effect = 7;
  float seenX = 0;
  std::int16_t seenShift = 0;
  c.OLEDragDrop = [&](const playlist::DragData&, std::int32_t& Effect, std::int16_t, std::int16_t Shift,
                      float X, float) {
    Effect = 1;
    seenX = X;
    seenShift = Shift;
  };
  c.DropData(playlist::DragData{}, effect, 1, 2, 12.5f, 3.0f);
  EXPECT_EQ(effect, 1);
  EXPECT_EQ(seenX, 12.5f);
  EXPECT_EQ(seenShift, 2);
}

}  // namespace
