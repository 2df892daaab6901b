#include "common_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

const QChar kNul(u'\0');

QString WithoutNuls(QString text) {
  return text.remove(kNul);
}

// `text` followed by NULs up to `size` characters (a longer text is kept whole).
QString Padded(const QString& text, int size) {
  QString buffer = text;
  if (buffer.size() < size) buffer.append(QString(size - buffer.size(), kNul));
  return buffer;
}

}  // namespace

CommonDialog::CommonDialog(FileDialogs& dialogs)
    : dialogs_(dialogs),
      file_(kFileBufferSize, kNul),
      fileTitle_(kTitleBufferSize, kNul),
      defaultExt_(QStringLiteral("txt")) {}

QString CommonDialog::FileName() {
  QString name = WithoutNuls(file_);
  file_ = QString(kFileBufferSize, kNul);
  return name;
}

void CommonDialog::FileName(const QString& sFileName) {
  file_ = sFileName + kNul;
}

QString CommonDialog::Filter() const {
  QString text = filter_;
  while (text.endsWith(kNul)) text.chop(1);
  return text.replace(kNul, u'|');
}

void CommonDialog::Filter(const QString& sFilter) {
  QString text = sFilter;
  filter_ = text.replace(u'|', kNul) + kNul + kNul;
}

QString CommonDialog::FileTitle() const {
  return fileTitle_;
}
void CommonDialog::FileTitle(const QString& sFileTitle) {
  fileTitle_ = sFileTitle;
}

QString CommonDialog::DialogTitle() const {
  return WithoutNuls(dialogTitle_);
}
void CommonDialog::DialogTitle(const QString& sDialogTitle) {
  dialogTitle_ = sDialogTitle;
}

QString CommonDialog::InitDir() const {
  return WithoutNuls(initDir_);
}
void CommonDialog::InitDir(const QString& sInitDir) {
  initDir_ = sInitDir + kNul;
}

QString CommonDialog::DefaultExt() const {
  return defaultExt_;
}
void CommonDialog::DefaultExt(const QString& sDefaultExt) {
  QString text = sDefaultExt;
  defaultExt_ = text.remove(u'.');
}

QStringList CommonDialog::NameFilters() const {
  QString text = filter_;
  while (text.endsWith(kNul)) text.chop(1);
  QStringList parts = text.split(kNul);
  QStringList filters;
  if (text.isEmpty()) return filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    QString description = parts[i];
    QString patterns = i + 1 < parts.size() ? parts[i + 1] : QString();
    QStringList list = patterns.split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : list) pattern = pattern.trimmed();
    list.removeAll(QString());
    if (list.isEmpty()) list << QStringLiteral("*");
    filters << QStringLiteral("%1 (%2)").arg(description, list.join(u' '));
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
  request.initialFolder = InitDir();
  request.presetPath = WithoutNuls(file_.section(kNul, 0, 0));
  request.defaultSuffix = DefaultExt();
  request.confirmOverwrite = kind == FileDialogRequest::Kind::Save && (flags_ & kOverwritePrompt) != 0;

  std::optional<QString> chosen = dialogs_.ChooseFile(request);
  if (!chosen || chosen->isEmpty()) return;  // a cancel leaves every buffer as it was
  // The whole buffer is rewritten, so no tail of a longer preset survives behind the path.
  file_ = Padded(*chosen, kFileBufferSize);
  fileTitle_ = Padded(QFileInfo(*chosen).fileName(), kTitleBufferSize);
}

QString CommonDialog::GetFolderName(const QString& title) {
  std::optional<QString> folder = dialogs_.ChooseFolder(title);
  if (!folder) return {};
  return folder->section(kNul, 0, 0);
}

std::optional<QString> QtFileDialogs::ChooseFile(const FileDialogRequest& request) {
  QFileDialog dialog(parent_, request.title);
  const bool save = request.kind == FileDialogRequest::Kind::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.nameFilters.isEmpty()) {
    dialog.setNameFilters(request.nameFilters);
    dialog.selectNameFilter(request.nameFilters.first());
  }
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.initialFolder.isEmpty()) dialog.setDirectory(request.initialFolder);
  if (!request.presetPath.isEmpty()) dialog.selectFile(request.presetPath);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.first();
}

std::optional<QString> QtFileDialogs::ChooseFolder(const QString& title) {
  QString folder = QFileDialog::getExistingDirectory(parent_, title, QString(), QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}
