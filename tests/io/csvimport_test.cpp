// The CSV import preview: how files made in spreadsheets, typed by hand or broken are
// understood, and what the preview says about each.
#include "io/csvimport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <functional>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "io/textconv.h"
#include "io/textfile.h"
#include "iotest_support.h"

using iotest::ReadFixture;

namespace {

struct ExpectedProblem {
  int row;
  bool refused;
  const char* says;  // part of the message
};

struct Case {
  const char* name;
  std::string bytes;
  CsvEncodingChoice choice = CsvEncodingChoice::Detect;
  const char* fileError = nullptr;  // part of the file error; nullptr when there is none
  CsvEncoding encoding = CsvEncoding::Utf8;
  char separator = ',';
  DataType type = dtSounding;
  std::vector<ExpectedProblem> problems = {};
  std::size_t stations = 0;
  std::function<void(const CsvPreview&)> more = {};
};

std::string Lines(std::initializer_list<std::string_view> lines, std::string_view eol = "\n") {
  std::string out;
  for (std::string_view line : lines) {
    out += line;
    out += eol;
  }
  return out;
}

std::vector<float> Column(const CsvPreview& p, std::size_t station, int k) { return p.stations.at(station).Columns[k]; }

const char* const kHeader = "station,x,y,AB/2,rho";

std::vector<Case> Cases() {
  std::vector<Case> cases;

  // ---- Files made in spreadsheets ----
  cases.push_back({.name = "Excel CSV UTF-8: BOM, CR LF, quoted fields, units, a row of empty cells",
                   .bytes = ReadFixture("csv/excel_utf8_bom.csv"),
                   .encoding = CsvEncoding::Utf8WithBom,
                   .type = dtWaterFinding,
                   .problems = {{5, false, "是空行"}},
                   .stations = 2,
                   .more = [](const CsvPreview& p) {
                     EXPECT_EQ(p.stations[0].Name, Gbk("ZK1, 北"));
                     EXPECT_EQ(p.stations[0].Operator, Gbk("王\"二\""));
                     EXPECT_EQ(p.stations[0].WorkArea, Gbk("西山"));
                     EXPECT_EQ(p.stations[0].X, 100.0f);
                     EXPECT_EQ(Column(p, 0, colAB2), (std::vector<float>{1.5f, 2.5f}));
                     EXPECT_EQ(Column(p, 0, colRho), (std::vector<float>{35.2f, 40.0f}));
                     EXPECT_EQ(Column(p, 0, colZP), (std::vector<float>{3.75f, 4.0f}));
                     EXPECT_EQ(Column(p, 0, colTH), (std::vector<float>{2.1f, 2.3f}));
                     EXPECT_EQ(Column(p, 0, colTD), (std::vector<float>{45.0f, 50.5f}));
                     EXPECT_EQ(Column(p, 0, colR), (std::vector<float>{0.5f, 0.8f}));
                     EXPECT_EQ(Column(p, 0, colIP), (std::vector<float>{1.25f, 1.5f}));
                     EXPECT_TRUE(Column(p, 0, colPointNo).empty());
                     EXPECT_EQ(p.stations[0].SpacingCount, 2);
                     EXPECT_EQ(p.stations[1].Name, "ZK2");
                     EXPECT_EQ(p.stationRows[1].readings, std::vector<int>{4});
                   }});
  cases.push_back({.name = "Excel on Chinese Windows: GBK, each station named once, a row-number column",
                   .bytes = ReadFixture("csv/excel_gbk.csv"),
                   .encoding = CsvEncoding::Gbk,
                   .problems = {{1, false, "第 7 列“备注”不是认识的列名"}},
                   .stations = 2,
                   .more = [](const CsvPreview& p) {
                     EXPECT_EQ(p.stations[0].Name, Gbk("测点一"));
                     EXPECT_EQ(Column(p, 0, colAB2), (std::vector<float>{1.5f, 2.5f, 4.0f}));
                     EXPECT_EQ(Column(p, 0, colRho), (std::vector<float>{100.0f, 120.0f, 150.0f}));
                     EXPECT_TRUE(Column(p, 0, colIP).empty());  // a .ves station holds no IP column
                     EXPECT_EQ(p.stationRows[0].readings, (std::vector<int>{2, 3, 4}));
                     EXPECT_EQ(p.stations[1].Name, Gbk("测点二"));
                     EXPECT_EQ(p.stations[1].X, 50.0f);
                     EXPECT_EQ(p.columns[0].field, CsvField::RowNumber);
                     EXPECT_FALSE(p.columns[0].used);
                     EXPECT_EQ(p.columns[6].field, CsvField::Unknown);
                     EXPECT_EQ(p.columns[6].header, "备注");
                   }});
  cases.push_back({.name = "LibreOffice, comma-decimal locale: ';', quoted texts, LF, a line without x and y",
                   .bytes = ReadFixture("csv/libreoffice_semicolon.csv"),
                   .separator = ';',
                   .type = dtFourPoleProfile,
                   .problems = {{1, false, "没有 x坐标 或 y坐标 列"}},
                   .stations = 2,
                   .more = [](const CsvPreview& p) {
                     EXPECT_TRUE(p.commaDecimals);
                     EXPECT_TRUE(p.positionsAssigned);
                     EXPECT_EQ(p.stations[0].Name, "100");
                     EXPECT_EQ(p.stations[0].Profile, "100");
                     EXPECT_EQ(p.stations[0].X, 0.0f);
                     EXPECT_EQ(p.stations[1].X, 50.0f);
                     EXPECT_EQ(Column(p, 0, colPointNo), (std::vector<float>{20.0f, 40.0f}));
                     EXPECT_EQ(Column(p, 0, colMN2), (std::vector<float>{10.0f, 10.0f}));
                     EXPECT_EQ(Column(p, 0, colRho), (std::vector<float>{123.5f, 130.25f}));
                     EXPECT_EQ(Column(p, 0, colZP), (std::vector<float>{0.0f, 0.0f}));
                   }});

  // ---- Plain layouts typed by hand ----
  cases.push_back({.name = "English headers in any order; rows of a station apart from each other",
                   .bytes = Lines({"rho,AB/2,Y,x,Station", "100,1.5,0,10,S1", "90,1.5,0,60,S2", "120,2.5,0,10,S1"}),
                   .stations = 2,
                   .more = [](const CsvPreview& p) {
                     EXPECT_EQ(p.stations[0].Name, "S1");
                     EXPECT_EQ(Column(p, 0, colAB2), (std::vector<float>{1.5f, 2.5f}));
                     EXPECT_EQ(Column(p, 0, colRho), (std::vector<float>{100.0f, 120.0f}));
                     EXPECT_EQ(p.stationRows[0].readings, (std::vector<int>{2, 4}));
                     EXPECT_EQ(p.stations[1].X, 60.0f);
                   }});
  cases.push_back({.name = "GBK with ';' and decimal commas",
                   .bytes = Gbk(Lines({"测点;X;Y;AB/2;视电阻率", "测点一;0;-2,5;1,5;35,2"}, "\r\n")),
                   .encoding = CsvEncoding::Gbk,
                   .separator = ';',
                   .stations = 1,
                   .more = [](const CsvPreview& p) {
                     EXPECT_TRUE(p.commaDecimals);
                     EXPECT_EQ(p.stations[0].Name, Gbk("测点一"));
                     EXPECT_EQ(p.stations[0].Y, -2.5f);
                     EXPECT_EQ(Column(p, 0, colAB2), std::vector<float>{1.5f});
                     EXPECT_EQ(Column(p, 0, colRho), std::vector<float>{35.2f});
                   }});
  cases.push_back({.name = "tab separated water finding without a station column: named by x as typed",
                   .bytes = Lines({"X\tY\tAB/2\t视电阻率\tZP\tIP\tTH\tTD\tR", "100.50\t0\t1.5\t35.2\t3.75\t1.25\t2.1\t45\t0.5",
                                   " 100.50 \t0\t2.5\t40\t4\t1.5\t2.3\t50.5\t0.8"}),
                   .separator = '\t',
                   .type = dtWaterFinding,
                   .stations = 1,
                   .more = [](const CsvPreview& p) {
                     EXPECT_EQ(p.stations[0].Name, "100.50");
                     EXPECT_EQ(Column(p, 0, colIP), (std::vector<float>{1.25f, 1.5f}));
                   }});
  cases.push_back({.name = "combined profile: branches 1 and 2 read as A and B",
                   .bytes = Lines({"分支,点号,AB/2,MN/2,视电阻率,x,y", "1,20,50,10,100,0,0", "2,20,50,10,90,50,0",
                                   "C,40,50,10,80,0,0", ",60,50,10,70,,"}),
                   .type = dtCombinedProfile,
                   .problems = {{4, true, "分支“C”应是 A 或 B"}, {5, true, "接续的是第 4 行的测点，而那一行被拒绝了"}},
                   .stations = 2,
                   .more = [](const CsvPreview& p) {
                     EXPECT_EQ(p.stations[0].Name, "A");
                     EXPECT_EQ(p.stations[1].Name, "B");
                   }});
  cases.push_back({.name = "Excel's sep= line",
                   .bytes = Lines({"sep=;", "station;x;y;AB/2;rho", "S1;0;0;1,5;100"}),
                   .separator = ';',
                   .stations = 1,
                   .more = [](const CsvPreview& p) {
                     EXPECT_EQ(p.headerRow, 2);
                     EXPECT_EQ(Column(p, 0, colAB2), std::vector<float>{1.5f});
                   }});
  cases.push_back({.name = "old Mac line ends (CR alone)",
                   .bytes = Lines({kHeader, "S1,0,0,1.5,100", "S1,0,0,2.5,100"}, "\r"),
                   .stations = 1,
                   .more = [](const CsvPreview& p) { EXPECT_EQ(p.stationRows[0].readings, (std::vector<int>{2, 3})); }});
  cases.push_back({.name = "a row naming a station without readings, then its readings",
                   .bytes = Lines({kHeader, "S1,0,0,,", "S1,0,0,1.5,100", "S2,50,0,,"}),
                   .problems = {{2, false, "没有观测值，只取了它的测点信息"}},
                   .stations = 2,
                   .more = [](const CsvPreview& p) {
                     EXPECT_EQ(p.stations[0].SpacingCount, 1);
                     EXPECT_EQ(p.stations[1].SpacingCount, 0);
                     EXPECT_TRUE(Column(p, 1, colAB2).empty());
                   }});

  // ---- Bad input ----
  cases.push_back({.name = "missing column",
                   .bytes = Lines({"station,x,y,AB/2", "S1,0,0,1.5"}),
                   .fileError = "第 1 行：按表头这是“电阻率测深”的数据，缺少必需的列：视电阻率。"});
  cases.push_back({.name = "water finding with one IP column of five",
                   .bytes = Lines({"station,x,y,AB/2,rho,IP", "S1,0,0,1.5,100,1"}),
                   .fileError = "缺少必需的列：综合激电参数、半衰时、衰减度、偏离度。",
                   .type = dtWaterFinding});
  cases.push_back({.name = "no header at all: the first row is data",
                   .bytes = Lines({"S1,0,0,1.5,100"}),
                   .fileError = "第 1 行：应是表头，却没有认出一个观测值的列"});
  cases.push_back({.name = "IP and profile columns together",
                   .bytes = Lines({"点号,AB/2,MN/2,rho,IP", "1,2,3,4,5"}),
                   .fileError = "表头既有激电参数列（视极化率）又有剖面的列（点号）"});
  cases.push_back({.name = "one field in two columns",
                   .bytes = Lines({"station,x,y,AB/2,rho,电阻率", "S1,0,0,1.5,100,100"}),
                   .fileError = "第 5 列和第 6 列都是“视电阻率”"});
  cases.push_back({.name = "unknown header: a note, the import goes ahead",
                   .bytes = Lines({"station,x,y,AB/2,rho,备注,", "S1,0,0,1.5,100,雨后,"}),
                   .problems = {{1, false, "第 6 列“备注”不是认识的列名，这一列不导入"}},
                   .stations = 1});
  cases.push_back({.name = "data under a column without a header",
                   .bytes = Lines({"station,x,y,AB/2,rho,", "S1,0,0,1.5,100,7"}),
                   .problems = {{1, false, "第 6 列没有列名，其中的数据不导入"}},
                   .stations = 1});
  cases.push_back({.name = "ragged rows",
                   .bytes = Lines({kHeader, "S1,0,0,1.5", "S1,0,0,2,5,100", "S1,0,0,3,100,,"}),
                   .problems = {{2, true, "只有 4 个单元格，表头有 5 列，“视电阻率”等列缺了"},
                                {3, true, "有 6 个单元格，比表头的 5 列多。是不是数字里用了逗号作小数点"}},
                   .stations = 1});
  cases.push_back({.name = "quoted separators, quotes and line breaks",
                   .bytes = Lines({kHeader, "\"S1, north\",0,0,1.5,100", "\"S2\r\nsouth\",50,0,1.5,100",
                                   "\"S3 \"\"q\"\"\",100,0,\"2.5\",100"},
                                  "\r\n"),
                   .problems = {{3, true, "测点编号中有换行"}},
                   .stations = 2,
                   .more = [](const CsvPreview& p) {
                     EXPECT_EQ(p.stations[0].Name, "S1, north");
                     EXPECT_EQ(p.stations[1].Name, "S3 \"q\"");
                     EXPECT_EQ(p.stationRows[1].firstRow, 4);  // the line break inside quotes is no row
                   }});
  cases.push_back({.name = "control characters in names and texts, as the commit refuses them",
                   .bytes = Lines({"station,x,y,AB/2,rho,工区", "S1,0,0,1.5,100,north", "\"S\x1b[31m2\",50,0,1.5,100,north",
                                   "\"S\t3\",100,0,1.5,100,north", "S4\x7f,150,0,1.5,100,north",
                                   "S5,200,0,1.5,100,ea\x07st"}),
                   .problems = {{3, true, "测点编号中有控制字符"},
                                {4, true, "测点编号中有控制字符"},
                                {5, true, "测点编号中有控制字符"},
                                {6, true, "测区中有控制字符"}},
                   .stations = 1});
  cases.push_back({.name = "decimal comma in a comma-separated file",
                   .bytes = Lines({kHeader, "S1,0,0,\"1,5\",100"}),
                   .problems = {{2, true, "AB/2“1,5”不是数字：逗号分隔的文件里小数点要用“.”"}}});
  cases.push_back({.name = "grouped thousands in a ';' file",
                   .bytes = Lines({"station;x;y;AB/2;rho", "S1;0;0;1,5;1.234,5"}),
                   .separator = ';',
                   .problems = {{2, true, "视电阻率“1.234,5”不是数字：数字里不要用千位分隔符"}}});
  cases.push_back({.name = "numbers that are no numbers, cells left empty",
                   .bytes = Lines({kHeader, "S1,0,0,nan,100", "S1,abc,0,1.5,100", "S1,,0,1.5,100", "S1,0,0,1.5,"}),
                   .problems = {{2, true, "AB/2“nan”不是数字"},
                                {3, true, "x坐标“abc”不是数字"},
                                {4, true, "x坐标是空的"},
                                {5, true, "视电阻率是空的"}}});
  cases.push_back({.name = "empty lines",
                   .bytes = Lines({"", kHeader, "", "S1,0,0,1.5,100", ",,,,", "  ", "S1,0,0,2.5,100"}),
                   .problems = {{1, false, "是空行"}, {3, false, "是空行"}, {5, false, "是空行"}, {6, false, "是空行"}},
                   .stations = 1});
  cases.push_back({.name = "readings under no station",
                   .bytes = Lines({kHeader, ",,,1.5,100", "S1,0,0,1.5,100"}),
                   .problems = {{2, true, "没有测点信息，上面也没有可以接续的测点"}},
                   .stations = 1});
  cases.push_back({.name = "the header again",
                   .bytes = Lines({kHeader, "S1,0,0,1.5,100", kHeader}),
                   .problems = {{3, true, "与表头（第 1 行）一样"}},
                   .stations = 1});
  cases.push_back({.name = "a station's texts differ between its rows",
                   .bytes = Lines({"station,x,y,area,AB/2,rho", "S1,0,0,北,1.5,100", "S1,0,0,,2.5,100", "S1,0,0,南,3,100"}),
                   .problems = {{4, true, "测区“南”与同一测点第 2 行的“北”不一样"}},
                   .stations = 1,
                   .more = [](const CsvPreview& p) { EXPECT_EQ(Column(p, 0, colAB2), (std::vector<float>{1.5f, 2.5f})); }});
  cases.push_back({.name = "a quote inside an unquoted cell",
                   .bytes = Lines({kHeader, "S1,0,0,1.5,100", "S\"2,0,0,1.5,100"}),
                   .fileError = "第 3 行：引号用得不对"});
  cases.push_back({.name = "a quote never closed",
                   .bytes = Lines({kHeader, "S1,0,0,1.5,100", "\"S2,0,0,1.5,100", "S3,0,0,1.5,100"}),
                   .fileError = "第 3 行：有一个引号直到文件末尾都没有对应的右引号"});

  // ---- Encodings ----
  // GBK 谢 is D0 BB, which is also UTF-8: Cyrillic л.
  const std::string cyrillicOrGbk = std::string(kHeader) + "\n" + Gbk("谢") + ",0,0,1.5,100\n";
  cases.push_back({.name = "GBK bytes that are also valid UTF-8: not guessed at",
                   .bytes = cyrillicOrGbk,
                   .fileError = "第 2 行：无法确定文件的编码：“л”按 UTF-8 读是这样，按 GBK 读是“谢”。请选择",
                   .more = [](const CsvPreview& p) { EXPECT_TRUE(p.encodingUndecided); }});
  cases.push_back({.name = "the same file read as GBK when asked",
                   .bytes = cyrillicOrGbk,
                   .choice = CsvEncodingChoice::Gbk,
                   .encoding = CsvEncoding::Gbk,
                   .stations = 1,
                   .more = [](const CsvPreview& p) { EXPECT_EQ(p.stations[0].Name, Gbk("谢")); }});
  cases.push_back({.name = "the same file read as UTF-8 when asked",
                   .bytes = cyrillicOrGbk,
                   .choice = CsvEncodingChoice::Utf8,
                   .stations = 1,
                   .more = [](const CsvPreview& p) { EXPECT_EQ(p.stations[0].Name, Gbk("л")); }});
  cases.push_back({.name = "a unit in a known header is no reason to ask",
                   .bytes = Lines({"station,x,y,AB/2,Rho (Ω·m)", "S1,0,0,1.5,100"}),
                   .stations = 1});
  cases.push_back({.name = "UTF-8 text GBK cannot hold, in bytes that are also GBK",
                   .bytes = std::string(kHeader) + "\n한한,0,0,1.5,100\n",
                   .problems = {{2, true, "测点编号“한한”中有 GBK 容不下的字符，数据文件存不下它。这个文件也可以按 GBK 编码来读"}},
                   .more = [](const CsvPreview& p) { EXPECT_TRUE(p.gbkReadingPossible); }});
  cases.push_back({.name = "GBK text in a file marked UTF-8",
                   .bytes = "\xEF\xBB\xBF" + std::string(kHeader) + "\n" + Gbk("测点") + ",0,0,1.5,100\n",
                   .encoding = CsvEncoding::Utf8WithBom,
                   .problems = {{2, true, "测点编号“\\xB2\\xE2\\xB5\\xE3”中有不是 UTF-8 文字的字节"}}});
  cases.push_back({.name = "GBK text already lost to replacement characters",
                   .bytes = std::string(kHeader) + "\n\xEF\xBF\xBD\xEF\xBF\xBD,0,0,1.5,100\n",
                   .problems = {{2, true, "中有替换字符“�”：原来的文字已经丢失了"}}});
  cases.push_back({.name = "bytes that are neither UTF-8 nor GBK",
                   .bytes = std::string(kHeader) + "\nS\xFF,0,0,1.5,100\n",
                   .encoding = CsvEncoding::Gbk,
                   .problems = {{2, true, "测点编号“S\\xFF”中有不是 GBK 文字的字节"}}});

  // ---- Tables as spreadsheets keep them ----
  cases.push_back({.name = "comments and a title above the header",
                   .bytes = Lines({"# line 7, survey of 2026-12-01", "Sounding survey, Dongshan", "",
                                   kHeader, "S1,0,0,1.5,100"}),
                   .problems = {{1, false, "是注释行，已跳过"}, {2, false, "在表头之上，不是表头，已跳过"},
                                {3, false, "是空行"}},
                   .stations = 1,
                   .more = [](const CsvPreview& p) { EXPECT_EQ(p.headerRow, 4); }});
  cases.push_back({.name = "a sounding table with an MN/2 column",
                   .bytes = Lines({"测点编号,x,y,AB/2,MN/2,视电阻率", "S1,0,0,1.5,0.5,100", "S1,0,0,2.5,0.5,120"}),
                   .type = dtSounding,
                   .problems = {{1, false, "第 5 列“MN/2”不属于电阻率测深数据，这一列不导入"}},
                   .stations = 1,
                   .more = [](const CsvPreview& p) { EXPECT_EQ(Column(p, 0, colRho), (std::vector<float>{100, 120})); }});
  cases.push_back({.name = "good rows imported, bad ones listed",
                   .bytes = Lines({kHeader, "S1,0,0,1.5,100", "S1,0,0,2.5,abc", "S2,50,0,1.5,80", "S2,50,0,x,90"}),
                   .problems = {{3, true, "视电阻率"}, {5, true, "AB/2"}},
                   .stations = 2,
                   .more = [](const CsvPreview& p) {
                     EXPECT_EQ(Column(p, 0, colRho), (std::vector<float>{100}));
                     EXPECT_EQ(Column(p, 1, colRho), (std::vector<float>{80}));
                     EXPECT_EQ(p.RefusedRowCount(), 2u);
                   }});

  // ---- Not a CSV table ----
  cases.push_back({.name = "empty file", .bytes = "", .fileError = "文件是空的"});
  cases.push_back({.name = "nothing but a byte-order mark and empty lines",
                   .bytes = "\xEF\xBB\xBF\r\n\r\n",
                   .fileError = "文件中没有任何内容",
                   .encoding = CsvEncoding::Utf8WithBom,
                   .problems = {{1, false, "是空行"}, {2, false, "是空行"}}});
  cases.push_back({.name = "header only", .bytes = Lines({kHeader}), .fileError = "文件只有表头（第 1 行），没有数据"});
  cases.push_back({.name = "UTF-16", .bytes = std::string("\xFF\xFEs\0t\0", 6), .fileError = "UTF-16"});
  cases.push_back({.name = "Excel workbook", .bytes = std::string("PK\x03\x04\x14\0", 6), .fileError = "Excel 工作簿"});
  return cases;
}

TEST(CsvPreview, WhatThePreviewSaysOfEachFile) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    const CsvPreview p = PreviewCsv(c.bytes, c.choice);
    if (c.fileError) {
      EXPECT_NE(p.fileError.find(c.fileError), std::string::npos) << p.fileError;
      EXPECT_TRUE(p.stations.empty());
      EXPECT_FALSE(p.CanImport());
    } else {
      EXPECT_EQ(p.fileError, "");
      EXPECT_EQ(p.encoding, c.encoding);
      EXPECT_EQ(p.separator, c.separator);
      EXPECT_TRUE(p.typeKnown);
    }
    if (p.typeKnown) {
      EXPECT_EQ(p.type, c.type);
    }
    ASSERT_EQ(p.problems.size(), c.problems.size()) << (p.problems.empty() ? "" : p.problems.front().message);
    bool refused = false;
    for (std::size_t i = 0; i < c.problems.size(); ++i) {
      const CsvRowProblem& got = p.problems[i];
      const ExpectedProblem& want = c.problems[i];
      EXPECT_EQ(got.row, want.row) << got.message;
      EXPECT_EQ(got.refused, want.refused) << got.message;
      EXPECT_EQ(got.message.rfind("第 " + std::to_string(want.row) + " 行：", 0), 0u) << got.message;
      EXPECT_NE(got.message.find(want.says), std::string::npos) << got.message;
      refused = refused || want.refused;
    }
    EXPECT_EQ(p.stations.size(), c.stations);
    EXPECT_EQ(p.stationRows.size(), p.stations.size());
    // The good rows are imported, whatever rows are refused.
    EXPECT_EQ(p.CanImport(), !c.fileError && c.stations > 0);
    EXPECT_EQ(p.RefusedRowCount() > 0, refused);
    if (c.more) c.more(p);
  }
}

// Every number reads as the window reads what is typed (StrToFloat), bit for bit: plain
// decimals of up to and beyond 2^24 in digits and 10 decimals, and other forms.
TEST(CsvPreview, NumbersReadAsTheWindowReadsThem) {
  std::vector<std::string> texts{"16777216", "16777217", "0.16777217", "-0", "0.0000000001", "0.00000000001",
                                 "123456789012345678", "18446744073709551616", "0.18446744073709551617", "00012.50", ".5", "5.", "1e5", "+3", "-7.25E-3", " 42 "};
  std::mt19937 random(7);
  for (int decimals = 0; decimals <= 11; ++decimals) {
    for (int i = 0; i < 400; ++i) {
      std::string digits = std::to_string(random() % (1u << 25));
      if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals))
          digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
      }
      texts.push_back((random() % 2 ? "-" : "") + digits);
    }
  }
  std::string csv = std::string(kHeader) + "\n";
  for (std::size_t i = 0; i + 1 < texts.size(); i += 2) csv += "S1,0,0," + texts[i] + "," + texts[i + 1] + "\n";
  const CsvPreview p = PreviewCsv(csv);
  ASSERT_EQ(p.fileError, "");
  ASSERT_EQ(p.stations.size(), 1u);
  const auto& ab2 = p.stations[0].Columns[colAB2];
  const auto& rho = p.stations[0].Columns[colRho];
  ASSERT_EQ(ab2.size(), texts.size() / 2);
  for (std::size_t i = 0; i + 1 < texts.size(); i += 2) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(ab2[i / 2]), std::bit_cast<std::uint32_t>(StrToFloat(texts[i]))) << texts[i];
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rho[i / 2]), std::bit_cast<std::uint32_t>(StrToFloat(texts[i + 1])))
        << texts[i + 1];
  }
}

TEST(CsvPreview, RefusedRowsAreCountedOncePerRow) {
  const CsvPreview p = PreviewCsv(Lines({kHeader, "S1,x,y,a,b", "S1,0,0,1.5,100", "S2,1,0,,"}));
  EXPECT_EQ(p.problems.size(), 4u);  // four cells of row 2
  EXPECT_EQ(p.RefusedRowCount(), 1u);
  // Rows 3 and 4 are good (row 4 names a station without readings): they are imported, row 2
  // is left out.
  EXPECT_TRUE(p.CanImport());
  ASSERT_EQ(p.stations.size(), 2u);
  EXPECT_EQ(p.ImportedReadings(), 1u);
}

TEST(CsvPreview, FileThatCannotBeOpened) {
  const CsvPreview p = PreviewCsvFile("/nonexistent-folder/survey.csv");
  EXPECT_NE(p.fileError.find("无法打开文件 /nonexistent-folder/survey.csv"), std::string::npos) << p.fileError;
  EXPECT_FALSE(p.CanImport());
}

// Files of no text are refused as when they were read whole, a large one at its first piece.
TEST(CsvPreview, FilesOfNoTextAreRefusedAsWhenReadWhole) {
  iotest::TempDir dir;
  std::string table = std::string(kHeader) + "\n";
  while (table.size() < 3 * kReadPieceBytes) table += "S1,0,0,1.5,100\n";
  std::string zeroInside = table;
  zeroInside[2 * kReadPieceBytes + 5] = '\0';
  struct FileCase {
    const char* name;
    std::string bytes;
    const char* says;
  };
  const FileCase cases[] = {
      {"zero byte in the third piece", zeroInside, "NUL 字节"},
      {"UTF-16", std::string("\xFF\xFEs\0t\0", 6) + table, "UTF-16"},
      {"Excel workbook", std::string("PK\x03\x04\x14\0", 6) + table, "Excel 工作簿"},
      {"a zero byte only", std::string(1, '\0'), "NUL 字节"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.path("file.csv");
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out << c.bytes;
      ASSERT_TRUE(out.flush());
    }
    const CsvPreview p = PreviewCsvFile(path);
    EXPECT_NE(p.fileError.find(c.says), std::string::npos) << p.fileError;
    EXPECT_EQ(p.fileError, PreviewCsv(c.bytes).fileError);
  }
  // 1 GiB of zero bytes after the header.
  const std::string path = dir.path("zeros.csv");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kHeader << "\n";
  }
  ASSERT_EQ(::truncate(path.c_str(), off_t{1} << 30), 0);
  EXPECT_NE(PreviewCsvFile(path).fileError.find("NUL 字节"), std::string::npos);
}

TEST(CsvColumns, HeadersUnderstood) {
  struct HeaderCase {
    const char* header;
    CsvField field;
  };
  for (const HeaderCase& c : std::vector<HeaderCase>{{"测点编号 Station", CsvField::Station},
                                                     {"测点Station", CsvField::Station},
                                                     {" STATION ", CsvField::Station},
                                                     {"x坐标 X", CsvField::X},
                                                     {"X (m)", CsvField::X},
                                                     {"点位x-坐标", CsvField::X},
                                                     {"AB/2（m）", CsvField::AB2},
                                                     {"ab_2", CsvField::AB2},
                                                     {"AB2 [m]", CsvField::AB2},
                                                     {"极距 AB/2", CsvField::AB2},
                                                     {"视电阻率(Ω·m)", CsvField::Rho},
                                                     {"Apparent resistivity", CsvField::Rho},
                                                     {"测区 Work area", CsvField::WorkArea},
                                                     {"Point No.", CsvField::PointNo},
                                                     {"测线", CsvField::Profile},
                                                     {"视极化率 IP", CsvField::IP},
                                                     {"视电阻率 IP", CsvField::Unknown},  // two names of two fields
                                                     {"(m)", CsvField::Unknown},
                                                     {"", CsvField::Unknown},
                                                     {"序号", CsvField::RowNumber}})
    EXPECT_EQ(CsvFieldOfHeader(c.header), c.field) << c.header;
  // Every header the export writes is understood as its own field.
  for (DataType type : {dtSounding, dtWaterFinding, dtFourPoleProfile, dtCombinedProfile})
    for (CsvField f : CsvExportColumns(type)) EXPECT_EQ(CsvFieldOfHeader(CsvHeaderText(f)), f) << CsvHeaderText(f);
}

}  // namespace

// The user's choices in the preview: a data type chosen reads the table as that type (its
// columns that type does not hold noted), and columns mapped by hand are read as mapped,
// whatever their headers say; a column mapped to nothing is not imported.
TEST(CsvPreview, ChosenTypeAndColumns) {
  const std::string table = Lines({"Station,East,North,Spacing,Rho,MN/2", "S1,0,0,1.5,100,0.5", "S1,0,0,2.5,120,0.5"});
  const CsvPreview guessed = PreviewCsv(table);
  ASSERT_EQ(guessed.columns.size(), 6u);
  EXPECT_NE(guessed.fileError, "");  // x, y and AB/2 are not recognised

  using F = CsvField;
  CsvChoices choices;
  choices.fields = {F::Station, F::X, F::Y, F::AB2, F::Rho, F::Unknown};
  const CsvPreview mapped = PreviewCsv(table, choices);
  ASSERT_EQ(mapped.fileError, "");
  EXPECT_EQ(mapped.type, dtSounding);
  ASSERT_EQ(mapped.stations.size(), 1u);
  EXPECT_EQ(Column(mapped, 0, colAB2), (std::vector<float>{1.5f, 2.5f}));
  EXPECT_FALSE(mapped.columns[5].used);

  // Mapped as a four-pole line, the MN/2 column is read; chosen as a sounding, it is noted.
  choices.fields = {F::Station, F::X, F::Y, F::PointNo, F::Rho, F::MN2};
  const CsvPreview profileGuess = PreviewCsv(table, choices);
  EXPECT_NE(profileGuess.fileError, "");  // a four-pole line needs AB/2
  choices.fields = {F::Station, F::X, F::Y, F::AB2, F::Rho, F::MN2};
  EXPECT_EQ(PreviewCsv(table, choices).type, dtSounding);
  choices.type = dtFourPoleProfile;
  choices.fields = {F::Station, F::X, F::Y, F::PointNo, F::Rho, F::MN2};
  EXPECT_NE(PreviewCsv(table, choices).fileError.find("AB/2"), std::string::npos);
  choices.type = dtWaterFinding;
  choices.fields = {F::Station, F::X, F::Y, F::AB2, F::Rho, F::MN2};
  const CsvPreview water = PreviewCsv(table, choices);
  EXPECT_EQ(water.type, dtWaterFinding);
  EXPECT_NE(water.fileError.find("缺少"), std::string::npos) << water.fileError;  // the IP columns
}
