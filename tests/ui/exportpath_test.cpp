// Every export (CSV table, PDF report, plot image) proposes an absolute path in a folder that
// exists and can be written, so that accepting the proposal works: the folder of the survey's
// file, else the home folder when nothing better exists (the Data folder beside the installed
// program usually does not).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "formdriver.h"
#include "stationbuilder.h"
#include "ui/plotpane.h"

namespace {
enum class Export { Csv, Pdf, Plot };

// Triggers the export and returns what its chooser proposed (the chooser is cancelled).
QString Proposal(FormDriver& d, Export kind) {
  switch (kind) {
    case Export::Csv:
      d.trigger(d.form->ExportCsvAction);
      return d.dialogs.csvSaveProposals.value(0);
    case Export::Pdf:
      d.dialogs.setNextPdfReportCancel();
      d.trigger(d.form->ExportPdfAction);
      return d.dialogs.pdfReportDialogs.isEmpty() ? QString() : d.dialogs.pdfReportDialogs[0].proposedPath;
    case Export::Plot:
      d.trigger(d.form->Plot->exportAction());
      return d.dialogs.exportProposals.value(0);
  }
  return QString();
}
}  // namespace

class ExportPathTest : public QObject {
  Q_OBJECT

 private slots:
  void proposesAWritableAbsolutePath_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("name");  // the file name proposed
    const std::pair<const char*, Export> kinds[] = {{"csv", Export::Csv}, {"pdf", Export::Pdf}, {"plot", Export::Plot}};
    for (const auto& [label, kind] : kinds) {
      const QString suffix = kind == Export::Csv ? ".csv" : kind == Export::Pdf ? ".pdf" : ".png";
      // Opened: named after the file (the plot: after the station shown).
      QTest::newRow(QByteArray(label) + " of an opened file")
          << static_cast<int>(kind) << true << (kind == Export::Plot ? QStringLiteral("S1") : QStringLiteral("north")) + suffix;
      QTest::newRow(QByteArray(label) + " of typed stations") << static_cast<int>(kind) << false << QString();
    }
  }
  void proposesAWritableAbsolutePath() {
    QFETCH(int, kind);
    QFETCH(bool, opened);
    QFETCH(QString, name);
    FormDriver d;
    QString folder;
    if (opened) {
      folder = d.path(QStringLiteral("survey"));
      QVERIFY(QDir().mkpath(folder));
      const QString file = folder + QStringLiteral("/north.ves");
      QVERIFY(QFile::copy(QStringLiteral(FIXTURES_DIR "/ves_worked_example.ves"), file));
      QVERIFY(d.form->openFiles({file}));
    } else {
      d.load({BuildStation(dtSounding, "S1", 0, {{1.5f, 10}, {2.5f, 20}, {4, 30}})});
      // Nothing better exists: the test's HOME, which has no documents folder.
      folder = QDir::homePath();
    }

    const QString proposed = Proposal(d, static_cast<Export>(kind));

    const QFileInfo info(proposed);
    QVERIFY2(info.isAbsolute(), qPrintable(proposed));
    QCOMPARE(info.absolutePath(), QDir(folder).absolutePath());
    QVERIFY(QFileInfo(info.absolutePath()).isDir());
    QVERIFY(QFileInfo(info.absolutePath()).isWritable());
    if (!name.isEmpty()) QCOMPARE(info.fileName(), name);
    QVERIFY(d.dialogs.messages.isEmpty());
  }
};

QTEST_MAIN(ExportPathTest)
#include "exportpath_test.moc"
