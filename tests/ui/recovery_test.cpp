// Autosave and crash recovery in the window: the session is written after changes and removed
// at a clean end; at start-up a session left behind is offered (Restore, Discard, Later) and
// restored exactly; a damaged recovery file is reported and set aside; a recovery file that
// cannot be written is reported once.
#include <QDirIterator>
#include <QTest>
#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "formdriver.h"
#include "session/recovery.h"
#include "session/recoverystore.h"
#include "stationfiles.h"
#include "ui/widgets.h"
#include "ui/autosave.h"
#include "ui/recoveryui.h"
#include "ui/uitext.h"

namespace {

const QString kQuestion = QStringLiteral("上次运行未正常结束，是否恢复未保存的数据?");

std::string Folder(const QTemporaryDir& dir) { return QFile::encodeName(dir.filePath(QStringLiteral("rec"))).toStdString(); }

RecoveryReadResult ReadRecovery(const RecoveryStore& store) {
  return DecodeRecoveryFile(ReadBytes(QFile::decodeName(QByteArray::fromStdString(store.recoveryPath()))).toStdString());
}

// A session as a program that ended without cleaning up leaves it: written, its lock dropped.
void LeaveSession(const std::string& folder, const std::string& bytes) {
  RecoveryStore dead(folder);
  std::string error;
  QVERIFY2(dead.open(error), error.c_str());
  QVERIFY2(dead.write(bytes, error), error.c_str());
}

// A window starting as the program does: its own recovery store in dir's folder, open, and
// an autosave writing the survey to it.
struct StartingWindow {
  explicit StartingWindow(const QTemporaryDir& dir, int intervalMs = 1000) : store(Folder(dir)) {
    std::string error;
    if (!store.open(error)) qWarning("recovery store: %s", error.c_str());
    autosave = std::make_unique<Autosave>(d.form->survey(), store, intervalMs);
  }
  RecoveryStore store;
  FormDriver d;
  std::unique_ptr<Autosave> autosave;  // destroyed before the window's survey
};

// The recovery file of a survey of one sounding station, not saved.
std::string OneStationFile() {
  FormDriver source;
  source.load({MakeSounding("S1", 0, 0, {{1.5f, 10}})});
  const Survey& s = source.form->survey();
  return EncodeRecoveryFile(s.sessionState(), EncodeRecoveryStations(s.stations()));
}

// What the window shows: the field texts, the grid's cells, the title and the browse buttons.
QStringList Shown(const TInputDataForm& f) {
  QStringList out;
  for (const QLineEdit* e : {f.ES, f.EP, f.EW, f.EX, f.EY, f.EO, f.EI, f.EAB}) out << e->text();
  for (int r = 0; r < f.SG->rowCount(); ++r)
    for (int c = 0; c < f.SG->colCount(); ++c) out << f.SG->cell(c, r);
  out << f.windowTitle() << QString::number(f.isWindowModified()) << f.ST->text()
      << QString::number(f.Previous->isEnabled()) << QString::number(f.Next->isEnabled())
      << QString::number(f.DataType->itemIndex()) << QString::number(f.UpdateData->isEnabled());
  return out;
}

// A window with stations committed, a station shown and edited, and readings typed.
void MakeBusy(FormDriver& d) {
  TInputDataForm& f = *d.form;
  d.chooseDataType(dtWaterFinding);
  for (int n = 0; n < 3; ++n) {
    for (int r = 1; r <= 13; ++r)
      for (int c = 2; c <= 7; ++c) d.setCell(c, r, QString::number(10 * n + r + c));
    d.click(f.BitBtn2);
  }
  d.click(f.Previous);
  d.typeCell(2, 4, QStringLiteral("77.5"));
  d.type(f.EW, QStringLiteral("北京西山"));
}

// Every file and folder below root, with its size, permissions and owner.
QStringList Files(const QString& root) {
  QStringList out;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    out << QStringLiteral("%1 %2 %3 %4")
               .arg(info.filePath())
               .arg(info.isDir() ? -1 : info.size())
               .arg(static_cast<int>(info.permissions()))
               .arg(info.ownerId());
  }
  out.sort();
  return out;
}

}  // namespace

class RecoveryTest : public QObject {
  Q_OBJECT
 private slots:
  // Typed changes and commits reach the recovery file without any command; a clean end removes it.
  void autosaveFollowsTheSurvey() {
    QTemporaryDir dir;
    StartingWindow w(dir, 20);
    FormDriver& d = w.d;
    RecoveryStore& store = w.store;
    Autosave& autosave = *w.autosave;
    MakeBusy(d);
    const Survey& s = d.form->survey();
    QTRY_VERIFY(ReadRecovery(store).ok && ReadRecovery(store).session == s.sessionState());
    QCOMPARE(ReadRecovery(store).stations, s.stations());
    d.typeCell(3, 5, QStringLiteral("4.25"));
    QTRY_COMPARE(ReadRecovery(store).session.form.grid.cell(3, 5), std::string("4.25"));
    QCOMPARE(ReadRecovery(store).stations, s.stations());

    autosave.finish();
    QVERIFY(!std::filesystem::exists(store.recoveryPath()));
    d.typeCell(3, 6, QStringLiteral("1"));  // nothing is written after the end
    QTest::qWait(60);
    QVERIFY(!std::filesystem::exists(store.recoveryPath()));
  }

  // Restored: the survey and every text of the window as they were.
  void restorePutsBackSurveyAndWindow() {
    QTemporaryDir dir;
    FormDriver before;
    MakeBusy(before);
    const Survey& was = before.form->survey();
    LeaveSession(Folder(dir), EncodeRecoveryFile(was.sessionState(), EncodeRecoveryStations(was.stations())));

    StartingWindow w(dir);
    FormDriver& d = w.d;
    d.dialogs.setNextRecoveryChoice(Dialogs::RecoveryChoice::Restore);

    QVERIFY(OfferRecovery(*d.form, w.store, *w.autosave));

    QCOMPARE(d.dialogs.recoveryQuestions.size(), 1);
    QCOMPARE(d.dialogs.recoveryQuestions[0].text, kQuestion);
    const QString details = d.dialogs.recoveryQuestions[0].details;
    QVERIFY2(details.contains(QStringLiteral("数据类型：电阻率找水")), qPrintable(details));
    QVERIFY2(details.contains(QStringLiteral("\n已输入3个测点（未保存）\n文件：（未打开文件）\n")), qPrintable(details));
    QVERIFY(d.dialogs.messages.isEmpty());
    const Survey& s = d.form->survey();
    QCOMPARE(s.sessionState(), was.sessionState());
    QCOMPARE(s.stations(), was.stations());
    QCOMPARE(Shown(*d.form), Shown(*before.form));
    // It is in this session's file, and the old one is gone.
    QVERIFY(ReadRecovery(w.store).ok);
    QCOMPARE(ReadRecovery(w.store).session, was.sessionState());
    QVERIFY(w.store.claimLeftSessions().empty());
    QCOMPARE(QDir(dir.filePath(QStringLiteral("rec"))).entryList(QDir::Files).size(), 2);  // own .rec and .lock
    // The edit of the shown station is still pending: leaving it asks to update it.
    d.click(d.form->Next);
    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("当前测点的数据已修改，是否更新?")});
  }

  // Discard removes a session's file, Later keeps it for the next start; neither changes the window.
  void discardAndLater() {
    QTemporaryDir dir;
    const std::string bytes = OneStationFile();
    LeaveSession(Folder(dir), bytes);
    LeaveSession(Folder(dir), bytes);

    StartingWindow w(dir);
    FormDriver& d = w.d;
    const QStringList shown = Shown(*d.form);
    d.dialogs.setNextRecoveryChoice(Dialogs::RecoveryChoice::Discard);
    d.dialogs.setNextAnswer(Dialogs::Answer::Yes);  // its unsaved station goes for good
    d.dialogs.setNextRecoveryChoice(Dialogs::RecoveryChoice::Later);

    QVERIFY(!OfferRecovery(*d.form, w.store, *w.autosave));

    QCOMPARE(d.dialogs.recoveryQuestions.size(), 2);
    QCOMPARE(Shown(*d.form), shown);
    QVERIFY(d.form->survey().stations().empty());
    std::vector<LeftSession> left = w.store.claimLeftSessions();
    QCOMPARE(left.size(), std::size_t{1});
    QCOMPARE(left[0].read().stations.size(), std::size_t{1});
  }

  // Discarding unsaved stations asks once more, naming how many; No goes back to the recovery
  // question, Yes discards.
  void discardOfUnsavedStationsAsksOnceMore() {
    QTemporaryDir dir;
    FormDriver source;
    source.load({MakeSounding("S1", 0, 0, {{1.5f, 10}}), MakeSounding("S2", 50, 0, {{1.5f, 20}})});
    SessionState unsaved = source.form->survey().sessionState();
    unsaved.saved = false;
    LeaveSession(Folder(dir), EncodeRecoveryFile(unsaved, EncodeRecoveryStations(source.form->survey().stations())));

    StartingWindow w(dir);
    FormDriver& d = w.d;
    d.dialogs.setNextRecoveryChoice(Dialogs::RecoveryChoice::Discard);
    d.dialogs.setNextAnswer(Dialogs::Answer::No);
    d.dialogs.setNextRecoveryChoice(Dialogs::RecoveryChoice::Discard);
    d.dialogs.setNextAnswer(Dialogs::Answer::Yes);

    QVERIFY(!OfferRecovery(*d.form, w.store, *w.autosave));

    QCOMPARE(d.dialogs.recoveryQuestions.size(), 2);
    const QString confirm = QStringLiteral("恢复文件中有 2 个未保存的测点。放弃后它们将永远丢失。\n\n确定放弃吗?");
    QCOMPARE(d.dialogs.texts(), (QStringList{confirm, confirm}));
    QVERIFY(d.form->survey().stations().empty());
    QVERIFY(w.store.claimLeftSessions().empty());
  }

  // A damaged file: said, with where it was kept; no question; the window as it was.
  void damagedFileIsReportedAndSetAside() {
    QTemporaryDir dir;
    const std::string bytes = OneStationFile();
    LeaveSession(Folder(dir), bytes.substr(0, bytes.size() / 2));

    StartingWindow w(dir);
    FormDriver& d = w.d;
    const QStringList shown = Shown(*d.form);

    QVERIFY(!OfferRecovery(*d.form, w.store, *w.autosave));

    QVERIFY(d.dialogs.recoveryQuestions.isEmpty());
    QCOMPARE(d.dialogs.messages.size(), 1);
    const QString text = d.dialogs.messages[0].text;
    QVERIFY2(text.startsWith(QStringLiteral("上次运行留下的恢复文件已损坏，不能恢复：文件不完整")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral(".damaged，留作查看。")), qPrintable(text));
    QCOMPARE(Shown(*d.form), shown);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("rec"))).entryList({QStringLiteral("*.damaged")}).size(), 1);
    QVERIFY(w.store.claimLeftSessions().empty());
  }

  // A recovery folder others may write to, with a session planted in it: the user is told that
  // recovery is off and why; nothing there is offered, read or written; typing and commits go
  // on as ever.
  void unsafeFolderLeavesRecoveryOff() {
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString sub = QStringLiteral("FieldInput/fieldinput/recovery");
    LeaveSession(DiskPath(data + QStringLiteral("/") + sub), OneStationFile());
    QVERIFY(::chmod(QFile::encodeName(data).constData(), 0777) == 0);
    const QStringList before = Files(dir.path());

    FormDriver d;
    WindowRecovery recovery(*d.form, data, sub, 10);
    QVERIFY(recovery.autosave() == nullptr);
    QVERIFY(!recovery.start());

    QVERIFY(d.dialogs.recoveryQuestions.isEmpty());
    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.icon, Dialogs::Icon::Warning);
    QVERIFY2(m.text.startsWith(QStringLiteral("恢复文件夹 ") + data + QStringLiteral("/") + sub + QStringLiteral(" 可能被其他用户改动")),
             qPrintable(m.text));
    QVERIFY2(m.text.contains(QStringLiteral("本次运行不使用恢复文件")), qPrintable(m.text));
    QVERIFY2(m.details.contains(QStringLiteral("/data: others may write to it (permissions 0777)")), qPrintable(m.details));
    QVERIFY(d.form->survey().stations().empty());

    MakeBusy(d);
    QCOMPARE(d.form->survey().stations().size(), std::size_t{3});
    QCOMPARE(d.form->EW->text(), QStringLiteral("北京西山"));
    QCOMPARE(d.dialogs.messages.size(), 1);
    recovery.finish();
    QCOMPARE(Files(dir.path()), before);
  }

  // The program's recovery, started in a safe folder: a session left there is offered, and the
  // window's changes reach its own file.
  void windowRecoveryOffersAndWrites() {
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString sub = QStringLiteral("FieldInput/fieldinput/recovery");
    LeaveSession(DiskPath(data + QStringLiteral("/") + sub), OneStationFile());
    FormDriver d;
    WindowRecovery recovery(*d.form, data, sub, 10);
    QVERIFY(recovery.autosave() != nullptr);
    d.dialogs.setNextRecoveryChoice(Dialogs::RecoveryChoice::Restore);
    QVERIFY(recovery.start());
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(d.form->survey().stations().size(), std::size_t{1});
    d.typeCell(2, 3, QStringLiteral("4.25"));
    const RecoveryStore& store = recovery.autosave()->store();
    QTRY_COMPARE(ReadRecovery(store).session.form.grid.cell(2, 3), std::string("4.25"));
    QCOMPARE(ReadRecovery(store).stations, d.form->survey().stations());
    recovery.finish();
    QCOMPARE(Files(data + QStringLiteral("/") + sub), QStringList());
  }

  // The recovery file cannot be written: the user is told once, not at every change.
  void writeFailureIsToldOnce() {
    QTemporaryDir dir;
    StartingWindow w(dir, 10);
    FormDriver& d = w.d;
    ReportAutosaveFailures(*d.form, *w.autosave);
    QVERIFY(std::filesystem::remove_all(Folder(dir)) > 0);
    d.type(d.form->EO, QStringLiteral("A"));
    QTRY_COMPARE(d.dialogs.messages.size(), 1);
    QVERIFY(d.dialogs.messages[0].text.startsWith(QStringLiteral("不能写入恢复文件")));
    QVERIFY(!d.dialogs.messages[0].details.isEmpty());
    d.type(d.form->EO, QStringLiteral("B"));
    QTest::qWait(100);
    QCOMPARE(d.dialogs.messages.size(), 1);
  }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
