#include "ui/dialogs.h"

#include <QCoreApplication>
#include <QAbstractButton>
#include <QPushButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>

#include "ui/appendreplacedialog.h"
#include "ui/csvimportdialog.h"
#include "ui/pdfreportdialog.h"
#include "ui/spacingsdialog.h"
#include "ui/widgets.h"

QString ErrorBoxText(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}

Dialogs::Answer QtDialogs::message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                                   Buttons buttons, const QString& details) {
  QMessageBox box(owner);
  box.setWindowTitle(caption);
  box.setText(text);
  switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
  }
  QAbstractButton* replace = nullptr;
  QAbstractButton* skip = nullptr;
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case Buttons::ReplaceSkipCancel:
      replace = box.addButton(QCoreApplication::translate("QtDialogs", "替换"), QMessageBox::AcceptRole);
      skip = box.addButton(QCoreApplication::translate("QtDialogs", "跳过"), QMessageBox::RejectRole);
      box.addButton(QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
  }
  if (!details.isEmpty()) box.setDetailedText(details);
  const int result = box.exec();
  if (replace != nullptr && box.clickedButton() == replace) return Answer::Replace;
  if (skip != nullptr && box.clickedButton() == skip) return Answer::Skip;
  switch (result) {
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default:
      switch (buttons) {
        case Buttons::YesNo: return Answer::No;
        case Buttons::Ok: return Answer::Ok;
        default: return Answer::Cancel;
      }
  }
}

bool QtDialogs::saveFile(QWidget* owner, SaveDialogState& state) {
  QFileDialog dialog(owner, state.title, state.initialDir);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The append/replace question is the only question about an existing file.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  const QStringList parts = state.filter.split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i];
  dialog.setNameFilters(filters);
  if (state.filterIndex >= 1 && state.filterIndex <= filters.size()) dialog.selectNameFilter(filters[state.filterIndex - 1]);
  if (!state.fileName.isEmpty()) dialog.selectFile(state.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  state.fileName = dialog.selectedFiles().constFirst();
  state.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  if (state.filterIndex < 1) state.filterIndex = 1;
  return true;
}

QString QtDialogs::chooseFolder(QWidget* owner, const QString& title, const QString& dir) {
  return QFileDialog::getExistingDirectory(owner, title, dir);
}

Dialogs::AppendChoice QtDialogs::askAppendOrReplace(AppendChoice selected) {
  AppendReplaceDialog dialog;  // no owner, centred on the screen
  if (selected == AppendChoice::Replace) dialog.DataRG->setItemIndex(1);
  if (dialog.exec() != QDialog::Accepted) return AppendChoice::Cancel;
  return dialog.DataRG->itemIndex() == 0 ? AppendChoice::Append : AppendChoice::Replace;
}

bool QtDialogs::print(QWidget* owner, QPrinter& printer, const PrintDialogSettings& settings) {
  QPrintDialog dialog(&printer, owner);
  QAbstractPrintDialog::PrintDialogOptions options;
  if (settings.allowPageRange) options |= QAbstractPrintDialog::PrintPageRange;
  if (settings.allowSelection) options |= QAbstractPrintDialog::PrintSelection;
  dialog.setOptions(options);
  dialog.setMinMax(settings.minPage, settings.maxPage);
  printer.setFromTo(settings.fromPage, settings.toPage);
  return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::printPreview(QWidget* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
  QPrintPreviewDialog dialog(&printer, owner);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* p) { paint(*p); });
  dialog.exec();
}

QString QtDialogs::chooseExportFile(QWidget* owner, const QString& title, const QString& filter,
                                   const QString& proposed) {
  QFileDialog dialog(owner, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = filter.split(QStringLiteral(";;"));
  dialog.setNameFilters(filters);
  // A name typed without a suffix gets the one of the chosen filter ("... (*.svg)" gives svg).
  auto suffixOf = [](const QString& nameFilter) {
    const qsizetype star = nameFilter.indexOf(QStringLiteral("*."));
    if (star < 0) return QString();
    QString suffix = nameFilter.mid(star + 2);
    const qsizetype end = suffix.indexOf(QRegularExpression(QStringLiteral("[ )]")));
    return end < 0 ? suffix : suffix.left(end);
  };
  dialog.setDefaultSuffix(suffixOf(filters.value(0)));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
  if (!proposed.isEmpty()) {
    dialog.setDirectory(QFileInfo(proposed).absolutePath());
    dialog.selectFile(proposed);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().constFirst();
}

QStringList QtDialogs::openFiles(QWidget* owner, const QString& title, const QString& dir, const QString& filter) {
  return QFileDialog::getOpenFileNames(owner, title, dir, filter);
}

Dialogs::RecoveryChoice QtDialogs::askRecovery(QWidget* owner, const QString& text, const QString& details) {
  QMessageBox box(owner);
  box.setObjectName(QStringLiteral("RecoveryQuestion"));
  box.setWindowTitle(QCoreApplication::translate("QtDialogs", "恢复数据"));
  box.setIcon(QMessageBox::Question);
  box.setText(text);
  box.setInformativeText(details);
  QAbstractButton* restore = box.addButton(QCoreApplication::translate("QtDialogs", "恢复"), QMessageBox::AcceptRole);
  QAbstractButton* discard = box.addButton(QCoreApplication::translate("QtDialogs", "放弃"), QMessageBox::DestructiveRole);
  QAbstractButton* later = box.addButton(QCoreApplication::translate("QtDialogs", "以后再说"), QMessageBox::RejectRole);
  box.setDefaultButton(qobject_cast<QPushButton*>(restore));
  box.setEscapeButton(later);
  box.exec();
  if (box.clickedButton() == restore) return RecoveryChoice::Restore;
  if (box.clickedButton() == discard) return RecoveryChoice::Discard;
  return RecoveryChoice::Later;
}

std::optional<QStringList> QtDialogs::editDefaultSpacings(QWidget* owner, const QStringList& current,
                                                          const QStringList& builtIn) {
  SpacingsDialog dialog(current, builtIn, owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.spacings();
}

namespace {
QString Tr(const char* text) { return QCoreApplication::translate("QtDialogs", text); }
const char* const kCsvFilter = QT_TRANSLATE_NOOP("QtDialogs", "CSV 表格 (*.csv);;文本文件 (*.txt);;所有文件 (*)");
}

QString QtDialogs::openCsvFile(QWidget* owner, const QString& dir) {
  return QFileDialog::getOpenFileName(owner, QCoreApplication::translate("QtDialogs", "导入 CSV"), dir, Tr(kCsvFilter));
}

QString QtDialogs::saveCsvFile(QWidget* owner, const QString& proposed) {
  QFileDialog dialog(owner, QCoreApplication::translate("QtDialogs", "导出 CSV"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(Tr(kCsvFilter).split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  dialog.selectFile(proposed);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().constFirst();
}

bool QtDialogs::confirmCsvImport(QWidget* owner, CsvImportRequest& request) {
  CsvImportDialog dialog(request, owner);
  return dialog.exec() == QDialog::Accepted && request.importable();
}

std::optional<PdfReportChoice> QtDialogs::choosePdfReport(QWidget* owner, const PdfReportRequest& request) {
  PdfReportDialog dialog(request, owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}
