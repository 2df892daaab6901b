#pragma once
// The C++ object behind a window: passed as CreateWindowExW's last argument, kept in the
// window's GWLP_USERDATA from WM_NCCREATE to WM_NCDESTROY, with its window handle member set
// and cleared alongside. A window procedure forwards to the object it returns, and to
// DefWindowProcW while there is none.

#include <windows.h>

namespace ui::win32 {

template <class Window, HWND Window::*Handle>
Window* WindowObject(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->*Handle = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY && self != nullptr) {
    self->*Handle = nullptr;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return nullptr;
  }
  return self;
}

}  // namespace ui::win32
