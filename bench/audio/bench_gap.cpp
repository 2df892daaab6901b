// The silence between songs, as the player makes it.
//   bench_gap play <a.mp3> <b.mp3> ...  plays the files one after the other exactly as the player
//       does: a 25 ms tick compares position and length, and at the end stops and frees the
//       old stream, creates the next from its file and plays it.
//   bench_gap measure <capture.raw> <count>  reads 16-bit stereo at 44.1 kHz recorded from the
//       sink and prints the silence between each pair of loud spans in milliseconds, then the
//       median and the worst of the first `count` gaps.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "bass/bass.h"

namespace {

using Clock = std::chrono::steady_clock;

int Play(int count, char** files) {
  if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
    std::fprintf(stderr, "bench_gap: no output (error %d)\n", BASS_ErrorGetCode());
    return 1;
  }
  HSTREAM channel = 0;
  auto openAndPlay = [&](const char* file) {
    BASS_ChannelStop(channel);
    if (channel != 0) BASS_StreamFree(channel);
    channel = BASS_StreamCreateFile(FALSE, file, 0, 0, 0);
    if (channel == 0 || !BASS_ChannelPlay(channel, FALSE))
      std::fprintf(stderr, "bench_gap: cannot play %s (error %d)\n", file, BASS_ErrorGetCode());
  };
  openAndPlay(files[0]);
  int next = 1;
  auto tick = Clock::now();
  for (;;) {
    tick += std::chrono::milliseconds(25);
    std::this_thread::sleep_until(tick);
    if (BASS_ChannelGetPosition(channel) != BASS_ChannelGetLength(channel)) continue;
    if (next == count) break;
    auto t0 = Clock::now();
    openAndPlay(files[next++]);
    if (std::getenv("GAPDBG")) std::fprintf(stderr, "%.2f ", std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  BASS_Free();
  return 0;
}

int Measure(const char* capture, std::size_t count) {
  std::ifstream in(capture, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t frames = bytes.size() / 4;
  const auto* pcm = reinterpret_cast<const std::int16_t*>(bytes.data());
  // A frame is silent when both channels stay under the threshold; a tone's own zero
  // crossings make runs of a sample or two, so a gap is a run of at least 1 ms.
  constexpr int kThreshold = 300;
  constexpr std::size_t kMinRun = 44;
  std::vector<double> gaps;
  std::size_t lastLoud = frames;  // none yet
  for (std::size_t f = 0; f < frames; ++f) {
    if (std::abs(pcm[2 * f]) <= kThreshold && std::abs(pcm[2 * f + 1]) <= kThreshold) continue;
    if (lastLoud != frames && f - lastLoud - 1 >= kMinRun) gaps.push_back((f - lastLoud - 1) * 1000.0 / 44100.0);
    lastLoud = f;
  }
  for (double g : gaps) std::printf("%.1f ", g);
  std::printf("\n");
  if (gaps.size() < count) {
    std::printf("gaps: only %zu of %zu found\n", gaps.size(), count);
    return 1;
  }
  gaps.resize(count);
  std::vector<double> sorted = gaps;
  std::sort(sorted.begin(), sorted.end());
  std::printf("gaps: %zu, median %.1f ms, worst %.1f ms\n", count, sorted[count / 2], sorted.back());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "play") return Play(argc - 2, argv + 2);
  if (argc == 4 && std::string(argv[1]) == "measure") return Measure(argv[2], std::strtoul(argv[3], nullptr, 10));
  std::fprintf(stderr, "usage: bench_gap play <file.mp3>... | measure <capture.raw> <count>\n");
  return 2;
}
