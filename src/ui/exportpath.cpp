#include "ui/exportpath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "session/survey.h"

namespace {
QString Decoded(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

bool UsableFolder(const QString& folder) {
  if (folder.isEmpty()) return false;
  const QFileInfo info(folder);
  return info.isAbsolute() && info.isDir() && info.isWritable();
}
}  // namespace

QString WritableFolder(const QStringList& candidates) {
  for (const QString& folder : candidates)
    if (UsableFolder(folder)) return QDir::cleanPath(folder);
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (UsableFolder(documents)) return QDir::cleanPath(documents);
  return QDir::homePath();
}

QStringList ExportFolderCandidates(const Survey& survey, const QString& lastExportFolder) {
  QStringList out;
  if (!survey.file().empty()) out << QFileInfo(Decoded(survey.file())).absolutePath();
  out << lastExportFolder << Decoded(survey.lastFolder(survey.type()));
  return out;
}

QString ProposedExportPath(const Survey& survey, const QString& lastExportFolder, QString baseName,
                           const QString& fallbackName, const QString& suffix) {
  baseName = baseName.trimmed();
  baseName.replace(QLatin1Char('/'), QLatin1Char('_'));
  if (baseName.isEmpty() || baseName.startsWith(QLatin1Char('.'))) baseName = fallbackName;
  return QDir(WritableFolder(ExportFolderCandidates(survey, lastExportFolder))).filePath(baseName + suffix);
}
