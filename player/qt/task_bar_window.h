#pragma once
// TaskBarWindow: a TaskBar docked on a real top-level window. Every 15 ms it reads the pointer
// and the window's geometry, runs one tick, and moves the window only when a step changed its
// position. The window's logical pixels are the control's pixels (15 twips each), so the strips
// that stay out are 3 pixels at the left and top and 2 at the right at any scale factor.
//
// The timer runs only while a tick can do something: it stops while the window is hidden or
// minimized, or rests away from every edge, and starts again when the window moves or shows.
// Slid out at an edge, the window waits for the pointer: where the desktop tells when the
// pointer moves (InputSocket), the timer sleeps until it does, or until the pointer enters or
// leaves the window, and the next tick finds what the ticks in between would have found.
//
// Where the window system does not let a window place itself (Wayland without XWayland, the
// offscreen platform) the timer never starts and the control does nothing; its properties
// still work. Lives and ticks on the GUI thread.
//
//   docking::TaskBarWindow TaskBar1(&window);   // the defaults; a PropertyStore* may follow
//   TaskBar1.bar().GoTop(true);

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "docking/task_bar.h"
#include "platform/desktop.h"

namespace docking {

class TaskBarWindow final : public QObject, private TaskBar::Host {
  Q_OBJECT

 public:
  // The tick: the pace at which the window slides, MoveLength twips per tick.
  static constexpr int kTickMilliseconds = 15;

  // Docks `window`, a top-level widget, with the properties in `store` (the defaults when
  // null) and starts the timer where `desktop` exists. Ticks pass over while the window is
  // hidden or minimized, and after it is destroyed.
  explicit TaskBarWindow(QWidget* window, const platform::PropertyStore* store = nullptr,
                         std::unique_ptr<platform::Desktop> desktop = platform::OpenDesktop());

  TaskBar& bar() { return bar_; }
  const TaskBar& bar() const { return bar_; }
  // Whether the control works on this display (it may still be waiting for the window to move).
  bool active() const { return desktop_ && bar_.TimerEnabled(); }
  // Whether the timer runs now.
  bool ticking() const { return timer_.isActive(); }
  // True when the window is slid out at an edge: no more than the strip the control leaves
  // (3 pixels at the left and top, 2 at the right) is on the screen.
  bool SlidOut() const;

  // One tick, as the timer runs it.
  void Tick();
  // Moves a window hidden at an edge back onto the screen to stay (TaskBar::BringOut), as
  // when the player is asked to come to the front. Nothing happens where the control does not
  // work on this display.
  void BringOut();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Wake();
  int Left() const override { return pos_.x() * kTwipsPerPixel; }
  int Top() const override { return pos_.y() * kTwipsPerPixel; }
  int Width() const override { return size_.width() * kTwipsPerPixel; }
  int Height() const override { return size_.height() * kTwipsPerPixel; }
  void SetLeft(int twips) override { pos_.setX(ToPixels(twips)); }
  void SetTop(int twips) override { pos_.setY(ToPixels(twips)); }
  int ScreenWidth() const override { return screenWidth_ * kTwipsPerPixel; }
  std::optional<Point> PointerPosition() const override;
  bool LeftButtonDown() const override { return pointer_ && pointer_->leftButtonDown; }
  void KeepAbove(bool above) override;

  // The nearest pixel; 15 is odd, so a whole number of twips is never half way.
  static int ToPixels(int twips);

  TaskBar bar_;
  QPointer<QWidget> window_;
  std::unique_ptr<platform::Desktop> desktop_;
  QTimer timer_;
  // Enabled while the timer sleeps for the pointer; null where the desktop cannot tell.
  std::unique_ptr<QSocketNotifier> pointerMoved_;

  // What this tick read, in logical pixels; the steps move pos_.
  std::optional<platform::PointerState> pointer_;
  QPoint pos_;
  QSize size_;
  int screenWidth_ = 0;
};

}  // namespace docking
