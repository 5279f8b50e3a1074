#pragma once
// The model panel beside the charts (objectName ModelPane): the layered model of the sounding in
// the grid as a table (ModelTable: per layer its thickness, the depth of its bottom, its
// resistivity, S or T, each with its equivalence range below it), the model as a step curve of
// resistivity against depth (ModelSection) whose steps and boundaries can be dragged, the layer
// count of the next fit (ModelLayers, 0 = automatic), the commands Fit (FitModel), Accept
// (AcceptModel) and Clear (ClearModel), and the misfit (ModelMisfit). A cell edited or a step
// dragged is one undo step; a cell's check box locks that parameter for the next fit.

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "model/sdata.h"

class Dialogs;
class ModelState;
class ModelTableWidget;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QLogValueAxis;
class QPushButton;
class QSpinBox;
class QTableWidgetItem;
class QTimer;

class ModelPane : public QWidget {
  Q_OBJECT
 public:
  // Columns of the model table. Under each value its cell shows the value's equivalence range
  // (the item's data in kRangeRole).
  enum Column { ColThickness, ColDepth, ColRho, ColProduct, ColCount };
  static constexpr int kRangeRole = Qt::UserRole + 1;

  ModelPane(ModelState& state, Dialogs& dialogs, QWidget* parent = nullptr);
  ~ModelPane() override;

  // The step curve's points (resistivity, depth) as drawn; empty until built or without a model.
  QList<QPointF> drawnSection() const;
  // Where a point (resistivity, depth) of the section lies in the section view's viewport.
  QPoint sectionPosition(const QPointF& value) const;
  // The section's view; null until the pane has first been painted.
  QChartView* sectionView() const { return view_; }
  // Shows the model as it is now (what a change of it schedules for the event loop).
  void refreshNow() { refresh(); }

  QSize sizeHint() const override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void schedule();
  void refresh();
  void fillTable();
  void drawSection();
  void buildSection();
  void cellChanged(QTableWidgetItem* item);
  // Dragging in the section: what is held, and the model while it is dragged.
  struct Grip {
    bool boundary = false;  // the bottom of layer `layer` (else its resistivity)
    std::size_t layer = 0;
  };
  std::optional<Grip> gripAt(const QPoint& viewportPos) const;
  void dragTo(const QPoint& viewportPos);

  ModelState& state_;
  Dialogs& dialogs_;
  QSpinBox* layers_ = nullptr;
  QPushButton* fit_ = nullptr;
  QPushButton* accept_ = nullptr;
  QPushButton* clear_ = nullptr;
  QLabel* misfit_ = nullptr;
  ModelTableWidget* table_ = nullptr;
  QChartView* view_ = nullptr;
  QChart* chart_ = nullptr;
  QLineSeries* steps_ = nullptr;
  QLogValueAxis* rhoAxis_ = nullptr;
  QLogValueAxis* depthAxis_ = nullptr;
  QTimer* refreshTimer_ = nullptr;
  bool filling_ = false;
  bool tableHadRanges_ = false;  // the table was last sized with range lines
  bool sectionScheduled_ = false;
  std::optional<Grip> grip_;
  std::optional<StationModel> dragged_;
};
