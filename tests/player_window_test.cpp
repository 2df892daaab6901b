// The player window on the offscreen platform, wired to its model with a fake audio library:
// the controls as designed, the see-through shape, the song buttons, the picture buttons, the
// menu and the export, closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include "frm_menu.h"
#include "frm_player.h"
#include "pictures.h"
#include "player/player_layout.h"
#include "player_test_support.h"
#include "playlist/stdss_widget.h"
#include "support/wait.h"
#include "ui/message_box.h"

namespace fs = std::filesystem;
using player::frmPlayer;
using player_test::FakeBass;
using player_test::MakeAlbum;
using player_test::Title;
using testing_support::ExpectSoon;
using testing_support::TempDir;

namespace {

class RecordingBoxes : public ui::MessageBoxes {
 public:
  void Show(QWidget*, const ui::Message& m) override { shown.push_back(m); }
  std::vector<ui::Message> shown;
};

QColor TextColour(QWidget* w) {
  return w->palette().color(QPalette::Active, QPalette::WindowText);
}

QColor FromBgr(std::uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

class PlayerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeBass::The() = FakeBass{};
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
  }

  // The window as designed, before start-up.
  frmPlayer& Make(const std::map<int, std::string>& songs, const std::vector<int>& lyrics = {}) {
    frmPlayer::Setup setup;
    setup.album = MakeAlbum(dir_.path(), songs, lyrics);
    setup.privateFolder = runtime_.path();
    setup.library = &library_;
    window_ = std::make_unique<frmPlayer>(setup);
    return *window_;
  }

  frmPlayer& Open(const std::map<int, std::string>& songs, const std::vector<int>& lyrics = {}) {
    Make(songs, lyrics);
    std::optional<player::Message> refused = window_->Start();
    EXPECT_FALSE(refused);
    window_->show();
    return *window_;
  }

  template <class W = QLabel>
  W* Find(const char* name) {
    W* w = window_->findChild<W*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  QImage Shown(const char* name) { return Find(name)->pixmap().toImage(); }

  TempDir dir_, runtime_;
  player_test::FakeLibrary library_;
  RecordingBoxes boxes_;
  ui::ScopedMessageBoxes scopedBoxes_{boxes_};
  std::unique_ptr<frmPlayer> window_;
};

// A handful of controls as designed: place, caption, colour (0x00BBGGRR) and bold face.
struct Designed {
  const char* name;
  QRect place;
  const char* text = "";
  std::uint32_t colour = 0;
  bool bold = false;
};
const Designed kDesigned[] = {
    {"Label2", {10, 8, 162, 12}, "Sonvira · 未命名专辑", 0x7C635A, true},
    {"songword", {14, 30, 224, 12}, "本专辑中没有歌曲", 0x00FF00, false},
    {"lblTime", {2, 36, 41, 16}, "00:00", 0xD2C574, true},
    {"lblTotalTime", {180, 38, 45, 20}, "00:00", 0x7C635A, true},
    {"songtitle", {14, 104, 225, 13}, "歌名无", 0x52433C, true},
    {"Label1(10)", {220, 142, 16, 12}, "10", 0xFFFFFF, false},
    {"Image2", {106, 120, 44, 53}},
    {"PicSpectrum1", {58, 54, 141, 45}},
};

TEST_F(PlayerWindow, ControlsShowTheirDesign) {
  frmPlayer& w = Make({});
  EXPECT_EQ(w.windowTitle(), "Sonvira");
  EXPECT_EQ(w.size(), QSize(253, 185));
  EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
  for (const Designed& design : kDesigned) {
    auto* control = Find<QLabel>(design.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), design.place) << design.name;
    if (*design.text == '\0') continue;
    EXPECT_EQ(control->text(), QString::fromUtf8(design.text)) << design.name;
    EXPECT_EQ(TextColour(control), FromBgr(design.colour)) << design.name;
    EXPECT_EQ(control->font().bold(), design.bold) << design.name;
  }
  EXPECT_EQ(Find("lblTotalTime")->toolTip(), QStringLiteral("总计时间"));
  const QRect client(0, 0, 253, 185);
  for (const char* hidden : {"stdSS1", "Label1(0)"})
    EXPECT_FALSE(client.intersects(Find<QWidget>(hidden)->geometry())) << hidden;
}

// Pixels of `shown` inside `area` near the pure green of the playing song's button.
int GreenPixels(const QImage& shown, const QRect& area) {
  int green = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      green += qGreen(shown.pixel(x, y)) > 200 && qRed(shown.pixel(x, y)) < 60;
  return green;
}

TEST_F(PlayerWindow, MagentaIsSeeThroughAndTheRowsBelowTheBackgroundContinueItsLastRow) {
  QImage background(254, 183, QImage::Format_RGB32);
  background.fill(QColor(10, 20, 30));
  background.setPixel(0, 0, 0xFFFF00FF);
  background.setPixel(100, 50, 0xFFFE00FF);  // near magenta is not see-through
  background.setPixel(5, 182, 0xFFFF00FF);
  QRegion shape = player::ShapeOf(background, 253, 185);
  EXPECT_FALSE(shape.contains(QPoint(0, 0)));
  EXPECT_TRUE(shape.contains(QPoint(100, 50)));
  EXPECT_TRUE(shape.contains(QPoint(252, 184)));
  EXPECT_FALSE(shape.contains(QPoint(5, 184)));
  EXPECT_FALSE(shape.contains(QPoint(253, 10)));

  // The window as shown: round corners let the desktop through; the rows below the picture
  // show the window, so that a strip docked at the top edge can be seen.
  frmPlayer& w = Open({});
  for (QPoint through : {QPoint(0, 0), QPoint(252, 0)})
    EXPECT_FALSE(w.mask().contains(through)) << through.x() << "," << through.y();
  for (QPoint shown : {QPoint(126, 90), QPoint(126, 184)})
    EXPECT_TRUE(w.mask().contains(shown)) << shown.x() << "," << shown.y();
}

TEST_F(PlayerWindow, SongButtonsAndTheNextButtonPlayAndShowWhatPlays) {
  frmPlayer& w = Open({{1, "tone1"}, {2, "tone2"}, {5, "tone5"}}, {5});
  for (int n = 1; n <= 10; ++n)
    EXPECT_EQ(Find<QWidget>(player::SongButton(n).name)->isEnabled(), n <= 3) << n;
  EXPECT_EQ(Find("Label1(5)")->toolTip(), QString::fromStdString(Title(5)));
  const QImage shown = w.grab().toImage();
  EXPECT_GT(GreenPixels(shown, Find("Label1(1)")->geometry()), 0);
  EXPECT_EQ(GreenPixels(shown, Find("Label1(2)")->geometry()), 0);
  EXPECT_EQ(Find("songtitle")->text(), QString::fromStdString("[" + Title(1) + "]"));
  EXPECT_TRUE(Find<QTimer>("Timer1")->isActive());
  EXPECT_TRUE(Find<QTimer>("tmrBass")->isActive());

  QTest::mouseClick(Find("Label1(3)"), Qt::LeftButton);
  EXPECT_EQ(TextColour(Find("Label1(3)")), QColor(0, 255, 0));
  EXPECT_EQ(TextColour(Find("Label1(1)")), QColor(255, 255, 255));
  EXPECT_EQ(Find("songword")->text(), "");  // a song with lyrics: until its first line is due
  FakeBass::The().Current()->position = 3 * player_test::kBytesPerSecond / 2;
  ExpectSoon([&] { return Find("songword")->text(); }, QStringLiteral("歌词5"));
  QTest::mouseClick(Find("Image2"), Qt::LeftButton);
  EXPECT_EQ(TextColour(Find("Label1(1)")), QColor(0, 255, 0));

  // The end of a song, seen by tmrBass, moves the window on; Timer1 shows the length.
  FakeBass::The().Current()->position = FakeBass::The().Current()->length;
  ExpectSoon([&] { return Find("songtitle")->text(); }, QString::fromStdString("[" + Title(2) + "]"));
  ExpectSoon([&] { return Find("lblTotalTime")->text(); }, QStringLiteral("00:10"));
  // The bar display: with no sample data every bar shows its foot alone.
  const QSize box = Find("PicSpectrum1")->size();
  const player::SpectrumRect foot = player::SpectrumBarRect(0, 0, box.width(), box.height()).foot;
  const QPoint centre = QRect(foot.x, foot.y, foot.width, foot.height).center();
  ExpectSoon([&] { return Find("PicSpectrum1")->grab().toImage().pixel(centre); }, QRgb{player::kBarColour});
  EXPECT_EQ(TextColour(Find("Label1(2)")), QColor(0, 255, 0));
}

// Counts the paint events of every control of a window.
struct PaintCounter : QObject {
  explicit PaintCounter(QWidget& window) {
    for (QWidget* w : window.findChildren<QWidget*>()) w->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

TEST_F(PlayerWindow, NothingIsPaintedWhileNobodyCanSeeTheWindowAndItCatchesUpWhenSeenAgain) {
  frmPlayer& w = Open({{1, "tone1"}}, {1});
  EXPECT_EQ(Find("songword")->text(), "");  // the design caption goes: the first line is not due yet
  w.move(100, 100);
  ExpectSoon([&] { return Find("lblTotalTime")->text(); }, QStringLiteral("00:10"));
  QTest::qWait(200);
  PaintCounter counter(w);
  QTest::qWait(400);  // ticks that change nothing paint nothing
  EXPECT_EQ(counter.paints, 0);

  // The middle of bar 0 at its tallest, which its foot does not reach.
  const QSize box = Find("PicSpectrum1")->size();
  const player::SpectrumRect tall = player::SpectrumBarRect(0, 32767, box.width(), box.height()).bar;
  const QPoint high(tall.x + tall.width / 2, tall.y + 2);
  const auto barUp = [&] { return Find("PicSpectrum1")->grab().toImage().pixel(high) == player::kBarColour; };
  const auto hiddenWhile = [&](const std::function<void()>& hide, const std::function<void()>& show) {
    hide();
    QTest::qWait(50);
    counter.paints = 0;
    const int requests = FakeBass::The().dataRequests;
    FakeBass::The().Current()->position += 2 * player_test::kBytesPerSecond;
    FakeBass::The().cpu += 1;
    FakeBass::The().sample = FakeBass::The().sample == 0 ? 0x7FFF0000 : 0;
    // Both timers ran: the session moved on, the labels did not. (tmrBass, asleep between
    // lyric lines, wakes at least at each half second, when the library's load may change.)
    QTest::qWait(600);
    const std::string time = w.session().face().lblTime;
    EXPECT_NE(Find("lblTime")->text().toStdString(), time);
    EXPECT_NE(Find("lblCPU")->text().toStdString(), w.session().face().lblCPU);
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(FakeBass::The().dataRequests, requests);  // the bars were not asked for
    show();
    ExpectSoon([&] { return Find("lblTime")->text().toStdString(); }, time);
    EXPECT_EQ(Find("lblCPU")->text().toStdString(), w.session().face().lblCPU);
    ExpectSoon(barUp, FakeBass::The().sample != 0);  // the bars show the sound again
  };
  hiddenWhile([&] { w.showMinimized(); }, [&] { w.showNormal(); });
  EXPECT_EQ(Find("songword")->text(), QStringLiteral("歌词1"));  // fell due while minimized
  // Slid out at the left edge: 3 pixels stay on the screen.
  hiddenWhile([&] { w.move(3 - w.width(), 100); }, [&] { w.move(100, 100); });
}

TEST_F(PlayerWindow, PictureButtonsShowTheirHoverPicturesAsThePointerMoves) {
  Open({});
  const QImage nextNormal = Shown("Image2"), closeNormal = Shown("Image7"), minNormal = Shown("Image10");
  QTest::mouseMove(Find("Image2"), QPoint(5, 5));
  EXPECT_NE(Shown("Image2"), nextNormal);
  QTest::mouseMove(Find("Image7"), QPoint(5, 5));
  EXPECT_NE(Shown("Image7"), closeNormal);
  EXPECT_NE(Shown("Image2"), nextNormal);  // only the background resets the next button
  QTest::mouseMove(Find("Image10"), QPoint(5, 5));
  EXPECT_NE(Shown("Image10"), minNormal);
  EXPECT_EQ(Shown("Image7"), closeNormal);
  QTest::mouseMove(Find("Image1"), QPoint(120, 175));
  EXPECT_EQ(Shown("Image2"), nextNormal);
  EXPECT_EQ(Shown("Image10"), minNormal);
}

TEST_F(PlayerWindow, RightClickExportsTheSongAndClosingLeavesNothing) {
  frmPlayer& w = Open({{1, "tone1"}, {2, "tone2"}, {5, "tone5"}}, {5});
  QTest::mousePress(Find("Label1(4)"), Qt::RightButton);  // disabled: nothing
  EXPECT_EQ(w.menu(), nullptr);
  QTest::mousePress(Find("Label1(3)"), Qt::RightButton);
  ASSERT_NE(w.menu(), nullptr);
  EXPECT_TRUE(w.menu()->menRClick->isVisible());
  EXPECT_EQ(w.menu()->menRClick->title(), "menMain");
  EXPECT_EQ(w.menu()->outmp3lrc->text(), "释出MP3和LRC文件");
  w.menu()->outmp3lrc->trigger();
  EXPECT_EQ(testing_support::ReadFile(dir_ / (Title(5) + ".mp3")), "tone5");
  EXPECT_TRUE(fs::exists(dir_ / (Title(5) + ".lrc")));

  const fs::path unpacked = w.session().systemFolder();
  QTest::mouseClick(Find("Image7"), Qt::LeftButton);
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.menu()->menRClick->isVisible());
  EXPECT_FALSE(fs::exists(unpacked));
  EXPECT_FALSE(Find<QTimer>("tmrBass")->isActive());
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(PlayerWindow, ActivationHidesThePlaylistsScroller) {
  frmPlayer& w = Open({{1, "tone1"}});
  auto* list = Find<playlist::stdSSWidget>("stdSS1");
  list->AlwaysShowScroller(true);
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  EXPECT_FALSE(list->AShowScroller);
}

}  // namespace
