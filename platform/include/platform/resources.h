#pragma once
// The one data resource a program carries (type "CUSTOM", number 101), linked into the
// program at build time. The packager's is the player program; the player's is the audio
// library.

#include <cstddef>
#include <span>
#include <string_view>

namespace platform {

// The bytes of resource `id` of `type`, valid for the life of the process. Empty when the
// program carries no such resource.
std::span<const std::byte> LoadResourceData(std::string_view type, int id);

}  // namespace platform
