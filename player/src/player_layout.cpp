#include "player/player_layout.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

namespace player {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kOrange = 0x0080FF;
constexpr std::uint32_t kSlate = 0x7C635A;
constexpr FontKind kSong = FontKind::SongBold;
constexpr FontKind kPlain = FontKind::Default;

constexpr std::array kLayout = {
    ControlDesign{"Image1", 0, 0, 254, 183, "", {}, "", kPlain, pictures::kBackground},
    ControlDesign{"Picture2", 14, 52, 225, 49, "", {}, "", kPlain, pictures::kPanel},
    ControlDesign{"PicSpectrum1", 58, 54, 141, 45, "", {}, "", kPlain, pictures::kSpectrum},
    ControlDesign{"Label2", 10, 8, 162, 12, "Sonvira · 未命名专辑", kSlate, "", kSong, ""},
    ControlDesign{"Image10", 174, 6, 26, 19, "", {}, "", kPlain, pictures::kMinimiseNormal},
    ControlDesign{"Image7", 200, 6, 44, 19, "", {}, "", kPlain, pictures::kCloseNormal},
    ControlDesign{"lblCPU", 196, 0, 28, 12, "0.00", kOrange, "", kSong, ""},
    ControlDesign{"lblInfo", 2, 2, 97, 13, "44KHz", kOrange, "Mp3 Info", kSong, ""},
    ControlDesign{"songword", 14, 30, 224, 12, "本专辑中没有歌曲", 0x00FF00, "", kPlain, ""},
    ControlDesign{"lblTime", 2, 36, 41, 16, "00:00", 0xD2C574, "", kSong, ""},
    ControlDesign{"lblTotalTime", 180, 38, 45, 20, "00:00", kSlate, "总计时间", kSong, ""},
    ControlDesign{"Image2", 106, 120, 44, 53, "", {}, "", kPlain, pictures::kNextNormal},
    ControlDesign{"songtitle", 14, 104, 225, 13, "歌名无", 0x52433C, "", kSong, ""},
    // Entry 0 of the song buttons lies outside the client area.
    ControlDesign{"Label1(0)", 300, 142, 16, 12, "0", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(1)", 16, 142, 16, 12, "1", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(2)", 34, 142, 16, 12, "2", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(3)", 54, 142, 16, 12, "3", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(4)", 72, 142, 16, 12, "4", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(5)", 90, 142, 16, 12, "5", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(6)", 152, 142, 16, 12, "6", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(7)", 168, 142, 16, 12, "7", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(8)", 184, 142, 16, 12, "8", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(9)", 200, 142, 16, 12, "9", kWhite, "", kPlain, ""},
    ControlDesign{"Label1(10)", 220, 142, 16, 12, "10", kWhite, "", kPlain, ""},
    // Present, but outside the visible area.
    ControlDesign{"stdSS1", 300, 0, 200, 120, "", {}, "", kPlain, ""},
};

}  // namespace

std::span<const ControlDesign> PlayerLayout() {
  return kLayout;
}

const ControlDesign& Control(std::string_view name) {
  auto it =
      std::find_if(kLayout.begin(), kLayout.end(), [&](const ControlDesign& c) { return name == c.name; });
  if (it == kLayout.end()) std::abort();
  return *it;
}

const ControlDesign& SongButton(int n) {
  return Control("Label1(" + std::to_string(n) + ")");
}

}  // namespace player
