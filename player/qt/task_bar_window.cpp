#include "task_bar_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <cmath>

namespace docking {

TaskBarWindow::TaskBarWindow(QWidget* window, const platform::PropertyStore* store,
                             std::unique_ptr<platform::Desktop> desktop)
    : window_(window), desktop_(std::move(desktop)) {
  const platform::MemoryPropertyStore none;
  bar_.ReadProperties(store ? *store : static_cast<const platform::PropertyStore&>(none), this,
                      /*userMode=*/true);
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kTickMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &TaskBarWindow::Tick);
  if (window) window->installEventFilter(this);
  if (desktop_ && desktop_->InputSocket() >= 0) {
    pointerMoved_ = std::make_unique<QSocketNotifier>(desktop_->InputSocket(), QSocketNotifier::Read);
    pointerMoved_->setEnabled(false);
    connect(pointerMoved_.get(), &QSocketNotifier::activated, this, &TaskBarWindow::Wake);
  }
  // A smaller screen can bring a window at rest within reach of the right edge.
  if (QScreen* screen = QGuiApplication::primaryScreen())
    connect(screen, &QScreen::virtualGeometryChanged, this, &TaskBarWindow::Wake);
  Wake();
}

void TaskBarWindow::Wake() {
  if (pointerMoved_) pointerMoved_->setEnabled(false);
  if (active() && !timer_.isActive()) timer_.start();
}

bool TaskBarWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == window_ &&
      (type == QEvent::Move || type == QEvent::Show || type == QEvent::WindowStateChange ||
       type == QEvent::Enter || type == QEvent::Leave))
    Wake();
  return QObject::eventFilter(watched, event);
}

bool TaskBarWindow::SlidOut() const {
  if (!window_ || !window_->isVisible()) return false;
  const QRect frame = window_->frameGeometry();
  const QScreen* screen = window_->screen();
  const int screenWidth = desktop_ ? desktop_->Width() : screen ? screen->virtualGeometry().right() + 1 : 0;
  // In twips: L + W <= 50 and T + H <= 50 at the left and top, L >= S - 30 at the right.
  return (frame.right() + 1) * kTwipsPerPixel <= 50 || (frame.bottom() + 1) * kTwipsPerPixel <= 50 ||
         (screenWidth > 0 && frame.left() * kTwipsPerPixel >= (screenWidth - 2) * kTwipsPerPixel);
}

void TaskBarWindow::Tick() {
  if (!desktop_ || !window_ || !window_->isVisible() || window_->isMinimized()) {
    timer_.stop();  // a show or a restore starts it again
    return;
  }
  const QRect frame = window_->frameGeometry();
  pos_ = frame.topLeft();
  size_ = frame.size();
  screenWidth_ = desktop_->Width();
  if (bar_.Resting()) {
    timer_.stop();  // until the window moves
    return;
  }
  pointer_ = desktop_->Pointer();
  if (!pointer_) return;
  bar_.Tick();
  if (pos_ != frame.topLeft()) {
    window_->move(pos_);
  } else if (pointerMoved_ && SlidOut()) {
    // Out of sight with the pointer elsewhere: every tick would find the same until the pointer
    // moves or a button changes. (The hide steps are done; the button only holds them.)
    timer_.stop();
    pointerMoved_->setEnabled(true);
  }
}

void TaskBarWindow::BringOut() {
  if (!desktop_ || !window_) return;
  const QRect frame = window_->frameGeometry();
  pos_ = frame.topLeft();
  size_ = frame.size();
  screenWidth_ = desktop_->Width();
  bar_.BringOut();
  if (pos_ != frame.topLeft()) window_->move(pos_);
}

std::optional<TaskBar::Host::Point> TaskBarWindow::PointerPosition() const {
  if (!pointer_) return std::nullopt;
  return Point{pointer_->x, pointer_->y};
}

int TaskBarWindow::ToPixels(int twips) {
  return static_cast<int>(std::lround(twips / double(kTwipsPerPixel)));
}

void TaskBarWindow::KeepAbove(bool above) {
  if (!window_ || !desktop_) return;
  // Changing the widget's flags would hide and recreate a shown window; the QWindow asks the
  // window manager for _NET_WM_STATE_ABOVE on a mapped window and sets it before mapping one
  // not shown yet. The widget keeps the same flags, so a later recreation keeps the hint.
  window_->overrideWindowFlags(window_->windowFlags().setFlag(Qt::WindowStaysOnTopHint, above));
  if (QWindow* handle = window_->windowHandle()) handle->setFlag(Qt::WindowStaysOnTopHint, above);
}

}  // namespace docking
