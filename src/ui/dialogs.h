#pragma once
// Every modal thing the window shows goes through Dialogs: message boxes, the save dialog,
// the folder chooser, the append/replace question and the print dialog. The program uses QtDialogs; tests give
// the window a scripted implementation that answers in advance and records what was shown.

#include <QString>
#include <functional>
#include <QStringList>
#include <optional>

class QWidget;
class QPrinter;
struct CsvImportRequest;

// The window's one save dialog: what it keeps from one save to the next.
struct SaveDialogState {
  QString title = QStringLiteral("保存输入的数据为...");
  // Items 1 and 2 of the filter, as "label|pattern" pairs.
  QString filter = QStringLiteral("QL电测深数据格式(*.ves)|*.ves|DZD测深数据文件(*.dat)|*.dat");
  int filterIndex = 1;       // 1-based, as the filter items are numbered
  QString fileName;          // proposed before, chosen after the dialog
  QString initialDir = QStringLiteral(".");
};

struct PrintDialogSettings {
  int fromPage = 1, toPage = 5, minPage = 1, maxPage = 5;
  bool allowPageRange = true;
  bool allowSelection = true;
};

// The PDF report's export dialog: what it proposes, and what the user chose.
struct PdfReportRequest {
  QString proposedPath;
  bool hasListing = true;  // false (profile types): the report is its plot pages, not a choice
};
struct PdfReportChoice {
  QString path;
  bool withPlots = false;  // a page per station or line with its plot follows the listing
};

class Dialogs {
 public:
  enum class Icon { None, Warning, Error, Question };
  enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, ReplaceSkipCancel };
  enum class Answer { Ok, Cancel, Yes, No, Replace, Skip };
  enum class AppendChoice { Append, Replace, Cancel };

  virtual ~Dialogs() = default;

  // A message box. owner null: owned by the application, not by the input window. A box
  // closed without a button answers Cancel where it has Cancel, else No (Yes/No) or Ok.
  // details, when given, is extra text (such as a system error) shown apart from the text.
  virtual Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                         Buttons buttons, const QString& details = QString()) = 0;

  // Shows the save dialog for state; on OK stores the chosen name and filter item in state and
  // returns true; on cancel returns false and leaves state as it was.
  virtual bool saveFile(QWidget* owner, SaveDialogState& state) = 0;

  // A folder chooser starting in dir; the chosen folder, or empty text when cancelled.
  virtual QString chooseFolder(QWidget* owner, const QString& title, const QString& dir) = 0;

  // The append/replace question (AppendReplaceDialog, objectName TDataType), created afresh for
  // every question, opened with the given choice selected.
  virtual AppendChoice askAppendOrReplace(AppendChoice selected = AppendChoice::Append) = 0;

  // The print dialog for printer; true when the user confirmed.
  virtual bool print(QWidget* owner, QPrinter& printer, const PrintDialogSettings& settings) = 0;

  // The print preview of the pages paint draws on printer (again whenever the preview needs
  // them); printing from the preview prints them.
  virtual void printPreview(QWidget* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint) = 0;

  // A save dialog for an exported picture proposing the path proposed; filter is a Qt name
  // filter list ("PNG (*.png);;..."). The chosen path, with the suffix of the chosen filter when
  // none was typed, or empty text when cancelled.
  virtual QString chooseExportFile(QWidget* owner, const QString& title, const QString& filter,
                                   const QString& proposed) = 0;
  // The open dialog starting in dir, for one or more existing files; filter is Qt's name filter
  // list (";;" between items). The files chosen, or none when cancelled.
  virtual QStringList openFiles(QWidget* owner, const QString& title, const QString& dir, const QString& filter) = 0;

  // The question about a session left by a program that did not end cleanly. Escape and the
  // close box mean Later, which keeps the recovery file for the next start.
  enum class RecoveryChoice { Restore, Discard, Later };
  virtual RecoveryChoice askRecovery(QWidget* owner, const QString& text, const QString& details) = 0;

  // The default-spacings dialog (SpacingsDialog) showing current, with builtIn for its reset
  // button. The list accepted (checked by the dialog), or nothing when cancelled.
  virtual std::optional<QStringList> editDefaultSpacings(QWidget* owner, const QStringList& current,
                                                         const QStringList& builtIn) = 0;

  // File choosers for CSV tables: an existing file to import, starting in dir; the file to
  // export to, proposing the path proposed (an existing file is replaced only when the user
  // confirms it). The chosen path, or empty text when cancelled.
  virtual QString openCsvFile(QWidget* owner, const QString& dir) = 0;
  virtual QString saveCsvFile(QWidget* owner, const QString& proposed) = 0;

  // The preview of a CSV import (CsvImportDialog), in which the user may read the file again
  // with another encoding (request.read). True when the user chose to import, which the
  // preview allows only while request.importable().
  virtual bool confirmCsvImport(QWidget* owner, CsvImportRequest& request) = 0;

  // The export dialog of the PDF report (PdfReportDialog): the file to write, proposing
  // request.proposedPath (an existing file is replaced only when the user confirms it; a name
  // without a suffix gets .pdf), and whether the plot pages are added. The choice, or nothing
  // when cancelled.
  virtual std::optional<PdfReportChoice> choosePdfReport(QWidget* owner, const PdfReportRequest& request) = 0;
};

// Qt's own dialogs.
class QtDialogs : public Dialogs {
 public:
  Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon, Buttons buttons,
                 const QString& details = QString()) override;
  bool saveFile(QWidget* owner, SaveDialogState& state) override;
  QString chooseFolder(QWidget* owner, const QString& title, const QString& dir) override;
  AppendChoice askAppendOrReplace(AppendChoice selected = AppendChoice::Append) override;
  bool print(QWidget* owner, QPrinter& printer, const PrintDialogSettings& settings) override;
  void printPreview(QWidget* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;

  QString chooseExportFile(QWidget* owner, const QString& title, const QString& filter,
                           const QString& proposed) override;
  QStringList openFiles(QWidget* owner, const QString& title, const QString& dir, const QString& filter) override;
  RecoveryChoice askRecovery(QWidget* owner, const QString& text, const QString& details) override;
  std::optional<QStringList> editDefaultSpacings(QWidget* owner, const QStringList& current,
                                                 const QStringList& builtIn) override;

  QString openCsvFile(QWidget* owner, const QString& dir) override;
  QString saveCsvFile(QWidget* owner, const QString& proposed) override;
  bool confirmCsvImport(QWidget* owner, CsvImportRequest& request) override;
  std::optional<PdfReportChoice> choosePdfReport(QWidget* owner, const PdfReportRequest& request) override;
};

// The text of the error box for an error that ends a command: a full stop is added when the
// message's last character sorts after ".".
QString ErrorBoxText(const QString& message);
