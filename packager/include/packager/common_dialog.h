#pragma once
// CommonDialog: the packager's file and folder dialogs behind plain text properties. A caller
// creates one object per dialog, sets Filter and DialogTitle, calls ShowOpen and reads FileName;
// an empty FileName after the dialog means the user cancelled.
//
// The object keeps its texts in the buffer shapes the dialog record always had (a 1,024-
// character file buffer, a 256-character title buffer, NUL-separated filters), so every
// property reads back exactly as callers have known it. Texts are UTF-8; a buffer's size
// counts bytes. The dialogs themselves are shown by a FileDialogs implementation: each front
// end has its own (QtFileDialogs on Qt), tests a scripted one.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace packager {

// One entry of a dialog's list of file types: "音乐文件" with the patterns {"*.mp3"}.
struct NameFilter {
  std::string description;
  std::vector<std::string> patterns;  // never empty
  bool operator==(const NameFilter&) const = default;
};

// What one file dialog is asked to show.
struct FileDialogRequest {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  std::string title;                    // empty: the dialog's own title
  std::vector<NameFilter> nameFilters;  // the first one selected
  std::filesystem::path initialFolder;  // empty: the dialog's own choice
  std::filesystem::path presetPath;     // the path already in the name box, or empty
  std::string defaultSuffix;            // added to a typed name without a suffix; no dot
  // The save dialog asks before replacing a file. Nothing asks the open dialog for an
  // existing file, so a typed name of a file that does not exist is accepted too.
  bool confirmOverwrite = false;
};

// Shows the desktop's dialogs. Called on the user-interface thread; each call blocks until the
// user closes the dialog.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen path, or nullopt when the user cancelled.
  virtual std::optional<std::filesystem::path> ChooseFile(const FileDialogRequest& request) = 0;
  // The chosen folder, or nullopt when the user cancelled. `title` is UTF-8.
  virtual std::optional<std::filesystem::path> ChooseFolder(const std::string& title) = 0;
};

class CommonDialog {
 public:
  static constexpr int kFileBufferSize = 1024;
  static constexpr int kTitleBufferSize = 256;
  // The record's flags: the save dialog asks before replacing a file, and nothing else is set.
  static constexpr int kOverwritePrompt = 2;

  // `dialogs` shows the dialogs and must outlive the object.
  explicit CommonDialog(FileDialogs& dialogs);

  // Setting presets the path in the dialog. Reading returns the file buffer without its NULs
  // and then empties the buffer, so a second read gives an empty text.
  std::string FileName();
  void FileName(std::string_view sFileName);

  // Pairs of description and pattern joined by "|", as "歌词文件|*.lrc". Stored with NUL in
  // place of each "|" and two NULs at the end; reads back in the "|" form.
  std::string Filter() const;
  void Filter(std::string_view sFilter);

  // The raw title buffer: 256 NULs until something is set or a dialog fills it.
  std::string FileTitle() const;
  void FileTitle(std::string_view sFileTitle);

  std::string DialogTitle() const;
  void DialogTitle(std::string_view sDialogTitle);

  std::string InitDir() const;
  void InitDir(std::string_view sInitDir);

  // Stored without any "."; "txt" at creation.
  std::string DefaultExt() const;
  void DefaultExt(std::string_view sDefaultExt);

  // Show the open or the save dialog. The chosen path is then read through FileName; after a
  // cancel the buffers are unchanged.
  void ShowOpen();
  void ShowSave();

  // Shows the folder browser; the chosen folder, or an empty text when the user cancelled.
  std::string GetFolderName(std::string_view title);

  // The record as it is handed to the dialogs, for tests and the dialog layer.
  int FilterIndex() const { return filterIndex_; }
  int Flags() const { return flags_; }
  // The stored filter as the dialog's list: one entry per description and pattern pair, a
  // ";"-separated pattern split into its parts. A description without a pattern matches
  // every file ("*").
  std::vector<NameFilter> NameFilters() const;

 private:
  void Show(FileDialogRequest::Kind kind);

  FileDialogs& dialogs_;
  std::string file_;
  std::string fileTitle_;
  std::string filter_;
  std::string dialogTitle_;
  std::string initDir_;
  std::string defaultExt_;
  int filterIndex_ = 1;
  int flags_ = kOverwritePrompt;
};

}  // namespace packager
