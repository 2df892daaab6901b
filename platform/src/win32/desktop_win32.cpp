// The pointer, its left button, the desktop's width and windows kept above the others, from
// user32. A process that has not declared itself aware of the screen's density sees every
// screen at 96 dots per inch, as the programs were drawn for.
#include <windows.h>

#include "platform/desktop.h"

namespace platform {
namespace {

class Win32Desktop final : public Desktop {
 public:
  std::optional<PointerState> Pointer() override {
    POINT at{};
    // Fails only where the desktop is not this process's to see (a locked workstation).
    if (!::GetCursorPos(&at)) return std::nullopt;
    // The high bit: down. GetKeyState follows the messages this thread has taken, so the
    // button matches the pointer events the window has seen.
    const bool down = (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    return PointerState{at.x, at.y, down};
  }

  // The right edge of the rightmost monitor, counted from the main monitor's left edge.
  int Width() const override {
    return ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  }

  bool KeepAbove(std::uintptr_t window, bool above) override {
    return ::SetWindowPos(reinterpret_cast<HWND>(window), above ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                          SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != 0;
  }
};

}  // namespace

std::unique_ptr<Desktop> OpenDesktop() { return std::make_unique<Win32Desktop>(); }

void PreferX11ForWindowPlacement() {}

}  // namespace platform
