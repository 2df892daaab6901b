#pragma once
// Helpers shared by the audio library tests: what libmpg123 itself decodes from a file,
// the test files, captured device output, and a tone's frequency.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace audio_test {

struct Pcm {
  long rate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;  // interleaved
  std::size_t bytes() const { return samples.size() * 2; }
};

// The whole file decoded by libmpg123 to 16-bit samples in the file's own format, after a
// full scan of the file (which corrects gapless information a cut file gets wrong).
Pcm DecodeWithMpg123(const std::filesystem::path& file);

// A test MP3 made by tests/data/audio/make_test_mp3s.sh.
std::string TestFile(const std::string& name);

// Raw 16-bit stereo as the test output captures it (support/test_output.h).
std::vector<std::int16_t> ReadCapture(const std::filesystem::path& file);

// Tone frequency of one channel of interleaved samples, from upward zero crossings over
// the span [first, last) of frames.
double ToneFrequency(const std::vector<std::int16_t>& samples, int channels, int channel, std::size_t first,
                     std::size_t last, double rate);

// First and one-past-last frame whose sample magnitude exceeds `threshold` on any channel.
std::pair<std::size_t, std::size_t> LoudSpan(const std::vector<std::int16_t>& samples, int channels,
                                             int threshold);

}  // namespace audio_test
