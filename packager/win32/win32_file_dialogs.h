#pragma once
// The packager's file and folder dialogs on Windows: what CommonDialog asks for, shown as the
// common dialogs (GetOpenFileNameW, GetSaveFileNameW) and the shell's folder browser. Texts
// cross as UTF-16, so every path a user can name reaches the packager unchanged. COM must be
// initialised on the calling thread (the folder browser is a shell object).

#include <windows.h>

#include "packager/common_dialog.h"

namespace packager::win32 {

class Win32FileDialogs : public FileDialogs {
 public:
  // The dialogs are owned by `owner` (may be null), which they keep disabled while open.
  explicit Win32FileDialogs(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  std::optional<std::filesystem::path> ChooseFile(const FileDialogRequest& request) override;
  std::optional<std::filesystem::path> ChooseFolder(const std::string& title) override;

 private:
  HWND owner_;
};

// The list of file types in the dialogs' form: each description and its ";"-joined patterns,
// each followed by NUL, and one more NUL at the end.
std::wstring FilterText(const std::vector<NameFilter>& filters);

}  // namespace packager::win32
