#include "album/format.h"

#include <vector>

#include "platform/codepage.h"
#include "platform/text.h"

namespace album {

std::optional<std::string> GetFileName(std::string_view path) {
  std::size_t cut = path.find_last_of("/\\");
  std::string_view file = cut == std::string_view::npos ? path : path.substr(cut + 1);
  // Character boundaries of the file name, so the last four characters can be dropped.
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < file.size();) {
    starts.push_back(i);
    i += platform::Utf8SequenceLength(static_cast<unsigned char>(file[i]));
  }
  if (starts.size() < 4) return std::nullopt;
  return std::string(file.substr(0, starts[starts.size() - 4]));
}

std::string BuildSettingsText(std::string_view title, const PiecePositions& s,
                              const std::array<std::string, kSlotCount>& names) {
  std::string text;
  text += "[t]\r\n";
  text += "title =";
  text += title;
  text += "\r\n[s]\r\n";
  for (int k = 1; k <= 21; ++k) text += "s" + std::to_string(k) + "=" + std::to_string(s[k]) + "\r\n";
  text += "[SONG]\r\n";
  for (int i = 1; i <= kSlotCount; ++i) text += "SONG" + std::to_string(i) + "=" + names[i - 1] + "\r\n";
  return text;
}

std::optional<std::string> BuildDescriptionText(std::string_view description) {
  std::string crlf;
  crlf.reserve(description.size() + 2);
  for (std::size_t i = 0; i < description.size(); ++i) {
    char c = description[i];
    if (c == '\r') {
      crlf += "\r\n";
      if (i + 1 < description.size() && description[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      crlf += "\r\n";
    } else {
      crlf += c;
    }
  }
  std::optional<std::string> ansi = platform::ToAnsi(crlf);
  if (!ansi) return std::nullopt;
  *ansi += "\r\n";
  return ansi;
}

std::array<std::byte, kTrailerSize> BuildTrailer(const Index& index) {
  std::string text = std::to_string(index.A) + "\\" + std::to_string(index.B) + "\\" + std::to_string(index.E);
  text.resize(100, ' ');
  std::array<std::byte, kTrailerSize> trailer{};
  for (std::size_t k = 1; k <= 100; ++k) trailer[100 * k - 1] = static_cast<std::byte>(text[k - 1]);
  return trailer;
}

std::optional<std::int64_t> ParsePosition(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
  std::int64_t value = 0;
  std::size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    value = value * 10 + (text[i] - '0');
    if (value > kMaxImageSize) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

std::optional<Index> ParseTrailer(std::span<const std::byte> trailer) {
  // The index text is what is left of the trailer's lines once NULs are dropped and each
  // line is trimmed; lines end at CR or CR LF.
  std::string bytes;
  for (std::byte b : trailer)
    if (b != std::byte{0}) bytes += static_cast<char>(b);
  std::string text;
  for (std::string_view rest = bytes; !rest.empty();) {
    std::string_view line = platform::Trim(platform::NextLine(rest, platform::LineEnds::CrOrCrLf));
    if (line.empty()) continue;
    text.append(line);
    text += "\r\n";
  }

  std::optional<std::int64_t> fields[3];
  std::size_t start = 0;
  for (int f = 0; f < 3; ++f) {
    if (start > text.size()) return std::nullopt;
    std::size_t end = text.find('\\', start);
    if (f < 2 && end == std::string::npos) return std::nullopt;
    fields[f] = ParsePosition(std::string_view(text).substr(start, end == std::string::npos ? text.npos : end - start));
    if (!fields[f]) return std::nullopt;
    start = end == std::string::npos ? text.size() + 1 : end + 1;
  }
  return Index{*fields[0], *fields[1], *fields[2]};
}

}  // namespace album
