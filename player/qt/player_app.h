#pragma once
// The player program: the window on an album image, with the verbose log when asked.

#include "cli.h"

namespace player {

// Runs the player window until it closes. Returns the exit status: 0 after a normal close,
// 1 when start-up ended with a message.
int RunPlayer(const PlayerOptions& options, int argc, char** argv);

}  // namespace player
