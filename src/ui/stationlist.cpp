#include "ui/stationlist.h"

#include <QCoreApplication>
#include <QFont>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <utility>

#include "io/textconv.h"
#include "session/formstate.h"
#include "ui/uitext.h"

namespace {

QString Number(float v) { return QString::fromStdString(FormatFloatShortest(v)); }
}  // namespace

StationListModel::StationListModel(Survey& survey, QObject* parent) : QAbstractTableModel(parent), survey_(survey) {
  summaries_.resize(survey_.stations().size());
  shown_ = survey_.browsing() ? survey_.currentIndex() : -1;
  survey_.addObserver(this);
}

StationListModel::~StationListModel() { survey_.removeObserver(this); }

int StationListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(survey_.stations().size());
}

int StationListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const StationSummary& StationListModel::summary(int row) const {
  auto& slot = summaries_[static_cast<std::size_t>(row)];
  if (!slot) slot = SummaryOf(survey_.stations()[static_cast<std::size_t>(row)], survey_.type());
  return *slot;
}

QVariant StationListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) return {};
  if (role == Qt::FontRole) {
    if (index.row() != shown_) return {};
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  if (role == Qt::TextAlignmentRole)
    return index.column() == Name ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != SortRole) return {};
  const StationSummary& s = summary(index.row());
  const bool sorting = role == SortRole;
  switch (index.column()) {
    case Name: return Text(ShownText(s.name));
    case X: return sorting ? QVariant(static_cast<double>(s.x)) : QVariant(Number(s.x));
    case Y: return sorting ? QVariant(static_cast<double>(s.y)) : QVariant(Number(s.y));
    case Readings: return s.readings;
    case Misfit:
      if (!s.misfitPercent) return sorting ? QVariant(-1.0) : QVariant();
      return sorting ? QVariant(*s.misfitPercent) : QVariant(QString::number(*s.misfitPercent, 'f', 1));
    default: return {};
  }
}

QVariant StationListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  switch (section) {
    case Name: return IsSoundingType(survey_.type()) ? QCoreApplication::translate("StationList", "测点") : QCoreApplication::translate("StationList", "测线");
    case X: return QStringLiteral("x (m)");
    case Y: return QStringLiteral("y (m)");
    case Readings: return IsSoundingType(survey_.type()) ? QCoreApplication::translate("StationList", "读数") : QCoreApplication::translate("StationList", "测点数");
    case Misfit: return QCoreApplication::translate("StationList", "拟合误差 (%)");
    default: return {};
  }
}

void StationListModel::surveyChanged(unsigned changes) {
  if (changes & (change::kStations | change::kType)) {
    beginResetModel();
    summaries_.assign(survey_.stations().size(), std::nullopt);
    shown_ = survey_.browsing() ? survey_.currentIndex() : -1;
    endResetModel();
    if (changes & change::kType) emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    return;
  }
  if (changes & change::kBrowse) {
    const int now = survey_.browsing() ? survey_.currentIndex() : -1;
    if (now == shown_) return;
    const int before = shown_;
    shown_ = now;
    for (int row : {before, now})
      if (row >= 0 && row < rowCount()) emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::FontRole});
  }
}

QSize StationDock::sizeHint() const {
  return QDockWidget::sizeHint().expandedTo(QSize(0, preferredHeight_ + 2 * fontMetrics().height()));
}

StationDock::StationDock(Survey& survey, std::function<void(int)> show, QWidget* parent)
    : QDockWidget(QCoreApplication::translate("StationList", "测点列表"), parent) {
  setObjectName(QStringLiteral("StationDock"));
  model_ = new StationListModel(survey, this);
  proxy_ = new QSortFilterProxyModel(this);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(StationListModel::SortRole);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("StationTable"));
  table_->setModel(proxy_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // the survey's own order (x) until a heading is clicked
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  // Room for six stations when the dock is shown, and no less than three on a low screen; the
  // splitter gives it more.
  table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() +
                           3 * table_->verticalHeader()->defaultSectionSize());
  preferredHeight_ = table_->horizontalHeader()->sizeHint().height() + 6 * table_->verticalHeader()->defaultSectionSize();
  setWidget(table_);
  connect(table_, &QTableView::doubleClicked, this, [this, show = std::move(show)](const QModelIndex& at) {
    const QModelIndex source = proxy_->mapToSource(at);
    if (source.isValid()) show(source.row());
  });
}
