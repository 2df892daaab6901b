#pragma once
// Building an album image (the packager's side). One implementation serves the packager
// window and the command line.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "album/format.h"
#include "platform/file.h"
#include "platform/result.h"

namespace album {

// The two checks made before anything else: NoAlbumName for an album name that is empty
// after trimming spaces, then NoDescription for a description that is. (Only spaces are
// trimmed: a description of line breaks alone passes.)
platform::Status CheckNameAndDescription(std::string_view albumName, std::string_view description);

struct SlotSources {
  std::filesystem::path song;    // empty: the slot has no song
  std::filesystem::path lyrics;  // empty: the slot has no lyrics
};

struct BuildRequest {
  std::span<const std::byte> player;        // the player program (P bytes)
  std::string albumName;                    // UTF-8 as typed; trimmed of spaces here
  std::string description;                  // UTF-8 as typed, any line ends
  std::array<SlotSources, kSlotCount> songSlots;  // slots 1..10 at elements 0..9
  std::filesystem::path outputFolder;       // where album name + ".exe" is written
  // Asked after every progress step; true stops the build there with BuildStopped, undone
  // like any failed build. Empty: the build runs to its end.
  std::function<bool()> stopRequested;
};

struct BuildResult {
  std::filesystem::path image;  // the album image written
  PiecePositions s{};           // s1..s21
  Index index;                  // A, B, E
  std::array<std::string, kSlotCount> names;  // song names (UTF-8), empty for empty slots
  // A warning, not a failure: the image could not be marked executable (a FAT folder keeps
  // no modes). The album itself is complete.
  std::optional<platform::Error> notExecutable;
};

// Appends the index trailer to `image`, whose length must be E - 1: the index text
// "A\B\E" padded with spaces to 100 characters, character k at the trailer's byte 100k - 1,
// every other byte 0. The file grows by 10,000 bytes.
platform::Status WriteIndexTrailer(platform::File& image, const Index& index);

// Called after every piece with 2k for pieces k = 1..21, 44 after the settings and 48 after
// the description; the packager window repaints its progress bar there.
using ProgressFn = std::function<void(int value)>;

// Checks everything that can be checked before writing (the name and description checks
// above, a description piece no larger than the player reads, regular readable sources,
// song names that can be formed and hold no control characters, a valid album file name, the
// 2,147,483,647-byte limit), then writes the image. Songs are not checked for being MPEG
// audio here (see album/song_check.h): the packager does that.
// The settings and description texts are composed in memory, not through files beside the
// program.
//
// The image is written afresh under a temporary name in the output folder (s1 = P + 1 even
// when an older album of that name exists, so nothing of the old album travels in the new
// one) and renamed into place only when complete. A failed or interrupted build leaves an
// older album untouched and no temporary file; of two builds of one name at the same time,
// the one that completes last is the album left in place.
platform::Result<BuildResult> BuildAlbumImage(const BuildRequest& request, const ProgressFn& progress = {});

}  // namespace album
