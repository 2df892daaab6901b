// sonvira: started as an album image (or with --album), the player window; with --list or
// --extract, the command line.
#include "cli.h"
#include "player_start.h"

int main(int argc, char** argv) {
  if (argc > 1 && player::IsToolCommand(argv[1])) return player::RunCommandLine(argc, argv);
  std::optional<player::PlayerOptions> options = player::ParsePlayerOptions(argc, argv);
  if (!options) return 2;
  return player::RunPlayer(*options, argc, argv);
}
