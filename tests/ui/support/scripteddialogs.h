#pragma once
// Dialogs for tests: every question is answered from a script given in advance, and
// everything shown is recorded.

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "ui/csvimportdialog.h"
#include "ui/dialogs.h"

struct ShownMessage {
  QString caption;
  QString text;
  Dialogs::Icon icon;
  Dialogs::Buttons buttons;
  bool owned;  // shown with the input window (or another widget) as owner
  QString details;
};

class ScriptedDialogs : public Dialogs {
 public:
  // ---- message boxes ----
  // The answer to the next message box; without one, OK boxes answer Ok, Yes/No boxes No and
  // boxes with a Cancel button Cancel.
  void setNextAnswer(Answer answer) { answers_.enqueue(answer); }
  QList<ShownMessage> messages;
  QStringList texts() const;  // the texts of messages, in order

  // ---- save dialog ----
  void setNextFileName(const QString& path) { saveAnswers_.enqueue(path); }
  void setNextSaveCancel() { saveAnswers_.enqueue(std::nullopt); }
  // Dialogs shown, as the state they were opened with.
  QList<SaveDialogState> saveDialogs;
  int unansweredSaveDialogs = 0;  // shown with nothing scripted (answered as cancelled)

  // ---- folder chooser ----
  void setNextFolder(const QString& folder) { folderAnswers_.enqueue(folder); }
  void setNextFolderCancel() { folderAnswers_.enqueue(QString()); }
  QStringList folderTitles;  // titles of the folder choosers shown

  // ---- append/replace question ----
  void setNextAppendChoice(AppendChoice choice) { appendAnswers_.enqueue(choice); }
  int appendQuestions = 0;
  int unansweredAppendQuestions = 0;
  QList<AppendChoice> appendSelections;  // the choice each question opened with

  // ---- open dialog ----
  struct OpenDialog {
    QString title, dir, filter;
  };
  void setNextOpenFiles(const QStringList& files) { openAnswers_.enqueue(files); }  // empty: cancelled
  QList<OpenDialog> openDialogs;

  // ---- recovery question ----
  struct RecoveryQuestion {
    QString text, details;
  };
  void setNextRecoveryChoice(RecoveryChoice choice) { recoveryAnswers_.enqueue(choice); }  // unscripted: Later
  QList<RecoveryQuestion> recoveryQuestions;

  // ---- default-spacings dialog ----
  struct SpacingsRequest {
    QStringList current, builtIn;
  };
  void setNextSpacings(const std::optional<QStringList>& spacings) { spacingAnswers_.enqueue(spacings); }
  QList<SpacingsRequest> spacingDialogs;

  // ---- print dialog ----
  // Confirms the next print dialog after letting configure set up the printer (for example
  // PDF output to a file); setNextPrintCancel cancels it.
  void setNextPrint(std::function<void(QPrinter&)> configure) { printAnswers_.enqueue(std::move(configure)); }
  void setNextPrintCancel() { printAnswers_.enqueue(nullptr); }
  QList<PrintDialogSettings> printDialogs;

  // ---- print preview ----
  // Previews shown; each is painted once onto the printer as previewPrinter sets it up (for
  // example PDF output to a file).
  int previews = 0;
  std::function<void(QPrinter&)> previewPrinter;

  // ---- export file chooser ----
  void setNextExportFile(const QString& path) { exportAnswers_.enqueue(path); }
  void setNextExportCancel() { exportAnswers_.enqueue(QString()); }
  QStringList exportTitles;  // titles of the export choosers shown (answered as cancelled when unscripted)
  QStringList exportProposals;  // the path each export chooser proposed

  // ---- CSV file choosers ----
  // The path the next chooser returns; empty text cancels it (as does an unscripted one).
  void setNextCsvOpen(const QString& path) { csvOpenAnswers_.enqueue(path); }
  void setNextCsvSave(const QString& path) { csvSaveAnswers_.enqueue(path); }
  QStringList csvOpenFolders;    // the folder each open chooser started in
  QStringList csvSaveProposals;  // the path each save chooser proposed

  // ---- CSV import preview ----
  // The answer to the next preview: first, when given, the encoding the user chooses (the file
  // is read again), then Import or Cancel. Import answers only while the Import button is
  // enabled; otherwise, and without a script, the preview is cancelled.
  void setNextCsvImport(bool import, std::optional<CsvEncodingChoice> encoding = std::nullopt) {
    csvImportAnswers_.enqueue({import, encoding});
  }
  // What each preview said, again after an encoding was chosen in it.
  QList<CsvImportTexts> csvPreviews;

  // ---- PDF report dialog ----
  // The answer to the next export dialog of the PDF report; unscripted, it is cancelled.
  void setNextPdfReport(const PdfReportChoice& choice) { pdfReportAnswers_.enqueue(choice); }
  void setNextPdfReportCancel() { pdfReportAnswers_.enqueue(std::nullopt); }
  QList<PdfReportRequest> pdfReportDialogs;  // what each dialog was opened with

  // Called whenever any dialog is shown, after it is recorded (to act in the middle of a command).
  std::function<void()> onShown;

  Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon, Buttons buttons,
                 const QString& details = QString()) override;
  bool saveFile(QWidget* owner, SaveDialogState& state) override;
  QString chooseFolder(QWidget* owner, const QString& title, const QString& dir) override;
  AppendChoice askAppendOrReplace(AppendChoice selected = AppendChoice::Append) override;
  bool print(QWidget* owner, QPrinter& printer, const PrintDialogSettings& settings) override;
  void printPreview(QWidget* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
  QString openCsvFile(QWidget* owner, const QString& dir) override;
  QString saveCsvFile(QWidget* owner, const QString& proposed) override;
  bool confirmCsvImport(QWidget* owner, CsvImportRequest& request) override;

  QString chooseExportFile(QWidget* owner, const QString& title, const QString& filter,
                           const QString& proposed) override;
  QStringList openFiles(QWidget* owner, const QString& title, const QString& dir, const QString& filter) override;
  RecoveryChoice askRecovery(QWidget* owner, const QString& text, const QString& details) override;
  std::optional<QStringList> editDefaultSpacings(QWidget* owner, const QStringList& current,
                                                 const QStringList& builtIn) override;
  std::optional<PdfReportChoice> choosePdfReport(QWidget* owner, const PdfReportRequest& request) override;

 private:
  QQueue<Answer> answers_;
  QQueue<std::optional<QString>> saveAnswers_;
  QQueue<AppendChoice> appendAnswers_;
  QQueue<QString> folderAnswers_;
  QQueue<std::function<void(QPrinter&)>> printAnswers_;
  QQueue<QString> exportAnswers_;
  QQueue<QStringList> openAnswers_;
  QQueue<RecoveryChoice> recoveryAnswers_;
  QQueue<std::optional<QStringList>> spacingAnswers_;

  QQueue<QString> csvOpenAnswers_;
  QQueue<QString> csvSaveAnswers_;
  struct CsvImportAnswer {
    bool import;
    std::optional<CsvEncodingChoice> encoding;
  };
  QQueue<CsvImportAnswer> csvImportAnswers_;
  QQueue<std::optional<PdfReportChoice>> pdfReportAnswers_;
};
