#include "platform/profile.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Splits off the next line; a line ends at CR LF, CR or LF.
std::string_view NextLine(std::string_view& text) {
  std::size_t end = text.find_first_of("\r\n");
  std::string_view line = text.substr(0, end);
  if (end == std::string_view::npos) {
    text = {};
  } else {
    std::size_t skip = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    text.remove_prefix(end + skip);
  }
  return line;
}

}  // namespace

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view ini) {
  section = Trim(section);
  key = Trim(key);
  bool inSection = false;
  bool sectionSeen = false;
  while (!ini.empty()) {
    std::string_view line = Trim(NextLine(ini));
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      // Only the first section of that name is searched, as Windows does.
      if (inSection) return {};
      std::size_t close = line.find(']');
      std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      inSection = !sectionSeen && EqualsNoCase(name, section);
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    if (!inSection) continue;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (!EqualsNoCase(Trim(line.substr(0, eq)), key)) continue;
    std::string_view value = Trim(line.substr(eq + 1));
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
