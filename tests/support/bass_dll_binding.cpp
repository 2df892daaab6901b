// On Windows the audio library's suites call bass.dll as the player does: loaded at run time
// by its path (platform::SharedLibrary, LoadLibraryW) and every operation found by its plain
// name, so that what they test is what the DLL exports. These definitions of the operations of
// bass/bass.h forward to the DLL's; the suites' sources are the same as on Linux, where they
// link the library.
#include <cstdio>
#include <cstdlib>

#include "bass/bass.h"
#include "platform/shared_library.h"

namespace {

// Loaded once and kept for the whole process, as the player keeps it: each suite frees the
// library's device (BASS_Free) after each case.
const platform::SharedLibrary& Library() {
  static const platform::SharedLibrary* const library =
      platform::SharedLibrary::Open(BASS_DLL_PATH).release();
  if (library == nullptr) {
    std::fprintf(stderr, "cannot load %ls\n", BASS_DLL_PATH);
    std::abort();
  }
  return *library;
}

template <class Declared>
Declared Bound(const char* name) {
  auto* function = reinterpret_cast<Declared>(Library().Symbol(name));
  if (function == nullptr) {
    std::fprintf(stderr, "bass.dll does not export %s\n", name);
    std::abort();
  }
  return function;
}

}  // namespace

#define BASS_FORWARD(result, name, parameters, arguments)      \
  result BASS_CALL name parameters {                           \
    static const auto bound = Bound<decltype(&::name)>(#name); \
    return bound arguments;                                    \
  }

extern "C" {
BASS_FORWARD(DWORD, BASS_GetVersion, (void), ())
BASS_FORWARD(BOOL, BASS_Init, (int device, DWORD freq, DWORD flags, void* win, const void* dsguid),
             (device, freq, flags, win, dsguid))
BASS_FORWARD(int, BASS_ErrorGetCode, (void), ())
BASS_FORWARD(BOOL, BASS_Free, (void), ())
BASS_FORWARD(float, BASS_GetCPU, (void), ())
BASS_FORWARD(BOOL, BASS_GetInfo, (BASS_INFO * info), (info))
BASS_FORWARD(HSTREAM, BASS_StreamCreateFile,
             (BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags),
             (mem, file, offset, length, flags))
BASS_FORWARD(BOOL, BASS_StreamFree, (HSTREAM handle), (handle))
BASS_FORWARD(BOOL, BASS_ChannelPlay, (DWORD handle, BOOL restart), (handle, restart))
BASS_FORWARD(BOOL, BASS_ChannelStop, (DWORD handle), (handle))
BASS_FORWARD(QWORD, BASS_ChannelGetPosition, (DWORD handle), (handle))
BASS_FORWARD(QWORD, BASS_ChannelGetLength, (DWORD handle), (handle))
BASS_FORWARD(float, BASS_ChannelBytes2Seconds, (DWORD handle, QWORD pos), (handle, pos))
BASS_FORWARD(BOOL, BASS_ChannelGetAttributes, (DWORD handle, DWORD* freq, DWORD* volume, int* pan),
             (handle, freq, volume, pan))
BASS_FORWARD(BOOL, BASS_ChannelGetInfo, (DWORD handle, BASS_CHANNELINFO* info), (handle, info))
BASS_FORWARD(DWORD, BASS_ChannelGetData, (DWORD handle, void* buffer, DWORD length), (handle, buffer, length))
}
