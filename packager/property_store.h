#pragma once
// The host's store of a control's design settings: named whole numbers (flags as 1 and 0),
// names matched without regard to ASCII letter case.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

 private:
  std::vector<std::pair<std::string, int>> entries_;
};
