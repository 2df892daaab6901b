#pragma once
// What a window that places itself needs from the window system beyond Qt: the pointer and
// its left button read from the display server (so they are right also while the pointer is
// outside our windows, as during a window-manager drag, which Qt never sees), in the logical
// pixels Qt positions windows in, and the size of the whole desktop.
//
// One backend per build, chosen by CMake: X11 (xcb, on a connection of its own to the display
// DISPLAY names, the one Qt uses) or none; on Windows user32, in the pixels the desktop has
// for this process. Call everything on the user-interface thread, with Qt after the
// QGuiApplication exists.

#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

struct PointerState {
  int x = 0;  // logical pixels from the desktop's top left corner
  int y = 0;
  bool leftButtonDown = false;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // The pointer now, or nullopt when the display server cannot tell (the pointer is on
  // another X screen, the connection is gone). Cheap enough to call every few milliseconds:
  // it asks the server only when the pointer may have moved.
  virtual std::optional<PointerState> Pointer() = 0;
  // A descriptor that becomes readable when the pointer may have moved or a button may have
  // changed, so a caller with nothing to do until then can sleep instead of asking every few
  // milliseconds; -1 where the display server cannot tell. The next Pointer() takes what made
  // it readable. Moves a program makes itself (warps) may pass unseen, as they do in Pointer().
  virtual int InputSocket() const { return -1; }
  // Width in logical pixels of the desktop made of every monitor; its left edge is at 0.
  virtual int Width() const = 0;
  // Keeps the top-level window `window` (the window system's handle of it: an HWND on
  // Windows) above all other windows, or stops doing so. False where the toolkit does this
  // itself, as Qt does on X11 (Qt::WindowStaysOnTopHint).
  virtual bool KeepAbove(std::uintptr_t /*window*/, bool /*above*/) { return false; }
};

// The window system's services, or nullptr where a program may not place its own windows
// (Wayland without XWayland, the offscreen platform, a build without X11).
std::unique_ptr<Desktop> OpenDesktop();

// Call before the QGuiApplication is made. In a Wayland session that also offers X11
// (XWayland), picks Qt's xcb platform unless the user chose one, because a Wayland client
// cannot move its own window.
void PreferX11ForWindowPlacement();

}  // namespace platform
