#include "ui/sectionview.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QStyle>
#include <QSvgGenerator>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "interp/stationmodel.h"
#include "ui/dialogs.h"
#include "ui/exportpath.h"
#include "ui/gbkqt.h"

namespace {
const char* const kPseudoTitle = QT_TRANSLATE_NOOP("SectionView", "视电阻率拟断面");
const char* const kGeoTitle = QT_TRANSLATE_NOOP("SectionView", "地电断面（测点的模型）");
const char* const kPlanTitle = QT_TRANSLATE_NOOP("SectionView", "剖面平面图：视电阻率");
const char* const kAlong = QT_TRANSLATE_NOOP("SectionView", "x (m)");
const char* const kPointNo = QT_TRANSLATE_NOOP("SectionView", "点号 (m)");
const char* const kAb2 = QT_TRANSLATE_NOOP("SectionView", "AB/2 (m)");
const char* const kDepthAxis = QT_TRANSLATE_NOOP("SectionView", "深度 (m)");
const char* const kLineAxis = QT_TRANSLATE_NOOP("SectionView", "测线");
const char* const kOhmM = QT_TRANSLATE_NOOP("SectionView", "Ω·m");
const char* const kNoModel = QT_TRANSLATE_NOOP("SectionView", "无模型");
const char* const kNothing = QT_TRANSLATE_NOOP("SectionView", "还没有可以画出的测点");
const char* const kHoverPseudo = QT_TRANSLATE_NOOP("SectionView", "测点 %1：AB/2 = %2 m，视电阻率 %3 Ω·m");
const char* const kHoverGeo = QT_TRANSLATE_NOOP("SectionView", "测点 %1：深度 %2 m，电阻率 %3 Ω·m");
const char* const kHoverPlan = QT_TRANSLATE_NOOP("SectionView", "测线 %1：点号 %2，视电阻率 %3 Ω·m");
const char* const kHoverStation = QT_TRANSLATE_NOOP("SectionView", "测点 %1");
const char* const kCrossingAt = QT_TRANSLATE_NOOP("SectionView", "测线 %1：两支交于点号 %2");
const char* const kNoCrossings = QT_TRANSLATE_NOOP("SectionView", "联合剖面两支没有交点");
const char* const kLine = QT_TRANSLATE_NOOP("SectionView", "剖面");
const char* const kDepth = QT_TRANSLATE_NOOP("SectionView", "深度");
const char* const kExport = QT_TRANSLATE_NOOP("SectionView", "导出断面图...");
const char* const kExportTitle = QT_TRANSLATE_NOOP("SectionView", "导出断面图");
const char* const kExportFilter = QT_TRANSLATE_NOOP("SectionView", "PNG 图像 (*.png);;SVG 图像 (*.svg);;PDF 文件 (*.pdf)");
const char* const kExportFailed = QT_TRANSLATE_NOOP("SectionView", "无法写入文件 %1。");
const char* const kUnknownFormat = QT_TRANSLATE_NOOP("SectionView", "文件名应以 .png、.svg 或 .pdf 结尾。");
const char* const kExportBaseName = QT_TRANSLATE_NOOP("SectionView", "断面图");
const char* const kDockTitle = QT_TRANSLATE_NOOP("SectionView", "断面图");

QString Tr(const char* text) { return QCoreApplication::translate("SectionView", text); }
QString Number(double v) { return QString::number(v, 'g', 4); }

// Ticks of a linear axis from lo to hi: about `count` steps of 1, 2 or 5 times a power of ten.
std::vector<double> Ticks(double lo, double hi, int count) {
  std::vector<double> out;
  if (!(hi > lo)) return out;
  const double raw = (hi - lo) / std::max(count, 1);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power;
  for (double f : {1.0, 2.0, 5.0, 10.0})
    if (f * power >= raw) {
      step = f * power;
      break;
    }
  for (double v = std::ceil(lo / step) * step; v <= hi + step * 1e-9; v += step) out.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
  return out;
}

// Plot margins around the coloured area: room for the axes' labels, the names of the stations
// above and their misfits below, and the legend at the right.
const QMargins kMargins(64, 44, 92, 60);
}  // namespace

// ---- SectionPicture ----

SectionPicture::SectionPicture(Kind kind, DataType type, const StationList& stations, const std::string& line, double depth)
    : kind_(kind), type_(type), stations_(&stations), depth_(depth) {
  if (kind == Kind::Plan) {
    plan_ = PlanLines(type, stations);
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool first = true;
    for (const PlanLine& l : plan_) {
      for (double x : l.x) {
        x0 = first ? x : std::min(x0, x);
        x1 = first ? x : std::max(x1, x);
        first = false;
      }
    }
    if (!plan_.empty()) {
      y0 = plan_.front().y;
      y1 = plan_.back().y;
    }
    const double px = x1 > x0 ? 0.03 * (x1 - x0) : 10.0;
    const double py = y1 > y0 ? 0.12 * (y1 - y0) : 1.0;
    area_ = {x0 - px, x1 + px, y0 - py, y1 + py};
    return;
  }
  line_ = LineStations(stations, line);
  double x0 = 0, x1 = 0, a0 = 0, a1 = 1;
  bool first = true, firstA = true;
  for (std::size_t i : line_) {
    const sdata& s = stations[i];
    x0 = first ? s.X : std::min<double>(x0, s.X);
    x1 = first ? s.X : std::max<double>(x1, s.X);
    first = false;
    for (float a : s.Columns[colAB2]) {
      if (!(a > 0.0f)) continue;
      const double la = std::log10(static_cast<double>(a));
      a0 = firstA ? la : std::min(a0, la);
      a1 = firstA ? la : std::max(a1, la);
      firstA = false;
    }
  }
  const double px = x1 > x0 ? 0.04 * (x1 - x0) : 10.0;
  if (kind == Kind::Pseudo) {
    logY_ = true;
    area_ = {x0 - px, x1 + px, a0 - 0.05, a1 + 0.05};
  } else {
    area_ = {x0 - px, x1 + px, 0.0, depth_};
  }
}

bool SectionPicture::empty() const { return kind_ == Kind::Plan ? plan_.empty() : line_.empty(); }

QRect SectionPicture::plotArea(const QRect& rect) const { return rect.marginsRemoved(kMargins); }

Raster SectionPicture::raster(int width, int height) const {
  switch (kind_) {
    case Kind::Pseudo: return PseudoSection(*stations_, line_, width, height, area_);
    case Kind::Geoelectric: return GeoelectricSection(*stations_, line_, width, height, area_);
    case Kind::Plan: return PlanMap(plan_, width, height, area_);
  }
  return {};
}

ValueRange SectionPicture::range() const {
  const Raster r = raster(120, 80);
  return FiniteRange({&r});
}

double SectionPicture::xOf(const QRect& a, double x) const {
  return a.left() + (x - area_.x0) / (area_.x1 - area_.x0) * a.width();
}

double SectionPicture::yOf(const QRect& a, double y) const {
  // The plan's lines rise upwards; sections go down with AB/2 or depth.
  const double t = (y - area_.y0) / (area_.y1 - area_.y0);
  return kind_ == Kind::Plan ? a.bottom() - t * a.height() : a.top() + t * a.height();
}

void SectionPicture::paint(QPainter& p, const QRect& rect, const ValueRange& range) const {
  p.save();
  p.fillRect(rect, Qt::white);
  const QFontMetrics fm(p.font());
  const QString title = Tr(kind_ == Kind::Pseudo ? kPseudoTitle : kind_ == Kind::Geoelectric ? kGeoTitle : kPlanTitle);
  p.setPen(Qt::black);
  p.drawText(rect.adjusted(8, 4, -8, 0), Qt::AlignLeft | Qt::AlignTop, title);
  const QRect a = plotArea(rect);
  if (empty() || a.width() < 20 || a.height() < 20) {
    p.setPen(QColor(112, 112, 112));
    p.drawText(rect, Qt::AlignCenter, Tr(kNothing));
    p.restore();
    return;
  }
  // The colours, cell by cell; the plan map's rows run upwards.
  const Raster r = raster(a.width(), a.height());
  QImage image(a.width(), a.height(), QImage::Format_RGB32);
  image.fill(QColor(242, 242, 242));
  const double span = range.hi - range.lo;
  for (int row = 0; row < r.height; ++row) {
    const int y = kind_ == Kind::Plan ? r.height - 1 - row : row;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int c = 0; c < r.width; ++c) {
      const float v = r.at(c, row);
      if (!std::isfinite(v)) continue;
      const auto rgb = ScaleColour((v - range.lo) / span);
      line[c] = qRgb(rgb[0], rgb[1], rgb[2]);
    }
  }
  p.drawImage(a.topLeft(), image);
  p.setPen(QColor(90, 90, 90));
  p.drawRect(a.adjusted(0, 0, -1, -1));

  // The x axis below.
  p.setPen(Qt::black);
  for (double x : Ticks(area_.x0, area_.x1, std::max(2, a.width() / 90))) {
    const int px = static_cast<int>(std::lround(xOf(a, x)));
    p.drawLine(px, a.bottom(), px, a.bottom() + 4);
    // Below the misfits of the geoelectric section.
    const int top = a.bottom() + 5 + (kind_ == Kind::Geoelectric ? fm.height() : 0);
    p.drawText(QRect(px - 40, top, 80, fm.height()), Qt::AlignHCenter | Qt::AlignTop, Number(x));
  }
  const QString xTitle = Tr(kind_ == Kind::Plan ? kPointNo : kAlong);
  p.drawText(QRect(a.left(), rect.bottom() - fm.height() - 2, a.width(), fm.height()), Qt::AlignRight, xTitle);

  // The y axis at the left.
  if (kind_ == Kind::Pseudo) {
    for (int k = static_cast<int>(std::ceil(area_.y0)); k <= static_cast<int>(std::floor(area_.y1)); ++k) {
      const int py = static_cast<int>(std::lround(yOf(a, k)));
      p.drawLine(a.left() - 4, py, a.left(), py);
      p.drawText(QRect(rect.left(), py - fm.height() / 2, a.left() - rect.left() - 6, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                 Number(std::pow(10.0, k)));
    }
  } else if (kind_ == Kind::Geoelectric) {
    for (double d : Ticks(area_.y0, area_.y1, std::max(2, a.height() / 40))) {
      const int py = static_cast<int>(std::lround(yOf(a, d)));
      p.drawLine(a.left() - 4, py, a.left(), py);
      p.drawText(QRect(rect.left(), py - fm.height() / 2, a.left() - rect.left() - 6, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                 Number(d));
    }
  } else {
    for (const PlanLine& l : plan_) {
      const int py = static_cast<int>(std::lround(yOf(a, l.y)));
      p.setPen(QColor(255, 255, 255, 200));
      p.drawLine(a.left(), py, a.right(), py);
      p.setPen(Qt::black);
      p.drawText(QRect(rect.left(), py - fm.height() / 2, a.left() - rect.left() - 6, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                 FromGbk(l.name));
    }
  }
  p.save();
  p.translate(rect.left() + fm.height() / 2 + 2, a.center().y());
  p.rotate(-90);
  const QString yTitle = Tr(kind_ == Kind::Pseudo ? kAb2 : kind_ == Kind::Geoelectric ? kDepthAxis : kLineAxis);
  p.drawText(QRect(-a.height() / 2, -fm.height() / 2, a.height(), fm.height()), Qt::AlignCenter, yTitle);
  p.restore();

  // The stations: a tick with the name above, the misfit of its model below (geoelectric).
  if (kind_ != Kind::Plan) {
    int lastRight = -1000000;
    for (std::size_t i : line_) {
      if (i >= stations_->size()) continue;
      const sdata& s = (*stations_)[i];
      const int px = static_cast<int>(std::lround(xOf(a, s.X)));
      p.setPen(Qt::black);
      p.drawLine(px, a.top() - 5, px, a.top());
      const QString name = FromGbk(s.Name);
      const int w = fm.horizontalAdvance(name);
      if (px - w / 2 > lastRight + 4) {
        p.drawText(QRect(px - w / 2 - 2, a.top() - 5 - fm.height(), w + 4, fm.height()), Qt::AlignCenter, name);
        if (kind_ == Kind::Geoelectric) {
          QString misfit = Tr(kNoModel);
          if (IsUsableModel(s.Model)) {
            const double rms = RmsResidualPercent(s.Columns[colRho], ModelApparentResistivity(s));
            misfit = std::isfinite(rms) ? QStringLiteral("%1%").arg(QString::number(rms, 'f', 1)) : QStringLiteral("—");
          }
          p.setPen(IsUsableModel(s.Model) ? Qt::black : QColor(150, 40, 40));
          p.drawText(QRect(px - 40, a.bottom() + 2, 80, fm.height()), Qt::AlignHCenter | Qt::AlignTop, misfit);
        }
        lastRight = px + w / 2;
      }
    }
  } else {
    // The crossings of combined profiling: rings where the branches cross.
    p.setPen(QPen(QColor(220, 30, 30), 2));
    p.setBrush(Qt::NoBrush);
    for (const PlanLine& l : plan_)
      for (const Crossing& c : l.crossings)
        p.drawEllipse(QPointF(xOf(a, c.x), yOf(a, l.y)), 6, 6);
  }

  // The legend: the colour bar with decades of resistivity.
  const QRect bar(a.right() + 18, a.top(), 14, a.height());
  for (int y = 0; y < bar.height(); ++y) {
    const auto rgb = ScaleColour(1.0 - static_cast<double>(y) / std::max(1, bar.height() - 1));
    p.setPen(QColor(rgb[0], rgb[1], rgb[2]));
    p.drawLine(bar.left(), bar.top() + y, bar.right(), bar.top() + y);
  }
  p.setPen(Qt::black);
  p.setBrush(Qt::NoBrush);
  p.drawRect(bar.adjusted(0, 0, -1, -1));
  for (int k = static_cast<int>(std::ceil(range.lo - 1e-9)); k <= static_cast<int>(std::floor(range.hi + 1e-9)); ++k) {
    const int py = bar.bottom() - static_cast<int>(std::lround((k - range.lo) / span * (bar.height() - 1)));
    p.drawLine(bar.right(), py, bar.right() + 4, py);
    p.drawText(QRect(bar.right() + 6, py - fm.height() / 2, rect.right() - bar.right() - 6, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
               Number(std::pow(10.0, k)));
  }
  p.drawText(QRect(bar.left() - 8, a.top() - fm.height() - 4, 60, fm.height()), Qt::AlignLeft, Tr(kOhmM));
  p.restore();
}

QString SectionPicture::describe(const QRect& rect, const QPoint& at, int* station) const {
  if (station != nullptr) *station = -1;
  const QRect a = plotArea(rect);
  if (empty() || !a.adjusted(0, -20, 0, 0).contains(at)) return {};
  const double x = area_.x0 + (at.x() - a.left() + 0.5) / a.width() * (area_.x1 - area_.x0);
  double t = (at.y() - a.top() + 0.5) / a.height();
  if (kind_ == Kind::Plan) t = 1.0 - t;
  const double y = area_.y0 + std::clamp(t, 0.0, 1.0) * (area_.y1 - area_.y0);
  // The value there: a one-cell raster at that point.
  const RasterArea cell{x, x, y, y};
  Raster one;
  switch (kind_) {
    case Kind::Pseudo: one = PseudoSection(*stations_, line_, 1, 1, cell); break;
    case Kind::Geoelectric: one = GeoelectricSection(*stations_, line_, 1, 1, cell); break;
    case Kind::Plan: one = PlanMap(plan_, 1, 1, cell); break;
  }
  const float v = one.values.empty() ? std::nanf("") : one.values[0];
  const QString rho = std::isfinite(v) ? Number(std::pow(10.0, v)) : QStringLiteral("—");
  if (kind_ == Kind::Plan) {
    const PlanLine* nearest = nullptr;
    for (const PlanLine& l : plan_)
      if (nearest == nullptr || std::abs(l.y - y) < std::abs(nearest->y - y)) nearest = &l;
    return Tr(kHoverPlan).arg(nearest ? FromGbk(nearest->name) : QString(), Number(x), rho);
  }
  // The station nearest along the line.
  int best = -1;
  double bestPx = 1e9;
  for (std::size_t i : line_) {
    if (i >= stations_->size()) continue;
    const double d = std::abs(xOf(a, (*stations_)[i].X) - at.x());
    if (d < bestPx) {
      bestPx = d;
      best = static_cast<int>(i);
    }
  }
  if (best < 0) return {};
  if (station != nullptr && bestPx <= 8.0) *station = best;
  const QString name = FromGbk((*stations_)[static_cast<std::size_t>(best)].Name);
  // Above the colours, over the stations' names: the station under the mouse only.
  if (at.y() < a.top()) return bestPx <= 8.0 ? Tr(kHoverStation).arg(name) : QString();
  return kind_ == Kind::Pseudo ? Tr(kHoverPseudo).arg(name, Number(std::pow(10.0, y)), rho)
                               : Tr(kHoverGeo).arg(name, Number(y), rho);
}

QStringList SectionPicture::crossingTexts() const {
  QStringList out;
  if (type_ != dtCombinedProfile) return out;
  for (const PlanLine& l : plan_)
    for (const Crossing& c : l.crossings) out << Tr(kCrossingAt).arg(FromGbk(l.name), Number(c.x));
  if (out.isEmpty() && !plan_.empty()) out << Tr(kNoCrossings);
  return out;
}

// ---- The view ----

namespace {
// One picture on screen.
class SectionCanvas : public QWidget {
 public:
  SectionCanvas(std::function<const SectionPicture*()> picture, std::function<ValueRange()> range,
                std::function<void(const QString&)> hover, std::function<void(int)> click, QWidget* parent)
      : QWidget(parent), picture_(std::move(picture)), range_(std::move(range)), hover_(std::move(hover)), click_(std::move(click)) {
    setMouseTracking(true);
    setMinimumSize(240, 170);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const SectionPicture* picture = picture_();
    if (picture == nullptr) return;
    QPainter p(this);
    picture->paint(p, rect(), range_());
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    const SectionPicture* picture = picture_();
    hover_(picture ? picture->describe(rect(), e->position().toPoint()) : QString());
  }
  void leaveEvent(QEvent*) override { hover_(QString()); }
  void mousePressEvent(QMouseEvent* e) override {
    const SectionPicture* picture = picture_();
    if (picture == nullptr || e->button() != Qt::LeftButton) return;
    int station = -1;
    picture->describe(rect(), e->position().toPoint(), &station);
    if (station >= 0) click_(station);
  }

 private:
  std::function<const SectionPicture*()> picture_;
  std::function<ValueRange()> range_;
  std::function<void(const QString&)> hover_;
  std::function<void(int)> click_;
};
}  // namespace

SectionView::SectionView(Survey& survey, Dialogs& dialogs, std::function<void(int)> show, QWidget* parent)
    : QWidget(parent), survey_(survey), dialogs_(dialogs), show_(std::move(show)) {
  setObjectName(QStringLiteral("SectionView"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* bar = new QHBoxLayout();
  lineLabel_ = new QLabel(Tr(kLine), this);
  line_ = new QComboBox(this);
  line_->setObjectName(QStringLiteral("SectionLine"));
  line_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  lineLabel_->setBuddy(line_);
  depthLabel_ = new QLabel(Tr(kDepth), this);
  depth_ = new QDoubleSpinBox(this);
  depth_->setObjectName(QStringLiteral("SectionDepth"));
  depth_->setRange(1.0, 100000.0);
  depth_->setDecimals(1);
  depth_->setSuffix(QStringLiteral(" m"));
  depthLabel_->setBuddy(depth_);
  auto* exportButton = new QToolButton(this);
  exportButton->setObjectName(QStringLiteral("ExportSections"));
  exportButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  exportButton->setToolTip(Tr(kExport));
  bar->addWidget(lineLabel_);
  bar->addWidget(line_);
  bar->addWidget(depthLabel_);
  bar->addWidget(depth_);
  bar->addStretch();
  bar->addWidget(exportButton);
  layout->addLayout(bar);
  canvasArea_ = new QWidget(this);
  auto* canvases = new QHBoxLayout(canvasArea_);
  canvases->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(canvasArea_, 1);
  hover_ = new QLabel(this);
  hover_->setObjectName(QStringLiteral("SectionHover"));
  hover_->setMinimumHeight(fontMetrics().lineSpacing());
  info_ = new QLabel(this);
  info_->setObjectName(QStringLiteral("SectionInfo"));
  info_->setWordWrap(true);
  layout->addWidget(hover_);
  layout->addWidget(info_);
  connect(line_, &QComboBox::activated, this, [this](int) {
    depthTouched_ = false;
    refresh();
  });
  connect(depth_, &QDoubleSpinBox::valueChanged, this, [this](double) {
    depthTouched_ = true;
    rebuild();
  });
  connect(exportButton, &QToolButton::clicked, this, [this] { exportPictures(); });
  survey_.addObserver(this);
}

SectionView::~SectionView() { survey_.removeObserver(this); }

void SectionView::surveyChanged(unsigned changes) {
  if (changes & (change::kStations | change::kType)) schedule();
}

void SectionView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
}

void SectionView::schedule() {
  if (scheduled_ || !isVisible()) return;
  scheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    scheduled_ = false;
    if (isVisible()) refresh();
  });
}

std::vector<SectionPicture> SectionPictures(DataType type, const StationList& stations, const std::string& line,
                                            double depth) {
  std::vector<SectionPicture> out;
  if (IsSoundingType(type)) {
    out.emplace_back(SectionPicture::Kind::Pseudo, type, stations, line, depth);
    out.emplace_back(SectionPicture::Kind::Geoelectric, type, stations, line, depth);
  } else {
    out.emplace_back(SectionPicture::Kind::Plan, type, stations, std::string(), 0.0);
  }
  return out;
}

std::vector<SectionPicture> SectionView::pictures() const {
  return SectionPictures(survey_.type(), survey_.stations(), line_->currentData().toByteArray().toStdString(),
                         depth_->value());
}

void SectionView::refresh() {
  const bool sounding = IsSoundingType(survey_.type());
  // The lines of soundings, named by their line numbers; the one chosen stays chosen.
  {
    const QSignalBlocker block(line_);
    const QByteArray chosen = line_->currentData().toByteArray();
    line_->clear();
    if (sounding)
      for (const std::string& name : SoundingLines(survey_.stations()))
        line_->addItem(FromGbk(name), QByteArray::fromStdString(name));
    const int at = line_->findData(chosen);
    line_->setCurrentIndex(at >= 0 ? at : 0);
  }
  for (QWidget* w : {static_cast<QWidget*>(line_), static_cast<QWidget*>(lineLabel_), static_cast<QWidget*>(depth_),
                     static_cast<QWidget*>(depthLabel_)})
    w->setVisible(sounding);
  const std::string line = line_->currentData().toByteArray().toStdString();
  if (sounding && (!depthTouched_ || line != lastLine_)) {
    const QSignalBlocker block(depth_);
    depth_->setValue(SectionDepth(survey_.stations(), LineStations(survey_.stations(), line)));
    depthTouched_ = false;
  }
  lastLine_ = line;
  // One canvas per picture.
  const int wanted = sounding ? 2 : 1;
  while (canvases_.size() > wanted) delete canvases_.takeLast();
  while (canvases_.size() < wanted) {
    const int index = static_cast<int>(canvases_.size());
    auto* canvas = new SectionCanvas(
        [this, index]() -> const SectionPicture* {
          return index < static_cast<int>(shown_.size()) ? &shown_[static_cast<std::size_t>(index)] : nullptr;
        },
        [this] { return range_; },
        [this](const QString& text) { hover_->setText(text); }, [this](int station) { show_(station); }, canvasArea_);
    canvas->setObjectName(QStringLiteral("SectionCanvas%1").arg(index + 1));
    canvasArea_->layout()->addWidget(canvas);
    canvases_ << canvas;
  }
  rebuild();
  QStringList info;
  if (!sounding && !shown_.empty()) info = shown_.front().crossingTexts();
  info_->setText(info.join(QLatin1Char('\n')));
  for (QWidget* c : canvases_) c->update();
}

ValueRange CommonRange(const std::vector<SectionPicture>& pictures) {
  ValueRange range{};
  bool first = true;
  for (const SectionPicture& p : pictures) {
    if (p.empty()) continue;
    const ValueRange one = p.range();
    range = first ? one : ValueRange{std::min(range.lo, one.lo), std::max(range.hi, one.hi)};
    first = false;
  }
  return range;
}

void SectionView::rebuild() {
  shown_ = pictures();
  range_ = CommonRange(shown_);
}

QString SectionView::hoverText() const { return hover_->text(); }
QString SectionView::infoText() const { return info_->text(); }
QList<QWidget*> SectionView::canvases() const { return canvases_; }

bool SectionView::exportTo(const QString& path, QString* error) {
  auto fail = [error](const QString& why) {
    if (error != nullptr) *error = why;
    return false;
  };
  const QString suffix = QFileInfo(path).suffix().toLower();
  const std::vector<SectionPicture> shown = pictures();
  const ValueRange range = CommonRange(shown);
  // The pictures one above the other, each 1200 × 520.
  const QSize one(1200, 520);
  const QSize size(one.width(), one.height() * static_cast<int>(shown.size()));
  auto paintAll = [&](QPainter& p, double scale) {
    p.scale(scale, scale);
    // Text the size it has on screen, whatever the device's resolution.
    QFont font = p.font();
    font.setPixelSize(13);
    p.setFont(font);
    for (std::size_t i = 0; i < shown.size(); ++i)
      shown[i].paint(p, QRect(QPoint(0, static_cast<int>(i) * one.height()), one), range);
  };
  if (suffix == QLatin1String("png")) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    paintAll(p, 1.0);
    p.end();
    if (!image.save(path, "PNG")) return fail(Tr(kExportFailed).arg(QDir::toNativeSeparators(path)));
    return true;
  }
  if (suffix == QLatin1String("svg")) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    QPainter p;
    if (!p.begin(&svg)) return fail(Tr(kExportFailed).arg(QDir::toNativeSeparators(path)));
    paintAll(p, 1.0);
    return p.end() && QFileInfo(path).size() > 0 ? true : fail(Tr(kExportFailed).arg(QDir::toNativeSeparators(path)));
  }
  if (suffix == QLatin1String("pdf")) {
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setResolution(150);
    QPainter p;
    if (!p.begin(&pdf)) return fail(Tr(kExportFailed).arg(QDir::toNativeSeparators(path)));
    const double scale = std::min(pdf.width() / static_cast<double>(size.width()), pdf.height() / static_cast<double>(size.height()));
    paintAll(p, scale);
    return p.end() ? true : fail(Tr(kExportFailed).arg(QDir::toNativeSeparators(path)));
  }
  return fail(Tr(kUnknownFormat));
}

void SectionView::exportPictures() {
  const QString proposed = ProposedExportPath(survey_, QString(), QString(), Tr(kExportBaseName), QStringLiteral(".png"));
  const QString path = dialogs_.chooseExportFile(window(), Tr(kExportTitle), Tr(kExportFilter), proposed);
  if (path.isEmpty()) return;
  QString error;
  if (!exportTo(path, &error))
    dialogs_.message(window(), Tr(kExportTitle), error, Dialogs::Icon::Error, Dialogs::Buttons::Ok);
}

SectionDock::SectionDock(Survey& survey, Dialogs& dialogs, std::function<void(int)> show, QWidget* parent)
    : QDockWidget(Tr(kDockTitle), parent), view_(new SectionView(survey, dialogs, std::move(show), this)) {
  setObjectName(QStringLiteral("SectionDock"));
  setWidget(view_);
}

QSize SectionDock::sizeHint() const { return QSize(900, 420); }
