#pragma once
// The packager's file and folder dialogs on Qt: what CommonDialog asks for, shown as Qt's
// dialogs.

#include "packager/common_dialog.h"

class QWidget;

namespace packager {

// The Qt file dialogs, parented to `parent` (may be null).
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  std::optional<std::filesystem::path> ChooseFile(const FileDialogRequest& request) override;
  std::optional<std::filesystem::path> ChooseFolder(const std::string& title) override;

 private:
  QWidget* parent_;
};

}  // namespace packager
