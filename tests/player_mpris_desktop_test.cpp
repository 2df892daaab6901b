// The real player's media controls, called with gdbus on a private session bus (ctest runs
// this under dbus-run-session) while it plays an album of two tones under Xvfb and a PulseAudio
// null sink (./test.sh starts both).
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "support/player_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::Check;
using testing_support::kBin;
using testing_support::Player;
using testing_support::PlayerFolders;
using testing_support::PlayerWindowId;
using testing_support::RunProcess;
using testing_support::TempDir;
using testing_support::Tone;

namespace {

const std::string kName = "org.mpris.MediaPlayer2.sonvira";

// gdbus's answer to a method call, in GVariant text: "(<'Sonvira'>,)".
std::string Call(const std::string& method, std::vector<std::string> arguments = {}) {
  std::vector<std::string> argv = {
      "/usr/bin/gdbus",          "call",     "--session", "--dest", kName, "--object-path",
      "/org/mpris/MediaPlayer2", "--method", method};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return Check(argv);
}

std::string Get(const std::string& interface, const std::string& property) {
  return Call("org.freedesktop.DBus.Properties.Get", {interface, property});
}

std::string GetPlayer(const std::string& property) {
  return Get("org.mpris.MediaPlayer2.Player", property);
}

long long Number(const std::string& text, const std::string& after) {
  std::smatch m;
  if (!std::regex_search(text, m, std::regex(after + R"(\s*(-?\d+))"))) return -1;
  return std::stoll(m[1]);
}

int WindowLeft(const std::string& window) {
  const std::string geometry = Check({"/usr/bin/xdotool", "getwindowgeometry", window});
  return std::stoi(geometry.substr(geometry.find("Position: ") + 10));
}

TEST(PlayerMprisDesktop, TheDesktopSeesTheSongSkipsRaisesAndQuitsThePlayer) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under scripts/headless.sh (./test.sh does)";
  ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session";
  TempDir dir;
  const fs::path low = Tone(dir.path(), "低音", 500), high = Tone(dir.path(), "高音", 1200);
  Check({(kBin / "pakrel").string(), "--name", "两个音", "--song", "1=" + low.string(), "--song",
         "2=" + high.string(), "--output-dir", dir.path().string()});
  const std::set<fs::path> before = PlayerFolders();

  Player player({(dir / "两个音.exe").string()}, dir / "player.log");
  ASSERT_TRUE(player.Logged("media controls: offered as " + kName)) << player.log();
  ASSERT_TRUE(player.Logged("label lblTime = 00:01")) << player.log();
  EXPECT_EQ(Get("org.mpris.MediaPlayer2", "Identity"), "(<'Sonvira'>,)\n");
  EXPECT_EQ(GetPlayer("PlaybackStatus"), "(<'Playing'>,)\n");

  std::string metadata = GetPlayer("Metadata");
  EXPECT_NE(metadata.find("'mpris:trackid': <objectpath '/org/sonvira/song/1'>"), std::string::npos)
      << metadata;
  EXPECT_NE(metadata.find("'xesam:title': <'低音'>"), std::string::npos) << metadata;
  EXPECT_NE(metadata.find("'xesam:album': <'两个音'>"), std::string::npos) << metadata;
  // playerctl, which passes over a player that cannot play, finds it.
  EXPECT_EQ(Check({"/usr/bin/playerctl", "-p", "sonvira", "metadata", "xesam:title"}), "低音\n");
  // The length the window shows, to the second: "label lblTotalTime = 00:20 at ...".
  const std::string log = player.log();
  const std::size_t shown = log.find("label lblTotalTime = ") + 21;
  const int shownSeconds = std::stoi(log.substr(shown, 2)) * 60 + std::stoi(log.substr(shown + 3, 2));
  const long long length = Number(metadata, "'mpris:length': <int64");
  EXPECT_EQ(std::nearbyint(static_cast<double>(length) / 1e6), shownSeconds) << metadata;

  // Pause is not offered and changes nothing: the song goes on.
  EXPECT_EQ(GetPlayer("CanPause"), "(<false>,)\n");
  const long long position = Number(GetPlayer("Position"), "<int64");
  Call("org.mpris.MediaPlayer2.Player.Pause");
  std::this_thread::sleep_for(1s);
  EXPECT_GT(Number(GetPlayer("Position"), "<int64"), position + 500'000);
  EXPECT_EQ(GetPlayer("PlaybackStatus"), "(<'Playing'>,)\n");

  // Next plays what the next button would: the second song, shown in the window's title label.
  Call("org.mpris.MediaPlayer2.Player.Next");
  ASSERT_TRUE(player.Logged("label songtitle = [高音]")) << player.log();
  ASSERT_TRUE(player.Logged("2.mp3, length")) << player.log();
  metadata = GetPlayer("Metadata");
  EXPECT_NE(metadata.find("'mpris:trackid': <objectpath '/org/sonvira/song/2'>"), std::string::npos)
      << metadata;
  EXPECT_NE(metadata.find("'xesam:title': <'高音'>"), std::string::npos) << metadata;

  // Raise brings the window out of its hiding place at the left edge, to stay.
  const std::string window = PlayerWindowId();
  ASSERT_FALSE(window.empty());
  Check({"/usr/bin/xdotool", "mousemove", "900", "700", "windowmove", window, "0", "300"});
  std::this_thread::sleep_for(1s);
  EXPECT_LT(WindowLeft(window), -200);
  Call("org.mpris.MediaPlayer2.Raise");
  std::this_thread::sleep_for(1s);
  EXPECT_GE(WindowLeft(window), 0);

  // Quit closes the player as its close button does: nothing is left behind.
  Call("org.mpris.MediaPlayer2.Quit");
  ASSERT_TRUE(player.Exited(5s)) << player.log();
  EXPECT_EQ(player.exitCode(), 0);
  for (const fs::path& folder : PlayerFolders()) EXPECT_TRUE(before.contains(folder)) << folder;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 4);  // tones, album, log
}

}  // namespace
