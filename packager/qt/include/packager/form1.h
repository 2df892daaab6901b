#pragma once
// The packager window, captioned "Pakrel": the album name, ten rows of song and lyrics paths
// with their buttons, the build and quit buttons, the progress bar, the completion note and
// the link label. It shows the state of a PackagerWorkflow and turns clicks into its calls.
//
// Controls keep their names as object names ("Text1", "Text2(3)", "Command1(0)", "Percent2"),
// so tests find them with findChild.

#include <QString>
#include <QUrl>
#include <QWidget>
#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>

#include "packager/packager_workflow.h"
#include "ui/message_box.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace packager {

class FileDialogs;
class GradientHScrollWidget;

// The box for a notice of the workflow, in the window's words (ui/error_text.h).
ui::Message NoticeMessage(const PackagerWorkflow::Notice& notice);

class Form1 : public QWidget, private PackagerWorkflow::Ui {
  Q_OBJECT

 public:
  struct Setup {
    Players players;                     // the player programs; must outlive the window
    std::filesystem::path outputFolder;  // where the albums go
    QString completionNote;              // the text of the completion note
    // When not empty, the note is OtherFolderNote(completionFolder) instead, with the middle of
    // the folder left out where the whole would not fit.
    QString completionFolder;
    QUrl link;  // what the link label opens
    // Seams for tests; null or empty gives the desktop's own. (Message boxes go through
    // ui::ShowMessage and ui::Ask, whose seam is ui::ScopedMessageBoxes.) openUrl returns
    // false when nothing could open the address.
    FileDialogs* dialogs = nullptr;
    std::function<bool(const QUrl&)> openUrl;
  };

  // The note shown when the albums go into the program's own folder.
  static QString OwnFolderNote();
  // The note shown when they go into `folder` instead.
  static QString OtherFolderNote(const QString& folder);

  // The window opens at its design size; it can be pulled taller, down to the description box
  // below the design area, but not wider.
  explicit Form1(Setup setup, QWidget* parent = nullptr);
  ~Form1() override;

  const PackagerWorkflow& workflow() const { return *workflow_; }

 protected:
  void changeEvent(QEvent* event) override;
  // During a build, closing asks whether to stop it; a stopped build is undone and the window
  // closes once it has ended. Declining lets the build go on.
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // PackagerWorkflow::Ui
  void Tell(const PackagerWorkflow::Notice& notice) override;
  bool AskStopBuild() override;
  void Progress(bool visible, int value) override;
  void Refresh() override;
  void Close() override;

  void CreateControls();
  void ShowCompletionNote();
  void OpenLink();
  void SetLinkColour(const QColor& colour);
  void SetBackground(const QColor& colour);

  Setup setup_;
  std::unique_ptr<FileDialogs> ownDialogs_;
  std::unique_ptr<PackagerWorkflow> workflow_;

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label4 = nullptr;
  std::array<QLineEdit*, 21> Text2{};  // 1..20 shown; element 0 has no box
  std::array<QPushButton*, 10> Command1{};
  std::array<QPushButton*, 10> Command2{};
  QPushButton* Command3 = nullptr;
  QPushButton* Command4 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label5 = nullptr;
  // The system the album is for; shown only when this packager carries both players.
  QComboBox* cboTarget = nullptr;
  GradientHScrollWidget* Percent2 = nullptr;
  QLabel* Label3 = nullptr;
  QPlainTextEdit* rtfOutput = nullptr;
  QLabel* Image2 = nullptr;
};

}  // namespace packager
