// Printing: the listing of the stations in memory, sent line by line to the chosen printer;
// the PDF report, the listing's pages and the plot pages written to a file.
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>

#include "ui/gbkqt.h"
#include "ui/inputdataform.h"
#include "ui/exportpath.h"
#include "ui/pdfreport.h"
#include "ui/plotpane.h"

namespace {
const QString kPrintFailed = QStringLiteral("打印失败");

QString Path(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

// The report proposed beside the survey's file and named after it; without a file, named after
// the line (ProposedExportPath: a folder the user may write to).
QString ProposedReportPath(const Survey& survey) {
  const QString base = !survey.file().empty() ? QFileInfo(Path(survey.file())).completeBaseName()
                                              : FromGbk(survey.stations().front().Profile);
  return ProposedExportPath(survey, QString(), base, QCoreApplication::translate("TInputDataForm", "观测数据报告"),
                            QStringLiteral(".pdf"));
}
}  // namespace

bool TInputDataForm::listingAvailable() {
  if (!survey_->stations().empty()) return true;
  dialogs().message(this, tr("打印失败"), tr("没有数据可以打印。"), Dialogs::Icon::None, Dialogs::Buttons::Ok);
  return false;
}

TInputDataForm::Painted TInputDataForm::paintListing(QPrinter& printer) {
  // The profile data types have no listing: their document is empty. The printer's own
  // default font.
  QPainter painter;
  if (!painter.begin(&printer)) return Painted::NotStarted;
  const bool complete = PaintListingPages(painter, printer, survey_->listing());
  return painter.end() && complete ? Painted::Complete : Painted::Incomplete;
}

void TInputDataForm::printListing() {
  finishEditing();
  if (!listingAvailable()) return;

  // Pages 1 to 5 are proposed and allowed; the range and the selection chosen do not limit
  // what is printed: the whole listing is.
  QPrinter printer(QPrinter::HighResolution);
  PrintDialogSettings settings;
  settings.fromPage = 1;
  settings.toPage = 5;
  settings.minPage = 1;
  settings.maxPage = 5;
  settings.allowPageRange = true;
  settings.allowSelection = true;
  if (!dialogs().print(this, printer, settings)) return;

  switch (paintListing(printer)) {
    case Painted::Complete: break;
    case Painted::NotStarted:
      dialogs().message(this, tr("打印失败"), tr("无法开始打印，请检查打印机。"), Dialogs::Icon::Warning,
                        Dialogs::Buttons::Ok);
      break;
    case Painted::Incomplete:
      // A document that the printing system could not take whole is not passed off as printed.
        dialogs().message(this, tr("打印失败"), tr("打印未能完成，请检查打印机。"), Dialogs::Icon::Warning,
                        Dialogs::Buttons::Ok);
      break;
  }
}

void TInputDataForm::previewListing() {
  finishEditing();
  if (!listingAvailable()) return;
  // The preview shows exactly the pages printing would send; printing from it prints them.
  QPrinter printer(QPrinter::HighResolution);
  dialogs().printPreview(this, printer, [this](QPrinter& p) { paintListing(p); });
}

void TInputDataForm::exportPdfReport() {
  finishEditing();
  const QString caption = tr("导出 PDF 报告");
  const Survey& s = *survey_;
  if (s.stations().empty()) {
    dialogs_.message(this, caption, tr("没有数据可以导出。"), Dialogs::Icon::None, Dialogs::Buttons::Ok);
    return;
  }
  PdfReportRequest request;
  request.proposedPath = ProposedReportPath(s);
  request.hasListing = s.spec().listing != ListingKind::None;
  const std::optional<PdfReportChoice> choice = dialogs_.choosePdfReport(this, request);
  if (!choice || choice->path.isEmpty()) return;

  PdfReportContent content;
  content.type = s.type();
  content.stations = s.stations();
  content.listing = s.listing();
  content.withPlots = choice->withPlots;
  // The induced-polarisation parameter the plot pane shows.
  if (const auto* ip = Plot->findChild<QComboBox*>(QStringLiteral("IpParameter")); ip && ip->currentData().isValid())
    content.ipColumn = ip->currentData().toInt();
  content.title = tr("电法观测数据 %1").arg(QFileInfo(choice->path).completeBaseName());
  content.creator = kAppTitle;
  content.date = QDate::currentDate();

  // Shown when drawing the pages takes longer than a second; cancelling it writes nothing.
  QProgressDialog progress(tr("正在生成 PDF 报告…"), tr("取消"), 0, 1, this);
  progress.setObjectName(QStringLiteral("PdfProgress"));
  progress.setWindowTitle(caption);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(1000);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  auto step = [&progress](int done, int total) {
    if (progress.maximum() != total) progress.setMaximum(total);
    progress.setValue(done);
    return !progress.wasCanceled();
  };
  QString error;
  const PdfReportResult result = WritePdfReport(choice->path, content, step, &error);
  progress.close();
  if (result == PdfReportResult::Failed)
    dialogs_.message(this, caption, tr("无法写入文件 %1，PDF 报告没有导出。").arg(QDir::toNativeSeparators(choice->path)),
                     Dialogs::Icon::Warning, Dialogs::Buttons::Ok, error);
}
