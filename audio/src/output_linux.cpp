// Which output plays on Linux. SDL_AUDIODRIVER, when set, names one of SDL's drivers, and SDL
// plays through it. Otherwise the sound server is addressed directly (PulseAudio, or PipeWire's
// pulse server), whose buffer can be taken back so that songs start at once; without one, SDL
// picks (ALSA).
#include <cstdlib>

#include "bass/bass.h"
#include "output.h"

namespace bass {

std::unique_ptr<Output> OpenOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                   int& error) {
  const char* named = std::getenv("SDL_AUDIODRIVER");
  if (named == nullptr || *named == '\0') {
    if (std::unique_ptr<Output> pulse = OpenPulseOutput(rate, firstFrame, source, error)) return pulse;
  }
  return OpenSdlOutput(rate, firstFrame, source, error);
}

// exit() runs the library's destructors while the other threads still run.
bool ProcessEnding() {
  return false;
}

}  // namespace bass
