#include "album/reader.h"

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace fs = std::filesystem;
using platform::Error;
using platform::ErrorKind;
using platform::File;
using platform::Result;
using platform::Status;

namespace album {

namespace {

// Legitimate settings and descriptions are a few kilobytes; this bound and
// kMaxDescriptionSize keep a forged index from making the player read gigabytes into memory.
constexpr std::int64_t kMaxSettingsSize = 1 << 20;

std::int64_t PositionOrZero(std::string_view text) {
  return ParsePosition(text).value_or(0);
}

}  // namespace

bool SlotEntry::HasSafeName() const {
  if (name.empty() || platform::HasControlCharacter(name)) return false;
  return name.find_first_of("/\\") == std::string::npos;
}

AlbumSettings LoadAlbumSettings(std::span<const std::byte> ini) {
  AlbumSettings settings;
  settings.title = platform::FromAnsi(platform::ReadProfileString("t", "title", ini));
  for (int k = 1; k <= 21; ++k)
    settings.s[k] = PositionOrZero(platform::ReadProfileString("S", "S" + std::to_string(k), ini));
  for (int i = 1; i <= kSlotCount; ++i) {
    SlotEntry& slot = settings.songSlots[i - 1];
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
    std::string_view line = platform::NextLine(text, platform::LineEnds::CrOrCrLf);
    if (platform::IsBlank(line)) continue;
    kept.append(line);
    kept += "\r\n";
  }
  return platform::FromAnsi(kept);
}

namespace {

// What is wrong with the trailer's numbers for a file of `fileLength` bytes, or nullopt.
std::optional<Defect> IndexProblem(const Index& index, std::int64_t fileLength) {
  if (index.E + kTrailerSize - 1 != fileLength) return Defect::LengthMismatch;
  if (!(1 <= index.A && index.A <= index.B && index.B <= index.E)) return Defect::IndexOutOfOrder;
  if (index.B - index.A > kMaxSettingsSize) return Defect::SettingsTooLarge;
  if (index.E - index.B > kMaxDescriptionSize) return Defect::DescriptionTooLarge;
  return std::nullopt;
}

// What is wrong with the recorded piece positions of an image with a sound index, or nullopt.
std::optional<Defect> PositionsProblem(const Index& index, const PiecePositions& s) {
  if (s[1] < 1) return Defect::NoSongStart;
  for (int k = 2; k <= 21; ++k)
    if (s[k] < s[k - 1]) return Defect::PositionsOutOfOrder;
  if (s[21] != index.A) return Defect::SettingsDisagree;
  return std::nullopt;
}

}  // namespace

std::string AlbumImage::AlbumName() const {
  std::string name = platform::PathToUtf8(path_.filename());
  if (name.size() > 4 &&
      platform::EqualsIgnoringAsciiCase(std::string_view(name).substr(name.size() - 4), ".exe"))
    name.resize(name.size() - 4);
  return name;
}

Result<AlbumImage> AlbumImage::ReadAlbumIndex(const fs::path& path) {
  auto bad = [&](Defect defect) {
    return Error{ErrorKind::NotAnAlbum, platform::PathToUtf8(path), 0, static_cast<int>(defect)};
  };
  auto file = std::make_shared<const File>(TRY_VALUE(File::OpenRead(path)));

  AlbumImage image;
  image.path_ = path;
  image.file_ = file;
  image.size_ = TRY_VALUE(file->Size());
  if (image.size_ < kTrailerSize) return bad(Defect::ShorterThanTrailer);
  if (image.size_ > kMaxImageSize) return bad(Defect::LargerThanLimit);

  std::vector<std::byte> trailer(kTrailerSize);
  TRY(file->ReadExactlyAt(image.size_ - kTrailerSize, trailer));
  std::optional<Index> index = ParseTrailer(trailer);
  if (!index) return bad(Defect::NoIndexNumbers);
  image.index_ = *index;
  if (std::optional<Defect> defect = IndexProblem(*index, image.size_)) return bad(*defect);

  image.settingsBytes_.resize(static_cast<std::size_t>(index->B - index->A));
  TRY(file->ReadExactlyAt(index->A - 1, image.settingsBytes_));
  image.settings_ = LoadAlbumSettings(image.settingsBytes_);
  if (std::optional<Defect> defect = PositionsProblem(*index, image.settings_.s)) return bad(*defect);

  std::vector<std::byte> description(static_cast<std::size_t>(index->E - index->B));
  TRY(file->ReadExactlyAt(index->B - 1, description));
  image.description_ = ParseDescription(description);
  return image;
}

bool CarriesNoSettings(const fs::path& path) {
  Result<File> file = File::OpenRead(path);
  if (!file) return false;
  Result<std::int64_t> size = file.value().Size();
  if (!size || size.value() < kTrailerSize) return false;
  std::vector<std::byte> trailer(kTrailerSize);
  if (!file.value().ReadExactlyAt(size.value() - kTrailerSize, trailer)) return false;
  std::optional<Index> index = ParseTrailer(trailer);
  return index && index->E + kTrailerSize - 1 == size.value() && index->A >= 1 && index->A == index->B &&
         index->B <= index->E;
}

Status AlbumImage::CheckUnchanged() const {
  const Error changed{ErrorKind::AlbumChanged, platform::PathToUtf8(path_)};
  if (TRY_VALUE(file_->Size()) != size_) return changed;
  std::vector<std::byte> trailer(kTrailerSize);
  TRY(file_->ReadExactlyAt(size_ - kTrailerSize, trailer));
  if (ParseTrailer(trailer) != index_) return changed;
  std::vector<std::byte> settings(settingsBytes_.size());
  TRY(file_->ReadExactlyAt(index_.A - 1, settings));
  if (settings != settingsBytes_) return changed;
  return {};
}

Status ExtractPiece(const fs::path& source, const fs::path& destination, std::int64_t first,
                    std::int64_t last) {
  return ExtractPiece(TRY_VALUE(File::OpenRead(source)), destination, first, last);
}

Status ExtractPiece(const File& in, const fs::path& destination, std::int64_t first, std::int64_t last,
                    platform::AtomicFile::Durability durability) {
  // The rename would put the piece in place of the album it is copied from.
  if (in.IsSameFileAs(destination))
    return Error{ErrorKind::DestinationIsAlbum, platform::PathToUtf8(destination)};
  platform::AtomicFile out = TRY_VALUE(platform::AtomicFile::Create(destination));
  TRY(out.CopyFrom(in, first - 1, last - first + 1, kExtractBlock));
  return out.Commit(durability);
}

namespace {

// Why slot `i` cannot be unpacked, or nullopt when it can.
std::optional<Error> SlotProblem(const AlbumImage& image, int i) {
  const SlotEntry& slot = image.settings().songSlots[i - 1];
  auto problem = [&](ErrorKind kind) { return Error{kind, platform::PathToUtf8(image.path()), i}; };
  if (slot.name.empty()) return problem(ErrorKind::SlotWithoutSong);
  if (!slot.HasSafeName()) return problem(ErrorKind::UnsafeSongName);
  if (slot.songAfter <= slot.songFirst) return problem(ErrorKind::EmptySong);
  return std::nullopt;
}

// The error `e` of slot `i`.
Error ForSlot(Error e, int i) {
  e.slot = i;
  return e;
}

// Writes slot `i`'s song under `fileName` + ".mp3", tells `onSong`, then writes its lyrics.
// Nothing is written when either file would be the album itself.
Result<ExtractedSong> WriteSlot(const AlbumImage& image, int i, const fs::path& folder,
                                const std::string& fileName,
                                const std::function<void(const ExtractedSong&)>& onSong) {
  const SlotEntry& slot = image.settings().songSlots[i - 1];
  ExtractedSong song;
  song.slot = i;
  song.name = slot.name;
  song.song = folder / platform::PathFromUtf8(fileName + ".mp3");
  if (slot.HasLyrics()) song.lyrics = folder / platform::PathFromUtf8(fileName + ".lrc");
  for (const fs::path& destination : {song.song, song.lyrics}) {
    if (!destination.empty() && image.file().IsSameFileAs(destination))
      return Error{ErrorKind::DestinationIsAlbum, platform::PathToUtf8(destination), i};
  }
  if (Status s = ExtractPiece(image.file(), song.song, slot.songFirst, slot.songAfter - 1); !s)
    return ForSlot(s.error(), i);
  if (onSong) onSong(song);
  if (slot.HasLyrics()) {
    if (Status s = ExtractPiece(image.file(), song.lyrics, slot.lyricsFirst, slot.lyricsAfter - 1); !s)
      return ForSlot(s.error(), i);
  }
  return song;
}

}  // namespace

Result<std::vector<ExtractedSong>> ExtractSongs(const AlbumImage& image, const fs::path& folder,
                                                const ExtractCallbacks& callbacks) {
  std::vector<ExtractedSong> written;
  std::set<std::string> taken;
  for (int i = 1; i <= kSlotCount; ++i) {
    const SlotEntry& slot = image.settings().songSlots[i - 1];
    if (slot.name.empty()) continue;
    if (std::optional<Error> why = SlotProblem(image, i)) {
      if (callbacks.onSkip) callbacks.onSkip(*why);
      continue;
    }
    // Names may repeat (also where they differed only past the 126-byte cut); the later slot
    // then gets its number, and a name that is taken even so yet another.
    std::string fileName = slot.name;
    const bool nameTaken = taken.contains(fileName);
    while (taken.contains(fileName)) fileName += " (" + std::to_string(i) + ")";
    Result<ExtractedSong> song = WriteSlot(image, i, folder, fileName, callbacks.onSong);
    if (!song && song.error().kind == ErrorKind::DestinationIsAlbum) {
      if (callbacks.onSkip) callbacks.onSkip(song.error());
      continue;
    }
    if (!song) return song.error();
    taken.insert(fileName);
    song.value().nameTaken = nameTaken;
    if (callbacks.onWritten) callbacks.onWritten(song.value());
    written.push_back(std::move(song).value());
  }
  return written;
}

Result<ExtractedSong> ExportSlot(const AlbumImage& image, int slot, const fs::path& folder) {
  if (slot < 1 || slot > kSlotCount)
    return Error{ErrorKind::NoSuchSlot, platform::PathToUtf8(image.path()), slot};
  if (std::optional<Error> why = SlotProblem(image, slot)) return *why;
  TRY(image.CheckUnchanged());
  return WriteSlot(image, slot, folder, image.settings().songSlots[slot - 1].name, {});
}

Result<UnpackedSlot> UnpackSlot(const AlbumImage& image, int slot, const fs::path& folder) {
  const SlotEntry& entry = image.settings().songSlots[slot - 1];
  UnpackedSlot unpacked;
  unpacked.song = folder / (std::to_string(slot) + ".mp3");
  constexpr auto kPrivate = platform::AtomicFile::Durability::Unflushed;
  if (Status s = ExtractPiece(image.file(), unpacked.song, entry.songFirst, entry.songAfter - 1, kPrivate); !s) {
    Error error = s.error();
    error.slot = slot;
    return error;
  }
  if (entry.HasLyrics()) {
    unpacked.lyrics = folder / (std::to_string(slot) + ".lrc");
    if (Status s = ExtractPiece(image.file(), unpacked.lyrics, entry.lyricsFirst, entry.lyricsAfter - 1, kPrivate);
        !s)
      unpacked.lyricsFailed = s.error();
  }
  return unpacked;
}

}  // namespace album
