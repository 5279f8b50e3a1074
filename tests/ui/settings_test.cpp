// What the window remembers between runs (the data type, the operator, instrument and work area,
// the folders, the recent files, the default spacings), a settings file with nonsense in it,
// and the default-spacings dialog.
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>
#include <memory>

#include "formdriver.h"
#include "stationfiles.h"
#include "ui/settings.h"
#include "ui/spacingsdialog.h"
#include "ui/widgets.h"

namespace {
const QStringList kBuiltIn = {"1.5", "2.5", "4.0", "6", "9", "15", "25", "40", "60", "90", "150", "225", "340"};

// A window that remembers through an ini file, as the program does through its QSettings.
struct RememberingWindow {
  explicit RememberingWindow(const QString& iniPath) : stored(iniPath, QSettings::IniFormat), settings(stored) {
    d.form->useSettings(&settings);
  }
  QSettings stored;
  AppSettings settings;
  FormDriver d;
};

// Types lines into the edit, Return after each but the last.
void TypeLines(QPlainTextEdit* edit, const QStringList& lines) {
  for (int i = 0; i < lines.size(); ++i) {
    if (i > 0) QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, lines[i]);
  }
}

QStringList Column1(const StringGrid* grid) {
  QStringList out;
  for (int r = 1; r < grid->rowCount(); ++r) out << grid->cell(1, r);
  return out;
}
}  // namespace

class SettingsTest : public QObject {
  Q_OBJECT
 private slots:
  void rememberedBetweenRuns() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("fieldinput.conf"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("water"))));
    const QString opened = dir.filePath(QStringLiteral("survey.ves"));
    QVERIFY(WriteBytes(opened, Fixture("ves_worked_example.ves")));
    {
      RememberingWindow w(ini);
      FormDriver& d = w.d;
      TInputDataForm& f = *d.form;
      d.dialogs.setNextOpenFiles({opened});
      d.trigger(f.OpenAction);
      d.chooseDataType(dtWaterFinding);
      d.type(f.EO, QStringLiteral("张三"));
      d.type(f.EI, QStringLiteral("DZD-6A"));
      d.type(f.EW, QStringLiteral("北京西山"));
      d.type(f.EX, QStringLiteral("100"));
      for (int r = 1; r <= 13; ++r)
        for (int c = 2; c <= 7; ++c) d.setCell(c, r, QString::number(r + c));
      d.click(f.BitBtn2);
      d.dialogs.setNextFileName(dir.filePath(QStringLiteral("water/w.dat")));
      d.click(f.SaveBtn);
      QVERIFY(f.survey().saved());
    }
    RememberingWindow again(ini);
    TInputDataForm& f = *again.d.form;
    QCOMPARE(f.survey().type(), dtWaterFinding);
    QCOMPARE(f.DataType->itemIndex(), 1);
    QCOMPARE(f.SG->colCount(), 8);
    QCOMPARE(f.EO->text(), QStringLiteral("张三"));
    QCOMPARE(f.EI->text(), QStringLiteral("DZD-6A"));
    QCOMPARE(f.EW->text(), QStringLiteral("北京西山"));
    QCOMPARE(f.EX->text(), QStringLiteral("0"));  // the station's own fields are not remembered
    QCOMPARE(f.recentFiles(), QStringList{opened});
    QCOMPARE(f.RecentMenu->actions().value(0)->toolTip(), opened);
    // The dialogs start in the folder last used for the type's files.
    again.d.trigger(f.OpenAction);
    QCOMPARE(again.d.dialogs.openDialogs.value(0).dir, dir.filePath(QStringLiteral("water/")));
    again.d.load({MakeSounding("100", 100, 0, {{1.5f, 10}})});
    again.d.click(f.SaveBtn);
    QCOMPARE(again.d.dialogs.saveDialogs.value(0).initialDir, dir.filePath(QStringLiteral("water/")));
    again.d.dialogs.setNextAnswer(Dialogs::Answer::No);  // not saved first
    again.d.chooseDataType(dtSounding);
    again.d.trigger(f.OpenAction);
    QCOMPARE(again.d.dialogs.openDialogs.value(1).dir, dir.path() + QLatin1Char('/'));
    // Texts shown from a file are not what the user typed: opening a profile line (whose file
    // holds no operator) leaves the remembered ones.
    const QString line = dir.filePath(QStringLiteral("150.dat"));
    QVERIFY(WriteBytes(line, Fixture("fourpole_profile_example.dat")));
    const auto asked = again.d.dialogs.messages.size();
    again.d.dialogs.setNextOpenFiles({line});
    again.d.trigger(f.OpenAction);
    QCOMPARE(f.survey().type(), dtFourPoleProfile);
    QCOMPARE(again.d.dialogs.messages.size(), asked);
    QCOMPARE(f.EO->text(), QString());
    QCOMPARE(again.settings.fieldText(Field::EO), QStringLiteral("张三"));
  }

  // Nonsense in the settings file is ignored: the built-in defaults are used, and no value is lost
  // that makes sense.
  void nonsenseIsIgnored() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("fieldinput.conf"));
    QVERIFY(WriteBytes(ini, QByteArrayLiteral("[General]\n"
                                              "dataType=banana\n"
                                              "recentFiles=relative.ves, /abs/ok.ves, /abs/ok.ves, \"/a\\tb.ves\"\n"
                                              "defaultSpacings=5, 2\n"
                                              "[fields]\n"
                                              "operator=@ByteArray(\\0\\x1)\n"
                                              "instrument=\"DZD\\nX\"\n"
                                              "workArea=\xe6\xb5\x8b\xe5\x8c\xba\n"
                                              "[folders]\n"
                                              "type0=relative/folder\n"
                                              "type1=@Variant(garbage)\n")));
    RememberingWindow w(ini);
    TInputDataForm& f = *w.d.form;
    QCOMPARE(f.survey().type(), dtSounding);
    QCOMPARE(f.EO->text(), QStringLiteral("Operator"));
    QCOMPARE(f.EI->text(), QStringLiteral("DZD"));
    QCOMPARE(f.EW->text(), QStringLiteral("测区"));
    QCOMPARE(f.recentFiles(), QStringList{QStringLiteral("/abs/ok.ves")});
    QCOMPARE(Column1(f.SG), kBuiltIn);
    QCOMPARE(f.survey().lastFolder(dtSounding), std::string());
    QCOMPARE(f.survey().lastFolder(dtWaterFinding), std::string());
    for (int type : {4, -1, 99999999}) {
      QSettings s(ini, QSettings::IniFormat);
      s.setValue(QStringLiteral("dataType"), QString::number(type));
      s.sync();
      RememberingWindow later(ini);
      QCOMPARE(later.d.form->survey().type(), dtSounding);
    }
  }

  // The dialog itself: a list the grid check would refuse stays in the dialog with the reason;
  // the reset button puts the built-in values back.
  void spacingsDialogChecksAndResets() {
    SpacingsDialog dialog(QStringList{"1", "2"}, kBuiltIn);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.SpacingsEdit->toPlainText(), QStringLiteral("1\n2"));
    dialog.SpacingsEdit->setFocus();
    dialog.SpacingsEdit->selectAll();
    TypeLines(dialog.SpacingsEdit, {QStringLiteral("5"), QStringLiteral("2")});
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.ProblemLabel->isVisible());
    QVERIFY2(dialog.ProblemLabel->text().contains(QStringLiteral("第 2 个默认极距没有比前一个大")),
             qPrintable(dialog.ProblemLabel->text()));
    QTest::mouseClick(dialog.ResetButton, Qt::LeftButton);
    QCOMPARE(dialog.spacings(), kBuiltIn);
    QVERIFY(dialog.ProblemLabel->isHidden());
    dialog.SpacingsEdit->selectAll();
    TypeLines(dialog.SpacingsEdit, {QStringLiteral("1, 3"), QString(), QStringLiteral("10.5 20")});
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.spacings(), (QStringList{"1", "3", "10.5", "20"}));
  }

  // 文件 › 默认极距设置: the list chosen lays out the grid from then on (默认极距, a new
  // sounding grid) and in the next run; the built-in list chosen again removes the setting.
  void settingsActionSetsTheDefaultSpacings() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("fieldinput.conf"));
    const QStringList mine = {"1", "3", "10"};
    {
      RememberingWindow w(ini);
      FormDriver& d = w.d;
      TInputDataForm& f = *d.form;
      d.dialogs.setNextSpacings(mine);
      d.trigger(f.SettingsAction);
      QCOMPARE(d.dialogs.spacingDialogs.size(), 1);
      QCOMPARE(d.dialogs.spacingDialogs[0].current, kBuiltIn);
      QCOMPARE(d.dialogs.spacingDialogs[0].builtIn, kBuiltIn);
      QCOMPARE(Column1(f.SG), kBuiltIn);  // the grid stays until it is laid out
      d.click(f.BitBtn4);
      QCOMPARE(Column1(f.SG), mine);
      QCOMPARE(f.EAB->text(), QStringLiteral("3"));
      d.dialogs.setNextSpacings(std::nullopt);  // cancelled: nothing changes
      d.trigger(f.SettingsAction);
      QCOMPARE(d.dialogs.spacingDialogs[1].current, mine);
    }
    {
      RememberingWindow w(ini);
      TInputDataForm& f = *w.d.form;
      QCOMPARE(Column1(f.SG), mine);
      QCOMPARE(f.EAB->text(), QStringLiteral("3"));
      QCOMPARE(f.NUD->position(), 3);
      w.d.dialogs.setNextSpacings(kBuiltIn);
      w.d.trigger(f.SettingsAction);
      QVERIFY(!w.stored.contains(QStringLiteral("defaultSpacings")));
    }
    RememberingWindow w(ini);
    QCOMPARE(Column1(w.d.form->SG), kBuiltIn);
  }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
