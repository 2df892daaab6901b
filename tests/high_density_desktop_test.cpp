// The windows' own pointers on a real X server at twice the density (./test.sh runs it under
// Xvfb with QT_SCALE_FACTOR=2): the server shows the pointer drawn at twice the size, with its hot
// spot on the same spot of the drawing as at the plain density.
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include "frm_player.h"
#include "packager/form1.h"
#include "player_test_support.h"

namespace {

struct ServerCursor {
  int width = 0, height = 0;
  QPoint hotSpot;
};

// The pointer the X server shows now, asked on a connection of our own.
ServerCursor ShownCursor() {
  ServerCursor shown;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c) == 0) {
    xcb_discard_reply(c, xcb_xfixes_query_version(c, 4, 0).sequence);
    if (auto* image = xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr)) {
      shown = {image->width, image->height, QPoint(image->xhot, image->yhot)};
      free(image);
    }
  }
  xcb_disconnect(c);
  return shown;
}

// Moves the real pointer onto the middle of `w`, in the server's (device) pixels.
ServerCursor CursorOver(QWidget* w) {
  const QPoint centre = w->mapToGlobal(w->rect().center()) * w->devicePixelRatioF();
  EXPECT_EQ(
      QProcess::execute("xdotool", {"mousemove", QString::number(centre.x()), QString::number(centre.y())}),
      0);
  QTest::qWait(300);
  return ShownCursor();
}

TEST(HighDensityOnARealDisplay, PointersKeepTheirHotSpotOnTheDrawing) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  ASSERT_EQ(qApp->devicePixelRatio(), 2) << "run with QT_SCALE_FACTOR=2";
  testing_support::TempDir dir, runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  player_test::FakeLibrary library;
  player::frmPlayer::Setup setup;
  setup.album = player_test::MakeAlbum(dir.path(), {{1, "tone1"}});
  setup.privateFolder = runtime.path();
  setup.library = &library;
  player::frmPlayer player(setup);
  player.move(100, 100);
  player.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&player));
  // The fingertip of the hand, pixel (10, 1) of the plain drawing.
  ServerCursor shown = CursorOver(player.findChild<QWidget*>(QStringLiteral("Label1(1)")));
  EXPECT_EQ(QSize(shown.width, shown.height), QSize(64, 64));
  EXPECT_EQ(shown.hotSpot, QPoint(20, 2));
  player.close();

  packager::Form1::Setup packagerSetup;
  packagerSetup.outputFolder = dir.path();
  packager::Form1 packager(std::move(packagerSetup));
  packager.move(0, 0);  // at twice the size it hardly fits a 1280 x 800 screen
  packager.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&packager));
  // The arrow's tip, pixel (1, 1) of the plain drawing; shown by the link label.
  shown = CursorOver(packager.findChild<QWidget*>(QStringLiteral("Label5")));
  EXPECT_EQ(QSize(shown.width, shown.height), QSize(64, 64));
  EXPECT_EQ(shown.hotSpot, QPoint(2, 2));
}

}  // namespace
