#pragma once
// Where the program lives and where it may put its own files.

#include <filesystem>
#include <string>

#include "platform/result.h"

namespace platform {

// The running program's own file, as the system started it (links resolved).
std::filesystem::path ProgramFile();

// The folder of ProgramFile().
std::filesystem::path ProgramFolder();

// `path` with one trailing separator: unchanged when it already ends in one.
std::string RPP(std::string path);

// The program's private per-user folder, created on first use with mode 0700: under
// $XDG_RUNTIME_DIR when set, else under the user's cache folder. It stands in for the
// Windows system folder: the player unpacks its songs there, where no other user can
// read or replace them. Refused when the folder exists but is not a folder owned by us.
Result<std::filesystem::path> PrivateFolder();

}  // namespace platform
