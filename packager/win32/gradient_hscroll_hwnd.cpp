#include "gradient_hscroll_hwnd.h"

#include <windowsx.h>

#include "ui/win32/pictures.h"
#include "ui/win32/window_object.h"

namespace packager::win32 {
namespace {

constexpr wchar_t kClassName[] = L"GradientHScroll";

}  // namespace

GradientHScrollHwnd::GradientHScrollHwnd(HWND parent, POINT topLeft, int height, int scale) : scale_(scale) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &GradientHScrollHwnd::Procedure;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  windowClass.lpszClassName = kClassName;
  ::RegisterClassExW(&windowClass);  // fails harmlessly once the class is there

  bar_.onRedrawn = [this](int width) {
    if (hwnd_ == nullptr) return;
    RECT now{};
    ::GetClientRect(hwnd_, &now);
    if (now.right != width * scale_)
      ::SetWindowPos(hwnd_, nullptr, 0, 0, width * scale_, now.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
  };
  bar_.Change = [this] {
    if (Change) Change();
  };
  hwnd_ = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, topLeft.x, topLeft.y, scale_,
                            height, parent, nullptr, windowClass.hInstance, this);
  bar_.Resize(height / scale_);
}

GradientHScrollHwnd::~GradientHScrollHwnd() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void GradientHScrollHwnd::Paint(HDC dc) {
  const platform::Pixels& surface = bar_.Surface();
  if (surface.empty()) return;
  const BITMAPINFO info = ui::win32::DibInfo(surface);
  ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchDIBits(dc, 0, 0, surface.width * scale_, surface.height * scale_, 0, 0, surface.width,
                  surface.height, surface.argb.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK GradientHScrollHwnd::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = ui::win32::WindowObject<GradientHScrollHwnd, &GradientHScrollHwnd::hwnd_>(hwnd, message, lParam);
  return self != nullptr ? self->Handle(message, wParam, lParam) : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT GradientHScrollHwnd::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const double x = static_cast<double>(GET_X_LPARAM(lParam)) / scale_;
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(hwnd_, &paint);
      Paint(dc);
      ::EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the surface covers the whole window
    case WM_SIZE: {
      const int height = HIWORD(lParam) / scale_;
      if (height != bar_.Height()) bar_.Resize(height);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      bar_.MouseDown(x);
      return 0;
    case WM_MOUSEMOVE: {
      const WPARAM buttons = wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2);
      bar_.MouseMove(x, buttons == MK_LBUTTON);
      return 0;
    }
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace packager::win32
