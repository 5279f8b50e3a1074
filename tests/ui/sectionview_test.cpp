// The sections and the plan map in the window: opened from the View menu for the survey in the
// window, a line chosen, colours where the data are and a gap at a station without a model, the
// values under the mouse, a click showing a station, the crossings of combined profiling listed,
// and the export in three formats.
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFile>
#include <QTest>
#include <cmath>

#include "formdriver.h"
#include "interp/stationmodel.h"
#include "stationbuilder.h"
#include "ui/sectionview.h"

namespace {
// Soundings of one line at x 0, 100, 200 whose readings are those of H models; the middle one
// has no model.
StationList Line() {
  StationList out;
  for (int i = 0; i < 3; ++i) {
    std::vector<std::vector<float>> rows;
    for (float a : {1.5f, 2.5f, 4.0f, 6.0f, 9.0f, 15.0f, 25.0f, 40.0f, 60.0f, 90.0f, 150.0f}) rows.push_back({a, 1.0f});
    sdata s = BuildStation(dtSounding, "D" + std::to_string(i + 1), 100.0f * i, rows);
    s.Profile = "7";
    s.Model = {{5, 10.0f + 10 * i, 100}, {100, 10, 300}, ModelOrigin::Fitted};
    const std::vector<double> rho = ModelApparentResistivity(s);
    s.Columns[colRho].assign(rho.begin(), rho.end());
    if (i == 1) s.Model = StationModel();
    out.push_back(s);
  }
  return out;
}

SectionView* View(FormDriver& d) { return d.form->Sections->view(); }

// Where a point of a picture's canvas is, found by what the canvas says there.
QPoint Find(QWidget* canvas, SectionView* view, const QString& wanted, bool whole = false) {
  for (int y = 0; y < canvas->height(); y += 3)
    for (int x = 0; x < canvas->width(); x += 3) {
      QTest::mouseMove(canvas, QPoint(x, y));
      if (whole ? view->hoverText() == wanted : view->hoverText().contains(wanted)) return {x, y};
    }
  return {-1, -1};
}
}  // namespace

class SectionViewTest : public QObject {
  Q_OBJECT
 private slots:
  void soundingLineSections() {
    FormDriver d;
    d.load(Line(), 0, true);
    d.trigger(d.form->ShowSections);
    SectionView* v = View(d);
    QTRY_VERIFY(v->isVisible());
    QTRY_COMPARE(v->canvases().size(), 2);
    QCOMPARE(v->findChild<QComboBox*>(QStringLiteral("SectionLine"))->currentText(), QStringLiteral("7"));
    const std::vector<SectionPicture> pictures = v->pictures();
    QCOMPARE(pictures.size(), std::size_t{2});
    QCOMPARE(pictures[1].stations().size(), std::size_t{3});
    // The depth shows the deepest boundary (35 m) with room below.
    QCOMPARE(v->findChild<QDoubleSpinBox*>(QStringLiteral("SectionDepth"))->value(), 52.5);

    // Painted: colours where the data are, the gap at D2 (no model) left grey in the section.
    QWidget* geo = v->canvases()[1];
    QTRY_VERIFY(geo->width() > 300 && geo->height() > 150);
    const QImage image = geo->grab().toImage();
    QVERIFY(!image.isNull());
    // Along the middle of the colours: a stretch of the scale's colours at D1, then the grey of
    // the gap towards D2.
    int coloured = 0, grey = 0;
    const int y = image.height() / 2;
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c == QColor(242, 242, 242)) ++grey;
      else if (c.saturation() > 80) ++coloured;
    }
    QVERIFY2(coloured > 5 && grey > image.width() / 4, qPrintable(QStringLiteral("%1 %2").arg(coloured).arg(grey)));

    // The mouse tells the station and the values; a click on D3's tick shows it in the form.
    const QPoint over = Find(geo, v, QStringLiteral("测点 D1：深度"));
    QVERIFY(over.x() >= 0);
    QVERIFY2(v->hoverText().contains(QStringLiteral("Ω·m")), qPrintable(v->hoverText()));
    const QPoint gap = Find(geo, v, QStringLiteral("测点 D2：深度"));
    QVERIFY(gap.x() >= 0);
    QVERIFY2(v->hoverText().contains(QStringLiteral("电阻率 — Ω·m")), qPrintable(v->hoverText()));
    const QPoint d3 = Find(v->canvases()[0], v, QStringLiteral("测点 D3"), true);
    QVERIFY(d3.x() >= 0);
    QTest::mouseClick(v->canvases()[0], Qt::LeftButton, {}, d3);
    QTRY_VERIFY(d.form->survey().browsing() && d.form->survey().currentIndex() == 2);

    // A station committed changes the pictures.
    d.form->survey().load(dtSounding, StationList{Line()[0]}, 0, true);
    QTRY_COMPARE(View(d)->pictures()[0].stations().size(), std::size_t{1});
  }

  void exportsThreeFormats() {
    FormDriver d;
    d.load(Line(), 0, true);
    d.trigger(d.form->ShowSections);
    QTRY_COMPARE(View(d)->canvases().size(), 2);
    for (const char* suffix : {"png", "svg", "pdf"}) {
      const QString path = d.path(QStringLiteral("line.%1").arg(QLatin1String(suffix)));
      QString error;
      QVERIFY2(View(d)->exportTo(path, &error), qPrintable(error));
      QVERIFY(QFile(path).size() > 1000);
    }
    QString error;
    QVERIFY(!View(d)->exportTo(d.path(QStringLiteral("line.txt")), &error));
    QCOMPARE(error, QStringLiteral("文件名应以 .png、.svg 或 .pdf 结尾。"));
  }

  void planMapListsCrossings() {
    FormDriver d;
    d.chooseDataType(dtCombinedProfile);
    sdata a = BuildStation(dtCombinedProfile, "A", 0, {{0, 50, 20, 100}, {20, 50, 20, 300}, {40, 50, 20, 300}});
    sdata b = BuildStation(dtCombinedProfile, "B", 0, {{0, 50, 20, 300}, {20, 50, 20, 100}, {40, 50, 20, 100}});
    a.Profile = b.Profile = "3";
    d.load({a, b}, 0, true);
    d.trigger(d.form->ShowSections);
    QTRY_COMPARE(View(d)->canvases().size(), 1);
    QTRY_COMPARE(View(d)->infoText(), QStringLiteral("测线 3：两支交于点号 10"));
    QVERIFY(!View(d)->findChild<QComboBox*>(QStringLiteral("SectionLine"))->isVisible());
    QVERIFY(Find(View(d)->canvases()[0], View(d), QStringLiteral("测线 3：点号")).x() >= 0);
  }
};

QTEST_MAIN(SectionViewTest)
#include "sectionview_test.moc"
