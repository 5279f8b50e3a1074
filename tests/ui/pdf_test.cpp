// The PDF report through the real window (文件 › 导出 PDF 报告…): its pages read back with
// pdftotext, the plot pages rendered with pdftoppm, the fonts listed by pdffonts; the export
// dialog; what is written when nothing can or should be.
#include <QCheckBox>
#include <QDate>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

#include "formdriver.h"
#include "plot/section.h"
#include "io/textconv.h"
#include "print/listing.h"
#include "stationbuilder.h"
#include "ui/gbkqt.h"
#include "ui/pdfreport.h"
#include "ui/pdfreportdialog.h"

namespace {

// Runs a poppler tool; its standard output, or a failed test (fail is set) when it cannot run.
QByteArray Run(const QString& tool, const QStringList& args, bool& fail) {
  QProcess p;
  p.start(QStandardPaths::findExecutable(tool), args);
  fail = !p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0;
  if (fail) qWarning() << tool << args << p.errorString() << p.readAllStandardError();
  return p.readAllStandardOutput();
}

// The text of each page of a PDF file as pdftotext -layout reads it.
QStringList PageTexts(const QString& pdf) {
  bool fail = false;
  const QByteArray out = Run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}, fail);
  if (fail) return {};
  QStringList pages = QString::fromUtf8(out).split(QLatin1Char('\f'));
  if (!pages.isEmpty() && pages.constLast().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

// A line as it compares with the listing's: blank runs collapsed (a proportional font keeps no
// column) and compatibility forms folded (the "fi" ligature).
QString Comparable(const QString& line) { return line.normalized(QString::NormalizationForm_KC).simplified(); }

QStringList NonEmptyLines(const QString& page) {
  QStringList out;
  for (const QString& line : page.split(QLatin1Char('\n')))
    if (const QString c = Comparable(line); !c.isEmpty()) out << c;
  return out;
}

// Page `page` (1-based) rendered at 50 dpi.
QImage PageImage(const QString& pdf, int page, const QString& scratch) {
  bool fail = false;
  const QString prefix = scratch + QStringLiteral("/page");
  Run(QStringLiteral("pdftoppm"),
      {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
       QString::number(page), QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix},
      fail);
  return fail ? QImage() : QImage(prefix + QStringLiteral(".png"));
}

// Pixels of a part of an image (fractions of its height) that are not white, and those close to
// a colour.
struct Ink {
  int dark = 0;
  int coloured = 0;
};
Ink InkIn(const QImage& image, double top, double bottom, const QColor& colour) {
  Ink ink;
  for (int y = static_cast<int>(top * image.height()); y < static_cast<int>(bottom * image.height()); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() < 235 || c.green() < 235 || c.blue() < 235) ++ink.dark;
      if (std::abs(c.red() - colour.red()) < 60 && std::abs(c.green() - colour.green()) < 60 &&
          std::abs(c.blue() - colour.blue()) < 60)
        ++ink.coloured;
    }
  }
  return ink;
}

const QColor kBranchA(31, 95, 191);
const QColor kBranchB(214, 90, 20);
const QColor kCrossing(0, 150, 60);
const QColor kModelCurve(178, 34, 34);

// Stations with texts in Chinese, as the commit builds them; vary scales a sounding curve and
// shifts the phase of a profile.
sdata Unit(DataType type, const std::string& name, float x, const std::string& line, int rows, float vary) {
  std::vector<std::vector<float>> values;
  for (int r = 0; r < rows; ++r) {
    const float f = static_cast<float>(r);
    if (IsSoundingType(type)) {
      const float ab2 = 1.5f * std::pow(1.6f, f);
      const float rho = vary * (40.0f + 30.0f * std::sin(f / 2.0f));
      if (type == dtSounding) values.push_back({ab2, rho});
      else values.push_back({ab2, rho, 1.0f + f * 0.3f, 2.0f + f * 0.1f, 3.0f, 4.0f, 5.0f + f * 0.2f});
    } else {
      values.push_back({20.0f * f, 50.0f, 20.0f, 100.0f + 60.0f * std::sin(f / 1.5f + vary)});
    }
  }
  sdata s = BuildStation(type, name, x, values, 2.5f);
  s.WorkArea = Utf8ToGbk("北山工区");
  s.Profile = line;
  s.Operator = Utf8ToGbk("王工");
  s.Instrument = "DZD-6A";
  return s;
}

struct Case {
  StationList stations;
  // Per plot page: what the heading says of the name and coordinates.
  QList<QStringList> headings;
  QString ipTitle;  // water finding: the title of the IP chart's axis
};

// Sounding stations enough for a listing of several pages, each with its heading.
Case LongSounding() {
  Case c;
  for (int i = 0; i < 6; ++i) {
    const float x = 50.0f * static_cast<float>(i);
    c.stations.push_back(Unit(dtSounding, "P" + std::to_string(i), x, "L7", 40, 1.0f + static_cast<float>(i)));
    c.headings.push_back({QStringLiteral("测点：P%1").arg(i), QStringLiteral("坐标：x = %1, y = 2.5").arg(x)});
  }
  return c;
}

Case CaseFor(DataType type) {
  const QString a = QStringLiteral("x = 0, y = 2.5"), b = QStringLiteral("x = 50, y = 2.5");
  switch (type) {
    case dtSounding:
      return {{Unit(type, "S1", 0, "L7", 10, 1), Unit(type, Utf8ToGbk("二号点"), 50, "L7", 14, 2)},
              {{QStringLiteral("测点：S1"), QStringLiteral("坐标：") + a},
               {QStringLiteral("测点：二号点"), QStringLiteral("坐标：") + b}},
              {}};
    case dtWaterFinding:
      return {{Unit(type, "0", 0, "L7", 12, 1), Unit(type, "50", 50, "L7", 12, 3)},
              {{QStringLiteral("测点：0"), QStringLiteral("坐标：") + a}, {QStringLiteral("测点：50"), QStringLiteral("坐标：") + b}},
              QStringLiteral("综合激电参数")};
    case dtFourPoleProfile:
      return {{Unit(type, "100", 0, "100", 15, 0), Unit(type, "150", 50, "150", 15, 1)},
              {{QStringLiteral("名称：100"), QStringLiteral("坐标：") + a, QStringLiteral("测线：100")},
               {QStringLiteral("名称：150"), QStringLiteral("坐标：") + b, QStringLiteral("测线：150")}},
              {}};
    default:
      // Branches that cross.
      return {{Unit(type, "A", 0, "7", 15, 0), Unit(type, "B", 50, "7", 15, 3)},
              {{QStringLiteral("名称：A、B"), QStringLiteral("坐标：A：") + a + QStringLiteral("；B：") + b,
                QStringLiteral("测线：7")}},
              {}};
  }
}

}  // namespace

class PdfTest : public QObject {
  Q_OBJECT
 private:
  // Exports the window's survey to path through the menu, answering the dialog with withPlots.
  void exportTo(FormDriver& d, const QString& path, bool withPlots) {
    d.dialogs.setNextPdfReport({path, withPlots});
    d.trigger(d.form->ExportPdfAction);
  }

  // Every font of the file is embedded, and the Chinese one is among them.
  void verifyFontsEmbedded(const QString& pdf) {
    bool fail = false;
    const QStringList lines = QString::fromUtf8(Run(QStringLiteral("pdffonts"), {pdf}, fail)).split(QLatin1Char('\n'));
    QVERIFY(!fail);
    // name type encoding emb sub uni object ID: emb is the fifth column from the right.
    const qsizetype rule = lines.indexOf(QRegularExpression(QStringLiteral("^-+( -+)+$")));
    QVERIFY2(rule > 0, qPrintable(lines.join(QLatin1Char('\n'))));
    int fonts = 0;
    bool chinese = false;
    for (qsizetype i = rule + 1; i < lines.size(); ++i) {
      const QStringList columns = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
      if (columns.isEmpty()) continue;
      QVERIFY2(columns.size() >= 7, qPrintable(lines[i]));
      QVERIFY2(columns[columns.size() - 5] == QLatin1String("yes"), qPrintable(lines[i]));
      chinese = chinese || lines[i].contains(QLatin1String("WenQuanYi"));
      ++fonts;
    }
    QVERIFY(fonts > 0);
    QVERIFY2(chinese, qPrintable(lines.join(QLatin1Char('\n'))));
  }

 private slots:
  void initTestCase() {
    // The tools the checks read the files with come with the project's packages.
    for (const char* tool : {"pdftotext", "pdftoppm", "pdffonts"})
      QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), tool);
  }

  // The report of each data type, with and without plot pages: the listing's pages read back
  // as the printed listing, then a page per station or line with its heading and its plot, then
  // the section pages.
  void exportsTheReport_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("withPlots");
    QTest::addColumn<bool>("severalPages");
    for (bool plots : {false, true}) {
      const char* with = plots ? "with plots" : "without plots";
      QTest::addRow("sounding, %s", with) << int(dtSounding) << plots << false;
      QTest::addRow("water finding, %s", with) << int(dtWaterFinding) << plots << false;
      QTest::addRow("four-pole, %s", with) << int(dtFourPoleProfile) << plots << false;
      QTest::addRow("combined, %s", with) << int(dtCombinedProfile) << plots << false;
      QTest::addRow("sounding, listing of several pages, %s", with) << int(dtSounding) << plots << true;
    }
  }
  void exportsTheReport() {
    QFETCH(int, type);
    QFETCH(bool, withPlots);
    QFETCH(bool, severalPages);
    const auto dataType = static_cast<DataType>(type);
    const Case c = severalPages ? LongSounding() : CaseFor(dataType);
    FormDriver d;
    d.chooseDataType(type);
    d.load(c.stations, 0, false);
    const QString pdf = d.path(QStringLiteral("report.pdf"));
    exportTo(d, pdf, withPlots);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join(QLatin1Char('\n'))));
    QCOMPARE(d.dialogs.pdfReportDialogs.size(), 1);
    QCOMPARE(d.dialogs.pdfReportDialogs[0].hasListing, IsSoundingType(dataType));
    const QStringList pages = PageTexts(pdf);
    QVERIFY(!pages.isEmpty());

    // The listing's pages are the printed listing's, laid out the same.
    int listingPages = 0;
    if (IsSoundingType(dataType)) {
      d.dialogs.setNextPrint([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(d.path(QStringLiteral("printed.pdf")));
      });
      d.click(d.form->Button1);
      const QStringList printed = PageTexts(d.path(QStringLiteral("printed.pdf")));
      QVERIFY(!printed.isEmpty());
      listingPages = static_cast<int>(printed.size());
      QCOMPARE(listingPages > 2, severalPages);
      QVERIFY(pages.size() >= listingPages);
      QCOMPARE(pages.mid(0, listingPages), printed);
      // ... and they hold the listing's lines in order, below the heading of every later page.
      std::vector<std::string> lines;
      (dataType == dtSounding ? BuildVesListing : BuildDatListing)(d.form->survey().stations(), lines);
      QStringList expected, read;
      for (const std::string& line : lines)
        if (const QString s = Comparable(FromGbk(line)); !s.isEmpty()) expected << s;
      for (int p = 0; p < listingPages; ++p) read << NonEmptyLines(pages[p]).mid(p > 0 ? 2 : 0);
      QCOMPARE(read, expected);
    }

    // The plot pages: always for the profile types, which have no listing.
    const bool plots = withPlots || !IsSoundingType(dataType);
    // After the plot pages, the sections of each line of soundings, or the plan map of the lines.
    const qsizetype sectionPages = plots ? (IsSoundingType(dataType) ? SoundingLines(c.stations).size() : 1) : 0;
    QCOMPARE(pages.size(), listingPages + (plots ? c.headings.size() : 0) + sectionPages);
    if (sectionPages > 0) {
      const QString last = Comparable(pages.last());
      const QString wanted = Comparable(IsSoundingType(dataType) ? QStringLiteral("视电阻率拟断面") : QStringLiteral("剖面平面图"));
      QVERIFY2(last.contains(wanted), qPrintable(last));
    }
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    for (qsizetype h = 0; plots && h < c.headings.size(); ++h) {
      const int page = listingPages + static_cast<int>(h) + 1;
      const QString text = Comparable(pages[page - 1]);
      QStringList wanted = c.headings[h];
      wanted << QStringLiteral("工区：北山工区") << QStringLiteral("操作员：王工") << QStringLiteral("仪器：DZD-6A")
             << QStringLiteral("报告日期：") + today;
      if (IsSoundingType(dataType)) wanted << QStringLiteral("测线：L7");
      if (!c.ipTitle.isEmpty()) wanted << c.ipTitle;
      for (const QString& w : wanted)
        QVERIFY2(text.contains(Comparable(w)), qPrintable(w + QStringLiteral(" not in:\n") + text));

      // The plot below the heading: lines, labels and the curve in its colour; the other branch
      // in its own for combined profiling; for water finding a second chart below the first.
      const QImage image = PageImage(pdf, page, d.dir.path());
      QVERIFY(!image.isNull());
      const Ink plot = InkIn(image, 0.2, 0.95, kBranchA);
      QVERIFY2(plot.dark > image.width() * image.height() / 40, qPrintable(QString::number(plot.dark)));
      QVERIFY2(plot.coloured > 100, qPrintable(QString::number(plot.coloured)));
      if (dataType == dtCombinedProfile) {
        QVERIFY(InkIn(image, 0.2, 0.95, kBranchB).coloured > 100);
        QVERIFY(InkIn(image, 0.2, 0.95, kCrossing).coloured > 10);
      }
      if (dataType == dtWaterFinding) QVERIFY(InkIn(image, 0.6, 0.95, kBranchA).coloured > 50);
    }
    verifyFontsEmbedded(pdf);
  }

  // A sounding station with a layered model: its page draws the model's curve over the readings
  // and lists the model below the chart; the page of a station without a model has neither.
  void stationPageShowsItsModel() {
    sdata modelled = Unit(dtSounding, "M1", 0, "L7", 12, 1);
    modelled.Model = {{2.5f, 8, 100}, {130, 40, 300}, ModelOrigin::Fitted};
    const sdata plain = Unit(dtSounding, "M2", 50, "L7", 12, 1);
    FormDriver d;
    d.load({modelled, plain}, 0, false);
    const QString pdf = d.path(QStringLiteral("models.pdf"));
    exportTo(d, pdf, true);
    QVERIFY2(d.dialogs.messages.isEmpty(), qPrintable(d.dialogs.texts().join(QLatin1Char('\n'))));
    const QStringList pages = PageTexts(pdf);
    QVERIFY(pages.size() >= 4);
    // 1-based: the two plot pages come before the line's section page, which ends the report.
    const int withModel = static_cast<int>(pages.size()) - 2;
    const QStringList table = NonEmptyLines(pages[withModel - 1]);
    for (const QString& line : {QStringLiteral("测点 M1"), QStringLiteral("层号 层厚 (m) 层底深度 (m) 电阻率 (Ω·m)"),
                                QStringLiteral("1 2.5 2.5 130"), QStringLiteral("2 8 10.5 40"), QStringLiteral("3 — — 300")})
      QVERIFY2(table.contains(line), qPrintable(line + QStringLiteral(" not in:\n") + table.join(QLatin1Char('\n'))));
    const QString title = Comparable(QStringLiteral("层状模型（拟合），与观测值的均方根误差 "));
    QVERIFY2(table.filter(title).size() == 1, qPrintable(table.join(QLatin1Char('\n'))));
    QVERIFY(!pages[withModel].contains(QStringLiteral("层状模型")));

    const QImage curve = PageImage(pdf, withModel, d.dir.path());
    const QImage none = PageImage(pdf, withModel + 1, d.dir.path());
    QVERIFY2(InkIn(curve, 0.2, 0.7, kModelCurve).coloured > 50, qPrintable(QString::number(InkIn(curve, 0.2, 0.7, kModelCurve).coloured)));
    QVERIFY(InkIn(curve, 0.2, 0.7, kBranchA).coloured > 100);
    QVERIFY(InkIn(none, 0.2, 0.95, kModelCurve).coloured < 5);
  }

  // With no station nothing is asked and nothing written, as with the other exports.
  void emptySurveyIsRefused() {
    FormDriver d;
    d.trigger(d.form->ExportPdfAction);
    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("没有数据可以导出。")});
    QCOMPARE(d.dialogs.messages[0].caption, QStringLiteral("导出 PDF 报告"));
    QCOMPARE(d.dialogs.messages[0].icon, Dialogs::Icon::None);
    QVERIFY(d.dialogs.pdfReportDialogs.isEmpty());
  }

  // The dialog proposes a report beside the survey's file and named after it, or named after
  // the line in a folder that can be written; cancelled, it writes nothing.
  void dialogProposesAFileAndCancelWritesNothing_data() {
    QTest::addColumn<bool>("opened");
    QTest::newRow("named after the line") << false;
    QTest::newRow("named after the opened file") << true;
  }
  void dialogProposesAFileAndCancelWritesNothing() {
    QFETCH(bool, opened);
    FormDriver d;
    QString expected;
    if (opened) {
      QVERIFY(QDir().mkpath(d.path(QStringLiteral("survey"))));
      const QString file = d.path(QStringLiteral("survey/north.ves"));
      QVERIFY(QFile::copy(QStringLiteral(FIXTURES_DIR "/ves_worked_example.ves"), file));
      QVERIFY(d.form->openFiles({file}));
      expected = d.path(QStringLiteral("survey/north.pdf"));
    } else {
      d.load(CaseFor(dtSounding).stations, 0, false);
      // No file and no Data folder beside the program: the home folder (the test's HOME has no
      // documents folder).
      expected = QDir::home().filePath(QStringLiteral("L7.pdf"));
    }
    d.dialogs.setNextPdfReportCancel();
    const QStringList before = QDir(d.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    d.trigger(d.form->ExportPdfAction);
    QCOMPARE(d.dialogs.pdfReportDialogs.size(), 1);
    QCOMPARE(QFileInfo(d.dialogs.pdfReportDialogs[0].proposedPath).absoluteFilePath(), QFileInfo(expected).absoluteFilePath());
    QVERIFY(d.dialogs.pdfReportDialogs[0].hasListing);
    QVERIFY(d.dialogs.messages.isEmpty());
    QCOMPARE(QDir(d.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    QVERIFY(!QFileInfo::exists(expected));
  }

  // A target that cannot be written is reported with the reason, and leaves no file behind: no
  // report, no temporary file, an existing file as it was.
  void unwritableTargetIsReported_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("read-only folder") << QStringLiteral("folder");
    QTest::newRow("read-only file") << QStringLiteral("file");
    QTest::newRow("below a file") << QStringLiteral("below file");
  }
  void unwritableTargetIsReported() {
    QFETCH(QString, kind);
    FormDriver d;
    d.load(CaseFor(dtSounding).stations, 0, false);
    const QString folder = d.path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(folder));
    QString target = folder + QStringLiteral("/report.pdf");
    const QByteArray old("not a report");
    if (kind == QLatin1String("folder")) {
      if (::geteuid() == 0) QSKIP("root writes into read-only folders");
      QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    } else {
      QFile file(kind == QLatin1String("file") ? target : folder + QStringLiteral("/plain"));
      QVERIFY(file.open(QIODevice::WriteOnly));
      QCOMPARE(file.write(old), old.size());
      file.close();
      QVERIFY(file.setPermissions(QFile::ReadOwner));
      if (kind != QLatin1String("file")) target = file.fileName() + QStringLiteral("/report.pdf");
    }
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    exportTo(d, target, true);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(d.dialogs.messages.size(), 1);
    const ShownMessage& m = d.dialogs.messages[0];
    QCOMPARE(m.caption, QStringLiteral("导出 PDF 报告"));
    QCOMPARE(m.text, QStringLiteral("无法写入文件 %1，PDF 报告没有导出。").arg(QDir::toNativeSeparators(target)));
    QCOMPARE(m.icon, Dialogs::Icon::Warning);
    QVERIFY(!m.details.isEmpty());
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    if (kind == QLatin1String("file")) {
      QFile file(target);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), old);
    } else {
      QVERIFY(!QFileInfo::exists(target));
    }
  }

  // The writer tells its progress page by page, as many pages as it writes; stopped at any
  // page it writes nothing and an existing file keeps its bytes.
  void progressCountsThePagesAndCancelWritesNothing() {
    QTemporaryDir dir;
    const Case c = LongSounding();
    PdfReportContent content;
    content.type = dtSounding;
    content.stations = c.stations;
    BuildVesListing(c.stations, content.listing);
    content.withPlots = true;
    content.date = QDate(2024, 5, 1);
    const int total = PdfReportPageCount(content);
    const QString path = dir.filePath(QStringLiteral("report.pdf"));

    QList<int> done;
    QCOMPARE(WritePdfReport(path, content, [&](int n, int of) {
               if (of == total) done << n;
               return true;
             }),
             PdfReportResult::Written);
    QList<int> expected;
    for (int n = 0; n <= total; ++n) expected << n;
    QCOMPARE(done, expected);
    QCOMPARE(PageTexts(path).size(), total);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    written.close();

    for (int stop : {0, total / 2, total}) {
      QString error;
      QCOMPARE(WritePdfReport(path, content, [&](int n, int) { return n < stop; }, &error), PdfReportResult::Cancelled);
      QVERIFY(error.isEmpty());
      QVERIFY(written.open(QIODevice::ReadOnly));
      QCOMPARE(written.readAll(), bytes);
      written.close();
      QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
               QStringList{QStringLiteral("report.pdf")});
    }
  }

  // The export dialog: the proposal, .pdf added to a bare name, an existing file replaced only
  // on a second OK, a folder refused, OK disabled without a name; for the profile types the
  // plot pages are not a choice.
  void exportDialog() {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("old.pdf"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    PdfReportDialog dialog({dir.filePath(QStringLiteral("L7.pdf")), true});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QDir::fromNativeSeparators(dialog.PdfPath->text()), dir.filePath(QStringLiteral("L7.pdf")));
    QVERIFY(!dialog.PdfWithPlots->isChecked());
    QVERIFY(dialog.PdfWithPlots->isEnabled());
    QTest::mouseClick(dialog.PdfWithPlots, Qt::LeftButton, {}, QPoint(8, dialog.PdfWithPlots->height() / 2));
    QVERIFY(dialog.PdfWithPlots->isChecked());

    auto typePath = [&](const QString& text) {
      dialog.PdfPath->setFocus();
      dialog.PdfPath->selectAll();
      QTest::keyClick(dialog.PdfPath, Qt::Key_Delete);
      QTest::keyClicks(dialog.PdfPath, text);
    };
    typePath(QString());
    QVERIFY(!dialog.OKButton->isEnabled());

    typePath(dir.path());
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.PdfProblem->isVisible());
    QVERIFY(dialog.PdfProblem->text().contains(QStringLiteral("文件夹")));

    typePath(existing);
    QVERIFY(!dialog.PdfProblem->isVisible());
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.PdfProblem->text(),
             QStringLiteral("文件 %1 已经存在。再按“确定”将替换它。").arg(QDir::toNativeSeparators(existing)));
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.choice().path, existing);
    QVERIFY(dialog.choice().withPlots);

    typePath(dir.filePath(QStringLiteral("north")));
    QCOMPARE(dialog.choice().path, dir.filePath(QStringLiteral("north.pdf")));

    PdfReportDialog profile({dir.filePath(QStringLiteral("100.pdf")), false});
    QVERIFY(profile.PdfWithPlots->isChecked());
    QVERIFY(!profile.PdfWithPlots->isEnabled());
    QVERIFY(profile.choice().withPlots);
  }
};

QTEST_MAIN(PdfTest)
#include "pdf_test.moc"
