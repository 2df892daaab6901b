#pragma once
// The player programs a packager carries: one for the system it runs on ("CUSTOM" 101) and,
// when the build had it, one for the other system (102). An album image starts with the
// player of the system it is made for.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace packager {

enum class Target { Linux, Windows };

#ifdef _WIN32
inline constexpr Target kOwnTarget = Target::Windows;
#else
inline constexpr Target kOwnTarget = Target::Linux;
#endif

// "linux" or "windows", as the command line names them.
std::string_view TargetName(Target target);
std::optional<Target> ParseTarget(std::string_view name);

struct Players {
  std::span<const std::byte> forLinux, forWindows;

  // Empty when this packager does not carry that system's player.
  std::span<const std::byte> For(Target target) const {
    return target == Target::Windows ? forWindows : forLinux;
  }
};

// The players this program carries as its resources.
Players CarriedPlayers();

}  // namespace packager
