#pragma once
// The plot pane beside the grid: the curve of the station or line in the grid, redrawn as its
// cells change. Sounding types show apparent resistivity against AB/2 on log-log axes (and, where
// the grid holds induced-polarisation parameters, a second plot of the chosen one); profile types
// show it against the point number, and for combined profiling both branches of the line with
// their crossings. A committed station is drawn faint behind for comparison, readings that break
// the curve are marked, and hovering over a point tells its row and values. The pane only draws
// what src/plot computes from the survey; it changes nothing in the survey.
//
// The charts are built after the pane's first paint, so that the window shows up as quickly as
// without them; survey changes are gathered and drawn once control returns to the event loop,
// and nothing is computed while the pane is hidden.

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "plot/crossings.h"
#include "plot/series.h"
#include "session/survey.h"

class Dialogs;
class QAction;
class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSplitter;
class QTableWidget;
class PlotChart;
class ModelState;

class PlotPane : public QWidget, private SurveyObserver {
  Q_OBJECT
 public:
  // What is drawn on a chart, each as lines (one per segment) with its points marked.
  enum class Layer {
    Current,     // the grid: the station or branch being typed or shown
    Comparison,  // a committed station drawn faint behind it (the one before it, or of the same branch)
    Other,       // combined profiling: the committed other branch of the line
  };
  enum class View { Curve, Ip };

  // model: the layered model drawn over a sounding's readings.
  PlotPane(Survey& survey, ModelState& model, Dialogs& dialogs, QWidget* parent = nullptr);
  ~PlotPane() override;

  // "导出曲线图..." (objectName ExportPlot): saves the charts as PNG, SVG or PDF.
  QAction* exportAction() const { return exportAction_; }

  // Reads the remembered visibility and splitter sizes, applies them, and remembers them again
  // whenever toggle is toggled or the splitter is moved. toggle is made checkable.
  void rememberLayout(QSplitter* splitter, QAction* toggle);

  // Cells of grid (grid numbering: column, row with row 1 the first data row) are tinted while
  // their readings break the curve; nothing is tinted while the pane is hidden.
  void tintOutliersIn(QTableWidget* grid);

  // Draws what changed now instead of when control returns to the event loop (benchmarks and
  // tests that time or inspect one replot). Builds the charts when they are not built yet.
  void replotNow();

  // Writes the shown charts to path; the format follows the suffix (png, svg or pdf, any case).
  // On failure returns false and sets error to a text for the user.
  bool exportTo(const QString& path, QString* error = nullptr);

  // ---- What is computed and drawn (for tests) ----
  const Series& curve(Layer layer) const;
  const Series& ipCurve(Layer layer) const;
  const std::vector<PlotPoint>& outliers() const { return outliers_; }
  const std::vector<Crossing>& crossings() const { return crossings_; }
  // Grid cells (column, row) tinted for the outliers.
  QList<QPoint> outlierCells() const;
  // The charts; null until built.
  QChart* chart(View view) const;
  QChartView* chartView(View view) const;
  // The points of each drawn line of a layer, as the chart's series hold them.
  QList<QList<QPointF>> drawnSegments(View view, Layer layer) const;
  QList<QPointF> drawnOutliers() const;
  QList<QPointF> drawnCrossings() const;
  // The curve of the layered model drawn over the readings (a shown station's model, or the
  // live fit of the readings typed), and the line that tells about it; empty when none.
  QList<QPointF> drawnModelCurve() const;
  QString modelText() const { return modelText_; }
  // The text shown for the point under the mouse (empty when none).
  QString hoverText() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void replotted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void surveyChanged(unsigned changes) override;
  void schedule();
  void buildCharts();
  void recompute();
  void draw();
  void showTexts();
  void placeNote();
  void applyTint();
  void exportPlot();
  void hoverAt(View view, const QPoint& viewportPos);
  // The model drawn with a sounding (ModelState::shown), its text and the readings it misses.
  void updateModel();
  // Adds the readings that miss the fitted model to the outliers (one set of marks and tints).
  void mergeModelOutliers();

  Survey& survey_;
  ModelState& model_;
  Dialogs& dialogs_;

  // Computed from the survey.
  CurveKind kind_ = CurveKind::Sounding;
  Series curve_[3];
  Series ip_[3];
  QString names_[3];  // legend names of the layers
  std::vector<PlotPoint> outliers_;
  std::vector<int> unreadableRows_;  // rows with a cell that is not a positive number
  std::vector<Crossing> crossings_;
  bool showBranches_ = false;  // both branches of a line are drawn: their crossings are listed
  int branch_ = 0;             // the branch in the grid (0 A, 1 B), which picks the colours
  int rhoColumn_ = -1;  // grid column of the resistivities, -1 when the layout has none
  bool hasIp_ = false;
  QString xName_, rhoName_, ipName_;     // headings, for the texts under the charts
  QString xTitle_, yTitle_, ipTitle_;    // axis titles: the headings with their units

  bool dirty_ = true;
  bool scheduled_ = false;
  bool chartsScheduled_ = false;

  QLabel* ipLabel_ = nullptr;
  QComboBox* ipChooser_ = nullptr;
  QCheckBox* liveFitBox_ = nullptr;  // 实时拟合 (objectName LiveFit), remembered
  QDoubleSpinBox* factor_ = nullptr;
  QLabel* note_ = nullptr;
  QLabel* info_ = nullptr;
  QLabel* hover_ = nullptr;
  QAction* exportAction_ = nullptr;
  QWidget* chartArea_ = nullptr;
  std::unique_ptr<PlotChart> curveChart_;
  std::unique_ptr<PlotChart> ipChart_;
  QTableWidget* tintGrid_ = nullptr;
  QList<QPoint> tinted_;
  QStringList tintTips_;

  // The model drawn with a sounding.
  QList<QPointF> modelCurve_;
  QString modelText_;
  std::vector<std::pair<int, double>> modelOutliers_;  // rows far off the model, residual %
};
