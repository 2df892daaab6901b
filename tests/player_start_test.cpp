// The player program plays first and loads the window it carries after: also where the system
// refuses to run code from a file in memory, and without leaving a file of it behind.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/player_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::Check;
using testing_support::kBin;
using testing_support::Player;
using testing_support::TempDir;

namespace {

TEST(PlayerStart, TheWindowLoadsWhereFilesInMemoryAreRefusedAndNoCopyOfItStays) {
  TempDir dir;
  std::string album = Check({(kBin / "pakrel").string(), "--name", "start", "--song",
                             "1=" + (fs::path(SONVIRA_SOURCE_DIR) / "examples" / "小星星.mp3").string(),
                             "--output-dir", dir.path().string()});
  album.erase(album.find_last_not_of('\n') + 1);
  const fs::path runtime = dir / "run";
  fs::create_directory(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  ::setenv("LD_PRELOAD", NO_MEMFD_LIBRARY, 1);
  // The sanitizer build's runtime then comes second, which it accepts when told.
  const std::string sanitizer = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
  ::setenv("ASAN_OPTIONS", (sanitizer + ":verify_asan_link_order=0").c_str(), 1);
  Player player({album}, dir / "log");
  ::unsetenv("LD_PRELOAD");

  ASSERT_TRUE(player.Logged("first sound")) << player.log();
  ASSERT_TRUE(player.Logged("window shown")) << player.log();
  for (const auto& entry : fs::recursive_directory_iterator(runtime))
    EXPECT_EQ(entry.path().filename().string().find("window"), std::string::npos) << entry.path();
  ::kill(player.pid(), SIGTERM);
  ASSERT_TRUE(player.Exited(5s));
  EXPECT_EQ(player.exitCode(), 0) << player.log();
}

}  // namespace
