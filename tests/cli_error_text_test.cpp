// The command lines' wording of errors: English alone, naming the file.
#include <gtest/gtest.h>

#include "cli/error_text.h"

namespace {

using platform::ErrorKind;

TEST(CommandLineWords, EveryKindIsWordedInEnglishAlone) {
  for (ErrorKind kind : platform::kAllErrorKinds) {
    const std::string text = cli::ErrorText({kind, "", 2, 5});
    EXPECT_NE(text, cli::ErrorText({static_cast<ErrorKind>(-1), "", 2, 5})) << static_cast<int>(kind);
    for (unsigned char c : text) EXPECT_LT(c, 0x80) << static_cast<int>(kind) << ": " << text;
  }
}

TEST(CommandLineWords, TheFileComesFirstThenWhatWasDoneAndWhy) {
  EXPECT_EQ(
      cli::ErrorText(platform::ErrorFromErrno(ENOENT, platform::Operation::OpenForReading, "/a/gone.mp3")),
      "/a/gone.mp3: cannot open the file for reading: no such file or folder");
  EXPECT_EQ(cli::ErrorText({ErrorKind::NoSuchSlot, "/a/x.exe", 11}), "/a/x.exe: there is no slot 11");
}

}  // namespace
