#include "packager/players.h"

#include "platform/resources.h"

namespace packager {

std::string_view TargetName(Target target) { return target == Target::Windows ? "windows" : "linux"; }

std::optional<Target> ParseTarget(std::string_view name) {
  if (name == "linux") return Target::Linux;
  if (name == "windows") return Target::Windows;
  return std::nullopt;
}

Players CarriedPlayers() {
  const std::span<const std::byte> own = platform::LoadResourceData("CUSTOM", 101);
  const std::span<const std::byte> other = platform::LoadResourceData("CUSTOM", 102);
  return kOwnTarget == Target::Windows ? Players{other, own} : Players{own, other};
}

}  // namespace packager
