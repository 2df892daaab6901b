#pragma once
// The packager window's working state and the order of its work, without the window: the
// chosen paths, the song names, the build results, the progress bar's state, the completion
// note and closing during a build. A front end (Form1 on Qt) shows this state, words the
// notices below and turns clicks into these calls; tests drive it directly.
//
// Everything runs on the user-interface thread. Build() runs to its end inside the call and
// hands control to the window at every progress step, where pending events are processed.
// Texts are UTF-8.

#include <array>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>

#include "album/format.h"
#include "packager/players.h"
#include "platform/result.h"

namespace packager {

class FileDialogs;

// Where the albums go: the program's own folder when a file can be made in it, else
// `fallback` (created when missing): an installed program lives in a folder only the
// administrator may write to. `isProgramFolder` tells which, so the completion note can say
// where.
struct OutputFolder {
  std::filesystem::path folder;
  bool isProgramFolder = false;
};
OutputFolder ChooseOutputFolder(const std::filesystem::path& programFolder, const std::filesystem::path& fallback);

class PackagerWorkflow {
 public:
  // What the window must tell the user, in a box; the front end chooses the words.
  struct Notice {
    enum class Kind {
      // The build button refused a blank album name (NoAlbumName) or description
      // (NoDescription); each has its own box.
      Refusal,
      // A file picked in a dialog cannot be used: it cannot be read, or a song is not MPEG
      // audio. Nothing was changed.
      UnusableChoice,
      // The build failed, or was refused for a song in the path boxes; nothing was written.
      BuildFailure,
      // The album is complete, with a warning worth knowing (it could not be marked as a
      // program).
      Warning,
    };
    Kind kind;
    platform::Error error;
  };

  // What the workflow asks of its window.
  class Ui {
   public:
    virtual ~Ui() = default;
    // A message box; returns when the user has closed it.
    virtual void Tell(const Notice& notice) = 0;
    // Asks whether to stop the running build so that the window can close; true for yes.
    virtual bool AskStopBuild() = 0;
    // The progress bar's visibility and value changed: repaint it and process pending events.
    virtual void Progress(bool visible, int value) = 0;
    // Texts, the build button's state or the completion note changed.
    virtual void Refresh() = 0;
    // Close the window now (see CloseRequested).
    virtual void Close() = 0;
  };

  static constexpr int kProgressDesignValue = 50;

  // `players` are the player programs, one of which is written at the head of every album
  // image; `outputFolder` is where the albums go. The players must outlive the workflow, as
  // must `ui` and `dialogs`. Albums are for the system this program runs on until
  // SetAlbumTarget says otherwise.
  PackagerWorkflow(Ui& ui, FileDialogs& dialogs, Players players, std::filesystem::path outputFolder);
  // Only the player of the system this program runs on.
  PackagerWorkflow(Ui& ui, FileDialogs& dialogs, std::span<const std::byte> player,
                   std::filesystem::path outputFolder);

  // The system the next album plays on. A window offers the choice when Carries() both.
  Target AlbumTarget() const { return target_; }
  bool Carries(Target target) const { return !players_.For(target).empty(); }
  // Ignored for a system whose player this program does not carry, and during a build.
  void SetAlbumTarget(Target target);

  // The album name box (Text1) and the description box (rtfOutput), as typed.
  const std::string& AlbumName() const { return text1_; }
  void SetAlbumName(std::string name) { text1_ = std::move(name); }
  const std::string& Description() const { return description_; }
  void SetDescription(std::string text) { description_ = std::move(text); }

  // Chosen paths: 1..10 the songs of slots 1..10, 11..20 their lyrics; empty for none.
  // Element 0 stands for the player program at the head of the image and is never empty.
  const std::filesystem::path& Text2(int i) const { return text2_.at(i); }
  void SetText2(int i, std::filesystem::path path) { text2_.at(i) = std::move(path); }
  // Results of the last build: 0 the trimmed album name, 1..21 the piece positions s1..s21,
  // 22..24 A, B and E, as decimal text. Empty before the first build.
  const std::string& Text4(int i) const { return text4_.at(i); }
  // Song names of slots 1..10 at elements 0..9.
  const std::string& Text5(int i) const { return text5_.at(i); }

  const std::filesystem::path& OutputFolder() const { return outputFolder_; }
  // The last album image written, or empty.
  const std::filesystem::path& LastImage() const { return lastImage_; }

  bool Building() const { return building_; }
  bool ProgressVisible() const { return progressVisible_; }
  int ProgressValue() const { return progressValue_; }
  bool CompletionNoteVisible() const { return completionNote_; }

  // Song button `index` (0..9): asks for an MP3 file for slot index + 1. A cancelled dialog
  // changes nothing; so does a file that cannot be read or is not MPEG audio, after an
  // UnusableChoice notice that says why.
  // Each kind of dialog (songs, lyrics) opens in the folder of its last choice in this run.
  void ChooseSong(int index);
  // Lyrics button `index` (0..9): asks for an LRC file for slot index + 1; names stay.
  void ChooseLyrics(int index);

  // The build button: refuses a blank name or description (Refusal), or a song that is not
  // MPEG audio (its path may have been typed; BuildFailure), otherwise writes the album
  // image, moving the progress bar to 2, 4, ... 42, 44, 48, then finishes the build. A failed
  // build tells a BuildFailure naming the file and the problem and leaves everything as it
  // was before the call. Does nothing while a build runs. Starting a build hides the
  // completion note of the one before. When the user agreed to stop the build in order to
  // close the window, the window is closed once the build has been undone.
  void Build();

  // The user wants to close the window: true when it may close now. During a build the user
  // is asked, once, whether to stop it; on yes the build stops at its next step, is undone
  // like a failed one without a notice, and then Ui::Close is called. On no the build goes on.
  bool CloseRequested();

  // The song name of a path: the file name without its last four characters; empty when the
  // file name is shorter than that.
  static std::string GetFileName(const std::filesystem::path& path);

 private:
  void RunBuild();
  void FinishAlbumBuild();
  // Shows the open dialog; the chosen readable file, or empty (cancelled or refused). With a
  // `songSlot` (1..10) the file must be MPEG audio as well.
  std::filesystem::path ChooseFile(const char* filter, const char* title, std::filesystem::path& lastFolder,
                                   int songSlot = 0);
  void SetProgress(bool visible, int value);

  Ui& ui_;
  FileDialogs& dialogs_;
  Players players_;
  Target target_ = kOwnTarget;
  std::filesystem::path outputFolder_;
  std::filesystem::path lastImage_;

  std::string text1_;
  std::string description_;
  std::array<std::filesystem::path, 21> text2_;
  std::array<std::string, 25> text4_;
  std::array<std::string, album::kSlotCount> text5_;

  bool building_ = false;
  bool progressVisible_ = false;
  int progressValue_ = kProgressDesignValue;
  bool completionNote_ = false;
  bool stopRequested_ = false;
  // The user agreed to stop the build and close the window.
  bool closeAfterBuild_ = false;
  // Folders of the last chosen song and lyrics; empty until the first choice.
  std::filesystem::path songFolder_;
  std::filesystem::path lyricsFolder_;
};

}  // namespace packager
