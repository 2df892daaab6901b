#pragma once
// Reading an album image (the player's side): the trailer, the settings and the
// description, all checked before anything is written; unpacking songs and lyrics.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "album/format.h"
#include "platform/file.h"
#include "platform/result.h"

namespace album {

// One slot as the settings text records it. The positions are those of the settings text
// (songFirst = s(i), songAfter = s(i+1), lyricsFirst = s(10+i), lyricsAfter = s(11+i)).
struct SlotEntry {
  std::string name;  // UTF-8; empty: the slot has no song and is skipped
  std::int64_t songFirst = 0;
  std::int64_t songAfter = 0;
  std::int64_t lyricsFirst = 0;
  std::int64_t lyricsAfter = 0;

  bool HasLyrics() const { return lyricsAfter != lyricsFirst; }
  // False for a name that must never be used as a file name: an empty one, or one that holds
  // "/", "\" or a control character (NUL and escapes included). Names of dots alone are
  // safe: they form "..mp3" and the like, which stay in their folder.
  bool HasSafeName() const;
};

// Why a file is not a whole, consistent album image: the `code` of a NotAnAlbum error.
enum class Defect {
  ShorterThanTrailer = 1,  // shorter than the 10,000-byte index
  LargerThanLimit,         // larger than 2,147,483,647 bytes
  NoIndexNumbers,          // the index at its end does not hold three numbers
  LengthMismatch,          // the index does not match the file length (truncated?)
  IndexOutOfOrder,         // the index positions are out of order
  SettingsTooLarge,        // the settings are implausibly large
  DescriptionTooLarge,     // the description is implausibly large
  NoSongStart,             // the settings do not record where the songs start
  PositionsOutOfOrder,     // the settings record song positions out of order
  SettingsDisagree,        // the settings do not agree with the index
};

struct AlbumSettings {
  std::string title;                       // the "[t]" title, UTF-8 (not shown by the player)
  PiecePositions s{};                      // s1..s21; 0 where a value is missing or not a number
  std::array<SlotEntry, kSlotCount> songSlots;  // slots 1..10 at elements 0..9
};

// The settings text (bytes in the album code page), read through the profile-string rules:
// section "S", keys "S1".."S21"; section "SONG", keys "SONG1".."SONG10"; values cut to 126
// bytes before decoding.
AlbumSettings LoadAlbumSettings(std::span<const std::byte> ini);

// The description piece as the player shows it: every line that is not empty after trimming
// spaces, unchanged, followed by CR LF; decoded to UTF-8.
std::string ParseDescription(std::span<const std::byte> text);

class AlbumImage {
 public:
  // Reads and checks the trailer, the settings and the description of `path`: the file must
  // satisfy 1 <= s1 <= ... <= s21 = A <= B <= E with E + 9,999 equal to its length. Nothing is
  // written. NotAnAlbum (the file, and the Defect as its code) for anything that is not a
  // whole, consistent album image.
  static platform::Result<AlbumImage> ReadAlbumIndex(const std::filesystem::path& path);

  const std::filesystem::path& path() const { return path_; }
  // The image file, open from ReadAlbumIndex on (shared by copies of this object): its songs
  // are copied out of the file that was read, even after another has taken its name.
  const platform::File& file() const { return *file_; }
  // Ok while the open file still holds the album that was read; AlbumChanged when it was
  // rewritten in place since (its length, its index or its settings differ).
  platform::Status CheckUnchanged() const;
  std::int64_t size() const { return size_; }
  const Index& index() const { return index_; }
  const AlbumSettings& settings() const { return settings_; }
  const std::string& description() const { return description_; }
  // The album's name as the player shows it: the image's file name without ".exe" in any
  // letter case.
  std::string AlbumName() const;

 private:
  std::filesystem::path path_;
  std::shared_ptr<const platform::File> file_;
  std::vector<std::byte> settingsBytes_;  // the settings piece as read
  std::int64_t size_ = 0;
  Index index_;
  AlbumSettings settings_;
  std::string description_;
};

// True for a file that ends in a whole index whose settings piece is empty (A = B, with
// 1 <= A <= E and E + 9,999 equal to its length), which ReadAlbumIndex refuses: the player
// plays such an image as an empty album. False for anything else, and when it cannot be read.
bool CarriesNoSettings(const std::filesystem::path& path);

// Copies positions first..last (both included, 1-based) of `source` into a new file
// `destination`: in the kernel, or through one buffer of kExtractBlock bytes. The
// copy is written under a temporary name in the destination folder and renamed into place,
// replacing an older file of that name, so a failed or interrupted copy never leaves a half
// file (see platform::AtomicFile). DestinationIsAlbum when `destination` is `source` itself.
platform::Status ExtractPiece(const std::filesystem::path& source, const std::filesystem::path& destination,
                              std::int64_t first, std::int64_t last);
// The same from a file already open; a private copy (`durability` Unflushed) is not flushed to
// the disk before it is put in place.
platform::Status ExtractPiece(const platform::File& source, const std::filesystem::path& destination,
                              std::int64_t first, std::int64_t last,
                              platform::AtomicFile::Durability durability = platform::AtomicFile::Durability::ToDisk);

// What ExtractSongs wrote for one slot.
struct ExtractedSong {
  int slot = 0;                  // 1..10
  std::string name;              // UTF-8
  std::filesystem::path song;    // folder / file name + ".mp3"
  std::filesystem::path lyrics;  // folder / file name + ".lrc", or empty when the slot has none
  // An earlier slot of the same extraction has this name, so the file name is the name
  // followed by " (slot)", as in "song (3)"; callers tell the user.
  bool nameTaken = false;
};

struct ExtractCallbacks {
  // Called after a slot's song was written, before its lyrics (the player adds the
  // playlist row here).
  std::function<void(const ExtractedSong&)> onSong;
  // A slot passed over: UnsafeSongName, EmptySong or DestinationIsAlbum, with the slot.
  std::function<void(const platform::Error& why)> onSkip;
  // Called after a slot's song and lyrics were both written.
  std::function<void(const ExtractedSong&)> onWritten = {};
};

// Writes each named slot's song and lyrics into `folder`, in slot order. Slots without a
// name are skipped silently; slots with an unsafe name or an empty song, or whose file
// would be the album itself, are reported through onSkip and skipped. A name that an
// earlier slot already used gets the slot number in its file name (see nameTaken), so no
// slot overwrites another. Stops at the first write error, which carries the slot; the
// slots written before it were told to onWritten.
platform::Result<std::vector<ExtractedSong>> ExtractSongs(const AlbumImage& image, const std::filesystem::path& folder,
                                                           const ExtractCallbacks& callbacks = {});

// The export of one slot (1..10): its song and, when it has lyrics, its lyrics, copied out of
// the album image into `folder` as name + ".mp3" and name + ".lrc", replacing older files of
// those names. NoSuchSlot, SlotWithoutSong, UnsafeSongName or EmptySong for a slot that has
// nothing to export; DestinationIsAlbum when a file would be the album image itself;
// AlbumChanged when the image was rewritten in place since it was read (see CheckUnchanged).
platform::Result<ExtractedSong> ExportSlot(const AlbumImage& image, int slot, const std::filesystem::path& folder);

// What the player unpacked of one slot for playing.
struct UnpackedSlot {
  std::filesystem::path song;                   // folder / "<slot>.mp3"
  std::filesystem::path lyrics;                 // folder / "<slot>.lrc"; empty when the slot has none
  std::optional<platform::Error> lyricsFailed;  // the lyrics were not written: the song plays without
};

// The player's unpacking of slot `slot` (1..10, with a song) into its own `folder`, under the
// slot's number, so two slots of one title keep their own songs: its song, then its lyrics
// when it has some. These are the player's private copies, deleted when it ends: they are not
// flushed to the disk. The song's failure comes back with the slot set.
platform::Result<UnpackedSlot> UnpackSlot(const AlbumImage& image, int slot,
                                          const std::filesystem::path& folder);

}  // namespace album
