#include "packager/cli.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "album/song_check.h"
#include "album/writer.h"
#include "cli/error_text.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace packager {
namespace {

constexpr const char kUsage[] =
    "Usage: pakrel --name NAME [--description TEXT | --description-file FILE]\n"
    "              [--song SLOT=FILE]... [--lyrics SLOT=FILE]... [--output-dir DIR]\n"
    "              [--target linux|windows]\n"
    "       pakrel            (opens the packager window)\n"
    "\n"
    "Builds the album image NAME.exe in DIR (default: the current folder): the player\n"
    "followed by up to ten MP3 songs with their LRC lyrics. SLOT is 1 to 10.\n"
    "\n"
    "  --name NAME              album name (leading and trailing spaces are dropped)\n"
    "  --description TEXT       album description (default: \"没有说明\")\n"
    "  --description-file FILE  read the description from a UTF-8 text file\n"
    "  --song SLOT=FILE         the MP3 song of a slot; its file name gives the song title\n"
    "  --lyrics SLOT=FILE       the LRC lyrics of a slot\n"
    "  --output-dir DIR         where to write the album\n"
    "  --target SYSTEM          the system the album plays on: linux or windows\n"
    "                           (default: the one pakrel runs on)\n"
    "  --help                   show this help\n";

// The description box's starting text.
constexpr const char kDefaultDescription[] = "没有说明\r\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "pakrel: %s\nTry 'pakrel --help'.\n", platform::EscapeControls(message).c_str());
  return 2;
}

int BuildError(const platform::Error& error) {
  std::fprintf(stderr, "pakrel: %s\n", cli::ErrorText(error).c_str());
  return 1;
}

// A text file's last line ends like the others; that line end is not part of the text.
std::string WithoutLastLineEnd(std::string text) {
  if (text.ends_with("\r\n"))
    text.resize(text.size() - 2);
  else if (text.ends_with('\n') || text.ends_with('\r'))
    text.pop_back();
  return text;
}

// "3=song.mp3" into slot 3 and the path; empty optional when malformed.
std::optional<std::pair<int, std::string>> ParseSlotArgument(const std::string& text) {
  std::size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == text.size()) return std::nullopt;
  std::string number = text.substr(0, eq);
  if (number.size() > 2 || number.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  int slot = std::stoi(number);
  if (slot < 1 || slot > album::kSlotCount) return std::nullopt;
  return std::make_pair(slot, text.substr(eq + 1));
}

// The progress values of a build run to 48; a whole album is 50.
constexpr int kProgressDone = 50;

// A bar on stderr while building, when stderr is a terminal.
class ProgressBar {
 public:
  ProgressBar() : enabled_(::isatty(STDERR_FILENO) != 0) {}
  ~ProgressBar() {
    if (enabled_ && drawn_) std::fputc('\n', stderr);
  }
  void Show(int value) {
    if (!enabled_) return;
    constexpr int kWidth = 40;
    int filled = value * kWidth / kProgressDone;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 kWidth - filled, "", value * 100 / kProgressDone);
    std::fflush(stderr);
    drawn_ = true;
  }

 private:
  bool enabled_;
  bool drawn_ = false;
};

}  // namespace

int RunCommandLine(int argc, char** argv, const Players& players) {
  album::BuildRequest request;
  request.description = kDefaultDescription;
  request.outputFolder = ".";
  std::optional<std::string> name;
  bool descriptionGiven = false;
  std::array<bool, album::kSlotCount> songSet{}, lyricsSet{};
  Target target = kOwnTarget;

  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool hasValue = false;
    if (std::size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
      hasValue = true;
    }
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    auto takeValue = [&]() -> bool {
      if (hasValue) return true;
      if (i + 1 >= argc) return false;
      value = argv[++i];
      return true;
    };
    if (arg == "--name") {
      if (!takeValue()) return UsageError("--name needs a value");
      name = value;
    } else if (arg == "--description" || arg == "--description-file") {
      if (!takeValue()) return UsageError(arg + " needs a value");
      if (descriptionGiven) return UsageError("give the description only once");
      descriptionGiven = true;
      if (arg == "--description") {
        request.description = value;
      } else {
        // Code page 936 stores Chinese in two bytes where UTF-8 takes three, so a file larger
        // than the stored limit may still fit; the writer checks what it will store.
        platform::Result<std::string> text =
            platform::ReadWholeFile(platform::PathFromUtf8(value), 2 * album::kMaxDescriptionSize);
        if (!text) {
          const bool tooLarge = text.error().kind == platform::ErrorKind::FileTooLarge;
          return BuildError(tooLarge ? platform::Error{platform::ErrorKind::DescriptionTooLarge, value}
                                     : text.error());
        }
        if (!platform::IsValidUtf8(text.value()))
          return BuildError({platform::ErrorKind::DescriptionNotText, value});
        request.description = WithoutLastLineEnd(std::move(text.value()));
      }
    } else if (arg == "--song" || arg == "--lyrics") {
      if (!takeValue()) return UsageError(arg + " needs SLOT=FILE");
      auto parsed = ParseSlotArgument(value);
      if (!parsed) return UsageError(arg + " needs SLOT=FILE with SLOT from 1 to 10, not '" + value + "'");
      auto& set = arg == "--song" ? songSet : lyricsSet;
      if (set[parsed->first - 1]) return UsageError(arg + " given twice for slot " + std::to_string(parsed->first));
      set[parsed->first - 1] = true;
      auto& slot = request.songSlots[parsed->first - 1];
      (arg == "--song" ? slot.song : slot.lyrics) = platform::PathFromUtf8(parsed->second);
    } else if (arg == "--target") {
      if (!takeValue()) return UsageError("--target needs linux or windows");
      std::optional<Target> named = ParseTarget(value);
      if (!named) return UsageError("--target needs linux or windows, not '" + value + "'");
      target = *named;
    } else if (arg == "--output-dir") {
      if (!takeValue()) return UsageError("--output-dir needs a folder");
      request.outputFolder = platform::PathFromUtf8(value);
    } else {
      return UsageError("unknown argument '" + std::string(argv[i]) + "'");
    }
  }
  if (!name) return UsageError("--name is required");
  request.albumName = *name;
  request.player = players.For(target);
  if (request.player.empty()) {
    std::fprintf(stderr, "pakrel: this copy of pakrel carries no player program for %s\n",
                 target == Target::Windows ? "Windows" : "Linux");
    return 1;
  }

  std::error_code ec;
  if (!fs::is_directory(request.outputFolder, ec)) {
    std::fprintf(stderr, "pakrel: %s: no such folder\n",
                 platform::EscapeControls(platform::PathToUtf8(request.outputFolder)).c_str());
    return 1;
  }

  if (platform::Status checked = album::CheckNameAndDescription(request.albumName, request.description);
      !checked)
    return BuildError(checked.error());
  // Songs that are not MPEG audio would build and fail only when played.
  for (int slot = 1; slot <= album::kSlotCount; ++slot) {
    const fs::path& song = request.songSlots[slot - 1].song;
    if (song.empty()) continue;
    if (platform::Status checked = album::CheckSongFile(song, slot); !checked)
      return BuildError(checked.error());
  }

  platform::Result<album::BuildResult> result = [&] {
    ProgressBar bar;
    platform::Result<album::BuildResult> built =
        album::BuildAlbumImage(request, [&](int value) { bar.Show(value); });
    if (built) bar.Show(kProgressDone);
    return built;
  }();
  if (!result) return BuildError(result.error());
  if (result.value().notExecutable)
    std::fprintf(stderr, "pakrel: warning: %s\n", cli::ErrorText(*result.value().notExecutable).c_str());
  fs::path written = fs::absolute(result.value().image, ec).lexically_normal();
  std::printf("%s\n",
              platform::EscapeControls(platform::PathToUtf8(ec ? result.value().image : written)).c_str());
  return 0;
}

}  // namespace packager
