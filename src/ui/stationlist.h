#pragma once
// The survey's station list as a table (name, x, y, readings, and a sounding model's misfit),
// and the dock that shows it beside the window: sortable, the shown station in bold, a double
// click shows a station in the form.

#include <QAbstractTableModel>
#include <QDockWidget>
#include <functional>
#include <vector>

#include "session/stationsummary.h"
#include "session/survey.h"

class QMainWindow;
class QSortFilterProxyModel;
class QTableView;

class StationListModel : public QAbstractTableModel, private SurveyObserver {
  Q_OBJECT
 public:
  enum Column { Name, X, Y, Readings, Misfit, ColumnCount };
  // The number a column sorts by (the name sorts as text).
  static constexpr int SortRole = Qt::UserRole;

  StationListModel(Survey& survey, QObject* parent = nullptr);
  ~StationListModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  void surveyChanged(unsigned changes) override;
  const StationSummary& summary(int row) const;

  Survey& survey_;
  // Made when first asked for (the misfit runs the forward model): only rows in view cost.
  mutable std::vector<std::optional<StationSummary>> summaries_;
  int shown_ = -1;  // the row shown in the form, -1 when none
};

// The dock holding the table (objectName StationTable) over a sorting proxy; show(row) is
// called with the survey's index of a double-clicked station.
class StationDock : public QDockWidget {
  Q_OBJECT
 public:
  StationDock(Survey& survey, std::function<void(int)> show, QWidget* parent = nullptr);
  QTableView* table() const { return table_; }
  StationListModel* model() const { return model_; }
  QSize sizeHint() const override;

 private:
  int preferredHeight_ = 0;
  StationListModel* model_ = nullptr;
  QSortFilterProxyModel* proxy_ = nullptr;
  QTableView* table_ = nullptr;
};
