// pakrel: with arguments, the command line; without, the packager window.
#include "packager/cli.h"
#include "packager/window_main.h"

int main(int argc, char** argv) {
  if (argc <= 1) return packager::RunPackagerWindow(argc, argv);
  return packager::RunCommandLine(argc, argv, packager::CarriedPlayers());
}
