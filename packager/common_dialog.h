#pragma once
// CommonDialog: the packager's file and folder dialogs behind plain text properties. A caller
// creates one object per dialog, sets Filter and DialogTitle, calls ShowOpen and reads FileName;
// an empty FileName after the dialog means the user cancelled.
//
// The object keeps its texts in the buffer shapes the dialog record always had (a 1,024-
// character file buffer, a 256-character title buffer, NUL-separated filters), so every
// property reads back exactly as callers have known it. The dialogs themselves are shown by a
// FileDialogs implementation: the Qt one in the program, a scripted one in tests.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// What one file dialog is asked to show.
struct FileDialogRequest {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  QString title;            // empty: the dialog's own title
  QStringList nameFilters;  // "description (pattern pattern)", first one selected
  QString initialFolder;    // empty: the dialog's own choice
  QString presetPath;       // the path already in the name box, or empty
  QString defaultSuffix;    // added to a typed name without a suffix; no dot
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
  virtual std::optional<QString> ChooseFile(const FileDialogRequest& request) = 0;
  // The chosen folder, or nullopt when the user cancelled.
  virtual std::optional<QString> ChooseFolder(const QString& title) = 0;
};

// The Qt file dialogs, parented to `parent` (may be null).
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  std::optional<QString> ChooseFile(const FileDialogRequest& request) override;
  std::optional<QString> ChooseFolder(const QString& title) override;

 private:
  QWidget* parent_;
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
  QString FileName();
  void FileName(const QString& sFileName);

  // Pairs of description and pattern joined by "|", as "歌词文件|*.lrc". Stored with NUL in
  // place of each "|" and two NULs at the end; reads back in the "|" form.
  QString Filter() const;
  void Filter(const QString& sFilter);

  // The raw title buffer: 256 NULs until something is set or a dialog fills it.
  QString FileTitle() const;
  void FileTitle(const QString& sFileTitle);

  QString DialogTitle() const;
  void DialogTitle(const QString& sDialogTitle);

  QString InitDir() const;
  void InitDir(const QString& sInitDir);

  // Stored without any "."; "txt" at creation.
  QString DefaultExt() const;
  void DefaultExt(const QString& sDefaultExt);

  // Show the open or the save dialog. The chosen path is then read through FileName; after a
  // cancel the buffers are unchanged.
  void ShowOpen();
  void ShowSave();

  // Shows the folder browser; the chosen folder, or an empty text when the user cancelled.
  QString GetFolderName(const QString& title);

  // The record as it is handed to the dialogs, for tests and the dialog layer.
  int FilterIndex() const { return filterIndex_; }
  int Flags() const { return flags_; }
  // The stored filter turned into the dialog's filter list: one entry per description and
  // pattern pair, ";"-separated patterns listed with spaces. A description without a
  // pattern matches every file.
  QStringList NameFilters() const;

 private:
  void Show(FileDialogRequest::Kind kind);

  FileDialogs& dialogs_;
  QString file_;
  QString fileTitle_;
  QString filter_;
  QString dialogTitle_;
  QString initDir_;
  QString defaultExt_;
  int filterIndex_ = 1;
  int flags_ = kOverwritePrompt;
};
