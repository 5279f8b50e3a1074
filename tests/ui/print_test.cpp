// The print command through the real window: the empty-list message, the print dialog, and
// whole listings printed to PDF files and read back with pdftotext.
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "formdriver.h"
#include "io/textconv.h"
#include "print/listing.h"
#include "ui/gbkqt.h"

namespace {

// A sounding station as the commit builds it, with count spacings 1.5, 2.5, ... and resistivities
// 10, 20, ...; for the water-finding type the five IP values are 1 to 5 tenths above the row.
sdata Station(const std::string& name, float x, int count) {
  sdata s;
  s.Name = name;
  s.X = x;
  s.WorkArea = Utf8ToGbk("北山");
  s.Profile = "L7";
  s.SpacingCount = count;
  for (int r = 0; r < count; ++r) {
    s.Columns[colAB2].push_back(1.5f + static_cast<float>(r));
    s.Columns[colRho].push_back(10.0f * static_cast<float>(r + 1));
    for (int k = colZP; k <= colR; ++k) s.Columns[k].push_back(static_cast<float>(r) + 0.1f * static_cast<float>(k - 3));
  }
  return s;
}

// PDF output to a file of the scratch folder, as a user choosing "print to file" would.
std::function<void(QPrinter&)> ToPdf(const QString& path) {
  return [path](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
  };
}

// A line as it can be compared with what pdftotext reads back: blank runs collapsed to one blank
// (the spacing of a proportional font does not survive) and compatibility forms folded (the
// font draws "fi" as a ligature, which reads back as U+FB01).
QString Comparable(const QString& line) { return line.normalized(QString::NormalizationForm_KC).simplified(); }

// The text of a PDF file, one entry per page, as pdftotext reads it; lines made comparable and
// empty lines left out. Empty when pdftotext is missing or fails.
QList<QStringList> PdfPages(const QString& pdf) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  QProcess p;
  p.start(tool, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  const QString text = QString::fromUtf8(p.readAllStandardOutput());
  QStringList pageTexts = text.split(QLatin1Char('\f'));
  if (!pageTexts.isEmpty() && pageTexts.constLast().trimmed().isEmpty()) pageTexts.removeLast();
  QList<QStringList> pages;
  for (const QString& page : pageTexts) {
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n'))) {
      const QString simple = Comparable(line);
      if (!simple.isEmpty()) lines << simple;
    }
    pages << lines;
  }
  return pages;
}

// The listing's non-empty lines, made comparable.
QStringList Simplified(const std::vector<std::string>& gbkLines) {
  QStringList out;
  for (const std::string& line : gbkLines) {
    const QString simple = Comparable(FromGbk(line));
    if (!simple.isEmpty()) out << simple;
  }
  return out;
}

const QString kPageTitle = QStringLiteral("电测深观测数据");
const QString kPageRule = QString(32, QLatin1Char('-'));

}  // namespace

class PrintTest : public QObject {
  Q_OBJECT
 private:
  QString pdftotext_;

  // Prints the window's stations to out.pdf and returns its pages, or fails the test.
  QList<QStringList> printToPdf(FormDriver& d) {
    d.dialogs.setNextPrint(ToPdf(d.path(QStringLiteral("out.pdf"))));
    d.click(d.form->Button1);
    if (!d.dialogs.messages.isEmpty()) qWarning() << "message shown:" << d.dialogs.texts();
    return PdfPages(d.path(QStringLiteral("out.pdf")));
  }

  // The one message box of the command: caption "打印失败", OK only, owned by the window.
  void verifyOnlyMessage(FormDriver& d, const QString& text, Dialogs::Icon icon) {
    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.caption, QStringLiteral("打印失败"));
    QCOMPARE(m.text, text);
    QCOMPARE(m.icon, icon);
    QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
    QVERIFY(m.owned);
  }

 private slots:
  void initTestCase() {
    pdftotext_ = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  }

  void emptyListIsRefused_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("button") << false;
    QTest::newRow("menu Ctrl+P") << true;
  }
  void emptyListIsRefused() {
    QFETCH(bool, byMenu);
    FormDriver d;
    if (byMenu) {
      QCOMPARE(d.form->N5->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
      d.trigger(d.form->N5);
    } else {
      d.click(d.form->Button1);
    }
    verifyOnlyMessage(d, QStringLiteral("没有数据可以打印。"), Dialogs::Icon::None);
    if (QTest::currentTestFailed()) return;
    QVERIFY(d.dialogs.printDialogs.isEmpty());
  }

  // The dialog offers pages 1 to 5 with the range and selection choices; cancelling it ends the
  // command without a word and without touching the stations.
  void cancelledDialogPrintsNothing() {
    FormDriver d;
    d.load({Station("S1", 100, 3)}, 0, false);
    d.dialogs.setNextPrintCancel();
    d.click(d.form->Button1);
    QCOMPARE(d.dialogs.printDialogs.size(), 1);
    const PrintDialogSettings& s = d.dialogs.printDialogs[0];
    QCOMPARE(s.fromPage, 1);
    QCOMPARE(s.toPage, 5);
    QCOMPARE(s.minPage, 1);
    QCOMPARE(s.maxPage, 5);
    QVERIFY(s.allowPageRange);
    QVERIFY(s.allowSelection);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(d.form->survey().stations().size(), std::size_t{1});
    QVERIFY(!d.form->survey().saved());
  }

  // Every line of the listing reaches the paper in order, over as many pages as it takes, and
  // every page after the first opens with the page heading.
  void printsTheWholeListing_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("spacings");
    QTest::addColumn<bool>("severalPages");
    QTest::newRow("sounding, one page") << int(dtSounding) << 3 << false;
    QTest::newRow("sounding, several pages") << int(dtSounding) << 150 << true;
    QTest::newRow("water finding, several pages") << int(dtWaterFinding) << 200 << true;
  }
  void printsTheWholeListing() {
    if (pdftotext_.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(int, type);
    QFETCH(int, spacings);
    QFETCH(bool, severalPages);
    FormDriver d;
    d.chooseDataType(type);
    d.load({Station("S1", 100, spacings), Station("S2", -3.5f, 2)}, 0, false);
    const QList<QStringList> pages = printToPdf(d);
    QVERIFY(d.dialogs.messages.isEmpty());
    QVERIFY(!pages.isEmpty());

    // Lines written out for the listing's fixed texts and a few rows.
    std::vector<std::string> lines;
    if (type == dtSounding) {
      BuildVesListing(d.form->survey().stations(), lines);
      QCOMPARE(FromGbk(lines[10]), QStringLiteral("点位: x=100   y= 0"));
    } else {
      BuildDatListing(d.form->survey().stations(), lines);
      QCOMPARE(FromGbk(lines[7]), QStringLiteral("100   1.5   .5   10.0   .2   .5   .4   .3   .1"));
    }
    QStringList printed;
    for (int p = 0; p < pages.size(); ++p) {
      QStringList page = pages[p];
      if (p > 0) {
        QVERIFY2(page.size() >= 2, qPrintable(QStringLiteral("page %1").arg(p + 1)));
        QCOMPARE(page[0], kPageTitle);
        QCOMPARE(page[1], kPageRule);
        page = page.mid(2);
      }
      printed << page;
    }
    QCOMPARE(printed, Simplified(lines));
    QCOMPARE(pages[0].value(0), kPageTitle);  // the listing's own title opens the first page
    QCOMPARE(pages.size() > 2, severalPages);
  }

  // When the very last line is the one that passes the bottom of the page, one more page holds
  // only the page heading; a line less and the listing ends on the page before.
  void lastLineCrossingTheBottom_data() {
    QTest::addColumn<int>("extraLines");
    QTest::addColumn<int>("expectedPages");
    QTest::newRow("last line crosses") << 0 << 3;
    QTest::newRow("one line short") << -1 << 2;
  }
  void lastLineCrossingTheBottom() {
    if (pdftotext_.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(int, extraLines);
    QFETCH(int, expectedPages);
    FormDriver d;

    // The page geometry of a high-resolution PDF printer with its default font: lines per page.
    int lineHeight = 0, pageHeight = 0;
    {
      QPrinter probe(QPrinter::HighResolution);
      probe.setOutputFormat(QPrinter::PdfFormat);
      probe.setOutputFileName(d.path(QStringLiteral("probe.pdf")));
      QPainter painter;
      QVERIFY(painter.begin(&probe));
      lineHeight = QFontMetrics(painter.font(), &probe).height();
      pageHeight = probe.height();
      painter.end();
    }
    QVERIFY(lineHeight > 0 && pageHeight > 1000);
    // A page ends once y (200 plus the lines so far) passes pageHeight - 400. The first page
    // takes firstPage lines, later pages two fewer below their heading.
    const int firstPage = (pageHeight - 600) / lineHeight + 1;
    const int laterPage = firstPage - 2;
    const int total = firstPage + laterPage + extraLines;

    // A water-finding listing has 7 opening lines, one per spacing and a closing line.
    d.chooseDataType(dtWaterFinding);
    d.load({Station("S1", 5, total - 8)}, 0, false);
    const QList<QStringList> pages = printToPdf(d);
    QCOMPARE(pages.size(), expectedPages);
    QCOMPARE(pages[1].constLast(), QStringLiteral("End of Dat File"));
    if (expectedPages == 3) QCOMPARE(pages[2], (QStringList{kPageTitle, kPageRule}));
  }

  // The profile types have no listing: no refusal, the dialog, and an empty document.
  void profileTypesPrintAnEmptyDocument() {
    if (pdftotext_.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    FormDriver d;
    d.chooseDataType(dtFourPoleProfile);
    d.load({Station("L1", 0, 3)}, 0, false);
    const QList<QStringList> pages = printToPdf(d);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(d.dialogs.printDialogs.size(), 1);
    QVERIFY(QFileInfo::exists(d.path(QStringLiteral("out.pdf"))));
    for (const QStringList& page : pages) QVERIFY(page.isEmpty());
  }

  // A printer that cannot start a document is reported, not passed over.
  void printerThatCannotStartIsReported() {
    FormDriver d;
    d.load({Station("S1", 100, 3)}, 0, false);
    d.dialogs.setNextPrint(ToPdf(d.path(QStringLiteral("missing/folder/out.pdf"))));
    d.click(d.form->Button1);
    verifyOnlyMessage(d, QStringLiteral("无法开始打印，请检查打印机。"), Dialogs::Icon::Warning);
    if (QTest::currentTestFailed()) return;
    QVERIFY(!QFileInfo::exists(d.path(QStringLiteral("missing/folder/out.pdf"))));
  }

  // The preview (文件 › 打印预览) shows the pages printing sends: painted onto a PDF they read
  // back as the printed listing; with no stations it is refused as printing is.
  void previewShowsThePrintedPages() {
    FormDriver d;
    d.trigger(d.form->PrintPreview);
    verifyOnlyMessage(d, QStringLiteral("没有数据可以打印。"), Dialogs::Icon::None);
    QCOMPARE(d.dialogs.previews, 0);
    d.dialogs.messages.clear();

    d.load({Station("S1", 100, 30), Station("S2", 150, 30)}, 0, false);
    const QList<QStringList> printed = printToPdf(d);
    QVERIFY(!printed.isEmpty());
    d.dialogs.previewPrinter = ToPdf(d.path(QStringLiteral("preview.pdf")));
    d.trigger(d.form->PrintPreview);
    QCOMPARE(d.dialogs.previews, 1);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(PdfPages(d.path(QStringLiteral("preview.pdf"))), printed);
  }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
