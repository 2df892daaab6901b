// What starting a song costs: creating its stream (the one scan of the file) and the
// BASS_ChannelPlay that starts it, and a stop and resume, on SDL's dummy output. Prints the
// median of several rounds in milliseconds, and the start as a share of the scan.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bass/bass.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_start <file.mp3>\n");
    return 2;
  }
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
    std::fprintf(stderr, "bench_start: no output (error %d)\n", BASS_ErrorGetCode());
    return 1;
  }
  std::vector<double> create, play, resume;
  for (int round = 0; round < 7; ++round) {
    Clock::time_point start = Clock::now();
    HSTREAM stream = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, 0);
    create.push_back(MillisecondsSince(start));
    start = Clock::now();
    if (stream == 0 || !BASS_ChannelPlay(stream, FALSE)) {
      std::fprintf(stderr, "bench_start: cannot play %s (error %d)\n", argv[1], BASS_ErrorGetCode());
      return 1;
    }
    play.push_back(MillisecondsSince(start));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    BASS_ChannelStop(stream);
    start = Clock::now();
    BASS_ChannelPlay(stream, FALSE);
    resume.push_back(MillisecondsSince(start));
    BASS_ChannelStop(stream);
  }
  BASS_Free();
  std::printf("create (scan) %.1f ms, play %.2f ms, resume %.2f ms; play / create %.3f\n", Median(create),
              Median(play), Median(resume), Median(play) / Median(create));
  return 0;
}
