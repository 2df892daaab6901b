#include "album/reader.h"

#include <algorithm>
#include <vector>

#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/profile.h"

namespace fs = std::filesystem;
using platform::Error;
using platform::ErrorKind;
using platform::File;
using platform::Result;
using platform::Status;

namespace album {

namespace {

// Legitimate settings and descriptions are a few kilobytes; these bounds keep a forged
// index from making the player read gigabytes into memory.
constexpr std::int64_t kMaxSettingsSize = 1 << 20;
constexpr std::int64_t kMaxDescriptionSize = 16 << 20;

std::int64_t PositionOrZero(std::string_view text) { return ParsePosition(text).value_or(0); }

}  // namespace

bool SlotEntry::HasSafeName() const {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

AlbumSettings LoadAlbumSettings(std::span<const std::byte> ini) {
  AlbumSettings settings;
  settings.title = platform::FromAnsi(platform::ReadProfileString("t", "title", ini));
  for (int k = 1; k <= 21; ++k) settings.s[k] = PositionOrZero(platform::ReadProfileString("S", "S" + std::to_string(k), ini));
  for (int i = 1; i <= kSlotCount; ++i) {
    SlotEntry& slot = settings.slots[i - 1];
    slot.name = platform::FromAnsi(platform::ReadProfileString("SONG", "SONG" + std::to_string(i), ini));
    slot.songFirst = settings.s[i];
    slot.songAfter = settings.s[i + 1];
    slot.lyricsFirst = settings.s[i + 10];
    slot.lyricsAfter = settings.s[i + 11];
  }
  return settings;
}

std::string ParseDescription(std::span<const std::byte> bytes) {
  std::string_view text = platform::AsChars(bytes);
  std::string kept;
  while (!text.empty()) {
    std::size_t end = text.find('\r');
    std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
      text = {};
    } else {
      text.remove_prefix(end + (end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1));
    }
    if (line.find_first_not_of(' ') == std::string_view::npos) continue;
    kept.append(line);
    kept += "\r\n";
  }
  return platform::FromAnsi(kept);
}

namespace {

// What is wrong with the trailer's numbers for a file of `fileLength` bytes, or empty.
std::string IndexProblem(const Index& index, std::int64_t fileLength) {
  if (index.E + kTrailerSize - 1 != fileLength)
    return "the index does not match the file length (the file may be truncated)";
  if (!(1 <= index.A && index.A <= index.B && index.B <= index.E)) return "the index positions are out of order";
  if (index.B - index.A > kMaxSettingsSize) return "the settings are implausibly large";
  if (index.E - index.B > kMaxDescriptionSize) return "the description is implausibly large";
  return {};
}

// What is wrong with the recorded piece positions of an image with a sound index, or empty.
std::string PositionsProblem(const Index& index, const PiecePositions& s) {
  if (s[1] < 1) return "the settings do not record where the songs start";
  for (int k = 2; k <= 21; ++k)
    if (s[k] < s[k - 1]) return "the settings record song positions out of order";
  if (s[21] != index.A) return "the settings do not agree with the index";
  return {};
}

}  // namespace

std::string AlbumImage::AlbumName() const {
  std::string name = path_.filename().string();
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.resize(name.size() - 4);
  return name;
}

Result<AlbumImage> AlbumImage::ReadAlbumIndex(const fs::path& path) {
  auto bad = [&](const std::string& why) { return Error{ErrorKind::BadFormat, path.string(), "not a valid album: " + why}; };
  Result<File> opened = File::OpenRead(path);
  if (!opened) return opened.error();
  const File& file = opened.value();
  Result<std::int64_t> size = file.Size();
  if (!size) return size.error();

  AlbumImage image;
  image.path_ = path;
  image.size_ = size.value();
  if (image.size_ < kTrailerSize) return bad("the file is shorter than the 10,000-byte index");
  if (image.size_ > kMaxImageSize) return bad("the file is larger than 2,147,483,647 bytes");

  std::vector<std::byte> trailer(kTrailerSize);
  if (Status s = file.ReadExactlyAt(image.size_ - kTrailerSize, trailer); !s) return s.error();
  std::optional<Index> index = ParseTrailer(trailer);
  if (!index) return bad("the index at its end does not hold three numbers");
  image.index_ = *index;
  if (std::string why = IndexProblem(*index, image.size_); !why.empty()) return bad(why);

  std::vector<std::byte> settings(static_cast<std::size_t>(index->B - index->A));
  if (Status s = file.ReadExactlyAt(index->A - 1, settings); !s) return s.error();
  image.settings_ = LoadAlbumSettings(settings);
  if (std::string why = PositionsProblem(*index, image.settings_.s); !why.empty()) return bad(why);

  std::vector<std::byte> description(static_cast<std::size_t>(index->E - index->B));
  if (Status s = file.ReadExactlyAt(index->B - 1, description); !s) return s.error();
  image.description_ = ParseDescription(description);
  return image;
}

Status ExtractPiece(const fs::path& source, const fs::path& destination, std::int64_t first, std::int64_t last) {
  Result<File> in = File::OpenRead(source);
  if (!in) return in.error();
  Result<platform::AtomicFile> out = platform::AtomicFile::Create(destination);
  if (!out) return out.error();
  if (Status s = out.value().CopyFrom(in.value(), first - 1, last - first + 1, kExtractBlock); !s) return s;
  return out.value().Commit();
}

namespace {

// Why slot `i` cannot be unpacked, or empty when it can.
std::string SlotProblem(const SlotEntry& slot) {
  if (slot.name.empty()) return "the slot has no song";
  if (!slot.HasSafeName()) return "the song name \"" + slot.name + "\" is not a safe file name";
  if (slot.songAfter <= slot.songFirst) return "the song \"" + slot.name + "\" has no bytes";
  return {};
}

// Writes slot `i`'s song, tells `onSong`, then writes its lyrics.
Result<ExtractedSong> WriteSlot(const AlbumImage& image, int i, const fs::path& folder,
                                const std::function<void(const ExtractedSong&)>& onSong) {
  const SlotEntry& slot = image.settings().slots[i - 1];
  ExtractedSong song;
  song.slot = i;
  song.name = slot.name;
  song.song = folder / (slot.name + ".mp3");
  if (Status s = ExtractPiece(image.path(), song.song, slot.songFirst, slot.songAfter - 1); !s) return s.error();
  if (onSong) onSong(song);
  if (slot.HasLyrics()) {
    song.lyrics = folder / (slot.name + ".lrc");
    if (Status s = ExtractPiece(image.path(), song.lyrics, slot.lyricsFirst, slot.lyricsAfter - 1); !s)
      return s.error();
  }
  return song;
}

}  // namespace

Result<std::vector<ExtractedSong>> ExtractSongs(const AlbumImage& image, const fs::path& folder,
                                                const ExtractCallbacks& callbacks) {
  std::vector<ExtractedSong> written;
  for (int i = 1; i <= kSlotCount; ++i) {
    const SlotEntry& slot = image.settings().slots[i - 1];
    if (slot.name.empty()) continue;
    if (std::string why = SlotProblem(slot); !why.empty()) {
      if (callbacks.onSkip) callbacks.onSkip(i, why);
      continue;
    }
    Result<ExtractedSong> song = WriteSlot(image, i, folder, callbacks.onSong);
    if (!song) return song.error();
    written.push_back(std::move(song).value());
  }
  return written;
}

Result<ExtractedSong> ExportSlot(const AlbumImage& image, int slot, const fs::path& folder) {
  if (slot < 1 || slot > kSlotCount) return Error{ErrorKind::BadName, image.path().string(), "there is no slot " + std::to_string(slot)};
  if (std::string why = SlotProblem(image.settings().slots[slot - 1]); !why.empty())
    return Error{ErrorKind::BadName, image.path().string(), "cannot export slot " + std::to_string(slot) + ": " + why};
  return WriteSlot(image, slot, folder, {});
}

void DeleteExtractedSongs(const AlbumSettings& settings, const fs::path& folder) {
  for (const SlotEntry& slot : settings.slots) {
    if (!slot.HasSafeName()) continue;
    std::error_code ec;
    fs::remove(folder / (slot.name + ".mp3"), ec);
    fs::remove(folder / (slot.name + ".lrc"), ec);
  }
}

}  // namespace album
