#pragma once
// The player's command line: lists an album image or unpacks its songs and lyrics, without
// running the player that the image carries.

#include <filesystem>
#include <optional>

namespace player {

struct PlayerOptions {
  std::optional<std::filesystem::path> album;  // --album FILE; else the program's own file
  bool verbose = false;                        // --verbose: one line per event on stderr
};

// True when `argument` names one of the command-line tools rather than the player.
bool IsToolCommand(const char* argument);

// The player's options (argv[0] is the program name). Empty, after a usage message on
// stderr, when they are not understood.
std::optional<PlayerOptions> ParsePlayerOptions(int argc, char** argv);

// Runs `sonvira` with arguments (argv[0] is the program name). Returns the exit status: 0 on
// success, 1 when the album could not be read or written out, 2 for a usage error.
int RunCommandLine(int argc, char** argv);

}  // namespace player
