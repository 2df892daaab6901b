// The widget: real mouse, keyboard and timer input reaching the control, and what it paints.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include <string>
#include <vector>

#include "playlist/stdss_widget.h"
#include "playlist/qt_pictures.h"
#include "playlist_test_support.h"

namespace {

using namespace playlist_test;
using playlist::stdSSWidget;

class PlaylistWidget : public ::testing::Test {
 protected:
  void SetUp() override {
    w.SetSize(200, 141);
    player::DressPlaylist(w, PlayerSkin());
    AddSongs(w, 20);
    log.Attach(w);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.setFocus();
  }
  QPoint RowPoint(int i) const { return QPoint(40, w.elements().PicOzadje.box.top + (i - 1) * 14 + 7); }
  QPoint ColumnPoint(int y) const { return QPoint(w.elements().picScroll.box.left + 6, y); }

  stdSSWidget w;
  EventLog log;
};

TEST_F(PlaylistWidget, ClickingRowsSelectsThemAndShiftClickSelectsARange) {
  QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, RowPoint(2));
  EXPECT_EQ(w.Selected, 2);
  QTest::keyPress(&w, Qt::Key_Shift);
  EXPECT_TRUE(w.MultiSelect);
  QTest::mouseClick(&w, Qt::LeftButton, Qt::ShiftModifier, RowPoint(5));
  QTest::keyRelease(&w, Qt::Key_Shift);
  EXPECT_FALSE(w.MultiSelect);
  EXPECT_EQ(First(Marks(w), 6), (Strings{"", "I", "I", "I", "I", ""}));
  QTest::keyPress(&w, Qt::Key_Control);
  QTest::mouseClick(&w, Qt::LeftButton, Qt::ControlModifier, RowPoint(3));
  QTest::keyRelease(&w, Qt::Key_Control);
  EXPECT_EQ(First(Marks(w), 6), (Strings{"", "I", "", "I", "I", ""}));
}

TEST_F(PlaylistWidget, DoubleClickAndEnterAskTheHostToPlay) {
  // A double-click arrives as a click followed by the double-click.
  QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, RowPoint(3));
  QTest::mouseDClick(&w, Qt::LeftButton, Qt::NoModifier, RowPoint(3));
  EXPECT_EQ(log.playFile, (Strings{"file 3"}));
  EXPECT_EQ(w.Playing, 3);
  QTest::keyClick(&w, Qt::Key_Down);
  EXPECT_EQ(w.Selected, 4);
  QTest::keyClick(&w, Qt::Key_Return);
  EXPECT_EQ(log.playFile, (Strings{"file 3", "file 4"}));
  QTest::keyClick(&w, Qt::Key_Delete);
  EXPECT_EQ(w.ListCount, 19);
  EXPECT_EQ(w.Playing, 0);
  EXPECT_EQ(log.playFile.size(), 2u);
}

TEST_F(PlaylistWidget, DraggingARowWithTheMouseMovesItsSong) {
  QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, RowPoint(5));
  QTest::mouseMove(&w, RowPoint(4));
  QTest::mouseMove(&w, RowPoint(2));
  EXPECT_TRUE(w.elements().picPremik.visible);
  QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, RowPoint(2));
  EXPECT_EQ(First(Titles(w), 5), (Strings{"Song 1", "Song 5", "Song 2", "Song 3", "Song 4"}));
  EXPECT_EQ(w.Selected, 2);
  EXPECT_TRUE(log.playFile.empty());
}

TEST_F(PlaylistWidget, HoldingTheDownButtonScrollsOnTheTimerUntilReleased) {
  const QPoint down = ColumnPoint(141 - 8);
  QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, down);
  EXPECT_TRUE(w.elements().dolPressed);
  QTest::qWait(400);
  const int top = w.elements().PicOzadje.box.top;
  EXPECT_LT(top, 0);
  QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, down);
  EXPECT_FALSE(w.elements().tmrScroll.Enabled);
  QTest::qWait(150);
  EXPECT_EQ(w.elements().PicOzadje.box.top, top);
}

TEST_F(PlaylistWidget, DraggingTheThumbScrollsTheList) {
  const QPoint thumb = ColumnPoint(17 + 10);
  QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, thumb);
  QTest::mouseMove(&w, thumb + QPoint(0, 200));
  QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(0, 200));
  EXPECT_EQ(w.ThumbTop(), w.ThumbTravel());
  EXPECT_EQ(w.elements().PicOzadje.box.top, 141 - 281);
}

TEST_F(PlaylistWidget, ARightPressBelowTheRowsRaisesRightClick) {
  w.Clear();
  AddSongs(w, 2);
  QTest::mouseClick(&w, Qt::RightButton, Qt::NoModifier, QPoint(40, 100));
  EXPECT_EQ(log.rightClick, 1);
  QTest::mouseClick(&w, Qt::RightButton, Qt::NoModifier, RowPoint(2));
  EXPECT_EQ(log.rightClick, 2);
  EXPECT_EQ(w.Selected, 2);
}

TEST_F(PlaylistWidget, OnlyALeftDoubleClickPlaysARowAndAnotherButtonsSecondPressStillCounts) {
  // A double-click arrives as press, release, double-click, release.
  auto send = [this](QEvent::Type type, Qt::MouseButton button) {
    const QPoint at = RowPoint(3);
    QMouseEvent event(type, at, w.mapToGlobal(at), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
  };
  for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease})
      send(type, button);
  }
  EXPECT_TRUE(log.playFile.empty());
  EXPECT_EQ(w.Playing, 0);
  EXPECT_EQ(log.rightClick, 4);
  EXPECT_EQ(w.Selected, 3);
}

TEST_F(PlaylistWidget, TheWheelScrollsThreeRowsANotch) {
  auto turn = [this](int delta) {
    const QPointF at(40, 40);
    QWheelEvent event(at, w.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &event);
  };
  turn(-120);
  EXPECT_EQ(w.elements().PicOzadje.box.top, -42);
  EXPECT_NEAR(w.ThumbTop(), 42.0 * w.ThumbTravel() / -w.ScrollRange(), 1e-9) << "the thumb follows";
  turn(-60);  // half a notch waits for the other half
  EXPECT_EQ(w.elements().PicOzadje.box.top, -42);
  turn(-60);
  EXPECT_EQ(w.elements().PicOzadje.box.top, -84);
  turn(-1200);
  EXPECT_EQ(w.elements().PicOzadje.box.top, w.ScrollRange());
  turn(1200);
  EXPECT_EQ(w.elements().PicOzadje.box.top, 0);
}

TEST_F(PlaylistWidget, ATimeTooWideForItsLabelStaysInsideIt) {
  w.Clear();
  ASSERT_TRUE(w.AddItem("f", "", "", "1234:56:07", 10));
  const QImage shot = w.grab().toImage();
  const playlist::Row& r = w.row(1);
  const QColor back = playlist::ToQColor(w.BackgroundColor());
  int spilt = 0;
  for (int x = r.lblevilka.box.right() + 1; x < r.shps.box.left; ++x) {
    for (int y = r.lbls.box.top; y < r.lbls.box.bottom(); ++y) spilt += shot.pixelColor(x, y) != back;
  }
  EXPECT_EQ(spilt, 0);
  int drawn = 0;  // and the time is there, inside its own column
  for (int x = r.lbls.box.left; x < w.elements().PicOzadje.box.width; ++x) {
    for (int y = r.lbls.box.top; y < r.lbls.box.bottom(); ++y)
      drawn += shot.pixelColor(x, y) != playlist::ToQColor(w.BackgroundTimeColor());
  }
  EXPECT_GT(drawn, 0);
}

TEST_F(PlaylistWidget, ADropHandsTheHostItsLocalFilesAndTextAsPlainData) {
  playlist::DragData seen;
  std::int32_t seenEffect = 0;
  w.OLEDragDrop = [&](const playlist::DragData& data, std::int32_t& Effect, std::int16_t, std::int16_t, float,
                      float) {
    seen = data;
    seenEffect = Effect;
  };
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/music/晴天.mp3")), QUrl(QStringLiteral("https://a.b/c"))});
  mime.setText(QStringLiteral("晴天"));
  // Qt hands a drop only to the widget that took the drag when it entered.
  QDragEnterEvent enter(QPoint(40, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  QDropEvent drop(QPointF(40, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  EXPECT_EQ(seen.files, (std::vector<std::string>{"/music/晴天.mp3"}));
  EXPECT_EQ(seen.text, "晴天");
  EXPECT_EQ(seenEffect, 1);  // copy
}

TEST_F(PlaylistWidget, ItPaintsTheSelectedRowThePlayingFrameAndTheSkin) {
  EXPECT_TRUE(w.SelectIndex(2));
  w.NePredvajaj = true;
  w.Play(4);
  w.NePredvajaj = false;
  QImage shot = w.grab().toImage();
  const playlist::Elements& e = w.elements();
  // Selected background (border and fill), then the playing frame, then the skin's up button.
  EXPECT_EQ(shot.pixelColor(0, 14), playlist::ToQColor(w.SelectedBorderColor()));
  EXPECT_EQ(shot.pixelColor(100, 14 + 7), playlist::ToQColor(w.SelectedTitleBackColor()));
  EXPECT_EQ(shot.pixelColor(0, 3 * 14 + 7), playlist::ToQColor(w.PlayedBorderColor()));
  EXPECT_EQ(shot.pixelColor(w.row(1).shps.box.left + 3, 7), playlist::ToQColor(w.BackgroundTimeColor()));
  const QImage skin = playlist::ImageView(PlayerSkin()).copy();
  for (int y = 0; y < 17; ++y) {
    EXPECT_EQ(shot.pixelColor(e.picScroll.box.left + 6, y), skin.pixelColor(6, y)) << y;
  }
  EXPECT_EQ(shot.pixelColor(e.picScroll.box.left + 6, 141 - 1), skin.pixelColor(6, 17 + 16));
}

}  // namespace
