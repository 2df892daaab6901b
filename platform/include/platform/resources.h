#pragma once
// The data resources a program carries (type "CUSTOM", numbers 101 and 102), linked into the
// program at build time. The packager's are the player programs (101 for the system it runs
// on, 102 for the other); the player's are the audio library (101) and, on Linux, its window
// module (102).

#include <cstddef>
#include <span>
#include <string_view>

namespace platform {

// The bytes of resource `id` of `type`, valid for the life of the process. Empty when the
// program carries no such resource.
std::span<const std::byte> LoadResourceData(std::string_view type, int id);

}  // namespace platform
