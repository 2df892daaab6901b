// X11: the pointer through Qt's own xcb connection (no second connection to the server), the
// desktop's size from Qt's screens.
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <cstring>

#include "platform/desktop.h"

namespace platform {

namespace {

class X11Desktop final : public Desktop {
 public:
  X11Desktop(xcb_connection_t* connection, xcb_window_t root) : connection_(connection), root_(root) {}

  std::optional<PointerState> Pointer() const override {
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(connection_, xcb_query_pointer(connection_, root_), nullptr);
    if (!reply) return std::nullopt;
    const bool onOurScreen = reply->same_screen;
    const QPoint device(reply->root_x, reply->root_y);
    const bool left = (reply->mask & XCB_KEY_BUT_MASK_BUTTON_1) != 0;
    std::free(reply);
    if (!onOurScreen) return std::nullopt;
    const QPoint logical = ToLogical(device);
    return PointerState{logical.x(), logical.y(), left};
  }

  int Width() const override {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().width() : 0;
  }

 private:
  // Qt keeps each monitor's top left corner where the server has it and scales the rest by
  // the monitor's device pixel ratio.
  static QPoint ToLogical(QPoint device) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
      const qreal ratio = screen->devicePixelRatio();
      const QRect logical = screen->geometry();
      const QRect native(logical.topLeft(), logical.size() * ratio);
      if (native.contains(device)) {
        const QPointF offset = QPointF(device - native.topLeft()) / ratio;
        return native.topLeft() + offset.toPoint();
      }
    }
    return device;
  }

  xcb_connection_t* connection_;
  xcb_window_t root_;
};

}  // namespace

std::unique_ptr<Desktop> OpenDesktop() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return nullptr;
  xcb_connection_t* connection = x11->connection();
  // The root of the X screen the display name asks for, as Qt's connection uses it.
  int screenNumber = 0;
  char* host = nullptr;
  int display = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screenNumber)) std::free(host);
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber && it.rem > 0; ++i) xcb_screen_next(&it);
  if (it.rem <= 0) return nullptr;
  return std::make_unique<X11Desktop>(connection, it.data->root);
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
