// libmpg123 as cross-built for Windows from Debian's source decodes the test songs to as many
// bytes as the mpg123 program of the Linux build (its counts are taken when the build is
// configured, in mpg123_reference.txt).
#include <gtest/gtest.h>
#include <mpg123.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(Mpg123OnWindows, TestSongsDecodeToAsManyBytesAsMpg123OnLinux) {
  std::ifstream reference(SONVIRA_BINARY_DIR "/tests/mpg123_reference.txt");
  ASSERT_TRUE(reference);
  std::string song;
  long long expected = 0;
  int songs = 0;
  while (reference >> song >> expected) {
    ++songs;
    int err = MPG123_OK;
    mpg123_handle* decoder = mpg123_new(nullptr, &err);
    ASSERT_NE(decoder, nullptr) << mpg123_plain_strerror(err);
    const std::string path = SONVIRA_SOURCE_DIR "/tests/data/audio/" + song;
    ASSERT_EQ(mpg123_open(decoder, path.c_str()), MPG123_OK) << path << ": " << mpg123_strerror(decoder);
    std::vector<unsigned char> buffer(1 << 16);
    long long decoded = 0;
    std::size_t got = 0;
    int result;
    while ((result = mpg123_read(decoder, buffer.data(), buffer.size(), &got)) == MPG123_OK ||
           result == MPG123_NEW_FORMAT)
      decoded += static_cast<long long>(got);
    decoded += static_cast<long long>(got);
    EXPECT_EQ(result, MPG123_DONE) << song << ": " << mpg123_strerror(decoder);
    EXPECT_EQ(decoded, expected) << song;
    mpg123_close(decoder);
    mpg123_delete(decoder);
  }
  EXPECT_EQ(songs, 3);
}

}  // namespace
