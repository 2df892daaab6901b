#pragma once
// The album image: the player program, then the songs of slots 1..10, the lyrics of slots
// 1..10, the settings text, the description text, and a 10,000-byte index trailer. Every
// number in it is a 1-based byte position ("position p is the byte at offset p - 1") that
// fits a signed 32-bit integer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace album {

inline constexpr int kSlotCount = 10;
inline constexpr std::int64_t kTrailerSize = 10000;
inline constexpr std::int64_t kMaxImageSize = 2147483647;
// The largest description piece the player reads; the packager stores nothing larger.
inline constexpr std::int64_t kMaxDescriptionSize = 16 << 20;
// The player copies pieces in the kernel, or where that is slower (a piece that does not start
// at a page boundary of the album) through one buffer of this size, so a song of any size
// needs one fixed buffer. (Blocks of 64,000 bytes, as the player once used, copy markedly
// slower than `cp`.)
inline constexpr std::size_t kExtractBlock = 1 << 20;

// The three numbers of the index trailer: A (settings start, equal to s21), B (description
// start) and E (trailer start).
struct Index {
  std::int64_t A = 0;
  std::int64_t B = 0;
  std::int64_t E = 0;
  friend bool operator==(const Index&, const Index&) = default;
};

// Piece positions s1..s21 (element 0 unused), as recorded in the settings text.
using PiecePositions = std::array<std::int64_t, 22>;

// The song name of a chosen file: the text after the last "/" or "\" with its last four
// characters (the extension) dropped. Empty optional when that text has fewer than four
// characters and no name can be formed. Characters are Unicode characters of UTF-8 text.
std::optional<std::string> GetFileName(std::string_view path);

// The 35-line settings text (bytes in the album code page, CR LF line ends).
// `title` and `names` are already in the album code page.
std::string BuildSettingsText(std::string_view title, const PiecePositions& s,
                              const std::array<std::string, kSlotCount>& names);

// The description piece: `description` (UTF-8, any line ends) with every line break made
// CR LF, converted to the album code page, followed by one CR LF. Empty optional when the
// text is not valid UTF-8.
std::optional<std::string> BuildDescriptionText(std::string_view description);

// The index text "A\B\E" padded with spaces to 100 characters, character k stored at trailer
// offset 100k - 1, every other byte 0.
std::array<std::byte, kTrailerSize> BuildTrailer(const Index& index);

// Reads the three numbers back from trailer bytes the way the player always has: NUL bytes
// dropped, lines trimmed of spaces and joined, the text cut at "\" and each field read as a
// decimal number (leading white space skipped, stopping at the first non-digit). Empty
// optional when there are fewer than three fields or a number does not fit 32 bits. The
// numbers are not checked against each other or the file: see CheckIndex.
std::optional<Index> ParseTrailer(std::span<const std::byte> trailer);

// A decimal field read like that: leading spaces, tabs and line feeds skipped, digits up to the first
// other character. Empty optional when there is no digit or the value passes 2,147,483,647.
std::optional<std::int64_t> ParsePosition(std::string_view text);

}  // namespace album
