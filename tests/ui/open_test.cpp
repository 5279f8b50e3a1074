// Opening files in the window: 文件 › 打开 for each kind of file, several four-pole line files at
// once, the title with the file's name and the modified mark, the save after opening, files
// that are refused, recent files, and files dropped on the window.
#include <sys/stat.h>
#include <unistd.h>

#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "formdriver.h"
#include "io/profiledat.h"
#include "io/vesfile.h"
#include "stationfiles.h"
#include "ui/widgets.h"

namespace {

const QString kBase = QStringLiteral("输入野外数据...");

QByteArray Bytes(const std::string& s) { return QByteArray::fromStdString(s); }

StationList ThreeSoundings() {
  return {MakeSounding("S1", 0, 0, {{1.5f, 10}, {2.5f, 20}, {4, 30}}),
          MakeSounding("S2", 50, 0, {{1.5f, 11}, {2.5f, 21}}),
          MakeSounding("S3", 100, 0, {{1.5f, 12}})};
}

// Opens files through 文件 › 打开 with the open dialog answering them.
void OpenByMenu(FormDriver& d, const QStringList& files) {
  d.dialogs.setNextOpenFiles(files);
  d.trigger(d.form->OpenAction);
}

}  // namespace

class OpenTest : public QObject {
  Q_OBJECT
 private slots:
  void fileMenuHasOpenRecentAndSettings() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    const QList<QAction*> items = f.N1->actions();
    QCOMPARE(items.value(0), f.OpenAction);
    QCOMPARE(items.value(1), f.RecentMenu->menuAction());
    QCOMPARE(f.OpenAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(f.OpenAction->text(), QStringLiteral("打开(&O)..."));
    QCOMPARE(f.RecentMenu->title(), QStringLiteral("最近打开的文件"));
    QVERIFY(items.contains(f.SettingsAction));
    QVERIFY(items.indexOf(f.SettingsAction) < items.indexOf(f.N7));
    for (const char* name : {"OpenAction", "SettingsAction"})
      QVERIFY2(f.findChild<QAction*>(QString::fromLatin1(name)) != nullptr, name);
    QVERIFY(f.findChild<QMenu*>(QStringLiteral("RecentMenu")) != nullptr);
    // No file opened yet: one disabled item says so.
    QCOMPARE(f.RecentMenu->actions().size(), 1);
    QVERIFY(!f.RecentMenu->actions()[0]->isEnabled());
    // Ctrl+O opens the open dialog, starting in the Data folder, for the data files.
    QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(d.dialogs.openDialogs.size(), 1);
    QCOMPARE(d.dialogs.openDialogs[0].dir, d.path(QStringLiteral("Data/")));
    QVERIFY(d.dialogs.openDialogs[0].filter.startsWith(QStringLiteral("野外数据文件 (*.ves *.dat")));
    QVERIFY(f.survey().stations().empty());  // cancelled: nothing opened
  }

  // Each kind: the data type switches to the file's, its units replace the list, count as
  // saved, and the first is shown; the title names the file.
  void opensEachKind_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("units");
    QTest::addColumn<QStringList>("firstRow");
    QTest::newRow("ves") << "survey.ves" << Bytes(BuildVesFile(ThreeSoundings())) << 0 << 3
                         << QStringList{"1", "1.5", "10"};
    QTest::newRow("sounding dat") << "water.dat" << Fixture("sounding_worked_example.dat") << 1 << 1
                                  << QStringList{"1", "1.5", "35.2", "3.75", "2.1", "45", "0.5", "1.25"};
    // The window shows the numbers as the file gave them, without the float's noise digits.
    QTest::newRow("four-pole line") << "150.dat" << Fixture("fourpole_profile_example.dat") << 2 << 1
                                    << QStringList{"1", "20", "50", "20", "123.4"};
    QTest::newRow("combined line") << "12.dat" << Fixture("combined_profile_example.dat") << 3 << 1
                                   << QStringList{"1", "20", "50", "20", "123.4"};
  }
  void opensEachKind() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, type);
    QFETCH(int, units);
    QFETCH(QStringList, firstRow);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.chooseDataType(type == 0 ? 3 : 0);  // opening switches from another type
    const QString path = d.path(name);
    QVERIFY(WriteBytes(path, bytes));

    OpenByMenu(d, {path});

    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join('|')));
    QCOMPARE(f.survey().type(), static_cast<::DataType>(type));
    QCOMPARE(f.DataType->itemIndex(), type);
    QCOMPARE(f.survey().stations().size(), std::size_t(units));
    QVERIFY(f.survey().saved());
    QCOMPARE(f.ST->text(), QStringLiteral("已输入%1个测点").arg(units));
    // The first unit is shown.
    QCOMPARE(f.SG->colCount(), firstRow.size());
    for (int c = 0; c < firstRow.size(); ++c) QCOMPARE(f.SG->cell(c, 1), firstRow[c]);
    QCOMPARE(f.SG->rowCount(), f.survey().stations().front().SpacingCount + 1);
    QVERIFY(!f.Previous->isEnabled());
    QCOMPARE(f.Next->isEnabled(), units > 1);
    QVERIFY(f.UpdateData->isEnabled());
    QCOMPARE(f.windowTitle(), name + QStringLiteral("[*] - ") + kBase);
    QVERIFY(!f.isWindowModified());
    QCOMPARE(f.recentFiles(), QStringList{path});
  }

  // The title names the file the survey comes from; the mark shows while closing would ask
  // to save.
  void titleAndModifiedMark() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    QCOMPARE(f.windowTitle(), kBase + QStringLiteral("[*]"));
    QVERIFY(!f.isWindowModified());
    for (int r = 1; r <= 13; ++r) d.setCell(2, r, QString::number(100 + r));
    d.click(f.BitBtn2);
    QVERIFY(f.isWindowModified());
    QCOMPARE(f.windowTitle(), kBase + QStringLiteral("[*]"));
    d.dialogs.setNextFileName(d.path(QStringLiteral("first.ves")));
    d.click(f.SaveBtn);
    QVERIFY(!f.isWindowModified());
    QCOMPARE(f.windowTitle(), QStringLiteral("first.ves[*] - ") + kBase);
    // A deleted station is an unsaved change of the opened file.
    d.click(f.Previous);
    d.dialogs.setNextAnswer(Dialogs::Answer::Yes);
    d.trigger(f.DeleteStation);
    QVERIFY(f.survey().stations().empty());
    QVERIFY(!f.isWindowModified());  // nothing left to save
    // A new line empties the list: it no longer comes from the file.
    d.click(f.newProfile);
    QCOMPARE(f.windowTitle(), kBase + QStringLiteral("[*]"));
  }

  // Saving after opening: the dialog proposes the opened file in its folder, and the
  // append/replace question opens with Replace; the file comes back byte for byte.
  void saveAfterOpenProposesTheFileAndReplace() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    QVERIFY(QDir().mkpath(d.path(QStringLiteral("field"))));
    const QString path = d.path(QStringLiteral("field/survey.ves"));
    const QByteArray bytes = Bytes(BuildVesFile(ThreeSoundings()));
    QVERIFY(WriteBytes(path, bytes));
    OpenByMenu(d, {path});
    d.dialogs.setNextFileName(path);
    d.dialogs.setNextAppendChoice(Dialogs::AppendChoice::Replace);

    d.click(f.SaveBtn);

    QCOMPARE(d.dialogs.saveDialogs.size(), 1);
    QCOMPARE(d.dialogs.saveDialogs[0].fileName, path);
    QCOMPARE(d.dialogs.saveDialogs[0].initialDir, d.path(QStringLiteral("field/")));
    QCOMPARE(d.dialogs.appendSelections, QList<Dialogs::AppendChoice>{Dialogs::AppendChoice::Replace});
    QCOMPARE(ReadBytes(path), bytes);
    QVERIFY(f.survey().saved());
    // Another existing file is proposed for appending, as before.
    QVERIFY(WriteBytes(d.path(QStringLiteral("other.ves")), Fixture("ves_worked_example.ves")));
    d.dialogs.setNextFileName(d.path(QStringLiteral("other.ves")));
    d.click(f.SaveBtn);  // the append/replace question is cancelled
    QCOMPARE(d.dialogs.appendSelections.size(), 2);
    QCOMPARE(d.dialogs.appendSelections[1], Dialogs::AppendChoice::Append);
  }

  void severalFourPoleFilesAreOneSurvey() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    const QStringList files = {d.path(QStringLiteral("100.dat")), d.path(QStringLiteral("150.dat"))};
    for (const QString& file : files) QVERIFY(WriteBytes(file, Fixture("fourpole_profile_example.dat")));
    OpenByMenu(d, files);
    QCOMPARE(f.survey().type(), dtFourPoleProfile);
    QCOMPARE(f.survey().stations().size(), std::size_t{2});
    QCOMPARE(f.EP->text(), QStringLiteral("100"));  // the line's number, from its file's name
    QVERIFY(f.Next->isEnabled());
    QCOMPARE(f.recentFiles(), files);
    // Saved again: the folder chooser starts in their folder, each line file is replaced when asked.
    d.dialogs.setNextFolder(d.dir.path());
    d.dialogs.setNextAnswer(Dialogs::Answer::Replace);
    d.dialogs.setNextAnswer(Dialogs::Answer::Replace);
    d.click(f.SaveBtn);
    for (const QString& file : files) QCOMPARE(ReadBytes(file), Fixture("fourpole_profile_example.dat"));
    QVERIFY(f.survey().saved());
  }

  // Files that cannot be opened: a message says what and where; the survey stays as it was.
  void refusedFilesOpenNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size");  // grown to this many bytes with zeros; 0: as written
    QTest::addColumn<QString>("says");
    QTest::newRow("empty") << "empty.ves" << QByteArray() << qint64(0) << "文件是空的。";
    QTest::newRow("binary") << "photo.ves" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << qint64(0)
                            << "第 3 行：有零字节";
    QTest::newRow("another program's") << "table.dat" << QByteArray("x,y,rho\r\n1,2,3\r\n") << qint64(0)
                                        << "第 1 行：没有“QL”标记";
    QTest::newRow("200 MB") << "big.dat" << FirstLines(Fixture("fourpole_profile_example.dat"), 3)
                            << (qint64(200) << 20) << "有零字节";
  }
  void refusedFilesOpenNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(QString, says);
    FormDriver d;
    TInputDataForm& f = *d.form;
    d.load(ThreeSoundings(), 0, true);
    const QString title = f.windowTitle();
    const QString path = d.path(name);
    QVERIFY(WriteBytes(path, bytes));
    if (size > 0) QVERIFY(QFile::resize(path, size));

    OpenByMenu(d, {path});

    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.caption, QStringLiteral("打开文件"));
    QVERIFY2(m.text.startsWith(QStringLiteral("打开文件失败。\n")), qPrintable(m.text));
    QVERIFY2(m.text.contains(says), qPrintable(m.text));
    QCOMPARE(m.details, path);
    QCOMPARE(f.survey().stations(), ThreeSoundings());
    QCOMPARE(f.survey().type(), dtSounding);
    QCOMPARE(f.windowTitle(), title);
    QVERIFY(f.recentFiles().isEmpty());
  }

  // A .dat file of another kind among four-pole line files: the lines before it are offered.
  void soundingDatAmongLineFiles() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    QVERIFY(WriteBytes(d.path(QStringLiteral("100.dat")), Fixture("fourpole_profile_example.dat")));
    QVERIFY(WriteBytes(d.path(QStringLiteral("7.dat")), Fixture("sounding_worked_example.dat")));
    d.dialogs.setNextAnswer(Dialogs::Answer::Yes);
    OpenByMenu(d, {d.path(QStringLiteral("100.dat")), d.path(QStringLiteral("7.dat"))});
    QCOMPARE(d.dialogs.messages.size(), 1);
    const QString text = d.dialogs.messages[0].text;
    QVERIFY2(text.contains(QStringLiteral("文件“7.dat”：第 2 行：这是测深 .dat 文件")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("以后保存时，文件中没有读入的部分不会写进保存的文件。")), qPrintable(text));
    QVERIFY(text.endsWith(QStringLiteral("是否打开已经读到的 1 条测线（共 1 个点）？")));
    QCOMPARE(d.dialogs.messages[0].buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(f.survey().type(), dtFourPoleProfile);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
  }

  // Chosen, then gone before it is read; or not readable by this user.
  void fileGoneOrUnreadable() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    const QString path = d.path(QStringLiteral("gone.ves"));
    QVERIFY(WriteBytes(path, Fixture("ves_worked_example.ves")));
    d.dialogs.onShown = [&] {
      if (!d.dialogs.openDialogs.isEmpty()) QFile::remove(path);
    };
    OpenByMenu(d, {path});
    d.dialogs.onShown = nullptr;
    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("打开文件失败。\n文件不存在。")});
    QVERIFY(f.survey().stations().empty());

    if (::geteuid() == 0) QSKIP("root reads files without read permission");
    QVERIFY(WriteBytes(path, Fixture("ves_worked_example.ves")));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0) == 0);
    OpenByMenu(d, {path});
    QCOMPARE(d.dialogs.texts().value(1), QStringLiteral("打开文件失败。\n没有读取这个文件的权限。"));
  }

  // Recent files: the last 8 opened, most recent first; choosing one opens it and brings it to
  // the top; one that no longer exists is removed with a message.
  void recentFiles() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    QStringList opened;
    for (int i = 1; i <= 9; ++i) {
      const QString path = d.path(QStringLiteral("s%1.ves").arg(i));
      QVERIFY(WriteBytes(path, Fixture("ves_worked_example.ves")));
      OpenByMenu(d, {path});
      opened.prepend(path);
    }
    QCOMPARE(f.recentFiles(), opened.mid(0, 8));
    const QList<QAction*> items = f.RecentMenu->actions();
    QCOMPARE(items.size(), 8);
    QCOMPARE(items[0]->objectName(), QStringLiteral("RecentFile1"));
    QCOMPARE(items[0]->text(), QStringLiteral("&1 s9.ves"));
    QCOMPARE(items[7]->text(), QStringLiteral("&8 s2.ves"));
    QCOMPARE(items[7]->toolTip(), d.path(QStringLiteral("s2.ves")));

    d.trigger(f.findChild<QAction*>(QStringLiteral("RecentFile3")));  // s7.ves
    QCOMPARE(f.survey().file(), QFile::encodeName(d.path(QStringLiteral("s7.ves"))).toStdString());
    QCOMPARE(f.recentFiles().value(0), d.path(QStringLiteral("s7.ves")));
    QCOMPARE(f.recentFiles().size(), 8);
    QVERIFY(d.dialogs.messages.isEmpty());

    QVERIFY(QFile::remove(d.path(QStringLiteral("s5.ves"))));
    QAction* gone = nullptr;
    for (QAction* item : f.RecentMenu->actions())
      if (item->toolTip() == d.path(QStringLiteral("s5.ves"))) gone = item;
    QVERIFY(gone);
    d.trigger(gone);
    QCOMPARE(d.dialogs.texts(),
             QStringList{QStringLiteral("文件 %1 已不存在，已从最近打开的文件中删除。").arg(d.path(QStringLiteral("s5.ves")))});
    QCOMPARE(f.recentFiles().size(), 7);
    QVERIFY(!f.recentFiles().contains(d.path(QStringLiteral("s5.ves"))));
    QCOMPARE(f.RecentMenu->actions().size(), 7);
    QCOMPARE(f.survey().file(), QFile::encodeName(d.path(QStringLiteral("s7.ves"))).toStdString());
  }

  // Files dropped on the window are opened; other things dropped are not taken.
  void droppedFilesAreOpened() {
    FormDriver d;
    TInputDataForm& f = *d.form;
    const QString path = d.path(QStringLiteral("12.dat"));
    QVERIFY(WriteBytes(path, Fixture("combined_profile_example.dat")));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = f.SG->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &drop);
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE(f.survey().type(), dtCombinedProfile);
    QCOMPARE(f.survey().stations().size(), std::size_t{1});
    QCOMPARE(f.windowTitle(), QStringLiteral("12.dat[*] - ") + kBase);

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent other(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    other.setAccepted(false);
    QApplication::sendEvent(&f, &other);
    QVERIFY(!other.isAccepted());
  }
};

QTEST_MAIN(OpenTest)
#include "open_test.moc"
