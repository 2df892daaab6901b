#include "packager_workflow.h"

#include <QDir>
#include <QFileInfo>
#include <optional>
#include <utility>

#include "album/song_check.h"
#include "album/writer.h"
#include "common_dialog.h"
#include "platform/file.h"
#include "platform/text.h"
#include "ui/error_text.h"
#include "ui/paths.h"

PackagerWorkflow::PackagerWorkflow(Ui& ui, FileDialogs& dialogs, std::span<const std::byte> player,
                                   std::filesystem::path outputFolder)
    : ui_(ui), dialogs_(dialogs), player_(player), outputFolder_(std::move(outputFolder)) {
  // The description box has always started with this text, so an untouched box passes.
  description_ = QStringLiteral("没有说明\r\n");
  text2_[0] = QStringLiteral("Sonvira");
}

namespace {

// A chosen file can be read, and a song is MPEG audio.
platform::Status CheckChoice(const std::filesystem::path& path, int songSlot) {
  if (songSlot > 0) return album::CheckSongFile(path, songSlot);
  if (platform::Result<platform::File> file = platform::File::OpenRead(path); !file) return file.error();
  return {};
}

}  // namespace

QString PackagerWorkflow::GetFileName(const QString& path) {
  std::optional<std::string> name = album::GetFileName(ui::ToUtf8(path));
  return name ? ui::FromUtf8(*name) : QString();
}

QString PackagerWorkflow::ChooseFile(const QString& filter, const QString& title, QString& lastFolder,
                                     int songSlot) {
  CommonDialog dialog(dialogs_);
  dialog.Filter(filter);
  dialog.DialogTitle(title);
  // Songs and lyrics usually sit together in one folder; the next pick starts there.
  if (!lastFolder.isEmpty()) dialog.InitDir(lastFolder);
  dialog.ShowOpen();
  const QString path = dialog.FileName();
  if (path.isEmpty()) return {};
  const QFileInfo info(path);
  if (info.absoluteDir().exists()) lastFolder = info.absolutePath();
  // The open dialog accepts any typed name; a file that cannot be read, or a song that is no
  // MP3, is said at once, not at build time.
  if (const platform::Status usable = CheckChoice(ui::ToPath(path), songSlot); !usable) {
    ui_.Warn(ui::MessageFor(usable.error(), ui::UnusableChoice()));
    return {};
  }
  return path;
}

void PackagerWorkflow::ChooseSong(int index) {
  const QString path =
      ChooseFile(QStringLiteral("音乐文件|*.mp3"), QStringLiteral("选择音乐文件"), songFolder_, index + 1);
  if (path.isEmpty()) return;
  text2_.at(index + 1) = path;
  text5_.at(index) = GetFileName(path);
  ui_.Refresh();
}

void PackagerWorkflow::ChooseLyrics(int index) {
  const QString path = ChooseFile(QStringLiteral("歌词文件|*.lrc"), QStringLiteral("选择歌词文件"), lyricsFolder_);
  if (path.isEmpty()) return;
  text2_.at(index + 11) = path;
  ui_.Refresh();
}

void PackagerWorkflow::RequestStop() {
  if (building_) stopRequested_ = true;
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

  const std::string name = ui::ToUtf8(text1_);
  const std::string description = ui::ToUtf8(description_);
  if (platform::Status checked = album::CheckNameAndDescription(name, description); !checked) {
    ui_.Warn(ui::MessageFor(checked.error()));
    return;
  }

  album::BuildRequest request;
  request.player = player_;
  request.albumName = name;
  request.description = description;
  for (int i = 0; i < album::kSlotCount; ++i) {
    request.songSlots[i].song = ui::ToPath(text2_[i + 1]);
    request.songSlots[i].lyrics = ui::ToPath(text2_[i + 11]);
  }
  request.outputFolder = outputFolder_;
  request.stopRequested = [this] { return stopRequested_; };

  // The note speaks of the album before; it must not stand beside this build or its failure.
  completionNote_ = false;
  // A path may have been typed, or its file replaced, since it was chosen.
  for (int slot = 1; slot <= album::kSlotCount; ++slot) {
    if (text2_[slot].isEmpty()) continue;
    if (platform::Status song = album::CheckSongFile(ui::ToPath(text2_[slot]), slot); !song) {
      ui_.Refresh();
      ui_.Warn(ui::MessageFor(song.error(), ui::BuildFailure()));
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
    if (result.error().kind != platform::ErrorKind::BuildStopped) ui_.Warn(ui::MessageFor(result.error(), ui::BuildFailure()));
    return;
  }

  const album::BuildResult& built = result.value();
  lastImage_ = built.image;
  text4_[0] = ui::FromUtf8(platform::Trim(name));
  for (int k = 1; k <= 21; ++k) text4_[k] = QString::number(built.s[k]);
  text4_[22] = QString::number(built.index.A);
  text4_[23] = QString::number(built.index.B);
  text4_[24] = QString::number(built.index.E);
  FinishAlbumBuild();
  // The album is whole, but on a FAT stick it cannot be marked as a program: say so.
  if (built.notExecutable) ui_.Warn(ui::MessageFor(*built.notExecutable));
}

void PackagerWorkflow::FinishAlbumBuild() {
  // The description and the player's slot keep their text; everything chosen for this album
  // is cleared, so the next album starts from empty slots.
  for (int i = 1; i <= 20; ++i) text2_[i].clear();
  for (QString& name : text5_) name.clear();
  text1_.clear();
  SetProgress(true, kProgressDesignValue);
  SetProgress(false, kProgressDesignValue);
  // The settings and description texts are composed in memory by the writer, so there are no
  // temporary files beside the program to delete here.
  completionNote_ = true;
  ui_.Refresh();
}
