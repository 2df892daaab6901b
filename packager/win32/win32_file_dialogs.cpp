#include "win32_file_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "platform/path_text.h"

namespace packager::win32 {
namespace {

std::wstring Wide(const std::string& utf8) {
  return platform::PathFromUtf8(utf8).wstring();
}

// Room for the longest path the dialogs hand back (their own limit is far below).
constexpr DWORD kFileBufferSize = 32768;

}  // namespace

std::wstring FilterText(const std::vector<NameFilter>& filters) {
  std::wstring text;
  for (const NameFilter& filter : filters) {
    text += Wide(filter.description);
    text += L'\0';
    for (std::size_t i = 0; i < filter.patterns.size(); ++i) {
      if (i > 0) text += L';';
      text += Wide(filter.patterns[i]);
    }
    text += L'\0';
  }
  // An empty list is two NULs as well: the c_str()'s own ends it.
  if (text.empty()) text += L'\0';
  return text;
}

std::optional<std::filesystem::path> Win32FileDialogs::ChooseFile(const FileDialogRequest& request) {
  const std::wstring filter = FilterText(request.nameFilters);
  const std::wstring title = Wide(request.title);
  const std::wstring initialFolder = request.initialFolder.wstring();
  const std::wstring defaultExt = Wide(request.defaultSuffix);
  std::vector<wchar_t> file(kFileBufferSize, L'\0');
  const std::wstring preset = request.presetPath.wstring();
  if (preset.size() < file.size()) std::copy(preset.begin(), preset.end(), file.begin());

  OPENFILENAMEW record{};
  record.lStructSize = sizeof(record);
  record.hwndOwner = owner_;
  record.lpstrFilter = filter.c_str();
  record.nFilterIndex = 1;  // the first pair selected
  record.lpstrFile = file.data();
  record.nMaxFile = static_cast<DWORD>(file.size());
  record.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
  record.lpstrTitle = title.empty() ? nullptr : title.c_str();
  record.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  // OFN_NOCHANGEDIR: the dialog would otherwise leave the process in the chosen folder.
  record.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | (request.confirmOverwrite ? OFN_OVERWRITEPROMPT : 0);
  const bool save = request.kind == FileDialogRequest::Kind::Save;
  const BOOL chosen = save ? ::GetSaveFileNameW(&record) : ::GetOpenFileNameW(&record);
  if (!chosen || file[0] == L'\0') return std::nullopt;
  return std::filesystem::path(file.data());
}

std::optional<std::filesystem::path> Win32FileDialogs::ChooseFolder(const std::string& title) {
  const std::wstring text = Wide(title);
  BROWSEINFOW info{};
  info.hwndOwner = owner_;
  info.lpszTitle = text.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
  PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&info);
  if (item == nullptr) return std::nullopt;
  std::vector<wchar_t> folder(kFileBufferSize, L'\0');
  const BOOL found =
      ::SHGetPathFromIDListEx(item, folder.data(), static_cast<DWORD>(folder.size()), GPFIDL_DEFAULT);
  ::CoTaskMemFree(item);
  if (!found || folder[0] == L'\0') return std::nullopt;
  return std::filesystem::path(folder.data());
}

}  // namespace packager::win32
