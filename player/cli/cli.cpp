#include "cli.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "album/reader.h"
#include "cli/error_text.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace player {
namespace {

constexpr const char kUsage[] =
    "Usage: sonvira --list ALBUM\n"
    "       sonvira --extract ALBUM DIR\n"
    "       sonvira --album ALBUM [--verbose]\n"
    "       ALBUM.exe [--verbose]   (an album image plays itself)\n"
    "\n"
    "  --list ALBUM         show the album's name, description and songs\n"
    "  --extract ALBUM DIR  write each song as NAME.mp3, and its lyrics as NAME.lrc, into DIR\n"
    "  --album ALBUM        play the album image ALBUM in the player window\n"
    "  --verbose            log what the player does to stderr, one line per event\n"
    "  --help               show this help\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "sonvira: %s\nTry 'sonvira --help'.\n", platform::EscapeControls(message).c_str());
  return 2;
}

platform::Result<album::AlbumImage> ReadIndexOrReport(const char* path) {
  platform::Result<album::AlbumImage> image = album::AlbumImage::ReadAlbumIndex(path);
  if (!image) std::fprintf(stderr, "sonvira: %s\n", cli::ErrorText(image.error()).c_str());
  return image;
}

// What may be printed of a name: its control characters shown, not obeyed.
std::string Shown(std::string_view name) {
  return platform::EscapeControls(name);
}

int List(const char* path) {
  platform::Result<album::AlbumImage> read = ReadIndexOrReport(path);
  if (!read) return 1;
  const album::AlbumImage& image = read.value();
  std::printf("Album: %s\n", Shown(image.AlbumName()).c_str());
  std::printf("Description:\n");
  for (std::string_view rest = image.description(); !rest.empty();) {
    const std::string_view line = platform::NextLine(rest, platform::LineEnds::CrOrCrLf);
    std::printf("  %s\n", Shown(line).c_str());
  }
  std::printf("Songs:\n");
  int songs = 0;
  for (int i = 1; i <= album::kSlotCount; ++i) {
    const album::SlotEntry& slot = image.settings().songSlots[i - 1];
    if (slot.name.empty()) continue;
    ++songs;
    std::printf("  %2d  %s  (song %lld bytes, lyrics %lld bytes)\n", i, Shown(slot.name).c_str(),
                static_cast<long long>(slot.songAfter - slot.songFirst),
                static_cast<long long>(slot.lyricsAfter - slot.lyricsFirst));
  }
  if (songs == 0) std::printf("  (none)\n");
  return 0;
}

int Extract(const char* path, const char* folder) {
  platform::Result<album::AlbumImage> read = ReadIndexOrReport(path);
  if (!read) return 1;
  const album::AlbumImage& image = read.value();
  std::error_code ec;
  fs::create_directories(folder, ec);
  std::error_code probe;
  if (!fs::is_directory(folder, probe)) {
    const std::string why =
        fs::exists(folder, probe)
            ? Shown(folder) + ": is not a folder"
            : cli::ErrorText(platform::ErrorFromErrno(ec.value(), platform::Operation::CreateFolder, folder));
    std::fprintf(stderr, "sonvira: %s\n", why.c_str());
    return 1;
  }
  int status = 0;
  std::string written;
  album::ExtractCallbacks callbacks;
  callbacks.onSkip = [&](const platform::Error& why) {
    // A bad slot is passed over so that the others still come out.
    std::fprintf(stderr, "sonvira: warning: slot %d skipped: %s\n", why.slot, cli::ErrorText(why).c_str());
    status = 1;
  };
  callbacks.onWritten = [&](const album::ExtractedSong& song) {
    if (song.nameTaken)
      std::fprintf(stderr,
                   "sonvira: warning: slot %d has the name of an earlier slot, \"%s\"; written as %s\n",
                   song.slot, Shown(song.name).c_str(), Shown(song.song.filename().string()).c_str());
    std::printf("%s\n", Shown(song.song.string()).c_str());
    if (!song.lyrics.empty()) std::printf("%s\n", Shown(song.lyrics.string()).c_str());
    std::fflush(stdout);
    written += (written.empty() ? "" : ", ") + std::to_string(song.slot);
  };
  platform::Result<std::vector<album::ExtractedSong>> songs = album::ExtractSongs(image, folder, callbacks);
  if (!songs) {
    const platform::Error& e = songs.error();
    std::fprintf(stderr, "sonvira: %s\n", cli::ErrorText(e).c_str());
    std::fprintf(stderr, "sonvira: the extraction stopped at slot %d; %s\n", e.slot,
                 written.empty() ? "no slot was written" : ("slots written: " + written).c_str());
    return 1;
  }
  return status;
}

}  // namespace

bool IsToolCommand(const char* argument) {
  const std::string a = argument;
  return a == "--list" || a == "--extract" || a == "--help" || a == "-h";
}

std::optional<PlayerOptions> ParsePlayerOptions(int argc, char** argv) {
  PlayerOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--verbose") {
      options.verbose = true;
    } else if (a == "--album" && i + 1 < argc && !options.album) {
      options.album = fs::absolute(argv[++i]);
    } else {
      UsageError(a == "--album" ? "--album needs exactly one album" : "unknown argument '" + a + "'");
      return std::nullopt;
    }
  }
  return options;
}

int RunCommandLine(int argc, char** argv) {
  if (argc < 2) return UsageError("missing arguments");
  std::string command = argv[1];
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--list") {
    if (argc != 3) return UsageError("--list needs exactly one album");
    return List(argv[2]);
  }
  if (command == "--extract") {
    if (argc != 4) return UsageError("--extract needs an album and a folder");
    return Extract(argv[2], argv[3]);
  }
  return UsageError("unknown argument '" + command + "'");
}

}  // namespace player
