#include "player/cbass_time.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace player {
namespace {

// The "00" number format: at least two digits, a minus sign in front when negative.
std::string TwoDigits(std::int32_t value) {
  std::string digits = std::to_string(std::llabs(value));
  if (digits.size() < 2) digits.insert(0, "0");
  return value < 0 ? "-" + digits : digits;
}

}  // namespace

float BytesToSeconds(const BassApi& api, DWORD handle, std::uint32_t bytes) {
  return api.BASS_ChannelBytes2Seconds(handle, QWORD{bytes});
}

std::string Cbass_time::GetTime(std::int32_t seconds) {
  return TwoDigits(seconds / 60) + ":" + TwoDigits(seconds % 60);
}

float Cbass_time::GetPlayingPos(DWORD handle) {
  return BytesToSeconds(api_, handle, static_cast<std::uint32_t>(api_.BASS_ChannelGetPosition(handle)));
}

float Cbass_time::GetDuration(DWORD handle) {
  return BytesToSeconds(api_, handle, static_cast<std::uint32_t>(api_.BASS_ChannelGetLength(handle)));
}

std::int32_t Cbass_time::GetFrequency(DWORD handle) {
  DWORD freq = 0, volume = 0;
  int pan = 0;
  api_.BASS_ChannelGetAttributes(handle, &freq, &volume, &pan);
  return static_cast<std::int32_t>(freq);
}

void Cbass_time::RefillInfo(DWORD handle) {
  api_.BASS_ChannelGetInfo(handle, &info_);
}

std::string Cbass_time::GetMode(DWORD handle) {
  RefillInfo(handle);
  if (info_.chans == 1) return "Mono";
  if (info_.chans == 2) return "Stereo";
  return std::to_string(info_.chans) + " MultiChannel";
}

std::uint8_t Cbass_time::GetBits(DWORD handle) {
  RefillInfo(handle);
  return (info_.flags & BASS_SAMPLE_8BITS) ? 8 : 16;
}

std::int32_t Cbass_time::GetBytesPerSecond(DWORD handle) {
  RefillInfo(handle);
  std::int64_t perSecond = std::int64_t{info_.freq} * (info_.chans > 2 ? 2 : info_.chans);
  if (!(info_.flags & BASS_SAMPLE_8BITS)) perSecond *= 2;
  return static_cast<std::int32_t>(perSecond);
}

std::int16_t Cbass_time::GetBitsPerSecond(DWORD handle, std::int32_t fileLength) {
  const double duration = GetDuration(handle);
  if (!(duration > 0.0) || !std::isfinite(duration)) return 0;
  const double kbps = std::nearbyint(static_cast<double>(fileLength) * 8.0 / duration / 1000.0);
  constexpr double kMin = std::numeric_limits<std::int16_t>::min();
  constexpr double kMax = std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(kbps < kMin ? kMin : kbps > kMax ? kMax : kbps);
}

std::uint8_t Cbass_time::GetDXver() {
  BASS_INFO info{};
  api_.BASS_GetInfo(&info);
  return static_cast<std::uint8_t>(info.dsver);
}

}  // namespace player
