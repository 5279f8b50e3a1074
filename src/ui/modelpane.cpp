#include "ui/modelpane.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPen>
#include <QPushButton>
#include <QPainter>
#include <QScatterSeries>
#include <QStyledItemDelegate>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "interp/modeledit.h"
#include "ui/coretext.h"
#include "ui/dialogs.h"
#include "ui/modelstate.h"
#include "ui/plotchart.h"

namespace {
const char* const kLayers = QT_TRANSLATE_NOOP("ModelPane", "层数");
const char* const kAutomatic = QT_TRANSLATE_NOOP("ModelPane", "自动");
const char* const kLayersTip = QT_TRANSLATE_NOOP("ModelPane", "下一次拟合的层数；“自动”取能拟合读数的最少层数");
const char* const kFit = QT_TRANSLATE_NOOP("ModelPane", "拟合");
const char* const kFitTip = QT_TRANSLATE_NOOP("ModelPane", "按选定的层数和锁定的参数拟合读数");
const char* const kAccept = QT_TRANSLATE_NOOP("ModelPane", "接受");
const char* const kAcceptTip = QT_TRANSLATE_NOOP("ModelPane", "把拟合的模型保存到测点");
const char* const kClear = QT_TRANSLATE_NOOP("ModelPane", "清除");
const char* const kClearTip = QT_TRANSLATE_NOOP("ModelPane", "去掉测点的模型");
const char* const kThickness = QT_TRANSLATE_NOOP("ModelPane", "h (m)");
const char* const kDepth = QT_TRANSLATE_NOOP("ModelPane", "底深 (m)");
const char* const kRho = QT_TRANSLATE_NOOP("ModelPane", "ρ (Ω·m)");
const char* const kProduct = QT_TRANSLATE_NOOP("ModelPane", "S 或 T");
const char* const kThicknessTip = QT_TRANSLATE_NOOP("ModelPane", "层的厚度，米");
const char* const kDepthTip = QT_TRANSLATE_NOOP("ModelPane", "层底面的深度，米");
const char* const kRhoTip = QT_TRANSLATE_NOOP("ModelPane", "层的电阻率，欧姆米");
const char* const kProductTip = QT_TRANSLATE_NOOP("ModelPane", "纵向电导 S = h/ρ（西门子）或横向电阻 T = h·ρ（欧姆平方米）");
const char* const kRangeTip = QT_TRANSLATE_NOOP("ModelPane", "每格下面一行是等价范围：与最佳模型拟合得差不多好的模型中这个数值的范围");
const char* const kBasement = QT_TRANSLATE_NOOP("ModelPane", "基底");
const char* const kConductance = QT_TRANSLATE_NOOP("ModelPane", "S %1");
const char* const kResistance = QT_TRANSLATE_NOOP("ModelPane", "T %1");
const char* const kOnlyS = QT_TRANSLATE_NOOP("ModelPane", "读数只确定这一层的纵向电导 S：h 和 ρ 可以在范围内一起变化");
const char* const kOnlyT = QT_TRANSLATE_NOOP("ModelPane", "读数只确定这一层的横向电阻 T：h 和 ρ 可以在范围内一起变化");
const char* const kNeither = QT_TRANSLATE_NOOP("ModelPane", "读数确定不了这一层");
const char* const kLockTip = QT_TRANSLATE_NOOP("ModelPane", "勾选：下一次拟合时保持这个数值（例如钻孔给出的深度）");
const char* const kAtMost = QT_TRANSLATE_NOOP("ModelPane", "≤ %1");
const char* const kAtLeast = QT_TRANSLATE_NOOP("ModelPane", "≥ %1");
const char* const kOfStation = QT_TRANSLATE_NOOP("ModelPane", "测点的模型，均方根误差 %1 %");
const char* const kProposed = QT_TRANSLATE_NOOP("ModelPane", "拟合的模型（尚未接受），均方根误差 %1 %");
const char* const kDragging = QT_TRANSLATE_NOOP("ModelPane", "正在修改，均方根误差 %1 %");
const char* const kFitting = QT_TRANSLATE_NOOP("ModelPane", "正在拟合…");
const char* const kNoFit = QT_TRANSLATE_NOOP("ModelPane", "不能拟合：%1");
const char* const kProfile = QT_TRANSLATE_NOOP("ModelPane", "剖面数据没有层状模型。");
const char* const kTooFew = QT_TRANSLATE_NOOP("ModelPane", "至少要有 3 个不同极距上的 4 个读数才能拟合。");
const char* const kNoModel = QT_TRANSLATE_NOOP("ModelPane", "还没有模型：点“拟合”，或打开“实时拟合”。");
const char* const kBadNumber = QT_TRANSLATE_NOOP("ModelPane", "“%1”不是正数。");
const char* const kBadDepth =
    QT_TRANSLATE_NOOP("ModelPane", "第 %1 层的底深应在它的顶深 %2 m 和下一层的底深 %3 m 之间。");
const char* const kBadDepthLast = QT_TRANSLATE_NOOP("ModelPane", "第 %1 层的底深应大于它的顶深 %2 m。");
const char* const kOutOfRange = QT_TRANSLATE_NOOP("ModelPane", "数值超出模型允许的范围。");
const char* const kCaption = QT_TRANSLATE_NOOP("ModelPane", "层状模型");
const char* const kDepthAxis = QT_TRANSLATE_NOOP("ModelPane", "深度 (m)");
const char* const kRhoAxis = QT_TRANSLATE_NOOP("ModelPane", "电阻率 (Ω·m)");

QString Tr(const char* text) { return QCoreApplication::translate("ModelPane", text); }
QString Number(double v) { return QString::number(v, 'g', 4); }

// A number typed into a cell, with a point or the system's decimal sign.
std::optional<double> ParseNumber(const QString& text) {
  bool ok = false;
  double v = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok) v = QLocale::system().toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

// A range to three digits: its ends are uncertain beyond that, and the cells stay narrow.
QString RangeText(const ParameterRange& r) {
  auto end = [](double v) { return QString::number(v, 'g', 3); };
  if (r.lowOpen && r.highOpen) return QStringLiteral("—");
  if (r.lowOpen) return Tr(kAtMost).arg(end(r.high));
  if (r.highOpen) return Tr(kAtLeast).arg(end(r.low));
  return QStringLiteral("%1–%2").arg(end(r.low), end(r.high));
}

// Pixels from a step or boundary within which the mouse takes hold of it.
constexpr qreal kGripPixels = 6.0;
}  // namespace

// A value with its equivalence range in a smaller grey line below it; the editor takes the value.
class RangeDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QString range = index.data(ModelPane::kRangeRole).toString();
    QStyleOptionViewItem top = option;
    if (!range.isEmpty()) top.rect.setHeight(option.rect.height() / 2 + 2);
    QStyledItemDelegate::paint(painter, top, index);
    if (range.isEmpty()) return;
    painter->save();
    QFont small = option.font;
    small.setPointSizeF(small.pointSizeF() * 0.85);
    painter->setFont(small);
    painter->setPen(QColor(110, 110, 110));
    const QRect below = option.rect.adjusted(4, option.rect.height() / 2, -4, 0);
    painter->drawText(below, Qt::AlignRight | Qt::AlignVCenter, range);
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QString range = index.data(ModelPane::kRangeRole).toString();
    const QFontMetrics metrics(option.font);
    size.setWidth(std::max(size.width(), metrics.horizontalAdvance(range) + 6));
    size.setHeight(std::max(size.height(), 2 * metrics.lineSpacing() + 4));
    return size;
  }
};

// The table keeps the grid's keys: Enter goes down a row after an edit, as in the grid.
class ModelTableWidget : public QTableWidget {
 public:
  using QTableWidget::QTableWidget;
  bool editing() const { return state() == QAbstractItemView::EditingState; }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
      step(mods == Qt::ShiftModifier ? -1 : 1);
      event->accept();
      return;
    }
    QTableWidget::keyPressEvent(event);
  }
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
    QTableWidget::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::SubmitModelCache) step(1);
  }

 private:
  void step(int rows) {
    const QModelIndex at = currentIndex();
    if (!at.isValid()) return;
    const int row = std::clamp(at.row() + rows, 0, rowCount() - 1);
    setCurrentCell(row, at.column());
  }
};

ModelPane::ModelPane(ModelState& state, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), state_(state), dialogs_(dialogs) {
  setObjectName(QStringLiteral("ModelPane"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);

  auto* bar = new QHBoxLayout();
  auto* layersLabel = new QLabel(Tr(kLayers), this);
  layers_ = new QSpinBox(this);
  layers_->setObjectName(QStringLiteral("ModelLayers"));
  layers_->setRange(0, kMaxFitLayers);
  layers_->setSpecialValueText(Tr(kAutomatic));
  layers_->setToolTip(Tr(kLayersTip));
  layersLabel->setBuddy(layers_);
  auto button = [this](const char* name, const char* text, const char* tip) {
    auto* b = new QPushButton(Tr(text), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(Tr(tip));
    return b;
  };
  fit_ = button("FitModel", kFit, kFitTip);
  accept_ = button("AcceptModel", kAccept, kAcceptTip);
  clear_ = button("ClearModel", kClear, kClearTip);
  // Two short rows, so that the panel fits beside the charts on a small screen.
  bar->addWidget(layersLabel);
  bar->addWidget(layers_);
  bar->addWidget(fit_);
  bar->addStretch();
  auto* commands = new QHBoxLayout();
  commands->addWidget(accept_);
  commands->addWidget(clear_);
  commands->addStretch();
  layout->addLayout(bar);
  layout->addLayout(commands);

  misfit_ = new QLabel(this);
  misfit_->setObjectName(QStringLiteral("ModelMisfit"));
  misfit_->setWordWrap(true);
  misfit_->setMinimumHeight(fontMetrics().lineSpacing());
  layout->addWidget(misfit_);

  table_ = new ModelTableWidget(0, ColCount, this);
  table_->setObjectName(QStringLiteral("ModelTable"));
  table_->setHorizontalHeaderLabels({Tr(kThickness), Tr(kDepth), Tr(kRho), Tr(kProduct)});
  {
    const char* const tips[] = {kThicknessTip, kDepthTip, kRhoTip, kProductTip};
    for (int c = 0; c < ColCount; ++c)
      table_->horizontalHeaderItem(c)->setToolTip(Tr(tips[c]) + QLatin1Char('\n') + Tr(kRangeTip));
  }
  table_->setItemDelegate(new RangeDelegate(table_));

  // Columns and rows are sized to their contents when the layers change, not on every value:
  // sizing them costs more than the rest of showing a change.
  table_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                          QAbstractItemView::EditKeyPressed);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setMinimumHeight(5 * fontMetrics().lineSpacing());
  layout->addWidget(table_, 0);

  // The section is made when the pane is first shown.
  auto* sectionHolder = new QWidget(this);
  sectionHolder->setObjectName(QStringLiteral("ModelSectionArea"));
  auto* holderLayout = new QVBoxLayout(sectionHolder);
  holderLayout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(sectionHolder, 1);

  refreshTimer_ = new QTimer(this);
  refreshTimer_->setSingleShot(true);
  refreshTimer_->setInterval(0);
  connect(refreshTimer_, &QTimer::timeout, this, [this] { refresh(); });

  {
    const QSignalBlocker block(layers_);
    layers_->setValue(state_.layers());
  }
  for (QPushButton* b : {fit_, accept_, clear_}) b->setEnabled(false);
  connect(layers_, &QSpinBox::valueChanged, this, [this](int n) { state_.setLayers(n); });
  connect(fit_, &QPushButton::clicked, this, [this] { state_.fit(); });
  connect(accept_, &QPushButton::clicked, this, [this] { state_.accept(); });
  connect(clear_, &QPushButton::clicked, this, [this] { state_.clear(); });
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) { cellChanged(item); });
  connect(&state_, &ModelState::changed, this, [this] { schedule(); });
}

ModelPane::~ModelPane() = default;

QSize ModelPane::sizeHint() const { return QSize(480, 560); }

void ModelPane::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Filled once the event loop is back, so that the window's first paint does not wait for it.
  schedule();
  QTimer::singleShot(0, this, [this] {
    if (isVisible()) state_.setRangesWanted(true);
  });
}

void ModelPane::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // The section is made once the pane has shown up, not before the window's first paint.
  if (!view_ && !sectionScheduled_) {
    sectionScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
      if (view_) return;
      buildSection();
      drawSection();
    });
  }
}

void ModelPane::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  state_.setRangesWanted(false);
}

void ModelPane::schedule() {
  if (!refreshTimer_->isActive()) refreshTimer_->start();
}

void ModelPane::refresh() {
  refreshTimer_->stop();
  if (!isVisible()) return;
  const ModelState::Source source = state_.source();
  const bool sounding = state_.sounding();
  const double rms = state_.misfit();
  const QString misfit = std::isfinite(rms) ? QString::number(rms, 'f', 1) : QStringLiteral("—");
  QString text;
  switch (source) {
    case ModelState::Source::Station: text = Tr(kOfStation).arg(misfit); break;
    case ModelState::Source::Proposal: text = Tr(kProposed).arg(misfit); break;
    case ModelState::Source::Preview: text = Tr(kDragging).arg(misfit); break;
    case ModelState::Source::None:
      if (!sounding) text = Tr(kProfile);
      else if (state_.fitting()) text = Tr(kFitting);
      else if (!state_.failure().empty()) text = Tr(kNoFit).arg(CoreText(state_.failure()));
      else if (!state_.fittable()) text = Tr(kTooFew);
      else text = Tr(kNoModel);
      break;
  }
  if (source != ModelState::Source::None && state_.fitting()) text += QStringLiteral("  ") + Tr(kFitting);
  if (misfit_->text() != text) misfit_->setText(text);
  layers_->setEnabled(sounding);
  fit_->setEnabled(sounding && state_.fittable());
  accept_->setEnabled(source == ModelState::Source::Proposal);
  clear_->setEnabled(source == ModelState::Source::Station || source == ModelState::Source::Proposal);
  if (layers_->value() != state_.layers()) {
    const QSignalBlocker block(layers_);
    layers_->setValue(state_.layers());
  }
  fillTable();
  drawSection();
}

void ModelPane::fillTable() {
  // A cell being edited is not overwritten under the user's hands.
  if (table_->editing()) return;
  const StationModel& m = state_.shown();
  const std::vector<LayerRanges>& ranges = state_.ranges();
  const std::vector<double> bottoms = LayerBottoms(m);
  const int layers = static_cast<int>(m.Resistivity.size());
  const std::vector<LayerLocks>& locks = state_.locks();
  const bool withRanges = ranges.size() == m.Resistivity.size();
  filling_ = true;
  bool reshaped = table_->rowCount() != layers || withRanges != tableHadRanges_;
  tableHadRanges_ = withRanges;
  table_->setRowCount(layers);
  QStringList rowNames;
  for (int k = 0; k < layers; ++k) {
    const auto layer = static_cast<std::size_t>(k);
    const bool basement = k + 1 == layers;
    rowNames << QString::number(k + 1);
    const LayerLocks lock = layer < locks.size() ? locks[layer] : LayerLocks{};
    const LayerRanges* r = withRanges ? &ranges[layer] : nullptr;
    auto put = [&](int col, const QString& text, const QString& range, bool editable, std::optional<bool> locked,
                   const QString& tip = {}) {
      QTableWidgetItem* item = table_->item(k, col);
      if (!item) {
        item = new QTableWidgetItem();
        table_->setItem(k, col, item);
      }
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (editable) flags |= Qt::ItemIsEditable;
      if (locked) flags |= Qt::ItemIsUserCheckable;
      item->setFlags(flags);
      item->setText(text);
      item->setData(kRangeRole, range);
      item->setToolTip(locked ? Tr(kLockTip) : tip);
      if (locked) {
        item->setCheckState(*locked ? Qt::Checked : Qt::Unchecked);
      } else {
        item->setData(Qt::CheckStateRole, QVariant());
      }
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    };
    if (basement) {
      put(ColThickness, Tr(kBasement), QString(), false, std::nullopt);
      put(ColDepth, QString(), QString(), false, std::nullopt);
    } else {
      put(ColThickness, Number(m.Thickness[layer]), r ? RangeText(r->thickness) : QString(), true, lock.thickness);
      put(ColDepth, Number(bottoms[layer]), QString(), true, lock.depth);
    }
    put(ColRho, Number(m.Resistivity[layer]), r ? RangeText(r->rho) : QString(), true, lock.rho);
    QString product, productRange, productTip;
    if (!basement) {
      const Resolved resolved = r ? r->resolved : Resolved::Both;
      const double h = m.Thickness[layer];
      const double rho = m.Resistivity[layer];
      if (ProductOf(m, layer, resolved) == LayerProduct::Conductance) {
        product = Tr(kConductance).arg(Number(h / rho));
        if (r) productRange = RangeText(r->conductance);
      } else {
        product = Tr(kResistance).arg(Number(h * rho));
        if (r) productRange = RangeText(r->resistance);
      }
      if (resolved == Resolved::Conductance) productTip = Tr(kOnlyS);
      if (resolved == Resolved::Resistance) productTip = Tr(kOnlyT);
      if (resolved == Resolved::Neither) productTip = Tr(kNeither);
    }
    put(ColProduct, product, productRange, false, std::nullopt, productTip);
  }
  table_->setVerticalHeaderLabels(rowNames);
  // A value longer than its column widens it.
  if (!reshaped) {
    const QFontMetrics metrics(table_->font());
    for (int k = 0; k < layers && !reshaped; ++k)
      for (int c = 0; c < ColCount && !reshaped; ++c) {
        const QTableWidgetItem* item = table_->item(k, c);
        const int wanted = metrics.horizontalAdvance(item->text()) + 3 * metrics.height();
        reshaped = wanted > table_->columnWidth(c);
      }
  }
  if (reshaped) {
    table_->resizeColumnsToContents();
    table_->resizeRowsToContents();
  }
  filling_ = false;
}

void ModelPane::cellChanged(QTableWidgetItem* item) {
  if (filling_) return;
  const int col = item->column();
  const auto layer = static_cast<std::size_t>(item->row());
  const StationModel model = state_.shown();
  if (layer >= model.Resistivity.size()) return;

  // A check box toggled: the lock of that parameter.
  if (item->flags() & Qt::ItemIsUserCheckable) {
    std::vector<LayerLocks> locks = state_.locks();
    locks.resize(model.Resistivity.size());
    LayerLocks& lock = locks[layer];
    const bool on = item->checkState() == Qt::Checked;
    const bool before = col == ColThickness ? lock.thickness : col == ColDepth ? lock.depth : lock.rho;
    if (on != before) {
      if (col == ColThickness) {
        lock.thickness = on;
        if (on) lock.depth = false;  // one of the two says where the bottom is
      } else if (col == ColDepth) {
        lock.depth = on;
        if (on) lock.thickness = false;
      } else {
        lock.rho = on;
      }
      state_.setLocks(std::move(locks));
      schedule();
      return;
    }
  }

  const QString typed = item->text();
  const std::optional<double> value = ParseNumber(typed);
  const QWidget* owner = window();
  auto refuse = [&](const QString& why) {
    schedule();  // the cell shows the model's value again once its editor has closed
    dialogs_.message(const_cast<QWidget*>(owner), Tr(kCaption), why, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
  };
  if (!value || *value <= 0.0) {
    refuse(Tr(kBadNumber).arg(typed));
    return;
  }
  std::optional<StationModel> changed;
  if (col == ColThickness) changed = WithThickness(model, layer, *value);
  if (col == ColRho) changed = WithResistivity(model, layer, *value);
  if (col == ColDepth) {
    changed = WithBottomAt(model, layer, *value);
    if (!changed) {
      const std::vector<double> bottoms = LayerBottoms(model);
      const double top = layer == 0 ? 0.0 : bottoms[layer - 1];
      refuse(layer + 1 < bottoms.size() ? Tr(kBadDepth).arg(layer + 1).arg(Number(top), Number(bottoms[layer + 1]))
                                        : Tr(kBadDepthLast).arg(layer + 1).arg(Number(top)));
      return;
    }
  }
  if (!changed) {
    refuse(Tr(kOutOfRange));
    return;
  }
  state_.edit(*changed);
  schedule();
}

// ---- The section: resistivity against depth ----

void ModelPane::buildSection() {
  chart_ = new QChart();
  chart_->legend()->hide();
  chart_->setMargins(QMargins(4, 4, 4, 4));
  chart_->setBackgroundRoundness(0);
  view_ = new QChartView(chart_, findChild<QWidget*>(QStringLiteral("ModelSectionArea")));
  view_->setObjectName(QStringLiteral("ModelSection"));
  // Steps and boundaries are straight lines on whole pixels: drawn without antialiasing, the
  // section repaints quickly enough to follow a drag.
  view_->setMinimumHeight(200);
  view_->setMouseTracking(true);
  view_->viewport()->setMouseTracking(true);
  view_->viewport()->installEventFilter(this);
  view_->parentWidget()->layout()->addWidget(view_);
  rhoAxis_ = static_cast<QLogValueAxis*>(MakePlotAxis(AxisScale::Log10));
  depthAxis_ = static_cast<QLogValueAxis*>(MakePlotAxis(AxisScale::Log10));
  rhoAxis_->setTitleText(Tr(kRhoAxis));
  depthAxis_->setTitleText(Tr(kDepthAxis));
  depthAxis_->setReverse(true);  // deeper is lower
  chart_->addAxis(rhoAxis_, Qt::AlignTop);
  chart_->addAxis(depthAxis_, Qt::AlignLeft);
  steps_ = new QLineSeries();
  steps_->setPen(QPen(QColor(200, 30, 30), 2.5));
  chart_->addSeries(steps_);
  steps_->attachAxis(rhoAxis_);
  steps_->attachAxis(depthAxis_);
}

void ModelPane::drawSection() {
  if (!view_) return;
  const StationModel& m = state_.shown();
  QList<QPointF> points;
  const std::vector<double> bottoms = LayerBottoms(m);
  if (!m.empty() && !grip_) {
    // Axes around the model: a decade's margin above the first boundary and below the last.
    std::vector<double> rhos(m.Resistivity.begin(), m.Resistivity.end());
    const double first = bottoms.empty() ? 10.0 : bottoms.front();
    const double last = bottoms.empty() ? 10.0 : bottoms.back();
    ApplyPlotAxisRange(rhoAxis_, FitValues(AxisScale::Log10, rhos), AxisScale::Log10);
    ApplyPlotAxisRange(depthAxis_, FitValues(AxisScale::Log10, {first / 3.0, last * 3.0}), AxisScale::Log10);
  }
  if (!m.empty()) {
    double top = depthAxis_->min();
    for (std::size_t k = 0; k < m.Resistivity.size(); ++k) {
      const double bottom = k < bottoms.size() ? bottoms[k] : depthAxis_->max();
      points << QPointF(m.Resistivity[k], top) << QPointF(m.Resistivity[k], bottom);
      top = bottom;
    }
  }
  steps_->replace(points);
  // No model, no axes to read.
  view_->setVisible(!m.empty());
}

QList<QPointF> ModelPane::drawnSection() const { return steps_ ? steps_->points() : QList<QPointF>(); }

QPoint ModelPane::sectionPosition(const QPointF& value) const {
  if (!view_) return {};
  return view_->mapFromScene(chart_->mapToScene(chart_->mapToPosition(value, steps_)));
}

std::optional<ModelPane::Grip> ModelPane::gripAt(const QPoint& pos) const {
  const StationModel& m = state_.shown();
  if (m.empty() || !view_) return std::nullopt;
  const std::vector<double> bottoms = LayerBottoms(m);
  // Boundaries first: where a step meets a boundary, the boundary is taken.
  for (std::size_t k = 0; k < bottoms.size(); ++k) {
    const QPoint a = sectionPosition({m.Resistivity[k], bottoms[k]});
    const QPoint b = sectionPosition({m.Resistivity[k + 1], bottoms[k]});
    const int left = std::min(a.x(), b.x()) - static_cast<int>(kGripPixels);
    const int right = std::max(a.x(), b.x()) + static_cast<int>(kGripPixels);
    if (std::abs(pos.y() - a.y()) <= kGripPixels && pos.x() >= left && pos.x() <= right) return Grip{true, k};
  }
  double top = depthAxis_->min();
  for (std::size_t k = 0; k < m.Resistivity.size(); ++k) {
    const double bottom = k < bottoms.size() ? bottoms[k] : depthAxis_->max();
    const QPoint a = sectionPosition({m.Resistivity[k], top});
    const QPoint b = sectionPosition({m.Resistivity[k], bottom});
    if (std::abs(pos.x() - a.x()) <= kGripPixels && pos.y() >= std::min(a.y(), b.y()) && pos.y() <= std::max(a.y(), b.y()))
      return Grip{false, k};
    top = bottom;
  }
  return std::nullopt;
}

void ModelPane::dragTo(const QPoint& pos) {
  if (!grip_ || !dragged_) return;
  const QPointF value = chart_->mapToValue(chart_->mapFromScene(view_->mapToScene(pos)), steps_);
  const StationModel& base = *dragged_;
  const std::optional<StationModel> moved =
      grip_->boundary ? WithBottomAt(base, grip_->layer, value.y()) : WithResistivity(base, grip_->layer, value.x());
  // Beyond what the model can take, the step stays where it last could be.
  if (moved) state_.preview(*moved);
}

bool ModelPane::eventFilter(QObject* watched, QEvent* event) {
  if (!view_ || watched != view_->viewport()) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() != Qt::LeftButton) break;
      grip_ = gripAt(e->position().toPoint());
      if (!grip_) break;
      dragged_ = state_.shown();
      return true;
    }
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (grip_) {
        dragTo(e->position().toPoint());
        return true;
      }
      const std::optional<Grip> hover = gripAt(e->position().toPoint());
      view_->viewport()->setCursor(!hover ? Qt::ArrowCursor : hover->boundary ? Qt::SizeVerCursor : Qt::SizeHorCursor);
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (!grip_ || e->button() != Qt::LeftButton) break;
      dragTo(e->position().toPoint());
      // The model dragged into shape is kept: one step of the history.
      const bool moved = state_.source() == ModelState::Source::Preview;
      const StationModel result = state_.shown();
      grip_.reset();
      dragged_.reset();
      if (moved) {
        state_.edit(result);
      } else {
        state_.endPreview();
      }
      return true;
    }
    default: break;
  }
  return QWidget::eventFilter(watched, event);
}
