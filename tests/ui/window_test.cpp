// The window around the grid: undo and redo wired to the survey's history (menu texts naming
// the step, Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z, also from a field), a window that can be resized
// and maximised and comes back at its size and place, the row-number and spacing columns in
// view when the grid scrolls sideways, the headings' units.
#include <QScrollBar>
#include <QSettings>
#include <QTest>

#include "ui/plotpane.h"
#include "ui/stationlist.h"
#include "ui/stationplan.h"
#include "ui/language.h"
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include "formdriver.h"
#include "stationbuilder.h"
#include "ui/widgets.h"

namespace {

QStringList Column(const TInputDataForm& f, int col) {
  QStringList out;
  for (int r = 1; r < f.SG->rowCount(); ++r) out << f.SG->cell(col, r);
  return out;
}

// What the window shows: the fields, the status, the browse buttons, the grid.
QStringList Shown(const TInputDataForm& f) {
  QStringList out = {f.ES->text(), f.EX->text(), f.EY->text(), f.EAB->text(), f.ST->text(),
                     QString::number(f.Previous->isEnabled()), QString::number(f.Next->isEnabled()),
                     QString::number(f.DataType->itemIndex())};
  for (int c = 0; c < f.SG->colCount(); ++c) out << Column(f, c).join(QLatin1Char('|')) << f.SG->cell(c, 0);
  return out;
}

void ForgetGeometry() {
  QSettings settings(kSettingsOrganization, kSettingsApplication);
  settings.remove(kGeometryKey);
}
}  // namespace

class WindowTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { ForgetGeometry(); }

  // The menu items name the step; Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z take it back and do it
  // again; undo of a commit removes the station and shows exactly what the window showed.
  void undoAndRedoThroughTheWindow() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    QVERIFY(!f.UndoAction->isEnabled());
    QVERIFY(!f.RedoAction->isEnabled());
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销"));
    for (int r = 1; r <= 13; ++r) d.setCell(2, r, QString::number(100 + r));
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销 输入单元格"));
    d.type(f.EX, QStringLiteral("75"));
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销 修改点位x-坐标"));
    const QStringList beforeCommit = Shown(f);
    d.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销 插入数据"));
    const QStringList afterCommit = Shown(f);

    d.startAt(2, 1);
    d.press(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(f.survey().stations().empty());
    QCOMPARE(Shown(f), beforeCommit);
    QVERIFY(f.RedoAction->isEnabled());
    QCOMPARE(f.RedoAction->text(), QStringLiteral("重做 插入数据"));
    d.press(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(Shown(f), afterCommit);
    d.trigger(f.UndoAction);
    QCOMPARE(Shown(f), beforeCommit);
    d.press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Shown(f), afterCommit);

    // In a field, Ctrl+Z is the window's undo: the typing in the field is one step.
    d.type(f.ES, QStringLiteral("North7"));
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销 修改测点编号"));
    d.press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.ES->text(), QStringLiteral("S2"));
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销 插入数据"));
    QCOMPARE(f.RedoAction->text(), QStringLiteral("重做 修改测点编号"));
    QVERIFY(d.dialogs.messages.isEmpty());
  }

  // A type switch (after its save question) and a row delete are undone with the window
  // showing the type, the grid and the list as they were; the saved state follows.
  void typeSwitchAndRowDeleteUndone() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.load({SoundingStation("S1", 0), SoundingStation("S2", 50)});
    for (int r = 1; r <= 13; ++r) d.setCell(2, r, QString::number(r));
    const QStringList sounding = Shown(f);
    d.dialogs.setNextAnswer(Dialogs::Answer::No);  // do not save first
    d.chooseDataType(dtWaterFinding);
    QCOMPARE(f.DataType->itemIndex(), int(dtWaterFinding));
    QVERIFY(f.survey().stations().empty());
    QCOMPARE(f.UndoAction->text(), QStringLiteral("撤销 切换数据类型"));
    d.trigger(f.UndoAction);
    QCOMPARE(Shown(f), sounding);
    QCOMPARE(f.survey().stations().size(), std::size_t{2});
    QVERIFY(!f.survey().saved());

    d.startAt(2, 4);
    d.trigger(f.Delete);
    QCOMPARE(f.EAB->text(), QStringLiteral("12"));
    QCOMPARE(f.SG->cell(2, 4), QStringLiteral("5"));
    d.press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Shown(f), sounding);
    QCOMPARE(d.dialogs.messages.size(), 1);
  }

  // The window can be resized and maximised; the grid takes the extra room, shared with the
  // plot pane while that is shown.
  void windowResizesAndTheGridGrows() {
    for (const bool plotShown : {false, true}) {
      FormDriver d;
      TInputDataForm& f = *d.form;
      if (f.ShowPlot->isChecked() != plotShown) d.trigger(f.ShowPlot);
      QVERIFY(f.windowFlags() & Qt::WindowMaximizeButtonHint);
      QVERIFY(f.minimumSize() != f.maximumSize());
      const QSize grid = f.SG->size();
      const int pane = plotShown ? f.Plot->width() : 0;
      const QSize left = f.GroupBox1->size();
      f.resize(f.width() + 300, f.height() + 200);
      if (plotShown) {
        QTRY_COMPARE(f.SG->width() + f.Plot->width(), grid.width() + pane + 300);
        QVERIFY(f.SG->width() >= grid.width() + 100);
      } else {
        QTRY_COMPARE(f.SG->width(), grid.width() + 300);
      }
      QTRY_VERIFY(f.SG->height() >= grid.height() + 200);
      QCOMPARE(f.GroupBox1->width(), left.width());
      f.showMaximized();
      QTRY_VERIFY(f.isMaximized());
    }
  }

  // The window fits a 1920×1080 screen at 1.5× (1280×720 in the window's own pixels, less a
  // title bar and a task bar) and so a 1366×768 one at 1.0×, in both languages and for every data
  // type, with the plot and both docks shown; a dock shown takes room within the screen; made as
  // low as it may be, the column of controls scrolls and each control can be brought into view.
  void fitsSmallScreens() {
    const QSize room(1280, 720 - 30 - 40);
    for (UiLanguage language : {UiLanguage::Chinese, UiLanguage::English}) {
      InstallLanguage(*qApp, language);
      for (int type : {dtSounding, dtWaterFinding, dtFourPoleProfile, dtCombinedProfile}) {
        const QString what = QStringLiteral("language %1, type %2").arg(int(language)).arg(type);
        FormDriver d;
        TInputDataForm& f = *d.form;
        if (type != dtSounding) d.chooseDataType(type);
        QVERIFY(f.ShowPlot->isChecked());
        f.show();
        QVERIFY2(f.minimumSizeHint().width() <= room.width(), qPrintable(what));
        const int before = f.height();
        d.trigger(f.ShowStationList);
        d.trigger(f.ShowStationPlan);
        QTRY_VERIFY(f.StationPlan->isVisible() || f.StationList->isVisible());
        if (QLayout* l = f.layout()) l->activate();
        QVERIFY2(f.minimumSizeHint().width() <= room.width() && f.minimumSizeHint().height() <= room.height(),
                 qPrintable(what + QStringLiteral(": at least %1×%2").arg(f.minimumSizeHint().width()).arg(f.minimumSizeHint().height())));
        QVERIFY2(f.height() > before, qPrintable(what));
        QVERIFY2(f.screen()->availableGeometry().contains(QRect(0, f.frameGeometry().top(), 1, f.frameGeometry().height())),
                 qPrintable(what));

        f.resize(f.width(), f.minimumSizeHint().height());
        auto* column = f.findChild<QScrollArea*>(QStringLiteral("ControlColumn"));
        QVERIFY(column);
        QTRY_VERIFY(column->verticalScrollBar()->maximum() > 0);
        for (QWidget* control : std::initializer_list<QWidget*>{f.BitBtn3, f.DataType}) {
          column->ensureWidgetVisible(control);
          const QRect shown(control->mapTo(column->viewport(), QPoint(0, 0)), control->size());
          QVERIFY2(column->viewport()->rect().contains(shown), qPrintable(what + control->objectName()));
        }
      }
    }
    InstallLanguage(*qApp, UiLanguage::Chinese);
  }

  // Size and place are remembered between runs.
  void sizeAndPlaceComeBack() {
    QRect placed;
    {
      FormDriver d;
      TInputDataForm& f = *d.form;
      f.setGeometry(QRect(f.x() + 10, f.y() + 20, f.width() + 150, f.height() + 90));
      QTRY_COMPARE(f.size(), f.geometry().size());
      placed = f.geometry();
      d.click(f.BitBtn3);  // closes: nothing to save
      QVERIFY(!f.isVisible());
    }
    FormDriver again;
    QCOMPARE(again.form->size(), placed.size());
    // A window wider than the (offscreen) screen may be nudged a little to keep it on screen.
    QVERIFY2((again.form->geometry().topLeft() - placed.topLeft()).manhattanLength() <= 4,
             qPrintable(QStringLiteral("placed at %1,%2").arg(again.form->x()).arg(again.form->y())));
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    QVERIFY(settings.contains(kGeometryKey));
  }

  // Scrolled sideways, the row numbers and spacings stay in view beside the values; a column
  // moved to is never hidden under them. The headings' tooltips give each column's unit.
  void frozenColumnsAndUnits() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(dtWaterFinding);
    f.resize(f.minimumSizeHint());
    f.SG->setColumnWidth(5, 400);
    QTRY_VERIFY(f.SG->horizontalScrollBar()->maximum() > 0);
    d.startAt(7, 3);
    QTRY_VERIFY(f.SG->horizontalScrollBar()->value() > 0);
    QTableView* frozen = f.SG->frozenView();
    QVERIFY(frozen->isVisible());
    const int frozenWidth = f.SG->columnWidth(0) + f.SG->columnWidth(1);
    QCOMPARE(frozen->width(), frozenWidth);
    QCOMPARE(frozen->visualRect(frozen->model()->index(2, 1)).left(), f.SG->columnWidth(0));
    QVERIFY(frozen->isColumnHidden(2));
    QVERIFY(!frozen->isColumnHidden(1));
    QVERIFY(f.SG->visualRect(f.SG->model()->index(2, 7)).left() >= frozenWidth);
    for (int c = 6; c >= 2; --c) {
      d.press(Qt::Key_Left);
      QVERIFY2(f.SG->visualRect(f.SG->model()->index(2, c)).left() >= frozenWidth, qPrintable(QString::number(c)));
    }
    d.press(Qt::Key_Left);  // onto the spacing, in the frozen view
    d.keys(QStringLiteral("3"));
    QVERIFY(frozen->isAncestorOf(QApplication::focusWidget()));
    d.press(Qt::Key_Return);
    QCOMPARE(f.survey().form().grid.cell(1, 3), std::string("3"));

    auto tip = [&f](int col) { return f.SG->model()->headerData(col, Qt::Horizontal, Qt::ToolTipRole).toString(); };
    QVERIFY(tip(1).contains(QStringLiteral("单位 m")));
    QVERIFY(tip(2).contains(QStringLiteral("Ω·m")));
    QVERIFY(tip(4).contains(QStringLiteral("ms")));
    QVERIFY(tip(7).contains(QStringLiteral("%")));
    d.chooseDataType(dtFourPoleProfile);
    QVERIFY(tip(3).startsWith(QStringLiteral("MN/2")));
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
