#pragma once
// Where an export (CSV table, PDF report, plot image) proposes to write: an absolute path in a
// folder that exists and that the user may write to, so that accepting the proposal works.

#include <QString>
#include <QStringList>

class Survey;

// The first of the candidate folders (the system's path bytes decoded, or Qt paths; empty ones
// are passed over) that is an existing folder the user may write to, as an absolute path;
// else the documents folder, else the home folder.
QString WritableFolder(const QStringList& candidates);

// The candidates of an export of the survey, best first: the folder of the survey's file, the
// folder the user chose for this kind of export last (lastExportFolder, "" for none), the
// folder of the data type's last save or open.
QStringList ExportFolderCandidates(const Survey& survey, const QString& lastExportFolder);

// The path an export of the survey proposes: baseName + suffix (".csv") in WritableFolder of
// ExportFolderCandidates. A '/' in baseName becomes '_'; an empty or hidden name becomes
// fallbackName.
QString ProposedExportPath(const Survey& survey, const QString& lastExportFolder, QString baseName,
                           const QString& fallbackName, const QString& suffix);
