// sonvira: with arguments, the command line; started as an album image, the player.
#include "cli.h"
#include "platform/folders.h"

int main(int argc, char** argv) {
  if (argc > 1) return player::RunCommandLine(argc, argv);
  // Until the player window arrives, an album image started on its own lists itself.
  std::string self = platform::ProgramFile().string();
  char list[] = "--list";
  char* args[] = {argv[0], list, self.data(), nullptr};
  return player::RunCommandLine(3, args);
}
