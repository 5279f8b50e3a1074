// Crash recovery with the real program: started with its own home and data folders, driven
// through its test script hook (FIELDINPUT_TEST_SCRIPT), killed with SIGKILL, started again.
// What it restores must be exactly the survey and grid it held; two programs running at once
// keep separate recovery files and never touch each other's.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kWaitMs = 120000;  // the program may run under sanitizers

class Program {
 public:
  // Starts the program in root's folders with the script's lines.
  Program(const QString& root, const QString& name, const QStringList& script) {
    const QString scriptPath = root + QStringLiteral("/") + name + QStringLiteral(".script");
    QFile file(scriptPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(script.join(QLatin1Char('\n')).toUtf8()) < 0) {
      qWarning("cannot write the script");
    }
    file.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("FIELDINPUT_TEST_SCRIPT"), scriptPath);
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(QStringLiteral(FIELDINPUT_PROGRAM), {});
  }
  ~Program() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(kWaitMs);
    }
  }

  // Waits until the program wrote line on its standard output.
  bool waitForLine(const QString& line) {
    QElapsedTimer timer;
    timer.start();
    while (!output_.split(QLatin1Char('\n')).contains(line)) {
      if (process_.state() == QProcess::NotRunning || timer.elapsed() > kWaitMs) return false;
      process_.waitForReadyRead(1000);
      output_ += QString::fromUtf8(process_.readAllStandardOutput());
    }
    return true;
  }
  // Kills it as a crash would, with SIGKILL.
  bool kill() {
    process_.kill();
    return process_.waitForFinished(kWaitMs) && process_.exitStatus() == QProcess::CrashExit;
  }
  // Waits until it ends by itself; its exit code, -1 when it crashed or did not end.
  int waitForExit() {
    if (!process_.waitForFinished(kWaitMs) || process_.exitStatus() != QProcess::NormalExit) return -1;
    return process_.exitCode();
  }
  QString errors() { return QString::fromUtf8(process_.readAllStandardError()); }

 private:
  QProcess process_;
  QString output_;
};

QStringList Names(const QString& folder, const QString& pattern) {
  return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden);
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Fills the sounding grid's resistivities and commits the station.
QStringList CommitStation(int base) {
  QStringList lines;
  for (int r = 1; r <= 13; ++r) lines << QStringLiteral("cell 2 %1 %2").arg(r).arg(base + r * 1.5);
  lines << QStringLiteral("commit");
  return lines;
}

}  // namespace

class RecoveryProcessTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir dir_;
  QString root_;
  QString recovery_;

 private slots:
  void init() {
    root_ = dir_.filePath(QString::fromLatin1(QTest::currentTestFunction()));
    for (const char* sub : {"home", "data", "config", "runtime"}) QVERIFY(QDir().mkpath(root_ + "/" + sub));
    QFile::setPermissions(root_ + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    recovery_ = root_ + QStringLiteral("/data/FieldInput/fieldinput/recovery");
  }

  // Stations committed and readings typed, the program killed: started again, it offers the
  // session, and restored, the survey and the grid are the same.
  void killedProgramIsRestored() {
    {
      QStringList script = CommitStation(100) + CommitStation(200);
      script << QStringLiteral("field EW 北京西山") << QStringLiteral("cell 2 1 55.5") << QStringLiteral("cell 2 2 66")
             << QStringLiteral("cell 1 3 4.5") << QStringLiteral("flush")
             << QStringLiteral("dump %1/before.txt").arg(root_) << QStringLiteral("print ready");
      Program first(root_, QStringLiteral("first"), script);
      QVERIFY2(first.waitForLine(QStringLiteral("ready")), qPrintable(first.errors()));
      QCOMPARE(Names(recovery_, QStringLiteral("*.rec")).size(), 1);
      QVERIFY(first.kill());
    }
    QCOMPARE(Names(recovery_, QStringLiteral("*.rec")).size(), 1);

    Program second(root_, QStringLiteral("second"),
                   {QStringLiteral("answer 恢复"), QStringLiteral("no-modal"),
                    QStringLiteral("dump %1/after.txt").arg(root_), QStringLiteral("print restored"),
                    QStringLiteral("quit"), QStringLiteral("answer No")});
    QVERIFY2(second.waitForLine(QStringLiteral("restored")), qPrintable(second.errors()));
    const QByteArray before = Read(root_ + QStringLiteral("/before.txt"));
    QVERIFY(before.contains("station S1|"));
    QVERIFY(before.contains("station S2|"));
    QVERIFY(before.contains("\n1|1.5|55.5\n"));  // typed into the grid, not committed
    QCOMPARE(Read(root_ + QStringLiteral("/after.txt")), before);
    // Closed through its close query (not saved): a clean end leaves no recovery file.
    QCOMPARE(second.waitForExit(), 0);
    QCOMPARE(Names(recovery_, QStringLiteral("*")), QStringList());
  }

  // Two programs at once: the second does not offer the first's session, each writes its own
  // file, and a clean end of one removes only its own. Killed, the first's session is offered
  // to the next program, which restores it.
  void twoProgramsKeepSeparateFiles() {
    QStringList scriptA = CommitStation(300);
    scriptA << QStringLiteral("cell 2 5 12.25") << QStringLiteral("flush")
            << QStringLiteral("dump %1/a.txt").arg(root_) << QStringLiteral("print ready");
    Program a(root_, QStringLiteral("a"), scriptA);
    QVERIFY2(a.waitForLine(QStringLiteral("ready")), qPrintable(a.errors()));

    QStringList scriptB = {QStringLiteral("no-modal")};
    scriptB << CommitStation(400) << QStringLiteral("flush") << QStringLiteral("print ready") << QStringLiteral("quit")
            << QStringLiteral("answer No");
    {
      Program b(root_, QStringLiteral("b"), scriptB);
      QVERIFY2(b.waitForLine(QStringLiteral("ready")), qPrintable(b.errors()));
      QCOMPARE(Names(recovery_, QStringLiteral("*.rec")).size(), 2);
      QCOMPARE(b.waitForExit(), 0);
    }
    const QStringList left = Names(recovery_, QStringLiteral("*.rec"));
    QCOMPARE(left.size(), 1);
    QVERIFY(a.kill());
    QCOMPARE(Names(recovery_, QStringLiteral("*.rec")), left);

    Program c(root_, QStringLiteral("c"),
              {QStringLiteral("answer 恢复"), QStringLiteral("no-modal"), QStringLiteral("dump %1/c.txt").arg(root_),
               QStringLiteral("print restored")});
    QVERIFY2(c.waitForLine(QStringLiteral("restored")), qPrintable(c.errors()));
    QCOMPARE(Read(root_ + QStringLiteral("/c.txt")), Read(root_ + QStringLiteral("/a.txt")));
    QVERIFY(Read(root_ + QStringLiteral("/c.txt")).contains("|12.25"));
  }

  // A data folder others may write to: the program says so, runs without recovery (nothing is
  // made in the folder) and typing and commits go on.
  void unsafeDataFolderRunsWithoutRecovery() {
    QVERIFY(QFile::setPermissions(root_ + QStringLiteral("/data"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                                      QFileDevice::WriteOther | QFileDevice::ExeOther));
    QStringList script = {QStringLiteral("answer OK"), QStringLiteral("no-modal")};
    script << CommitStation(100) << QStringLiteral("dump %1/run.txt").arg(root_) << QStringLiteral("print typed")
           << QStringLiteral("quit") << QStringLiteral("answer No");
    Program p(root_, QStringLiteral("p"), script);
    QVERIFY2(p.waitForLine(QStringLiteral("typed")), qPrintable(p.errors()));
    QCOMPARE(p.waitForExit(), 0);
    QVERIFY(Read(root_ + QStringLiteral("/run.txt")).contains("station S1|"));
    QCOMPARE(QDir(root_ + QStringLiteral("/data")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
  }

  // A damaged recovery file at start-up is reported and kept aside; the program starts.
  void damagedFileDoesNotStopTheStart() {
    QVERIFY(QDir().mkpath(recovery_));
    QFile damaged(recovery_ + QStringLiteral("/1-2-3.rec"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("FIELDINPUT RECOVERY\n\x01\x00\x00\x00 cut short");
    damaged.close();
    Program p(root_, QStringLiteral("p"),
              {QStringLiteral("answer OK"), QStringLiteral("no-modal"), QStringLiteral("print started"),
               QStringLiteral("quit")});
    QVERIFY2(p.waitForLine(QStringLiteral("started")), qPrintable(p.errors()));
    QCOMPARE(p.waitForExit(), 0);
    QCOMPARE(Names(recovery_, QStringLiteral("*")), QStringList{QStringLiteral("1-2-3.damaged")});
  }
};

QTEST_GUILESS_MAIN(RecoveryProcessTest)
#include "recovery_process_test.moc"
