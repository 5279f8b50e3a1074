// The window as it opens, the layout per data type and the Help and About commands.
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>

#include "app/folders.h"
#include "formdriver.h"
#include "ui/widgets.h"

class StartupTest : public QObject {
  Q_OBJECT
 private slots:
  void opensAsSoundingWithDefaultSpacings() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    QCOMPARE(f.windowTitle(), QStringLiteral("输入野外数据..."));
    QCOMPARE(f.dataType(), dtSounding);
    QCOMPARE(f.SG->rowCount(), 14);
    QCOMPARE(f.SG->colCount(), 3);
    QCOMPARE(f.SG->cell(0, 0), QStringLiteral("序号"));
    QCOMPARE(f.SG->cell(1, 0), QStringLiteral("极距"));
    QCOMPARE(f.SG->cell(2, 0), QStringLiteral("视电阻率"));
    QCOMPARE(f.SG->cell(1, 3), QStringLiteral("4.0"));
    QCOMPARE(f.SG->cell(1, 13), QStringLiteral("340"));
    QCOMPARE(f.SG->cell(0, 13), QStringLiteral("13"));
    QCOMPARE(f.EAB->text(), QStringLiteral("13"));
    QCOMPARE(f.ST->text(), QStringLiteral("没有测点数据"));
    QVERIFY(!f.Previous->isEnabled());
    QVERIFY(!f.Next->isEnabled());
    QVERIFY(!f.UpdateData->isEnabled());
    QVERIFY(f.AB->isHidden());
    QVERIFY(f.Stations.empty());
    QCOMPARE(f.CurrentIndex, 0);
    QVERIFY(f.Saved);
    // Every control is found by its name.
    for (const char* name : {"DataType", "GroupBox1", "ES", "EP", "EW", "EX", "EY", "EO", "EI", "NST", "EAB", "NUD",
                             "StaticText2", "SG", "ABST", "AB", "BitBtn4", "BitBtn1", "BitBtn2", "ST", "Previous",
                             "Next", "SaveBtn", "newProfile", "Button1", "BitBtn3", "Label8", "Image1"})
      QVERIFY2(f.findChild<QWidget*>(QString::fromLatin1(name)) != nullptr, name);
    // The Help menu stands at the right end of the menu bar.
    auto* corner = qobject_cast<QMenuBar*>(f.menuBar()->cornerWidget(Qt::TopRightCorner));
    QVERIFY(corner);
    QCOMPARE(corner->actions().constLast()->text(), QStringLiteral("帮助(&H)"));
  }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
