#pragma once
// The plan of station positions: every committed station (a line of the profile types) as a
// point at its x and y, the station shown in the form marked, the name of a point under the
// mouse, and a click on a point shows that station in the form. Docked beside the window; its
// chart is built when the dock is first shown.

#include <QDockWidget>
#include <QList>
#include <QPointF>
#include <functional>

#include "session/survey.h"

class QChart;
class QChartView;
class QLabel;
class QScatterSeries;
class QAbstractAxis;

class StationPlanDock : public QDockWidget, private SurveyObserver {
  Q_OBJECT
 public:
  StationPlanDock(Survey& survey, std::function<void(int)> show, QWidget* parent = nullptr);
  ~StationPlanDock() override;

  // For tests: the positions drawn (survey order) and the marked one; null until built.
  QChartView* view() const { return view_; }
  QList<QPointF> positions() const;
  QList<QPointF> marked() const;
  QString caption() const;
  // Room for a readable plan when the dock is shown (as much as the station list asks).
  QSize sizeHint() const override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void surveyChanged(unsigned changes) override;
  void build();
  void redraw();
  // The survey index of the station drawn nearest to a point of the view, within a few pixels.
  int stationAt(const QPoint& viewportPos) const;

  Survey& survey_;
  std::function<void(int)> show_;
  QChartView* view_ = nullptr;
  QChart* chart_ = nullptr;
  QScatterSeries* all_ = nullptr;
  QScatterSeries* shown_ = nullptr;
  QAbstractAxis* x_ = nullptr;
  QAbstractAxis* y_ = nullptr;
  QLabel* caption_ = nullptr;
  bool dirty_ = true;
};
