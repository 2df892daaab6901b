#include "album/song_check.h"

#include <array>
#include <optional>
#include <vector>

#include "platform/file.h"
#include "platform/path_text.h"

namespace album {
namespace {

// Bit rates in kbit/s by bit rate index 1..14 (0 is free format, 15 is forbidden).
constexpr std::array<std::array<int, 15>, 5> kBitRates = {{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG 1 layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG 1 layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG 1 layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG 2 and 2.5 layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG 2 and 2.5 layers II, III
}};
constexpr std::array<int, 3> kMpeg1Rates = {44100, 48000, 32000};

// The largest frame is MPEG 2.5 layer II at 160 kbit/s and 8 kHz: 2,881 bytes.
constexpr std::size_t kMaxFrameBytes = 2881;

// The length of the frame whose header `at` starts with (header included), or nothing when
// `at` does not start with a frame header whose length it tells.
std::optional<std::size_t> FrameLength(std::span<const std::byte> at) {
  if (at.size() < 4) return std::nullopt;
  const auto b1 = static_cast<unsigned>(at[1]), b2 = static_cast<unsigned>(at[2]);
  if (at[0] != std::byte{0xFF} || (b1 & 0xE0) != 0xE0) return std::nullopt;
  // Version bits: 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1. Layer bits: 0 reserved, 1 layer
  // III, 2 layer II, 3 layer I.
  const unsigned version = (b1 >> 3) & 3, layer = (b1 >> 1) & 3;
  const unsigned bitRateIndex = b2 >> 4, rateIndex = (b2 >> 2) & 3;
  if (version == 1 || layer == 0 || bitRateIndex == 0 || bitRateIndex == 15 || rateIndex == 3)
    return std::nullopt;
  const bool mpeg1 = version == 3;
  const unsigned table = mpeg1 ? 3 - layer : (layer == 3 ? 3 : 4);
  const long bitRate = kBitRates[table][bitRateIndex] * 1000L;
  const long rate = kMpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const long padding = (b2 >> 1) & 1;
  if (layer == 3) return static_cast<std::size_t>((12 * bitRate / rate + padding) * 4);
  // Samples per frame / 8: 1,152 in layers II and III, but 576 in layer III of MPEG 2 and 2.5.
  const long factor = layer == 1 && !mpeg1 ? 72 : 144;
  return static_cast<std::size_t>(factor * bitRate / rate + padding);
}

}  // namespace

std::int64_t Id3v2TagLength(std::span<const std::byte> bytes) {
  if (bytes.size() < 10 || bytes[0] != std::byte{'I'} || bytes[1] != std::byte{'D'} || bytes[2] != std::byte{'3'})
    return 0;
  std::int64_t size = 0;
  for (int i = 6; i < 10; ++i) {
    // The size is "synchsafe": seven bits to a byte, the top bit always clear.
    if ((static_cast<unsigned>(bytes[i]) & 0x80) != 0) return 0;
    size = size << 7 | static_cast<unsigned>(bytes[i]);
  }
  const bool footer = (static_cast<unsigned>(bytes[5]) & 0x10) != 0;
  return 10 + size + (footer ? 10 : 0);
}

bool HasMpegAudioFrames(std::span<const std::byte> bytes) {
  for (std::size_t start = 0; start < kMpegSearchBytes && start < bytes.size(); ++start) {
    std::size_t at = start;
    int found = 0;
    for (; found < 3 && at < bytes.size(); ++found) {
      const std::optional<std::size_t> length = FrameLength(bytes.subspan(at));
      if (!length) break;
      at += *length;
    }
    if (found == 3) return true;
  }
  return false;
}

platform::Status CheckSongFile(const std::filesystem::path& path, int slot) {
  const platform::File file = TRY_VALUE(platform::File::OpenRead(path));
  std::array<std::byte, 10> head{};
  const std::size_t headBytes = TRY_VALUE(file.ReadAt(0, head));
  const std::int64_t tag = Id3v2TagLength(std::span(head).first(headBytes));
  // The last frame header may start two of the largest frames past the search window.
  std::vector<std::byte> start(kMpegSearchBytes + 2 * kMaxFrameBytes + 4);
  const std::size_t got = TRY_VALUE(file.ReadAt(tag, start));
  if (!HasMpegAudioFrames(std::span(start).first(got)))
    return platform::Error{platform::ErrorKind::NotMpegAudio, platform::PathToUtf8(path), slot};
  return {};
}

}  // namespace album
