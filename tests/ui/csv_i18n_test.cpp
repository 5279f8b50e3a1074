// The CSV import preview in the English interface: for files with problems (the spreadsheet
// files the CSV tests use, and small hand-typed ones), every text the preview dialog shows
// is English; Chinese is left only in what the file itself holds, which the messages quote
// (“…”), and in the header cells the columns table lists.
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

#include "formdriver.h"
#include "ui/csvimportdialog.h"
#include "ui/language.h"

namespace {

QString Fixture(const QString& name) { return QStringLiteral(FIXTURES_DIR "/csv/") + name; }

bool HasCjk(const QString& text) {
  for (QChar c : text)
    if ((c.unicode() >= 0x3000 && c.unicode() <= 0x9fff) || (c.unicode() >= 0xff00 && c.unicode() <= 0xffef)) return true;
  return false;
}

// The text without what it quotes from the file.
QString WithoutQuotes(QString text) {
  static const QRegularExpression quoted(QStringLiteral("“[^”]*”"));
  return text.remove(quoted);
}

// What the dialog shows, but for the file's name and the header cells (the file's own text).
QStringList Shown(const CsvImportDialog& dialog) {
  QStringList texts{dialog.EncodingLabel->text(), dialog.SeparatorLabel->text(), dialog.TypeLabel->text(),
                    dialog.SummaryLabel->text(), dialog.windowTitle()};
  if (dialog.RefusedBox->isVisibleTo(&const_cast<CsvImportDialog&>(dialog))) texts << dialog.RefusedBox->title();
  for (QListWidget* list : {dialog.RefusedList, dialog.NotesList})
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
  for (int r = 0; r < dialog.ColumnsTable->rowCount(); ++r) texts << dialog.ColumnsTable->item(r, 2)->text();
  return texts;
}

}  // namespace

class CsvI18nTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QCOMPARE(InstallLanguage(*qApp, UiLanguage::English), UiLanguage::English); }
  void cleanup() { InstallLanguage(*qApp, UiLanguage::Chinese); }

  void problemsShownInEnglish_data() {
    QTest::addColumn<QString>("file");      // a fixture, or "" for bytes
    QTest::addColumn<QByteArray>("bytes");  // written to a file when there is no fixture
    QTest::addColumn<int>("encoding");      // CsvEncodingChoice
    QTest::addColumn<QString>("says");      // part of what the dialog shows

    const int detect = static_cast<int>(CsvEncodingChoice::Detect);
    const int utf8 = static_cast<int>(CsvEncodingChoice::Utf8);
    QTest::newRow("missing column") << "excel_missing_column.csv" << QByteArray() << detect
                                    << "required columns are missing: App. resistivity.";
    QTest::newRow("unknown header") << "excel_gbk.csv" << QByteArray() << detect << "is not a known column name";
    QTest::newRow("ragged rows, comma decimal") << "excel_ragged_rows.csv" << QByteArray() << detect
                                                << "Was a comma used as the decimal point?";
    QTest::newRow("GBK read as UTF-8") << "excel_gbk.csv" << QByteArray() << utf8 << "no column of readings was recognised";
    QTest::newRow("encoding undecided") << "gbk_or_utf8.csv" << QByteArray() << detect
                                        << "the file's encoding cannot be determined";
    QTest::newRow("lost text") << "lost_gbk_text.csv" << QByteArray() << detect << "the original text has been lost";
    QTest::newRow("no header") << "not_a_survey.csv" << QByteArray() << detect << "no column of readings was recognised";
    QTest::newRow("repeated spacing") << "excel_repeated_spacing.csv" << QByteArray() << detect
                                      << "differs by less than 0.1";
    QTest::newRow("six blank readings") << QString() << QByteArray("测点,x,y,AB/2,视电阻率,ZP,TH,TD,R,IP\nS1,0,0,1,,,,,,\n")
                                        << detect
                                        << "App. resistivity, IP parameter ZP, Half-decay time, Decay, Deviation, App. chargeability "
                                           "is empty.";
    QTest::newRow("seven missing columns") << QString() << QByteArray("AB/2,IP\n1,2\n") << detect
                                           << "missing: x, y, App. resistivity, IP parameter ZP, Half-decay time, Decay, "
                                              "Deviation.";
    QTest::newRow("mixed columns") << QString() << QByteArray("AB/2,rho,ZP,TH,MN/2,point\n") << detect
                                   << "induced-polarisation columns (IP parameter ZP, Half-decay time)";
    QTest::newRow("same column twice") << QString() << QByteArray("测点,x,y,AB/2,视电阻率,x\n") << detect
                                       << "columns 2 and 6 are both";
    QTest::newRow("not a number") << QString() << QByteArray("测点,x,y,AB/2,视电阻率\n甲,0,0,1.5,abc\n乙,0,0,1.5,10\n")
                                  << detect << "App. resistivity “abc” is not a number.";
    QTest::newRow("same point, a bad reading")
        << QString() << QByteArray("测点,x,y,AB/2,视电阻率\n乙,0,0,1.5,10\n丙,5,0,1.5,10\n丙,5,0,2.5,-3\n丁,0,0,1.5,10\n")
        << detect << "has the same coordinates as the station “乙” on line 2";
  }

  void problemsShownInEnglish() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, says);
    FormDriver d;
    if (file.isEmpty()) {
      file = d.dir.filePath(QStringLiteral("问题.csv"));
      QFile out(file);
      QVERIFY(out.open(QIODevice::WriteOnly));
      QCOMPARE(out.write(bytes), bytes.size());
      out.close();
      QCOMPARE(out.error(), QFileDevice::NoError);
    } else {
      file = Fixture(file);
    }
    CsvImportRequest request;
    request.survey = &d.form->survey();
    request.path = file;
    request.typeNames = QStringList{QStringLiteral("Resistivity sounding"), QStringLiteral("Water finding"),
                                    QStringLiteral("Four-pole profiling"), QStringLiteral("Combined profiling")};
    request.read(static_cast<CsvEncodingChoice>(encoding));
    CsvImportDialog dialog(request, d.form.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const QStringList shown = Shown(dialog);
    QVERIFY2(shown.join(QLatin1Char('\n')).contains(says), qPrintable(shown.join(QLatin1Char('\n'))));
    for (const QString& text : shown) QVERIFY2(!HasCjk(WithoutQuotes(text)), qPrintable(text));
  }
};

QTEST_MAIN(CsvI18nTest)
#include "csv_i18n_test.moc"
