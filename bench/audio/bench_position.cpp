// What one position query costs the player's thread: a song plays to the sound server and the
// position is read once every 25 ms, as tmrBass does, 800 times. Prints the time each read
// took and the thread's CPU time in it (the CPU clock's own system call included, the same for
// any build). Built as run_bench.sh builds its programs; to compare two builds, build it
// against each one's build/lib and run them in turns:
//   c++ -O2 -std=c++20 -Iaudio/include bench/audio/bench_position.cpp -Lbuild/lib \
//     -lsonvira_bass -Wl,-rpath,$PWD/build/lib -o bench_position
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bass/bass.h"

namespace {

double Nanoseconds(clockid_t clock) {
  timespec t;
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

void Print(const char* what, std::vector<double> ns) {
  std::sort(ns.begin(), ns.end());
  double sum = 0;
  for (double x : ns) sum += x;
  std::printf("%s: mean %.1f us, median %.1f us, 99th percentile %.1f us, max %.1f us\n", what,
              sum / static_cast<double>(ns.size()) / 1e3, ns[ns.size() / 2] / 1e3, ns[ns.size() * 99 / 100] / 1e3,
              ns.back() / 1e3);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_position <file.mp3 of at least 25 s>\n");
    return 2;
  }
  if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
    std::fprintf(stderr, "bench_position: no output (error %d)\n", BASS_ErrorGetCode());
    return 1;
  }
  HSTREAM stream = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, 0);
  if (stream == 0 || !BASS_ChannelPlay(stream, FALSE)) {
    std::fprintf(stderr, "bench_position: cannot play %s (error %d)\n", argv[1], BASS_ErrorGetCode());
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));
  std::vector<double> wall, cpu;
  QWORD last = 0;
  for (int i = 0; i < 800; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    const double wall0 = Nanoseconds(CLOCK_MONOTONIC), cpu0 = Nanoseconds(CLOCK_THREAD_CPUTIME_ID);
    const QWORD position = BASS_ChannelGetPosition(stream);
    cpu.push_back(Nanoseconds(CLOCK_THREAD_CPUTIME_ID) - cpu0);
    wall.push_back(Nanoseconds(CLOCK_MONOTONIC) - wall0);
    if (position < last) std::printf("the position went back at read %d\n", i);
    last = position;
  }
  Print("position read, time", wall);
  Print("position read, thread CPU", cpu);
  BASS_Free();
  return 0;
}
