// Saving the profile types: one combined-profiling file named after the line number, and one
// four-pole file per line in the chosen folder. An existing file is replaced only when the user
// says so: Replace, Skip this line, or Cancel the save.
#include <QTest>

#include "formdriver.h"
#include "stationfiles.h"
#include "ui/gbkqt.h"

namespace {

const QString kWarning = QStringLiteral("警告");
const QString kSaveFailed = QStringLiteral("文件保存失败.\n非常抱歉，您的处理结果没有及时保存。");
const QString kNameRule = QStringLiteral("联合剖面数据文件名必须是测线号(整数)，例如 12.dat。");
const QString kFolderTitle = QStringLiteral("选择保存数据的目录...");

QString ReplaceQuestion(const QString& path) {
  return QStringLiteral("文件 ") + path + QStringLiteral(" 已经存在，是否用当前测线的数据替换它?");
}

QByteArray CombinedHeader() { return FirstLines(Fixture("combined_profile_example.dat"), 3); }
QByteArray FourPoleHeader() { return FirstLines(Fixture("fourpole_profile_example.dat"), 3); }

void MakeReadOnly(const QString& path) {
  QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
}

}  // namespace

class ProfileSaveTest : public QObject {
  Q_OBJECT
 private slots:
  void combinedWritesTheExample() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(3);
    d.type(f.EP, QStringLiteral("12"));
    d.load({MakeProfile("A", {{20, 50, 20, 123.4f}})}, 0, false);
    const StationList before = f.survey().stations();
    const QString target = d.path(QStringLiteral("12.dat"));
    for (int round = 0; round < 2; ++round) {  // the second time the file exists: replaced when asked
      d.dialogs.setNextFileName(target);
      if (round == 1) d.dialogs.setNextAnswer(Dialogs::Answer::Replace);
      d.click(f.SaveBtn);
      QCOMPARE(ReadBytes(target), Fixture("combined_profile_example.dat"));
      QVERIFY(f.survey().saved());
    }
    QCOMPARE(d.dialogs.appendQuestions, 0);
    QCOMPARE(d.dialogs.texts(), QStringList{ReplaceQuestion(target)});
    QCOMPARE(d.dialogs.messages[0].buttons, Dialogs::Buttons::ReplaceSkipCancel);
    QCOMPARE(f.survey().stations(), before);
    const SaveDialogState& shown = d.dialogs.saveDialogs[0];
    QCOMPARE(shown.fileName, QStringLiteral("12.dat"));  // proposed from the line number in EP
    QCOMPARE(shown.title, QStringLiteral("保存输入的数据为..."));
    QCOMPARE(shown.initialDir, d.path(QStringLiteral("Data/")));
  }

  // Both branches in list order, A with branch 1 and every other name with 2; no sorting.
  void combinedWritesBothBranches() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(3);
    d.load({MakeProfile("A", {{40, 50, 20, 100}, {20, 50, 20, 1234567}}),
                  MakeProfile("B", {{40, 1.5f, 0.00001f, 90}, {20, 50, 20, 80}})}, 0, false);
    const StationList before = f.survey().stations();
    d.dialogs.setNextFileName(d.path(QStringLiteral("7")));

    QVERIFY(f.saveSurvey());

    QCOMPARE(ReadBytes(d.path(QStringLiteral("7.dat"))),
             CombinedHeader() + CrLf({"40 50 20 100 -9999 -9999  -9999 -9999 -9999 -9999 1 -9999",
                                      "20 50 20 1.23457e+06 -9999 -9999  -9999 -9999 -9999 -9999 1 -9999",
                                      "40 1.5 1e-05 90 -9999 -9999  -9999 -9999 -9999 -9999 2 -9999",
                                      "20 50 20 80 -9999 -9999  -9999 -9999 -9999 -9999 2 -9999"}));
    QCOMPARE(f.survey().stations(), before);
    QVERIFY(f.survey().saved());
  }

  void combinedFileIsNamedAfterTheLineNumber_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");  // empty: refused
    QTest::newRow("letters before the number") << "L12.dat" << "";
    QTest::newRow("not a whole number") << "12.5.dat" << "";
    QTest::newRow("empty base") << ".dat" << "";
    QTest::newRow("number without extension") << "12" << "12.dat";
    QTest::newRow("number, other extension") << "12.txt" << "12.dat";
    QTest::newRow("negative number") << "-3.dat" << "-3.dat";
  }
  void combinedFileIsNamedAfterTheLineNumber() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(3);
    d.load({MakeProfile("A", {{20, 50, 20, 123.4f}})}, 0, false);
    const auto disk = Snapshot(d.dir.path());
    d.dialogs.setNextFileName(d.path(chosen));

    const bool saved = f.saveSurvey();

    auto expected = disk;
    if (written.isEmpty()) {
      QVERIFY(!saved);
      QVERIFY(!f.survey().saved());
      QCOMPARE(d.dialogs.texts(), QStringList{kNameRule});
      QCOMPARE(d.dialogs.messages[0].caption, QStringLiteral("保存文件"));
      QCOMPARE(d.dialogs.messages[0].icon, Dialogs::Icon::Warning);
      QVERIFY(d.dialogs.messages[0].owned);
    } else {
      QVERIFY(saved);
      QVERIFY(f.survey().saved());
      QVERIFY(d.dialogs.texts().isEmpty());
      expected.insert(written, Fixture("combined_profile_example.dat"));
    }
    QCOMPARE(Snapshot(d.dir.path()), expected);
  }

  void combinedEmptyListWritesTheHeader() {
    FormDriver d;
    d.chooseDataType(3);
    d.dialogs.setNextFileName(d.path(QStringLiteral("3.dat")));
    QVERIFY(d.form->saveSurvey());
    QCOMPARE(ReadBytes(d.path(QStringLiteral("3.dat"))), CombinedHeader());
  }

  void combinedFailedWriteKeepsTheOldFile() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(3);
    d.load({MakeProfile("A", {{20, 50, 20, 123.4f}})}, 0, false);
    const QString target = d.path(QStringLiteral("12.dat"));
    QVERIFY(WriteBytes(target, "old\r\n"));
    MakeReadOnly(target);
    const auto disk = Snapshot(d.dir.path());
    d.dialogs.setNextFileName(target);
    d.dialogs.setNextAnswer(Dialogs::Answer::Replace);

    d.click(f.SaveBtn);

    QCOMPARE(Snapshot(d.dir.path()), disk);
    QCOMPARE(d.dialogs.texts(), (QStringList{ReplaceQuestion(target), kSaveFailed}));
    QCOMPARE(d.dialogs.messages[1].caption, kWarning);
    QCOMPARE(d.dialogs.messages[1].icon, Dialogs::Icon::Warning);
    QVERIFY(!d.dialogs.messages[1].details.isEmpty());
    QVERIFY(!f.survey().saved());
  }

  void cancelWritesNothing_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("four-pole") << 2;
    QTest::newRow("combined") << 3;
  }
  void cancelWritesNothing() {
    QFETCH(int, type);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(type);
    d.load({MakeProfile("100", {{20, 50, 20, 123.4f}})}, 0, false);
    const auto disk = Snapshot(d.dir.path());
    if (type == 2) {
      d.dialogs.setNextFolderCancel();
    } else {
      d.dialogs.setNextSaveCancel();
    }

    QVERIFY(!f.saveSurvey());

    QCOMPARE(Snapshot(d.dir.path()), disk);
    QVERIFY(d.dialogs.texts().isEmpty());
    QVERIFY(!f.survey().saved());
    QCOMPARE(f.survey().saveDialog().title, std::string("保存输入的数据为..."));
  }

  // One file per line, named after the line, in the chosen folder; an existing file is replaced
  // once the user says so.
  void fourPoleWritesOneFilePerLine() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(2);
    QVERIFY(QDir(d.dir.path()).mkdir(QStringLiteral("lines")));
    QVERIFY(WriteBytes(d.path(QStringLiteral("lines/100.dat")), "old\r\n"));
    d.load({MakeProfile("100", {{20, 50, 20, 123.4f}}), MakeProfile("1.5", {{10, 5, 1, 60}, {30, 5, 1, 70}}),
                  MakeProfile(ToGbk(QStringLiteral("测线7")), {}), MakeProfile("a/b", {{1, 2, 3, 4}})}, 0, false);
    const StationList before = f.survey().stations();
    d.dialogs.setNextFolder(d.path(QStringLiteral("lines")));
    d.dialogs.setNextAnswer(Dialogs::Answer::Replace);

    d.click(f.SaveBtn);

    QMap<QString, QByteArray> expected;
    expected.insert(QStringLiteral("100.dat"), Fixture("fourpole_profile_example.dat"));
    expected.insert(QStringLiteral("1.dat"),
                    FourPoleHeader() + CrLf({"10 5 1 60 -9999 -9999  -9999 -9999 -9999 -9999 -9999 -9999",
                                             "30 5 1 70 -9999 -9999  -9999 -9999 -9999 -9999 -9999 -9999"}));
    expected.insert(QStringLiteral("测线7.dat"), FourPoleHeader());
    expected.insert(QStringLiteral("a_b.dat"),
                    FourPoleHeader() + CrLf({"1 2 3 4 -9999 -9999  -9999 -9999 -9999 -9999 -9999 -9999"}));
    QCOMPARE(Snapshot(d.path(QStringLiteral("lines"))), expected);
    QCOMPARE(d.dialogs.appendQuestions, 0);
    QCOMPARE(d.dialogs.texts(), QStringList{ReplaceQuestion(d.path(QStringLiteral("lines/100.dat")))});
    QVERIFY(f.survey().saved());
    QCOMPARE(f.survey().stations(), before);
    // A folder chooser, not a file dialog whose typed name would be ignored.
    QVERIFY(d.dialogs.saveDialogs.isEmpty());
    QCOMPARE(d.dialogs.folderTitles, QStringList{kFolderTitle});
  }

  // An existing line file: Replace writes it, Skip keeps it and writes the other lines, Cancel
  // ends the save at that line. Only a save that wrote every line makes the survey saved.
  void fourPoleAsksBeforeReplacing_data() {
    QTest::addColumn<Dialogs::Answer>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<bool>("otherWritten");
    QTest::newRow("replace") << Dialogs::Answer::Replace << true << true;
    QTest::newRow("skip") << Dialogs::Answer::Skip << false << true;
    QTest::newRow("cancel") << Dialogs::Answer::Cancel << false << false;
  }
  void fourPoleAsksBeforeReplacing() {
    QFETCH(Dialogs::Answer, answer);
    QFETCH(bool, replaced);
    QFETCH(bool, otherWritten);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(2);
    d.load({MakeProfile("100", {{20, 50, 20, 123.4f}}), MakeProfile("150", {{20, 50, 20, 123.4f}})}, 0, false);
    const QString existing = d.path(QStringLiteral("100.dat"));
    QVERIFY(WriteBytes(existing, "another line\r\n"));
    d.dialogs.setNextFolder(d.dir.path());
    d.dialogs.setNextAnswer(answer);

    QCOMPARE(f.saveSurvey(), replaced);

    QCOMPARE(d.dialogs.texts(), QStringList{ReplaceQuestion(existing)});
    QCOMPARE(ReadBytes(existing), replaced ? Fixture("fourpole_profile_example.dat") : QByteArray("another line\r\n"));
    QCOMPARE(QFile::exists(d.path(QStringLiteral("150.dat"))), otherWritten);
    QCOMPARE(f.survey().saved(), replaced);
  }

  // A file that cannot be written costs only that file: the message names it, the old file is
  // kept, the next line is written, and the stations are not counted as saved.
  void fourPoleFailingFileDoesNotStopTheNext() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(2);
    const QString first = d.path(QStringLiteral("100.dat"));
    QVERIFY(WriteBytes(first, "old\r\n"));
    MakeReadOnly(first);
    d.load({MakeProfile("100", {{20, 50, 20, 123.4f}}), MakeProfile("150", {{20, 50, 20, 123.4f}})}, 0, false);
    d.dialogs.setNextFolder(d.dir.path());
    d.dialogs.setNextAnswer(Dialogs::Answer::Replace);

    QVERIFY(!f.saveSurvey());

    QCOMPARE(ReadBytes(first), QByteArray("old\r\n"));
    QCOMPARE(ReadBytes(d.path(QStringLiteral("150.dat"))), Fixture("fourpole_profile_example.dat"));
    QCOMPARE(d.dialogs.texts(),
             (QStringList{ReplaceQuestion(first),
                          QStringLiteral("保存文件") + first + QStringLiteral("\n失败.\n非常抱歉，您的处理结果没有及时保存。")}));
    QCOMPARE(d.dialogs.messages[1].caption, kWarning);
    QCOMPARE(d.dialogs.messages[1].icon, Dialogs::Icon::Warning);
    QVERIFY(d.dialogs.messages[1].owned);
    QVERIFY(!d.dialogs.messages[1].details.isEmpty());
    QVERIFY(!f.survey().saved());
    QCOMPARE(QDir(d.dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("100.dat"), QStringLiteral("150.dat")}));
  }

  void fourPoleEmptyListWritesNothing() {
    FormDriver d;
    d.chooseDataType(2);
    const auto disk = Snapshot(d.dir.path());
    d.dialogs.setNextFolder(d.dir.path());
    d.click(d.form->SaveBtn);
    QCOMPARE(Snapshot(d.dir.path()), disk);
    QVERIFY(d.dialogs.texts().isEmpty());
  }

  // A line whose name makes no file name of its own is refused before any line is written.
  void fourPoleRefusesLineNamesThatAreNoFileNames_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("dots") << "..";
    QTest::newRow("hidden") << ".hidden";
    QTest::newRow("too long") << QString(300, QLatin1Char('7'));
  }
  void fourPoleRefusesLineNamesThatAreNoFileNames() {
    QFETCH(QString, name);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(2);
    d.load({MakeProfile("100", {{20, 50, 20, 123.4f}}), MakeProfile(name.toStdString(), {{20, 50, 20, 1}})}, 0, false);
    const auto disk = Snapshot(d.dir.path());
    d.dialogs.setNextFolder(d.dir.path());

    QVERIFY(!f.saveSurvey());

    QCOMPARE(Snapshot(d.dir.path()), disk);
    QCOMPARE(d.dialogs.messages.size(), 1);
    QVERIFY(d.dialogs.messages[0].text.startsWith(QStringLiteral("测线 ")));
    QVERIFY(!f.survey().saved());
  }
};

QTEST_MAIN(ProfileSaveTest)
#include "profile_save_test.moc"
