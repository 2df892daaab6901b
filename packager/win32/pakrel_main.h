#pragma once
// What pakrel.exe and pakrel.com do: with arguments, the command line of packager/cli.h; without,
// the packager window.

namespace packager::win32 {

// `argv` as Windows hands it over, UTF-16. Returns the exit status.
int PakrelMain(int argc, wchar_t** argv);

}  // namespace packager::win32
