// pakrel: with arguments, the command line; without, the packager window.
#include "cli.h"
#include "platform/resources.h"

int main(int argc, char** argv) {
  return packager::RunCommandLine(argc, argv, platform::LoadResourceData("CUSTOM", 101));
}
