#pragma once
// TaskBar docked on a Win32 top-level window: its timer is a window timer of 1 ms (Windows
// makes that its shortest interval), and each tick reads the pointer with GetCursorPos and the
// left button with GetKeyState, runs one TaskBar tick and moves the window once when a step
// changed its position. The control counts in layout pixels of 15 twips; a window drawn at
// `scale` device pixels per layout pixel is measured in those. User-interface thread only.

#include <windows.h>

#include <memory>
#include <optional>

#include "docking/task_bar.h"
#include "platform/desktop.h"

namespace player::win32 {

class TaskBarHwnd final : private docking::TaskBar::Host {
 public:
  static constexpr UINT_PTR kTimerId = 3;
  static constexpr UINT kTickMilliseconds = 1;

  // Docks `window` with the default properties and starts the timer.
  TaskBarHwnd(HWND window, int scale);
  ~TaskBarHwnd() override;
  TaskBarHwnd(const TaskBarHwnd&) = delete;
  TaskBarHwnd& operator=(const TaskBarHwnd&) = delete;

  docking::TaskBar& bar() { return bar_; }
  // One tick: the window calls this for its WM_TIMER of kTimerId.
  void Tick();

 private:
  int Left() const override { return left_ * docking::kTwipsPerPixel; }
  int Top() const override { return top_ * docking::kTwipsPerPixel; }
  int Width() const override { return width_ * docking::kTwipsPerPixel; }
  int Height() const override { return height_ * docking::kTwipsPerPixel; }
  void SetLeft(int twips) override { left_ = ToPixels(twips); }
  void SetTop(int twips) override { top_ = ToPixels(twips); }
  int ScreenWidth() const override;
  std::optional<Point> PointerPosition() const override;
  bool LeftButtonDown() const override { return pointer_ && pointer_->leftButtonDown; }
  void KeepAbove(bool above) override;
  static int ToPixels(int twips);

  docking::TaskBar bar_;
  HWND window_;
  int scale_;
  std::unique_ptr<platform::Desktop> desktop_ = platform::OpenDesktop();
  // What this tick read, in layout pixels; the steps move left_ and top_.
  std::optional<platform::PointerState> pointer_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

}  // namespace player::win32
