// A program's own resource, as the build embeds it (sonvira_embed_resource): this test
// carries a test song as its "CUSTOM" 101.
#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "platform/resources.h"

namespace {

TEST(Resources, TheEmbeddedFileComesBackByteForByteUnderItsTypeAndNumberAlone) {
  const std::string song = SONVIRA_SOURCE_DIR "/tests/data/audio/short_44k_cbr.mp3";
  platform::Result<std::string> expected = platform::ReadWholeFile(song, 1 << 20);
  ASSERT_TRUE(expected) << expected.error().file;
  ASSERT_FALSE(expected.value().empty());

  std::span<const std::byte> resource = platform::LoadResourceData("CUSTOM", 101);
  EXPECT_EQ(platform::AsChars(resource), expected.value());
  // The same bytes each time, for the life of the process.
  EXPECT_EQ(platform::LoadResourceData("CUSTOM", 101).data(), resource.data());

  EXPECT_TRUE(platform::LoadResourceData("CUSTOM", 102).empty());
  EXPECT_TRUE(platform::LoadResourceData("RCDATA", 101).empty());
}

}  // namespace
