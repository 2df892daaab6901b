#include "player/lyrics.h"

#include <algorithm>
#include <system_error>

#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace player {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

constexpr std::string_view kBlanks = " \t";

// UTF-16 text (after its byte order mark) as UTF-8. A surrogate without its partner becomes
// U+FFFD; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
      platform::AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
      i += 2;
    } else if (u >= 0xD800 && u < 0xE000) {
      out.append(kReplacement);
    } else {
      platform::AppendUtf8(out, u);
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

// One time tag at the front of `s`, consumed when it is one: `open` mm:ss, then optionally
// "." or ":" and fractions, then `close`. Line tags are in brackets, word tags in angle
// brackets.
std::optional<std::int32_t> TakeTimeTag(std::string_view& s, char open = '[', char close = ']') {
  std::string_view rest = s;
  if (!TakeChar(rest, open)) return std::nullopt;
  const auto minutes = TakeDigits(rest, 1, 3);
  if (!minutes || !TakeChar(rest, ':')) return std::nullopt;
  const auto seconds = TakeDigits(rest, 2, 2);
  if (!seconds) return std::nullopt;
  std::int32_t ms = 0;
  if (TakeChar(rest, '.') || TakeChar(rest, ':')) {
    std::size_t digits = 0;
    const auto fraction = TakeDigits(rest, 1, 3, &digits);
    if (!fraction) return std::nullopt;
    ms = *fraction * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
  }
  if (!TakeChar(rest, close)) return std::nullopt;
  s = rest;
  return *minutes * 60'000 + *seconds * 1000 + ms;
}

// The milliseconds of an [offset:+500] or [offset:-300] line, nothing for any other line.
std::optional<std::int32_t> OffsetTag(std::string_view line) {
  constexpr std::string_view kKey = "[offset:";
  line = platform::Trim(line, kBlanks);
  if (line.size() < kKey.size() || !platform::EqualsIgnoringAsciiCase(line.substr(0, kKey.size()), kKey))
    return std::nullopt;
  line = platform::Trim(line.substr(kKey.size()), kBlanks);
  const bool negative = TakeChar(line, '-');
  if (!negative) TakeChar(line, '+');
  // Nine digits keep every shifted time within 32 bits.
  const auto ms = TakeDigits(line, 1, 9);
  line = platform::Trim(line, kBlanks);
  if (!ms || !TakeChar(line, ']')) return std::nullopt;
  return negative ? -*ms : *ms;
}

// Bytes of a line's text worth decoding: enough to fill kMaxLyricTextBytes of UTF-8 after
// decoding (a character of two or four code page bytes never shrinks below three quarters),
// plus a character cut at the end.
constexpr std::size_t kKeptRawBytes = 2 * kMaxLyricTextBytes + 4;

// Appends the front of `text` without its word tags (<mm:ss.xx>), at most kKeptRawBytes.
// The tags are ASCII and neither UTF-8 nor code page 936 uses "<" inside a character, so
// this works on the bytes before decoding.
void AppendWithoutWordTags(std::string& out, std::string_view text) {
  const std::size_t end = out.size() + kKeptRawBytes;
  while (!text.empty() && out.size() < end) {
    if (text.front() == '<' && TakeTimeTag(text, '<', '>')) continue;
    const std::string_view room = text.substr(0, end - out.size());
    const std::size_t plain = std::min(room.find('<', 1), room.size());
    out.append(text.substr(0, plain));
    text.remove_prefix(plain);
  }
}

// `text` cut to at most kMaxLyricTextBytes at a character boundary, then trimmed.
std::string_view Shown(std::string_view text) {
  if (text.size() > kMaxLyricTextBytes) {
    std::size_t cut = kMaxLyricTextBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut);
  }
  return platform::Trim(text, kBlanks);
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
  std::string_view raw = platform::AsChars(bytes);
  // UTF-16 is made UTF-8 first. UTF-8 and code page 936 are split into lines and tags as
  // bytes: code page 936 may carry "[" or a digit as the second byte of a character, but
  // never a line end, and tags are read only where a character starts. Only the kept part of
  // each text is decoded, all in one go.
  std::string converted;
  bool ansi = false;
  if (raw.starts_with("\xFF\xFE") || raw.starts_with("\xFE\xFF")) {
    converted = Utf16ToUtf8(raw.substr(2), raw.front() == '\xFE');
    raw = converted;
  } else if (raw.starts_with(kUtf8Bom)) {
    raw.remove_prefix(kUtf8Bom.size());
  } else {
    ansi = !platform::IsValidUtf8(raw);
  }

  Lyrics lyrics;
  std::int32_t offsetMs = 0;
  std::string kept;  // the kept texts, each followed by LF
  std::uint32_t texts = 0;
  std::vector<std::int32_t> times;
  for (std::string_view rest = raw; !rest.empty();) {
    const std::string_view line = platform::NextLine(rest, platform::LineEnds::CrLfCrOrLf);
    const std::string_view words = SplitTimeTags(line, times);
    if (times.empty()) {
      if (const auto offset = OffsetTag(line)) offsetMs = *offset;
      continue;
    }
    AppendWithoutWordTags(kept, words);
    kept += '\n';
    for (std::int32_t t : times) lyrics.lines.push_back({t, texts});
    ++texts;
  }

  const std::string text = ansi ? platform::FromAnsi(kept) : platform::RepairUtf8(kept);
  for (std::string_view rest = text; !rest.empty();)
    lyrics.texts.emplace_back(Shown(platform::NextLine(rest, platform::LineEnds::CrLfCrOrLf)));
  // Decoding makes no line ends, so there is one text per kept line; this only makes sure.
  lyrics.texts.resize(texts);
  // A positive offset shows every line that much earlier.
  for (LyricLine& line : lyrics.lines) line.timeMs = std::max(0, line.timeMs - offsetMs);
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
  // A file cut at the limit ends in a partial line, perhaps in a partial character.
  if (size.value() > static_cast<std::int64_t>(kMaxLyricsBytes)) bytes.resize(bytes.find_last_of("\r\n") + 1);
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
