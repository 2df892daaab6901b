// The album image played for real, under Xvfb and a PulseAudio null sink (./test.sh starts
// both): what the sink plays is recorded and told apart by frequency, the pointer clicks
// through the window system, and the files are checked after closing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <sstream>
#include <thread>

#include "support/player_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::Check;
using testing_support::Player;
using testing_support::PlayerFolders;
using testing_support::PlayerWindowId;
using testing_support::ReadFile;
using testing_support::RunProcess;
using testing_support::TempDir;
using testing_support::Tone;

namespace {

using testing_support::kBin;
constexpr int kLowTone = 500, kHighTone = 1200;

// Power of `hz` in mono 16-bit samples at 44,100 Hz (Goertzel).
double Power(const std::string& pcm, int hz) {
  const auto* samples = reinterpret_cast<const std::int16_t*>(pcm.data());
  const std::size_t n = pcm.size() / 2;
  const double coefficient = 2 * std::cos(2 * M_PI * hz / 44100.0);
  double s1 = 0, s2 = 0;
  for (std::size_t i = 0; i < n; ++i) {
    double s = samples[i] + coefficient * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
}

// Which of the two tones the sink plays now: the one at least ten times stronger, else 0.
int ToneHeard() {
  std::string pcm = RunProcess({"/usr/bin/timeout", "1", "/usr/bin/parec", "-d", "@DEFAULT_MONITOR@", "--raw",
                                "--format=s16le", "--rate=44100", "--channels=1", "--latency-msec=50"})
                        .out;
  const double low = Power(pcm, kLowTone), high = Power(pcm, kHighTone);
  if (low > 10 * high) return kLowTone;
  if (high > 10 * low) return kHighTone;
  return 0;
}

// A real pointer click at (x, y) of the window.
void Click(const std::string& window, int x, int y, int button = 1) {
  Check({"/usr/bin/xdotool", "mousemove", "--window", window, std::to_string(x), std::to_string(y), "click",
         std::to_string(button)});
}

TEST(PlayerEndToEnd, PlaysPicksExportsAndClosesCleanlyAndRefusesASecondCopy) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under scripts/headless.sh (./test.sh does)";
  ASSERT_EQ(RunProcess({"/usr/bin/pactl", "info"}).exitCode, 0) << "no sound server";
  TempDir dir;
  fs::path low = Tone(dir.path(), "低音", kLowTone), high = Tone(dir.path(), "高音", kHighTone);
  testing_support::WriteFile(dir / "低音.lrc", "[00:01.00]低音\r\n");
  fs::path albums = dir / "albums";
  fs::create_directory(albums);
  Check({(kBin / "pakrel").string(), "--name", "两个音", "--description", "测试", "--song",
         "1=" + low.string(), "--lyrics", "1=" + (dir / "低音.lrc").string(), "--song", "2=" + high.string(),
         "--output-dir", albums.string()});
  const fs::path album = albums / "两个音.exe";
  const std::set<fs::path> before = PlayerFolders();

  Player player({album.string()}, dir / "player.log");
  ASSERT_TRUE(player.Logged("window shown")) << player.log();
  ASSERT_TRUE(player.Logged("label lblTime = 00:01")) << player.log();
  EXPECT_EQ(ToneHeard(), kLowTone);
  const std::string window = PlayerWindowId();
  ASSERT_FALSE(window.empty());

  // A second copy of the album is refused while the first plays, started as itself or by
  // sonvira --album.
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{album.string()}, {(kBin / "sonvira").string(), "--album", album.string()}}) {
    Player second(command, dir / "second.log");
    ASSERT_TRUE(second.Logged("step 1: refused")) << second.log();
    std::string box = Check({"/usr/bin/xdotool", "search", "--sync", "--onlyvisible", "--name", "^错误！$"});
    box = box.substr(0, box.find('\n'));
    Check({"/usr/bin/xdotool", "windowfocus", "--sync", box, "key", "Return"});
    ASSERT_TRUE(second.Exited(5s));
    EXPECT_EQ(second.exitCode(), 1);
  }

  Click(window, 106 + 22, 120 + 26);  // the next button
  ASSERT_TRUE(player.Logged("2.mp3, length")) << player.log();
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(ToneHeard(), kHighTone);

  Click(window, 16 + 6, 142 + 6, 3);  // right button on song button 1, then the menu entry
  std::this_thread::sleep_for(300ms);
  Check({"/usr/bin/xdotool", "mousemove_relative", "30", "10", "click", "1"});
  ASSERT_TRUE(player.Logged("wrote " + (albums / "低音.lrc").string())) << player.log();
  EXPECT_EQ(ReadFile(albums / "低音.mp3"), ReadFile(low));

  // Dragged by its background with the pointer, the window follows.
  auto position = [&] { return Check({"/usr/bin/xdotool", "getwindowgeometry", window}); };
  const std::string placed = position();
  Check({"/usr/bin/xdotool", "mousemove", "--window", window, "240", "100", "mousedown", "1",
         "mousemove_relative", "--", "-60", "-40", "mouseup", "1"});
  std::this_thread::sleep_for(300ms);
  EXPECT_NE(position(), placed);

  // Dragged against the left edge it docks: it slides out when the pointer leaves and back
  // when the pointer touches the strip that stays.
  auto left = [&] {
    const std::string geometry = position();
    return std::stoi(geometry.substr(geometry.find("Position: ") + 10));
  };
  Check({"/usr/bin/xdotool", "mousemove", "--window", window, "240", "100", "mousedown", "1",
         "mousemove_relative", "--", "-1500", "0", "mouseup", "1", "mousemove", "900", "700"});
  std::this_thread::sleep_for(1s);
  EXPECT_LT(left(), -200);
  Check({"/usr/bin/xdotool", "mousemove", "--window", window, "251", "100"});
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(left(), -10);

  Click(window, 200 + 30, 6 + 12);  // the close button
  ASSERT_TRUE(player.Exited(5s)) << player.log();
  EXPECT_EQ(player.exitCode(), 0);
  for (const fs::path& folder : PlayerFolders()) EXPECT_TRUE(before.contains(folder)) << folder;
  EXPECT_EQ(std::distance(fs::directory_iterator(albums), {}), 3);  // the album and the export
}

TEST(PlayerEndToEnd, LyricLinesAppearOnTimeAndTheBarsMoveWithTheSound) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under scripts/headless.sh (./test.sh does)";
  TempDir dir;
  const fs::path song = Tone(dir.path(), "时间", kLowTone);
  // UTF-8 with a byte order mark; mixed tag forms, a line with two tags, a header, lines out of
  // order.
  testing_support::WriteFile(
      dir / "时间.lrc",
      "\xEF\xBB\xBF[ti:时间]\r\n[00:03.5]三\r\n[00:01.00]一, \"二\"\r\n[00:05.250][00:07]五七\r\n"
      "[00:02]二\r\n");
  const std::map<std::string, std::vector<double>> due = {
      {"一, \"二\"", {1.0}}, {"二", {2.0}}, {"三", {3.5}}, {"五七", {5.25, 7.0}}};
  fs::path albums = dir / "albums";
  fs::create_directory(albums);
  Check({(kBin / "pakrel").string(), "--name", "时间", "--song", "1=" + song.string(), "--lyrics",
         "1=" + (dir / "时间.lrc").string(), "--output-dir", albums.string()});

  Player player({(albums / "时间.exe").string()}, dir / "player.log");
  ASSERT_TRUE(player.Logged("label lblTime = 00:08", 20s)) << player.log();
  const std::string window = PlayerWindowId();
  ASSERT_FALSE(window.empty());
  Click(window, 200 + 30, 6 + 12);  // the close button
  ASSERT_TRUE(player.Exited(5s)) << player.log();

  // "label songword = <line> at <position> s": every change of the line, in order, at most
  // 60 ms after its time (the second tag of "五七" changes nothing).
  std::istringstream log(player.log());
  std::vector<double> shownAt;
  int bars = 0;
  for (std::string line; std::getline(log, line);) {
    if (line.find("bar box drawn") != std::string::npos) ++bars;
    const std::size_t label = line.find("label songword = "), at = line.rfind(" at ");
    if (label == std::string::npos || at == std::string::npos || at < label) continue;
    const std::string text = line.substr(label + 17, at - label - 17);
    const double position = std::stod(line.substr(at + 4));
    ASSERT_TRUE(due.contains(text)) << line;
    const std::vector<double>& times = due.at(text);
    const bool onTime = std::any_of(times.begin(), times.end(),
                                    [&](double t) { return position >= t && position <= t + 0.060; });
    EXPECT_TRUE(onTime) << line;
    shownAt.push_back(position);
  }
  EXPECT_EQ(shownAt.size(), 4u) << player.log();
  EXPECT_TRUE(std::is_sorted(shownAt.begin(), shownAt.end()));
  // A tone's waveform moves the bars at nearly every Timer1 tick (about 6.7 a second).
  EXPECT_GT(bars, 20) << player.log();
}

}  // namespace
