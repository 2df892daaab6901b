#include "album/writer.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace fs = std::filesystem;
using platform::Error;
using platform::ErrorKind;
using platform::File;
using platform::Result;
using platform::Status;

namespace album {

Status CheckNameAndDescription(std::string_view albumName, std::string_view description) {
  if (platform::IsBlank(albumName)) return Error{ErrorKind::NoAlbumName};
  if (platform::IsBlank(description)) return Error{ErrorKind::NoDescription};
  return {};
}

namespace {

constexpr std::size_t kCopyBlock = 1 << 20;

// Why `name` cannot be the album's file name, or nullopt when it can.
std::optional<ErrorKind> AlbumNameProblem(const std::string& name) {
  if (!platform::IsValidUtf8(name)) return ErrorKind::AlbumNameNotText;
  if (name.find_first_of("/\\") != std::string::npos) return ErrorKind::AlbumNameHasSlash;
  // A tab as well: no Windows player could create such a file.
  if (platform::HasControlCharacter(name)) return ErrorKind::AlbumNameHasControl;
  if (name.size() + 4 > 255) return ErrorKind::AlbumNameTooLong;
  return std::nullopt;
}

// Why a song name (from the song's file name) cannot be stored, or nullopt when it can.
// Names of dots alone are fine: their files ("..mp3") stay in their folder.
std::optional<ErrorKind> SongNameProblem(const std::string& name) {
  if (name.empty()) return ErrorKind::SongNameUnusable;
  if (name.find_first_of(std::string_view("\r\n", 2)) != std::string::npos)
    return ErrorKind::SongNameHasLineBreak;
  if (platform::HasControlCharacter(name)) return ErrorKind::SongNameHasControl;
  return std::nullopt;
}

}  // namespace

Status WriteIndexTrailer(File& image, const Index& index) {
  const std::int64_t length = TRY_VALUE(image.Size());
  if (length != index.E - 1) return Error{ErrorKind::IndexMismatch, platform::PathToUtf8(image.path())};
  std::array<std::byte, kTrailerSize> trailer = BuildTrailer(index);
  return image.WriteAt(length, trailer);
}

Result<BuildResult> BuildAlbumImage(const BuildRequest& request, const ProgressFn& progress) {
  // A build the caller stops ends like a failed one: its temporary file is removed.
  auto report = [&](int value) -> Status {
    if (progress) progress(value);
    if (request.stopRequested && request.stopRequested()) return Error{ErrorKind::BuildStopped};
    return {};
  };
  TRY(CheckNameAndDescription(request.albumName, request.description));

  BuildResult result;
  const std::string albumName(platform::Trim(request.albumName));
  result.image = request.outputFolder / platform::PathFromUtf8(albumName + ".exe");
  if (std::optional<ErrorKind> problem = AlbumNameProblem(albumName))
    return Error{*problem, platform::PathToUtf8(result.image)};
  std::optional<std::string> title = platform::ToAnsi(albumName);
  std::optional<std::string> description = BuildDescriptionText(request.description);
  if (!description) return Error{ErrorKind::DescriptionNotText};
  if (static_cast<std::int64_t>(description->size()) > kMaxDescriptionSize)
    return Error{ErrorKind::DescriptionTooLarge};

  // Every source is opened and measured before the image is touched, so a missing or
  // unreadable file stops the build with nothing written.
  std::array<std::string, kSlotCount> ansiNames;
  std::vector<std::unique_ptr<File>> sources(22);  // pieces 2..21
  std::array<std::int64_t, 22> sizes{};
  for (int i = 1; i <= kSlotCount; ++i) {
    const SlotSources& slot = request.songSlots[i - 1];
    for (int lyrics = 0; lyrics < 2; ++lyrics) {
      const fs::path& path = lyrics ? slot.lyrics : slot.song;
      if (path.empty()) continue;
      int piece = lyrics ? 11 + i : 1 + i;
      sources[piece] = std::make_unique<File>(TRY_VALUE(File::OpenRead(path)));
      sizes[piece] = TRY_VALUE(sources[piece]->Size());
    }
    if (slot.song.empty()) continue;
    std::optional<std::string> name = GetFileName(platform::PathToUtf8(slot.song));
    if (!name) return Error{ErrorKind::SongNameTooShort, platform::PathToUtf8(slot.song), i};
    if (std::optional<ErrorKind> problem = SongNameProblem(*name))
      return Error{*problem, platform::PathToUtf8(slot.song), i};
    std::optional<std::string> ansi = platform::ToAnsi(*name);
    if (!ansi) return Error{ErrorKind::SongNameNotText, platform::PathToUtf8(slot.song), i};
    result.names[i - 1] = *name;
    ansiNames[i - 1] = *ansi;
  }

  std::error_code ec;
  if (fs::is_directory(result.image, ec))
    return Error{ErrorKind::FolderInTheWay, platform::PathToUtf8(result.image)};
  for (const auto& source : sources) {
    if (source && platform::IsSameFile(source->path(), result.image))
      return Error{ErrorKind::AlbumOverwritesSource, platform::PathToUtf8(result.image)};
  }

  // All positions follow from the sizes, so the size limit is checked before writing.
  PiecePositions& s = result.s;
  const auto playerSize = static_cast<std::int64_t>(request.player.size());
  s[1] = playerSize + 1;
  for (int k = 2; k <= 21; ++k) s[k] = s[k - 1] + sizes[k];
  std::string settings = BuildSettingsText(*title, s, ansiNames);
  result.index.A = s[21];
  result.index.B = result.index.A + static_cast<std::int64_t>(settings.size());
  result.index.E = result.index.B + static_cast<std::int64_t>(description->size());
  if (result.index.E + kTrailerSize - 1 > kMaxImageSize)
    return Error{ErrorKind::AlbumTooLarge, platform::PathToUtf8(result.image)};

  platform::AtomicFile image = TRY_VALUE(platform::AtomicFile::Create(result.image));
  TRY(image.Write(request.player));
  TRY(report(2));
  for (int k = 2; k <= 21; ++k) {
    if (sources[k]) TRY(image.CopyFrom(*sources[k], 0, sizes[k], kCopyBlock));
    TRY(report(2 * k));
  }
  TRY(image.Write(platform::AsBytes(settings)));
  TRY(report(44));
  TRY(image.Write(platform::AsBytes(*description)));
  TRY(report(48));
  TRY(image.Write(BuildTrailer(result.index)));
  if (Status executable = image.MakeExecutable(); !executable) result.notExecutable = executable.error();
  TRY(image.Commit());
  return result;
}

}  // namespace album
