#pragma once
// The player window on a started session, with the verbose log when asked.

#include "player/window_start.h"

namespace player {

// Runs the window until it closes (or shows why start-up ended). Returns the exit status: 0
// after a normal close, 1 when start-up ended with a message.
int RunWindow(WindowStart& start);

}  // namespace player
