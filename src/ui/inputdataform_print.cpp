// Printing: the listing of the stations in memory, sent line by line to the chosen printer.
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

void TInputDataForm::printListing() {
  finishEditing();
  if (survey_->stations().empty()) {
    dialogs().message(this, kPrintFailed, QStringLiteral("没有数据可以打印。"), Dialogs::Icon::None,
                      Dialogs::Buttons::Ok);
    return;
  }

  // The profile data types have no listing: their document is empty.
  const std::vector<std::string> lines = survey_->listing();

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

  QPainter painter;
  if (!painter.begin(&printer)) {
    dialogs().message(this, kPrintFailed, QStringLiteral("无法开始打印，请检查打印机。"), Dialogs::Icon::Warning,
                      Dialogs::Buttons::Ok);
    return;
  }
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
  complete = painter.end() && complete;
  // A document that the printing system could not take whole is not passed off as printed.
  if (!complete)
    dialogs().message(this, kPrintFailed, QStringLiteral("打印未能完成，请检查打印机。"), Dialogs::Icon::Warning,
                      Dialogs::Buttons::Ok);
}
