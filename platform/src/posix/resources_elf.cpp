// Resources linked in by the build (see sonvira_embed_resource): a program that carries
// none leaves the weak symbols unresolved, which reads as an empty resource.
#include <string_view>

#include "platform/resources.h"

extern "C" {
// 101: the packager's player, the player's audio library; 102: the packager's player for the
// other system, the player's window module.
__attribute__((weak)) extern const unsigned char platform_resource_custom_101[];
__attribute__((weak)) extern const unsigned char platform_resource_custom_101_end[];
__attribute__((weak)) extern const unsigned char platform_resource_custom_102[];
__attribute__((weak)) extern const unsigned char platform_resource_custom_102_end[];
}

namespace platform {
namespace {

std::span<const std::byte> Between(const unsigned char* begin, const unsigned char* end) {
  if (begin == nullptr || end == nullptr) return {};
  return {reinterpret_cast<const std::byte*>(begin), static_cast<std::size_t>(end - begin)};
}

}  // namespace

std::span<const std::byte> LoadResourceData(std::string_view type, int id) {
  if (type != "CUSTOM") return {};
  if (id == 101) return Between(platform_resource_custom_101, platform_resource_custom_101_end);
  if (id == 102) return Between(platform_resource_custom_102, platform_resource_custom_102_end);
  return {};
}

}  // namespace platform
