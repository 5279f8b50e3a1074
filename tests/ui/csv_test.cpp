// CSV tables through the window: 文件 › 导出 CSV… and 文件 › 导入 CSV…, what the import
// preview says of files made in spreadsheets, and the preview dialog itself.
#include <QComboBox>
#include <QFile>
#include <QTest>
#include <bit>
#include <cstdint>
#include <random>

#include "formdriver.h"
#include "io/textconv.h"
#include "stationbuilder.h"
#include "ui/csvimportdialog.h"
#include "ui/widgets.h"

namespace {

QString Fixture(const QString& name) { return QStringLiteral(FIXTURES_DIR "/csv/") + name; }

// An import of the file into the window's survey, read as the preview first reads it.
CsvImportRequest Request(FormDriver& d, const QString& path) {
  CsvImportRequest request;
  request.survey = &d.form->survey();
  request.path = path;
  request.typeNames = QStringList{QStringLiteral("电阻率测深"), QStringLiteral("电阻率找水"), QStringLiteral("四极剖面数据"),
                                  QStringLiteral("联合剖面法")};
  request.read(CsvEncodingChoice::Detect);
  return request;
}

// A station as text, every float as its bits, so that lists compare bit for bit and a
// difference shows where it is.
QStringList Described(const StationList& stations) {
  QStringList out;
  auto bits = [](float v) { return QString::number(std::bit_cast<std::uint32_t>(v), 16); };
  for (const sdata& s : stations) {
    QString line = QString::fromStdString(GbkToUtf8(s.Name)) + QLatin1Char('|') + bits(s.X) + QLatin1Char('|') +
                   bits(s.Y) + QLatin1Char('|') + QString::fromStdString(GbkToUtf8(s.WorkArea)) + QLatin1Char('|') +
                   QString::fromStdString(GbkToUtf8(s.Profile)) + QLatin1Char('|') +
                   QString::fromStdString(GbkToUtf8(s.Operator)) + QLatin1Char('|') +
                   QString::fromStdString(GbkToUtf8(s.Instrument)) + QLatin1Char('|') + QString::number(s.SpacingCount);
    for (const auto& column : s.Columns) {
      line += QLatin1Char('|');
      for (float v : column) line += bits(v) + QLatin1Char(' ');
    }
    out << line;
  }
  return out;
}

// Stations of a data type with awkward floats (random ones, and those whose shortest text needs
// nine digits) and texts that need quoting in a CSV file.
StationList Stations(DataType type) {
  std::mt19937 random(static_cast<unsigned>(type) + 11);
  std::uniform_real_distribution<float> value(0.001f, 5000.0f);
  const float odd = 0.1f + 1e-7f;
  auto row = [&](int i) {
    const float first = 1.0f + 1.7f * static_cast<float>(i) + value(random) / 1e5f;  // spacings 0.1 apart or more
    if (IsSoundingType(type))
      return std::vector<float>{first, value(random), value(random), value(random), value(random), odd, 1e-5f};
    return std::vector<float>{first, value(random), value(random), value(random)};
  };
  auto station = [&](const std::string& name, float x, float y, int readings) {
    std::vector<std::vector<float>> rows;
    for (int i = 0; i < readings; ++i) rows.push_back(row(i));
    sdata s = BuildStation(type, name, x, rows, y);
    s.WorkArea = Utf8ToGbk("北山, \"二\"队");
    s.Operator = Utf8ToGbk(" 王工 ");
    return s;
  };
  switch (type) {
    case dtCombinedProfile:
      return {station("A", 0, 0, 12), station("B", odd, -odd, 12), station("A", 100, 3.25f, 3)};
    case dtFourPoleProfile:
      return {station("100", 0, 0, 30), station("150", 50, odd, 7)};
    default:
      return {station("ZK1", -odd, 0, 49), station("ZK2", 50.25f, 1e-6f, 13), station("ZK,3", 1234567.0f, -2.5f, 1)};
  }
}

struct FixtureCase {
  QString file;
  QString encoding, separator, type;
  QStringList columns;  // "header -> understood as"
  QStringList refused, notes;
  QString summary;
  DataType typeAfter;
  int stationsAfter;  // imported, the Import button pressed whenever it can be
};

// The good rows are imported; the refused ones are listed and left out.
const QString kRefusedRows = QStringLiteral("将导入 %1 个测点（%2 行数据）。被拒绝的 %3 行不导入。");

// Files as spreadsheets save them, and what the preview says of each.
QList<FixtureCase> FixtureCases() {
  QList<FixtureCase> cases;
  cases.append({QStringLiteral("excel_gbk.csv"), QStringLiteral("编码：GBK，自动识别"), QStringLiteral("分隔符：逗号"),
                QStringLiteral("数据类型：电阻率测深"),
                {QStringLiteral("序号 -> 序号，不导入"), QStringLiteral("测点 -> 测点编号"), QStringLiteral("X -> x坐标"),
                 QStringLiteral("Y -> y坐标"), QStringLiteral("极距 -> AB/2"), QStringLiteral("电阻率 -> 视电阻率"),
                 QStringLiteral("备注 -> 不认识，不导入")},
                {},
                {QStringLiteral("第 1 行：第 7 列“备注”不是认识的列名，这一列不导入。")},
                QStringLiteral("将导入 2 个测点（5 行数据）。"), dtSounding, 2});
  cases.append({QStringLiteral("excel_utf8_bom.csv"), QStringLiteral("编码：UTF-8（带 BOM），自动识别"),
                QStringLiteral("分隔符：逗号"),
                QStringLiteral("数据类型：电阻率找水（窗口当前是电阻率测深，导入时切换到电阻率找水）"),
                {QStringLiteral("测点编号 -> 测点编号"), QStringLiteral("x坐标(m) -> x坐标"), QStringLiteral("y坐标(m) -> y坐标"),
                 QStringLiteral("测区 -> 测区"), QStringLiteral("剖面编号 -> 剖面编号"), QStringLiteral("操作员 -> 操作员"),
                 QStringLiteral("仪器类型 -> 仪器类型"), QStringLiteral("AB/2(m) -> AB/2"),
                 QStringLiteral("视电阻率(Ω·m) -> 视电阻率"), QStringLiteral("综合激电参数 -> 综合激电参数"),
                 QStringLiteral("半衰时 -> 半衰时"), QStringLiteral("衰减度 -> 衰减度"), QStringLiteral("偏离度 -> 偏离度"),
                 QStringLiteral("视极化率 -> 视极化率")},
                {},
                {QStringLiteral("第 5 行：是空行，已跳过。")},
                QStringLiteral("将导入 2 个测点（3 行数据）。"), dtWaterFinding, 2});
  const QString positions =
      QStringLiteral("第 1 行：没有 x坐标 或 y坐标 列：各条测线按输入窗口的做法依次取 x = 0、50、100……，y = 0。");
  cases.append({QStringLiteral("libreoffice_semicolon.csv"), QStringLiteral("编码：UTF-8，自动识别"),
                QStringLiteral("分隔符：分号（数字中的“,”当作小数点）"),
                QStringLiteral("数据类型：四极剖面数据（窗口当前是电阻率测深，导入时切换到四极剖面数据）"),
                {QStringLiteral("剖面编号 -> 剖面编号"), QStringLiteral("点号 -> 点号"), QStringLiteral("AB/2 -> AB/2"),
                 QStringLiteral("MN/2 -> MN/2"), QStringLiteral("视电阻率 -> 视电阻率")},
                {},
                {positions},
                QStringLiteral("将导入 2 条测线（3 行数据）。"), dtFourPoleProfile, 2});
  cases.append({QStringLiteral("libreoffice_combined.csv"), QStringLiteral("编码：UTF-8，自动识别"),
                QStringLiteral("分隔符：逗号"),
                QStringLiteral("数据类型：联合剖面法（窗口当前是电阻率测深，导入时切换到联合剖面法）"),
                {QStringLiteral("分支 -> 分支"), QStringLiteral("点号 -> 点号"), QStringLiteral("AB/2 -> AB/2"),
                 QStringLiteral("MN/2 -> MN/2"), QStringLiteral("视电阻率 -> 视电阻率")},
                {},
                {positions},
                QStringLiteral("将导入 2 个分支（4 行数据）。"), dtCombinedProfile, 2});
  cases.append({QStringLiteral("wps_tab_empty_lines.csv"), QStringLiteral("编码：UTF-8，自动识别"),
                QStringLiteral("分隔符：制表符"), QStringLiteral("数据类型：电阻率测深"),
                {QStringLiteral("Station -> 测点编号"), QStringLiteral("X -> x坐标"), QStringLiteral("Y -> y坐标"),
                 QStringLiteral("Work area -> 测区"), QStringLiteral("AB/2 -> AB/2"), QStringLiteral("Rho -> 视电阻率")},
                {},
                {QStringLiteral("第 2 行：是空行，已跳过。"), QStringLiteral("第 5 行：是空行，已跳过。"),
                 QStringLiteral("第 6 行：是空行，已跳过。")},
                QStringLiteral("将导入 2 个测点（3 行数据）。"), dtSounding, 2});
  // Refused files: nothing is imported, the type stays.
  cases.append({QStringLiteral("excel_missing_column.csv"), QStringLiteral("编码：GBK，自动识别"),
                QStringLiteral("分隔符：逗号"), QStringLiteral("数据类型：电阻率测深"),
                {QStringLiteral("测点 -> 测点编号"), QStringLiteral("X -> x坐标"), QStringLiteral("Y -> y坐标"),
                 QStringLiteral("AB/2 -> AB/2")},
                {},
                {},
                QStringLiteral("不能导入：第 1 行：按表头这是“电阻率测深”的数据，缺少必需的列：视电阻率。"), dtSounding, 0});
  const QStringList soundingColumns{QStringLiteral("测点编号 -> 测点编号"), QStringLiteral("x坐标 -> x坐标"),
                                    QStringLiteral("y坐标 -> y坐标"), QStringLiteral("AB/2 -> AB/2"),
                                    QStringLiteral("视电阻率 -> 视电阻率")};
  cases.append({QStringLiteral("excel_ragged_rows.csv"), QStringLiteral("编码：UTF-8（带 BOM），自动识别"),
                QStringLiteral("分隔符：逗号"), QStringLiteral("数据类型：电阻率测深"), soundingColumns,
                {QStringLiteral("第 3 行：有 6 个单元格，比表头的 5 列多。是不是数字里用了逗号作小数点？逗号分隔的文件里小数点要用“.”。"),
                 QStringLiteral("第 4 行：只有 4 个单元格，表头有 5 列，“视电阻率”等列缺了。")},
                {},
                kRefusedRows.arg(1).arg(1).arg(2), dtSounding, 1});
  cases.append({QStringLiteral("excel_quoted_linebreak.csv"), QStringLiteral("编码：UTF-8（带 BOM），自动识别"),
                QStringLiteral("分隔符：逗号"), QStringLiteral("数据类型：电阻率测深"),
                {QStringLiteral("测点编号 -> 测点编号"), QStringLiteral("x坐标 -> x坐标"), QStringLiteral("y坐标 -> y坐标"),
                 QStringLiteral("测区 -> 测区"), QStringLiteral("AB/2 -> AB/2"), QStringLiteral("视电阻率 -> 视电阻率")},
                {QStringLiteral("第 4 行：测区中有换行：数据文件的一行容不下它。")},
                {},
                kRefusedRows.arg(2).arg(3).arg(1), dtSounding, 2});
  cases.append({QStringLiteral("excel_repeated_spacing.csv"), QStringLiteral("编码：UTF-8（带 BOM），自动识别"),
                QStringLiteral("分隔符：逗号"), QStringLiteral("数据类型：电阻率测深"),
                {QStringLiteral("测点编号 -> 测点编号"), QStringLiteral("x -> x坐标"), QStringLiteral("y -> y坐标"),
                 QStringLiteral("AB/2 -> AB/2"), QStringLiteral("视电阻率 -> 视电阻率")},
                {QStringLiteral("第 3 行：测点“S1”第 2 个读数的 AB/2 1.55 与第 2 行的 1.5 相差不到 0.1，极距重复了。")},
                {},
                QStringLiteral("有 1 处没有通过输入检查，什么也不会导入。请在电子表格中改正后再导入。"), dtSounding, 0});
  const QStringList englishColumns{QStringLiteral("Station -> 测点编号"), QStringLiteral("X -> x坐标"),
                                   QStringLiteral("Y -> y坐标"), QStringLiteral("AB/2 -> AB/2"),
                                   QStringLiteral("Rho -> 视电阻率")};
  const QString notGbk =
      QStringLiteral("行：测点编号“ʯȪ1”中有 GBK 容不下的字符，数据文件存不下它。这个文件也可以按 GBK 编码来读，请改按 GBK 重新预览。");
  cases.append({QStringLiteral("gbk_or_utf8.csv"), QStringLiteral("编码：无法确定，请在右边选择"),
                QStringLiteral("分隔符：逗号"), QStringLiteral("数据类型：电阻率测深"), englishColumns,
                {QStringLiteral("第 2 ") + notGbk, QStringLiteral("第 3 ") + notGbk},
                {},
                QStringLiteral("不能导入：第 2 行：无法确定文件的编码：“ʯȪ1”按 UTF-8 读是这样，按 GBK 读是“石泉1”。请选择按哪一种编码读取。"),
                dtSounding, 0});
  cases.append({QStringLiteral("lost_gbk_text.csv"), QStringLiteral("编码：UTF-8（带 BOM），自动识别"),
                QStringLiteral("分隔符：逗号"), QStringLiteral("数据类型：电阻率测深"), englishColumns,
                {QStringLiteral("第 2 行：测点编号“��1”中有替换字符“�”：原来的文字已经丢失了（GBK 编码的文件被当作 UTF-8 打开后又保存过？）。")},
                {},
                QStringLiteral("文件中没有可以导入的测点。"), dtSounding, 0});
  cases.append({QStringLiteral("excel_unicode_text.txt"), QStringLiteral("编码：—"), QStringLiteral("分隔符：—"),
                QStringLiteral("数据类型：看不出"),
                {},
                {},
                {},
                QStringLiteral("不能导入：文件是 UTF-16 编码（“Unicode 文本”）的，请在电子表格中另存为“CSV UTF-8（逗号分隔）”后再导入。"),
                dtSounding, 0});
  cases.append({QStringLiteral("not_a_survey.csv"), QStringLiteral("编码：UTF-8，自动识别"), QStringLiteral("分隔符：逗号"),
                QStringLiteral("数据类型：看不出"),
                {QStringLiteral("name -> 测点编号"), QStringLiteral("value -> 不认识，不导入")},
                {},
                {},
                QStringLiteral("不能导入：第 1 行：应是表头，却没有认出一个观测值的列。第一行要写明各列的名字，例如：测点编号、x坐标、"
                               "y坐标、AB/2、视电阻率（找水数据再加 综合激电参数、半衰时、衰减度、偏离度、视极化率；剖面数据用 剖面编号、"
                               "点号、AB/2、MN/2、视电阻率）。"),
                dtSounding, 0});
  return cases;
}

QStringList Columns(const CsvImportTexts& t) {
  QStringList out;
  for (const auto& c : t.columns) out << c.first + QStringLiteral(" -> ") + c.second;
  return out;
}

}  // namespace

class CsvTest : public QObject {
  Q_OBJECT

 private slots:
  // Every data type: the survey exported with the menu, the file imported with the menu into a
  // new window gives the same stations, every float bit for bit.
  void exportThenImportGivesTheSameSurvey() {
    for (DataType type : {dtSounding, dtWaterFinding, dtFourPoleProfile, dtCombinedProfile}) {
      const StationList stations = Stations(type);
      FormDriver source;
      source.chooseDataType(type);
      QCOMPARE(source.form->survey().type(), type);
      source.load(stations);
      const QString file = source.path(QStringLiteral("导出 %1.csv").arg(type));
      source.dialogs.setNextCsvSave(file);
      source.trigger(source.form->ExportCsvAction);
      QCOMPARE(source.dialogs.messages.size(), 0);
      QCOMPARE(source.dialogs.csvSaveProposals.size(), 1);
      QFile written(file);
      QVERIFY(written.open(QIODevice::ReadOnly));
      QVERIFY(written.readAll().startsWith("\xEF\xBB\xBF"));

      FormDriver target;
      target.dialogs.setNextCsvOpen(file);
      target.dialogs.setNextCsvImport(true);
      target.trigger(target.form->ImportCsvAction);
      QCOMPARE(target.dialogs.csvPreviews.size(), 1);
      const CsvImportTexts& said = target.dialogs.csvPreviews[0];
      QVERIFY2(said.importable, qPrintable(said.summary + said.refused.join(QLatin1Char('\n'))));
      QCOMPARE(said.refused, QStringList());
      QCOMPARE(said.notes, QStringList());
      QCOMPARE(target.dialogs.messages.size(), 0);
      QCOMPARE(target.form->survey().type(), type);
      QCOMPARE(target.form->DataType->itemIndex(), static_cast<int>(type));
      QCOMPARE(Described(target.form->survey().stations()), Described(stations));
      QCOMPARE(target.form->ST->text(), QStringLiteral("已输入%1个测点").arg(stations.size()));
      QVERIFY(!target.form->survey().saved());
    }
  }

  // The proposed file, and what export says when there is nothing to write or it cannot write.
  void exportChoosesAndRefuses() {
    FormDriver d;
    d.trigger(d.form->ExportCsvAction);
    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("没有数据可以导出。")});
    QCOMPARE(d.dialogs.messages[0].caption, QStringLiteral("导出 CSV"));
    QCOMPARE(d.dialogs.csvSaveProposals.size(), 0);

    d.load(Stations(dtSounding));
    d.trigger(d.form->ExportCsvAction);  // cancelled
    // No file, no folder chosen and no Data folder beside the program: the home folder (the
    // test's HOME has no documents folder).
    QCOMPARE(d.dialogs.csvSaveProposals, QStringList{QDir::home().filePath(QStringLiteral("电阻率测深.csv"))});

    const QString missingFolder = d.path(QStringLiteral("no such folder/survey.csv"));
    d.dialogs.setNextCsvSave(missingFolder);
    d.trigger(d.form->ExportCsvAction);
    QCOMPARE(d.dialogs.messages.size(), 2);
    QCOMPARE(d.dialogs.messages[1].text, QStringLiteral("无法写入文件 %1，没有导出。").arg(missingFolder));
    QCOMPARE(d.dialogs.messages[1].icon, Dialogs::Icon::Warning);
    QVERIFY(!d.dialogs.messages[1].details.isEmpty());
    QVERIFY(!QFileInfo::exists(missingFolder));
    // The folder chosen last does not exist: the next proposal, named after the survey's file,
    // is in one that does.
    d.form->survey().saveDialog().fileName = d.path(QStringLiteral("bin/line7.ves")).toStdString();
    d.trigger(d.form->ExportCsvAction);
    QCOMPARE(d.dialogs.csvSaveProposals.last(), QDir::home().filePath(QStringLiteral("line7.csv")));
    // A folder chosen that exists is proposed again.
    QVERIFY(QDir().mkpath(d.path(QStringLiteral("tables"))));
    d.dialogs.setNextCsvSave(d.path(QStringLiteral("tables/a.csv")));
    d.trigger(d.form->ExportCsvAction);
    d.trigger(d.form->ExportCsvAction);
    QCOMPARE(d.dialogs.csvSaveProposals.last(), d.path(QStringLiteral("tables/line7.csv")));
  }

  // What the preview says of each file; the import is confirmed whenever the preview allows it,
  // and a refused file adds nothing.
  void previewOfSpreadsheetFiles() {
    for (const FixtureCase& c : FixtureCases()) {
      FormDriver d;
      d.dialogs.setNextCsvOpen(Fixture(c.file));
      d.dialogs.setNextCsvImport(true);
      d.trigger(d.form->ImportCsvAction);
      QVERIFY2(d.dialogs.csvPreviews.size() == 1, qPrintable(c.file));
      const CsvImportTexts& t = d.dialogs.csvPreviews[0];
      const QByteArray where = c.file.toUtf8();
      QCOMPARE(t.file, QStringLiteral("文件：") + Fixture(c.file));
      QVERIFY2(t.encoding == c.encoding, where + ": " + t.encoding.toUtf8());
      QVERIFY2(t.separator == c.separator, where + ": " + t.separator.toUtf8());
      QVERIFY2(t.type == c.type, where + ": " + t.type.toUtf8());
      QVERIFY2(Columns(t) == c.columns, where + ": " + Columns(t).join(QLatin1Char('\n')).toUtf8());
      QVERIFY2(t.refused == c.refused, where + ": " + t.refused.join(QLatin1Char('\n')).toUtf8());
      QVERIFY2(t.notes == c.notes, where + ": " + t.notes.join(QLatin1Char('\n')).toUtf8());
      QVERIFY2(t.summary == c.summary, where + ": " + t.summary.toUtf8());
      QCOMPARE(t.importable, c.stationsAfter > 0);
      QVERIFY2(d.form->survey().stations().size() == static_cast<std::size_t>(c.stationsAfter), where);
      QVERIFY2(d.form->survey().type() == c.typeAfter, where);
      QVERIFY2(d.form->survey().saved() == (c.stationsAfter == 0), where);
      QCOMPARE(d.dialogs.messages.size(), 0);
    }
  }

  // A file that reads both as UTF-8 and as GBK is imported once the user chooses GBK.
  void encodingChosenInThePreview() {
    FormDriver d;
    d.dialogs.setNextCsvOpen(Fixture(QStringLiteral("gbk_or_utf8.csv")));
    d.dialogs.setNextCsvImport(true, CsvEncodingChoice::Gbk);
    d.trigger(d.form->ImportCsvAction);
    QCOMPARE(d.dialogs.csvPreviews.size(), 2);
    QVERIFY(!d.dialogs.csvPreviews[0].importable);
    const CsvImportTexts& chosen = d.dialogs.csvPreviews[1];
    QCOMPARE(chosen.encoding, QStringLiteral("编码：GBK，按选择读取"));
    QCOMPARE(chosen.refused, QStringList());
    QCOMPARE(chosen.summary, QStringLiteral("将导入 1 个测点（2 行数据）。"));
    QCOMPARE(d.form->survey().stations().size(), std::size_t{1});
    QCOMPARE(GbkToUtf8(d.form->survey().stations()[0].Name), std::string("石泉1"));
  }

  // Stations at the points of the survey's own are refused in the preview; stations of another
  // type ask to save the survey's unsaved ones first, and Cancel keeps everything.
  void importMeetsTheSurveysStations() {
    FormDriver d;
    for (int i = 0; i < 2; ++i) {
      d.dialogs.setNextCsvOpen(Fixture(QStringLiteral("excel_gbk.csv")));
      d.dialogs.setNextCsvImport(true);
      d.trigger(d.form->ImportCsvAction);
    }
    QCOMPARE(d.dialogs.csvPreviews.size(), 2);
    const CsvImportTexts& again = d.dialogs.csvPreviews[1];
    QVERIFY(!again.importable);
    QCOMPARE(again.refused,
             (QStringList{QStringLiteral("第 2 行：测点“测点一”与已输入的测点“测点一”坐标一样（x、y 都相差不到 0.1），请更改点号或坐标。"),
                          QStringLiteral("第 5 行：测点“测点二”与已输入的测点“测点二”坐标一样（x、y 都相差不到 0.1），请更改点号或坐标。")}));
    QCOMPARE(again.summary, QStringLiteral("有 2 处没有通过输入检查，什么也不会导入。请在电子表格中改正后再导入。"));
    QCOMPARE(d.form->survey().stations().size(), std::size_t{2});

    const StationList before = d.form->survey().stations();
    d.dialogs.setNextCsvOpen(Fixture(QStringLiteral("excel_utf8_bom.csv")));
    d.dialogs.setNextCsvImport(true);
    d.dialogs.setNextAnswer(Dialogs::Answer::Cancel);
    d.trigger(d.form->ImportCsvAction);
    QCOMPARE(d.dialogs.csvPreviews.last().type,
             QStringLiteral("数据类型：电阻率找水。窗口当前是电阻率测深，导入时先切换到电阻率找水，窗口中的 2 个测点不再保留（没有保存的会先询问是否保存）。"));
    QCOMPARE(d.dialogs.texts(), QStringList{QStringLiteral("输入的数据尚没有保存，是否现在保存它们?")});
    QCOMPARE(d.form->survey().type(), dtSounding);
    QCOMPARE(d.form->DataType->itemIndex(), static_cast<int>(dtSounding));
    QCOMPARE(Described(d.form->survey().stations()), Described(before));
  }

  // A spreadsheet's table the header does not explain: a comment above it is passed over, the
  // columns are mapped by hand with the keyboard, a data type can be chosen; the good rows are
  // imported and the refused one listed.
  void columnsMappedAndTypeChosenInThePreview() {
    FormDriver d;
    const QString path = d.path(QStringLiteral("logger.csv"));
    {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      QVERIFY(file.write("# exported by the logger\nStation,East,North,Spacing,MN/2,Rho\nS1,0,0,1.5,0.5,100\n"
                         "S1,0,0,2.5,0.5,abc\nS1,0,0,4,0.5,130\n") > 0);
      file.close();
      QCOMPARE(file.error(), QFileDevice::NoError);
    }
    CsvImportRequest request = Request(d, path);
    CsvImportDialog dialog(request, d.form.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.ImportButton->isEnabled());
    QVERIFY(dialog.texts().notes.contains(QStringLiteral("第 1 行：是注释行，已跳过。")));
    QCOMPARE(dialog.ColumnsTable->rowCount(), 6);

    // East, North and Spacing are x, y and AB/2: chosen in each column's chooser.
    auto choose = [&](int column, const QString& label) {
      auto* box = dialog.findChild<QComboBox*>(QStringLiteral("CsvColumnField%1").arg(column));
      QVERIFY(box);
      const int target = box->findText(label);
      QVERIFY(target > 0);
      box->setFocus();
      while (box->currentIndex() != target) QTest::keyClick(box, box->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    };
    choose(2, QStringLiteral("x坐标"));
    choose(3, QStringLiteral("y坐标"));
    choose(4, QStringLiteral("AB/2"));
    QCOMPARE(dialog.ColumnsTable->item(3, 2)->text(), QStringLiteral("AB/2"));
    QVERIFY(dialog.ImportButton->isEnabled());
    QCOMPARE(dialog.texts().refused.size(), 1);
    QVERIFY(dialog.texts().refused[0].startsWith(QStringLiteral("第 4 行：")));
    QVERIFY(dialog.texts().notes.contains(QStringLiteral("第 2 行：第 5 列“MN/2”不属于电阻率测深数据，这一列不导入。")));
    QCOMPARE(dialog.SummaryLabel->text(), QStringLiteral("将导入 1 个测点（2 行数据）。被拒绝的 1 行不导入。"));

    // Read as four-pole lines it lacks their columns; back to the header's type, it imports.
    dialog.TypeBox->setFocus();
    QTest::keyClick(dialog.TypeBox, Qt::Key_Down);
    QTest::keyClick(dialog.TypeBox, Qt::Key_Down);
    QTest::keyClick(dialog.TypeBox, Qt::Key_Down);
    QCOMPARE(request.type, std::optional<DataType>(dtFourPoleProfile));
    QVERIFY(!dialog.ImportButton->isEnabled());
    QVERIFY(dialog.SummaryLabel->text().contains(QStringLiteral("选定的“四极剖面数据”数据缺少必需的列")));
    QTest::keyClick(dialog.TypeBox, Qt::Key_Home);
    QVERIFY(!request.type);
    QVERIFY(dialog.ImportButton->isEnabled());
    QTest::mouseClick(dialog.ImportButton, Qt::LeftButton);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(request.preview.stations.size(), std::size_t{1});
    QCOMPARE(request.preview.stations[0].Columns[colRho], (std::vector<float>{100, 130}));
  }

  // The real preview dialog: what it shows, the encoding chooser, the Import button.
  void previewDialog() {
    FormDriver d;
    CsvImportRequest request = Request(d, Fixture(QStringLiteral("gbk_or_utf8.csv")));
    CsvImportDialog dialog(request, d.form.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.objectName(), QStringLiteral("CsvImportDialog"));
    QVERIFY(!dialog.ImportButton->isEnabled());
    QVERIFY(dialog.RefusedBox->isVisible());
    QCOMPARE(dialog.RefusedList->count(), 2);
    QVERIFY(!dialog.NotesBox->isVisible());
    QCOMPARE(dialog.EncodingLabel->text(), QStringLiteral("编码：无法确定，请在右边选择"));
    QCOMPARE(dialog.ColumnsTable->rowCount(), 5);
    QCOMPARE(dialog.ColumnsTable->item(4, 1)->text(), QStringLiteral("Rho"));
    QCOMPARE(dialog.ColumnsTable->item(4, 2)->text(), QStringLiteral("视电阻率"));

    // GBK, the last item of the chooser, chosen with the keyboard.
    dialog.EncodingBox->setFocus();
    QTest::keyClick(dialog.EncodingBox, Qt::Key_End);
    QCOMPARE(request.encoding, CsvEncodingChoice::Gbk);
    QCOMPARE(dialog.EncodingLabel->text(), QStringLiteral("编码：GBK，按选择读取"));
    QVERIFY(!dialog.RefusedBox->isVisible());
    QCOMPARE(dialog.SummaryLabel->text(), QStringLiteral("将导入 1 个测点（2 行数据）。"));
    QVERIFY(dialog.ImportButton->isEnabled());
    QTest::mouseClick(dialog.ImportButton, Qt::LeftButton);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QVERIFY(d.form->survey().stations().empty());  // the dialog only previews
  }
};

QTEST_MAIN(CsvTest)
#include "csv_test.moc"
