#include "ui/plotpane.h"

#include <QCoreApplication>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLegend>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "interp/stationmodel.h"
#include "ui/coretext.h"
#include "io/textconv.h"
#include "plot/outliers.h"
#include "session/datatypespec.h"
#include "ui/dialogs.h"
#include "ui/exportpath.h"
#include "ui/gbkqt.h"
#include "ui/modelstate.h"
#include "ui/plotchart.h"

namespace {
QString Tr(const char* text) { return QCoreApplication::translate("PlotPane", text); }
// ---- Texts ----
const char* const kIpLabel = QT_TRANSLATE_NOOP("PlotPane", "激电参数");
const char* const kFactorLabel = QT_TRANSLATE_NOOP("PlotPane", "异常倍数");
const char* const kFactorTip = QT_TRANSLATE_NOOP("PlotPane", "读数与相邻读数连线相差超过此倍数时标出");
const char* const kExportText = QT_TRANSLATE_NOOP("PlotPane", "导出曲线图(&E)...");
const char* const kExportTitle = QT_TRANSLATE_NOOP("PlotPane", "导出曲线图");
const char* const kExportFilter = QT_TRANSLATE_NOOP("PlotPane", "PNG 图像 (*.png);;SVG 图形 (*.svg);;PDF 文档 (*.pdf)");
const char* const kExportCaption = QT_TRANSLATE_NOOP("PlotPane", "导出曲线图");
const char* const kExportFailed = QT_TRANSLATE_NOOP("PlotPane", "曲线图没有保存到 %1：%2");
const char* const kExportBaseName = QT_TRANSLATE_NOOP("PlotPane", "曲线图");
const char* const kUnknownFormat = QT_TRANSLATE_NOOP("PlotPane", "不能识别的图像格式，请用 .png、.svg 或 .pdf 作扩展名");
const char* const kPaintFailed = QT_TRANSLATE_NOOP("PlotPane", "无法绘制图像");
const char* const kLegendCurrent = QT_TRANSLATE_NOOP("PlotPane", "当前数据");
const char* const kLegendComparison = QT_TRANSLATE_NOOP("PlotPane", "对比：%1");
const char* const kLegendBranch = QT_TRANSLATE_NOOP("PlotPane", "%1 支");
const char* const kLegendOutliers = QT_TRANSLATE_NOOP("PlotPane", "偏离曲线的读数");
const char* const kLegendCrossings = QT_TRANSLATE_NOOP("PlotPane", "交点");
const char* const kHover = QT_TRANSLATE_NOOP("PlotPane", "%1，第 %2 行：%3 = %4，%5 = %6");
const QString kValue = QStringLiteral("%1 = %2");
const char* const kOutlierRows = QT_TRANSLATE_NOOP("PlotPane", "偏离曲线的读数：第 %1 行");
const char* const kBadRows = QT_TRANSLATE_NOOP("PlotPane", "不是正数，未绘出：第 %1 行");
const char* const kRepeatedRows = QT_TRANSLATE_NOOP("PlotPane", "%1重复：第 %2 行");
const char* const kOutOfOrderRows = QT_TRANSLATE_NOOP("PlotPane", "%1顺序颠倒：第 %2 行");
const char* const kNoCrossing = QT_TRANSLATE_NOOP("PlotPane", "两支没有交点");
const char* const kCrossings = QT_TRANSLATE_NOOP("PlotPane", "两支的交点：%1");
const char* const kCrossAt = QT_TRANSLATE_NOOP("PlotPane", "点号 %1（%2）");
const char* const kTouchAt = QT_TRANSLATE_NOOP("PlotPane", "点号 %1 相切（%2）");
const char* const kCoincide = QT_TRANSLATE_NOOP("PlotPane", "点号 %1 至 %2 重合");
const char* const kTintTip = QT_TRANSLATE_NOOP("PlotPane", "该读数偏离曲线");
const char* const kModelTintTip = QT_TRANSLATE_NOOP("PlotPane", "该读数偏离模型曲线 %1 %");

const char* const kListSeparator = QT_TRANSLATE_NOOP("PlotPane", "、");
const char* const kLegendModel = QT_TRANSLATE_NOOP("PlotPane", "模型曲线");
const char* const kLiveFitText = QT_TRANSLATE_NOOP("PlotPane", "实时拟合");
const char* const kLiveFitTip = QT_TRANSLATE_NOOP("PlotPane", "输入测深读数时拟合层状模型，在图上画出模型曲线（只是建议，不保存到测点）");
const char* const kModelOfStation = QT_TRANSLATE_NOOP("PlotPane", "测点的模型：%1 层，均方根误差 %2 %");
const char* const kModelDragged = QT_TRANSLATE_NOOP("PlotPane", "正在修改的模型：%1 层，均方根误差 %2 %");
const char* const kModelFitted = QT_TRANSLATE_NOOP("PlotPane", "拟合的模型（建议，未保存到测点）：%1 层，均方根误差 %2 %");
const char* const kModelFitting = QT_TRANSLATE_NOOP("PlotPane", "正在拟合…");
const char* const kModelNoFit = QT_TRANSLATE_NOOP("PlotPane", "不能拟合：%1");

// ---- Remembered settings ----
const QString kOrganization = QStringLiteral("FieldInput");
const QString kApplication = QStringLiteral("fieldinput");
const QString kVisibleKey = QStringLiteral("plot/visible");
const QString kSplitterKey = QStringLiteral("plot/splitter");
const QString kIpKey = QStringLiteral("plot/ipParameter");
const QString kFactorKey = QStringLiteral("plot/outlierFactor");
const QString kLiveFitKey = QStringLiteral("plot/liveFit");

QSettings Settings() { return QSettings(kOrganization, kApplication); }

// The induced-polarisation parameters offered, in the chooser's order.
constexpr int kIpColumns[] = {colZP, colIP, colTH, colTD, colR};

constexpr int kCurrent = static_cast<int>(PlotPane::Layer::Current);
constexpr int kComparison = static_cast<int>(PlotPane::Layer::Comparison);
constexpr int kOther = static_cast<int>(PlotPane::Layer::Other);

const QColor kBranchColor[] = {QColor(31, 95, 191), QColor(214, 90, 20)};
const QColor kFaint(150, 150, 150, 150);

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString Number(double v) { return QString::number(v, 'g', 6); }

// Rows (0-based) where a cell holds text that cannot be drawn on a log axis: not a number, zero
// or negative. A row only waiting for a reading is not one of them.
std::vector<int> UnreadableRows(const std::vector<int>& skipped, const std::vector<std::string>& xs,
                                const std::vector<std::string>& ys) {
  auto bad = [](const std::vector<std::string>& texts, int row) {
    const auto r = static_cast<std::size_t>(row);
    if (r >= texts.size()) return false;
    const std::string& t = texts[r];
    if (t.find_first_not_of(" \t\r\n") == std::string::npos) return false;
    float v = 0.0f;
    return !TryStrToFloat(t, v) || !(v > 0.0f);
  };
  std::vector<int> out;
  for (int row : skipped)
    if (bad(xs, row) || bad(ys, row)) out.push_back(row);
  return out;
}

QString RowList(const std::vector<int>& rows) {
  QStringList numbers;
  for (int r : rows) numbers << QString::number(r + 1);
  return numbers.join(Tr(kListSeparator));
}

}  // namespace

PlotPane::PlotPane(Survey& survey, ModelState& model, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), survey_(survey), model_(model), dialogs_(dialogs) {
  setObjectName(QStringLiteral("PlotPane"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* bar = new QHBoxLayout();
  ipLabel_ = new QLabel(Tr(kIpLabel), this);
  ipLabel_->setObjectName(QStringLiteral("IpParameterLabel"));
  ipChooser_ = new QComboBox(this);
  ipChooser_->setObjectName(QStringLiteral("IpParameter"));
  ipChooser_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  ipLabel_->setBuddy(ipChooser_);
  auto* factorLabel = new QLabel(Tr(kFactorLabel), this);
  factor_ = new QDoubleSpinBox(this);
  factor_->setObjectName(QStringLiteral("OutlierFactor"));
  factor_->setRange(1.1, 1000.0);
  factor_->setDecimals(1);
  factor_->setSingleStep(0.5);
  factor_->setToolTip(Tr(kFactorTip));
  factorLabel->setBuddy(factor_);
  factorLabel->setToolTip(Tr(kFactorTip));
  {
    const double remembered = Settings().value(kFactorKey, kDefaultOutlierFactor).toDouble();
    factor_->setValue(remembered >= factor_->minimum() && remembered <= factor_->maximum() ? remembered
                                                                                          : kDefaultOutlierFactor);
  }
  exportAction_ = new QAction(Tr(kExportText), this);
  exportAction_->setObjectName(QStringLiteral("ExportPlot"));
  exportAction_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  auto* exportButton = new QToolButton(this);
  exportButton->setObjectName(QStringLiteral("ExportPlotButton"));
  exportButton->setDefaultAction(exportAction_);
  exportButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
  liveFitBox_ = new QCheckBox(Tr(kLiveFitText), this);
  liveFitBox_->setObjectName(QStringLiteral("LiveFit"));
  liveFitBox_->setToolTip(Tr(kLiveFitTip));
  liveFitBox_->setChecked(Settings().value(kLiveFitKey, true).toBool());
  bar->addWidget(ipLabel_);
  bar->addWidget(ipChooser_);
  bar->addWidget(liveFitBox_);
  bar->addStretch();
  bar->addWidget(factorLabel);
  bar->addWidget(factor_);
  bar->addWidget(exportButton);
  layout->addLayout(bar);

  chartArea_ = new QWidget(this);
  chartArea_->setObjectName(QStringLiteral("PlotArea"));
  auto* charts = new QVBoxLayout(chartArea_);
  charts->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(chartArea_, 1);

  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("PlotNote"));
  note_->setAlignment(Qt::AlignCenter);
  note_->setStyleSheet(QStringLiteral("color: #707070;"));
  note_->setAttribute(Qt::WA_TransparentForMouseEvents);
  note_->hide();
  info_ = new QLabel(this);
  info_->setObjectName(QStringLiteral("PlotInfo"));
  info_->setWordWrap(true);
  info_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  hover_ = new QLabel(this);
  hover_->setObjectName(QStringLiteral("HoverInfo"));
  // Both lines keep their height, so that the charts do not jump as texts come and go.
  info_->setMinimumHeight(2 * fontMetrics().lineSpacing());
  info_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  hover_->setMinimumHeight(fontMetrics().lineSpacing());
  layout->addWidget(info_);
  layout->addWidget(hover_);

  {
    const int remembered = Settings().value(kIpKey, colZP).toInt();
    for (int k : kIpColumns) ipChooser_->addItem(QString(), k);
    ipChooser_->setCurrentIndex(std::max<int>(0, ipChooser_->findData(remembered)));
  }
  connect(ipChooser_, &QComboBox::currentIndexChanged, this, [this](int) {
    Settings().setValue(kIpKey, ipChooser_->currentData());
    schedule();
  });
  connect(factor_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    Settings().setValue(kFactorKey, v);
    schedule();
  });
  connect(exportAction_, &QAction::triggered, this, [this] { exportPlot(); });
  connect(liveFitBox_, &QCheckBox::toggled, this, [this](bool on) {
    Settings().setValue(kLiveFitKey, on);
    model_.setLiveFit(on);
  });
  model_.setLiveFit(liveFitBox_->isChecked());
  connect(&model_, &ModelState::changed, this, [this] { schedule(); });
  survey_.addObserver(this);
}

PlotPane::~PlotPane() { survey_.removeObserver(this); }

QSize PlotPane::sizeHint() const { return QSize(430, 460); }

QSize PlotPane::minimumSizeHint() const { return QSize(280, 300); }

void PlotPane::rememberLayout(QSplitter* splitter, QAction* toggle) {
  QSettings settings = Settings();
  const QByteArray state = settings.value(kSplitterKey).toByteArray();
  if (!state.isEmpty()) splitter->restoreState(state);
  const bool shown = settings.value(kVisibleKey, true).toBool();
  toggle->setCheckable(true);
  toggle->setChecked(shown);
  setVisible(shown);
  connect(toggle, &QAction::toggled, this, [this](bool on) {
    setVisible(on);
    Settings().setValue(kVisibleKey, on);
  });
  connect(splitter, &QSplitter::splitterMoved, this,
          [splitter] { Settings().setValue(kSplitterKey, splitter->saveState()); });
}

void PlotPane::tintOutliersIn(QTableWidget* grid) {
  tintGrid_ = grid;
  applyTint();
}

// ---- Replotting ----

void PlotPane::surveyChanged(unsigned changes) {
  constexpr unsigned kShown =
      change::kGrid | change::kBranch | change::kBrowse | change::kType | change::kStations | change::kFields;
  if (changes & kShown) schedule();
}

void PlotPane::schedule() {
  dirty_ = true;
  if (scheduled_ || !isVisible()) return;
  scheduled_ = true;
  // Typing never waits for the plot: every change until control is back in the event loop is
  // drawn once, then.
  QTimer::singleShot(0, this, [this] {
    scheduled_ = false;
    if (dirty_ && isVisible()) replotNow();
  });
}

void PlotPane::replotNow() {
  if (!curveChart_) buildCharts();
  dirty_ = false;
  recompute();
  updateModel();
  mergeModelOutliers();
  draw();
  showTexts();
  applyTint();
  emit replotted();
}

void PlotPane::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // The charts are built once the window has shown up, not before its first paint.
  if (!curveChart_ && !chartsScheduled_) {
    chartsScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
      if (!curveChart_) replotNow();
    });
  }
}

void PlotPane::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (curveChart_) schedule();
}

void PlotPane::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  dirty_ = true;
  applyTint();
}

void PlotPane::buildCharts() {
  curveChart_ = std::make_unique<PlotChart>(chartArea_, QStringLiteral("CurveView"));
  ipChart_ = std::make_unique<PlotChart>(chartArea_, QStringLiteral("IpView"));
  ipChart_->view()->hide();
  // The resistivity curve above, the induced-polarisation parameter below.
  auto* charts = static_cast<QVBoxLayout*>(chartArea_->layout());
  charts->addWidget(curveChart_->view(), 1);
  charts->addWidget(ipChart_->view(), 1);
  for (const PlotChart* c : {curveChart_.get(), ipChart_.get()}) c->view()->setMinimumHeight(160);
  // Its curves have the colours and names of the ones above: no legend of its own.
  ipChart_->chart()->legend()->hide();
  for (const PlotChart* c : {curveChart_.get(), ipChart_.get()}) {
    c->view()->viewport()->installEventFilter(this);
    c->view()->installEventFilter(this);
  }
  note_->setParent(curveChart_->view());
}

void PlotPane::recompute() {
  const DataTypeSpec& spec = survey_.spec();
  const GridLayout& layout = spec.layout;
  const FormState& form = survey_.form();

  int xColumn = GridColumnOf(layout, colPointNo);
  kind_ = xColumn > 0 ? CurveKind::Profile : CurveKind::Sounding;
  if (xColumn < 0) xColumn = GridColumnOf(layout, colAB2);
  rhoColumn_ = GridColumnOf(layout, colRho);
  const std::vector<std::string> xTexts = ColumnTexts(form.grid, xColumn);
  const std::vector<std::string> rhoTexts = ColumnTexts(form.grid, rhoColumn_);
  curve_[kCurrent] = SeriesFromTexts(kind_, xTexts, rhoTexts);
  unreadableRows_ = UnreadableRows(curve_[kCurrent].skippedRows, xTexts, rhoTexts);
  const int xKey = kind_ == CurveKind::Profile ? colPointNo : colAB2;
  xName_ = ColumnHeading(spec, xKey);
  xTitle_ = AxisTitle(spec, xKey);
  rhoName_ = ColumnHeading(spec, colRho);
  yTitle_ = AxisTitle(spec, colRho);

  // The chooser offers the parameters this layout has, named by their grid headers.
  QList<int> offered;
  for (int k : kIpColumns)
    if (GridColumnOf(layout, k) > 0) offered << k;
  hasIp_ = !offered.isEmpty();
  if (hasIp_) {
    QList<int> listed;
    for (int i = 0; i < ipChooser_->count(); ++i) listed << ipChooser_->itemData(i).toInt();
    bool named = true;
    for (int i = 0; i < ipChooser_->count(); ++i)
      named = named && ipChooser_->itemText(i) == ColumnHeading(spec, listed[i]);
    if (listed != offered || !named) {
      const QSignalBlocker block(ipChooser_);
      const int chosen = ipChooser_->currentData().toInt();
      ipChooser_->clear();
      for (int k : offered) ipChooser_->addItem(ColumnHeading(spec, k), k);
      ipChooser_->setCurrentIndex(std::max<int>(0, ipChooser_->findData(chosen)));
    }
  }
  ipChooser_->setVisible(hasIp_);
  ipLabel_->setVisible(hasIp_);
  const int ipColumn = ipChooser_->currentData().toInt();
  const int ipGridColumn = hasIp_ ? GridColumnOf(layout, ipColumn) : -1;
  ip_[kCurrent] = hasIp_ ? SeriesFromTexts(CurveKind::SoundingIp, xTexts, ColumnTexts(form.grid, ipGridColumn)) : Series{};
  ipName_ = hasIp_ ? ColumnHeading(spec, ipColumn) : QString();
  ipTitle_ = hasIp_ ? AxisTitle(spec, ipColumn) : QString();

  // The committed units drawn with it. A shown station is never drawn against itself.
  const StationList& stations = survey_.stations();
  const int count = static_cast<int>(stations.size());
  const int shown = survey_.browsing() ? survey_.currentIndex() : -1;
  auto lastNamed = [&](const std::string& name) {
    for (int i = count - 1; i >= 0; --i)
      if (i != shown && stations[static_cast<std::size_t>(i)].Name == name) return i;
    return -1;
  };
  int comparison = -1, other = -1;
  QString typedBranch, otherBranch;
  if (spec.hasBranches) {
    // The grid holds branch A or B of the line; the committed other branch is drawn in its
    // colour, a committed one of the same branch faint.
    typedBranch = form.branch == 0 ? QStringLiteral("A") : QStringLiteral("B");
    otherBranch = form.branch == 0 ? QStringLiteral("B") : QStringLiteral("A");
    comparison = lastNamed(typedBranch.toStdString());
    other = lastNamed(otherBranch.toStdString());
  } else {
    // While a station is shown, the one before it; while the next one is typed, the one last
    // committed (the survey's current index is its place).
    const int i = shown >= 0 ? shown - 1 : survey_.currentIndex();
    if (i >= 0 && i < count) comparison = i;
  }
  auto stationCurve = [&](int index, CurveKind kind, int yColumn) {
    return index >= 0 ? SeriesFromStation(stations[static_cast<std::size_t>(index)], kind, yColumn) : Series{};
  };
  curve_[kComparison] = stationCurve(comparison, kind_, colRho);
  curve_[kOther] = stationCurve(other, kind_, colRho);
  ip_[kComparison] = hasIp_ ? stationCurve(comparison, CurveKind::SoundingIp, ipColumn) : Series{};
  ip_[kOther] = Series{};

  const QString comparisonName =
      comparison >= 0 ? Utf8(ShownText(stations[static_cast<std::size_t>(comparison)].Name)) : QString();
  names_[kComparison] = Tr(kLegendComparison).arg(comparisonName);
  if (spec.hasBranches) {
    names_[kCurrent] = Tr(kLegendBranch).arg(typedBranch);
    names_[kOther] = Tr(kLegendBranch).arg(otherBranch);
  } else {
    names_[kCurrent] = Tr(kLegendCurrent);
    names_[kOther].clear();
  }
  branch_ = spec.hasBranches ? form.branch : 0;

  outliers_ = FindOutliers(curve_[kCurrent], factor_->value());
  // The crossings are those of the two branches drawn: the typed one, or while nothing of it is
  // typed yet (just after a commit) the committed one of its name drawn faint, against the
  // committed other branch.
  crossings_.clear();
  const Series& sameBranch = curve_[kCurrent].empty() ? curve_[kComparison] : curve_[kCurrent];
  showBranches_ = spec.hasBranches && !curve_[kOther].empty() && !sameBranch.empty();
  if (showBranches_) {
    const bool typedIsA = form.branch == 0;
    crossings_ = FindCrossings(typedIsA ? sameBranch : curve_[kOther], typedIsA ? curve_[kOther] : sameBranch);
  }
}

void PlotPane::draw() {
  if (!curveChart_) return;
  const PlotChart::Style current{kBranchColor[branch_ == 0 ? 0 : 1], 2.0, 7.0};
  const PlotChart::Style other{kBranchColor[branch_ == 0 ? 1 : 0], 2.0, 7.0};
  const PlotChart::Style faint{kFaint, 1.5, 5.0, false};
  const PlotChart::Style styles[] = {current, faint, other};

  const Series model = SeriesOfPoints(kind_, modelCurve_);
  curveChart_->setAxes(FitAxes(kind_, {&curve_[0], &curve_[1], &curve_[2], &model}), XScale(kind_), YScale(kind_), xTitle_,
                       yTitle_);
  curveChart_->setModelCurve(modelCurve_, Tr(kLegendModel));
  for (int l = 0; l < PlotChart::kLayers; ++l) curveChart_->setLayer(l, curve_[l], names_[l], styles[l]);
  curveChart_->setOutliers(outliers_, Tr(kLegendOutliers));
  QList<QPointF> crossings;
  for (const Crossing& c : crossings_) crossings << QPointF(c.x, c.y);
  curveChart_->setCrossings(crossings, Tr(kLegendCrossings));
  curveChart_->refreshLegend();

  ipChart_->view()->setVisible(hasIp_);
  if (hasIp_) {
    ipChart_->setAxes(FitAxes(CurveKind::SoundingIp, {&ip_[0], &ip_[1]}), XScale(CurveKind::SoundingIp),
                      YScale(CurveKind::SoundingIp), xTitle_, ipTitle_);
    for (int l = 0; l < PlotChart::kLayers; ++l) ipChart_->setLayer(l, ip_[l], names_[l], styles[l]);
    ipChart_->refreshLegend();
  }
}

void PlotPane::showTexts() {
  const Series& s = curve_[kCurrent];
  const QString note = CoreText(s.note);
  if (note_->text() != note) note_->setText(note);
  note_->setVisible(!note.isEmpty() && curveChart_ != nullptr);
  placeNote();

  QStringList lines;
  if (showBranches_) {
    QStringList points;
    for (const Crossing& c : crossings_) {
      const QString rho = kValue.arg(rhoName_, Number(c.y));
      if (c.xEnd != c.x) points << Tr(kCoincide).arg(Number(c.x), Number(c.xEnd));
      else if (c.kind == Crossing::Kind::Touch) points << Tr(kTouchAt).arg(Number(c.x), rho);
      else points << Tr(kCrossAt).arg(Number(c.x), rho);
    }
    lines << (points.isEmpty() ? Tr(kNoCrossing) : Tr(kCrossings).arg(points.join(Tr(kListSeparator))));
  }
  if (!modelText_.isEmpty()) lines << modelText_;
  std::vector<int> outlierRows;
  for (const PlotPoint& p : outliers_) outlierRows.push_back(p.row);
  if (!outlierRows.empty()) lines << Tr(kOutlierRows).arg(RowList(outlierRows));
  if (!unreadableRows_.empty()) lines << Tr(kBadRows).arg(RowList(unreadableRows_));
  if (!s.repeatedRows.empty()) lines << Tr(kRepeatedRows).arg(xName_, RowList(s.repeatedRows));
  if (!s.outOfOrderRows.empty()) lines << Tr(kOutOfOrderRows).arg(xName_, RowList(s.outOfOrderRows));
  const QString info = lines.join(QLatin1Char('\n'));
  if (info_->text() != info) info_->setText(info);
}

void PlotPane::placeNote() {
  // Over the middle of the curve's plot area.
  if (note_->isHidden() || !curveChart_) return;
  note_->adjustSize();
  const QRectF area = curveChart_->chart()->plotArea();
  const QPoint centre = curveChart_->view()->mapFromScene(curveChart_->chart()->mapToScene(area.center()));
  note_->move(centre - QPoint(note_->width() / 2, note_->height() / 2));
  note_->raise();
}

QList<QPoint> PlotPane::outlierCells() const {
  QList<QPoint> cells;
  if (!isVisible() || rhoColumn_ < 1) return cells;
  for (const PlotPoint& p : outliers_) cells << QPoint(rhoColumn_, p.row + 1);
  return cells;
}

void PlotPane::applyTint() {
  if (tintGrid_ == nullptr) return;
  const QList<QPoint> wanted = outlierCells();
  // A reading that misses the fitted model tells by how much; one that breaks the line of its
  // neighbours says so.
  QStringList tips;
  for (const QPoint& cell : wanted) {
    QString tip = Tr(kTintTip);
    for (const auto& [row, residual] : modelOutliers_)
      if (row + 1 == cell.y()) tip = Tr(kModelTintTip).arg(QString::number(residual, 'f', 1));
    tips << tip;
  }
  if (wanted == tinted_ && tips == tintTips_) return;
  // Only the look of the cells changes: the grid reports no edit for it.
  const QSignalBlocker block(tintGrid_);
  auto item = [this](const QPoint& cell) -> QTableWidgetItem* {
    if (cell.y() < 1 || cell.y() > tintGrid_->rowCount() || cell.x() < 0 || cell.x() >= tintGrid_->columnCount())
      return nullptr;
    return tintGrid_->item(cell.y() - 1, cell.x());
  };
  for (const QPoint& cell : std::as_const(tinted_)) {
    if (wanted.contains(cell)) continue;
    if (QTableWidgetItem* it = item(cell)) {
      it->setData(Qt::BackgroundRole, QVariant());
      it->setData(Qt::ToolTipRole, QVariant());
    }
  }
  for (qsizetype i = 0; i < wanted.size(); ++i) {
    if (QTableWidgetItem* it = item(wanted[i])) {
      it->setData(Qt::BackgroundRole, QBrush(QColor(255, 205, 160)));
      it->setData(Qt::ToolTipRole, tips[i]);
    }
  }
  tinted_ = wanted;
  tintTips_ = tips;
}

// ---- The model of a sounding ----

namespace {
// The model's curve over the AB/2 of the readings.
QList<QPointF> CurveOf(const StationModel& model, const Series& readings) {
  double lo = 0.0, hi = 0.0;
  for (const Segment& seg : readings.segments)
    for (const PlotPoint& p : seg) {
      lo = lo == 0.0 ? p.x : std::min(lo, p.x);
      hi = std::max(hi, p.x);
    }
  return ModelCurvePoints(model, lo, hi);
}

QString Percent(double v) { return QString::number(v, 'f', 1); }
}  // namespace

void PlotPane::updateModel() {
  const bool sounding = kind_ == CurveKind::Sounding && rhoColumn_ > 0 && model_.sounding();
  modelOutliers_.clear();
  modelCurve_.clear();
  modelText_.clear();
  if (!sounding) return;
  const StationModel& m = model_.shown();
  const double rms = model_.misfit();
  const QString misfit = std::isfinite(rms) ? Percent(rms) : QStringLiteral("—");
  const qsizetype layers = static_cast<qsizetype>(m.Resistivity.size());
  switch (model_.source()) {
    case ModelState::Source::Station: modelText_ = Tr(kModelOfStation).arg(layers).arg(misfit); break;
    case ModelState::Source::Proposal: modelText_ = Tr(kModelFitted).arg(layers).arg(misfit); break;
    case ModelState::Source::Preview: modelText_ = Tr(kModelDragged).arg(layers).arg(misfit); break;
    case ModelState::Source::None:
      if (model_.fitting()) modelText_ = Tr(kModelFitting);
      else if (!model_.failure().empty()) modelText_ = Tr(kModelNoFit).arg(CoreText(model_.failure()));
      break;
  }
  if (m.empty()) return;
  modelCurve_ = CurveOf(m, curve_[kCurrent]);
  modelOutliers_ = model_.missing();
}

void PlotPane::mergeModelOutliers() {
  for (const auto& [row, residual] : modelOutliers_) {
    if (std::any_of(outliers_.begin(), outliers_.end(), [row = row](const PlotPoint& p) { return p.row == row; })) continue;
    for (const Segment& seg : curve_[kCurrent].segments)
      for (const PlotPoint& p : seg)
        if (p.row == row) outliers_.push_back(p);
  }
  std::sort(outliers_.begin(), outliers_.end(), [](const PlotPoint& a, const PlotPoint& b) { return a.row < b.row; });
}

QList<QPointF> PlotPane::drawnModelCurve() const { return curveChart_ ? curveChart_->modelCurve() : QList<QPointF>(); }

// ---- Hover ----

bool PlotPane::eventFilter(QObject* watched, QEvent* event) {
  for (View v : {View::Curve, View::Ip}) {
    QChartView* view = chartView(v);
    if (view == nullptr) continue;
    if (watched == view->viewport() && event->type() == QEvent::MouseMove) {
      hoverAt(v, static_cast<QMouseEvent*>(event)->position().toPoint());
    } else if (watched == view->viewport() && event->type() == QEvent::Leave) {
      hover_->clear();
    } else if (watched == view && v == View::Curve && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
      placeNote();
    }
  }
  return QWidget::eventFilter(watched, event);
}

void PlotPane::hoverAt(View view, const QPoint& viewportPos) {
  const PlotChart* chart = view == View::Curve ? curveChart_.get() : ipChart_.get();
  const std::optional<PlotChart::Hit> hit = chart ? chart->pointAt(viewportPos) : std::nullopt;
  if (!hit) {
    hover_->clear();
    QToolTip::hideText();
    return;
  }
  const QString yName = view == View::Curve ? rhoName_ : ipName_;
  const QString text = Tr(kHover).arg(names_[hit->layer])
                           .arg(hit->point.row + 1)
                           .arg(xName_, Number(hit->point.x), yName, Number(hit->point.y));
  hover_->setText(text);
  QWidget* viewport = chart->view()->viewport();
  QToolTip::showText(viewport->mapToGlobal(viewportPos), text, viewport);
}

QString PlotPane::hoverText() const { return hover_->text(); }

// ---- Export ----

void PlotPane::exportPlot() {
  // Named after the station or line shown (else the survey's file), in a folder the user may
  // write to.
  QString base;
  const int index = survey_.currentIndex();
  if (survey_.browsing() && index >= 0 && static_cast<std::size_t>(index) < survey_.stations().size())
    base = FromGbk(survey_.stations()[static_cast<std::size_t>(index)].Name);
  else if (!survey_.file().empty())
    base = QFileInfo(QFile::decodeName(QByteArray::fromStdString(survey_.file()))).completeBaseName();
  const QString proposed =
      ProposedExportPath(survey_, QString(), base, Tr(kExportBaseName), QStringLiteral(".png"));
  const QString path = dialogs_.chooseExportFile(window(), Tr(kExportTitle), Tr(kExportFilter), proposed);
  if (path.isEmpty()) return;
  QString error;
  if (!exportTo(path, &error))
    dialogs_.message(window(), Tr(kExportCaption), Tr(kExportFailed).arg(QDir::toNativeSeparators(path), error),
                     Dialogs::Icon::Error, Dialogs::Buttons::Ok);
}

bool PlotPane::exportTo(const QString& path, QString* error) {
  auto fail = [error](const QString& why) {
    if (error != nullptr) *error = why;
    return false;
  };
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != QLatin1String("png") && suffix != QLatin1String("svg") && suffix != QLatin1String("pdf"))
    return fail(Tr(kUnknownFormat));
  if (dirty_ || !curveChart_) replotNow();

  // The charts shown, one above the other, each at its size on screen (a usual size while the
  // pane is hidden).
  std::vector<std::pair<const PlotChart*, QSizeF>> parts;
  for (const PlotChart* c : {curveChart_.get(), ipChart_.get()}) {
    if (c == ipChart_.get() && !hasIp_) continue;
    QSizeF size = c->view()->size();
    if (!isVisible() || size.width() < 200 || size.height() < 150) size = QSizeF(640, 480);
    parts.emplace_back(c, size);
  }
  QSizeF total(0, 0);
  for (const auto& part : parts) total = QSizeF(std::max(total.width(), part.second.width()), total.height() + part.second.height());
  auto paint = [&](QPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    qreal y = 0;
    for (const auto& [chart, size] : parts) {
      chart->render(painter, QRectF(0, y, total.width(), size.height()));
      y += size.height();
    }
    return painter.end();
  };

  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
  const QSize pixels = total.toSize();
  if (suffix == QLatin1String("png")) {
    QImage image(pixels * 2, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return fail(Tr(kPaintFailed));
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::white);
    if (!paint(image)) return fail(Tr(kPaintFailed));
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) return fail(writer.errorString());
  } else if (suffix == QLatin1String("svg")) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(pixels);
    svg.setViewBox(QRect(QPoint(0, 0), pixels));
    svg.setTitle(Tr(kExportTitle));
    if (!paint(svg)) return fail(Tr(kPaintFailed));
  } else {
    QPdfWriter pdf(&file);
    pdf.setTitle(Tr(kExportTitle));
    pdf.setResolution(72);
    pdf.setPageSize(QPageSize(total, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    if (!paint(pdf)) return fail(Tr(kPaintFailed));
  }
  if (!file.commit()) return fail(file.errorString());
  return true;
}

// ---- For tests ----

const Series& PlotPane::curve(Layer layer) const { return curve_[static_cast<int>(layer)]; }

const Series& PlotPane::ipCurve(Layer layer) const { return ip_[static_cast<int>(layer)]; }

QChart* PlotPane::chart(View view) const {
  const PlotChart* c = view == View::Curve ? curveChart_.get() : ipChart_.get();
  return c ? c->chart() : nullptr;
}

QChartView* PlotPane::chartView(View view) const {
  const PlotChart* c = view == View::Curve ? curveChart_.get() : ipChart_.get();
  return c ? c->view() : nullptr;
}

QList<QList<QPointF>> PlotPane::drawnSegments(View view, Layer layer) const {
  const PlotChart* c = view == View::Curve ? curveChart_.get() : ipChart_.get();
  return c ? c->segments(static_cast<int>(layer)) : QList<QList<QPointF>>();
}

QList<QPointF> PlotPane::drawnOutliers() const { return curveChart_ ? curveChart_->outliers() : QList<QPointF>(); }

QList<QPointF> PlotPane::drawnCrossings() const { return curveChart_ ? curveChart_->crossings() : QList<QPointF>(); }
