// The commands without window, run as a shell runs the real program: no display, no Qt
// platform named, a home of its own. Each command line gives its exit status, its messages on
// standard error in the interface language, and the bytes it writes (or no file at all); the
// CSV it exports is the one the window exports from the same file, and the .ves file it fits
// holds models that reproduce the readings.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <cmath>

#include "formdriver.h"
#include "stationbuilder.h"
#include "interp/forward.h"
#include "interp/stationmodel.h"
#include "io/filekind.h"
#include "io/vesfile.h"

namespace {

constexpr int kWaitMs = 120000;  // the program may run under sanitizers

struct Run {
  int status = -1;  // -1 when the program crashed or did not end
  QByteArray out;
  QByteArray err;
};

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

QString Fixture(const QString& name) { return QStringLiteral(FIXTURES_DIR "/") + name; }

// The stations of a .ves file's bytes, as opened.
StationList Opened(const QByteArray& bytes) {
  const OpenResult opened = ReadSurveyFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  return opened.status == ReadStatus::Complete ? opened.stations : StationList();
}

// A sounding station whose readings are the apparent resistivity of a layered earth.
sdata Synthetic(const std::string& name, float x, const LayerModel& earth) {
  std::vector<Spacing> spacings;
  for (double ab2 = 1.5; ab2 < 400.0; ab2 *= 1.5) spacings.push_back({ab2, 0.0});
  const std::vector<double> rhoa = ApparentResistivity(earth, ArrayKind::SchlumbergerIdeal, spacings);
  std::vector<std::vector<float>> rows;
  for (std::size_t r = 0; r < spacings.size(); ++r)
    rows.push_back({static_cast<float>(spacings[r].ab2), static_cast<float>(rhoa[r])});
  return BuildStation(dtSounding, name, x, rows);
}

}  // namespace

class CommandLineProcessTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir dir_;

  QString path(const QString& name) const { return dir_.filePath(name); }

  // Runs the program in its own home with the locale given (LC_ALL; "C" is Chinese).
  Run run(const QStringList& args, const QString& locale = QStringLiteral("C")) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANG", "LANGUAGE", "LC_MESSAGES"})
      env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("home/config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("home/data")));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir_.path());
    p.start(QStringLiteral(FIELDINPUT_PROGRAM), args);
    Run r;
    if (!p.waitForFinished(kWaitMs) || p.exitStatus() != QProcess::NormalExit) {
      p.kill();
      p.waitForFinished(kWaitMs);
    } else {
      r.status = p.exitCode();
    }
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(QDir().mkpath(path(QStringLiteral("home"))));
    // The models fixture cut short in its third station.
    const QByteArray models = Read(Fixture(QStringLiteral("ves_models_example.ves")));
    QVERIFY(!models.isEmpty());
    QVERIFY(Write(path(QStringLiteral("cut.ves")), models.left(models.indexOf("D3\r\n50 -2.5 150.25\r\n") + 20)));
  }

  // Command lines that write nothing, and --help: the status, the messages and no output file.
  void commandLinesThatWriteNothing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");  // {dir} for the scratch folder, {fixtures} for the fixtures
    const QString see = QStringLiteral("fieldinput: 用法见 fieldinput --help。\n");
    const QString seeEn = QStringLiteral("fieldinput: See fieldinput --help for how to use it.\n");
    const QString c = QStringLiteral("C");
    QTest::newRow("no output file") << QStringList{"--export-csv", "{fixtures}/ves_worked_example.ves"} << c << 2
                                    << "fieldinput: 缺少输出文件：请用 -o 给出。\n" + see;
    QTest::newRow("no output file, English by locale")
        << QStringList{"--export-csv", "{fixtures}/ves_worked_example.ves"} << QStringLiteral("en_GB.UTF-8") << 2
        << "fieldinput: No output file: give it with -o.\n" + seeEn;
    QTest::newRow("two commands") << QStringList{"--fit", "a.ves", "--export-csv", "b.ves", "-o", "c"} << c << 2
                                  << "fieldinput: 只能给出一个命令：--fit 或 --export-csv。\n" + see;
    QTest::newRow("input missing after the command") << QStringList{"-o", "out.csv", "--export-csv"} << c << 2
                                                    << "fieldinput: 选项 --export-csv 后面缺少值。\n" + see;
    QTest::newRow("layers out of range") << QStringList{"--fit", "a.ves", "-o", "b.ves", "--layers", "7"} << c << 2
                                         << "fieldinput: --layers 应是 1 到 6 的整数或 auto，不是“7”。\n" + see;
    QTest::newRow("error not above 0") << QStringList{"--fit", "a.ves", "-o", "b.ves", "--error=0"} << c << 2
                                       << "fieldinput: --error 应是大于 0、不超过 100 的百分数，不是“0”。\n" + see;
    QTest::newRow("fit options with the export")
        << QStringList{"--export-csv", "a.ves", "-o", "b.csv", "--layers", "2"} << c << 2
        << "fieldinput: --layers 和 --error 只用于 --fit。\n" + see;
    QTest::newRow("unknown option, English") << QStringList{"--lang", "en", "--fit", "a.ves", "-o", "b.ves", "--fast"}
                                             << c << 2 << "fieldinput: Unknown option: --fast\n" + seeEn;
    QTest::newRow("extra argument") << QStringList{"--export-csv", "a.ves", "b.ves", "-o", "c.csv"} << c << 2
                                    << "fieldinput: 多余的参数：b.ves\n" + see;
    QTest::newRow("input missing") << QStringList{"--export-csv", "{dir}/missing.ves", "-o", "{dir}/out.csv"} << c << 2
                                   << "fieldinput: 文件“{dir}/missing.ves”：打开文件失败。\n文件不存在。\n";
    QTest::newRow("input missing, English")
        << QStringList{"--export-csv", "{dir}/missing.ves", "-o", "{dir}/out.csv", "--lang=en"} << c << 2
        << "fieldinput: File “{dir}/missing.ves”: The file could not be opened.\nThe file does not exist.\n";
    QTest::newRow("input read in part") << QStringList{"--export-csv", "{dir}/cut.ves", "-o", "{dir}/out.csv"} << c << 2
                                        << "fieldinput: 文件“{dir}/cut.ves”：文件只能读入一部分。\n"
                                           "第 34 行：文件在第 3 个测点的数据中结束（文件第 3 行说有 3 个测点）。\n";
    QTest::newRow("fitting a .dat file")
        << QStringList{"--fit", "{fixtures}/sounding_worked_example.dat", "-o", "{dir}/out.ves"} << c << 2
        << "fieldinput: 文件“{fixtures}/sounding_worked_example.dat”：这不是 VES 测深文件：只能拟合 .ves 文件的测点。\n";
    QTest::newRow("output folder missing")
        << QStringList{"--export-csv", "{fixtures}/ves_worked_example.ves", "-o", "{dir}/no/out.csv"} << c << 2
        << "fieldinput: 无法写入文件 {dir}/no/out.csv：";
    QTest::newRow("help") << QStringList{"--help"} << c << 0 << QString();
    QTest::newRow("help among other arguments") << QStringList{"--fit", "a.ves", "-h"} << c << 0 << QString();
  }
  void commandLinesThatWriteNothing() {
    QFETCH(QStringList, args);
    QFETCH(QString, locale);
    QFETCH(int, status);
    QFETCH(QString, err);
    auto fill = [this](QString s) {
      return s.replace(QStringLiteral("{dir}"), dir_.path()).replace(QStringLiteral("{fixtures}"), QStringLiteral(FIXTURES_DIR));
    };
    for (QString& a : args) a = fill(a);
    const QStringList before = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::AllDirs | QDir::NoDotAndDotDot);

    const Run r = run(args, locale);

    QCOMPARE(r.status, status);
    const QString shown = QString::fromUtf8(r.err);
    // A system error text ends the message of a file that cannot be written.
    if (err.endsWith(QStringLiteral("："))) QVERIFY2(shown.startsWith(fill(err)), qPrintable(shown));
    else QCOMPARE(shown, fill(err));
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::AllDirs | QDir::NoDotAndDotDot), before);
    if (status == 0) {
      const QString help = QString::fromUtf8(r.out);
      for (const char* part : {"用法：", "--fit", "--export-csv", "--layers", "--error", "--help"})
        QVERIFY2(help.contains(QString::fromUtf8(part)), part);
    } else {
      QVERIFY(r.out.isEmpty());
    }
  }

  // --help in English: the interface language of the window.
  void helpFollowsTheLanguage() {
    const Run r = run({QStringLiteral("--help"), QStringLiteral("--lang"), QStringLiteral("en")});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.startsWith("Usage:"), r.out.constData());
    QVERIFY(r.err.isEmpty());
  }

  // The CSV written for a file is the one the window exports after opening it.
  void exportIsTheWindowsExport_data() {
    QTest::addColumn<QString>("file");
    for (const char* f : {"ves_models_example.ves", "ves_worked_example.ves", "sounding_worked_example.dat",
                          "fourpole_profile_example.dat", "combined_profile_example.dat"})
      QTest::newRow(f) << QString::fromLatin1(f);
  }
  void exportIsTheWindowsExport() {
    QFETCH(QString, file);
    FormDriver d;
    QVERIFY(d.form->openFiles({Fixture(file)}));
    const QString byWindow = path(file + QStringLiteral(".window.csv"));
    d.dialogs.setNextCsvSave(byWindow);
    d.trigger(d.form->ExportCsvAction);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join(QLatin1Char('\n'))));

    const QString byCommand = path(file + QStringLiteral(".csv"));
    const Run r = run({QStringLiteral("--export-csv"), Fixture(file), QStringLiteral("-o"), byCommand});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QByteArray());
    QVERIFY(!Read(byWindow).isEmpty());
    QCOMPARE(Read(byCommand), Read(byWindow));
    if (file == QStringLiteral("ves_models_example.ves")) QVERIFY(Read(byCommand).contains("层号 Layer"));
  }

  // Every station fitted: status 0, nothing said, every model reproduces its readings and
  // everything but the models is as the .ves writer writes the stations.
  void fitOfAFileWhoseStationsAllFit() {
    const StationList stations = {Synthetic("A", 0, {{100, 20, 300}, {3, 15}}), Synthetic("B", 50, {{40, 200}, {8}})};
    const QString in = path(QStringLiteral("synthetic.ves"));
    QVERIFY(Write(in, QByteArray::fromStdString(BuildVesFile(stations))));
    const QString out = path(QStringLiteral("fitted.ves"));

    const Run r = run({QStringLiteral("--fit"), in, QStringLiteral("-o"), out, QStringLiteral("--error"), QStringLiteral("2")});

    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QByteArray());
    StationList fitted = Opened(Read(out));
    QCOMPARE(fitted.size(), stations.size());
    for (std::size_t i = 0; i < fitted.size(); ++i) {
      QVERIFY(!fitted[i].Model.empty());
      const double rms = RmsResidualPercent(fitted[i].Columns[colRho], ModelApparentResistivity(fitted[i]));
      QVERIFY2(rms < 1.0, qPrintable(QString::number(rms)));
      fitted[i].Model = {};
    }
    QCOMPARE(QByteArray::fromStdString(BuildVesFile(fitted)), QByteArray::fromStdString(BuildVesFile(stations)));
  }

  // A station that cannot be fitted keeps its model and is named: status 1, the file written.
  void stationThatCannotBeFittedKeepsItsModel_data() {
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("err");
    QTest::newRow("Chinese") << QStringLiteral("zh")
                             << QStringLiteral("fieldinput: 测点“D3”没有拟合，保留原来的模型：不同的 AB/2 少于 3 个，不能拟合。\n");
    QTest::newRow("English") << QStringLiteral("en")
                             << QStringLiteral("fieldinput: Station “D3” was not fitted and keeps its model: ");
  }
  void stationThatCannotBeFittedKeepsItsModel() {
    QFETCH(QString, lang);
    QFETCH(QString, err);
    const QString in = Fixture(QStringLiteral("ves_models_example.ves"));
    const QString out = path(QStringLiteral("fitted-") + lang + QStringLiteral(".ves"));

    const Run r = run({QStringLiteral("--lang"), lang, QStringLiteral("--fit"), in, QStringLiteral("-o"), out,
                       QStringLiteral("--layers"), QStringLiteral("2")});

    QCOMPARE(r.status, 1);
    QVERIFY2(QString::fromUtf8(r.err).startsWith(err), r.err.constData());
    QCOMPARE(r.err.count('\n'), 1);
    const StationList before = Opened(Read(in));
    const StationList after = Opened(Read(out));
    QCOMPARE(after.size(), 3u);
    QCOMPARE(after[0].Model.Resistivity.size(), 2u);
    QVERIFY(after[0].Model != before[0].Model);
    QCOMPARE(after[1].Model.Resistivity.size(), 2u);
    QCOMPARE(after[2].Model, before[2].Model);
    // The third station's block is the file's, byte for byte.
    const QByteArray d3 = Read(in).mid(Read(in).indexOf("D3\r\n"));
    QVERIFY(Read(out).endsWith(d3));
  }
};

QTEST_MAIN(CommandLineProcessTest)
#include "commandline_process_test.moc"
