// Builds without X11: no window may place itself.
#include "platform/desktop.h"

namespace platform {

std::unique_ptr<Desktop> OpenDesktop() {
  return nullptr;
}

void PreferX11ForWindowPlacement() {}

}  // namespace platform
