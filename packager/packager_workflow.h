#pragma once
// The packager window's working state and the order of its work, without the window: the
// chosen paths, the song names, the build results, the progress bar's state and the
// completion note. Form1 shows this state and turns clicks into these calls; tests drive it
// directly.
//
// Everything runs on the user-interface thread. Build() runs to its end inside the call and
// hands control to the window at every progress step, where pending events are processed.

#include <QString>
#include <array>
#include <cstddef>
#include <filesystem>
#include <span>

#include "album/format.h"
#include "ui/message_box.h"

class FileDialogs;

class PackagerWorkflow {
 public:
  // What the workflow asks of its window.
  class Ui {
   public:
    virtual ~Ui() = default;
    // A message box; returns when the user has closed it.
    virtual void Warn(const ui::Message& message) = 0;
    // The progress bar's visibility and value changed: repaint it and process pending events.
    virtual void Progress(bool visible, int value) = 0;
    // Texts, the build button's state or the completion note changed.
    virtual void Refresh() = 0;
  };

  static constexpr int kProgressDesignValue = 50;

  // `player` is the player program written at the head of every album image; `outputFolder`
  // is where the albums go. Both must outlive the workflow, as must `ui` and `dialogs`.
  PackagerWorkflow(Ui& ui, FileDialogs& dialogs, std::span<const std::byte> player,
                   std::filesystem::path outputFolder);

  // The album name box (Text1) and the description box (rtfOutput), as typed.
  const QString& AlbumName() const { return text1_; }
  void SetAlbumName(const QString& name) { text1_ = name; }
  const QString& Description() const { return description_; }
  void SetDescription(const QString& text) { description_ = text; }

  // Chosen paths: 1..10 the songs of slots 1..10, 11..20 their lyrics. Element 0 stands for
  // the player program at the head of the image and is never empty.
  const QString& Text2(int i) const { return text2_.at(i); }
  void SetText2(int i, const QString& path) { text2_.at(i) = path; }
  // Results of the last build: 0 the trimmed album name, 1..21 the piece positions s1..s21,
  // 22..24 A, B and E, as decimal text. Empty before the first build.
  const QString& Text4(int i) const { return text4_.at(i); }
  // Song names of slots 1..10 at elements 0..9.
  const QString& Text5(int i) const { return text5_.at(i); }

  const std::filesystem::path& OutputFolder() const { return outputFolder_; }
  // The last album image written, or empty.
  const std::filesystem::path& LastImage() const { return lastImage_; }

  bool Building() const { return building_; }
  bool ProgressVisible() const { return progressVisible_; }
  int ProgressValue() const { return progressValue_; }
  bool CompletionNoteVisible() const { return completionNote_; }

  // Song button `index` (0..9): asks for an MP3 file for slot index + 1. A cancelled dialog
  // changes nothing; so does a file that cannot be read or is not MPEG audio, after a
  // warning box that says why.
  // Each kind of dialog (songs, lyrics) opens in the folder of its last choice in this run.
  void ChooseSong(int index);
  // Lyrics button `index` (0..9): asks for an LRC file for slot index + 1; names stay.
  void ChooseLyrics(int index);

  // The build button: refuses a blank name or description, or a song that is not MPEG audio
  // (its path may have been typed), with a warning box, otherwise
  // writes the album image, moving the progress bar to 2, 4, ... 42, 44, 48, then finishes
  // the build. A failed build shows a warning box naming the file and the problem and leaves
  // everything as it was before the call. Does nothing while a build runs. Starting a build
  // hides the completion note of the one before.
  void Build();

  // Asked during a build (from a progress step): the build stops at its next step and is
  // undone like a failed one, without a warning box. Nothing happens outside a build.
  void RequestStop();

  // The song name of a path: the file name without its last four characters; empty when the
  // file name is shorter than that.
  static QString GetFileName(const QString& path);

 private:
  void FinishAlbumBuild();
  // Shows the open dialog; the chosen readable file, or empty (cancelled or refused). With a
  // `songSlot` (1..10) the file must be MPEG audio as well.
  QString ChooseFile(const QString& filter, const QString& title, QString& lastFolder, int songSlot = 0);
  void SetProgress(bool visible, int value);

  Ui& ui_;
  FileDialogs& dialogs_;
  std::span<const std::byte> player_;
  std::filesystem::path outputFolder_;
  std::filesystem::path lastImage_;

  QString text1_;
  QString description_;
  std::array<QString, 21> text2_;
  std::array<QString, 25> text4_;
  std::array<QString, album::kSlotCount> text5_;

  bool building_ = false;
  bool progressVisible_ = false;
  int progressValue_ = kProgressDesignValue;
  bool completionNote_ = false;
  bool stopRequested_ = false;
  // Folders of the last chosen song and lyrics; empty until the first choice.
  QString songFolder_;
  QString lyricsFolder_;
};
