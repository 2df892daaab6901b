// pakrel: with arguments, the command line; without, the packager window.
#include "cli.h"
#include "platform/resources.h"
#include "window_main.h"

int main(int argc, char** argv) {
  if (argc <= 1) return RunPackagerWindow(argc, argv);
  return packager::RunCommandLine(argc, argv, platform::LoadResourceData("CUSTOM", 101));
}
