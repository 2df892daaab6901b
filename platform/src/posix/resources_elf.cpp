// Resources linked in by the build (see sonvira_embed_resource): a program that carries
// none leaves the weak symbols unresolved, which reads as an empty resource.
#include <string_view>

#include "platform/resources.h"

extern "C" {
__attribute__((weak)) extern const unsigned char platform_resource_custom_101[];
__attribute__((weak)) extern const unsigned char platform_resource_custom_101_end[];
}

namespace platform {

std::span<const std::byte> LoadResourceData(std::string_view type, int id) {
  if (type != "CUSTOM" || id != 101) return {};
  if (platform_resource_custom_101 == nullptr || platform_resource_custom_101_end == nullptr) return {};
  return {reinterpret_cast<const std::byte*>(platform_resource_custom_101),
          static_cast<std::size_t>(platform_resource_custom_101_end - platform_resource_custom_101)};
}

}  // namespace platform
