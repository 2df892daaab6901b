// Lyrics files of arbitrary bytes: parsed, then played through at rising positions. The lines
// must come out in time order, none before 0, each once, and every text must be valid UTF-8
// and no longer than a line's kept text.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/codepage.h"
#include "player/lyrics.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  player::LyricState state;
  state.hasLyrics = true;
  state.lyricLines = player::ParseLyrics(std::as_bytes(std::span(data, size)));
  const auto& lyrics = state.lyricLines;
  for (std::size_t i = 0; i < lyrics.lines.size(); ++i) {
    if (lyrics.lines[i].text >= lyrics.texts.size()) std::abort();
    if (i > 0 && lyrics.lines[i].timeMs < lyrics.lines[i - 1].timeMs) std::abort();
    if (i > 0 && lyrics.lines[i].timeMs == lyrics.lines[i - 1].timeMs &&
        lyrics.lines[i].text < lyrics.lines[i - 1].text)
      std::abort();
  }
  for (const auto& text : lyrics.texts)
    if (!platform::IsValidUtf8(text) || text.size() > player::kMaxLyricTextBytes) std::abort();
  if (!lyrics.lines.empty() && lyrics.lines.front().timeMs < 0) std::abort();

  // Play in about 600 steps to past the last line, one candidate per tick; the last position
  // must lie beyond it, not merely on it.
  const double last = lyrics.lines.empty() ? 0 : lyrics.lines.back().timeMs / 1000.0;
  const double step = last / 600 + 0.097;
  std::size_t shown = 0;
  for (double position = 0; position <= last + 2 * step; position += step) {
    while (player::LyricStep(state, position)) ++shown;
  }
  if (shown != lyrics.lines.size() || player::LyricStep(state, 1e9)) std::abort();
  return 0;
}
