#pragma once
// The preview of a CSV import (文件 › 导入 CSV…): how the file was read (encoding, separator,
// what each column was understood as), which rows are refused and why, the notes, and whether
// the stations can be imported. The texts are made apart from the dialog (DescribeCsvImport),
// so that the scripted dialogs of the tests record exactly what the preview says.

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "io/csvimport.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class Survey;

// An import being previewed: the file, how it was read, and what the checks of typed stations
// find in its stations for the survey they would be added to.
struct CsvImportRequest {
  const Survey* survey = nullptr;  // the survey the stations would be added to
  QString path;                    // the file, as the file chooser gave it
  QStringList typeNames;           // the data types' names as the window shows them, by DataType
  CsvEncodingChoice encoding = CsvEncodingChoice::Detect;
  std::optional<DataType> type;    // the data type chosen in the preview; none: from the header
  std::vector<CsvField> fields;    // what each column was mapped to; empty: from the header
  CsvPreview preview;                   // the file as read with these choices, prepared for the survey
  std::vector<StationProblem> checks;   // what the checks of typed stations find in its stations

  // Reads the file with the encoding chosen (and the type and columns chosen), then prepares
  // and checks its stations for the survey (Survey::prepareImport).
  void read(CsvEncodingChoice choice);
  // Reads it again as the data type chosen (none: as the header says).
  void chooseType(std::optional<DataType> chosen);
  // Reads it again with column `column` taken as field (Unknown: not imported), the other
  // columns as they are understood now.
  void mapColumn(int column, CsvField field);
  // Whether the import may go ahead: the file was read and gives stations (refused rows are
  // left out), and the checks found nothing.
  bool importable() const;
};

// What the preview says, as the dialog shows it.
struct CsvImportTexts {
  QString file;       // "文件：…"
  QString encoding;   // "编码：GBK（自动识别）"
  QString separator;  // "分隔符：分号"
  QString type;       // "数据类型：…", and what importing it does to the survey's type
  QList<QPair<QString, QString>> columns;  // each header cell and how it was understood
  QStringList refused;  // why rows are refused, each naming its row: the file's, then the checks'
  QStringList notes;    // what was passed over or assumed; the import may go ahead
  QString summary;      // what importing would do, or why it cannot
  bool importable = false;
};

CsvImportTexts DescribeCsvImport(const CsvImportRequest& request);

// The preview dialog (objectName CsvImportDialog). Choosing another encoding, data type or
// the field of a column reads the file again; the Import button is enabled only while the
// request is importable. Accepted means import.
class CsvImportDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CsvImportDialog(CsvImportRequest& request, QWidget* parent = nullptr);

  // What the dialog shows now.
  const CsvImportTexts& texts() const { return texts_; }

  QLabel* FileLabel = nullptr;
  QLabel* EncodingLabel = nullptr;
  QComboBox* EncodingBox = nullptr;  // 自动识别, UTF-8, GBK
  QLabel* SeparatorLabel = nullptr;
  QLabel* TypeLabel = nullptr;
  QComboBox* TypeBox = nullptr;  // 按表头判断, then the four data types
  // Columns: number, header, how it is understood, and a chooser of what it holds
  // (objectName CsvColumnField<n>, n from 1).
  QTableWidget* ColumnsTable = nullptr;
  QGroupBox* RefusedBox = nullptr;
  QListWidget* RefusedList = nullptr;
  QGroupBox* NotesBox = nullptr;
  QListWidget* NotesList = nullptr;
  QLabel* SummaryLabel = nullptr;
  QPushButton* ImportButton = nullptr;
  QPushButton* CancelButton = nullptr;

 private:
  void encodingChosen(int index);
  void showTexts();
  void showColumnChoosers();

  CsvImportRequest& request_;
  CsvImportTexts texts_;
};
