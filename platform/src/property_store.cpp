#include "platform/property_store.h"

#include <algorithm>

namespace platform {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

MemoryPropertyStore::MemoryPropertyStore(std::initializer_list<std::pair<std::string, int>> entries) {
  for (const auto& [name, value] : entries) Write(name, value);
}

std::optional<int> MemoryPropertyStore::Read(std::string_view name) const {
  for (const auto& [key, value] : entries_)
    if (SameName(key, name)) return value;
  return std::nullopt;
}

void MemoryPropertyStore::Write(std::string_view name, int value) {
  for (auto& [key, stored] : entries_) {
    if (SameName(key, name)) {
      stored = value;
      return;
    }
  }
  entries_.emplace_back(std::string(name), value);
}

}  // namespace platform
