// Printing: the listing of the stations in memory, sent line by line to the chosen printer.
#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <string>
#include <vector>

#include "print/listing.h"
#include "ui/stringgrid.h"
#include "ui/gbkqt.h"
#include "ui/inputdataform.h"

namespace {
const QString kPrintFailed = QStringLiteral("打印失败");
}

bool TInputDataForm::listingAvailable() {
  if (!survey_->stations().empty()) return true;
  dialogs().message(this, tr("打印失败"), tr("没有数据可以打印。"), Dialogs::Icon::None, Dialogs::Buttons::Ok);
  return false;
}

TInputDataForm::Painted TInputDataForm::paintListing(QPrinter& printer) {
  // The profile data types have no listing: their document is empty.
  const std::vector<std::string> lines = survey_->listing();
  QPainter painter;
  if (!painter.begin(&printer)) return Painted::NotStarted;
  // The printer's own default font; each line is placed by its top edge.
  const QFontMetrics metrics(painter.font(), &printer);
  const std::vector<ListingPage> pages = LayOutListing(lines, metrics.height(), printer.height());
  bool complete = true;
  for (std::size_t p = 0; p < pages.size() && complete; ++p) {
    if (p > 0) complete = printer.newPage();
    if (!complete) break;
    for (const PlacedLine& line : pages[p].lines)
      painter.drawText(kListingLeft, line.y + metrics.ascent(), FromGbk(line.text));
  }
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
