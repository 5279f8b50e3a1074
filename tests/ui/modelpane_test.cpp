// The model panel in the window, driven by real events: a sounding typed is fitted and the
// proposal shown in the table with its ranges; accepting, editing a cell, locking a depth and
// fitting again, and dragging a boundary of the section each are one undo step kept by the
// station; wrong input is refused with a message; every station fitted at once.
#include <QChartView>
#include <QDockWidget>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <cmath>

#include "formdriver.h"
#include "interp/modeledit.h"
#include "interp/stationmodel.h"
#include "stationbuilder.h"
#include "ui/modelpane.h"
#include "ui/plotpane.h"

namespace {
const StationModel kH{{5, 20, 100}, {100, 10, 300}, ModelOrigin::File};  // an H curve

// The readings of the H curve at the grid's spacings, typed into the grid's cells.
void TypeHCurve(FormDriver& d, const StationModel& model = kH) {
  sdata truth = SoundingStation("T", 0);
  truth.Columns[colAB2].clear();
  for (int r = 1; r < d.form->SG->rowCount(); ++r) truth.Columns[colAB2].push_back(d.form->SG->cell(1, r).toFloat());
  truth.Model = model;
  const std::vector<double> rho = ModelApparentResistivity(truth);
  for (std::size_t r = 0; r < rho.size(); ++r) d.setCell(2, static_cast<int>(r) + 1, QString::number(rho[r], 'g', 6));
}

// Shows the model panel (it may be shown already, as the last run left it).
void ShowPanel(FormDriver& d) {
  if (!d.form->ShowModelPane->isChecked()) d.trigger(d.form->ShowModelPane);
}

ModelPane* Panel(FormDriver& d) { return d.form->findChild<ModelPane*>(QStringLiteral("ModelPane")); }
QTableWidget* Table(FormDriver& d) { return Panel(d)->findChild<QTableWidget*>(QStringLiteral("ModelTable")); }
QString Misfit(FormDriver& d) { return Panel(d)->findChild<QLabel*>(QStringLiteral("ModelMisfit"))->text(); }
QPushButton* Button(FormDriver& d, const char* name) { return Panel(d)->findChild<QPushButton*>(QLatin1String(name)); }

// Types text into a cell of the model table and presses Enter, as a user does.
void TypeInTable(FormDriver& d, int row, int col, const QString& text) {
  QTableWidget* t = Table(d);
  t->setFocus(Qt::TabFocusReason);
  t->setCurrentCell(row, col);
  QTest::keyClick(t, Qt::Key_F2);
  QWidget* editor = QApplication::focusWidget();
  QVERIFY(editor != nullptr && editor != t);
  d.enterText(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
}
}  // namespace

class ModelPaneTest : public QObject {
  Q_OBJECT
 private slots:
  // Typed readings are fitted (a proposal with its ranges), accepted (one step), a resistivity
  // edited in the table (one step), the conductor's bottom fixed from a borehole and locked, and
  // the next fit keeps it; the station committed keeps the model.
  void fitAcceptEditLockAndRefit() {
    FormDriver d;
    ShowPanel(d);
    QTRY_VERIFY(Panel(d)->isVisible());
    TypeHCurve(d);
    QTRY_VERIFY_WITH_TIMEOUT(Misfit(d).contains(QStringLiteral("拟合的模型（尚未接受）")), 20000);
    QTableWidget* t = Table(d);
    QCOMPARE(t->rowCount(), 3);
    QVERIFY(std::abs(t->item(1, ModelPane::ColDepth)->text().toDouble() - 25.0) < 1.0);
    // The conductor is known by its conductance: S with its range below it.
    QVERIFY2(t->item(1, ModelPane::ColProduct)->text().startsWith(QStringLiteral("S ")),
             qPrintable(t->item(1, ModelPane::ColProduct)->text()));
    QTRY_VERIFY_WITH_TIMEOUT(!t->item(1, ModelPane::ColProduct)->data(ModelPane::kRangeRole).toString().isEmpty(), 20000);
    QVERIFY(d.form->survey().model().empty());  // a proposal only

    d.click(Button(d, "AcceptModel"));
    QCOMPARE(d.form->survey().model().Origin, ModelOrigin::Fitted);
    QCOMPARE(d.form->survey().undoName(), std::string("接受模型"));
    QTRY_VERIFY(Misfit(d).startsWith(QStringLiteral("测点的模型")));
    QVERIFY(!Button(d, "AcceptModel")->isEnabled());

    TypeInTable(d, 1, ModelPane::ColRho, QStringLiteral("12"));
    QCOMPARE(d.form->survey().model().Resistivity[1], 12.0f);
    QCOMPARE(d.form->survey().model().Origin, ModelOrigin::Edited);
    QCOMPARE(d.form->survey().undoName(), std::string("修改模型"));
    QCOMPARE(t->currentRow(), 2);  // Enter went down a row, as in the grid
    QVERIFY(d.form->Plot->modelText().contains(QStringLiteral("测点的模型")));
    d.trigger(d.form->UndoAction);
    QCOMPARE(d.form->survey().model().Origin, ModelOrigin::Fitted);

    // A borehole met the conductor's bottom at 30 m: typed, locked with the keyboard, refitted.
    TypeInTable(d, 1, ModelPane::ColDepth, QStringLiteral("30"));
    QVERIFY(std::abs(LayerBottoms(d.form->survey().model())[1] - 30.0) < 1e-3);
    t->setCurrentCell(1, ModelPane::ColDepth);
    QTest::keyClick(t, Qt::Key_Space);
    QTRY_COMPARE(t->item(1, ModelPane::ColDepth)->checkState(), Qt::Checked);
    d.click(Button(d, "FitModel"));
    QTRY_VERIFY_WITH_TIMEOUT(Misfit(d).contains(QStringLiteral("拟合的模型（尚未接受）")), 20000);
    QCOMPARE(t->item(1, ModelPane::ColDepth)->text(), QStringLiteral("30"));
    d.click(Button(d, "AcceptModel"));
    QVERIFY(std::abs(LayerBottoms(d.form->survey().model())[1] - 30.0) < 1e-3);

    d.click(d.form->BitBtn2);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    QVERIFY(std::abs(LayerBottoms(d.form->survey().stations().back().Model)[1] - 30.0) < 1e-3);
    QVERIFY(!d.form->survey().saved());
  }

  // Dragging the conductor's bottom down in the section moves it while dragging (the plot says
  // so) and keeps it on release as one step; a resistivity step dragged sideways likewise.
  void draggingTheSectionIsOneStep() {
    FormDriver d;
    d.load({SoundingStation("S1", 0)});
    ShowPanel(d);
    QVERIFY(d.form->survey().showAt(0));
    QVERIFY(d.form->survey().setModel(kH));
    ModelPane* p = Panel(d);
    QTRY_VERIFY(p->sectionView() != nullptr && p->sectionView()->isVisible());
    QTRY_VERIFY(!p->drawnSection().isEmpty());
    QApplication::processEvents();
    QWidget* viewport = p->sectionView()->viewport();
    // The boundary at 25 m, between 10 and 300 ohm-m.
    const QPoint grip = p->sectionPosition({std::sqrt(10.0 * 300.0), 25.0});
    const QPoint deeper = p->sectionPosition({std::sqrt(10.0 * 300.0), 40.0});
    QTest::mousePress(viewport, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, deeper, viewport->mapToGlobal(deeper), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QCOMPARE(d.form->survey().model(), kH);  // nothing kept while dragging
    d.form->Plot->replotNow();
    QVERIFY2(d.form->Plot->modelText().startsWith(QStringLiteral("正在修改的模型")), qPrintable(d.form->Plot->modelText()));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, deeper);
    const double bottom = LayerBottoms(d.form->survey().model())[1];
    QVERIFY2(std::abs(bottom - 40.0) < 2.0, qPrintable(QString::number(bottom)));
    QCOMPARE(LayerBottoms(d.form->survey().model())[0], 5.0);  // the boundary above stays
    QCOMPARE(d.form->survey().undoName(), std::string("修改模型"));
    d.trigger(d.form->UndoAction);
    QCOMPARE(d.form->survey().model(), kH);

    // The basement's resistivity dragged to about 1000 ohm-m.
    QTRY_VERIFY(!p->drawnSection().isEmpty());
    QApplication::processEvents();
    const QPoint step = p->sectionPosition({300.0, 60.0});
    const QPoint right = p->sectionPosition({1000.0, 60.0});
    QTest::mousePress(viewport, Qt::LeftButton, {}, step);
    QMouseEvent across(QEvent::MouseMove, right, viewport->mapToGlobal(right), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &across);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, right);
    const double basement = d.form->survey().model().Resistivity[2];
    QVERIFY2(basement > 900 && basement < 1100, qPrintable(QString::number(basement)));
  }

  // What cannot be a layer's value is refused with a message saying why; the model stays.
  void wrongValuesAreRefused() {
    FormDriver d;
    d.load({SoundingStation("S1", 0)});
    ShowPanel(d);
    QVERIFY(d.form->survey().showAt(0));
    QVERIFY(d.form->survey().setModel(kH));
    QTRY_COMPARE(Table(d)->rowCount(), 3);
    TypeInTable(d, 1, ModelPane::ColRho, QStringLiteral("-3"));
    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("“-3”不是正数。")});
    TypeInTable(d, 0, ModelPane::ColDepth, QStringLiteral("30"));
    QCOMPARE(d.dialogs.texts().value(1), QStringLiteral("第 1 层的底深应在它的顶深 0 m 和下一层的底深 25 m 之间。"));
    QCOMPARE(d.form->survey().model(), kH);
    QTRY_COMPARE(Table(d)->item(1, ModelPane::ColRho)->text(), QStringLiteral("10"));
  }

  // 解释 › 拟合全部测点 fits the stations without a model at once; with models already there it
  // asks first, and Cancel changes nothing.
  void fitAllStations() {
    FormDriver d;
    sdata a = SoundingStation("S1", 0), b = SoundingStation("S2", 50);
    for (sdata* s : {&a, &b}) {
      s->Columns[colAB2] = {1.5f, 2.5f, 4, 6, 9, 15, 25, 40, 60, 90, 150, 225, 340};
      s->SpacingCount = 13;
      s->Model = kH;
      const std::vector<double> rho = ModelApparentResistivity(*s);
      s->Columns[colRho].assign(rho.begin(), rho.end());
      s->Model = StationModel();
    }
    d.load({a, b}, 0, true);
    d.trigger(d.form->FitAllStationsAction);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    for (const sdata& s : d.form->survey().stations()) QCOMPARE(s.Model.Resistivity.size(), std::size_t{3});
    QVERIFY(!d.form->survey().saved());
    const StationList fitted = d.form->survey().stations();

    d.dialogs.setNextAnswer(Dialogs::Answer::Cancel);
    d.trigger(d.form->FitAllStationsAction);
    QCOMPARE(d.dialogs.messages.size(), 1);
    QVERIFY(d.dialogs.texts().first().startsWith(QStringLiteral("有些测点已经有模型")));
    QCOMPARE(d.form->survey().stations(), fitted);
    d.trigger(d.form->UndoAction);
    QVERIFY(d.form->survey().stations()[0].Model.empty());
    QVERIFY(d.form->survey().saved());
  }
};

QTEST_MAIN(ModelPaneTest)
#include "modelpane_test.moc"
