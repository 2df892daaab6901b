// Which output plays on Windows: waveOut, which every Windows has, and wine too. And the DLL's
// entry point, which tells an unload from the end of the process.
#include <windows.h>

#include <atomic>

#include "output.h"

namespace bass {
namespace {

std::atomic<bool> processEnding{false};

}  // namespace

std::unique_ptr<Output> OpenOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                   int& error) {
  return OpenWaveOutOutput(rate, firstFrame, source, error);
}

bool ProcessEnding() {
  return processEnding.load();
}

}  // namespace bass

// Called before the DLL's static objects are destroyed. At the end of the process (`reserved`
// set) the other threads have been stopped already. A DLL unloaded with FreeLibrary must have
// had BASS_Free first: the output's thread cannot end while the loader is busy unloading.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH && reserved != nullptr) bass::processEnding.store(true);
  return TRUE;
}
