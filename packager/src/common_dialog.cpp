#include "packager/common_dialog.h"

#include <algorithm>

#include "platform/path_text.h"

namespace packager {
namespace {

constexpr char kNul = '\0';

std::string WithoutNuls(std::string_view text) {
  std::string kept(text);
  std::erase(kept, kNul);
  return kept;
}

// The text before the first NUL.
std::string_view UpToNul(std::string_view text) {
  return text.substr(0, text.find(kNul));
}

// `text` followed by NULs up to `size` characters (a longer text is kept whole).
std::string Padded(std::string text, std::size_t size) {
  if (text.size() < size) text.resize(size, kNul);
  return text;
}

std::string_view WithoutTrailingNuls(std::string_view text) {
  const std::size_t end = text.find_last_not_of(kNul);
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

// White space as the dialogs have always trimmed a pattern: space, tab and line breaks.
std::string_view TrimWhite(std::string_view text) {
  constexpr std::string_view kWhite = " \t\n\v\f\r";
  const std::size_t first = text.find_first_not_of(kWhite);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhite) - first + 1);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    const std::size_t next = text.find(separator, at);
    parts.push_back(text.substr(at, next - at));
    if (next == std::string_view::npos) return parts;
    at = next + 1;
  }
}

}  // namespace

CommonDialog::CommonDialog(FileDialogs& dialogs)
    : dialogs_(dialogs),
      file_(kFileBufferSize, kNul),
      fileTitle_(kTitleBufferSize, kNul),
      defaultExt_("txt") {}

std::string CommonDialog::FileName() {
  std::string name = WithoutNuls(file_);
  file_.assign(kFileBufferSize, kNul);
  return name;
}

void CommonDialog::FileName(std::string_view sFileName) {
  file_ = std::string(sFileName) + kNul;
}

std::string CommonDialog::Filter() const {
  std::string text(WithoutTrailingNuls(filter_));
  std::replace(text.begin(), text.end(), kNul, '|');
  return text;
}

void CommonDialog::Filter(std::string_view sFilter) {
  filter_ = sFilter;
  std::replace(filter_.begin(), filter_.end(), '|', kNul);
  filter_.append(2, kNul);
}

std::string CommonDialog::FileTitle() const {
  return fileTitle_;
}
void CommonDialog::FileTitle(std::string_view sFileTitle) {
  fileTitle_ = sFileTitle;
}

std::string CommonDialog::DialogTitle() const {
  return WithoutNuls(dialogTitle_);
}
void CommonDialog::DialogTitle(std::string_view sDialogTitle) {
  dialogTitle_ = sDialogTitle;
}

std::string CommonDialog::InitDir() const {
  return WithoutNuls(initDir_);
}
void CommonDialog::InitDir(std::string_view sInitDir) {
  initDir_ = std::string(sInitDir) + kNul;
}

std::string CommonDialog::DefaultExt() const {
  return defaultExt_;
}
void CommonDialog::DefaultExt(std::string_view sDefaultExt) {
  defaultExt_ = sDefaultExt;
  std::erase(defaultExt_, '.');
}

std::vector<NameFilter> CommonDialog::NameFilters() const {
  const std::string_view text = WithoutTrailingNuls(filter_);
  std::vector<NameFilter> filters;
  if (text.empty()) return filters;
  const std::vector<std::string_view> parts = Split(text, kNul);
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    NameFilter filter{std::string(parts[i]), {}};
    if (i + 1 < parts.size()) {
      for (std::string_view pattern : Split(parts[i + 1], ';'))
        if (!TrimWhite(pattern).empty()) filter.patterns.emplace_back(TrimWhite(pattern));
    }
    if (filter.patterns.empty()) filter.patterns.emplace_back("*");
    filters.push_back(std::move(filter));
  }
  return filters;
}

void CommonDialog::ShowOpen() {
  Show(FileDialogRequest::Kind::Open);
}
void CommonDialog::ShowSave() {
  Show(FileDialogRequest::Kind::Save);
}

void CommonDialog::Show(FileDialogRequest::Kind kind) {
  filterIndex_ = 1;
  FileDialogRequest request;
  request.kind = kind;
  request.title = DialogTitle();
  request.nameFilters = NameFilters();
  request.initialFolder = platform::PathFromUtf8(InitDir());
  request.presetPath = platform::PathFromUtf8(UpToNul(file_));
  request.defaultSuffix = DefaultExt();
  request.confirmOverwrite = kind == FileDialogRequest::Kind::Save && (flags_ & kOverwritePrompt) != 0;

  std::optional<std::filesystem::path> chosen = dialogs_.ChooseFile(request);
  if (!chosen || chosen->empty()) return;  // a cancel leaves every buffer as it was
  // The whole buffer is rewritten, so no tail of a longer preset survives behind the path.
  file_ = Padded(platform::PathToUtf8(*chosen), kFileBufferSize);
  fileTitle_ = Padded(platform::PathToUtf8(chosen->filename()), kTitleBufferSize);
}

std::string CommonDialog::GetFolderName(std::string_view title) {
  std::optional<std::filesystem::path> folder = dialogs_.ChooseFolder(std::string(title));
  if (!folder) return {};
  return std::string(UpToNul(platform::PathToUtf8(*folder)));
}

}  // namespace packager
