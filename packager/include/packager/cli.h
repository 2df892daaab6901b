#pragma once
// The packager's command line: builds an album image with the same writer, checks and
// messages as the packager window.

#include "packager/players.h"

namespace packager {

// Runs `pakrel` with the given arguments (argv[0] is the program name), UTF-8 texts: a program
// whose system hands it arguments in another encoding converts them first. `players` are the
// player programs, one of which is written as the album's first piece: the one of the system
// --target names, by default the one it runs on. Returns the exit status: 0 on success, 1 when
// the build failed, 2 for a usage error.
int RunCommandLine(int argc, char** argv, const Players& players);

}  // namespace packager
