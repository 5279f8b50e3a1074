#pragma once
// The window's conversions between the survey's strings and Qt's: texts are UTF-8 in the
// survey; file names are the system's bytes in the survey and Qt text in the dialogs.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

inline QString Text(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string DiskPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString ShownPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
