// The save command for the two sounding types: the dialog and its state, the target name, the
// append/replace question, the bytes written, and what a cancel or a failure leaves behind.
#include <signal.h>
#include <sys/resource.h>

#include <QTest>
#include <QTimer>

#include "io/folders.h"
#include "formdriver.h"
#include "stationfiles.h"

namespace {

const QString kSaveFailed = QStringLiteral("文件保存失败.\n非常抱歉，您的处理结果没有及时保存。");

// The station of the worked .ves example.
sdata VesExample() {
  return MakeSounding("S1", 0, 0, {{1.5f, 150}, {2.5f, 225}, {4, 340}}, "WorkArea", "Profile", "Operator", "DZD");
}

// The station of the worked sounding .dat example.
sdata DatExample() {
  return MakeSounding("100", 100, 0,
                      {{1.5f, 35.2f, 3.75f, 1.25f, 45, 2.1f, 0.5f}, {2.5f, 40, 4, 1.5f, 50.5f, 2.3f, 0.8f}});
}

// Limits the size of files this process may write, as a full disk would; SIGXFSZ is ignored so
// that the write fails with an error instead of ending the program.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t oldHandler_;
};

// Puts the window on a sounding type with the given stations, as if they had just been committed.
void Prepare(FormDriver& d, int type, const StationList& stations, int currentIndex = 0) {
  if (type != 0) d.chooseDataType(type);
  QCOMPARE(d.form->survey().type(), static_cast<::DataType>(type));
  d.load(stations, currentIndex, false);
}

QString Ext(int type) { return type == 0 ? QStringLiteral("ves") : QStringLiteral("dat"); }
QByteArray ExampleFile(int type) {
  return Fixture(type == 0 ? "ves_worked_example.ves" : "sounding_worked_example.dat");
}

}  // namespace

class SaveTest : public QObject {
  Q_OBJECT
 private slots:
  void writesTheWorkedExamples_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("ves") << 0;
    QTest::newRow("dat") << 1;
  }
  void writesTheWorkedExamples() {
    QFETCH(int, type);
    FormDriver d;
    TInputDataForm& f = *d.form;
    Prepare(d, type, {type == 0 ? VesExample() : DatExample()});
    const StationList before = f.survey().stations();
    f.survey().saveDialog().filterIndex = 1;
    const QString target = d.path(QStringLiteral("out.") + Ext(type));
    d.dialogs.setNextFileName(target);

    d.click(f.SaveBtn);

    QCOMPARE(ReadBytes(target), ExampleFile(type));
    QVERIFY(d.dialogs.texts().isEmpty());
    QCOMPARE(d.dialogs.appendQuestions, 0);  // no file there: nothing to ask
    QVERIFY(f.survey().saved());
    QCOMPARE(f.survey().stations(), before);
    // The dialog as it was shown: the window's one save dialog, started in the data folder.
    QCOMPARE(d.dialogs.saveDialogs.size(), 1);
    const SaveDialogState& shown = d.dialogs.saveDialogs[0];
    QCOMPARE(shown.title, QStringLiteral("保存输入的数据为..."));
    QCOMPARE(shown.filter, QStringLiteral("QL电测深数据格式(*.ves)|*.ves|DZD测深数据文件(*.dat)|*.dat"));
    QCOMPARE(shown.initialDir, QString::fromStdString(DataDir(f.programPath().toStdString())));
    QCOMPARE(shown.initialDir, d.path(QStringLiteral("Data/")));
    // The .dat writer selects the .dat filter item while it runs and puts the old one back.
    QCOMPARE(shown.filterIndex, type == 0 ? 1 : 2);
    QCOMPARE(f.survey().saveDialog().filterIndex, 1);
  }

  // The .ves writer leaves the filter item the user had.
  void vesKeepsTheFilterItem() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    Prepare(d, 0, {VesExample()});
    f.survey().saveDialog().filterIndex = 2;
    d.dialogs.setNextFileName(d.path(QStringLiteral("keep.ves")));
    d.click(f.SaveBtn);
    QCOMPARE(d.dialogs.saveDialogs[0].filterIndex, 2);
    QCOMPARE(f.survey().saveDialog().filterIndex, 2);
    QCOMPARE(ReadBytes(d.path(QStringLiteral("keep.ves"))), ExampleFile(0));
  }

  // The one station of the .ves example typed and committed through the window, then saved with
  // the menu item.
  void committedStationSavedFromTheMenu() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.type(f.ES, QStringLiteral("S1"));
    d.type(f.EX, QStringLiteral("0"));
    d.type(f.EY, QStringLiteral("0"));
    d.type(f.EW, QStringLiteral("WorkArea"));
    d.type(f.EP, QStringLiteral("Profile"));
    d.type(f.EO, QStringLiteral("Operator"));
    d.type(f.EI, QStringLiteral("DZD"));
    d.fillRows({{QStringLiteral("1.5"), QStringLiteral("150")},
                {QStringLiteral("2.5"), QStringLiteral("225")},
                {QStringLiteral("4"), QStringLiteral("340")}});
    d.click(f.BitBtn2);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QVERIFY(!f.survey().saved());
    d.dialogs.setNextFileName(d.path(QStringLiteral("s1")));

    d.trigger(f.VES1);

    QCOMPARE(ReadBytes(d.path(QStringLiteral("s1.ves"))), ExampleFile(0));
    QVERIFY(f.survey().saved());
  }

  void forcesTheExtension_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("ves: other extension") << 0 << "a.txt" << "a.ves";
    QTest::newRow("ves: no extension") << 0 << "a" << "a.ves";
    QTest::newRow("ves: .dat chosen") << 0 << "line3.dat" << "line3.ves";
    QTest::newRow("ves: dotted folder") << 0 << "x.d/a" << "x.d/a.ves";
    QTest::newRow("dat: other extension") << 1 << "survey.txt" << "survey.dat";
    QTest::newRow("dat: no extension") << 1 << "survey" << "survey.dat";
    QTest::newRow("dat: .ves chosen") << 1 << "survey.ves" << "survey.dat";
  }
  void forcesTheExtension() {
    QFETCH(int, type);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    FormDriver d;
    QVERIFY(QDir(d.dir.path()).mkpath(QStringLiteral("x.d")));
    Prepare(d, type, {type == 0 ? VesExample() : DatExample()});
    const auto before = Snapshot(d.dir.path());
    d.dialogs.setNextFileName(d.path(chosen));

    d.click(d.form->SaveBtn);

    auto expected = before;
    expected.insert(written, ExampleFile(type));
    QCOMPARE(Snapshot(d.dir.path()), expected);
    QCOMPARE(QString::fromStdString(d.form->survey().saveDialog().fileName), d.path(chosen));  // the name as typed
  }

  // Cancel in the save dialog or in the question: nothing read, nothing written, not saved.
  void cancelLeavesEverythingAsItWas_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<int>("filterAfter");
    QTest::newRow("ves: save dialog") << 0 << false << 1;
    QTest::newRow("ves: question") << 0 << true << 1;
    QTest::newRow("dat: save dialog") << 1 << false << 1;
    // A cancelled question leaves the .dat filter item selected.
    QTest::newRow("dat: question") << 1 << true << 2;
  }
  void cancelLeavesEverythingAsItWas() {
    QFETCH(int, type);
    QFETCH(bool, fileExists);
    QFETCH(int, filterAfter);
    FormDriver d;
    TInputDataForm& f = *d.form;
    Prepare(d, type, {MakeSounding("9", 9, 0, {{1, 2}}), MakeSounding("3", 3, 0, {{4, 5}, {1, 6}})}, 1);
    f.survey().saveDialog().filterIndex = 1;
    const StationList before = f.survey().stations();
    const QString target = d.path(QStringLiteral("old.") + Ext(type));
    // Not a readable file of either format: reading it would show a message.
    if (fileExists) QVERIFY(WriteBytes(target, "old bytes\r\n"));
    const auto disk = Snapshot(d.dir.path());
    if (fileExists) {
      d.dialogs.setNextFileName(target);
      d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Cancel);
    } else {
      d.dialogs.setNextSaveCancel();
    }

    d.click(f.SaveBtn);

    QCOMPARE(Snapshot(d.dir.path()), disk);
    QVERIFY(d.dialogs.texts().isEmpty());
    QCOMPARE(d.dialogs.appendQuestions, fileExists ? 1 : 0);
    QVERIFY(!f.survey().saved());
    QCOMPARE(f.survey().stations(), before);
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.survey().saveDialog().filterIndex, filterAfter);
  }

  void replaceWritesTheWindowsStationsOnly_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("ves") << 0;
    QTest::newRow("dat") << 1;
  }
  void replaceWritesTheWindowsStationsOnly() {
    QFETCH(int, type);
    FormDriver d;
    TInputDataForm& f = *d.form;
    Prepare(d, type, {type == 0 ? VesExample() : DatExample()});
    const QString target = d.path(QStringLiteral("survey.") + Ext(type));
    // A readable file of the format with another station: replace must not take it in.
    const QByteArray other =
        type == 0 ? FirstLines(ExampleFile(0), 2) +
                        CrLf({"1", "Q7", "70 0 0", "a", "b", "c", "d", "1", " 3 30", " 1", " 100 100", ""})
                  : FirstLines(ExampleFile(1), 3) + CrLf({"7 3 0.5 30 0 0 0 0 0 -9999 -9999 -9999"});
    QVERIFY(WriteBytes(target, other));
    for (int round = 0; round < 2; ++round) {
      d.dialogs.setNextFileName(target);
      d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Replace);
      d.click(f.SaveBtn);
      QCOMPARE(ReadBytes(target), ExampleFile(type));
      QVERIFY(f.survey().saved());
    }
    QCOMPARE(d.dialogs.appendQuestions, 2);  // asked at every save, the file being there
    QVERIFY(d.dialogs.texts().isEmpty());
  }

  void emptyListIsRefused_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("ves") << 0;
    QTest::newRow("dat") << 1;
  }
  void emptyListIsRefused() {
    QFETCH(int, type);
    FormDriver d;
    TInputDataForm& f = *d.form;
    Prepare(d, type, {});
    f.survey().saveDialog().filterIndex = 1;

    QVERIFY(!f.saveSurvey());

    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.text, QStringLiteral("没有数据可以保存。"));
    QCOMPARE(m.caption, QStringLiteral("保存文件"));
    QCOMPARE(m.icon, Dialogs::Icon::None);
    QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
    QVERIFY(m.owned);
    QVERIFY(d.dialogs.saveDialogs.isEmpty());
    QCOMPARE(f.survey().saveDialog().filterIndex, 1);
    QVERIFY(!f.survey().saved());  // nothing was saved: the flag keeps its value
  }

  // A write that fails at any point leaves the old file byte for byte, no stray file, the
  // window's list as it was, and the stations unsaved.
  void failedWriteKeepsTheOldFile_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("append");
    for (int type : {0, 1}) {
      const QByteArray t = Ext(type).toLatin1();
      QTest::newRow((t + ": read-only, replace").constData()) << type << "readonly" << false;
      QTest::newRow((t + ": read-only, append").constData()) << type << "readonly" << true;
      QTest::newRow((t + ": disk full, replace").constData()) << type << "full" << false;
      QTest::newRow((t + ": disk full, append").constData()) << type << "full" << true;
      QTest::newRow((t + ": no such folder").constData()) << type << "nofolder" << false;
    }
  }
  void failedWriteKeepsTheOldFile() {
    QFETCH(int, type);
    QFETCH(QString, how);
    QFETCH(bool, append);
    FormDriver d;
    TInputDataForm& f = *d.form;
    // Out of X order, with a station whose name is also in the file, so that an append merges.
    Prepare(d, type, {MakeSounding("200", 200, 0, {{10, 30}, {1.5f, 10}}), type == 0 ? VesExample() : DatExample()}, 1);
    f.survey().saveDialog().filterIndex = 1;
    const StationList before = f.survey().stations();
    const bool noFolder = how == QLatin1String("nofolder");
    const QString target = d.path((noFolder ? QStringLiteral("missing/out.") : QStringLiteral("out.")) + Ext(type));
    if (!noFolder) {
      QVERIFY(WriteBytes(target, ExampleFile(type)));
      d.dialogs.setNextAppendChoice(append ? Dialogs::AppendChoice::Append : Dialogs::AppendChoice::Replace);
    }
    if (how == QLatin1String("readonly"))
      QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const auto disk = Snapshot(d.dir.path());
    d.dialogs.setNextFileName(target);

    bool saved = true;
    if (how == QLatin1String("full")) {
      FileSizeLimit limit(16);
      saved = f.saveSurvey();
    } else {
      saved = f.saveSurvey();
    }

    QVERIFY(!saved);
    QCOMPARE(Snapshot(d.dir.path()), disk);
    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.text, kSaveFailed);
    QCOMPARE(m.caption, QStringLiteral("警告"));
    QCOMPARE(m.icon, Dialogs::Icon::Warning);
    QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
    QVERIFY(m.owned);
    QVERIFY(!m.details.isEmpty());  // the system's reason
    QVERIFY(!f.survey().saved());
    QCOMPARE(f.survey().stations(), before);
    QCOMPARE(f.survey().currentIndex(), 1);
    QCOMPARE(f.survey().saveDialog().filterIndex, 1);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
  }

  // The file is written in X order with every station's rows in AB/2 order; the window keeps
  // its own order, rows and current station.
  void vesOrderIsTheFilesNotTheWindows() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    Prepare(d, 0,
            {MakeSounding("B", 50, 1, {{10, 30}, {1.5f, 10}, {4, 20}}, "w", "p", "o", "i"),
             MakeSounding("A", 3456789.5f, 0.001f, {{0.00001f, 1234567}}, "w", "p", "o", "i"),
             MakeSounding("C", 10, 2, {}, "w", "p", "o", "i")}, 2);
    const StationList before = f.survey().stations();
    d.dialogs.setNextFileName(d.path(QStringLiteral("order.ves")));

    d.click(f.SaveBtn);

    const QByteArray expected = FirstLines(ExampleFile(0), 2) +
                                CrLf({"3",
                                      "C", "10 2 0", "w", "p", "o", "i", "0", " 1", " 100 100", "",
                                      "B", "50 1 0", "w", "p", "o", "i", "3", " 1.5 10", " 4 20", " 10 30", " 1",
                                      " 100 100", "",
                                      "A", "3.45679e+06 0.001 0", "w", "p", "o", "i", "1", " 1e-05 1.23457e+06", " 1",
                                      " 100 100", ""});
    QCOMPARE(ReadBytes(d.path(QStringLiteral("order.ves"))), expected);
    QCOMPARE(f.survey().stations(), before);
    QCOMPARE(f.survey().currentIndex(), 2);
    QVERIFY(f.survey().saved());
  }

  // Two window stations of one name (same typed x, other y) are one station in the file, with
  // their equal spacings averaged; the window still holds both, in its own order.
  void datFoldsEqualNamesInTheFileOnly() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    Prepare(d, 1,
            {MakeSounding("100", 100, 0, {{4, 30, 1, 2, 3, 4, 5}, {1.5f, 10, 1, 1, 1, 1, 1}}),
             MakeSounding("12.5", 12.5f, 0, {{1, 9}}),
             MakeSounding("100", 100, 7, {{1.5f, 20, 3, 3, 3, 3, 3}, {2.5f, 25}})}, 2);
    const StationList before = f.survey().stations();
    d.dialogs.setNextFileName(d.path(QStringLiteral("fold.dat")));

    d.click(f.SaveBtn);

    const QByteArray expected = FirstLines(ExampleFile(1), 3) +
                                CrLf({"12 1 0.5 9 0 0 0 0 0 -9999 -9999 -9999",
                                      "100 1.5 0.5 15 2 2 2 2 2 -9999 -9999 -9999",
                                      "100 2.5 0.5 25 0 0 0 0 0 -9999 -9999 -9999",
                                      "100 4 0.5 30 2 5 4 3 1 -9999 -9999 -9999"});
    QCOMPARE(ReadBytes(d.path(QStringLiteral("fold.dat"))), expected);
    QCOMPARE(f.survey().stations(), before);
    QCOMPARE(f.survey().currentIndex(), 2);
  }

  // The window goes on handling its events while the save reads, merges and writes on another
  // thread (user input waits): an event queued before the save is handled during it, also
  // while an appended file's invalid records are passed over, and what is written is the
  // survey as it was when the save began.
  void windowEventsGoOnDuringTheSave() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    Prepare(d, 1, {DatExample()});
    const QString target = d.path(QStringLiteral("skip.dat"));
    QByteArray file = FirstLines(ExampleFile(1), 3);
    for (int i = 0; i < 50; ++i) file += "20001 1 0.5 -1 0 0 0 0 0 -9999 -9999 -9999\r\n";
    QVERIFY(WriteBytes(target, file));
    d.dialogs.setNextFileName(target);
    d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Append);
    d.dialogs.setNextAnswer(Dialogs::Answer::Yes);  // drop the 50 records outside the ranges
    bool handled = false;
    QTimer::singleShot(0, &f, [&] {
      handled = true;
      d.load({});
    });

    QVERIFY(f.saveSurvey());

    QVERIFY(handled);
    QCOMPARE(ReadBytes(target), ExampleFile(1));
  }
};

QTEST_MAIN(SaveTest)
#include "save_test.moc"
