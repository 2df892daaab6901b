// pakrel.exe (a window program) and pakrel.com (a console program, which cmd.exe waits for):
// with arguments, the command line; without, the packager window.
#include "pakrel_main.h"

int wmain(int argc, wchar_t** argv) {
  return packager::win32::PakrelMain(argc, argv);
}
