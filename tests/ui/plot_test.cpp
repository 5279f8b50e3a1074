// The plot pane beside the grid: the curve follows what is typed and what is shown, the data
// type decides the plot, combined profiling shows both branches and their crossings, readings
// that break the curve are marked and tinted, hovering tells a point's row, the plot is
// exported, bad cell texts never break the plot, and the pane's place is remembered.
#include <algorithm>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTest>
#include <QValueAxis>
#include <QXmlStreamReader>
#include <cmath>

#include "formdriver.h"
#include "stationbuilder.h"
#include "interp/stationmodel.h"
#include "ui/plotpane.h"

using Layer = PlotPane::Layer;
using View = PlotPane::View;
using Points = QList<QPointF>;
using Lines = QList<QList<QPointF>>;

namespace {
PlotPane* Pane(FormDriver& d) { return d.form->Plot; }

// The pane draws once its charts are built after the window's first paint.
bool ChartsBuilt(FormDriver& d) { return Pane(d)->chart(View::Curve) != nullptr; }

// Typed changes are drawn once control is back in the event loop.
void Settle() { QApplication::processEvents(); }

QAbstractAxis* Axis(QChart* chart, Qt::Orientation o) {
  const auto axes = chart->axes(o);
  return axes.isEmpty() ? nullptr : axes.first();
}

// An axis that can be drawn: finite bounds, min below max, and above zero on a log axis.
bool Drawable(QAbstractAxis* axis) {
  if (auto* log = qobject_cast<QLogValueAxis*>(axis))
    return std::isfinite(log->min()) && std::isfinite(log->max()) && log->min() > 0 && log->min() < log->max();
  if (auto* value = qobject_cast<QValueAxis*>(axis))
    return std::isfinite(value->min()) && std::isfinite(value->max()) && value->min() < value->max();
  return false;
}

// Sets the spacing count through EAB (leaving it sizes the grid) and fills the given columns.
void Fill(FormDriver& d, const QList<QStringList>& rows, int firstColumn = 1) {
  d.type(d.form->EAB, QString::number(rows.size()));
  d.focus(d.form->EX);
  for (int r = 0; r < rows.size(); ++r)
    for (int c = 0; c < rows[r].size(); ++c) d.setCell(firstColumn + c, r + 1, rows[r][c]);
}

QLineSeries* SeriesNamed(QChart* chart, const QString& name) {
  for (QAbstractSeries* s : chart->series())
    if (s->name() == name) return qobject_cast<QLineSeries*>(s);
  return nullptr;
}

// A text the chart's scene shows, where it stands (scene coordinates).
struct ShownText {
  QString text;
  QRectF rect;
};

// Every text item of the chart that is shown: tick labels, axis titles, legend names.
QList<ShownText> TextsShown(QChart* chart) {
  QList<ShownText> out;
  for (QGraphicsItem* item : chart->scene()->items()) {
    auto* t = qgraphicsitem_cast<QGraphicsTextItem*>(item);
    if (t == nullptr || !t->isVisible() || t->toPlainText().isEmpty()) continue;
    out.append({t->toPlainText(), t->sceneBoundingRect()});
  }
  return out;
}

// The tick labels an axis must show: each power of ten of a log axis, each step of a linear
// one, as its "%g" format writes them.
QStringList ExpectedTicks(QAbstractAxis* axis) {
  QStringList ticks;
  if (auto* log = qobject_cast<QLogValueAxis*>(axis)) {
    for (int e = static_cast<int>(std::ceil(std::log10(log->min()) - 1e-9)); e <= std::floor(std::log10(log->max()) + 1e-9); ++e)
      ticks << QString::asprintf("%g", std::pow(10.0, e));
  } else if (auto* value = qobject_cast<QValueAxis*>(axis)) {
    for (int i = 0; i < value->tickCount(); ++i)
      ticks << QString::asprintf("%g", value->min() + i * (value->max() - value->min()) / (value->tickCount() - 1));
  }
  return ticks;
}

// What a chart shows is what it holds: the tick labels beside each axis are exactly the ticks of
// its range, each at the place of its value (no label left over from an earlier range); the
// axis titles are shown whole; the legend names exactly the entries expected, each shown whole.
// An empty string when so, else what is wrong.
QString ShowsWhatItHolds(QChart* chart, const QString& xTitle, const QString& yTitle, const QStringList& legend) {
  const QList<ShownText> texts = TextsShown(chart);
  const QRectF area = chart->mapRectToScene(chart->plotArea());
  QAbstractSeries* anchor = chart->series().first();
  QStringList wrong;
  for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
    QAbstractAxis* axis = Axis(chart, o);
    QStringList shown;
    for (const ShownText& t : texts) {
      bool number = false;
      const double v = t.text.toDouble(&number);
      if (!number) continue;
      const bool beside = o == Qt::Horizontal ? t.rect.top() >= area.bottom() - 1 : t.rect.right() <= area.left() + 1;
      if (!beside) continue;
      shown << t.text;
      const QPointF at = chart->mapToScene(
          chart->mapToPosition(o == Qt::Horizontal ? QPointF(v, 1) : QPointF(1, v), anchor));
      const double off = o == Qt::Horizontal ? std::abs(t.rect.center().x() - at.x()) : std::abs(t.rect.center().y() - at.y());
      if (off > 4) wrong << QStringLiteral("label %1 is %2 px from its tick").arg(t.text).arg(off);
    }
    shown.sort();
    QStringList expected = ExpectedTicks(axis);
    expected.sort();
    if (shown != expected) wrong << QStringLiteral("labels %1, not %2").arg(shown.join(','), expected.join(','));
    const QString title = o == Qt::Horizontal ? xTitle : yTitle;
    if (axis->titleText() != title) wrong << QStringLiteral("title %1, not %2").arg(axis->titleText(), title);
    if (std::none_of(texts.begin(), texts.end(), [&](const ShownText& t) { return t.text == title; }))
      wrong << QStringLiteral("title %1 not shown whole").arg(title);
  }
  QStringList entries;
  for (QLegendMarker* m : chart->legend()->markers())
    if (m->isVisible()) entries << m->label();
  if (!chart->legend()->isVisible()) entries.clear();
  if (entries != legend) wrong << QStringLiteral("legend %1, not %2").arg(entries.join(','), legend.join(','));
  for (const QString& name : legend)
    if (std::none_of(texts.begin(), texts.end(), [&](const ShownText& t) { return t.text == name; }))
      wrong << QStringLiteral("legend entry %1 not shown whole").arg(name);
  return wrong.join(QStringLiteral("; "));
}

// Renders the curve chart off-screen, as a repaint of the pane would, and tells what is wrong
// with what it shows (empty when nothing).
QString RenderedCurve(PlotPane* pane, const QString& xTitle, const QString& yTitle, const QStringList& legend) {
  QApplication::processEvents();  // the chart lays itself out again from the event loop
  if (pane->chartView(View::Curve)->grab().isNull()) return QStringLiteral("nothing rendered");
  return ShowsWhatItHolds(pane->chart(View::Curve), xTitle, yTitle, legend);
}

void ClearSettings() { QSettings(QStringLiteral("FieldInput"), QStringLiteral("fieldinput")).clear(); }
}  // namespace

class PlotTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { ClearSettings(); }

  // Each typed reading joins the curve; a cell that is not a positive number leaves a gap
  // that closes once it is corrected; the axes are whole decades around the points, a decade
  // beyond a point on a power of ten.
  void typingUpdatesTheCurve() {
    FormDriver d;
    PlotPane* pane = Pane(d);
    QTRY_VERIFY(ChartsBuilt(d));
    QVERIFY(pane->isVisible());
    QVERIFY(d.form->ShowPlot->isChecked());
    QCOMPARE(pane->findChild<QLabel*>(QStringLiteral("PlotNote"))->text(), QStringLiteral("没有可绘制的数据"));

    d.typeCell(2, 1, QStringLiteral("100"));
    d.typeCell(2, 2, QStringLiteral("120"));
    d.typeCell(2, 3, QStringLiteral("abc"));
    d.typeCell(2, 4, QStringLiteral("150"));
    QTRY_COMPARE(pane->drawnSegments(View::Curve, Layer::Current), (Lines{{{1.5, 100}, {2.5, 120}}, {{6, 150}}}));
    QVERIFY(pane->findChild<QLabel*>(QStringLiteral("PlotNote"))->isHidden());
    QVERIFY(pane->findChild<QLabel*>(QStringLiteral("PlotInfo"))->text().contains(QStringLiteral("第 3 行")));
    auto* x = qobject_cast<QLogValueAxis*>(Axis(pane->chart(View::Curve), Qt::Horizontal));
    auto* y = qobject_cast<QLogValueAxis*>(Axis(pane->chart(View::Curve), Qt::Vertical));
    QVERIFY(x && y);
    QCOMPARE(x->min(), 1.0);
    QCOMPARE(x->max(), 10.0);
    QCOMPARE(y->min(), 10.0);
    QCOMPARE(y->max(), 1000.0);

    d.typeCell(2, 3, QStringLiteral("0"));
    Settle();
    QCOMPARE(pane->drawnSegments(View::Curve, Layer::Current).size(), 2);
    d.typeCell(2, 3, QStringLiteral("130"));
    QTRY_COMPARE(pane->drawnSegments(View::Curve, Layer::Current),
                 (Lines{{{1.5, 100}, {2.5, 120}, {4, 130}, {6, 150}}}));
    QVERIFY(!pane->findChild<QLabel*>(QStringLiteral("PlotInfo"))->text().contains(QStringLiteral("第 3 行")));
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  // While the next station is typed, the last committed one is drawn faint behind it; while
  // browsing, the shown station is the curve and the one before it the faint one.
  void browsingShowsTheShownStation() {
    FormDriver d;
    PlotPane* pane = Pane(d);
    d.load({SoundingStation("S1", 0, 10, 20, 30), SoundingStation("S2", 50, 40, 50, 60)}, 1);
    QTRY_VERIFY(ChartsBuilt(d));
    QTRY_COMPARE(pane->drawnSegments(View::Curve, Layer::Comparison), (Lines{{{1.5, 40}, {2.5, 50}, {4, 60}}}));
    QVERIFY(pane->drawnSegments(View::Curve, Layer::Current).isEmpty());
    QVERIFY(SeriesNamed(pane->chart(View::Curve), QStringLiteral("对比：S2")));

    d.click(d.form->Previous);  // shows S1, the station before the last commit's place
    QTRY_COMPARE(pane->drawnSegments(View::Curve, Layer::Current), (Lines{{{1.5, 10}, {2.5, 20}, {4, 30}}}));
    QVERIFY(pane->drawnSegments(View::Curve, Layer::Comparison).isEmpty());

    d.click(d.form->Next);  // shows S2, with S1 behind it
    QTRY_COMPARE(pane->drawnSegments(View::Curve, Layer::Current), (Lines{{{1.5, 40}, {2.5, 50}, {4, 60}}}));
    QCOMPARE(pane->drawnSegments(View::Curve, Layer::Comparison), (Lines{{{1.5, 10}, {2.5, 20}, {4, 30}}}));
  }

  // A profile is drawn against the point number on a linear axis with a log resistivity axis;
  // water finding adds the chosen induced-polarisation parameter's plot, back to sounding hides it.
  void theDataTypeDecidesThePlot() {
    FormDriver d;
    PlotPane* pane = Pane(d);
    QTRY_VERIFY(ChartsBuilt(d));
    auto* chooser = pane->findChild<QComboBox*>(QStringLiteral("IpParameter"));
    QVERIFY(chooser->isHidden());
    QVERIFY(pane->chartView(View::Ip)->isHidden());

    d.chooseDataType(dtFourPoleProfile);
    Fill(d, {{"20", "50", "20", "80"}, {"40", "50", "20", "90"}, {"60", "50", "20", "85"}});
    QTRY_COMPARE(pane->drawnSegments(View::Curve, Layer::Current), (Lines{{{20, 80}, {40, 90}, {60, 85}}}));
    auto* x = qobject_cast<QValueAxis*>(Axis(pane->chart(View::Curve), Qt::Horizontal));
    QVERIFY(x);
    QVERIFY(x->min() <= 20 && x->max() >= 60);
    QVERIFY(qobject_cast<QLogValueAxis*>(Axis(pane->chart(View::Curve), Qt::Vertical)));
    QCOMPARE(x->titleText(), QStringLiteral("点号 (m)"));

    d.chooseDataType(dtWaterFinding);
    // AB/2, rho, ZP, TH, TD, R, IP as the grid's columns 1 to 7.
    Fill(d, {{"1.5", "100", "2", "3", "4", "5", "6"}, {"2.5", "110", "2.5", "3.5", "4.5", "5.5", "6.5"}});
    QTRY_COMPARE(pane->drawnSegments(View::Ip, Layer::Current), (Lines{{{1.5, 2}, {2.5, 2.5}}}));
    QVERIFY(pane->chartView(View::Ip)->isVisible());
    QVERIFY(chooser->isVisible());
    QStringList items;
    for (int i = 0; i < chooser->count(); ++i) items << chooser->itemText(i);
    QCOMPARE(items, (QStringList{"综合激电参数", "视极化率", "半衰时", "衰减度", "偏离度"}));
    QVERIFY(qobject_cast<QLogValueAxis*>(Axis(pane->chart(View::Ip), Qt::Horizontal)));
    QVERIFY(qobject_cast<QValueAxis*>(Axis(pane->chart(View::Ip), Qt::Vertical)));
    QCOMPARE(pane->drawnSegments(View::Curve, Layer::Current), (Lines{{{1.5, 100}, {2.5, 110}}}));

    chooser->setFocus();
    QTest::keyClick(chooser, Qt::Key_Down);  // 视极化率, the grid's column 7
    QTRY_COMPARE(pane->drawnSegments(View::Ip, Layer::Current), (Lines{{{1.5, 6}, {2.5, 6.5}}}));
    QCOMPARE(Axis(pane->chart(View::Ip), Qt::Vertical)->titleText(), QStringLiteral("视极化率 (%)"));

    d.chooseDataType(dtSounding);
    QTRY_VERIFY(pane->chartView(View::Ip)->isHidden());
    QVERIFY(chooser->isHidden());
  }

  // Branch A committed, branch B typed: both on one plot in two colours; where B crosses A the
  // crossing is marked and listed. Just after B is committed, the plot draws it against A (faint,
  // as the committed one of its name) and the crossings listed are still those of these curves.
  void combinedProfilingShowsBothBranchesAndTheirCrossing() {
    FormDriver d;
    PlotPane* pane = Pane(d);
    QTRY_VERIFY(ChartsBuilt(d));
    d.chooseDataType(dtCombinedProfile);
    const int points = d.form->SG->rowCount() - 1;
    for (int r = 1; r <= points; ++r) d.setCell(4, r, QStringLiteral("100"));
    d.click(d.form->BitBtn2);  // commits branch A; the grid is now branch B
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(d.form->AB->currentIndex(), 1);
    // B runs at 50 up to point 120 and at 200 from point 140: on log axes it crosses A's 100
    // halfway, at point 130.
    for (int r = 1; r <= points; ++r) d.setCell(4, r, d.form->SG->cell(1, r).toInt() <= 120 ? "50" : "200");
    QTRY_COMPARE(pane->drawnCrossings().size(), 1);
    const QPointF crossing = pane->drawnCrossings().first();
    QVERIFY(qAbs(crossing.x() - 130) < 1e-6);
    QVERIFY(qAbs(crossing.y() - 100) < 1e-6);
    QCOMPARE(pane->drawnSegments(View::Curve, Layer::Other).size(), 1);
    QCOMPARE(pane->drawnSegments(View::Curve, Layer::Other).first().size(), points);
    QCOMPARE(pane->drawnSegments(View::Curve, Layer::Current).first().size(), points);
    QLineSeries* a = SeriesNamed(pane->chart(View::Curve), QStringLiteral("A 支"));
    QLineSeries* b = SeriesNamed(pane->chart(View::Curve), QStringLiteral("B 支"));
    QVERIFY(a && b);
    QVERIFY(a->pen().color() != b->pen().color());
    QVERIFY(a->points().first() == QPointF(20, 100));
    QVERIFY(pane->findChild<QLabel*>(QStringLiteral("PlotInfo"))->text().contains(QStringLiteral("点号 130")));

    d.click(d.form->BitBtn2);  // B: the grid is branch A again, empty
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    QTRY_VERIFY(pane->drawnSegments(View::Curve, Layer::Current).isEmpty());
    QCOMPARE(pane->drawnSegments(View::Curve, Layer::Comparison).value(0).size(), points);
    QCOMPARE(pane->drawnSegments(View::Curve, Layer::Other).value(0).size(), points);
    QCOMPARE(pane->drawnCrossings().size(), 1);
    QVERIFY(qAbs(pane->drawnCrossings().first().x() - 130) < 1e-6);
    const QString info = pane->findChild<QLabel*>(QStringLiteral("PlotInfo"))->text();
    QVERIFY2(info.contains(QStringLiteral("点号 130")) && !info.contains(QStringLiteral("没有交点")), qPrintable(info));
  }

  // After each change of what is drawn (first readings, a paste that widens the range, a
  // committed station, the other data types and back), the chart rendered off-screen shows the
  // ticks of its new range at their places, the titles with their units, a margin around the
  // points, and a legend naming exactly what is drawn.
  void theChartShowsWhatItDraws() {
    FormDriver d;
    PlotPane* pane = Pane(d);
    QTRY_VERIFY(ChartsBuilt(d));
    // The live fit's curve would join the legend at a time of its own; it is checked apart.
    pane->findChild<QCheckBox*>(QStringLiteral("LiveFit"))->setChecked(false);
    const QString ab2 = QStringLiteral("极距 (m)"), rho = QStringLiteral("视电阻率 (Ω·m)");
    QCOMPARE(RenderedCurve(pane, ab2, rho, {}), QString());

    for (int r = 1; r <= 4; ++r) d.typeCell(2, r, QString::number(30 * r + 10));
    QTRY_COMPARE(pane->drawnSegments(View::Curve, Layer::Current).value(0).size(), 4);
    QTRY_COMPARE(RenderedCurve(pane, ab2, rho, {"当前数据"}), QString());
    auto* y = qobject_cast<QLogValueAxis*>(Axis(pane->chart(View::Curve), Qt::Vertical));
    QCOMPARE(y->min(), 10.0);
    QCOMPARE(y->max(), 1000.0);

    // A reading on a power of ten is not drawn on the frame: the axis goes a decade beyond it.
    QGuiApplication::clipboard()->setText(QStringLiteral("100\n1000\n2000\n1500\n900\n700\n600\n500\n450\n"));
    d.startAt(2, 5);
    d.trigger(d.form->PasteAction);
    QTRY_COMPARE(pane->drawnSegments(View::Curve, Layer::Current).value(0).size(), 13);
    QTRY_COMPARE(RenderedCurve(pane, ab2, rho, {"当前数据", "偏离曲线的读数"}), QString());
    QCOMPARE(y->max(), 10000.0);
    auto* x = qobject_cast<QLogValueAxis*>(Axis(pane->chart(View::Curve), Qt::Horizontal));
    QCOMPARE(x->min(), 1.0);

    d.click(d.form->BitBtn2);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    QTRY_VERIFY(pane->drawnSegments(View::Curve, Layer::Current).isEmpty());
    QTRY_COMPARE(RenderedCurve(pane, ab2, rho, {"对比：S1"}), QString());

    const QString point = QStringLiteral("点号 (m)");
    d.dialogs.setNextAnswer(Dialogs::Answer::No);  // the sounding is not saved
    d.chooseDataType(dtCombinedProfile);
    d.dialogs.messages.clear();
    const int points = d.form->SG->rowCount() - 1;
    for (int r = 1; r <= points; ++r) d.setCell(4, r, QStringLiteral("100"));
    QTRY_COMPARE(RenderedCurve(pane, point, rho, {"A 支"}), QString());
    auto* px = qobject_cast<QValueAxis*>(Axis(pane->chart(View::Curve), Qt::Horizontal));
    QVERIFY(px && px->min() < 20 && px->max() > 20.0 * points);

    d.chooseDataType(dtSounding);
    d.dialogs.messages.clear();
    QTRY_VERIFY(qobject_cast<QLogValueAxis*>(Axis(pane->chart(View::Curve), Qt::Horizontal)));
    QTRY_COMPARE(RenderedCurve(pane, ab2, rho, {}), QString());
  }


  // A sounding typed far enough is fitted on a thread of its own and the model's curve drawn over
  // the readings with its misfit; a reading far off it is marked; the station committed keeps no
  // model (the fit is a proposal).
  // A station shown with a model of its own draws that model instead.
  void liveFitProposesAModel() {
    FormDriver d;
    PlotPane* pane = Pane(d);
    QTRY_VERIFY(ChartsBuilt(d));
    sdata truth = SoundingStation("T", 0);
    truth.Columns[colAB2].clear();
    for (int r = 1; r < d.form->SG->rowCount(); ++r) truth.Columns[colAB2].push_back(d.form->SG->cell(1, r).toFloat());
    truth.Model = {{5, 20, 100}, {100, 10, 300}, ModelOrigin::File};  // an H curve
    const std::vector<double> rho = ModelApparentResistivity(truth);
    d.setCell(2, 1, QString::number(rho[0], 'g', 6));
    d.setCell(2, 2, QString::number(rho[1], 'g', 6));
    d.setCell(2, 3, QString::number(rho[2], 'g', 6));
    pane->replotNow();
    QVERIFY(pane->modelText().isEmpty());  // three readings: too few to fit
    for (std::size_t r = 3; r < rho.size(); ++r) d.setCell(2, static_cast<int>(r) + 1, QString::number(rho[r], 'g', 6));
    QTRY_VERIFY_WITH_TIMEOUT(pane->modelText().contains(QStringLiteral("拟合的模型")), 20000);
    QVERIFY2(pane->modelText().contains(QStringLiteral("3 层")), qPrintable(pane->modelText()));
    QVERIFY(!pane->drawnModelCurve().isEmpty());
    QVERIFY(pane->findChild<QLabel*>(QStringLiteral("PlotInfo"))->text().contains(QStringLiteral("均方根误差")));
    QVERIFY(pane->chart(View::Curve)->legend()->markers(qobject_cast<QAbstractSeries*>(
        SeriesNamed(pane->chart(View::Curve), QStringLiteral("模型曲线")))).value(0)->isVisible());

    QVERIFY(pane->outliers().empty());  // readings of the model itself: none misses it

    // A reading 40 % off the model, too little to break the line of its neighbours, misses the
    // fitted model by more than twice the misfit: it is ringed and its cell tinted like the other
    // outliers, the tooltip telling by how much.
    d.setCell(2, 7, QString::number(rho[6] * 1.4, 'g', 6));
    // (The fit spreads the miss over the neighbours too: row 8 may be marked with it.)
    QTRY_VERIFY_WITH_TIMEOUT(pane->outlierCells().contains(QPoint(2, 7)), 20000);
    QCOMPARE(pane->drawnOutliers().size(), pane->outlierCells().size());
    const QString tip = d.form->SG->item(6, 2)->data(Qt::ToolTipRole).toString();
    QVERIFY2(tip.startsWith(QStringLiteral("该读数偏离模型曲线")), qPrintable(tip));
    d.setCell(2, 7, QString::number(rho[6], 'g', 6));
    QTRY_VERIFY_WITH_TIMEOUT(pane->outlierCells().isEmpty(), 20000);
    QVERIFY(!d.form->SG->item(6, 2)->data(Qt::ToolTipRole).isValid());

    d.click(d.form->BitBtn2);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    QVERIFY(d.form->survey().stations().back().Model.empty());
    QTRY_VERIFY(pane->drawnModelCurve().isEmpty());  // the grid's readings are emptied

    // Turned off, typed readings are not fitted; a station's own model is still drawn.
    auto* live = pane->findChild<QCheckBox*>(QStringLiteral("LiveFit"));
    QVERIFY(live->isChecked());
    live->click();
    for (std::size_t r = 0; r < rho.size(); ++r) d.setCell(2, static_cast<int>(r) + 1, QString::number(rho[r], 'g', 6));
    pane->replotNow();
    QVERIFY(pane->modelText().isEmpty());
    QVERIFY(pane->drawnModelCurve().isEmpty());
    d.load({truth});
    d.dialogs.setNextAnswer(Dialogs::Answer::Yes);  // the readings typed are left uninserted
    QVERIFY(d.form->survey().showAt(0));
    pane->replotNow();
    QVERIFY2(pane->modelText().contains(QStringLiteral("测点的模型：3 层")), qPrintable(pane->modelText()));
    QVERIFY(!pane->drawnModelCurve().isEmpty());
  }

  // A mistyped reading is ringed on the plot and its cell tinted; a larger factor accepts it,
  // and correcting it clears both. Nothing asks anything.
  void outliersAreMarkedAndTinted() {
    FormDriver d;
    PlotPane* pane = Pane(d);
    QTRY_VERIFY(ChartsBuilt(d));
    for (int r = 1; r <= 13; ++r) d.setCell(2, r, r == 7 ? QStringLiteral("1000") : QStringLiteral("100"));
    QTRY_COMPARE(pane->drawnOutliers(), (Points{{25, 1000}}));
    QCOMPARE(pane->outlierCells(), (QList<QPoint>{{2, 7}}));
    const QTableWidgetItem* cell = d.form->SG->item(6, 2);
    QVERIFY(cell->data(Qt::BackgroundRole).isValid());
    QVERIFY(!d.form->SG->item(5, 2)->data(Qt::BackgroundRole).isValid());
    QVERIFY(pane->findChild<QLabel*>(QStringLiteral("PlotInfo"))->text().contains(QStringLiteral("第 7 行")));

    auto* factor = pane->findChild<QDoubleSpinBox*>(QStringLiteral("OutlierFactor"));
    QCOMPARE(factor->value(), 2.0);
    d.type(factor->findChild<QLineEdit*>(), QStringLiteral("20"));
    QTest::keyClick(factor, Qt::Key_Return);
    QTRY_VERIFY(pane->drawnOutliers().isEmpty());
    QVERIFY(!cell->data(Qt::BackgroundRole).isValid());

    d.type(factor->findChild<QLineEdit*>(), QStringLiteral("2"));
    QTest::keyClick(factor, Qt::Key_Return);
    QTRY_COMPARE(pane->drawnOutliers().size(), 1);
    d.typeCell(2, 7, QStringLiteral("100"));
    QTRY_VERIFY(pane->drawnOutliers().isEmpty());
    QVERIFY(!cell->data(Qt::BackgroundRole).isValid());
    QCOMPARE(d.form->SG->cell(2, 7), QStringLiteral("100"));
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  // The mouse over a point tells its row and values; over a faint point, whose it is.
  void hoverShowsTheRowAndValues() {
    FormDriver d;
    PlotPane* pane = Pane(d);
    d.load({SoundingStation("S1", 0, 10, 20, 30)}, 0);
    for (int r = 1; r <= 3; ++r) d.setCell(2, r, QString::number(100 + 10 * r));
    QTRY_VERIFY(ChartsBuilt(d));
    QTRY_COMPARE(pane->drawnSegments(View::Curve, Layer::Current).value(0).size(), 3);
    QChartView* view = pane->chartView(View::Curve);
    QChart* chart = pane->chart(View::Curve);
    // Laid out on screen, so that a value maps to where it is drawn.
    QTRY_VERIFY(view->isVisible() && chart->plotArea().width() > 100 && chart->plotArea().height() > 100);
    Settle();
    auto over = [&](QPointF value) {
      const QPointF inChart = chart->mapToPosition(value, chart->series().first());
      return view->mapFromScene(chart->mapToScene(inChart));
    };
    QTest::mouseMove(view->viewport(), over({2.5, 120}));
    QTRY_COMPARE(pane->hoverText(), QStringLiteral("当前数据，第 2 行：极距 = 2.5，视电阻率 = 120"));
    QTest::mouseMove(view->viewport(), over({4, 30}));
    QTRY_COMPARE(pane->hoverText(), QStringLiteral("对比：S1，第 3 行：极距 = 4，视电阻率 = 30"));
    QTest::mouseMove(view->viewport(), over({1.5, 100}) + QPoint(40, 40));
    QTRY_VERIFY(pane->hoverText().isEmpty());
  }

  // The export writes a file of the chosen kind that other programs read.
  void exportWritesTheChosenFormat_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "curve.png";
    QTest::newRow("svg") << "curve.svg";
    QTest::newRow("pdf") << "curve.PDF";
  }
  void exportWritesTheChosenFormat() {
    QFETCH(QString, name);
    FormDriver d;
    PlotPane* pane = Pane(d);
    d.chooseDataType(dtWaterFinding);
    Fill(d, {{"1.5", "100", "2", "3", "4", "5", "6"}, {"2.5", "140", "2.5", "3.5", "4.5", "5.5", "6.5"}});
    QTRY_VERIFY(ChartsBuilt(d));
    const QString path = d.path(name);
    d.dialogs.setNextExportFile(path);
    d.trigger(pane->exportAction());
    QCOMPARE(d.dialogs.exportTitles, QStringList{QStringLiteral("导出曲线图")});
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "png") {
      QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
      QImage image;
      QVERIFY(image.loadFromData(bytes, "PNG"));
      QVERIFY(image.width() >= 400 && image.height() >= 400);  // both charts, one above the other
    } else if (suffix == "svg") {
      QXmlStreamReader xml(bytes);
      QString root;
      while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && root.isEmpty()) root = xml.name().toString();
      }
      QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
      QCOMPARE(root, QStringLiteral("svg"));
      QVERIFY(bytes.contains("<svg"));
    } else {
      QVERIFY(bytes.startsWith("%PDF"));
      QProcess info;
      info.start(QStringLiteral("pdfinfo"), {path});
      QVERIFY(info.waitForFinished(30000));
      QCOMPARE(info.exitCode(), 0);
      QVERIFY(QString::fromLatin1(info.readAllStandardOutput()).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))));
    }
    QCOMPARE(QDir(d.dir.path()).entryList(QDir::Files), QStringList{name});  // no temporary file left
  }

  // A cancelled chooser writes nothing; a folder that does not exist or an unknown suffix is
  // reported, and nothing is written.
  void exportFailuresAreReported() {
    FormDriver d;
    PlotPane* pane = Pane(d);
    QTRY_VERIFY(ChartsBuilt(d));
    d.dialogs.setNextExportCancel();
    d.trigger(pane->exportAction());
    QVERIFY(d.dialogs.messages.isEmpty());
    for (const QString& name : {QStringLiteral("missing/curve.png"), QStringLiteral("curve.bmp")}) {
      d.dialogs.messages.clear();
      d.dialogs.setNextExportFile(d.path(name));
      d.trigger(pane->exportAction());
      QCOMPARE(d.dialogs.messages.size(), 1);
      QCOMPARE(d.dialogs.messages.first().icon, Dialogs::Icon::Error);
      QVERIFY(d.dialogs.messages.first().text.startsWith(QStringLiteral("曲线图没有保存到")));
    }
    QVERIFY(QDir(d.dir.path()).entryList(QDir::Files).isEmpty());
  }

  // Whatever is typed, the plot shows the drawable rows or a short note, with axes that can be
  // drawn; the window asks nothing.
  void anyCellTextGivesASensiblePlot_data() {
    QTest::addColumn<QStringList>("spacings");
    QTest::addColumn<QStringList>("readings");
    QTest::addColumn<int>("drawn");
    QTest::newRow("empty") << QStringList{"", "", ""} << QStringList{"", "", ""} << 0;
    QTest::newRow("text") << QStringList{"1.5", "x", "4"} << QStringList{"abc", "20", "-"} << 0;
    QTest::newRow("zero and negative") << QStringList{"0", "2.5", "4"} << QStringList{"0", "-0", "-30"} << 0;
    QTest::newRow("huge") << QStringList{"1.5", "2.5", "4"} << QStringList{"1e30", "3e38", "1e39"} << 2;
    QTest::newRow("tiny") << QStringList{"1e-30", "2.5", "4"} << QStringList{"1e-30", "1e-38", "1e-45"} << 3;
    QTest::newRow("spread") << QStringList{"1e-30", "1e30", "4"} << QStringList{"1e-30", "1e30", "5"} << 3;
    QTest::newRow("repeated spacing") << QStringList{"2.5", "2.5", "2.5"} << QStringList{"10", "20", "30"} << 3;
    QTest::newRow("out of order") << QStringList{"40", "2.5", "9"} << QStringList{"10", "20", "30"} << 3;
    QTest::newRow("spaces and signs") << QStringList{" 1.5 ", "+2.5", "4."} << QStringList{"1e", "--1", "nan"} << 0;
    QTest::newRow("inf") << QStringList{"inf", "2.5", "4"} << QStringList{"10", "inf", "1e5"} << 1;
  }
  void anyCellTextGivesASensiblePlot() {
    QFETCH(QStringList, spacings);
    QFETCH(QStringList, readings);
    QFETCH(int, drawn);
    for (int type : {int(dtSounding), int(dtWaterFinding), int(dtFourPoleProfile)}) {
      FormDriver d;
      PlotPane* pane = Pane(d);
      QTRY_VERIFY(ChartsBuilt(d));
      if (type != dtSounding) d.chooseDataType(type);
      const int rhoColumn = type == dtFourPoleProfile ? 4 : 2;
      QList<QStringList> rows;
      for (int r = 0; r < 3; ++r) rows << QStringList{spacings[r]};
      Fill(d, rows);
      for (int r = 0; r < 3; ++r) {
        d.setCell(rhoColumn, r + 1, readings[r]);
        if (type == dtWaterFinding) d.setCell(3, r + 1, readings[r]);  // the IP plot has a linear axis
      }
      pane->replotNow();
      const char* what = type == dtSounding ? "sounding" : type == dtWaterFinding ? "water finding" : "profile";
      QVERIFY2(static_cast<int>(pane->curve(Layer::Current).pointCount()) == drawn, what);
      int lines = 0;
      for (const auto& line : pane->drawnSegments(View::Curve, Layer::Current)) lines += line.size();
      QVERIFY2(lines == drawn, what);
      for (View v : {View::Curve, View::Ip}) {
        if (pane->chartView(v)->isHidden()) continue;
        QVERIFY2(Drawable(Axis(pane->chart(v), Qt::Horizontal)), what);
        QVERIFY2(Drawable(Axis(pane->chart(v), Qt::Vertical)), what);
      }
      auto* note = pane->findChild<QLabel*>(QStringLiteral("PlotNote"));
      QVERIFY2(note->isHidden() == (drawn > 0), what);
      if (drawn == 0) QCOMPARE(note->text(), QStringLiteral("没有可绘制的数据"));
      // The plot is painted, too.
      QVERIFY(!pane->chartView(View::Curve)->grab().isNull());
      QVERIFY(d.dialogs.messages.isEmpty());
    }
  }

  // Hidden from the 查看 menu the pane computes nothing and tints nothing, and the window
  // narrows by the pane; the choice and the splitter's place are remembered.
  void visibilityAndSplitterAreRemembered() {
    int splitAt = 0;
    int wide = 0;
    {
      FormDriver d;
      TInputDataForm& f = *d.form;
      QTRY_VERIFY(ChartsBuilt(d));
      wide = f.width();
      f.resize(wide + 200, f.height());
      QTRY_COMPARE(f.width(), wide + 200);
      QSplitterHandle* handle = f.PlotSplitter->handle(1);
      const QPoint from = handle->rect().center();
      QTest::mousePress(handle, Qt::LeftButton, {}, from);
      QTest::mouseMove(handle, from + QPoint(60, 0));
      QTest::mouseRelease(handle, Qt::LeftButton, {}, from + QPoint(60, 0));
      splitAt = f.PlotSplitter->sizes().first();
      QVERIFY(splitAt > 0);
      const int paneWidth = f.Plot->width() + f.PlotSplitter->handleWidth();

      for (int r = 1; r <= 13; ++r) d.setCell(2, r, r == 7 ? QStringLiteral("1000") : QStringLiteral("100"));
      QTRY_VERIFY(f.SG->item(6, 2)->data(Qt::BackgroundRole).isValid());
      d.trigger(f.ShowPlot);
      QVERIFY(!f.ShowPlot->isChecked());
      QVERIFY(f.Plot->isHidden());
      QVERIFY(!f.SG->item(6, 2)->data(Qt::BackgroundRole).isValid());
      // The window gives back the pane's width, down to what its controls need.
      QVERIFY(f.width() < wide + 200);
      QCOMPARE(f.width(), std::max(wide + 200 - paneWidth, f.minimumWidth()));
    }
    {
      FormDriver d;
      TInputDataForm& f = *d.form;
      QVERIFY(!f.ShowPlot->isChecked());
      QVERIFY(f.Plot->isHidden());
      QTest::qWait(20);
      QVERIFY(!ChartsBuilt(d));  // nothing is built for a hidden pane
      d.trigger(f.ShowPlot);
      QVERIFY(f.Plot->isVisible());
      QTRY_VERIFY(ChartsBuilt(d));
      f.resize(wide + 200, f.height());
      QTRY_COMPARE(f.PlotSplitter->sizes().first(), splitAt);
    }
  }
};

QTEST_MAIN(PlotTest)
#include "plot_test.moc"
