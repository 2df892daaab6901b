#pragma once
// Turns the audio library's byte counts into seconds and display text for the time, length
// and format labels.

#include <cstdint>
#include <string>

#include "bass/bass.h"
#include "player/bass_loader.h"

namespace player {

// high x 65536 + (low AND 0xFFFF): the form of the library's version number.
constexpr std::int32_t MakeLong(std::int32_t low, std::int32_t high) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(high) << 16 |
                                   static_cast<std::uint32_t>(low & 0xFFFF));
}

// `bytes` of the stream in seconds, by the library (the byte count as the low 32 bits of
// its 64-bit value). The library's failure value, -1, for an unknown handle.
float BytesToSeconds(const BassApi& api, DWORD handle, std::uint32_t bytes);

// Holds no state of its own besides a copy of the stream's channel information, which
// every query refills. Only the user-interface thread calls it; `api` outlives it.
class Cbass_time {
 public:
  explicit Cbass_time(const BassApi& api) : api_(api) {}

  // Whole seconds as minutes and seconds, each with at least two digits: 754 gives
  // "12:34", 6000 gives "100:00". Negative values keep their sign in each part, as the
  // "00" number format writes them (-1 gives "00:-01").
  static std::string GetTime(std::int32_t seconds);

  // Position and length in seconds; both use only the low 32 bits of the byte counts.
  float GetPlayingPos(DWORD handle);
  float GetDuration(DWORD handle);
  // Sample rate in Hz; 0 when the library knows no such stream.
  std::int32_t GetFrequency(DWORD handle);
  // "Mono", "Stereo", or the channel count followed by " MultiChannel".
  std::string GetMode(DWORD handle);
  // 8 for 8-bit samples, else 16.
  std::uint8_t GetBits(DWORD handle);
  std::int32_t GetBytesPerSecond(DWORD handle);
  // Average kilobits per second of a file of `fileLength` bytes, rounded to the nearest
  // integer (halves to even). 0 when the stream has no duration to divide by, and held
  // to the 16-bit range.
  std::int16_t GetBitsPerSecond(DWORD handle, std::int32_t fileLength);
  // The DirectSound version field of the library's information record.
  std::uint8_t GetDXver();

 private:
  void RefillInfo(DWORD handle);

  const BassApi& api_;
  BASS_CHANNELINFO info_{};
};

}  // namespace player
