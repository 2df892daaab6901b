#pragma once
// Values of INI-style settings text, looked up the way the Windows profile-string reader
// does it: section and key names compared without regard to ASCII letter case, spaces
// around names and values ignored, one pair of matching quotes around a value dropped,
// ';' comment lines skipped, the first matching section and key win.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// The longest value the reader hands back, in bytes; longer values are cut.
inline constexpr std::size_t kProfileValueMax = 126;

// The value of `key` in `section` of the settings text `ini` (bytes in the album's code
// page, lines ending in CR LF, CR or LF), cut to kProfileValueMax bytes. A missing key or
// section gives an empty string, exactly like an empty value.
std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::span<const std::byte> ini);
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view ini);

}  // namespace platform
