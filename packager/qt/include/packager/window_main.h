#pragma once
// The packager as a window program: what `pakrel` does when started without options.

#include <filesystem>

namespace packager {

// Where the albums go: the program's own folder when it can be written to, else `fallback`
// (created when missing). `isProgramFolder` tells which, so the completion note can say where.
struct OutputFolder {
  std::filesystem::path folder;
  bool isProgramFolder = false;
};
OutputFolder ChooseOutputFolder(const std::filesystem::path& programFolder,
                                const std::filesystem::path& fallback);

// Refuses a second running copy with an error box, then shows the window until it is closed.
// Returns the exit code.
int RunPackagerWindow(int argc, char** argv);

}  // namespace packager
