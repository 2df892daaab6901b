#include "audio_reference.h"

#include <mpg123.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace audio_test {

Pcm DecodeWithMpg123(const std::filesystem::path& file) {
  mpg123_init();
  int err = 0;
  mpg123_handle* h = mpg123_new(nullptr, &err);
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  mpg123_format_none(h);
  const long* rates = nullptr;
  std::size_t count = 0;
  mpg123_rates(&rates, &count);
  for (std::size_t i = 0; i < count; ++i)
    mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  Pcm pcm;
  int encoding = 0;
  if (mpg123_open(h, file.string().c_str()) != MPG123_OK ||
      mpg123_getformat(h, &pcm.rate, &pcm.channels, &encoding) != MPG123_OK) {
    mpg123_delete(h);
    throw std::runtime_error("libmpg123 cannot decode " + file.string());
  }
  mpg123_scan(h);
  unsigned char buffer[16384];
  for (;;) {
    std::size_t done = 0;
    int r = mpg123_read(h, buffer, sizeof buffer, &done);
    auto* s = reinterpret_cast<std::int16_t*>(buffer);
    pcm.samples.insert(pcm.samples.end(), s, s + done / 2);
    if (r != MPG123_OK && r != MPG123_NEW_FORMAT) break;
  }
  mpg123_close(h);
  mpg123_delete(h);
  return pcm;
}

std::string TestFile(const std::string& name) {
  return std::string(SONVIRA_SOURCE_DIR) + "/tests/data/audio/" + name;
}

std::vector<std::int16_t> ReadCapture(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

double ToneFrequency(const std::vector<std::int16_t>& samples, int channels, int channel, std::size_t first,
                     std::size_t last, double rate) {
  std::size_t firstCrossing = 0, lastCrossing = 0, crossings = 0;
  for (std::size_t f = first + 1; f < last; ++f) {
    std::int16_t a = samples[(f - 1) * channels + channel];
    std::int16_t b = samples[f * channels + channel];
    if (a < 0 && b >= 0) {
      if (crossings == 0) firstCrossing = f;
      lastCrossing = f;
      ++crossings;
    }
  }
  if (crossings < 2) return 0.0;
  return static_cast<double>(crossings - 1) * rate / static_cast<double>(lastCrossing - firstCrossing);
}

std::pair<std::size_t, std::size_t> LoudSpan(const std::vector<std::int16_t>& samples, int channels,
                                             int threshold) {
  std::size_t frames = samples.size() / channels, first = frames, last = 0;
  for (std::size_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      if (std::abs(samples[f * channels + c]) > threshold) {
        if (first == frames) first = f;
        last = f + 1;
      }
    }
  }
  return {first, last};
}

}  // namespace audio_test
