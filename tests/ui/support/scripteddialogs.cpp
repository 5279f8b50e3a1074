#include "scripteddialogs.h"

QStringList ScriptedDialogs::texts() const {
  QStringList out;
  for (const auto& m : messages) out << m.text;
  return out;
}

Dialogs::Answer ScriptedDialogs::message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                                         Buttons buttons, const QString& details) {
  messages.append({caption, text, icon, buttons, owner != nullptr, details});
  if (onShown) onShown();
  if (!answers_.isEmpty()) return answers_.dequeue();
  switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::ReplaceSkipCancel: return Answer::Cancel;
  }
  return Answer::Ok;
}

bool ScriptedDialogs::saveFile(QWidget*, SaveDialogState& state) {
  saveDialogs.append(state);
  if (onShown) onShown();
  if (saveAnswers_.isEmpty()) {
    ++unansweredSaveDialogs;
    return false;
  }
  auto answer = saveAnswers_.dequeue();
  if (!answer) return false;
  state.fileName = *answer;
  return true;
}

QString ScriptedDialogs::chooseFolder(QWidget*, const QString& title, const QString&) {
  folderTitles.append(title);
  if (onShown) onShown();
  return folderAnswers_.isEmpty() ? QString() : folderAnswers_.dequeue();
}

Dialogs::AppendChoice ScriptedDialogs::askAppendOrReplace(AppendChoice selected) {
  ++appendQuestions;
  appendSelections.append(selected);
  if (onShown) onShown();
  if (appendAnswers_.isEmpty()) {
    ++unansweredAppendQuestions;
    return AppendChoice::Cancel;
  }
  return appendAnswers_.dequeue();
}

bool ScriptedDialogs::print(QWidget*, QPrinter& printer, const PrintDialogSettings& settings) {
  printDialogs.append(settings);
  if (onShown) onShown();
  if (printAnswers_.isEmpty()) return false;
  auto configure = printAnswers_.dequeue();
  if (!configure) return false;
  configure(printer);
  return true;
}

void ScriptedDialogs::printPreview(QWidget*, QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
  ++previews;
  if (onShown) onShown();
  if (previewPrinter) previewPrinter(printer);
  paint(printer);
}

QString ScriptedDialogs::chooseExportFile(QWidget*, const QString& title, const QString&, const QString& proposed) {
  exportTitles.append(title);
  exportProposals.append(proposed);
  if (onShown) onShown();
  return exportAnswers_.isEmpty() ? QString() : exportAnswers_.dequeue();
}

QStringList ScriptedDialogs::openFiles(QWidget*, const QString& title, const QString& dir, const QString& filter) {
  openDialogs.append({title, dir, filter});
  if (onShown) onShown();
  return openAnswers_.isEmpty() ? QStringList() : openAnswers_.dequeue();
}

Dialogs::RecoveryChoice ScriptedDialogs::askRecovery(QWidget*, const QString& text, const QString& details) {
  recoveryQuestions.append({text, details});
  if (onShown) onShown();
  return recoveryAnswers_.isEmpty() ? RecoveryChoice::Later : recoveryAnswers_.dequeue();
}

std::optional<QStringList> ScriptedDialogs::editDefaultSpacings(QWidget*, const QStringList& current,
                                                                const QStringList& builtIn) {
  spacingDialogs.append({current, builtIn});
  if (onShown) onShown();
  return spacingAnswers_.isEmpty() ? std::nullopt : spacingAnswers_.dequeue();
}

QString ScriptedDialogs::openCsvFile(QWidget*, const QString& dir) {
  csvOpenFolders.append(dir);
  if (onShown) onShown();
  return csvOpenAnswers_.isEmpty() ? QString() : csvOpenAnswers_.dequeue();
}

QString ScriptedDialogs::saveCsvFile(QWidget*, const QString& proposed) {
  csvSaveProposals.append(proposed);
  if (onShown) onShown();
  return csvSaveAnswers_.isEmpty() ? QString() : csvSaveAnswers_.dequeue();
}

bool ScriptedDialogs::confirmCsvImport(QWidget*, CsvImportRequest& request) {
  csvPreviews.append(DescribeCsvImport(request));
  if (onShown) onShown();
  if (csvImportAnswers_.isEmpty()) return false;
  const CsvImportAnswer answer = csvImportAnswers_.dequeue();
  if (answer.encoding) {
    request.read(*answer.encoding);
    csvPreviews.append(DescribeCsvImport(request));
  }
  return answer.import && csvPreviews.constLast().importable;
}

std::optional<PdfReportChoice> ScriptedDialogs::choosePdfReport(QWidget*, const PdfReportRequest& request) {
  pdfReportDialogs.append(request);
  if (onShown) onShown();
  return pdfReportAnswers_.isEmpty() ? std::nullopt : pdfReportAnswers_.dequeue();
}
