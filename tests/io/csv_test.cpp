// CSV export, and export followed by import giving back the same survey.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <unistd.h>

#include "io/atomicfile.h"
#include "io/csvcolumns.h"
#include "io/csvexport.h"
#include "session/datatypespec.h"
#include "io/csvimport.h"
#include "io/textconv.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own under the temporary folder, removed at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() / ("fieldinput-csv-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

sdata Station(std::string name, float x, float y) {
  sdata s;
  s.Name = std::move(name);
  s.X = x;
  s.Y = y;
  s.WorkArea = Gbk("西山");
  s.Profile = "L1";
  s.Operator = Gbk("王二");
  s.Instrument = "DZD-6A";
  return s;
}

// Appends readings as the commit makes them for the type: the grid's columns from values,
// 0.0 in the columns the type fills with zeros.
void AddReading(sdata& s, DataType type, const std::vector<float>& values) {
  const GridLayout& layout = LayoutFor(type);
  std::size_t v = 0;
  for (int g = 1; g < layout.gridColumns; ++g) s.Columns[layout.columnOf[g]].push_back(values.at(v++));
  for (int k : layout.zeroFilled) s.Columns[k].push_back(0.0f);
  ++s.SpacingCount;
}

std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

// Stations equal field by field, every float bit for bit (so -0 is not 0).
void ExpectSameBits(const StationList& got, const StationList& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    const sdata& a = got[i];
    const sdata& b = want[i];
    EXPECT_EQ(a.Name, b.Name) << i;
    EXPECT_EQ(Bits(a.X), Bits(b.X)) << i;
    EXPECT_EQ(Bits(a.Y), Bits(b.Y)) << i;
    EXPECT_EQ(a.WorkArea, b.WorkArea) << i;
    EXPECT_EQ(a.Profile, b.Profile) << i;
    EXPECT_EQ(a.Operator, b.Operator) << i;
    EXPECT_EQ(a.Instrument, b.Instrument) << i;
    EXPECT_EQ(a.SpacingCount, b.SpacingCount) << i;
    for (int k = 0; k < kColumnCount; ++k) {
      ASSERT_EQ(a.Columns[k].size(), b.Columns[k].size()) << i << " column " << k;
      for (std::size_t r = 0; r < b.Columns[k].size(); ++r)
        ASSERT_EQ(Bits(a.Columns[k][r]), Bits(b.Columns[k][r]))
            << i << " column " << k << " row " << r << ": " << a.Columns[k][r] << " vs " << b.Columns[k][r];
    }
  }
}

// A survey of the type as the window builds it, with texts that need quoting and values that
// are hard to write back: random bit patterns over the whole float range, subnormals, the
// largest float, -0.
StationList SurveyOf(DataType type) {
  std::mt19937 random(1234u + static_cast<unsigned>(type));
  auto anyFloat = [&random] {
    while (true) {
      const float f = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
      if (std::isfinite(f)) return f;
    }
  };
  const std::vector<float> awkward{0.1f, 1e-45f, -1e-45f, std::numeric_limits<float>::max(),
                                   std::numeric_limits<float>::min(), -0.0f, 16777217.0f, 1.0f / 3.0f,
                                   1e-5f, 123456.789f};
  const int readingColumns = LayoutFor(type).gridColumns - 1;

  StationList survey;
  std::vector<std::string> names;
  if (type == dtCombinedProfile) {
    names = {"A", "B", "A"};
  } else {
    names = {Gbk("测点 1, 北"), Gbk("他说\"好\""), " S3 ", "", "S5"};
  }
  const std::vector<std::pair<float, float>> points{{-12.5f, 0.1f}, {-0.0f, 1e-45f}, {0.1f, -7.25f},
                                                    {std::numeric_limits<float>::max(), 3.0f}, {1e9f, 2.5e-8f}};
  for (std::size_t i = 0; i < names.size(); ++i) {
    sdata s = Station(names[i], points[i].first, points[i].second);
    if (type == dtFourPoleProfile) s.Profile = s.Name;  // a four-pole line is named by its profile
    if (i == 1) {
      s.WorkArea.clear();  // an empty text
      s.Operator = Gbk("“全角”，逗号");
    }
    if (i == 2) {
      survey.push_back(std::move(s));  // a station without readings
      continue;
    }
    const std::size_t rows = i == 0 ? 2000 : 49;
    for (std::size_t r = 0; r < rows; ++r) {
      std::vector<float> values;
      for (int c = 0; c < readingColumns; ++c)
        values.push_back(r < awkward.size() && c == 1 ? awkward[r] : anyFloat());
      AddReading(s, type, values);
    }
    survey.push_back(std::move(s));
  }
  return survey;
}

TEST(CsvExport, LayoutOfASoundingSurvey) {
  sdata s1 = Station(Gbk("测点 1, 北"), 100, 0.5f);
  AddReading(s1, dtSounding, {1.5f, 35.2f});
  AddReading(s1, dtSounding, {0.1f, 1e-5f});
  sdata s2 = Station("S2", -12.5f, 0);
  s2.Operator = Gbk("他说\"好\"");
  s2.Instrument = " DZD ";
  const std::string csv = BuildCsvExport(dtSounding, {s1, s2});
  EXPECT_EQ(csv,
            "\xEF\xBB\xBF"
            "测点编号 Station,x坐标 X,y坐标 Y,测区 WorkArea,剖面编号 Profile,操作员 Operator,仪器类型 Instrument,"
            "极距 AB/2,视电阻率 Rho\r\n"
            "\"测点 1, 北\",100,0.5,西山,L1,王二,DZD-6A,1.5,35.2\r\n"
            "\"测点 1, 北\",100,0.5,西山,L1,王二,DZD-6A,0.1,1e-05\r\n"
            "S2,-12.5,0,西山,L1,\"他说\"\"好\"\"\",\" DZD \",,\r\n");
}

TEST(CsvExport, HeaderOfEachDataType) {
  auto headerOf = [](DataType type) {
    const std::string csv = BuildCsvExport(type, {});
    return csv.substr(3, csv.find("\r\n") - 3);
  };
  const std::string station = "x坐标 X,y坐标 Y,测区 WorkArea,剖面编号 Profile,操作员 Operator,仪器类型 Instrument,";
  EXPECT_EQ(headerOf(dtWaterFinding), "测点编号 Station," + station +
                                          "极距 AB/2,视电阻率 Rho,综合激电参数 ZP,半衰时 TH,衰减度 TD,偏离度 R,视极化率 IP");
  EXPECT_EQ(headerOf(dtFourPoleProfile), "测点编号 Station," + station + "点号 PointNo,极距 AB/2,测量极距 MN/2,视电阻率 Rho");
  EXPECT_EQ(headerOf(dtCombinedProfile), "分支 Branch," + station + "点号 PointNo,极距 AB/2,测量极距 MN/2,视电阻率 Rho");
}

TEST(CsvExport, TextThatIsNotGbkIsRefusedNamingTheStation) {
  sdata bad = Station("\x81", 0, 0);  // a lead byte without its second byte
  try {
    BuildCsvExport(dtSounding, {Station("S1", 0, 0), bad});
    FAIL() << "no error";
  } catch (const GbkError& e) {
    EXPECT_NE(std::string(e.what()).find("station 2"), std::string::npos) << e.what();
  }
}

// The cells of one row (no quoted cells).
std::vector<std::string> Cells(const std::string& row) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  for (std::size_t comma = row.find(','); comma != std::string::npos; comma = row.find(',', start)) {
    cells.push_back(row.substr(start, comma - start));
    start = comma + 1;
  }
  cells.push_back(row.substr(start));
  return cells;
}

std::vector<std::string> Rows(const std::string& csv) {
  std::vector<std::string> rows;
  for (std::size_t start = 3, end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2)
    rows.push_back(csv.substr(start, end - start));
  return rows;
}

// Soundings with a model: beside each reading the model's apparent resistivity and the
// residual, below the readings the table of models; a station without a model has empty model
// cells and no rows in the table.
TEST(CsvExport, SoundingsWithModelsGiveTheModelAndItsResiduals) {
  sdata layered = Station("S1", 100, 0.5f);
  AddReading(layered, dtSounding, {1, 125});
  AddReading(layered, dtSounding, {300, 290});
  layered.Model = {{2.5f, 8, 100}, {130, 40, 300}, ModelOrigin::Fitted};
  sdata plain = Station("S2", 150, 0);
  AddReading(plain, dtSounding, {1.5f, 35.2f});
  // A half-space: its apparent resistivity is its resistivity at every spacing.
  sdata half = Station("H", 200, 0);
  AddReading(half, dtSounding, {1, 55});
  AddReading(half, dtSounding, {10, 44});
  half.Model = {{100}, {50}, ModelOrigin::Edited};
  sdata empty = Station("E", 250, 0);

  const std::vector<std::string> rows = Rows(BuildCsvExport(dtSounding, {layered, plain, half, empty}));
  ASSERT_EQ(rows.size(), 13u);
  EXPECT_EQ(rows[0],
            "测点编号 Station,x坐标 X,y坐标 Y,测区 WorkArea,剖面编号 Profile,操作员 Operator,仪器类型 Instrument,"
            "极距 AB/2,视电阻率 Rho,模型视电阻率 ModelRho,残差 Residual (%)");
  auto value = [&](std::size_t row, std::size_t cell) { return std::stod(Cells(rows[row]).at(cell)); };
  // Near the surface the first layer, far out the half-space below.
  EXPECT_NEAR(value(1, 9), 130, 5);
  EXPECT_NEAR(value(2, 9), 300, 30);
  for (std::size_t r : {1u, 2u}) EXPECT_NEAR(value(r, 10), 100 * (value(r, 8) - value(r, 9)) / value(r, 9), 1e-3);
  EXPECT_EQ(rows[3], "S2,150,0,西山,L1,王二,DZD-6A,1.5,35.2,,");
  EXPECT_NEAR(value(4, 9), 50, 0.05);
  EXPECT_NEAR(value(4, 10), 10, 0.2);
  EXPECT_NEAR(value(5, 10), -12, 0.2);
  EXPECT_EQ(rows[6], "E,250,0,西山,L1,王二,DZD-6A,,,,");
  EXPECT_EQ(rows[7], "");
  const std::vector<std::string> table(rows.begin() + 8, rows.end());
  EXPECT_EQ(table, (std::vector<std::string>{
                       "测点编号 Station,x坐标 X,y坐标 Y,层号 Layer,层厚 Thickness,层底深度 Depth,层电阻率 LayerRho,模型来源 Origin",
                       "S1,100,0.5,1,2.5,2.5,130,拟合 Fitted", "S1,100,0.5,2,8,10.5,40,拟合 Fitted",
                       "S1,100,0.5,3,,,300,拟合 Fitted", "H,200,0,1,,,50,编辑 Edited"}));
}

// Our own export with models imports its readings: the model columns are understood and left,
// the table of models ends the rows read with a note.
TEST(CsvRoundTrip, ExportWithModelsGivesBackTheReadings) {
  StationList survey = SurveyOf(dtSounding);
  survey[0].Model = {{5, 100}, {20, 200}, ModelOrigin::Fitted};
  survey[4].Model = {{1}, {10}, ModelOrigin::File};
  const std::string csv = BuildCsvExport(dtSounding, survey);
  ASSERT_NE(csv.find(kCsvModelTableMark), std::string::npos);

  const CsvPreview preview = PreviewCsv(csv);
  EXPECT_EQ(preview.fileError, "");
  EXPECT_TRUE(preview.CanImport());
  EXPECT_EQ(preview.type, dtSounding);
  ASSERT_EQ(preview.columns.size(), 11u);
  EXPECT_EQ(preview.columns[9].field, CsvField::ModelRho);
  EXPECT_EQ(preview.columns[10].field, CsvField::Residual);
  EXPECT_FALSE(preview.columns[9].used);
  EXPECT_FALSE(preview.columns[10].used);
  std::vector<std::string> notes;
  for (const CsvRowProblem& p : preview.problems) {
    EXPECT_FALSE(p.refused) << p.message;
    notes.push_back(p.message);
  }
  const int tableRow = 1 + 2000 + 49 + 1 + 49 + 49 + 2;  // header, readings, the empty row, then the table
  EXPECT_EQ(notes, (std::vector<std::string>{"第 " + std::to_string(tableRow - 1) + " 行：是空行，已跳过。",
                                             "第 " + std::to_string(tableRow) + " 行：从这一行起是模型表，不导入。"}));
  for (sdata& s : survey) s.Model = {};
  ExpectSameBits(preview.stations, survey);
}

// Export, save to a file, preview the file: the same stations, bit for bit, for every type.
TEST(CsvRoundTrip, EveryDataTypeGivesBackTheSameSurvey) {
  TempFolder folder;
  for (DataType type : {dtSounding, dtWaterFinding, dtFourPoleProfile, dtCombinedProfile}) {
    SCOPED_TRACE(type);
    const StationList survey = SurveyOf(type);
    const std::string path = folder.File("survey" + std::to_string(type) + ".csv");
    std::string error;
    ASSERT_TRUE(SaveFileAtomically(path, BuildCsvExport(type, survey), error)) << error;

    const CsvPreview preview = PreviewCsvFile(path);
    EXPECT_EQ(preview.fileError, "");
    for (const CsvRowProblem& p : preview.problems) ADD_FAILURE() << p.message;
    EXPECT_TRUE(preview.CanImport());
    EXPECT_EQ(preview.encoding, CsvEncoding::Utf8WithBom);
    EXPECT_EQ(preview.separator, ',');
    EXPECT_TRUE(preview.typeKnown);
    EXPECT_EQ(preview.type, type);
    EXPECT_FALSE(preview.positionsAssigned);
    for (const CsvColumn& c : preview.columns) EXPECT_TRUE(c.used) << c.header;
    ExpectSameBits(preview.stations, survey);
    // Each reading names its row: the header is row 1, rows follow in station order.
    ASSERT_EQ(preview.stationRows.size(), survey.size());
    int next = 2;
    for (std::size_t i = 0; i < survey.size(); ++i) {
      EXPECT_EQ(preview.stationRows[i].firstRow, next);
      const std::size_t readings = survey[i].Columns[colAB2].size();
      ASSERT_EQ(preview.stationRows[i].readings.size(), readings);
      if (readings > 0) {
        EXPECT_EQ(preview.stationRows[i].readings.back(), next + static_cast<int>(readings) - 1);
      }
      next += std::max<int>(static_cast<int>(readings), 1);
    }
  }
}

}  // namespace
