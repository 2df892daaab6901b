#pragma once
// A control's saved properties, described once as a table that loading and saving both walk:
// each entry names the property, gives its default, and says how to reach its value - a data
// member, or a getter and a setter where setting it does more than store (a colour that
// restyles rows). Values are int, bool or colour (std::uint32_t, 0x00BBGGRR); the store holds
// them as whole numbers: flags as 1 and 0, colours as their 32 bits.
//
//   const platform::Property<TaskBar> kSaved[] = {
//       {"MoveLength", &TaskBar::moveLength_, 500},
//       {"OnTop", &TaskBar::onTop_, false},
//   };
//   platform::LoadProperties(kSaved, bar, store);  // in table order; a missing name gives the default
//   platform::SaveProperties(kSaved, bar, store);  // only values that differ from their defaults
//
// Names are matched by the store, without regard to ASCII letter case.

#include <concepts>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>
#include <variant>

#include "platform/property_store.h"

namespace platform {

template <class T>
concept PropertyValue = std::same_as<T, int> || std::same_as<T, bool> || std::same_as<T, std::uint32_t>;

template <class C>
class Property {
 public:
  template <PropertyValue T>
  constexpr Property(std::string_view name, T C::*member, std::type_identity_t<T> defaultValue)
      : name_(name), default_(ToStored(defaultValue)), access_(member) {}

  template <PropertyValue T>
  constexpr Property(std::string_view name, T (C::*get)() const, void (C::*set)(T),
                     std::type_identity_t<T> defaultValue)
      : name_(name), default_(ToStored(defaultValue)), access_(Accessors<T>{get, set}) {}

  constexpr std::string_view name() const { return name_; }
  // The default, as the store holds it.
  constexpr int defaultValue() const { return default_; }

  // The property's current value on `object`, as the store holds it.
  int Get(const C& object) const {
    return std::visit([&](auto access) { return ToStored(Read(object, access)); }, access_);
  }

  // Gives `object` the value `stored`, converted from the store's whole number.
  void Set(C& object, int stored) const {
    std::visit([&](auto access) { Write(object, access, stored); }, access_);
  }

 private:
  template <class T>
  struct Accessors {
    T (C::*get)() const;
    void (C::*set)(T);
  };
  using Access = std::variant<int C::*, bool C::*, std::uint32_t C::*, Accessors<int>, Accessors<bool>,
                              Accessors<std::uint32_t>>;

  template <class T>
  static constexpr int ToStored(T v) {
    return static_cast<int>(v);  // a colour keeps its 32 bits
  }
  template <class T>
  static constexpr T FromStored(int v) {
    if constexpr (std::same_as<T, bool>) {
      return v != 0;
    } else {
      return static_cast<T>(v);
    }
  }

  template <class T>
  static T Read(const C& object, T C::*member) {
    return object.*member;
  }
  template <class T>
  static T Read(const C& object, Accessors<T> a) {
    return (object.*a.get)();
  }
  template <class T>
  static void Write(C& object, T C::*member, int stored) {
    object.*member = FromStored<T>(stored);
  }
  template <class T>
  static void Write(C& object, Accessors<T> a, int stored) {
    (object.*a.set)(FromStored<T>(stored));
  }

  std::string_view name_;
  int default_;
  Access access_;
};

// Sets every property of `table` on `object`, in table order, from `store`; a property the
// store does not hold gets its default, so an empty store sets every default.
template <class C>
void LoadProperties(std::span<const Property<C>> table, C& object, const PropertyStore& store) {
  for (const Property<C>& p : table) p.Set(object, store.Read(p.name()).value_or(p.defaultValue()));
}

// Writes to `store`, in table order, every property of `object` whose value differs from its
// default; one equal to its default is left out, as loading gives it back anyway.
template <class C>
void SaveProperties(std::span<const Property<C>> table, const C& object, PropertyStore& store) {
  for (const Property<C>& p : table) {
    const int value = p.Get(object);
    if (value != p.defaultValue()) store.Write(p.name(), value);
  }
}

// Deduces C from a table written as an array.
template <class C, std::size_t N>
void LoadProperties(const Property<C> (&table)[N], C& object, const PropertyStore& store) {
  LoadProperties(std::span<const Property<C>>(table), object, store);
}
template <class C, std::size_t N>
void SaveProperties(const Property<C> (&table)[N], const C& object, PropertyStore& store) {
  SaveProperties(std::span<const Property<C>>(table), object, store);
}

}  // namespace platform
