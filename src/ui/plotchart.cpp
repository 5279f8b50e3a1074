#include "ui/plotchart.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <cmath>

#include "interp/stationmodel.h"

namespace {
// A point under the mouse is one within this many pixels of it.
constexpr qreal kHoverRadius = 8.0;
// More decades than this on a log axis get no minor grid lines (2 to 9 times each power of ten):
// they would run together.
constexpr double kMinorGridDecades = 4.0;
// More intervals than this on a linear axis are drawn as a fixed number of ticks instead.
constexpr double kMaxLinearIntervals = 50.0;

// Up to this many points a layer marks every point; a longer curve marks only its isolated
// points (segments of one point): its markers would run together, and cost most of a repaint.
constexpr std::size_t kMarkEveryPointUpTo = 60;

// Layers in drawing order: the faint comparison at the back, the station being typed in front.
constexpr int kStackOrder[] = {1, 2, 0};

// The model curve: dashed, in a red apart from the branches' colours and the outliers' rings.
const QColor kModelColor(178, 34, 34);

bool Sane(const AxisRange& r, AxisScale scale) {
  if (!std::isfinite(r.min) || !std::isfinite(r.max) || !(r.min < r.max)) return false;
  return scale == AxisScale::Linear || r.min > 0.0;
}

AxisRange DefaultRange(AxisScale scale) {
  return scale == AxisScale::Log10 ? AxisRange{scale, 1.0, 1000.0, 0.0} : AxisRange{scale, 0.0, 10.0, 2.0};
}

// Axis titles a little smaller than Qt's default: at the default size Qt 6.4 elides the title
// of a vertical axis whose labels are one character wide ("2", "3", ...) to an ellipsis.
void StyleTitle(QAbstractAxis* axis) {
  QFont font = axis->titleFont();
  font.setPointSizeF(font.pointSizeF() * 0.9);
  axis->setTitleFont(font);
}

}  // namespace

QAbstractAxis* MakePlotAxis(AxisScale scale) {
  if (scale == AxisScale::Log10) {
    auto* axis = new QLogValueAxis();
    StyleTitle(axis);
    axis->setBase(10.0);
    axis->setLabelFormat(QStringLiteral("%g"));
    QPen minor = axis->minorGridLinePen();
    minor.setColor(QColor(225, 225, 225));
    axis->setMinorGridLinePen(minor);
    return axis;
  }
  auto* axis = new QValueAxis();
  StyleTitle(axis);
  axis->setLabelFormat(QStringLiteral("%g"));
  return axis;
}

void ApplyPlotAxisRange(QAbstractAxis* axis, const AxisRange& wanted, AxisScale scale) {
  const AxisRange r = Sane(wanted, scale) ? wanted : DefaultRange(scale);
  if (auto* log = qobject_cast<QLogValueAxis*>(axis)) {
    if (log->min() != r.min || log->max() != r.max) log->setRange(r.min, r.max);
    const int minor = std::log10(r.max / r.min) <= kMinorGridDecades ? 8 : 0;
    if (log->minorTickCount() != minor) log->setMinorTickCount(minor);
    return;
  }
  auto* value = qobject_cast<QValueAxis*>(axis);
  if (value == nullptr) return;
  // The range is a whole number of steps: a fixed count of ticks puts them on the multiples of
  // the step. (Qt's dynamic ticks would do the same, but elide a vertical axis' title, and lay
  // out ticks without end when a small interval meets a huge range.)
  const double intervals = r.step > 0.0 ? (r.max - r.min) / r.step : 0.0;
  const int ticks = intervals >= 1.0 && intervals <= kMaxLinearIntervals ? static_cast<int>(std::lround(intervals)) + 1 : 6;
  if (value->tickCount() != ticks) value->setTickCount(ticks);
  if (value->min() != r.min || value->max() != r.max) value->setRange(r.min, r.max);
}

QScatterSeries* MakeRingSeries() {
  auto* ring = new QScatterSeries();
  ring->setMarkerShape(QScatterSeries::MarkerShapeCircle);
  ring->setMarkerSize(15.0);
  ring->setBrush(Qt::NoBrush);
  ring->setPen(QPen(QColor(220, 0, 0), 2.5));
  return ring;
}

QList<QPointF> ModelCurvePoints(const StationModel& model, double lo, double hi) {
  QList<QPointF> points;
  if (!(lo > 0.0) || !(hi >= lo)) return points;
  for (const CurvePoint& p : ModelCurve(model, lo, hi))
    if (std::isfinite(p.rho) && p.rho > 0.0) points << QPointF(p.ab2, p.rho);
  return points;
}

Series SeriesOfPoints(CurveKind kind, const QList<QPointF>& points) {
  std::vector<float> x, y;
  for (const QPointF& p : points) {
    x.push_back(static_cast<float>(p.x()));
    y.push_back(static_cast<float>(p.y()));
  }
  return SeriesFromColumns(kind, x, y);
}

namespace {
QList<QPointF> Points(const Segment& segment) {
  QList<QPointF> out;
  out.reserve(static_cast<qsizetype>(segment.size()));
  for (const PlotPoint& p : segment) out.append(QPointF(p.x, p.y));
  return out;
}

void Refill(QXYSeries* series, const QList<QPointF>& points) {
  if (series->points() != points) series->replace(points);
}

void StyleMarkers(QScatterSeries* s, const QColor& color, qreal size) {
  if (s->color() != color) s->setColor(color);
  if (s->borderColor() != color) s->setBorderColor(color);
  if (s->markerSize() != size) s->setMarkerSize(size);
}
}  // namespace

PlotChart::PlotChart(QWidget* parent, const QString& objectName) {
  chart_ = new QChart();
  chart_->setAnimationOptions(QChart::NoAnimation);
  chart_->setMargins(QMargins(4, 4, 4, 4));
  chart_->setBackgroundRoundness(0);
  chart_->legend()->setAlignment(Qt::AlignBottom);
  // A line for a curve, a ring for the outliers, a diamond for the crossings.
  chart_->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
  view_ = new QChartView(chart_, parent);
  view_->setObjectName(objectName);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
  view_->setMouseTracking(true);
  view_->viewport()->setMouseTracking(true);

  for (int l : kStackOrder) {
    LayerSeries& layer = layers_[static_cast<std::size_t>(l)];
    layer.lines.push_back(new QLineSeries());
    chart_->addSeries(layer.lines.back());
    layer.points = new QScatterSeries();
    layer.points->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    chart_->addSeries(layer.points);
  }
  model_ = new QLineSeries();
  model_->setPen(QPen(kModelColor, 2.0, Qt::DashLine));
  chart_->addSeries(model_);
  outliers_ = MakeRingSeries();
  chart_->addSeries(outliers_);
  crossings_ = new QScatterSeries();
  crossings_->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
  crossings_->setMarkerSize(14.0);
  crossings_->setColor(QColor(0, 150, 60, 200));
  crossings_->setBorderColor(QColor(0, 90, 30));
  chart_->addSeries(crossings_);
  setAxes(Axes{DefaultRange(AxisScale::Log10), DefaultRange(AxisScale::Log10)}, AxisScale::Log10, AxisScale::Log10,
          QString(), QString());
  refreshLegend();
}

PlotChart::~PlotChart() = default;  // the view (a child of the pane) owns the chart and its series

void PlotChart::attach(QXYSeries* series) {
  if (x_ != nullptr) series->attachAxis(x_);
  if (y_ != nullptr) series->attachAxis(y_);
}

void PlotChart::setAxes(const Axes& axes, AxisScale xScale, AxisScale yScale, const QString& xTitle,
                        const QString& yTitle) {
  auto replace = [this](QAbstractAxis*& axis, std::optional<AxisScale>& current, AxisScale scale, Qt::Alignment side) {
    if (current == scale) return;
    if (axis != nullptr) {
      chart_->removeAxis(axis);
      delete axis;
    }
    axis = MakePlotAxis(scale);
    chart_->addAxis(axis, side);
    for (QAbstractSeries* s : chart_->series()) s->attachAxis(axis);
    current = scale;
  };
  replace(x_, xScale_, xScale, Qt::AlignBottom);
  replace(y_, yScale_, yScale, Qt::AlignLeft);
  ApplyPlotAxisRange(x_, axes.x, xScale);
  ApplyPlotAxisRange(y_, axes.y, yScale);
  if (x_->titleText() != xTitle) x_->setTitleText(xTitle);
  if (y_->titleText() != yTitle) y_->setTitleText(yTitle);
}

void PlotChart::restack() {
  // A series added later is drawn over the earlier ones: every series is added again in the
  // drawing order, the faint comparison first and the markers of outliers and crossings last.
  const QList<QAbstractSeries*> old = chart_->series();
  for (QAbstractSeries* s : old) chart_->removeSeries(s);
  QList<QXYSeries*> order;
  for (int l : kStackOrder) {
    const LayerSeries& layer = layers_[static_cast<std::size_t>(l)];
    for (QLineSeries* s : layer.lines) order.append(s);
    order.append(layer.points);
  }
  order.append(model_);
  order.append(outliers_);
  order.append(crossings_);
  for (QXYSeries* s : order) {
    chart_->addSeries(s);
    attach(s);
  }
}

void PlotChart::refreshLegend() {
  // One entry per layer that is drawn (its first line carries the name), and the markers of
  // outliers and crossings when there are any; the legend makes its entries afresh at times,
  // so this runs after every change.
  auto show = [this](QXYSeries* series, bool shown) {
    // isVisible() answers false until the chart is on screen: the wish is set whatever it says.
    for (QLegendMarker* m : chart_->legend()->markers(series)) m->setVisible(shown);
  };
  for (const LayerSeries& layer : layers_) {
    for (std::size_t i = 0; i < layer.lines.size(); ++i) show(layer.lines[i], i == 0 && !layer.series.empty());
    show(layer.points, false);
  }
  show(model_, !model_->points().isEmpty());
  show(outliers_, !outliers_->points().isEmpty());
  show(crossings_, !crossings_->points().isEmpty());
  // The legend lays its entries out again only when told: an entry shown after all were hidden
  // would keep the empty width (and elided name) it had while hidden.
  if (QGraphicsLayout* layout = chart_->legend()->layout()) layout->invalidate();
}

void PlotChart::setLayer(int layer, const Series& series, const QString& name, const Style& style) {
  LayerSeries& L = layers_[static_cast<std::size_t>(layer)];
  L.series = series;
  const std::size_t needed = std::max<std::size_t>(series.segments.size(), 1);
  if (L.lines.size() < needed) {
    while (L.lines.size() < needed) L.lines.push_back(new QLineSeries());
    restack();
  }
  const bool markAll = style.markEveryPoint && series.pointCount() <= kMarkEveryPointUpTo;
  QList<QPointF> marked;
  for (std::size_t i = 0; i < L.lines.size(); ++i) {
    QLineSeries* line = L.lines[i];
    if (i < series.segments.size()) {
      const QList<QPointF> points = Points(series.segments[i]);
      Refill(line, points);
      if (markAll || points.size() == 1) marked.append(points);
    } else if (!line->points().isEmpty()) {
      line->clear();
    }
    const QPen pen(style.color, style.lineWidth);
    if (line->pen() != pen) line->setPen(pen);
  }
  Refill(L.points, marked);
  StyleMarkers(L.points, style.color, style.markerSize);
  if (L.lines.front()->name() != name) L.lines.front()->setName(name);
}

void PlotChart::setModelCurve(const QList<QPointF>& points, const QString& name) {
  Refill(model_, points);
  if (model_->name() != name) model_->setName(name);
}

void PlotChart::setOutliers(const std::vector<PlotPoint>& points, const QString& name) {
  Refill(outliers_, Points(points));
  if (outliers_->name() != name) outliers_->setName(name);
}

void PlotChart::setCrossings(const QList<QPointF>& points, const QString& name) {
  Refill(crossings_, points);
  if (crossings_->name() != name) crossings_->setName(name);
}

QList<QList<QPointF>> PlotChart::segments(int layer) const {
  QList<QList<QPointF>> out;
  for (const QLineSeries* line : layers_[static_cast<std::size_t>(layer)].lines)
    if (!line->points().isEmpty()) out.append(line->points());
  return out;
}

QList<QPointF> PlotChart::modelCurve() const { return model_->points(); }

QList<QPointF> PlotChart::outliers() const { return outliers_->points(); }

QList<QPointF> PlotChart::crossings() const { return crossings_->points(); }

std::optional<PlotChart::Hit> PlotChart::pointAt(const QPoint& viewportPos) const {
  const QPointF at = chart_->mapFromScene(view_->mapToScene(viewportPos));
  std::optional<Hit> best;
  qreal bestDistance = kHoverRadius * kHoverRadius;
  // The station being typed first: a point of it wins over one of a faint curve at the same place.
  for (int l : {0, 2, 1}) {
    const LayerSeries& layer = layers_[static_cast<std::size_t>(l)];
    for (const Segment& segment : layer.series.segments) {
      for (const PlotPoint& p : segment) {
        const QPointF pos = chart_->mapToPosition(QPointF(p.x, p.y), layer.points);
        const qreal dx = pos.x() - at.x(), dy = pos.y() - at.y();
        const qreal d = dx * dx + dy * dy;
        if (d < bestDistance) {
          bestDistance = d;
          best = Hit{l, p};
        }
      }
    }
    if (best) break;
  }
  return best;
}

void PlotChart::render(QPainter& painter, const QRectF& target) const {
  chart_->scene()->render(&painter, target, chart_->sceneBoundingRect(), Qt::KeepAspectRatio);
}
