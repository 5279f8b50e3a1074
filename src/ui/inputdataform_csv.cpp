// CSV tables for spreadsheets: exporting the survey's stations and importing stations, with a
// preview of how the file was understood before anything is added.
#include <QCoreApplication>
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "io/atomicfile.h"
#include "ui/coretext.h"
#include "io/csvexport.h"
#include "io/folders.h"
#include "ui/csvimportdialog.h"
#include "ui/exportpath.h"
#include "ui/inputdataform.h"
#include "ui/widgets.h"

namespace {
QString Tr(const char* text) { return QCoreApplication::translate("TInputDataForm", text); }
const char* const kExportCaption = QT_TRANSLATE_NOOP("TInputDataForm", "导出 CSV");


// The data types' names as the DataType group shows them, by DataType.
QStringList TypeNames(const RadioGroup* group) {
  QStringList names;
  for (int i = 0; i < group->count(); ++i) {
    const auto* item = group->findChild<QAbstractButton*>(QStringLiteral("item%1").arg(i));
    names << (item != nullptr ? item->text() : QString::number(i));
  }
  return names;
}

// The folder the CSV open dialog starts in: that of the last CSV file, else the Data folder
// (when it exists), else the survey's.
QString StartFolder(const Survey& survey, const QString& lastFolder, const QString& programPath) {
  return WritableFolder({lastFolder, QFile::decodeName(QByteArray::fromStdString(DataDir(programPath.toStdString()))),
                         ExportFolderCandidates(survey, QString()).value(0)});
}
}  // namespace

void TInputDataForm::exportCsv() {
  finishEditing();
  const Survey& s = *survey_;
  if (s.stations().empty()) {
    dialogs_.message(this, Tr(kExportCaption), QCoreApplication::translate("TInputDataForm", "没有数据可以导出。"), Dialogs::Icon::None, Dialogs::Buttons::Ok);
    return;
  }
  // Named after the survey's data file when it has one, else after the data type.
  const std::string saved = survey_->saveDialog().fileName;
  const QString base = saved.empty() ? TypeNames(DataType).value(s.type())
                                     : QFileInfo(QFile::decodeName(QByteArray::fromStdString(saved))).completeBaseName();
  const QString proposed =
      ProposedExportPath(s, csvFolder_, base, TypeNames(DataType).value(s.type()), QStringLiteral(".csv"));
  const QString path = dialogs_.saveCsvFile(this, proposed);
  if (path.isEmpty()) return;
  csvFolder_ = QFileInfo(path).absolutePath();

  const std::string bytes = BuildCsvExport(s.type(), s.stations());
  std::string error;
  if (!SaveFileAtomically(QFile::encodeName(path).toStdString(), bytes, error)) {
    dialogs_.message(this, Tr(kExportCaption), QCoreApplication::translate("TInputDataForm", "无法写入文件 %1，没有导出。").arg(path), Dialogs::Icon::Warning,
                     Dialogs::Buttons::Ok, CoreText(error));
  }
}

void TInputDataForm::importCsv() {
  finishEditing();
  const QString path = dialogs_.openCsvFile(this, StartFolder(*survey_, csvFolder_, programPath_));
  if (path.isEmpty()) return;
  csvFolder_ = QFileInfo(path).absolutePath();

  CsvImportRequest request;
  request.survey = survey_.get();
  request.path = path;
  request.typeNames = TypeNames(DataType);
  request.read(CsvEncodingChoice::Detect);
  if (!dialogs_.confirmCsvImport(this, request) || !request.importable()) return;
  survey_->importStations(request.preview.type, std::move(request.preview.stations), request.preview.stationRows);
}
