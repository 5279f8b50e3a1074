#pragma once
// One chart of the plot pane: a QChartView whose axes follow a plot Series' AxisRange and whose
// layers (the station being typed, a faint committed one, the other branch of a line) are drawn
// as one line per segment with every point marked, plus the markers of outliers and crossings
// and the curve of a station's layered model.
// Series objects are kept and refilled from one replot to the next, so a replot after a typed
// cell only replaces the points that changed.

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "model/sdata.h"
#include "plot/series.h"

class QAbstractAxis;
class QChart;
class QChartView;
class QLineSeries;
class QPainter;
class QPoint;
class QRectF;
class QScatterSeries;
class QWidget;
class QXYSeries;

// An axis of the plots' look for a scale ("%g" labels, a smaller title, light minor grid on a
// log axis), and its range set as PlotChart sets it (a linear axis ticks on its steps).
QAbstractAxis* MakePlotAxis(AxisScale scale);
void ApplyPlotAxisRange(QAbstractAxis* axis, const AxisRange& range, AxisScale scale);
// The red ring that marks a point (an outlier, the station shown on the plan).
QScatterSeries* MakeRingSeries();

// The apparent-resistivity curve of a layered model from AB/2 lo to hi, as chart points (none
// for a model the forward model cannot evaluate), and points as a series of their own (for
// fitting axes around them).
QList<QPointF> ModelCurvePoints(const StationModel& model, double lo, double hi);
Series SeriesOfPoints(CurveKind kind, const QList<QPointF>& points);

class PlotChart {
 public:
  static constexpr int kLayers = 3;
  struct Style {
    QColor color;
    qreal lineWidth = 2.0;
    qreal markerSize = 7.0;
    bool markEveryPoint = true;  // false: only isolated points (segments of one point) are marked
  };
  // A marked point, found under the mouse.
  struct Hit {
    int layer = 0;
    PlotPoint point;
  };

  PlotChart(QWidget* parent, const QString& objectName);
  ~PlotChart();
  PlotChart(const PlotChart&) = delete;
  PlotChart& operator=(const PlotChart&) = delete;

  QChartView* view() const { return view_; }
  QChart* chart() const { return chart_; }

  // Axis scales, ranges and titles. A range that is not finite or empty is replaced by the
  // default one of its scale, so that no axis ever shows NaN.
  void setAxes(const Axes& axes, AxisScale xScale, AxisScale yScale, const QString& xTitle, const QString& yTitle);
  // The lines and points of a layer, its legend name (no legend entry when empty) and colours.
  void setLayer(int layer, const Series& series, const QString& name, const Style& style);
  // The curve of a station's layered model: a dashed line without markers over the layers,
  // named in the legend; no points hide it.
  void setModelCurve(const QList<QPointF>& points, const QString& name);
  void setOutliers(const std::vector<PlotPoint>& points, const QString& name);
  void setCrossings(const QList<QPointF>& points, const QString& name);
  // Shows the legend entries of what is drawn; run after the layers and markers are set.
  void refreshLegend();

  QList<QList<QPointF>> segments(int layer) const;
  QList<QPointF> modelCurve() const;
  QList<QPointF> outliers() const;
  QList<QPointF> crossings() const;

  // The marked point nearest to a position in the view's viewport, within a few pixels.
  std::optional<Hit> pointAt(const QPoint& viewportPos) const;

  // Draws the chart into target on painter (any paint device: image, SVG, PDF).
  void render(QPainter& painter, const QRectF& target) const;

 private:
  struct LayerSeries {
    std::vector<QLineSeries*> lines;
    QScatterSeries* points = nullptr;
    Series series;
  };
  void restack();
  void attach(QXYSeries* series);

  QChartView* view_ = nullptr;
  QChart* chart_ = nullptr;
  QAbstractAxis* x_ = nullptr;
  QAbstractAxis* y_ = nullptr;
  std::optional<AxisScale> xScale_, yScale_;
  std::array<LayerSeries, kLayers> layers_;
  QLineSeries* model_ = nullptr;
  QScatterSeries* outliers_ = nullptr;
  QScatterSeries* crossings_ = nullptr;
};
