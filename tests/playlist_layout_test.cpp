// Layout of canvas and scroller column, the skin pieces, and the persisted colours.
#include <gtest/gtest.h>

#include "platform/property_store.h"
#include "playlist/qt_pictures.h"
#include "playlist_test_support.h"

namespace {

using namespace playlist_test;
using platform::MemoryPropertyStore;
using playlist::Colour;
using playlist::PictureImage;
using playlist::stdSS;
namespace defaults = playlist::defaults;

TEST(PlaylistColours, AHostThatStoredNothingGetsTheTwelveDefaults) {
  stdSS c{kFixedWidths};
  EXPECT_EQ(c.BackgroundColor(), 0xFEF5E9u);
  EXPECT_EQ(c.BackgroundTimeColor(), 0xFAE2B7u);
  EXPECT_EQ(c.TimeTextColor(), 0xA76D46u);
  EXPECT_EQ(c.TitleTextColor(), 0xA76D46u);
  EXPECT_EQ(c.SelectedTitleBackColor(), 0xC89248u);
  EXPECT_EQ(c.SelectedTimeBackColor(), 0xA76D46u);
  EXPECT_EQ(c.SelectedBorderColor(), 0x8A6544u);
  EXPECT_EQ(c.SelectedTitleTextColor(), 0xFAE2B7u);
  EXPECT_EQ(c.SelectedTimeTextColor(), 0xFEF5E9u);
  EXPECT_EQ(c.PlayedTitleTextColor(), 0x0040C0u);
  EXPECT_EQ(c.PlayedTimeTextColor(), 0x0040C0u);
  EXPECT_EQ(c.PlayedBorderColor(), 0x0040C0u);
  // The style holders use the CJK face, bold; the row templates the default face.
  EXPECT_EQ(c.elements().lblImeA.style.fontName, "宋体");
  EXPECT_TRUE(c.elements().lblImeA.style.bold);
  EXPECT_EQ(c.elements().lblsB.text, "Label2B");
  EXPECT_FALSE(c.row(0).lblIme.style.bold);
}

TEST(PlaylistColours, StoredNamesAreMatchedWithoutRegardToCase) {
  MemoryPropertyStore store{{"playedbordercolor", 0x0080FF}, {"BACKGROUNDCOLOR", 0x123456}};
  stdSS c{kFixedWidths, &store};
  EXPECT_EQ(c.PlayedBorderColor(), 0x0080FFu);
  EXPECT_EQ(c.elements().shpsB.borderColor, 0x0080FFu);
  EXPECT_EQ(c.BackgroundColor(), 0x123456u);
  EXPECT_EQ(c.TitleTextColor(), defaults::kTitleTextColor);
}

TEST(PlaylistColours, SavingStoresOnlyWhatDiffersAndReadsBackTheSame) {
  stdSS c{kFixedWidths};
  MemoryPropertyStore empty;
  c.WriteProperties(empty);
  EXPECT_EQ(empty.size(), 0);

  c.PlayedBorderColor(0x0080FF);
  c.SelectedTimeTextColor(0x010203);
  MemoryPropertyStore store;
  c.WriteProperties(store);
  EXPECT_EQ(store.size(), 2);
  EXPECT_TRUE(store.Contains("PlayedBorderColor"));
  EXPECT_EQ(store.Read("playedbordercolor"), 0x0080FF);

  stdSS reloaded{kFixedWidths, &store};
  EXPECT_EQ(reloaded.PlayedBorderColor(), 0x0080FFu);
  EXPECT_EQ(reloaded.SelectedTimeTextColor(), 0x010203u);
  EXPECT_EQ(reloaded.BackgroundColor(), defaults::kBackgroundColor);
}

TEST(PlaylistColours, TitleTextColorSparesTheSelectedAndThePlayingRow) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 4);
  EXPECT_TRUE(c.SelectIndex(2));
  c.Play(3);
  c.TitleTextColor(0x00FF00);
  EXPECT_EQ(c.TitleTextColor(), 0x00FF00u);
  for (int i : {0, 1, 4}) {
    EXPECT_EQ(c.row(i).lblIme.style.foreColor, 0x00FF00u) << i;
    EXPECT_EQ(c.row(i).lblevilka.style.foreColor, 0x00FF00u) << i;
  }
  EXPECT_EQ(c.row(2).lblIme.style.foreColor, defaults::kSelectedTitleTextColor);
  EXPECT_EQ(c.row(3).lblIme.style.foreColor, defaults::kPlayedTitleTextColor);
  // New rows and rows returning to normal take the new colour.
  EXPECT_TRUE(c.SelectIndex(4));
  EXPECT_EQ(c.row(2).lblIme.style.foreColor, 0x00FF00u);
}

TEST(PlaylistColours, SelectedTimeBackColorRecoloursTheHolderTheJoinLinesAndMarkedTimeRectangles) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 4);
  EXPECT_TRUE(c.SelectIndex(2));
  c.SelectedTimeBackColor(0x0000FF);
  EXPECT_EQ(c.elements().shpsA.fillColor, 0x0000FFu);
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(c.row(i).tas.color, 0x0000FFu) << i;
  EXPECT_EQ(c.row(2).shps.fillColor, 0x0000FFu);
  for (int i : {0, 1, 3, 4}) EXPECT_EQ(c.row(i).shps.fillColor, defaults::kBackgroundTimeColor) << i;
}

TEST(PlaylistColours, EachColourRecoloursItsOwnElements) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 4);
  EXPECT_TRUE(c.SelectIndex(2));
  c.Play(3);
  c.BackgroundTimeColor(0x000001);
  EXPECT_EQ(c.row(1).shps.fillColor, 0x000001u);
  EXPECT_EQ(c.row(3).shps.fillColor, 0x000001u);
  EXPECT_NE(c.row(2).shps.fillColor, 0x000001u);
  c.TimeTextColor(0x000002);
  EXPECT_EQ(c.row(1).lbls.style.foreColor, 0x000002u);
  EXPECT_NE(c.row(2).lbls.style.foreColor, 0x000002u);
  EXPECT_NE(c.row(3).lbls.style.foreColor, 0x000002u);
  c.SelectedTitleBackColor(0x000003);
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(c.row(i).shpOzadje.fillColor, 0x000003u);
  EXPECT_EQ(c.row(4).ta.color, 0x000003u);
  c.SelectedBorderColor(0x000004);
  EXPECT_EQ(c.row(4).shpOzadje.borderColor, 0x000004u);
  c.SelectedTitleTextColor(0x000005);
  EXPECT_EQ(c.row(2).lblIme.style.foreColor, 0x000005u);
  EXPECT_EQ(c.elements().lblevilkaA.style.foreColor, 0x000005u);
  EXPECT_NE(c.row(1).lblIme.style.foreColor, 0x000005u);
  c.SelectedTimeTextColor(0x000006);
  EXPECT_EQ(c.row(2).lbls.style.foreColor, 0x000006u);
  c.PlayedTitleTextColor(0x000007);
  EXPECT_EQ(c.row(3).lblIme.style.foreColor, 0x000007u);
  EXPECT_EQ(c.row(3).lblevilka.style.foreColor, 0x000007u);
  EXPECT_NE(c.row(1).lblIme.style.foreColor, 0x000007u);
  c.PlayedTimeTextColor(0x000008);
  EXPECT_EQ(c.row(3).lbls.style.foreColor, 0x000008u);
  c.PlayedBorderColor(0x000009);
  EXPECT_EQ(c.elements().shpsB.borderColor, 0x000009u);
}

TEST(PlaylistColours, BackgroundColorAlsoColoursTheControlBelowTheRows) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 300);
  AddSongs(c, 2);
  c.BackgroundColor(0x00AA00);
  EXPECT_EQ(c.elements().PicOzadje.fillColor, 0x00AA00u);
  EXPECT_EQ(c.elements().controlBackColor, 0x00AA00u);
}

TEST(PlaylistLayout, TheColumnAppearsOnceRowsNoLongerFitAndTheRowsMoveLeftByItsWidth) {
  stdSS c{kFixedWidths};
  Dress(c, 200, 141);  // shows ten rows
  AddSongs(c, 3);
  EXPECT_FALSE(c.elements().picScroll.visible);
  EXPECT_EQ(c.elements().PicOzadje.box.width, 200);
  for (int k = 4; k <= 10; ++k) AddSong(c, k);
  EXPECT_FALSE(c.elements().picScroll.visible);
  const int timeLeft = c.row(1).lbls.box.left;
  const int spotLeft = c.row(1).lblSpot.box.left;
  const int shpsLeft = c.row(1).shps.box.left;
  AddSong(c, 11);
  EXPECT_TRUE(c.elements().picScroll.visible);
  EXPECT_EQ(c.elements().PicOzadje.box.width, 200 - 13);
  EXPECT_EQ(c.elements().picScroll.box.left, 187);
  for (int i = 1; i <= 11; ++i) {
    EXPECT_EQ(c.row(i).lbls.box.left, timeLeft - 13) << i;
    EXPECT_EQ(c.row(i).lblSpot.box.left, spotLeft - 13) << i;
    EXPECT_EQ(c.row(i).shps.box.left, shpsLeft - 13) << i;
    EXPECT_EQ(c.row(i).tas.x2, 186) << i;
  }
  EXPECT_EQ(c.elements().shpsA.box.left, 187 - 30);
  EXPECT_EQ(c.elements().shpsA.box.height, c.elements().PicOzadje.box.height + 50);
  // AlwaysShowScroller keeps it when everything fits again.
  c.Clear();
  EXPECT_FALSE(c.elements().picScroll.visible);
  c.AlwaysShowScroller(true);
  EXPECT_TRUE(c.elements().picScroll.visible);
  EXPECT_EQ(c.elements().PicOzadje.box.width, 187);
}

TEST(PlaylistLayout, EnlargingAScrolledControlMovesTheCanvasDownToFillTheSpace) {
  stdSS c{kFixedWidths};
  Dress(c, 200, 100);
  AddSongs(c, 20);  // canvas 281
  EXPECT_TRUE(c.SelectIndex(20));
  ASSERT_EQ(c.elements().PicOzadje.box.top, 100 - 281);
  c.ControlResized(200, 200);
  EXPECT_EQ(c.elements().PicOzadje.box.top, 200 - 281);
  EXPECT_EQ(c.elements().PicDol.box.top, 200 - 17);
  EXPECT_EQ(c.elements().PicPoljeDrsnika.box.height, 200 - 34);
  c.ControlResized(200, 400);
  EXPECT_EQ(c.elements().PicOzadje.box.top, 0);
  EXPECT_FALSE(c.elements().picScroll.visible);
}

TEST(PlaylistSkin, GuiTilesTheTrackWithFortyThreeTilesOfTheSkinTile) {
  stdSS c{kFixedWidths};
  Dress(c, 200, 141);
  const playlist::PictureElement& track = c.elements().PicPoljeDrsnika;
  ASSERT_EQ(track.tileTops.size(), 43u);
  EXPECT_EQ(track.tileTops.back(), 42 * 40);
  const QImage trackImage = PictureImage(c, track);
  EXPECT_EQ(trackImage.height(), 1700);
  const QImage skin = playlist::ImageView(PlayerSkin()).copy();
  for (int y : {0, 39, 40, 1000, 1699}) {
    for (int x : {0, 6, 12}) {
      EXPECT_EQ(QColor(trackImage.pixel(x, y)), skin.pixelColor(26 + x, y % 40)) << x << "," << y;
    }
  }
  EXPECT_EQ(c.elements().PicDrsnik.tileTops.size(), 43u);
  EXPECT_EQ(QColor(PictureImage(c, c.elements().PicDrsnikD).pixel(5, 1690)),
            skin.pixelColor(78 + 5, 1690 % 40));
}

TEST(PlaylistSkin, GuiCopiesCapsAndButtonsOutOfThePicture) {
  stdSS c{kFixedWidths};
  Dress(c, 200, 141);
  const QImage skin = playlist::ImageView(PlayerSkin()).copy();
  const playlist::Elements& e = c.elements();
  auto same = [&](const QImage& piece, int x, int y) {
    for (int py = 0; py < piece.height(); ++py) {
      for (int px = 0; px < piece.width(); ++px) {
        if (QColor(piece.pixel(px, py)) != skin.pixelColor(x + px, y + py)) return false;
      }
    }
    return !piece.isNull();
  };
  EXPECT_TRUE(same(PictureImage(c, e.PicDrsnikGor), 39, 0));
  EXPECT_TRUE(same(PictureImage(c, e.PicDrsnikDGor), 52, 0));
  EXPECT_TRUE(same(PictureImage(c, e.PicDrsnikDol), 39, 21));
  EXPECT_TRUE(same(PictureImage(c, e.PicDrsnikDDol), 52, 21));
  EXPECT_TRUE(same(PictureImage(c, e.PicGor), 0, 0));
  EXPECT_TRUE(same(PictureImage(c, e.PicDol), 0, 17));
  EXPECT_EQ(e.PicDrsnikGor.box, (playlist::Box{0, 0, 13, 21}));
  EXPECT_EQ(e.PicDrsnikDol.box.height, 20);
  EXPECT_FALSE(e.PicDrsnikD.visible);
}

TEST(PlaylistSkin, AZeroTileHeightOrNoPictureLeavesTheStripsUnpaintedWithoutFailing) {
  stdSS c{kFixedWidths};
  c.ControlResized(200, 141);
  player::SetupPlaylistSkin(c);
  c.GUI_SSOzadjeVina = 0;
  c.PictureData = PlayerSkin();
  c.GUI();
  EXPECT_TRUE(c.elements().PicPoljeDrsnika.tileTops.empty());
  EXPECT_EQ(c.elements().PicDrsnik.tileTops.size(), 43u);
  stdSS bare{kFixedWidths};
  bare.ControlResized(200, 141);
  player::SetupPlaylistSkin(bare);
  bare.GUI();
  EXPECT_TRUE(bare.elements().PicDrsnik.tileTops.empty());
  EXPECT_TRUE(PictureImage(bare, bare.elements().PicGor).isNull());
}

}  // namespace
