#include "platform/property_store.h"

#include "platform/text.h"

namespace platform {

MemoryPropertyStore::MemoryPropertyStore(std::initializer_list<std::pair<std::string, int>> entries) {
  for (const auto& [name, value] : entries) Write(name, value);
}

std::optional<int> MemoryPropertyStore::Read(std::string_view name) const {
  for (const auto& [key, value] : entries_)
    if (EqualsIgnoringAsciiCase(key, name)) return value;
  return std::nullopt;
}

void MemoryPropertyStore::Write(std::string_view name, int value) {
  for (auto& [key, stored] : entries_) {
    if (EqualsIgnoringAsciiCase(key, name)) {
      stored = value;
      return;
    }
  }
  entries_.emplace_back(std::string(name), value);
}

}  // namespace platform
