#pragma once
// The player program: starts the first song, then loads and runs the window it carries.

#include "cli.h"

namespace player {

// Runs the player until its window closes. Returns the exit status: 0 after a normal close,
// 1 when start-up ended with a message.
int RunPlayer(const PlayerOptions& options, int argc, char** argv);

}  // namespace player
