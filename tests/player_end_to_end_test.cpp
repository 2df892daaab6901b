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

TEST(PlayerEndToEnd, PlaysPicksExportsDocksAndClosesCleanlyAndRefusesASecondCopy) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under scripts/headless.sh (./test.sh does)";
  ASSERT_EQ(RunProcess({"/usr/bin/pactl", "info"}).exitCode, 0) << "no sound server";
  TempDir dir;
  fs::path low = Tone(dir.path(), "低音", kLowTone), high = Tone(dir.path(), "高音", kHighTone);
  testing_support::WriteFile(dir / "低音.lrc", "[00:01.00]低音\r\n");
  // A song that passes the packager's check (three MPEG audio frames in a row) and is then
  // damaged inside the album, as a bad copy or a bad disk would.
  std::string frame(417, '\0');  // MPEG-1 layer III, 128 kbit/s, 44.1 kHz, no padding
  frame.replace(0, 4, "\xFF\xFB\x90\x00", 4);
  const std::string broken = frame + frame + frame + "broken song";
  testing_support::WriteFile(dir / "坏.mp3", broken);
  fs::path albums = dir / "albums";
  fs::create_directory(albums);
  Check({(kBin / "pakrel").string(), "--name", "两个音", "--description", "测试", "--song",
         "1=" + low.string(), "--lyrics", "1=" + (dir / "低音.lrc").string(), "--song", "2=" + high.string(),
         "--song", "3=" + (dir / "坏.mp3").string(), "--output-dir", albums.string()});
  const fs::path album = albums / "两个音.exe";
  std::string image = ReadFile(album);
  const std::size_t songAt = image.find(broken);
  ASSERT_NE(songAt, std::string::npos);
  image.replace(songAt, broken.size(), std::string(broken.size(), 'x'));
  testing_support::WriteFile(album, image);
  fs::permissions(album, fs::perms::owner_exec, fs::perm_options::add);
  const std::set<fs::path> before = PlayerFolders();

  Player player({album.string()}, dir / "player.log");
  ASSERT_TRUE(player.Logged("window shown")) << player.log();
  ASSERT_TRUE(player.Logged("label lblTime = 00:01")) << player.log();
  EXPECT_EQ(ToneHeard(), kLowTone);
  const std::string window = PlayerWindowId();
  ASSERT_FALSE(window.empty());

  // A second copy of the album is refused while the first plays, started as itself, by
  // sonvira --album or through a hard link; so is a file that is no album, its name's control
  // characters printed escaped.
  fs::create_hard_link(album, dir / "链接.exe");
  const fs::path bogus = dir / "坏\x1B[2J.exe";
  testing_support::WriteFile(bogus, "no album");
  for (const std::vector<std::string>& command : {std::vector<std::string>{album.string()},
                                                  {(kBin / "sonvira").string(), "--album", album.string()},
                                                  {(dir / "链接.exe").string()},
                                                  {(kBin / "sonvira").string(), "--album", bogus.string()}}) {
    Player second(command, dir / "second.log");
    ASSERT_TRUE(second.Logged(command.back() == bogus ? "refused" : "step 1: refused")) << second.log();
    std::string box = Check({"/usr/bin/xdotool", "search", "--sync", "--onlyvisible", "--name", "^错误！$"});
    box = box.substr(0, box.find('\n'));
    Check({"/usr/bin/xdotool", "windowfocus", "--sync", box, "key", "Return"});
    ASSERT_TRUE(second.Exited(5s));
    EXPECT_EQ(second.exitCode(), 1);
  }
  EXPECT_NE(ReadFile(dir / "second.log").find("sonvira: " + (dir / "坏\\x1B[2J.exe").string()),
            std::string::npos);
  EXPECT_EQ(ReadFile(dir / "second.log").find('\x1B'), std::string::npos);

  Click(window, 106 + 22, 120 + 26);  // the next button
  ASSERT_TRUE(player.Logged("2.mp3, length")) << player.log();
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(ToneHeard(), kHighTone);

  // The right button on song button 1 opens the menu (the player's window without a name),
  // whose entry exports the song.
  Click(window, 16 + 6, 142 + 6, 3);
  ASSERT_EQ(RunProcess({"/usr/bin/timeout", "5", "/usr/bin/xdotool", "search", "--sync", "--all",
                        "--onlyvisible", "--pid", std::to_string(player.pid()), "--name", "^$"})
                .exitCode,
            0)
      << "no menu";
  Check({"/usr/bin/xdotool", "mousemove_relative", "30", "10", "click", "1"});
  ASSERT_TRUE(player.Logged("wrote " + (albums / "低音.lrc").string())) << player.log();
  EXPECT_EQ(ReadFile(albums / "低音.mp3"), ReadFile(low));

  // Dragged by its background with the pointer, the window follows (also when, as here, the
  // button is up again before the player has seen it go down).
  auto position = [&] { return Check({"/usr/bin/xdotool", "getwindowgeometry", "--shell", window}); };
  auto at = [&](const char* key) {
    const std::string g = position();
    return std::stoi(g.substr(g.find(std::string("\n") + key + "=") + 3));
  };
  const std::string placed = position();
  Check({"/usr/bin/xdotool", "mousemove", "--window", window, "240", "100", "mousedown", "1",
         "mousemove_relative", "--", "-60", "-40", "mouseup", "1"});
  std::this_thread::sleep_for(300ms);
  EXPECT_NE(position(), placed);

  // A broken song's box comes up in front, to be answered.
  Click(window, 54 + 6, 142 + 6);  // song button 3
  std::string box = Check({"/usr/bin/xdotool", "search", "--sync", "--onlyvisible", "--name", "^Error$"});
  box = box.substr(0, box.find('\n'));
  // The window under its middle is the box, or the window manager's frame around it.
  EXPECT_EQ(
      Check({"/bin/sh", "-c",
             "eval $(xdotool getwindowgeometry --shell " + box + ") && sleep 0.5 && xdotool mousemove " +
                 "$((X + WIDTH / 2)) $((Y + HEIGHT / 2)) && xwininfo -tree -id $(xdotool getmouselocation " +
                 "--shell | sed -n s/WINDOW=//p) | grep -c \"$(printf 0x%x " + box + ") \""}),
      "1\n");
  Check({"/usr/bin/xdotool", "windowfocus", "--sync", box, "key", "Return"});

  // Against the left, top and right edges it docks: it slides out when the pointer leaves,
  // leaving a strip that shows along the whole edge (a window manager may keep more of it on
  // the screen than asked).
  const int screen = std::stoi(Check({"/usr/bin/xdotool", "getdisplaygeometry"}));
  for (const auto& [x, y] : {std::pair{0, 300}, {400, 0}, {screen - 253, 300}}) {
    Check({"/usr/bin/xdotool", "mousemove", "900", "700", "windowmove", window, std::to_string(x),
           std::to_string(y)});
    std::this_thread::sleep_for(1s);
    const int X = at("X"), Y = at("Y"), width = std::min(X + 253, screen - X);
    const bool top = y == 0;
    EXPECT_LE(top ? Y + 185 : width, 30) << X << "," << Y;
    const std::string strip =
        top ? "253x" + std::to_string(Y + 185) + "+" + std::to_string(X) + "+0"
            : std::to_string(width) + "x185+" + std::to_string(std::max(X, 0)) + "+" + std::to_string(Y);
    // Its lines (rows or columns) averaged: those brighter than the empty desktop (black).
    const std::string shown =
        Check({"/bin/sh", "-c",
               "import -window root -crop " + strip + " +repage png:- | convert png:- -scale " +
                   (top ? "253x1!" : "1x185!") + " -threshold 3% -format '%[fx:round(mean*w*h)]' info:"});
    EXPECT_GE(std::stoi(shown), (top ? 253 : 185) * 95 / 100) << strip;
  }
  Check({"/usr/bin/xdotool", "windowmove", window, "400", "300"});

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
  // order, a line with a terminal's control sequence (the log shows it escaped).
  testing_support::WriteFile(
      dir / "时间.lrc",
      "\xEF\xBB\xBF[ti:时间]\r\n[00:03.5]三\x1B[2J\r\n[00:01.00]一, \"二\"\r\n[00:05.250][00:07]五七\r\n"
      "[00:02]二\r\n");
  const std::map<std::string, std::vector<double>> due = {
      {"一, \"二\"", {1.0}}, {"二", {2.0}}, {"三\\x1B[2J", {3.5}}, {"五七", {5.25, 7.0}}};
  fs::path albums = dir / "albums";
  fs::create_directory(albums);
  Check({(kBin / "pakrel").string(), "--name", "时间", "--song", "1=" + song.string(), "--lyrics",
         "1=" + (dir / "时间.lrc").string(), "--output-dir", albums.string()});

  Player player({(albums / "时间.exe").string()}, dir / "player.log");
  ASSERT_TRUE(player.Logged("label lblTime = 00:08", 20s)) << player.log();
  EXPECT_EQ(player.log().find('\x1B'), std::string::npos);
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
