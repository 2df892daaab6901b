#pragma once
// The packager as a window program: what `pakrel` does when started without options.

#include <filesystem>

namespace packager {

// Refuses a second running copy with an error box, then shows the window until it is closed.
// Returns the exit code.
int RunPackagerWindow(int argc, char** argv);

}  // namespace packager
