#pragma once
// The host's store of a control's design settings: named whole numbers (colours as
// 0x00BBGGRR, flags as 1 and 0), names matched without regard to ASCII letter case. Controls
// read it when they are created and write to it when the host saves; a control writes only
// the values that differ from its defaults.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

class PropertyStore {
 public:
  virtual ~PropertyStore() = default;
  // The stored value of `name`, or nullopt when nothing is stored under it.
  virtual std::optional<int> Read(std::string_view name) const = 0;
  // Stores `value` under `name`, replacing a value stored under any casing of the name.
  virtual void Write(std::string_view name, int value) = 0;
};

// A store kept in memory, in the order the names were first written.
class MemoryPropertyStore final : public PropertyStore {
 public:
  MemoryPropertyStore() = default;
  MemoryPropertyStore(std::initializer_list<std::pair<std::string, int>> entries);

  std::optional<int> Read(std::string_view name) const override;
  void Write(std::string_view name, int value) override;

  const std::vector<std::pair<std::string, int>>& entries() const { return entries_; }
  bool Contains(std::string_view name) const { return Read(name).has_value(); }
  int size() const { return static_cast<int>(entries_.size()); }

 private:
  std::vector<std::pair<std::string, int>> entries_;
};

}  // namespace platform
