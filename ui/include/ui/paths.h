#pragma once
// Paths between the file system and the screen. The file system's names are bytes, shown
// through the locale's encoding (UTF-8 here); a name that is not valid in it keeps its
// bytes on the way back, so a chosen file is always found again.

#include <QFile>
#include <QString>
#include <filesystem>
#include <string_view>

namespace ui {

inline QString ToQString(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

inline std::filesystem::path ToPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// UTF-8 text of the libraries (album names, song titles) for the screen, and back.
inline QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string ToUtf8(const QString& text) {
  return text.toStdString();
}

}  // namespace ui
