#include "platform/profile.h"

#include "platform/text.h"

namespace platform {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view TrimBlanks(std::string_view s) {
  return Trim(s, kBlanks);
}

}  // namespace

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view ini) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  bool inSection = false;
  bool sectionSeen = false;
  while (!ini.empty()) {
    std::string_view line = TrimBlanks(NextLine(ini, LineEnds::CrLfCrOrLf));
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      // Only the first section of that name is searched, as Windows does.
      if (inSection) return {};
      std::size_t close = line.find(']');
      std::string_view name =
          TrimBlanks(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      inSection = !sectionSeen && EqualsIgnoringAsciiCase(name, section);
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    if (!inSection) continue;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (!EqualsIgnoringAsciiCase(TrimBlanks(line.substr(0, eq)), key)) continue;
    std::string_view value = TrimBlanks(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kProfileValueMax));
  }
  return {};
}

std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::span<const std::byte> ini) {
  return ReadProfileString(section, key,
                           std::string_view(reinterpret_cast<const char*>(ini.data()), ini.size()));
}

}  // namespace platform
