// X11. The pointer is read on a connection of our own that also listens for raw pointer
// motion and button events (XInput 2.2, delivered also during another client's grab): while
// none arrive the pointer has not moved and the last reading stands, so an idle tick costs
// one non-blocking read instead of a round trip. Readings are converted
// to logical pixels through Qt's screens, which also give the desktop's size.
#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <QGuiApplication>
#include <QScreen>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "platform/desktop.h"

namespace platform {

namespace {

// The server sends no raw events when a program moves the pointer itself (warps, XTest input
// from remote desktops and test tools), so every eighth reading sends a check whose answer the
// next reading takes: such moves are seen at most nine readings (135 ms at the docking pace)
// late, and no reading waits for the server unless the pointer moved.
constexpr int kReadingsBetweenChecks = 8;
// A reading this long after the one before asks the server: a caller that slept may have been
// woken by a warp onto its window, which no raw event announces.
constexpr auto kStaleAfter = std::chrono::milliseconds(100);

class X11Desktop final : public Desktop {
 public:
  static std::unique_ptr<X11Desktop> Open() {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
      xcb_disconnect(connection);
      return nullptr;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) xcb_screen_next(&it);
    if (it.rem <= 0) {
      xcb_disconnect(connection);
      return nullptr;
    }
    auto desktop = std::unique_ptr<X11Desktop>(new X11Desktop(connection, it.data->root));
    desktop->watching_ = desktop->WatchRawEvents();
    return desktop;
  }

  ~X11Desktop() override { xcb_disconnect(connection_); }

  std::optional<PointerState> Pointer() override {
    if (xcb_connection_has_error(connection_)) return std::nullopt;
    const auto now = std::chrono::steady_clock::now();
    bool moved = !watching_ || !last_ || now - lastReading_ > kStaleAfter;
    lastReading_ = now;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
      moved = true;
      std::free(event);
    }
    // The check asked for at the last reading has had a tick to come back.
    if (check_) {
      std::optional<PointerState> checked = Reply(*check_);
      check_.reset();
      if (!moved) last_ = checked;
    }
    if (moved) {
      last_ = Reply(xcb_query_pointer(connection_, root_));
      readings_ = 0;
    } else if (++readings_ >= kReadingsBetweenChecks) {
      check_ = xcb_query_pointer(connection_, root_);
      xcb_flush(connection_);
      readings_ = 0;
    }
    if (!last_) return std::nullopt;
    const QPoint logical = ToLogical(QPoint(last_->x, last_->y));
    return PointerState{logical.x(), logical.y(), last_->leftButtonDown};
  }

  int InputSocket() const override { return watching_ ? xcb_get_file_descriptor(connection_) : -1; }

  int Width() const override {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().width() : 0;
  }

 private:
  X11Desktop(xcb_connection_t* connection, xcb_window_t root) : connection_(connection), root_(root) {}

  // Asks for raw motion and button events of every pointer; false when the server cannot.
  bool WatchRawEvents() {
    const xcb_query_extension_reply_t* xinput = xcb_get_extension_data(connection_, &xcb_input_id);
    if (!xinput || !xinput->present) return false;
    xcb_input_xi_query_version_reply_t* version =
        xcb_input_xi_query_version_reply(connection_, xcb_input_xi_query_version(connection_, 2, 2), nullptr);
    const bool recent = version && (version->major_version > 2 ||
                                    (version->major_version == 2 && version->minor_version >= 2));
    std::free(version);
    if (!recent) return false;
    struct {
      xcb_input_event_mask_t head;
      std::uint32_t bits;
    } mask = {{XCB_INPUT_DEVICE_ALL_MASTER, 1},
              XCB_INPUT_XI_EVENT_MASK_RAW_MOTION | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS |
                  XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE};
    xcb_generic_error_t* error =
        xcb_request_check(connection_, xcb_input_xi_select_events_checked(connection_, root_, 1, &mask.head));
    const bool selected = error == nullptr;
    std::free(error);
    return selected;
  }

  // The pointer in device pixels, waiting for the answer if it has not come yet.
  std::optional<PointerState> Reply(xcb_query_pointer_cookie_t cookie) {
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(connection_, cookie, nullptr);
    if (!reply) return std::nullopt;
    std::optional<PointerState> state;
    if (reply->same_screen)
      state = PointerState{reply->root_x, reply->root_y, (reply->mask & XCB_KEY_BUT_MASK_BUTTON_1) != 0};
    std::free(reply);
    return state;
  }

  // Qt keeps each monitor's top left corner where the server has it and scales the rest by
  // the monitor's device pixel ratio.
  static QPoint ToLogical(QPoint device) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
      const qreal ratio = screen->devicePixelRatio();
      const QRect logical = screen->geometry();
      const QRect native(logical.topLeft(), logical.size() * ratio);
      if (native.contains(device)) return native.topLeft() + (device - native.topLeft()) / ratio;
    }
    return device;
  }

  xcb_connection_t* connection_;
  xcb_window_t root_;
  bool watching_ = false;
  std::optional<PointerState> last_;  // device pixels
  std::optional<xcb_query_pointer_cookie_t> check_;
  int readings_ = 0;
  std::chrono::steady_clock::time_point lastReading_;
};

}  // namespace

std::unique_ptr<Desktop> OpenDesktop() {
  // Only where Qt itself runs on X11: elsewhere our windows could not be placed anyway. (The
  // offscreen platform may hold an X11 connection too, for OpenGL.)
  if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  return X11Desktop::Open();
}

void PreferX11ForWindowPlacement() {
  const auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  if (set("WAYLAND_DISPLAY") && set("DISPLAY") && !set("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "xcb", 1);
}

}  // namespace platform
