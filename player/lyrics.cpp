#include "lyrics.h"

#include <algorithm>
#include <system_error>

#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace player {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

constexpr std::string_view kBlanks = " \t";

// UTF-8 with every byte that does not start a valid sequence replaced by U+FFFD.
std::string RepairUtf8(std::string_view in) {
  if (platform::IsValidUtf8(in)) return std::string(in);
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    const auto c = static_cast<unsigned char>(in[i]);
    const std::size_t len = c < 0x80             ? 1
                            : (c & 0xE0) == 0xC0 ? 2
                            : (c & 0xF0) == 0xE0 ? 3
                            : (c & 0xF8) == 0xF0 ? 4
                                                 : 0;
    if (len > 0 && i + len <= in.size() && platform::IsValidUtf8(in.substr(i, len))) {
      out.append(in.substr(i, len));
      i += len;
    } else {
      out.append("\xEF\xBF\xBD");
      ++i;
    }
  }
  return out;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads up to `most` digits (at least `least`) from the front of `s`.
std::optional<std::int32_t> TakeDigits(std::string_view& s, std::size_t least, std::size_t most,
                                       std::size_t* count = nullptr) {
  std::size_t n = 0;
  std::int32_t value = 0;
  while (n < most && n < s.size() && IsDigit(s[n])) value = value * 10 + (s[n++] - '0');
  if (n < least) return std::nullopt;
  s.remove_prefix(n);
  if (count != nullptr) *count = n;
  return value;
}

bool TakeChar(std::string_view& s, char c) {
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

// One time tag at the front of `s`, consumed when it is one.
std::optional<std::int32_t> TakeTimeTag(std::string_view& s) {
  std::string_view rest = s;
  if (!TakeChar(rest, '[')) return std::nullopt;
  const auto minutes = TakeDigits(rest, 1, 3);
  if (!minutes || !TakeChar(rest, ':')) return std::nullopt;
  const auto seconds = TakeDigits(rest, 2, 2);
  if (!seconds) return std::nullopt;
  std::int32_t ms = 0;
  if (TakeChar(rest, '.')) {
    std::size_t digits = 0;
    const auto fraction = TakeDigits(rest, 1, 3, &digits);
    if (!fraction) return std::nullopt;
    ms = *fraction * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
  }
  if (!TakeChar(rest, ']')) return std::nullopt;
  s = rest;
  return *minutes * 60'000 + *seconds * 1000 + ms;
}

}  // namespace

std::string_view SplitTimeTags(std::string_view line, std::vector<std::int32_t>& timesMs) {
  timesMs.clear();
  line = platform::Trim(line, kBlanks);
  while (const auto time = TakeTimeTag(line)) timesMs.push_back(*time);
  return platform::Trim(line, kBlanks);
}

void SortLyricLines(std::vector<LyricLine>& lines) {
  std::ranges::stable_sort(lines, {}, &LyricLine::timeMs);
}

Lyrics ParseLyrics(std::span<const std::byte> bytes) {
  const std::string_view raw = platform::AsChars(bytes);
  // Decode first: a GB18030 character may carry "[" as its second byte.
  const std::string text =
      raw.starts_with(kUtf8Bom) ? RepairUtf8(raw.substr(kUtf8Bom.size())) : platform::FromAnsi(raw);
  Lyrics lyrics;
  std::vector<std::int32_t> times;
  for (std::string_view rest = text; !rest.empty();) {
    const std::string_view words =
        SplitTimeTags(platform::NextLine(rest, platform::LineEnds::CrLfCrOrLf), times);
    if (times.empty()) continue;
    const auto index = static_cast<std::uint32_t>(lyrics.texts.size());
    lyrics.texts.emplace_back(words);
    for (std::int32_t t : times) lyrics.lines.push_back({t, index});
  }
  SortLyricLines(lyrics.lines);
  return lyrics;
}

fs::path LyricsPathFor(const fs::path& songPath) {
  // The system's own form of the name (UTF-16 on Windows), which a narrow string is not there.
  fs::path::string_type path = songPath.native();
  path.resize(path.size() >= 4 ? path.size() - 4 : 0);
  return fs::path(path) += ".lrc";
}

LyricState LoadLyrics(const fs::path& songPath) {
  LyricState state;
  const fs::path path = LyricsPathFor(songPath);
  std::error_code ec;
  // Checked before opening: opening a pipe of that name would block the player.
  if (!fs::is_regular_file(path, ec)) return state;
  state.hasLyrics = true;
  platform::Result<platform::File> file = platform::File::OpenRead(path);
  if (!file) return state;
  platform::Result<std::int64_t> size = file.value().Size();
  if (!size) return state;
  std::string bytes(std::min<std::size_t>(static_cast<std::size_t>(std::max<std::int64_t>(size.value(), 0)),
                                          kMaxLyricsBytes),
                    '\0');
  platform::Result<std::size_t> got =
      file.value().ReadAt(0, std::as_writable_bytes(std::span(bytes.data(), bytes.size())));
  if (!got) return state;
  bytes.resize(got.value());
  state.lyricLines = ParseLyrics(platform::AsBytes(bytes));
  return state;
}

std::string_view StartCaption(const LyricState& state, std::string_view title) {
  return state.hasLyrics ? std::string_view() : title;
}

std::optional<std::string_view> LyricStep(LyricState& state, double positionSeconds) {
  if (state.nextLyric >= state.lyricCount()) return std::nullopt;
  const std::size_t line = state.nextLyric;
  if (!(state.lyricLines.lines[line].timeMs < positionSeconds * 1000.0)) return std::nullopt;
  ++state.nextLyric;
  return state.lyricLines.Text(line);
}

}  // namespace player
