// The windows on a screen of twice the density (run with QT_SCALE_FACTOR=2 on the offscreen
// platform): they show the pictures drawn at twice the size, in the places and sizes of the plain
// ones, keep the plain window's shape, and lay out exactly as they do at the plain density.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "frm_player.h"
#include "packager/form1.h"
#include "pictures.h"
#include "player/player_layout.h"
#include "player/player_skin.h"
#include "player_test_support.h"
#include "playlist/qt_pictures.h"
#include "playlist/stdss_widget.h"
#include "support/wait.h"
#include "ui/pictures.h"

namespace {

using packager::Form1;
using player::frmPlayer;
using player_test::FakeBass;
using testing_support::TempDir;

constexpr char kGeometryMark[] = "geometry: ";

class HighDensity : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeBass::The() = FakeBass{};
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
  }

  frmPlayer& Player(const std::map<int, std::string>& songs = {}) {
    frmPlayer::Setup setup;
    setup.album = player_test::MakeAlbum(dir_.path(), songs);
    setup.privateFolder = runtime_.path();
    setup.library = &library_;
    player_ = std::make_unique<frmPlayer>(setup);
    return *player_;
  }

  Form1& Packager() {
    Form1::Setup setup;
    setup.outputFolder = dir_.path();
    setup.completionNote = Form1::OwnFolderNote();
    packager_ = std::make_unique<Form1>(std::move(setup));
    return *packager_;
  }

  TempDir dir_, runtime_;
  player_test::FakeLibrary library_;
  std::unique_ptr<frmPlayer> player_;
  std::unique_ptr<Form1> packager_;
};

// The size of `window` and the geometry of each of its named widgets, one line each.
QStringList GeometryOf(QWidget& window) {
  QStringList lines{
      QStringLiteral("%1 %2x%3").arg(window.objectName()).arg(window.width()).arg(window.height())};
  for (QWidget* w : window.findChildren<QWidget*>()) {
    const QRect g = w->geometry();
    if (!w->objectName().isEmpty())
      lines << QStringLiteral("%1 %2,%3 %4x%5")
                   .arg(w->objectName())
                   .arg(g.x())
                   .arg(g.y())
                   .arg(g.width())
                   .arg(g.height());
  }
  return lines;
}

void ExpectPlainSize(const QPixmap& shown, const QImage& plain, const QString& what) {
  EXPECT_EQ(shown.devicePixelRatio(), 2) << what.toStdString();
  EXPECT_EQ(shown.deviceIndependentSize(), QSizeF(plain.size())) << what.toStdString();
}

// Run by the test below in a process of the plain density: prints the windows' geometry.
TEST_F(HighDensity, DISABLED_PrintWindowGeometry) {
  for (QWidget* window : {static_cast<QWidget*>(&Player()), static_cast<QWidget*>(&Packager())}) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    for (const QString& line : GeometryOf(*window)) std::printf("%s%s\n", kGeometryMark, qPrintable(line));
  }
}

TEST_F(HighDensity, WindowsLayOutAsAtThePlainDensity) {
  ASSERT_EQ(qApp->devicePixelRatio(), 2) << "run with QT_SCALE_FACTOR=2";
  QStringList here;
  for (QWidget* window : {static_cast<QWidget*>(&Player()), static_cast<QWidget*>(&Packager())}) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    here << GeometryOf(*window);
  }

  QProcess plain;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1"));
  plain.setProcessEnvironment(env);
  plain.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_also_run_disabled_tests"),
               QStringLiteral("--gtest_filter=HighDensity.DISABLED_PrintWindowGeometry")});
  ASSERT_TRUE(plain.waitForFinished(60000));
  QStringList there;
  for (const QString& line : QString::fromUtf8(plain.readAllStandardOutput()).split(QLatin1Char('\n')))
    if (line.startsWith(QLatin1String(kGeometryMark))) there << line.mid(qsizetype(sizeof kGeometryMark) - 1);
  EXPECT_GT(there.size(), 50);
  EXPECT_EQ(here.join(QLatin1Char('\n')).toStdString(), there.join(QLatin1Char('\n')).toStdString());
}

TEST_F(HighDensity, ThePlayerShowsItsDenserPicturesAtThePlainSizesAndKeepsThePlainShape) {
  using namespace player::pictures;
  frmPlayer& w = Player({{1, "tone1"}});
  for (const player::ControlDesign& design : player::PlayerLayout()) {
    if (*design.picture == '\0') continue;
    const QPixmap shown = w.findChild<QLabel*>(QString::fromUtf8(design.name))->pixmap();
    ExpectPlainSize(shown, player::PlayerPicture(design.picture), QString::fromUtf8(design.name));
  }
  // The hover pictures, shown as the pointer passes.
  auto* next = w.findChild<QLabel*>(QStringLiteral("Image2"));
  QTest::mouseMove(next, QPoint(5, 5));
  ExpectPlainSize(next->pixmap(), player::PlayerPicture(kNextHover), QStringLiteral("Image4"));
  const QCursor pointer = w.findChild<QLabel*>(QStringLiteral("Label1(1)"))->cursor();
  ExpectPlainSize(pointer.pixmap(), player::PlayerPicture(kPointer), QStringLiteral("pointer"));
  EXPECT_EQ(pointer.hotSpot(), QPoint(10, 1));

  // The denser background is a drawing of its own, see-through in exactly the plain pixels.
  const QImage plain = player::PlayerPicture(kBackground), twice = player::PlayerPicture(kBackground, 2);
  EXPECT_NE(twice.convertToFormat(QImage::Format_RGB32),
            plain.scaled(plain.size() * 2).convertToFormat(QImage::Format_RGB32));
  const QRegion shape = player::ShapeOf(plain, player::kClientWidth, player::kClientHeight);
  EXPECT_EQ(player::ShapeOf(twice, player::kClientWidth, player::kClientHeight), shape);
  EXPECT_EQ(w.mask(), shape);

  // Shown, the window has no key colour inside its shape, and its bar box is painted at the full
  // density: above the bars' feet it is the denser bar-box picture pixel for pixel.
  ASSERT_FALSE(w.Start());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  auto* box = w.findChild<QLabel*>(QStringLiteral("PicSpectrum1"));
  const QImage boxPicture = player::PlayerPicture(kSpectrum, 2);
  testing_support::ExpectSoon([&] { return box->grab().toImage().pixel(box->width() * 2 - 2, 2); },
                              boxPicture.pixel(box->width() * 2 - 2, 2));
  const QImage boxShown = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(boxShown.size(), box->size() * 2);
  EXPECT_EQ(boxShown.copy(0, 0, boxShown.width(), 40),
            boxPicture.convertToFormat(QImage::Format_RGB32).copy(0, 0, boxShown.width(), 40));
  const QImage grabbed = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  int keyColour = 0;
  for (const QRect& r : shape)
    for (int y = r.top() * 2; y <= r.bottom() * 2 + 1; ++y)
      for (int x = r.left() * 2; x <= r.right() * 2 + 1; ++x) keyColour += grabbed.pixel(x, y) == 0xFFFF00FF;
  EXPECT_EQ(keyColour, 0);
}

TEST_F(HighDensity, ThePackagerAndThePlaylistShowTheirDenserPictures) {
  Form1& w = Packager();
  const auto plain = [](const char* name) {
    return ui::LoadPicture(QStringLiteral(":/packager/") + QLatin1String(name), 1);
  };
  ExpectPlainSize(w.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap(), plain("packager_banner.png"),
                  QStringLiteral("Image1"));
  ExpectPlainSize(w.findChild<QLabel*>(QStringLiteral("Image2"))->pixmap(), plain("packager_image2.png"),
                  QStringLiteral("Image2"));
  const QCursor pointer = w.findChild<QPushButton*>(QStringLiteral("Command3"))->cursor();
  ExpectPlainSize(pointer.pixmap(), plain("packager_cursor.png"), QStringLiteral("pointer"));
  EXPECT_EQ(pointer.hotSpot(), QPoint(1, 1));

  // The playlist cuts its scroller out of a denser skin in the skin's logical pixels and paints
  // the pieces at their full density.
  const QImage skin = player::PlayerPicture(player::pictures::kPlaylistSkin, 2);
  playlist::stdSSWidget list;
  list.SetSize(120, 100);
  player::DressPlaylist(list, playlist::ToPixels(skin));
  list.AlwaysShowScroller(true);
  const playlist::PictureElement& down = list.elements().PicDol;
  EXPECT_EQ(playlist::PictureImage(list, down).deviceIndependentSize(), QSizeF(13, 17));
  const QImage painted = list.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect where(list.elements().picScroll.box.left + down.box.left,
                    list.elements().picScroll.box.top + down.box.top, 13, 17);
  EXPECT_EQ(painted.copy(QRect(where.topLeft() * 2, where.size() * 2)),
            skin.copy(0, 34, 26, 34).convertToFormat(QImage::Format_RGB32));
}

}  // namespace
