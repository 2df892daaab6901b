#pragma once
// Shared set-up for the playlist control tests: rows with recognisable data, the player's skin,
// and a recorder for the control's events.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pixels.h"
#include "player/player_skin.h"
#include "playlist/stdss.h"

namespace playlist_test {

using playlist::stdSS;
using Strings = std::vector<std::string>;

// Text widths that do not depend on the fonts of the machine: every character (UTF-8 code
// point) is one pixel more than half the font's pixel size wide, one more again in bold.
class FixedWidthMeasure final : public playlist::TextMeasure {
 public:
  int Width(const playlist::FontLook& font, std::string_view utf8) const override {
    int characters = 0;
    for (char c : utf8) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return characters * (font.pixelSize / 2 + 1 + (font.bold ? 1 : 0));
  }
  std::string DefaultFontName() const override { return "Fixed"; }
};

inline const FixedWidthMeasure kFixedWidths;

struct EventLog {
  Strings playFile;
  int replay = 0;
  int rightClick = 0;
  int drops = 0;
  std::vector<std::int32_t> durations;

  void Attach(stdSS& c) {
    c.PlayFile = [this](const std::string& f) { playFile.push_back(f); };
    c.Replay = [this] { ++replay; };
    c.RightClick = [this] { ++rightClick; };
    c.DurationChanged = [this](std::int32_t d) { durations.push_back(d); };
    c.OLEDragDrop = [this](const playlist::DragData&, std::int32_t&, std::int16_t, std::int16_t, float,
                           float) { ++drops; };
  }
  void Reset() { *this = EventLog(); }
};

// The player's skin picture (assets/playlist_skin.png) as plain pixels; where no picture
// reader is linked (the Windows build), a plain picture of its size.
platform::Pixels PlayerSkin();

// Song k: FileName "file k", FileName2 "second k", title "Song k", k * 10 seconds.
inline void AddSong(stdSS& c, int k, const std::string& title = {}) {
  const std::string n = std::to_string(k);
  EXPECT_TRUE(c.AddItem("file " + n, "second " + n, title.empty() ? "Song " + n : title,
                        "0:" + std::to_string(k * 10), k * 10));
}

inline void AddSongs(stdSS& c, int count) {
  for (int k = 1; k <= count; ++k) AddSong(c, k);
}

// A control of the given size, dressed the way the player dresses it.
inline void Dress(stdSS& c, int width, int height) {
  c.ControlResized(width, height);
  player::DressPlaylist(c, PlayerSkin());
}

// Titles of rows 1..ListCount, to compare whole lists at once.
inline Strings Titles(const stdSS& c) {
  Strings titles;
  for (int i = 1; i <= c.ListCount; ++i) titles.push_back(c.row(i).lblIme.text);
  return titles;
}

// The first `n` of `all`.
inline Strings First(const Strings& all, std::size_t n) {
  return Strings(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(n, all.size())));
}

inline Strings Marks(const stdSS& c) {
  Strings marks;
  for (int i = 1; i <= c.ListCount; ++i) marks.push_back(c.row(i).lblIzbor.tag);
  return marks;
}

}  // namespace playlist_test
