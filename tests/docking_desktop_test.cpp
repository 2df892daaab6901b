// TaskBarWindow on a real X server (./test.sh runs it under Xvfb), the pointer moved by real
// pointer events through xdotool: a window at the left edge slides out and comes back. Run
// once at scale factor 1 and once at 2, where device and logical pixels differ.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include "task_bar_window.h"

namespace {

// Moves the real pointer to logical pixel (x, y) or presses and releases its left button.
void Xdotool(const QStringList& args) {
  ASSERT_EQ(QProcess::execute("xdotool", args), 0) << args.join(' ').toStdString();
}
void PointerTo(const QWidget& w, int x, int y) {
  const qreal ratio = w.devicePixelRatioF();
  Xdotool({"mousemove", QString::number(qRound(x * ratio)), QString::number(qRound(y * ratio))});
}

// One line of what the X server says about the window ("Map State", ...).
QString ServerSays(const QWidget& w, const QString& field) {
  QProcess p;
  p.start("xwininfo", {"-id", QString::number(w.winId())});
  p.waitForFinished();
  for (const QString& line : QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n'))
    if (line.trimmed().startsWith(field + ":")) return line.section(':', 1).trimmed();
  return {};
}
// The window's left edge as the X server has it, in logical pixels.
int ServerLeft(const QWidget& w) {
  return qRound(ServerSays(w, "Absolute upper-left X").toInt() / w.devicePixelRatioF());
}

TEST(DockingOnARealDisplay, WindowAtTheLeftEdgeSlidesOutAndBackWithThePointer) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  QWidget window(nullptr, Qt::FramelessWindowHint);
  window.setFixedSize(254, 160);  // 3810 x 2400 twips
  window.move(3, 200);
  PointerTo(window, 100, 300);  // over it
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  docking::TaskBarWindow dock(&window);
  ASSERT_TRUE(dock.active());

  // The user holds the button, as in a drag: the window stays. Released, it goes.
  Xdotool({"mousedown", "1"});
  PointerTo(window, 600, 500);
  QTest::qWait(200);
  EXPECT_EQ(window.x(), 3);
  Xdotool({"mouseup", "1"});

  // Eight ticks to hide, leaving 50 twips: -3760 twips, -251 pixels, 3 pixels on the screen.
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.x() == -251; }, 2000)) << window.x();
  EXPECT_EQ(ServerLeft(window), -251);
  EXPECT_EQ(window.y(), 200);

  PointerTo(window, 2, 300);  // onto the strip
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.x() == -10; }, 2000)) << window.x();
  QTest::qWait(100);
  EXPECT_EQ(window.x(), -10);  // -150 twips, at rest while the pointer stays
  EXPECT_EQ(ServerLeft(window), -10);

  // Kept above through the window manager, without unmapping the window (no flicker).
  const WId id = window.winId();
  dock.bar().OnTop(true);
  QTest::qWait(50);
  EXPECT_EQ(window.winId(), id);
  EXPECT_EQ(ServerSays(window, "Map State").toStdString(), "IsViewable");
}

}  // namespace
