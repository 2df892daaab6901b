#pragma once
// The player's command line: lists an album image or unpacks its songs and lyrics, without
// running the player that the image carries.

namespace player {

// Runs `sonvira` with arguments (argv[0] is the program name). Returns the exit status: 0 on
// success, 1 when the album could not be read or written out, 2 for a usage error.
int RunCommandLine(int argc, char** argv);

}  // namespace player
