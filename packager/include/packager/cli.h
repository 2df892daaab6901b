#pragma once
// The packager's command line: builds an album image with the same writer, checks and
// messages as the packager window.

#include <cstddef>
#include <span>

namespace packager {

// Runs `pakrel` with the given arguments (argv[0] is the program name), UTF-8 texts: a program
// whose system hands it arguments in another encoding converts them first. `player` is the player
// program to write as the album's first piece. Returns the exit status: 0 on success, 1 when
// the build failed, 2 for a usage error.
int RunCommandLine(int argc, char** argv, std::span<const std::byte> player);

}  // namespace packager
