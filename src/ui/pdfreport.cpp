#include "ui/pdfreport.h"

#include <QBuffer>
#include <QChart>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "interp/stationmodel.h"
#include "io/atomicfile.h"
#include "io/textconv.h"
#include "plot/crossings.h"
#include "plot/series.h"
#include "print/listing.h"
#include "session/datatypespec.h"
#include "ui/coretext.h"
#include "ui/gbkqt.h"
#include "ui/plotchart.h"
#include "ui/sectionview.h"

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("PdfReport", text); }

// The font of the page headings: the installed Chinese font, which the PDF embeds.
const QString kHeadingFamily = QStringLiteral("WenQuanYi Micro Hei");

const QString kListSeparator = QStringLiteral("、");

// The branch colours of the plot pane.
const QColor kBranchColor[] = {QColor(31, 95, 191), QColor(214, 90, 20)};

// The width, in the chart's own pixels, at which a chart is laid out before it is drawn into
// its place on the page: its texts then take the share of the page they take in the pane.
constexpr qreal kChartWidth = 600.0;

QString Number(float v) { return QString::fromStdString(FormatFloatShortest(v)); }

// A value of a model as the .ves file writes it: six significant digits.
QString ModelNumber(double v) { return QString::number(v, 'g', 6); }

// The curve of the station's model from its smallest AB/2 to its largest; none when the
// station has no usable model or no spacing to draw it over.
QList<QPointF> StationModelCurve(const sdata& s) {
  double lo = 0.0, hi = 0.0;
  for (float a : s.Columns[colAB2]) {
    if (!std::isfinite(a) || a <= 0.0f) continue;
    lo = lo == 0.0 ? a : std::min<double>(lo, a);
    hi = std::max<double>(hi, a);
  }
  return ModelCurvePoints(s.Model, lo, hi);
}

QString OriginText(ModelOrigin origin) {
  switch (origin) {
    case ModelOrigin::Fitted: return Tr("拟合");
    case ModelOrigin::Edited: return Tr("手工编辑");
    default: return Tr("读自文件");
  }
}

// The device's page with the same geometry as the printer the listing is printed on: its
// resolution and margins, on A4.
void SetUpPages(QPdfWriter& writer) {
  const QPrinter printer(QPrinter::HighResolution);
  writer.setResolution(printer.resolution());
  QPageLayout layout = printer.pageLayout();
  layout.setPageSize(QPageSize(QPageSize::A4), layout.margins());
  layout.setOrientation(QPageLayout::Portrait);
  writer.setPageLayout(layout);
}

// Draws the charts of the plot pages, one chart for the resistivities and one for the
// induced-polarisation parameter, made once for the whole report.
class ChartPainter {
 public:
  ChartPainter() : host_(std::make_unique<QWidget>()) {
    curve_ = std::make_unique<PlotChart>(host_.get(), QStringLiteral("PdfCurveChart"));
    ip_ = std::make_unique<PlotChart>(host_.get(), QStringLiteral("PdfIpChart"));
  }
  PlotChart& curve() { return *curve_; }
  PlotChart& ip() { return *ip_; }

  // Lays chart out at a fixed width with target's proportions and draws it into target.
  static void draw(PlotChart& chart, QPainter& painter, const QRectF& target) {
    QChart* c = chart.chart();
    c->resize(QSizeF(kChartWidth, kChartWidth * target.height() / target.width()));
    c->scene()->setSceneRect(c->geometry());
    // Laid out now, not when control returns to the event loop.
    if (c->layout() != nullptr) c->layout()->activate();
    chart.render(painter, target);
  }

 private:
  std::unique_ptr<QWidget> host_;  // parent of the charts' views; deleted after the charts
  std::unique_ptr<PlotChart> curve_;
  std::unique_ptr<PlotChart> ip_;
};

class ReportWriter {
 public:
  ReportWriter(const PdfReportContent& content, QPainter& painter, QPagedPaintDevice& device)
      : c_(content), spec_(SpecFor(content.type)), painter_(painter), device_(device) {}

  // The plot page of the given units, on the painter's current page.
  void paintPlotPage(const std::vector<std::size_t>& units) {
    const qreal left = kListingLeft, right = device_.width() - kListingLeft;
    qreal y = kListingTop;
    y = paintHeading(units, left, right, y);
    const QRectF area(left, y, right - left, device_.height() - kListingBottomMargin - y);
    paintCharts(units, area);
  }

 private:
  const sdata& unit(std::size_t i) const { return c_.stations[i]; }

  // The values of a text field of the units, each once, joined.
  QString joined(const std::vector<std::size_t>& units, std::string sdata::*field) const {
    QStringList values;
    for (std::size_t i : units) {
      const QString v = FromGbk(unit(i).*field);
      if (!values.contains(v)) values << v;
    }
    return values.join(kListSeparator);
  }

  qreal paintHeading(const std::vector<std::size_t>& units, qreal left, qreal right, qreal y) {
    const bool sounding = IsSoundingType(c_.type);
    const sdata& first = unit(units.front());

    QStringList names, places;
    for (std::size_t i : units) {
      const sdata& s = unit(i);
      names << FromGbk(s.Name);
      const QString place = QStringLiteral("x = %1, y = %2").arg(Number(s.X), Number(s.Y));
      places << (units.size() > 1 ? Tr("%1：%2").arg(FromGbk(s.Name), place) : place);
    }
    const QString title = sounding ? Tr("测点 %1").arg(FromGbk(first.Name))
                                   : Tr("测线 %1").arg(FromGbk(c_.type == dtCombinedProfile ? first.Profile : first.Name));

    QFont titleFont(kHeadingFamily);
    titleFont.setPointSizeF(15);
    titleFont.setBold(true);
    QFont fieldFont(kHeadingFamily);
    fieldFont.setPointSizeF(10.5);

    painter_.setPen(Qt::black);
    painter_.setFont(titleFont);
    const QFontMetricsF titleMetrics(titleFont, &device_);
    painter_.drawText(QPointF(left, y + titleMetrics.ascent()),
                      titleMetrics.elidedText(title, Qt::ElideRight, right - left));
    y += titleMetrics.height() * 1.6;

    // Label: value, two to a line.
    const QList<std::pair<QString, QString>> fields = {
        {sounding ? Tr("测点") : Tr("名称"), names.join(kListSeparator)},
        {Tr("坐标"), places.join(QStringLiteral("；"))},
        {Tr("工区"), joined(units, &sdata::WorkArea)},
        {Tr("测线"), joined(units, &sdata::Profile)},
        {Tr("操作员"), joined(units, &sdata::Operator)},
        {Tr("仪器"), joined(units, &sdata::Instrument)},
        {Tr("报告日期"), QLocale::c().toString(c_.date, QStringLiteral("yyyy-MM-dd"))},
    };
    painter_.setFont(fieldFont);
    const QFontMetricsF metrics(fieldFont, &device_);
    const qreal column = (right - left) / 2;
    for (qsizetype f = 0; f < fields.size(); ++f) {
      const QString text = Tr("%1：%2").arg(fields[f].first, fields[f].second);
      const qreal x = left + (f % 2) * column;
      painter_.drawText(QPointF(x, y + metrics.ascent()), metrics.elidedText(text, Qt::ElideRight, column - metrics.height()));
      if (f % 2 == 1 || f + 1 == fields.size()) y += metrics.lineSpacing() * 1.3;
    }
    y += metrics.lineSpacing() * 0.4;
    painter_.setPen(QPen(Qt::black, 4));
    painter_.drawLine(QPointF(left, y), QPointF(right, y));
    return y + metrics.lineSpacing();
  }

  void paintCharts(const std::vector<std::size_t>& units, const QRectF& area) {
    const CurveKind kind = IsSoundingType(c_.type) ? CurveKind::Sounding : CurveKind::Profile;
    const QString xTitle = AxisTitle(spec_, kind == CurveKind::Profile ? colPointNo : colAB2);
    const QString rhoTitle = AxisTitle(spec_, colRho);
    const bool withIp = c_.type == dtWaterFinding && GridColumnOf(spec_.layout, c_.ipColumn) > 0;

    // Layers 0 and 2 of PlotChart: the first unit in the colour of branch A (or of the one
    // station), the second in that of branch B.
    Series curves[PlotChart::kLayers];
    QString names[PlotChart::kLayers];
    int colour[PlotChart::kLayers] = {0, 0, 1};
    const int layerOf[] = {0, 2};
    for (std::size_t u = 0; u < units.size() && u < 2; ++u) {
      const sdata& s = unit(units[u]);
      const int l = layerOf[u];
      curves[l] = SeriesFromStation(s, kind, colRho);
      names[l] = c_.type == dtCombinedProfile ? Tr("%1 支").arg(FromGbk(s.Name)) : FromGbk(s.Name);
      colour[l] = c_.type == dtCombinedProfile && s.Name == "B" ? 1 : 0;
    }
    QList<QPointF> crossings;
    if (!curves[0].empty() && !curves[2].empty())
      for (const Crossing& x : FindCrossings(curves[0], curves[2])) crossings << QPointF(x.x, x.y);

    // A sounding station with a layered model: the model's curve over the readings, and the
    // model's table below the chart.
    const sdata& first = unit(units.front());
    const bool modelled = c_.type == dtSounding && !first.Model.empty();
    const QList<QPointF> modelCurve = modelled ? StationModelCurve(first) : QList<QPointF>();
    const Series modelSeries = SeriesOfPoints(CurveKind::Sounding, modelCurve);

    auto fill = [&](PlotChart& chart, CurveKind k, const Series* series, const QString& yTitle, bool withModel) {
      chart.setAxes(FitAxes(k, {&series[0], &series[1], &series[2], withModel ? &modelSeries : nullptr}), XScale(k),
                    YScale(k), xTitle, yTitle);
      for (int l = 0; l < PlotChart::kLayers; ++l)
        chart.setLayer(l, series[l], names[l], PlotChart::Style{kBranchColor[colour[l]], 2.0, 7.0});
      chart.setModelCurve(withModel ? modelCurve : QList<QPointF>(), Tr("模型曲线"));
      chart.setOutliers({}, QString());
      chart.setCrossings(k == CurveKind::Profile ? crossings : QList<QPointF>(), Tr("交点"));
      chart.refreshLegend();
      // One station needs no legend unless its model is drawn beside it; the two branches of a
      // line do.
      chart.chart()->legend()->setVisible(units.size() > 1 || (withModel && !modelCurve.isEmpty()));
    };

    fill(charts_.curve(), kind, curves, rhoTitle, true);
    if (!withIp) {
      // A chart of 4 : 3 at the top of the area, as wide as it, above the model's table.
      const qreal table = modelled ? modelTableHeight(first) : 0.0;
      const qreal h = std::max(std::min(area.height() - table, area.width() * 0.75), area.height() * 0.45);
      ChartPainter::draw(charts_.curve(), painter_, QRectF(area.left(), area.top(), area.width(), h));
      if (modelled) paintModelTable(first, QRectF(area.left(), area.top() + h, area.width(), area.height() - h));
      return;
    }
    Series ip[PlotChart::kLayers];
    ip[0] = SeriesFromStation(unit(units.front()), CurveKind::SoundingIp, c_.ipColumn);
    fill(charts_.ip(), CurveKind::SoundingIp, ip, AxisTitle(spec_, c_.ipColumn), false);
    // The resistivities above, the parameter below.
    const qreal gap = area.height() * 0.03;
    const qreal h = std::min((area.height() - gap) / 2, area.width() * 0.62);
    ChartPainter::draw(charts_.curve(), painter_, QRectF(area.left(), area.top(), area.width(), h));
    ChartPainter::draw(charts_.ip(), painter_, QRectF(area.left(), area.top() + h + gap, area.width(), h));
  }

  QFont tableFont() const {
    QFont font(kHeadingFamily);
    font.setPointSizeF(10.5);
    return font;
  }
  qreal tableLine() const { return QFontMetricsF(tableFont(), &device_).lineSpacing() * 1.25; }

  // The model's table: a gap, its title, the column headings and a line per layer.
  qreal modelTableHeight(const sdata& s) const {
    return tableLine() * (static_cast<qreal>(std::min(s.Model.Thickness.size(), s.Model.Resistivity.size())) + 3.0);
  }

  // The station's model in box: where it came from and how far it misses the readings, then a
  // line per layer (number, thickness, depth of its bottom, resistivity; the half-space has no
  // thickness); the layers that do not fit are counted in a last line.
  void paintModelTable(const sdata& s, const QRectF& box) {
    const QFont font = tableFont();
    const QFontMetricsF metrics(font, &device_);
    const qreal line = tableLine();
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    qreal y = box.top() + line;
    auto text = [&](qreal x, const QString& t) { painter_.drawText(QPointF(x, y + metrics.ascent()), t); };

    QString title = Tr("层状模型（%1）").arg(OriginText(s.Model.Origin));
    const double rms = RmsResidualPercent(s.Columns[colRho], ModelApparentResistivity(s));
    if (std::isfinite(rms)) title += Tr("，与观测值的均方根误差 %1%").arg(QString::number(rms, 'f', 1));
    text(box.left(), title);
    y += line;
    const qreal column = box.width() / 4;
    const QStringList headings = {Tr("层号"), Tr("层厚 (m)"), Tr("层底深度 (m)"), Tr("电阻率 (Ω·m)")};
    for (qsizetype c = 0; c < headings.size(); ++c) text(box.left() + static_cast<qreal>(c) * column, headings[c]);
    painter_.drawLine(QPointF(box.left(), y + line * 0.9), QPointF(box.right(), y + line * 0.9));
    y += line;

    const std::size_t layers = std::min(s.Model.Thickness.size(), s.Model.Resistivity.size());
    double depth = 0.0;
    for (std::size_t k = 0; k < layers; ++k) {
      if (y + 2 * line > box.bottom() && k + 1 < layers) {
        text(box.left(), Tr("……另有 %1 层").arg(static_cast<qulonglong>(layers - k)));
        break;
      }
      const bool halfSpace = k + 1 == layers;
      depth += halfSpace ? 0.0 : s.Model.Thickness[k];
      text(box.left(), QString::number(k + 1));
      text(box.left() + column, halfSpace ? QStringLiteral("—") : ModelNumber(s.Model.Thickness[k]));
      text(box.left() + 2 * column, halfSpace ? QStringLiteral("—") : ModelNumber(depth));
      text(box.left() + 3 * column, ModelNumber(s.Model.Resistivity[k]));
      y += line;
    }
  }

  const PdfReportContent& c_;
  const DataTypeSpec& spec_;
  QPainter& painter_;
  QPagedPaintDevice& device_;
  ChartPainter charts_;
};

bool PlotsWritten(const PdfReportContent& content) { return content.withPlots || content.listing.empty(); }

// The section pages after the plot pages: one per line of soundings, or the plan map of the
// profiling lines; none without plot pages.
std::vector<std::string> SectionPageLines(const PdfReportContent& content) {
  if (!PlotsWritten(content) || content.stations.empty()) return {};
  if (IsSoundingType(content.type)) return SoundingLines(content.stations);
  return {std::string()};
}

// A section page: its heading, then the pictures one above the other, painted as the window's
// section view paints them on a page 1200 units wide.
void PaintSectionPage(QPainter& painter, const QPagedPaintDevice& device, const PdfReportContent& content,
                      const std::string& line) {
  constexpr double kWidth = 1200.0;
  const double scale = device.width() / kWidth;
  const double height = device.height() / scale;
  painter.save();
  painter.scale(scale, scale);
  QFont font = painter.font();
  font.setPixelSize(15);
  painter.setFont(font);
  const bool sounding = IsSoundingType(content.type);
  const QString heading = sounding ? Tr(QT_TRANSLATE_NOOP("PdfReport", "断面图：测线 %1")).arg(FromGbk(line))
                                   : Tr(QT_TRANSLATE_NOOP("PdfReport", "剖面平面图"));
  const QString date = Tr("%1：%2").arg(Tr("报告日期"), QLocale::c().toString(content.date, QStringLiteral("yyyy-MM-dd")));
  painter.drawText(QRectF(0, 0, kWidth, 30), Qt::AlignLeft | Qt::AlignVCenter, heading);
  painter.drawText(QRectF(0, 0, kWidth, 30), Qt::AlignRight | Qt::AlignVCenter, date);
  font.setPixelSize(13);
  painter.setFont(font);
  const std::vector<SectionPicture> pictures = SectionPictures(
      content.type, content.stations, line,
      sounding ? SectionDepth(content.stations, LineStations(content.stations, line)) : 0.0);
  const ValueRange range = CommonRange(pictures);
  const double each = std::min(520.0, (height - 50.0) / static_cast<double>(pictures.size()));
  for (std::size_t i = 0; i < pictures.size(); ++i)
    pictures[i].paint(painter, QRect(0, static_cast<int>(40 + i * each), static_cast<int>(kWidth), static_cast<int>(each) - 10), range);
  // Crossings of combined profiling, listed below the map.
  const QStringList crossings = pictures.front().crossingTexts();
  if (!crossings.isEmpty())
    painter.drawText(QRectF(0, 40 + each * static_cast<double>(pictures.size()), kWidth, height), Qt::AlignLeft | Qt::AlignTop,
                     crossings.join(QLatin1Char('\n')));
  painter.restore();
}

}  // namespace

bool PaintListingPages(QPainter& painter, QPagedPaintDevice& device, const std::vector<std::string>& lines,
                       const std::function<bool(std::size_t page, std::size_t pages)>& beforePage) {
  // Each line is placed by its top edge, in the painter's font as the device measures it.
  const QFontMetrics metrics(painter.font(), &device);
  const std::vector<ListingPage> pages = LayOutListing(lines, metrics.height(), device.height());
  for (std::size_t p = 0; p < pages.size(); ++p) {
    if (beforePage && !beforePage(p, pages.size())) return false;
    if (p > 0 && !device.newPage()) return false;
    for (const PlacedLine& line : pages[p].lines)
      painter.drawText(kListingLeft, line.y + metrics.ascent(), FromGbk(line.text));
  }
  return true;
}

std::vector<std::vector<std::size_t>> PlotPageUnits(DataType type, const StationList& stations) {
  std::vector<std::vector<std::size_t>> pages;
  if (type != dtCombinedProfile) {
    for (std::size_t i = 0; i < stations.size(); ++i) pages.push_back({i});
    return pages;
  }
  // The lines in the order of their first branch; in each, branches A and B paired in order.
  std::vector<std::string> lines;
  for (const sdata& s : stations)
    if (std::find(lines.begin(), lines.end(), s.Profile) == lines.end()) lines.push_back(s.Profile);
  for (const std::string& line : lines) {
    std::vector<std::size_t> a, b, other;
    for (std::size_t i = 0; i < stations.size(); ++i) {
      if (stations[i].Profile != line) continue;
      (stations[i].Name == "A" ? a : stations[i].Name == "B" ? b : other).push_back(i);
    }
    for (std::size_t k = 0; k < std::max(a.size(), b.size()); ++k) {
      std::vector<std::size_t> page;
      if (k < a.size()) page.push_back(a[k]);
      if (k < b.size()) page.push_back(b[k]);
      pages.push_back(std::move(page));
    }
    for (std::size_t i : other) pages.push_back({i});
  }
  return pages;
}

int PdfReportPageCount(const PdfReportContent& content) {
  int pages = 0;
  if (!content.listing.empty()) {
    // Laid out as on the report's pages, in the font the listing is painted in.
    QBuffer scratch;
    QPdfWriter writer(&scratch);
    SetUpPages(writer);
    const QFontMetrics metrics(QFont(), &writer);
    pages += static_cast<int>(LayOutListing(content.listing, metrics.height(), writer.height()).size());
  }
  if (PlotsWritten(content)) pages += static_cast<int>(PlotPageUnits(content.type, content.stations).size());
  pages += static_cast<int>(SectionPageLines(content).size());
  return pages;
}

PdfReportResult WritePdfReport(const QString& path, const PdfReportContent& content,
                               const std::function<bool(int done, int total)>& progress, QString* error) {
  auto fail = [error](const QString& why) {
    if (error != nullptr) *error = why;
    return PdfReportResult::Failed;
  };
  const int total = PdfReportPageCount(content);
  int done = 0;
  bool cancelled = false;
  auto next = [&]() {
    cancelled = cancelled || (progress && !progress(done, total));
    ++done;
    return !cancelled;
  };

  QByteArray bytes;
  try {
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return fail(buffer.errorString());
    QPdfWriter writer(&buffer);
    writer.setCreator(content.creator);
    writer.setTitle(content.title);
    SetUpPages(writer);
    QPainter painter;
    if (!painter.begin(&writer)) return fail(Tr("无法开始绘制 PDF 页面"));
    bool complete = true;
    bool pageUsed = false;
    if (!content.listing.empty()) {
      complete = PaintListingPages(painter, writer, content.listing,
                                   [&](std::size_t, std::size_t) { return next(); });
      pageUsed = true;
    }
    if (complete && PlotsWritten(content)) {
      ReportWriter report(content, painter, writer);
      for (const std::vector<std::size_t>& units : PlotPageUnits(content.type, content.stations)) {
        if (!next()) {
          complete = false;
          break;
        }
        if (pageUsed && !writer.newPage()) {
          complete = false;
          break;
        }
        painter.save();
        report.paintPlotPage(units);
        painter.restore();
        pageUsed = true;
      }
    }
    for (const std::string& line : complete ? SectionPageLines(content) : std::vector<std::string>()) {
      if (!next() || (pageUsed && !writer.newPage())) {
        complete = false;
        break;
      }
      PaintSectionPage(painter, writer, content, line);
      pageUsed = true;
    }
    const bool ended = painter.end();
    if (cancelled) return PdfReportResult::Cancelled;
    if (!complete || !ended) return fail(Tr("无法绘制 PDF 页面"));
  } catch (const std::bad_alloc&) {
    return fail(Tr("内存不足"));
  }
  if (progress && !progress(total, total)) return PdfReportResult::Cancelled;

  std::string why;
  if (!SaveFileAtomically(QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), why))
    return fail(QString::fromStdString(why));
  return PdfReportResult::Written;
}
