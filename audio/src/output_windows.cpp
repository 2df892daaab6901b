// Which output plays on Windows: waveOut, which every Windows since 95 has, and wine too.
#include "output.h"

namespace bass {

std::unique_ptr<Output> OpenOutput(std::uint32_t rate, std::uint64_t firstFrame, OutputSource& source,
                                   int& error) {
  return OpenWaveOutOutput(rate, firstFrame, source, error);
}

}  // namespace bass
