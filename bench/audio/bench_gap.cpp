// The silence between songs, as the player makes it.
//   bench_gap play <a.mp3> <b.mp3> ...  plays the files one after the other exactly as the player
//       does: a 25 ms tick compares position and length, and at the end stops and frees the old
//       stream, creates the next from its file and plays it.
//   bench_gap measure <capture.raw> <a.mp3> <b.mp3> ...  reads 16-bit stereo at 44.1 kHz recorded
//       from the sink while the files (tones from their first sample to their last) played, and
//       prints the silence between each song and the next: the median and the worst, and how
//       many songs reached the sink shorter than they are. Sounds past the last file are left out.
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
    openAndPlay(files[next++]);
  }
  BASS_Free();
  return 0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Measure(const char* capture, int count, char** files) {
  std::ifstream in(capture, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t frames = bytes.size() / 4;
  std::vector<std::int16_t> pcm(frames * 2);
  std::copy_n(bytes.data(), frames * 4, reinterpret_cast<char*>(pcm.data()));
  // A frame is silent when both channels stay under the threshold; a tone's own zero
  // crossings make runs of a sample or two, so a silence is a run of at least 1 ms.
  constexpr int kThreshold = 300;
  constexpr std::size_t kShortest = 44;
  std::vector<std::pair<std::size_t, std::size_t>> sounds;  // [first, last] loud frames
  for (std::size_t f = 0; f < frames; ++f) {
    if (std::abs(pcm[2 * f]) <= kThreshold && std::abs(pcm[2 * f + 1]) <= kThreshold) continue;
    if (sounds.empty() || f - sounds.back().second - 1 >= kShortest)
      sounds.push_back({f, f});
    else
      sounds.back().second = f;
  }
  if (sounds.size() == 1 && count > 1) {
    std::printf("silence between songs, %d changes: none of 1 ms or more\n", count - 1);
    return 0;
  }
  // A recording may end in a song that goes on; a song that broke up shows as cut short.
  if (sounds.size() < static_cast<std::size_t>(count)) {
    std::printf("found %zu sounds at the sink for %d songs\n", sounds.size(), count);
    return 1;
  }

  // The songs' own lengths, from the library on its silent output.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  BASS_Init(-1, 44100, 0, nullptr, nullptr);
  std::vector<double> gaps;
  int cut = 0;
  double mostCut = 0;
  for (int i = 0; i < count; ++i) {
    HSTREAM song = BASS_StreamCreateFile(FALSE, files[i], 0, 0, 0);
    const double length = BASS_ChannelBytes2Seconds(song, BASS_ChannelGetLength(song)) * 1000.0;
    const double heard = (sounds[i].second - sounds[i].first + 1) * 1000.0 / 44100.0;
    if (heard < length - 1.0) {
      ++cut;
      mostCut = std::max(mostCut, length - heard);
    }
    if (i > 0) gaps.push_back((sounds[i].first - sounds[i - 1].second - 1) * 1000.0 / 44100.0);
  }
  BASS_Free();
  std::printf("silence between songs, %zu changes: median %.1f ms, worst %.1f ms; songs cut short: %d",
              gaps.size(), Median(gaps), *std::max_element(gaps.begin(), gaps.end()), cut);
  if (cut > 0) std::printf(" (by up to %.1f ms)", mostCut);
  std::printf("\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc >= 3 ? argv[1] : "";
  if (mode == "play") return Play(argc - 2, argv + 2);
  if (mode == "measure" && argc >= 5) return Measure(argv[2], argc - 3, argv + 3);
  std::fprintf(stderr, "usage: bench_gap play <file.mp3>... | measure <capture.raw> <file.mp3>...\n");
  return 2;
}
