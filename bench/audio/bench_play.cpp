// Plays one MP3 to its end through the audio library the way the player does: position
// and length checked every 25 ms, sample data fetched every 150 ms.
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
  static std::int32_t data[1025];
  for (int tick = 0; BASS_ChannelGetPosition(stream) != BASS_ChannelGetLength(stream); ++tick) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (tick % 6 == 0) BASS_ChannelGetData(stream, data, 1024);
  }
  BASS_Free();
  return 0;
}
