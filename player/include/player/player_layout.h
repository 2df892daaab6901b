#pragma once
// The player window's controls as designed: position and size in client pixels, design
// text, colour, tooltip, font and picture. The window is built from this table, and its test
// reads the same table, so a position lives in one place.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace player {

enum class FontKind {
  Default,   // the window's default font
  SongBold,  // "宋体" 9 points bold, simplified Chinese character set
};

struct ControlDesign {
  const char* name;  // the control's name, with "(n)" for an element of a control array
  int x, y, width, height;
  const char* text;                     // design text, UTF-8; empty for pictures
  std::optional<std::uint32_t> colour;  // foreground as 0x00BBGGRR, when the design sets one
  const char* tooltip;
  FontKind font;
  const char* picture;  // resource name of the picture shown at design time, or empty
};

// Client area of the window, in pixels.
inline constexpr int kClientWidth = 253;
inline constexpr int kClientHeight = 185;

// Every control, in stacking order from the bottom. The docking control TaskBar1 has no
// place of its own: it works on the whole window.
std::span<const ControlDesign> PlayerLayout();

// The control named `name` ("songtitle", "Label1(3)"); the program stops on an unknown name.
const ControlDesign& Control(std::string_view name);

// "Label1(n)".
const ControlDesign& SongButton(int n);

// Pictures that are no control's design picture: the hover and normal sources of the
// picture buttons, and the playlist's skin.
namespace pictures {
inline constexpr char kBackground[] = "player_background.png";
inline constexpr char kNextNormal[] = "player_Image3_next.png";
inline constexpr char kNextHover[] = "player_Image4_next_hover.png";
inline constexpr char kCloseNormal[] = "player_Image5_close.png";
inline constexpr char kCloseHover[] = "player_Image6_close_hover.png";
inline constexpr char kMinimiseNormal[] = "player_Image8_minimise.png";
inline constexpr char kMinimiseHover[] = "player_Image9_minimise_hover.png";
inline constexpr char kSpectrum[] = "player_PicSpectrum1_background.png";
inline constexpr char kPanel[] = "player_Picture2_panel.png";
inline constexpr char kPlaylistSkin[] = "player_Picture1_skin.png";  // Picture1
inline constexpr char kPointer[] = "player_cursor.png";              // hot spot at (10, 1)
}  // namespace pictures

}  // namespace player
