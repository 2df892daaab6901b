// Plays one MP3 to its end through the audio library. The harness itself stays quiet (it
// checks for the end four times a second), so the process's CPU time is the library's.
#include <chrono>
#include <cstdio>
#include <thread>

#include "bass/bass.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_play <file.mp3>\n");
    return 2;
  }
  if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
    std::fprintf(stderr, "bench_play: no output (error %d)\n", BASS_ErrorGetCode());
    return 1;
  }
  HSTREAM stream = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, 0);
  if (stream == 0 || !BASS_ChannelPlay(stream, FALSE)) {
    std::fprintf(stderr, "bench_play: cannot play %s (error %d)\n", argv[1], BASS_ErrorGetCode());
    return 1;
  }
  while (BASS_ChannelGetPosition(stream) != BASS_ChannelGetLength(stream))
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  BASS_Free();
  return 0;
}
