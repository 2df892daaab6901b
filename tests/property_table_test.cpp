// Saved properties described once as a table: loading and saving walk the same entries.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/property_table.h"

namespace {

using platform::MemoryPropertyStore;
using platform::Property;

// A control with a number, a flag and a colour that is reached only through its accessors.
struct Control {
  int length = 0;
  bool onTop = false;
  std::uint32_t colour_ = 0;
  std::string setterCalls;

  std::uint32_t Colour() const { return colour_; }
  void Colour(std::uint32_t c) {
    colour_ = c;
    setterCalls += "Colour;";
  }
};

const Property<Control> kSaved[] = {
    {"Length", &Control::length, 500},
    {"Colour", &Control::Colour, &Control::Colour, 0x0040C0},
    {"OnTop", &Control::onTop, true},
};

TEST(PropertyTable, LoadingGivesStoredValuesByAnyCaseAndDefaultsForTheRest) {
  Control c;
  platform::LoadProperties(kSaved, c, MemoryPropertyStore{{"ONTOP", 0}, {"colour", 0x123456}});
  EXPECT_EQ(c.length, 500);
  EXPECT_FALSE(c.onTop);
  EXPECT_EQ(c.Colour(), 0x123456u);
  EXPECT_EQ(c.setterCalls, "Colour;");  // the setter ran, so its side effects happen on loading too

  platform::LoadProperties(kSaved, c, MemoryPropertyStore{});
  EXPECT_EQ(c.length, 500);
  EXPECT_TRUE(c.onTop);
  EXPECT_EQ(c.Colour(), 0x0040C0u);
}

TEST(PropertyTable, SavingStoresOnlyWhatDiffersAndLoadsBackTheSameValues) {
  Control c;
  platform::LoadProperties(kSaved, c, MemoryPropertyStore{});
  MemoryPropertyStore untouched;
  platform::SaveProperties(kSaved, c, untouched);
  EXPECT_EQ(untouched.size(), 0);

  c.length = -7;
  c.Colour(0xFF102030);  // all 32 bits survive the store's signed whole numbers
  MemoryPropertyStore store;
  platform::SaveProperties(kSaved, c, store);
  ASSERT_EQ(store.size(), 2);
  EXPECT_EQ(store.entries()[0].first, "Length");
  EXPECT_EQ(store.entries()[1].first, "Colour");

  Control reloaded;
  platform::LoadProperties(kSaved, reloaded, store);
  EXPECT_EQ(reloaded.length, -7);
  EXPECT_EQ(reloaded.Colour(), 0xFF102030u);
  EXPECT_TRUE(reloaded.onTop);
}

}  // namespace
