#pragma once
// Synchronised lyrics: an LRC file read into time-ordered lines, and the step that tells the
// lyric label `songword` which line has fallen due. No Qt and no window: the player model
// calls these and copies the result onto its label.
//
// Lyrics files are read as UTF-16 when they start with its byte order mark (either order), as
// UTF-8 when they start with its byte order mark or are valid UTF-8 throughout, and otherwise
// as code page 936 text (GB18030). All texts handed out are UTF-8.
//
// Only the user-interface thread calls these; nothing here keeps state of its own.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace player {

// One shown line: its time and its text, which lives in Lyrics::texts (a line with several
// time tags becomes several LyricLines sharing one text).
struct LyricLine {
  std::int32_t timeMs = 0;
  std::uint32_t text = 0;  // index into Lyrics::texts
};

struct Lyrics {
  std::vector<LyricLine> lines;    // in time order; lines of the same time in file order
  std::vector<std::string> texts;  // one per timed line of the file

  std::string_view Text(std::size_t line) const { return texts[lines[line].text]; }
};

// Reads the leading time tags of one line (UTF-8 or code page 936 bytes) into `timesMs`
// (cleared first) and returns the text after them, trimmed of surrounding white space. A
// time tag is "[" + one to three digits of minutes + ":" + two digits of seconds +
// optionally "." or ":" and one to three digits of fractions + "]". Reading stops at the
// first thing that is not a time tag, so a line that does not start with one ([ti:...],
// [offset:...], plain text) leaves `timesMs` empty: it is never shown.
std::string_view SplitTimeTags(std::string_view line, std::vector<std::int32_t>& timesMs);

// Stable sort by time: lines of the same time keep their order.
void SortLyricLines(std::vector<LyricLine>& lines);

// At most this much of a line's text is kept, cut at a character boundary: far more than
// the lyric label can show.
inline constexpr std::size_t kMaxLyricTextBytes = 256;

// The timed lines of a whole lyrics file. Any bytes are accepted; bytes that do not decode
// become U+FFFD. Lines end at LF, CR LF or CR. Commas and quotes are part of the text; word
// time tags ("<" mm:ss.xx ">", the same forms as line tags) are not. An [offset:N] line
// (N in milliseconds, with an optional sign; the last one counts) shows every line N ms
// earlier, but none before 0. An empty result means the file has no timed line.
Lyrics ParseLyrics(std::span<const std::byte> bytes);

// Files larger than this are read only up to it, to the end of the last whole line;
// nothing that size is a lyrics file.
inline constexpr std::size_t kMaxLyricsBytes = 16u << 20;

// The lyrics of the playing song, and the line tested next.
struct LyricState {
  bool hasLyrics = false;     // a lyrics file was found beside the song
  Lyrics lyricLines;          // empty without lyrics, or when the file held no timed line
  std::size_t nextLyric = 0;  // index in lyricLines.lines of the next line to fall due

  std::size_t lyricCount() const { return lyricLines.lines.size(); }
};

// The song's lyrics path: `songPath` without its last four characters (".mp3"), + ".lrc".
std::filesystem::path LyricsPathFor(const std::filesystem::path& songPath);

// End of OpenAndPlay: reads the lyrics beside `songPath`. Only a regular file counts (a
// folder or a device of that name is no lyrics file); without one the result has
// hasLyrics false. A file that exists but cannot be read gives hasLyrics with no lines.
LyricState LoadLyrics(const std::filesystem::path& songPath);

// What `songword` shows as soon as the song has started: "" when it has lyrics (the first
// line comes with its time), otherwise the song's title. The view is into `title`.
std::string_view StartCaption(const LyricState& state, std::string_view title);

// Lyric step, the last thing of every tmrBass tick. `positionSeconds` is the play position.
// When the next line's time lies before the position, that line becomes the one shown and
// the next candidate moves on: at most one line per tick, so lines that are all overdue
// come one per tick in order. Returns the text `songword` is to show, or nothing when the
// label stays as it is (no line due, no lyrics, or the last line already shown). The view
// is into `state` and lasts until the next LoadLyrics.
std::optional<std::string_view> LyricStep(LyricState& state, double positionSeconds);

}  // namespace player
