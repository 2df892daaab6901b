#pragma once
// Shows a GradientHScroll in a child window: copies its surface onto the screen, keeps the
// window as wide as the control asks, and turns mouse input into its calls. User-interface
// thread only.

#include <windows.h>

#include <functional>

#include "packager/gradient_hscroll.h"

namespace packager::win32 {

class GradientHScrollHwnd {
 public:
  // A hidden child of `parent`, its top-left corner at `topLeft` and `height` device pixels
  // high; `scale` device pixels per pixel of the control.
  GradientHScrollHwnd(HWND parent, POINT topLeft, int height, int scale);
  ~GradientHScrollHwnd();
  GradientHScrollHwnd(const GradientHScrollHwnd&) = delete;
  GradientHScrollHwnd& operator=(const GradientHScrollHwnd&) = delete;

  GradientHScroll& bar() { return bar_; }
  HWND hwnd() const { return hwnd_; }

  // Raised after the user changed Value with the mouse.
  std::function<void()> Change;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);

  GradientHScroll bar_;
  int scale_;
  HWND hwnd_ = nullptr;
};

}  // namespace packager::win32
