// Appending to an existing sounding file: the file's stations are read, merged with the window's
// and written back; a file that cannot be read completely is never rewritten.
#include <QTest>

#include "formdriver.h"
#include "stationfiles.h"

namespace {

const QString kWarning = QStringLiteral("警告");
const QString kUnreadable = QStringLiteral("数据文件无法完整读取，文件未作改动，新数据没有保存。");

QByteArray VesHeader() { return FirstLines(Fixture("ves_worked_example.ves"), 2); }
QByteArray DatHeader() { return FirstLines(Fixture("sounding_worked_example.dat"), 3); }
// The S1 block of the worked .ves example (its lines 4 to 16).
QByteArray VesExampleBlock() {
  const QByteArray all = Fixture("ves_worked_example.ves");
  return all.mid(FirstLines(all, 3).size());
}

}  // namespace

class AppendTest : public QObject {
  Q_OBJECT
 private slots:
  // Window stations S1 and S2, file stations S1 and S9: S1's rows are merged (the spacing 2.5 of
  // both averaged), S9 is kept with its name, coordinates (Z included), texts and model, and the
  // stations without a model are written with the one-layer model.
  void vesRoundTrip() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.load({MakeSounding("S2", 10, 2, {{3, 33}}, "W2", "P2", "O2", "I2"),
                  MakeSounding("S1", 0, 0, {{2.5f, 125}, {6, 500}}, "WorkArea", "Profile", "Operator", "DZD")}, 1, false);
    const StationList before = f.survey().stations();
    const QString target = d.path(QStringLiteral("survey.ves"));
    QVERIFY(WriteBytes(target, VesHeader() + CrLf({"2"}) + VesExampleBlock() +
                                   CrLf({"S9", "5 0 7", "Area9", "P9", "Op9", "Inst9", "2", " 1 11", " 2 22", " 2",
                                         " 5 50", " 10 200", ""})));
    d.dialogs.setNextFileName(target);
    d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Append);

    // The file written, S1's row 2.5 aside.
    auto expected = [](const char* s1Row25) {
      return VesHeader() + CrLf({"3",
                                 "S1", "0 0 0", "WorkArea", "Profile", "Operator", "DZD", "4", " 1.5 150", s1Row25,
                                 " 4 340", " 6 500", " 1", " 100 100", "",
                                 "S9", "5 0 7", "Area9", "P9", "Op9", "Inst9", "2", " 1 11", " 2 22", " 2", " 5 50",
                                 " 10 200", "",
                                 "S2", "10 2 0", "W2", "P2", "O2", "I2", "1", " 3 33", " 1", " 100 100", ""});
    };

    d.click(f.SaveBtn);

    QCOMPARE(ReadBytes(target), expected(" 2.5 175"));
    QVERIFY(d.dialogs.texts().isEmpty());
    QVERIFY(f.survey().saved());
    QCOMPARE(f.survey().stations(), before);
    QCOMPARE(f.survey().currentIndex(), 1);

    // Appending the same stations again: nothing of the file is lost, equal spacings fold again.
    d.dialogs.setNextFileName(target);
    d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Append);
    d.click(f.SaveBtn);
    QCOMPARE(ReadBytes(target), expected(" 2.5 150"));
    QCOMPARE(f.survey().stations(), before);
  }

  // A value the reader repairs is reported and the save goes on with the repaired value.
  void vesRepairedValueIsReportedAndSaved() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.load({MakeSounding("S2", 10, 0, {{3, 33}}, "W2", "P2", "O2", "I2")}, 0, false);
    const QString target = d.path(QStringLiteral("repair.ves"));
    QVERIFY(WriteBytes(target, VesHeader() + CrLf({"1", "S9", "5 0", "A", "B", "C", "D", "1", " -5 11", " 1", " 100 100", ""})));
    d.dialogs.setNextFileName(target);
    d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Append);

    d.click(f.SaveBtn);

    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("数据文件极距错误.")});
    QCOMPARE(d.dialogs.messages[0].caption, kWarning);
    QCOMPARE(d.dialogs.messages[0].icon, Dialogs::Icon::Warning);
    QVERIFY(d.dialogs.messages[0].owned);
    QCOMPARE(ReadBytes(target),
             VesHeader() + CrLf({"2", "S9", "5 0 0", "A", "B", "C", "D", "1", " 50 11", " 1", " 100 100", "",
                                 "S2", "10 0 0", "W2", "P2", "O2", "I2", "1", " 3 33", " 1", " 100 100", ""}));
    QVERIFY(f.survey().saved());
  }

  // Window station 100 shares the spacing 1.5 with the file's station 100 (all parameters
  // averaged) and adds the spacing 4; the file's spacing 2.5 is kept; station 50 is new.
  void datRoundTrip() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(1);
    d.load({MakeSounding("100", 100, 0, {{4, 30, 5, 2, 60, 3, 1}, {1.5f, 20.8f, 4.25f, 0.75f, 55, 1.9f, 0.5f}}),
                  MakeSounding("50", 50, 0, {{1, 9, 0.6f, 0.1f, 0.4f, 0.3f, 0.2f}})}, 1, false);
    const StationList before = f.survey().stations();
    const QString target = d.path(QStringLiteral("water.dat"));
    QVERIFY(WriteBytes(target, Fixture("sounding_worked_example.dat")));
    d.dialogs.setNextFileName(target);
    d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Append);

    d.click(f.SaveBtn);

    QCOMPARE(ReadBytes(target), DatHeader() + CrLf({"50 1 0.5 9 0.1 0.2 0.3 0.4 0.6 -9999 -9999 -9999",
                                                    "100 1.5 0.5 28 1 0.5 2 50 4 -9999 -9999 -9999",
                                                    "100 2.5 0.5 40 1.5 0.8 2.3 50.5 4 -9999 -9999 -9999",
                                                    "100 4 0.5 30 2 1 3 60 5 -9999 -9999 -9999"}));
    QVERIFY(d.dialogs.texts().isEmpty());
    QVERIFY(f.survey().saved());
    QCOMPARE(f.survey().stations(), before);
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.survey().saveDialog().filterIndex, 1);
  }

  // Records that the reader passes over (here N 12000 and RO 0) would vanish from the rewritten
  // file: the user is asked first; No leaves the file as it was, Yes writes without them.
  void datRecordsOutsideTheRangesAreOnlyDroppedWhenTheUserAgrees_data() {
    QTest::addColumn<bool>("agree");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
  }
  void datRecordsOutsideTheRangesAreOnlyDroppedWhenTheUserAgrees() {
    QFETCH(bool, agree);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(1);
    d.load({MakeSounding("50", 50, 0, {{1, 9, 0.6f, 0.1f, 0.4f, 0.3f, 0.2f}})}, 0, false);
    const QByteArray original = DatHeader() + CrLf({"12000 1.5 0.5 35 1 1 1 1 1 -9999 -9999 -9999",
                                                    "100 1.5 0.5 0 1 1 1 1 1 -9999 -9999 -9999",
                                                    "100 2.5 0.5 40 1.5 0.8 2.3 50.5 4 -9999 -9999 -9999"});
    const QString target = d.path(QStringLiteral("water.dat"));
    QVERIFY(WriteBytes(target, original));
    d.dialogs.setNextFileName(target);
    d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Append);
    d.dialogs.setNextAnswer(agree ? Dialogs::Answer::Yes : Dialogs::Answer::No);

    d.click(f.SaveBtn);

    QCOMPARE(d.dialogs.messages.size(), 1);
    QVERIFY(d.dialogs.messages[0].text.startsWith(QStringLiteral("数据文件中有 2 条记录")));
    QCOMPARE(d.dialogs.messages[0].buttons, Dialogs::Buttons::YesNo);
    if (agree) {
      QCOMPARE(ReadBytes(target), DatHeader() + CrLf({"50 1 0.5 9 0.1 0.2 0.3 0.4 0.6 -9999 -9999 -9999",
                                                      "100 2.5 0.5 40 1.5 0.8 2.3 50.5 4 -9999 -9999 -9999"}));
      QVERIFY(f.survey().saved());
    } else {
      QCOMPARE(ReadBytes(target), original);
      QVERIFY(!f.survey().saved());
    }
  }

  // A file that cannot be read to its end is left as it is: the reader's own messages, then one
  // saying that nothing was saved.
  void unreadableFileIsNotRewritten_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("content");  // empty: the target is a folder
    QTest::addColumn<QStringList>("readerTexts");
    QTest::addColumn<QStringList>("readerKinds");  // icon and owner of each reader message

    const QByteArray s9 = CrLf({"S9", "5 0", "A", "B", "C", "D", "1", " 1 11", " 1", " 100 100", ""});
    QTest::newRow("ves: no QL") << 0 << (QByteArray("XX data\r\n") + VesHeader().mid(VesHeader().indexOf('\n') + 1) + CrLf({"1"}) + s9)
                                << QStringList{QStringLiteral("打开文件失败!\n数据格式不是QL软件支持的格式.")}
                                << QStringList{QStringLiteral("error owned")};
    QTest::newRow("ves: not a VES sounding file")
        << 0 << (FirstLines(VesHeader(), 1) + CrLf({"VES"}) + CrLf({"1"}) + s9)
        << QStringList{QStringLiteral("打开文件失败!\n数据格式不是QL软件支持的VES测深文件格式.")}
        << QStringList{QStringLiteral("error owned")};
    QTest::newRow("ves: fewer blocks than counted") << 0 << (VesHeader() + CrLf({"2"}) + s9) << QStringList{} << QStringList{};
    QTest::newRow("ves: more blocks than counted")
        << 0 << (VesHeader() + CrLf({"1"}) + s9 + CrLf({"S8", "6 0", "A", "B", "C", "D", "1", " 1 11", " 1", " 100 100", ""}))
        << QStringList{} << QStringList{};
    QTest::newRow("ves: layer count above 200")
        << 0 << (VesHeader() + CrLf({"2"}) + s9 + CrLf({"S8", "6 0", "A", "B", "C", "D", "1", " 1 11", " 201", " 1 11"}))
        << QStringList{QStringLiteral("数据格式不正确，请检查数据文件。")} << QStringList{QStringLiteral("warning ownerless")};
    QTest::newRow("ves: cannot be opened") << 0 << QByteArray() << QStringList{} << QStringList{};

    const QByteArray record = "7 3 0.5 30 0 0 0 0 0 -9999 -9999 -9999\r\n";
    QTest::newRow("dat: no QL") << 1 << (QByteArray("XX\r\n") + DatHeader().mid(DatHeader().indexOf('\n') + 1) + record)
                                << QStringList{QStringLiteral("打开文件失败!\n数据格式不是QL软件支持的格式.")}
                                << QStringList{QStringLiteral("error owned")};
    QTest::newRow("dat: no sounding mark")
        << 1 << (FirstLines(DatHeader(), 1) + CrLf({"VES", "N AB/2"}) + record)
        << QStringList{QStringLiteral("打开文件失败!\n数据格式不是QL软件支持的VES测深文件格式.")}
        << QStringList{QStringLiteral("error owned")};
    QTest::newRow("dat: text where a number belongs")
        << 1 << (DatHeader() + record + "8 3 0.5 x 0 0 0 0 0 -9999 -9999 -9999\r\n" + record) << QStringList{}
        << QStringList{};
    QTest::newRow("dat: ends inside a record") << 1 << (DatHeader() + record + "8 3 0.5 30 0 0\r\n") << QStringList{}
                                               << QStringList{};
    QTest::newRow("dat: cannot be opened") << 1 << QByteArray() << QStringList{} << QStringList{};
  }
  void unreadableFileIsNotRewritten() {
    QFETCH(int, type);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, readerTexts);
    QFETCH(QStringList, readerKinds);
    FormDriver d;
    TInputDataForm& f = *d.form;
    if (type == 1) d.chooseDataType(1);
    d.load({MakeSounding("S9", 5, 0, {{2, 20}}), MakeSounding("1", 1, 0, {{3, 30}})}, 1, false);
    f.survey().saveDialog().filterIndex = 1;
    const StationList before = f.survey().stations();
    const QString target = d.path(type == 0 ? QStringLiteral("old.ves") : QStringLiteral("old.dat"));
    if (content.isEmpty()) {
      QVERIFY(QDir(d.dir.path()).mkdir(type == 0 ? QStringLiteral("old.ves") : QStringLiteral("old.dat")));
    } else {
      QVERIFY(WriteBytes(target, content));
    }
    const auto disk = Snapshot(d.dir.path());
    d.dialogs.setNextFileName(target);
    d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Append);

    QVERIFY(!f.saveSurvey());

    QCOMPARE(Snapshot(d.dir.path()), disk);
    QCOMPARE(d.dialogs.texts(), readerTexts + QStringList{kUnreadable});
    for (int i = 0; i < d.dialogs.messages.size(); ++i) {
      const ShownMessage& m = d.dialogs.messages[i];
      QCOMPARE(m.caption, kWarning);
      QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
      const QString kind = i < readerKinds.size() ? readerKinds[i] : QStringLiteral("warning owned");
      QCOMPARE(QString::fromLatin1(m.icon == Dialogs::Icon::Error ? "error" : m.icon == Dialogs::Icon::Warning ? "warning" : "other") +
                   (m.owned ? QStringLiteral(" owned") : QStringLiteral(" ownerless")),
               kind);
    }
    QVERIFY(!f.survey().saved());
    QCOMPARE(f.survey().stations(), before);
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.survey().saveDialog().filterIndex, 1);
  }
};

QTEST_MAIN(AppendTest)
#include "append_test.moc"
