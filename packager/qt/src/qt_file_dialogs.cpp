#include "packager/qt_file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "ui/paths.h"

namespace packager {
namespace {

// Qt's form of a list entry: "description (pattern pattern)".
QStringList QtNameFilters(const std::vector<NameFilter>& filters) {
  QStringList list;
  for (const NameFilter& filter : filters) {
    QStringList patterns;
    for (const std::string& pattern : filter.patterns) patterns << ui::FromUtf8(pattern);
    list << QStringLiteral("%1 (%2)").arg(ui::FromUtf8(filter.description), patterns.join(u' '));
  }
  return list;
}

}  // namespace

std::optional<std::filesystem::path> QtFileDialogs::ChooseFile(const FileDialogRequest& request) {
  QFileDialog dialog(parent_, ui::FromUtf8(request.title));
  const bool save = request.kind == FileDialogRequest::Kind::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (const QStringList filters = QtNameFilters(request.nameFilters); !filters.isEmpty()) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
  }
  if (!request.defaultSuffix.empty()) dialog.setDefaultSuffix(ui::FromUtf8(request.defaultSuffix));
  if (!request.initialFolder.empty()) dialog.setDirectory(ui::ToQString(request.initialFolder));
  if (!request.presetPath.empty()) dialog.selectFile(ui::ToQString(request.presetPath));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return ui::ToPath(files.first());
}

std::optional<std::filesystem::path> QtFileDialogs::ChooseFolder(const std::string& title) {
  const QString folder =
      QFileDialog::getExistingDirectory(parent_, ui::FromUtf8(title), QString(), QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  return ui::ToPath(folder);
}

}  // namespace packager
