#include "packager/packager_workflow.h"

#include <optional>
#include <system_error>
#include <utility>

#include "album/song_check.h"
#include "album/writer.h"
#include "packager/common_dialog.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace packager {

OutputFolder ChooseOutputFolder(const std::filesystem::path& programFolder, const std::filesystem::path& fallback) {
  // Making a file says what the folder's rights, a read-only disk and Windows' protection of
  // installed programs allow; the trial file is removed again at once.
  if (!programFolder.empty() && platform::AtomicFile::Create(programFolder / ".pakrel-write-check"))
    return {programFolder, true};
  std::error_code ec;
  std::filesystem::create_directories(fallback, ec);
  return {fallback, false};
}

PackagerWorkflow::PackagerWorkflow(Ui& ui, FileDialogs& dialogs, Players players, std::filesystem::path outputFolder)
    : ui_(ui), dialogs_(dialogs), players_(players), outputFolder_(std::move(outputFolder)) {
  // The description box has always started with this text, so an untouched box passes.
  description_ = "没有说明\r\n";
  text2_[0] = "Sonvira";
}

PackagerWorkflow::PackagerWorkflow(Ui& ui, FileDialogs& dialogs, std::span<const std::byte> player,
                                   std::filesystem::path outputFolder)
    : PackagerWorkflow(ui, dialogs,
                       kOwnTarget == Target::Windows ? Players{{}, player} : Players{player, {}},
                       std::move(outputFolder)) {}

void PackagerWorkflow::SetAlbumTarget(Target target) {
  if (building_ || !Carries(target)) return;
  target_ = target;
  ui_.Refresh();
}

namespace {

// A chosen file can be read, and a song is MPEG audio.
platform::Status CheckChoice(const std::filesystem::path& path, int songSlot) {
  if (songSlot > 0) return album::CheckSongFile(path, songSlot);
  if (platform::Result<platform::File> file = platform::File::OpenRead(path); !file) return file.error();
  return {};
}

}  // namespace

std::string PackagerWorkflow::GetFileName(const std::filesystem::path& path) {
  return album::GetFileName(platform::PathToUtf8(path)).value_or(std::string());
}

std::filesystem::path PackagerWorkflow::ChooseFile(const char* filter, const char* title,
                                                   std::filesystem::path& lastFolder, int songSlot) {
  CommonDialog dialog(dialogs_);
  dialog.Filter(filter);
  dialog.DialogTitle(title);
  // Songs and lyrics usually sit together in one folder; the next pick starts there.
  if (!lastFolder.empty()) dialog.InitDir(platform::PathToUtf8(lastFolder));
  dialog.ShowOpen();
  const std::filesystem::path path = platform::PathFromUtf8(dialog.FileName());
  if (path.empty()) return {};
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::absolute(path, ec).parent_path();
  if (!ec && std::filesystem::is_directory(folder, ec)) lastFolder = folder;
  // The open dialog accepts any typed name; a file that cannot be read, or a song that is no
  // MP3, is said at once, not at build time.
  if (const platform::Status usable = CheckChoice(path, songSlot); !usable) {
    ui_.Tell({Notice::Kind::UnusableChoice, usable.error()});
    return {};
  }
  return path;
}

void PackagerWorkflow::ChooseSong(int index) {
  std::filesystem::path path = ChooseFile("音乐文件|*.mp3", "选择音乐文件", songFolder_, index + 1);
  if (path.empty()) return;
  text5_.at(index) = GetFileName(path);
  text2_.at(index + 1) = std::move(path);
  ui_.Refresh();
}

void PackagerWorkflow::ChooseLyrics(int index) {
  std::filesystem::path path = ChooseFile("歌词文件|*.lrc", "选择歌词文件", lyricsFolder_);
  if (path.empty()) return;
  text2_.at(index + 11) = std::move(path);
  ui_.Refresh();
}

bool PackagerWorkflow::CloseRequested() {
  if (!building_) return true;
  // Asked once: a second close while the stopped build winds down changes nothing.
  if (!closeAfterBuild_ && ui_.AskStopBuild()) {
    closeAfterBuild_ = true;
    stopRequested_ = true;
  }
  return false;
}

void PackagerWorkflow::SetProgress(bool visible, int value) {
  progressVisible_ = visible;
  progressValue_ = value;
  ui_.Progress(visible, value);
}

void PackagerWorkflow::Build() {
  // Events are processed at every progress step, so a click can arrive in the middle of a
  // build; the window disables the button, and this guard holds even without it.
  if (building_) return;
  RunBuild();
  // The user asked to close the window during the build and agreed to stop it; it has now
  // been undone.
  if (closeAfterBuild_) {
    closeAfterBuild_ = false;
    ui_.Close();
  }
}

void PackagerWorkflow::RunBuild() {
  if (platform::Status checked = album::CheckNameAndDescription(text1_, description_); !checked) {
    ui_.Tell({Notice::Kind::Refusal, checked.error()});
    return;
  }

  album::BuildRequest request;
  request.player = players_.For(target_);
  request.albumName = text1_;
  request.description = description_;
  for (int i = 0; i < album::kSlotCount; ++i) {
    request.songSlots[i].song = text2_[i + 1];
    request.songSlots[i].lyrics = text2_[i + 11];
  }
  request.outputFolder = outputFolder_;
  request.stopRequested = [this] { return stopRequested_; };

  // The note speaks of the album before; it must not stand beside this build or its failure.
  completionNote_ = false;
  // A path may have been typed, or its file replaced, since it was chosen.
  for (int slot = 1; slot <= album::kSlotCount; ++slot) {
    if (text2_[slot].empty()) continue;
    if (platform::Status song = album::CheckSongFile(text2_[slot], slot); !song) {
      ui_.Refresh();
      ui_.Tell({Notice::Kind::BuildFailure, song.error()});
      return;
    }
  }
  building_ = true;
  stopRequested_ = false;
  ui_.Refresh();
  const bool wasVisible = progressVisible_;
  const int wasValue = progressValue_;
  SetProgress(true, progressValue_);
  platform::Result<album::BuildResult> result =
      album::BuildAlbumImage(request, [this](int value) { SetProgress(true, value); });
  building_ = false;

  if (!result) {
    SetProgress(wasVisible, wasValue);
    ui_.Refresh();
    // A build the user stopped is undone like a failed one, but the user needs no box for it.
    if (result.error().kind != platform::ErrorKind::BuildStopped)
      ui_.Tell({Notice::Kind::BuildFailure, result.error()});
    return;
  }

  const album::BuildResult& built = result.value();
  lastImage_ = built.image;
  text4_[0] = platform::Trim(text1_);
  for (int k = 1; k <= 21; ++k) text4_[k] = std::to_string(built.s[k]);
  text4_[22] = std::to_string(built.index.A);
  text4_[23] = std::to_string(built.index.B);
  text4_[24] = std::to_string(built.index.E);
  FinishAlbumBuild();
  // The album is whole, but on a FAT stick it cannot be marked as a program: say so.
  if (built.notExecutable) ui_.Tell({Notice::Kind::Warning, *built.notExecutable});
}

void PackagerWorkflow::FinishAlbumBuild() {
  // The description and the player's slot keep their text; everything chosen for this album
  // is cleared, so the next album starts from empty slots.
  for (int i = 1; i <= 20; ++i) text2_[i].clear();
  for (std::string& name : text5_) name.clear();
  text1_.clear();
  SetProgress(true, kProgressDesignValue);
  SetProgress(false, kProgressDesignValue);
  // The settings and description texts are composed in memory by the writer, so there are no
  // temporary files beside the program to delete here.
  completionNote_ = true;
  ui_.Refresh();
}

}  // namespace packager
