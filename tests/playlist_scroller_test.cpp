// The skinned scroller: thumb size and place, buttons, track presses, thumb drag and the timer.
#include <gtest/gtest.h>

#include "playlist_test_support.h"

namespace {

using namespace playlist_test;
using playlist::kLeftButton;
using playlist::kRightButton;
using playlist::stdSS;

// Twenty rows (canvas 281) in a control 141 pixels high with the player's skin.
class TwentyRows : public ::testing::Test {
 protected:
  void SetUp() override {
    Dress(c, 200, 141);
    AddSongs(c, 20);
  }
  const playlist::Elements& e() const { return c.elements(); }
  void HoldDown(int ticks) {
    c.ScrollButtonDown(true, kLeftButton);
    for (int i = 0; i < ticks; ++i) c.ScrollTimerTick();
    c.ScrollButtonUp(true, kLeftButton);
  }
  stdSS c{kFixedWidths};
};

TEST_F(TwentyRows, TheThumbIs54HighWithA53PixelTravelAndOneTickMovesItFourPixels) {
  EXPECT_EQ(e().PicOzadje.box.height, 281);
  EXPECT_EQ(e().PicPoljeDrsnika.box.height, 107);
  EXPECT_EQ(e().PicPoljeDrsnika.box.top, 17);
  EXPECT_TRUE(e().PicDrsnik.visible);
  EXPECT_EQ(e().PicDrsnik.box.height, 54);
  EXPECT_EQ(c.ThumbTravel(), 53);
  EXPECT_EQ(c.ThumbTop(), 0);

  c.ScrollButtonDown(true, kLeftButton);
  EXPECT_TRUE(e().tmrScroll.Enabled);
  EXPECT_EQ(e().tmrScroll.mode, "DOL");
  EXPECT_TRUE(e().dolPressed);
  c.ScrollTimerTick();
  EXPECT_EQ(c.ThumbTop(), 4);
  EXPECT_EQ(e().PicOzadje.box.top, -11);  // -140 * 4 / 53 = -10.6
  c.ScrollButtonUp(true, kLeftButton);
  EXPECT_FALSE(e().tmrScroll.Enabled);
  EXPECT_FALSE(e().dolPressed);
}

TEST_F(TwentyRows, HoldingTheDownButtonToTheEndShowsTheLastRowAtTheBottomEdge) {
  HoldDown(30);
  EXPECT_EQ(c.ThumbTop(), 53);
  EXPECT_EQ(e().PicOzadje.box.top, 141 - 281);
  HoldDown(1);
  EXPECT_EQ(e().PicOzadje.box.top, 141 - 281);
  c.ScrollButtonDown(false, kLeftButton);
  EXPECT_EQ(e().tmrScroll.mode, "GOR");
  for (int i = 0; i < 30; ++i) c.ScrollTimerTick();
  EXPECT_EQ(c.ThumbTop(), 0);
  EXPECT_EQ(e().PicOzadje.box.top, 0);
}

TEST_F(TwentyRows, OnlyTheLeftButtonPressesAScrollerButton) {
  c.ScrollButtonDown(true, kRightButton);
  EXPECT_FALSE(e().tmrScroll.Enabled);
  c.TrackDown(kRightButton, 90);
  EXPECT_FALSE(e().tmrScroll.Enabled);
}

TEST_F(TwentyRows, SlidingOffAPressedButtonPausesTheRepeatAndSlidingBackResumesIt) {
  c.ScrollButtonDown(true, kLeftButton);
  c.ScrollButtonMove(true, kLeftButton, 5, -3);
  EXPECT_FALSE(e().tmrScroll.Enabled);
  EXPECT_FALSE(e().dolPressed);
  c.ScrollButtonMove(true, kLeftButton, 5, 5);
  EXPECT_TRUE(e().tmrScroll.Enabled);
  EXPECT_TRUE(e().dolPressed);
}

TEST_F(TwentyRows, ATrackPressBelowTheThumbStepsUntilItsCentreIsOnThePressPoint) {
  c.TrackDown(kLeftButton, 60);
  EXPECT_EQ(e().tmrScroll.mode, "MDOL");
  EXPECT_TRUE(e().PicDrsnikD.visible);
  int ticks = 0;
  while (e().tmrScroll.Enabled && ticks < 100) {
    c.ScrollTimerTick();
    ++ticks;
  }
  EXPECT_LT(ticks, 100);
  EXPECT_EQ(c.ThumbTop() + 54 / 2.0, 60);
  c.TrackUp();
  EXPECT_FALSE(e().PicDrsnikD.visible);
  EXPECT_EQ(e().trackPressY, 0);
  EXPECT_EQ(e().tmrScroll.mode, "");
}

TEST_F(TwentyRows, ATrackPressAboveTheThumbStepsItBackUp) {
  HoldDown(30);
  c.TrackDown(kLeftButton, 10);
  EXPECT_EQ(e().tmrScroll.mode, "MGOR");
  for (int i = 0; i < 100 && e().tmrScroll.Enabled; ++i) c.ScrollTimerTick();
  EXPECT_EQ(c.ThumbTop(), 0);
  EXPECT_EQ(e().PicOzadje.box.top, 0);
}

TEST_F(TwentyRows, DraggingTheThumbPastEitherEndClampsItAndSnapsTheCanvas) {
  c.ThumbDown(kLeftButton, 10);
  EXPECT_TRUE(e().PicDrsnikD.visible);
  c.ThumbMove(kLeftButton, 30);  // 20 pixels down
  EXPECT_EQ(c.ThumbTop(), 20);
  EXPECT_EQ(e().PicOzadje.box.top, -53);  // -140 * 20 / 53 = -52.8
  c.ThumbMove(kLeftButton, 500);
  EXPECT_EQ(c.ThumbTop(), 53);
  EXPECT_EQ(e().PicOzadje.box.top, -140);
  c.ThumbMove(kLeftButton, -500);
  EXPECT_EQ(c.ThumbTop(), 0);
  EXPECT_EQ(e().PicOzadje.box.top, 0);
  c.ThumbUp();
  EXPECT_FALSE(e().PicDrsnikD.visible);
}

TEST_F(TwentyRows, SelectingARowBelowTheViewMovesTheThumbWithTheCanvas) {
  EXPECT_TRUE(c.SelectIndex(20));
  EXPECT_EQ(e().PicOzadje.box.top, -140);
  EXPECT_EQ(c.ThumbTop(), 53);
}

TEST_F(TwentyRows, TheBottomCapsFollowTheThumbHeight) {
  EXPECT_EQ(e().PicDrsnikDol.box.top, 54 - 20);
  EXPECT_EQ(e().PicDrsnikDDol.box.top, 54 - 20);
  EXPECT_EQ(e().PicDrsnikGor.box.top, 0);
  AddSongs(c, 40);  // a longer list: the smallest thumb
  EXPECT_EQ(e().PicDrsnik.box.height, 41);
  EXPECT_EQ(e().PicDrsnikDol.box.top, 21);
}

TEST(PlaylistScroller, AnEmptyListKeepsTheColumnButShowsNoThumb) {
  stdSS c{kFixedWidths};
  Dress(c, 200, 141);
  c.AlwaysShowScroller(true);
  EXPECT_TRUE(c.elements().picScroll.visible);
  EXPECT_FALSE(c.elements().PicDrsnik.visible);
  AddSongs(c, 20);
  EXPECT_TRUE(c.elements().PicDrsnik.visible);
  c.Clear();
  EXPECT_FALSE(c.elements().PicDrsnik.visible);
  c.MouseWheel(-1);
  EXPECT_EQ(c.elements().PicOzadje.box.top, 0);
}

TEST(PlaylistScroller, ATickWithEveryRowInViewOrNoRowsMovesNothing) {
  stdSS c{kFixedWidths};
  Dress(c, 200, 141);
  c.AlwaysShowScroller(true);
  c.ScrollButtonDown(true, kLeftButton);
  c.ScrollTimerTick();
  EXPECT_EQ(c.ThumbTop(), 0);
  EXPECT_EQ(c.elements().PicOzadje.box.top, 0);
  AddSongs(c, 3);
  c.ScrollTimerTick();
  EXPECT_EQ(c.ThumbTop(), 0);
  EXPECT_EQ(c.elements().PicOzadje.box.top, 0);
}

TEST(PlaylistScroller, WithoutScalingTheThumbAlwaysHasTheSmallestHeight) {
  stdSS c{kFixedWidths};
  Dress(c, 200, 141);
  c.SetScroller(13, true, true, false, 13, 17, 13, 17, 41);
  AddSongs(c, 12);
  EXPECT_EQ(c.elements().PicDrsnik.box.height, 41);
  AddSongs(c, 100);
  EXPECT_EQ(c.elements().PicDrsnik.box.height, 41);
  EXPECT_TRUE(c.elements().PicDrsnik.visible);
}

TEST(PlaylistScroller, WithoutButtonsTheTrackReachesTheEndsOfTheColumn) {
  stdSS c{kFixedWidths};
  Dress(c, 200, 141);
  c.SetScroller(13, false, true, true, 13, 17, 13, 17, 41);
  EXPECT_FALSE(c.elements().PicGor.visible);
  EXPECT_EQ(c.elements().PicPoljeDrsnika.box.top, 0);
  EXPECT_EQ(c.elements().PicPoljeDrsnika.box.height, 141 - 17);
  c.SetScroller(13, true, false, true, 13, 17, 13, 17, 41);
  EXPECT_FALSE(c.elements().PicDol.visible);
  EXPECT_EQ(c.elements().PicPoljeDrsnika.box.top, 17);
  EXPECT_EQ(c.elements().PicPoljeDrsnika.box.bottom(), 141);
}

TEST(PlaylistScroller, AlwaysShowScrollerKeepsTheColumnWhenEverythingFits) {
  stdSS c{kFixedWidths};
  Dress(c, 200, 141);
  AddSongs(c, 2);
  EXPECT_FALSE(c.elements().picScroll.visible);
  c.AlwaysShowScroller(true);
  EXPECT_TRUE(c.AShowScroller);
  EXPECT_TRUE(c.elements().picScroll.visible);
  EXPECT_FALSE(c.elements().PicDrsnik.visible);  // nothing to scroll: no thumb
  c.AlwaysShowScroller(false);
  EXPECT_FALSE(c.elements().picScroll.visible);
}

}  // namespace
