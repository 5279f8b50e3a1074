#pragma once
// The pages of the listing and of the PDF report (文件 › 导出 PDF 报告). The listing's pages are
// painted by one routine for printing, the print preview and the report, so that the report's
// listing is laid out exactly as the printed one. After them the report can hold a page per
// station (sounding types) or per line (profile types) with its plot, drawn by PlotChart as the
// plot pane draws it, headed by the station's name, coordinates, work area, line, operator,
// instrument and the report's date. A sounding station with a layered model shows the model's
// curve over its readings and, below the chart, the model's table: where it came from, its
// root mean square misfit to the readings, and per layer thickness, depth and resistivity.
// After the plot pages come the sections of each line of soundings (the pseudo-section and the
// geoelectric section), or the plan map of the profiling lines, as the window's section view
// draws them.

#include <QDate>
#include <QString>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "model/sdata.h"

class QPainter;
class QPagedPaintDevice;

// Paints the listing's GBK lines onto device from its current page on, in the painter's font,
// laid out by LayOutListing for the font's line height and the device's page height. Before
// each page, beforePage (when given) is told its index and the page count; false stops there.
// Returns true when every page was painted; false when the device refused a new page or
// beforePage stopped.
bool PaintListingPages(QPainter& painter, QPagedPaintDevice& device, const std::vector<std::string>& lines,
                       const std::function<bool(std::size_t page, std::size_t pages)>& beforePage = {});

// The units each plot page shows, as indices into the station list: one station (sounding
// types) or four-pole line per page; for combined profiling the branches of a line (units of
// the same line text), the first A with the first B, the second A with the second B, and so
// on, a branch without a partner alone. Pages follow the list's order.
std::vector<std::vector<std::size_t>> PlotPageUnits(DataType type, const StationList& stations);

struct PdfReportContent {
  DataType type = dtSounding;
  StationList stations;
  std::vector<std::string> listing;  // the listing's GBK lines; empty for the profile types
  bool withPlots = false;            // the plot pages follow the listing
  int ipColumn = colZP;              // water finding: the induced-polarisation parameter plotted
  QString title;                     // the document's title
  QString creator;                   // the program, as the document's creator
  QDate date;                        // the date in every page heading
};

// The number of pages WritePdfReport writes for content: the listing's pages (none when the
// listing is empty) and, when chosen, the plot pages and the section pages.
int PdfReportPageCount(const PdfReportContent& content);

enum class PdfReportResult { Written, Cancelled, Failed };

// Writes the report to path: A4 pages at the printer's high resolution, the listing's pages
// (when the listing has lines) then, when content.withPlots, the plot pages; the document's
// creator is the program. The file is written whole beside the target and renamed over it
// (SaveFileAtomically), so a failure or a cancel leaves no file and an existing one as it was.
// progress (when given) is called before each page with the pages done and the page count;
// false cancels. On failure error (when given) gets the reason for the user.
PdfReportResult WritePdfReport(const QString& path, const PdfReportContent& content,
                               const std::function<bool(int done, int total)>& progress = {},
                               QString* error = nullptr);
