// The packager window driven like a user: clicks on its buttons, typing into its boxes, the
// dialogs and message boxes answered by scripts. The albums it builds are compared with those
// of the pakrel command line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include "packager/form1.h"
#include "packager/gradient_hscroll_widget.h"
#include "packager_test_support.h"

namespace {

using packager::Form1;
using packager::GradientHScrollWidget;
using packager_test::ReadAll;
using packager_test::ScriptedDialogs;
using packager_test::TempFolder;

struct Box {
  QString text;
  QString title;
  friend bool operator==(const Box&, const Box&) = default;
};

QString Q(const std::filesystem::path& file) { return QString::fromStdString(file.string()); }

class RecordingBoxes : public ui::MessageBoxes {
 public:
  void Show(QWidget*, const ui::Message& message) override { boxes.push_back({message.text, message.title}); }
  // Questions are recorded like boxes and answered from `answers` (no when it runs out).
  bool Ask(QWidget* parent, const ui::Message& message) override {
    Show(parent, message);
    const bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return yes;
  }
  std::vector<Box> boxes;
  std::deque<bool> answers;
};

// The player program exactly as pakrel carries it.
const std::string& Player() {
  static const std::string bytes = ReadAll(SONVIRA_BINARY_DIR "/res/sonvira.res");
  return bytes;
}

const std::filesystem::path kPakrel = SONVIRA_BINARY_DIR "/bin/pakrel";

struct Window {
  TempFolder folder;
  std::filesystem::path output = folder.path() / "albums";
  ScriptedDialogs dialogs;
  RecordingBoxes boxes;
  ui::ScopedMessageBoxes scopedBoxes{boxes};
  std::vector<QUrl> opened;
  bool desktopOpens = true;
  std::unique_ptr<Form1> form;

  explicit Window(const std::function<void(Form1::Setup&)>& adjust = {}) {
    std::filesystem::create_directories(output);
    Form1::Setup setup;
    setup.players.forLinux = {reinterpret_cast<const std::byte*>(Player().data()), Player().size()};
    setup.outputFolder = output;
    setup.completionNote = Form1::OwnFolderNote();
    setup.link = QUrl::fromLocalFile(QString::fromStdString(folder.Write("README.md", 10, 0).string()));
    setup.dialogs = &dialogs;
    setup.openUrl = [this](const QUrl& url) {
      opened.push_back(url);
      return desktopOpens;
    };
    if (adjust) adjust(setup);
    form = std::make_unique<Form1>(std::move(setup));
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  template <class T>
  T* Find(const QString& name) const {
    T* widget = form->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  QPushButton* Button(const QString& name) const { return Find<QPushButton>(name); }
  QLineEdit* Box(const QString& name) const { return Find<QLineEdit>(name); }
  GradientHScrollWidget* Percent2() const { return Find<GradientHScrollWidget>(QStringLiteral("Percent2")); }
  QLabel* Label(const QString& name) const { return Find<QLabel>(name); }

  void Click(const QString& button) { QTest::mouseClick(Button(button), Qt::LeftButton); }
  void PickSong(int index, const std::filesystem::path& path) {
    dialogs.answers.push_back(path);
    Click(QStringLiteral("Command1(%1)").arg(index));
  }
  void PickLyrics(int index, const std::filesystem::path& path) {
    dialogs.answers.push_back(path);
    Click(QStringLiteral("Command2(%1)").arg(index));
  }
  // Typed as keys; characters beyond ASCII arrive the way an input method commits them.
  void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    for (QChar c : text) {
      if (c.unicode() < 128) {
        QTest::keyClicks(box, QString(c));
      } else {
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QApplication::sendEvent(box, &commit);
      }
    }
  }
  void TypeName(const QString& name) { Type(Box(QStringLiteral("Text1")), name); }
};

// Runs the pakrel command line; its album lands in `folder`.
std::filesystem::path BuildWithCommandLine(const QStringList& arguments, const std::filesystem::path& folder,
                                           const QString& name) {
  std::filesystem::create_directories(folder);
  QProcess process;
  QStringList all = arguments;
  all << QStringLiteral("--name") << name << QStringLiteral("--output-dir")
      << QString::fromStdString(folder.string());
  process.start(QString::fromStdString(kPakrel.string()), all);
  EXPECT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return folder / (name.trimmed().toStdString() + ".exe");
}

// Compares two files without printing megabytes of bytes when they differ.
testing::AssertionResult SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  const std::string x = ReadAll(a), y = ReadAll(b);
  if (x.empty()) return testing::AssertionFailure() << a << " is empty or missing";
  if (x == y) return testing::AssertionSuccess();
  auto diff = std::mismatch(x.begin(), x.end(), y.begin(), y.end());
  return testing::AssertionFailure() << a << " (" << x.size() << " bytes) and " << b << " (" << y.size()
                                     << " bytes) differ from byte " << (diff.first - x.begin());
}

std::vector<std::pair<int, bool>> ExpectedProgress() {
  std::vector<std::pair<int, bool>> steps{{50, true}};
  for (int k = 1; k <= 21; ++k) steps.push_back({2 * k, true});
  steps.push_back({44, true});
  steps.push_back({48, true});
  steps.push_back({50, true});
  steps.push_back({50, false});
  return steps;
}

TEST(PackagerWindowTest, ControlsSitAtTheirDesignPositions) {
  Window w;
  EXPECT_EQ(w.form->windowTitle(), QStringLiteral("Pakrel"));
  EXPECT_EQ(w.form->size(), QSize(686, 360));
  EXPECT_EQ(w.Label(QStringLiteral("Image1"))->geometry(), QRect(0, 3, 135, 354));
  EXPECT_EQ(w.Label(QStringLiteral("Label1"))->pos(), QPoint(146, 16));
  EXPECT_EQ(w.Label(QStringLiteral("Label1"))->text(), QStringLiteral("专辑名称"));
  EXPECT_EQ(w.Box(QStringLiteral("Text1"))->geometry(), QRect(206, 8, 429, 19));
  EXPECT_EQ(w.Label(QStringLiteral("Label2"))->text(), QStringLiteral("音乐列表："));
  EXPECT_EQ(w.Label(QStringLiteral("Label4"))->text(),
            QStringLiteral("请选择音乐和相应的歌词LRC文件，最多可集合10首歌曲   "));
  const int tops[10] = {64, 88, 110, 136, 160, 182, 206, 230, 254, 278};
  for (int row = 0; row < 10; ++row) {
    EXPECT_EQ(w.Box(QStringLiteral("Text2(%1)").arg(row + 1))->geometry().topLeft(), QPoint(140, tops[row]));
    EXPECT_EQ(w.Box(QStringLiteral("Text2(%1)").arg(row + 11))->geometry().topLeft(), QPoint(416, tops[row]));
    QPushButton* song = w.Button(QStringLiteral("Command1(%1)").arg(row));
    QPushButton* lyrics = w.Button(QStringLiteral("Command2(%1)").arg(row));
    EXPECT_EQ(song->geometry().topLeft(), QPoint(352, tops[row]));
    EXPECT_EQ(lyrics->geometry().topLeft(), QPoint(624, tops[row]));
    EXPECT_EQ(song->text(), QStringLiteral("音乐%1").arg(row + 1));
    EXPECT_EQ(lyrics->text(), QStringLiteral("歌词%1").arg(row + 1));
  }
  EXPECT_EQ(w.Button(QStringLiteral("Command3"))->geometry(), QRect(144, 304, 107, 39));
  EXPECT_EQ(w.Button(QStringLiteral("Command3"))->text(), QStringLiteral("开始打包成EXE"));
  EXPECT_EQ(w.Button(QStringLiteral("Command4"))->geometry(), QRect(608, 304, 73, 41));
  EXPECT_EQ(w.Button(QStringLiteral("Command4"))->text(), QStringLiteral("退出程序"));
  EXPECT_EQ(w.Label(QStringLiteral("Label6"))->geometry(), QRect(184, 306, 513, 15));
  EXPECT_EQ(w.Label(QStringLiteral("Label6"))->text(),
            QStringLiteral("音乐光碟已经完成，并放在本程式的所在目录下。"));
  EXPECT_FALSE(w.Label(QStringLiteral("Label6"))->isVisible());
  EXPECT_EQ(w.Label(QStringLiteral("Label5"))->geometry(), QRect(336, 328, 174, 12));
  EXPECT_EQ(w.Percent2()->geometry(), QRect(152, 344, 512, 15));
  EXPECT_FALSE(w.Percent2()->isVisible());
  EXPECT_EQ(w.Percent2()->bar().Value(), 50);
  EXPECT_FALSE(w.Percent2()->bar().BarVisible());
  EXPECT_FALSE(w.Percent2()->bar().ScrollEnabled());
  // The description box and its label lie below the client area, out of sight.
  auto* description = w.Find<QPlainTextEdit>(QStringLiteral("rtfOutput"));
  EXPECT_EQ(description->geometry(), QRect(10, 364, 133, 237));
  EXPECT_EQ(description->toPlainText(), QStringLiteral("没有说明\n"));
  EXPECT_GE(w.Label(QStringLiteral("Label3"))->y(), 360);
  EXPECT_GE(w.Label(QStringLiteral("Image2"))->y(), 360);
  EXPECT_EQ(w.form->palette().color(QPalette::Window), QColor(235, 233, 237));
}

// With both players carried, the album is for the system picked in the target box; the box
// covers none of the other controls and is not there when there is nothing to pick.
TEST(PackagerWindowTest, TheTargetBoxPicksThePlayerAtTheAlbumsHead) {
  EXPECT_FALSE(Window().Find<QComboBox>(QStringLiteral("cboTarget"))->isVisible());

  const std::string windowsPlayer = "MZ a Windows player stand-in";
  Window w([&](Form1::Setup& setup) {
    setup.players.forWindows = {reinterpret_cast<const std::byte*>(windowsPlayer.data()), windowsPlayer.size()};
  });
  auto* target = w.Find<QComboBox>(QStringLiteral("cboTarget"));
  ASSERT_TRUE(target->isVisible());
  for (QWidget* other : w.form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other != target && other->isVisible() && other->y() < w.form->height()) {
      EXPECT_FALSE(other->geometry().intersects(target->geometry())) << other->objectName().toStdString();
    }
  }
  EXPECT_FALSE(target->geometry().intersects(w.Percent2()->geometry()));
  EXPECT_EQ(target->currentText(), QStringLiteral("Linux"));

  const auto song = w.folder.WriteSong("tone.mp3", 4000, 1);
  auto build = [&](const QString& name) {
    w.PickSong(0, song);
    w.TypeName(name);
    w.Click(QStringLiteral("Command3"));
    return ReadAll(w.output / (name.toStdString() + ".exe"));
  };
  const std::string forLinux = build(QStringLiteral("album"));
  target->setFocus();
  QTest::keyClick(target, Qt::Key_Up);
  EXPECT_EQ(w.form->workflow().AlbumTarget(), packager::Target::Windows);
  const std::string forWindows = build(QStringLiteral("album"));
  EXPECT_TRUE(w.boxes.boxes.empty());
  EXPECT_EQ(forWindows.substr(0, windowsPlayer.size()), windowsPlayer);
  EXPECT_EQ(forLinux.substr(0, Player().size()), Player());
  // The same song follows either player.
  EXPECT_EQ(forWindows.substr(windowsPlayer.size(), 4000), forLinux.substr(Player().size(), 4000));
  EXPECT_EQ(target->currentText(), QStringLiteral("Windows"));
}

TEST(PackagerWindowTest, BuildButtonWarnsAboutAMissingNameThenAMissingDescription) {
  Window w;
  w.TypeName(QStringLiteral("   "));
  w.Click(QStringLiteral("Command3"));
  auto* description = w.Find<QPlainTextEdit>(QStringLiteral("rtfOutput"));
  description->setPlainText(QStringLiteral("  "));
  w.Box(QStringLiteral("Text1"))->clear();
  w.TypeName(QStringLiteral("名字"));
  w.Click(QStringLiteral("Command3"));
  EXPECT_EQ(
      w.boxes.boxes,
      (std::vector<Box>{{QStringLiteral("请先给你制作的专辑取个名字吧！"), QStringLiteral("无专辑名")},
                        {QStringLiteral("请为你制作的专辑写个说明吧！"), QStringLiteral("无专辑说明")}}));
  EXPECT_TRUE(std::filesystem::is_empty(w.output));
  EXPECT_EQ(w.Box(QStringLiteral("Text1"))->text(), QStringLiteral("名字"));
  EXPECT_FALSE(w.Percent2()->isVisible());
}

TEST(PackagerWindowTest, MouseBuiltAlbumsMatchTheCommandLineTwiceInARow) {
  Window w;
  auto song1 = w.folder.WriteSong("第一首.mp3", 6000, 1);
  auto lyrics1 = w.folder.Write("第一首.lrc", 300, 2);
  auto song4 = w.folder.WriteSong("four.mp3", 9000, 3);
  auto lyrics9 = w.folder.Write("nine.lrc", 200, 4);
  auto song10 = w.folder.WriteSong("ten.mp3", 2500, 5);

  std::vector<std::pair<int, bool>> progress;
  std::vector<bool> buildButtonEnabled;
  GradientHScrollWidget* percent = w.Percent2();
  QPushButton* build = w.Button(QStringLiteral("Command3"));
  percent->bar().onPropertyChanged = [&](const char* name) {
    if (std::string_view(name) != "Value") return;
    progress.push_back({percent->bar().Value(), percent->isVisible()});
    buildButtonEnabled.push_back(build->isEnabled());
    if (progress.size() == 6) QTest::mouseClick(build, Qt::LeftButton);  // ignored while building
  };

  // Slots 1, 4 and 10 with gaps between them; lyrics in slots 1 and 9.
  w.PickSong(0, song1);
  w.PickLyrics(0, lyrics1);
  w.PickSong(3, song4);
  w.PickLyrics(8, lyrics9);
  w.PickSong(9, song10);
  EXPECT_EQ(w.Box(QStringLiteral("Text2(4)"))->text(), QString::fromStdString(song4.string()));
  EXPECT_EQ(w.Box(QStringLiteral("Text2(19)"))->text(), QString::fromStdString(lyrics9.string()));
  w.TypeName(QStringLiteral(" 我的专辑 "));
  // The window stays responsive: an event already waiting is handled at the first progress step.
  std::size_t timerFiredAt = 0;
  QTimer::singleShot(0, [&] { timerFiredAt = progress.size(); });
  w.Click(QStringLiteral("Command3"));
  EXPECT_GE(timerFiredAt, 1u);
  EXPECT_LE(timerFiredAt, 2u);

  EXPECT_TRUE(w.boxes.boxes.empty());
  EXPECT_EQ(progress, ExpectedProgress());
  ASSERT_FALSE(buildButtonEnabled.empty());
  EXPECT_EQ(std::count(buildButtonEnabled.begin(), buildButtonEnabled.end(), true), 0);
  EXPECT_TRUE(build->isEnabled());

  const auto image = w.output / "我的专辑.exe";
  ASSERT_TRUE(std::filesystem::exists(image));
  auto cli =
      BuildWithCommandLine({QStringLiteral("--song"), QStringLiteral("1=%1").arg(Q(song1)),
                            QStringLiteral("--lyrics"), QStringLiteral("1=%1").arg(Q(lyrics1)),
                            QStringLiteral("--song"), QStringLiteral("4=%1").arg(Q(song4)),
                            QStringLiteral("--lyrics"), QStringLiteral("9=%1").arg(Q(lyrics9)),
                            QStringLiteral("--song"), QStringLiteral("10=%1").arg(Q(song10))},
                           w.folder.path() / "cli1", QStringLiteral(" 我的专辑 "));
  EXPECT_TRUE(SameFile(image, cli));

  // Finished: every path box and the name box empty, the note shown, the bar hidden.
  for (int i = 1; i <= 20; ++i) EXPECT_TRUE(w.Box(QStringLiteral("Text2(%1)").arg(i))->text().isEmpty()) << i;
  EXPECT_TRUE(w.Box(QStringLiteral("Text1"))->text().isEmpty());
  EXPECT_TRUE(w.Label(QStringLiteral("Label6"))->isVisible());
  EXPECT_FALSE(w.Percent2()->isVisible());

  // A second album in the same run, from freshly chosen songs.
  progress.clear();
  w.PickSong(1, song10);
  w.PickLyrics(1, lyrics1);
  w.TypeName(QStringLiteral("second"));
  w.Click(QStringLiteral("Command3"));
  EXPECT_TRUE(w.boxes.boxes.empty());
  EXPECT_EQ(progress, ExpectedProgress());
  auto cli2 =
      BuildWithCommandLine({QStringLiteral("--song"), QStringLiteral("2=%1").arg(Q(song10)),
                            QStringLiteral("--lyrics"), QStringLiteral("2=%1").arg(Q(lyrics1))},
                           w.folder.path() / "cli2", QStringLiteral("second"));
  EXPECT_TRUE(SameFile(w.output / "second.exe", cli2));
  EXPECT_TRUE(w.Label(QStringLiteral("Label6"))->isVisible());
}

TEST(PackagerWindowTest, FailedBuildShowsTheFileAndLeavesTheWindowAsItWas) {
  Window w;
  auto song = w.folder.WriteSong("a.mp3", 100, 1);
  w.PickSong(0, song);
  w.PickSong(4, w.folder.WriteSong("vanished.mp3", 100, 3));
  std::filesystem::remove(w.folder.path() / "vanished.mp3");
  w.TypeName(QStringLiteral("album"));
  w.Click(QStringLiteral("Command3"));

  ASSERT_EQ(w.boxes.boxes.size(), 1u);
  EXPECT_EQ(w.boxes.boxes[0].title, QStringLiteral("打包失败"));
  EXPECT_TRUE(w.boxes.boxes[0].text.contains(QStringLiteral("vanished.mp3")));
  EXPECT_EQ(w.Box(QStringLiteral("Text2(1)"))->text(), QString::fromStdString(song.string()));
  EXPECT_EQ(w.Box(QStringLiteral("Text2(5)"))->text(), Q(w.folder.path() / "vanished.mp3"));
  EXPECT_EQ(w.Box(QStringLiteral("Text1"))->text(), QStringLiteral("album"));
  EXPECT_FALSE(w.Percent2()->isVisible());
  EXPECT_EQ(w.Percent2()->bar().Value(), 50);
  EXPECT_FALSE(w.Label(QStringLiteral("Label6"))->isVisible());
  EXPECT_TRUE(w.Button(QStringLiteral("Command3"))->isEnabled());
  EXPECT_FALSE(std::filesystem::exists(w.output / "album.exe"));

  // Typing a path into a box counts like choosing it: fixing the path lets the build pass.
  QLineEdit* box = w.Box(QStringLiteral("Text2(5)"));
  box->clear();
  w.Type(box, Q(w.folder.WriteSong("b.mp3", 100, 2)));
  w.Click(QStringLiteral("Command3"));
  EXPECT_EQ(w.boxes.boxes.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(w.output / "album.exe"));
}

TEST(PackagerWindowTest, HoverColoursFollowTheMouse) {
  Window w;
  QLabel* link = w.Label(QStringLiteral("Label5"));
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  QTest::mouseMove(link, link->rect().center());
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  QTest::mouseMove(w.Label(QStringLiteral("Label1")), QPoint(2, 2));
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(255, 0, 0)) << "other controls leave it";
  QTest::mouseMove(w.form.get(), QPoint(300, 350));
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));

  QPushButton* build = w.Button(QStringLiteral("Command3"));
  QTest::mouseMove(build, build->rect().center());
  EXPECT_EQ(w.form->palette().color(QPalette::Window), QColor(255, 0, 255));
  QTest::mouseMove(w.form.get(), QPoint(300, 350));
  EXPECT_EQ(w.form->palette().color(QPalette::Window), QColor(255, 0, 255)) << "nothing sets it back";
}

TEST(PackagerWindowTest, LinkOpensThePageAndQuitClosesTheWindow) {
  Window w;
  QLabel* link = w.Label(QStringLiteral("Label5"));
  QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
  ASSERT_EQ(w.opened.size(), 1u);
  EXPECT_EQ(w.opened[0], QUrl::fromLocalFile(Q(w.folder.path() / "README.md")));
  EXPECT_TRUE(w.boxes.boxes.empty());

  // A page that is missing is reported instead of silently opening nothing.
  std::filesystem::remove(w.folder.path() / "README.md");
  QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
  EXPECT_EQ(w.opened.size(), 1u);
  ASSERT_EQ(w.boxes.boxes.size(), 1u);
  EXPECT_TRUE(w.boxes.boxes[0].text.contains(QStringLiteral("README.md")));
  EXPECT_FALSE(link->cursor().pixmap().isNull()) << "the link carries the packager's own cursor";
  EXPECT_FALSE(w.Button(QStringLiteral("Command3"))->cursor().pixmap().isNull());

  // With no program on the desktop for the page, the user is told where to read it.
  w.folder.Write("README.md", 10, 0);
  w.desktopOpens = false;
  QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
  ASSERT_EQ(w.boxes.boxes.size(), 2u);
  EXPECT_TRUE(w.boxes.boxes[1].text.contains(Q(w.folder.path() / "README.md")));

  w.Click(QStringLiteral("Command4"));
  EXPECT_FALSE(w.form->isVisible());
}

TEST(PackagerWindowTest, ClosingDuringABuildAsksAndStoppingUndoesTheBuildThenCloses) {
  Window w;
  const auto song = w.folder.WriteSong("a.mp3", 5000, 1);
  w.PickSong(0, song);
  w.PickSong(1, w.folder.WriteSong("b.mp3", 5000, 2));
  w.TypeName(QStringLiteral("album"));
  w.boxes.answers = {false, true};
  int steps = 0;
  std::vector<bool> visibleAfterClose;
  w.Percent2()->bar().onPropertyChanged = [&](const char* name) {
    if (std::string_view(name) != "Value" || ++steps > 8) return;
    if (steps == 4) w.form->close();  // the title bar: "no", the build goes on
    if (steps == 6) w.Click(QStringLiteral("Command4"));  // the quit button: "yes"
    if (steps == 4 || steps == 6) visibleAfterClose.push_back(w.form->isVisible());
  };
  w.Click(QStringLiteral("Command3"));

  ASSERT_EQ(w.boxes.boxes.size(), 2u) << "two questions and no failure box";
  EXPECT_EQ(w.boxes.boxes[0], w.boxes.boxes[1]);
  EXPECT_EQ(visibleAfterClose, (std::vector<bool>{true, true})) << "the window stays while the build runs";
  EXPECT_LT(steps, 10) << "the build stopped at the step after the answer";
  EXPECT_TRUE(std::filesystem::is_empty(w.output));
  EXPECT_FALSE(w.form->isVisible());
  EXPECT_EQ(w.Box(QStringLiteral("Text1"))->text(), QStringLiteral("album"));
  EXPECT_EQ(w.Box(QStringLiteral("Text2(1)"))->text(), Q(song));
  EXPECT_FALSE(w.Label(QStringLiteral("Label6"))->isVisible());
}

TEST(PackagerWindowTest, TheFallbackNoteKeepsTheFolderNameClearOfTheButtons) {
  const QString folder = QStringLiteral("/home/a-user-with-a-remarkably-long-name/deep/folders/on/the/way/Music");
  Window w([&](Form1::Setup& setup) { setup.completionFolder = folder; });
  QLabel* note = w.Label(QStringLiteral("Label6"));
  EXPECT_EQ(note->geometry(), QRect(184, 306, 513, 15));
  EXPECT_EQ(note->toolTip(), Form1::OtherFolderNote(folder));
  EXPECT_TRUE(note->text().endsWith(QStringLiteral("/Music 下。"))) << note->text().toStdString();
  const int textLeft = note->x() + note->contentsRect().left();
  const int textRight = note->x() + note->contentsRect().right();
  EXPECT_GT(textLeft, w.Button(QStringLiteral("Command3"))->geometry().right());
  EXPECT_LT(textRight, w.Button(QStringLiteral("Command4"))->x());
  EXPECT_LE(note->fontMetrics().horizontalAdvance(note->text()), note->contentsRect().width());
}

TEST(PackagerWindowTest, PullingTheWindowDownShowsTheDescriptionToEdit) {
  Window w;
  auto* description = w.Find<QPlainTextEdit>(QStringLiteral("rtfOutput"));
  EXPECT_TRUE(description->visibleRegion().isEmpty());
  w.form->resize(1000, 1000);
  EXPECT_EQ(w.form->width(), 686);
  EXPECT_TRUE(w.form->rect().contains(description->geometry()));
  QLabel* caption = w.Label(QStringLiteral("Label3"));
  EXPECT_EQ(caption->pos(), QPoint(132, 412));
  EXPECT_TRUE(w.form->rect().contains(caption->geometry()));
  EXPECT_GT(caption->x() + caption->contentsRect().left(), description->geometry().right()) << "text in sight";
  EXPECT_FALSE(description->visibleRegion().isEmpty());
  description->setFocus();
  description->selectAll();
  QTest::keyClicks(description, QStringLiteral("Songs of spring"));
  w.PickSong(0, w.folder.WriteSong("a.mp3", 100, 1));
  w.TypeName(QStringLiteral("spring"));
  w.Click(QStringLiteral("Command3"));
  EXPECT_TRUE(w.boxes.boxes.empty());
  EXPECT_TRUE(ReadAll(w.output / "spring.exe").find("Songs of spring") != std::string::npos);
}

TEST(PackagerWindowTest, ActivationHandsTheFocusToTheAlbumName) {
  Window w;
  w.Button(QStringLiteral("Command4"))->setFocus();
  QEvent activation(QEvent::ActivationChange);
  w.form->activateWindow();
  QApplication::sendEvent(w.form.get(), &activation);
  if (w.form->isActiveWindow()) {
    EXPECT_TRUE(w.Box(QStringLiteral("Text1"))->hasFocus());
  }
  // Text1 comes first: Tab leads from it to the first song path.
  w.Box(QStringLiteral("Text1"))->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), w.Box(QStringLiteral("Text2(1)")));
}

}  // namespace
