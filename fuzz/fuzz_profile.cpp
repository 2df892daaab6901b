// Settings and description texts of arbitrary bytes. The first line names a section, the
// second a key; the rest is the settings text.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "album/reader.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t a = text.find('\n');
  std::size_t b = a == text.npos ? text.npos : text.find('\n', a + 1);
  if (b != text.npos) {
    std::string value = platform::ReadProfileString(text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1));
    if (value.size() > platform::kProfileValueMax) std::abort();
  }
  auto bytes = std::as_bytes(std::span(data, size));
  album::AlbumSettings settings = album::LoadAlbumSettings(bytes);
  for (const auto& slot : settings.songSlots) (void)slot.HasSafeName();
  (void)album::ParseDescription(bytes);
  (void)album::ParseTrailer(bytes);
  return 0;
}
