// The command lines' wording of errors: English alone, naming the file.
#include <gtest/gtest.h>

#include "cli/error_text.h"

namespace {

using platform::ErrorKind;

TEST(CommandLineWords, EveryKindIsWordedInEnglishAlone) {
  for (int k = 0; k <= static_cast<int>(ErrorKind::PlayTimeOverflow); ++k) {
    const std::string text = cli::ErrorText({static_cast<ErrorKind>(k), "", 2, 5});
    EXPECT_FALSE(text.empty()) << k;
    for (unsigned char c : text) EXPECT_LT(c, 0x80) << k << ": " << text;
  }
}

TEST(CommandLineWords, TheFileComesFirstThenWhatWasDoneAndWhy) {
  EXPECT_EQ(
      cli::ErrorText(platform::ErrorFromErrno(ENOENT, platform::Operation::OpenForReading, "/a/gone.mp3")),
      "/a/gone.mp3: cannot open the file for reading: no such file or folder");
  EXPECT_EQ(cli::ErrorText({ErrorKind::NoSuchSlot, "/a/x.exe", 11}), "/a/x.exe: there is no slot 11");
}

}  // namespace
