#include "docking/task_bar_window.h"

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
  if (desktop_ && bar_.TimerEnabled()) timer_.start();
}

void TaskBarWindow::Tick() {
  if (!desktop_ || !window_ || !window_->isVisible() || window_->isMinimized()) return;
  pointer_ = desktop_->Pointer();
  if (!pointer_) return;
  const QRect frame = window_->frameGeometry();
  pos_ = frame.topLeft();
  size_ = frame.size();
  screenWidth_ = desktop_->Width();
  bar_.Tick();
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
