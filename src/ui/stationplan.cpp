#include "ui/stationplan.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QToolTip>
#include <QAbstractAxis>
#include <QVBoxLayout>
#include <cmath>
#include <vector>

#include "io/textconv.h"
#include "plot/series.h"
#include "ui/gbkqt.h"
#include "ui/plotchart.h"

namespace {
QString Tr(const char* text) { return QCoreApplication::translate("StationPlan", text); }
const char* const kTitle = QT_TRANSLATE_NOOP("StationPlan", "测点位置图");
const char* const kXTitle = QT_TRANSLATE_NOOP("StationPlan", "x (m)");
const char* const kYTitle = QT_TRANSLATE_NOOP("StationPlan", "y (m)");
const char* const kShownCaption = QT_TRANSLATE_NOOP("StationPlan", "当前测点：%1（x = %2，y = %3）");
const char* const kNoneShown = QT_TRANSLATE_NOOP("StationPlan", "单击测点可显示该测点");
const char* const kPointTip = QT_TRANSLATE_NOOP("StationPlan", "%1（x = %2，y = %3）");

// A point under the mouse is one within this many pixels of it.
constexpr qreal kHitRadius = 8.0;

QString Number(float v) { return QString::fromStdString(FormatFloatShortest(v)); }

}  // namespace

StationPlanDock::StationPlanDock(Survey& survey, std::function<void(int)> show, QWidget* parent)
    : QDockWidget(Tr(kTitle), parent), survey_(survey), show_(std::move(show)) {
  setObjectName(QStringLiteral("StationPlanDock"));
  survey_.addObserver(this);
}

StationPlanDock::~StationPlanDock() { survey_.removeObserver(this); }

QSize StationPlanDock::sizeHint() const {
  return QDockWidget::sizeHint().expandedTo(QSize(0, 14 * fontMetrics().height()));
}

void StationPlanDock::showEvent(QShowEvent* event) {
  QDockWidget::showEvent(event);
  if (view_ == nullptr) build();
  if (dirty_) redraw();
}

void StationPlanDock::build() {
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(2, 2, 2, 2);
  chart_ = new QChart();
  chart_->setAnimationOptions(QChart::NoAnimation);
  chart_->setMargins(QMargins(4, 4, 4, 4));
  chart_->setBackgroundRoundness(0);
  chart_->legend()->hide();
  all_ = new QScatterSeries();
  all_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
  all_->setMarkerSize(8.0);
  all_->setColor(QColor(31, 95, 191));
  all_->setBorderColor(QColor(31, 95, 191));
  shown_ = MakeRingSeries();
  chart_->addSeries(all_);
  chart_->addSeries(shown_);
  x_ = MakePlotAxis(AxisScale::Linear);
  y_ = MakePlotAxis(AxisScale::Linear);
  x_->setTitleText(Tr(kXTitle));
  y_->setTitleText(Tr(kYTitle));
  chart_->addAxis(x_, Qt::AlignBottom);
  chart_->addAxis(y_, Qt::AlignLeft);
  for (QScatterSeries* s : {all_, shown_}) {
    s->attachAxis(x_);
    s->attachAxis(y_);
  }
  view_ = new QChartView(chart_, body);
  view_->setObjectName(QStringLiteral("StationPlan"));
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
  view_->setMinimumSize(220, 180);  // lower, Qt Charts elides the tick labels
  view_->viewport()->setMouseTracking(true);
  view_->viewport()->installEventFilter(this);
  caption_ = new QLabel(body);
  caption_->setObjectName(QStringLiteral("StationPlanCaption"));
  layout->addWidget(view_, 1);
  layout->addWidget(caption_);
  setWidget(body);
}

void StationPlanDock::surveyChanged(unsigned changes) {
  if (!(changes & (change::kStations | change::kType | change::kBrowse))) return;
  dirty_ = true;
  if (view_ != nullptr && isVisible()) redraw();
}

void StationPlanDock::redraw() {
  dirty_ = false;
  const StationList& stations = survey_.stations();
  QList<QPointF> points;
  std::vector<double> xs, ys;
  points.reserve(static_cast<qsizetype>(stations.size()));
  for (const sdata& s : stations) {
    points.append(QPointF(s.X, s.Y));
    xs.push_back(s.X);
    ys.push_back(s.Y);
  }
  all_->replace(points);
  ApplyPlotAxisRange(x_, FitValues(AxisScale::Linear, xs), AxisScale::Linear);
  ApplyPlotAxisRange(y_, FitValues(AxisScale::Linear, ys), AxisScale::Linear);
  const int index = survey_.currentIndex();
  if (survey_.browsing() && index >= 0 && static_cast<std::size_t>(index) < stations.size()) {
    const sdata& s = stations[static_cast<std::size_t>(index)];
    shown_->replace({QPointF(s.X, s.Y)});
    caption_->setText(Tr(kShownCaption).arg(FromGbk(s.Name), Number(s.X), Number(s.Y)));
  } else {
    shown_->clear();
    caption_->setText(Tr(kNoneShown));
  }
}

int StationPlanDock::stationAt(const QPoint& viewportPos) const {
  const QPointF at = chart_->mapFromScene(view_->mapToScene(viewportPos));
  const StationList& stations = survey_.stations();
  int best = -1;
  qreal bestDistance = kHitRadius * kHitRadius;
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const QPointF pos = chart_->mapToPosition(QPointF(stations[i].X, stations[i].Y), all_);
    const qreal d = (pos.x() - at.x()) * (pos.x() - at.x()) + (pos.y() - at.y()) * (pos.y() - at.y());
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

bool StationPlanDock::eventFilter(QObject* watched, QEvent* event) {
  if (view_ != nullptr && watched == view_->viewport()) {
    if (event->type() == QEvent::MouseButtonRelease) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const int index = mouse->button() == Qt::LeftButton ? stationAt(mouse->position().toPoint()) : -1;
      if (index >= 0) show_(index);
    } else if (event->type() == QEvent::MouseMove) {
      const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
      const int index = stationAt(pos);
      if (index >= 0) {
        const sdata& s = survey_.stations()[static_cast<std::size_t>(index)];
        QToolTip::showText(view_->viewport()->mapToGlobal(pos), Tr(kPointTip).arg(FromGbk(s.Name), Number(s.X), Number(s.Y)),
                           view_->viewport());
      } else {
        QToolTip::hideText();
      }
    }
  }
  return QDockWidget::eventFilter(watched, event);
}

QList<QPointF> StationPlanDock::positions() const { return all_ ? all_->points() : QList<QPointF>(); }

QList<QPointF> StationPlanDock::marked() const { return shown_ ? shown_->points() : QList<QPointF>(); }

QString StationPlanDock::caption() const { return caption_ ? caption_->text() : QString(); }
