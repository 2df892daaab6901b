#include "task_bar_hwnd.h"

#include <cmath>

#include "platform/property_store.h"

namespace player::win32 {

TaskBarHwnd::TaskBarHwnd(HWND window, int scale) : window_(window), scale_(scale) {
  const platform::MemoryPropertyStore defaults;
  bar_.ReadProperties(defaults, this, /*userMode=*/true);
  if (bar_.TimerEnabled()) ::SetTimer(window_, kTimerId, kTickMilliseconds, nullptr);
}

TaskBarHwnd::~TaskBarHwnd() { ::KillTimer(window_, kTimerId); }

void TaskBarHwnd::Tick() {
  // Hidden or minimized, the window is nowhere on the screen to slide.
  if (!::IsWindowVisible(window_) || ::IsIconic(window_)) return;
  RECT frame{};
  if (!::GetWindowRect(window_, &frame)) return;
  left_ = frame.left / scale_;
  top_ = frame.top / scale_;
  width_ = (frame.right - frame.left) / scale_;
  height_ = (frame.bottom - frame.top) / scale_;
  const int left = left_, top = top_;
  pointer_ = desktop_->Pointer();
  if (!pointer_) return;
  pointer_->x /= scale_;
  pointer_->y /= scale_;
  bar_.Tick();
  if (left_ != left || top_ != top)
    ::SetWindowPos(window_, nullptr, left_ * scale_, top_ * scale_, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TaskBarHwnd::ScreenWidth() const { return desktop_->Width() / scale_ * docking::kTwipsPerPixel; }

std::optional<docking::TaskBar::Host::Point> TaskBarHwnd::PointerPosition() const {
  if (!pointer_) return std::nullopt;
  return Point{pointer_->x, pointer_->y};
}

void TaskBarHwnd::KeepAbove(bool above) { desktop_->KeepAbove(reinterpret_cast<std::uintptr_t>(window_), above); }

// The nearest pixel; 15 is odd, so a whole number of twips is never half way.
int TaskBarHwnd::ToPixels(int twips) { return static_cast<int>(std::lround(twips / double(docking::kTwipsPerPixel))); }

}  // namespace player::win32
