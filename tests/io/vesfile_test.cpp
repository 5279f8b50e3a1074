#include "io/vesfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/textconv.h"
#include "iotest_support.h"
#include "model/stations.h"

using iotest::FileOf;
using iotest::Notices;
using iotest::ReadFixture;
using iotest::Sounding;
using iotest::VesStation;

namespace {

constexpr std::string_view kPurpose = "文件用途:对称四极或三极电测深VES电阻率1D,2D反演及成图.";
constexpr std::string_view kIdent = "QL电法数据处理软件文件.";

// The header and the count line of a .ves file, GBK with CR LF.
std::string VesHeader(int count) {
  return FileOf({kIdent, kPurpose, std::to_string(count)});
}

TStation FileStation(std::string name, std::vector<float> ab2, std::vector<float> rho) {
  TStation s;
  s.Name = std::move(name);
  s.SpacingCount = static_cast<std::int32_t>(ab2.size());
  s.AB2 = std::move(ab2);
  s.Rho = std::move(rho);
  s.LayerCount = 1;
  s.Thickness = {100};
  s.LayerRho = {100};
  return s;
}

// ---- Writing ----

TEST(VesWrite, WorkedExampleIsByteForByte) {
  const std::string fixture = ReadFixture("ves_worked_example.ves");
  ASSERT_FALSE(fixture.empty());
  EXPECT_EQ(BuildVesFile({Sounding("S1", 0, {1.5f, 2.5f, 4}, {150, 225, 340})}), fixture);

  // The block alone, from the in-file record; the count is set from the rows.
  TStation st = FileStation("S1", {1.5f, 2.5f, 4}, {150, 225, 340});
  st.WorkArea = "WorkArea";
  st.Profile = "Profile";
  st.Operator = "Operator";
  st.Instrument = "DZD";
  st.SpacingCount = 7;
  std::string block;
  WriteVesStation(block, st);
  EXPECT_EQ(block, fixture.substr(VesHeader(1).size()));
  EXPECT_EQ(st.SpacingCount, 3);
}

TEST(VesWrite, OrdersACopyByXAndRowsBySpacing) {
  // Equal X: the exchange sort puts R first, then Q before P. R's rows come in AB/2 order
  // with each resistivity beside its spacing.
  const StationList stations = {Sounding("P", 5, {1}, {11}), Sounding("Q", 5, {2}, {12}),
                                Sounding("R", 3, {10, 1.5f, 4}, {30, 10, 20})};
  const StationList before = stations;
  const std::string expected =
      VesHeader(3) +
      FileOf({"R", "3 0 0", "WorkArea", "Profile", "Operator", "DZD", "3", " 1.5 10", " 4 20", " 10 30", " 1",
              " 100 100", "", "Q", "5 0 0", "WorkArea", "Profile", "Operator", "DZD", "1", " 2 12", " 1",
              " 100 100", "", "P", "5 0 0", "WorkArea", "Profile", "Operator", "DZD", "1", " 1 11", " 1",
              " 100 100", ""});
  EXPECT_EQ(BuildVesFile(stations), expected);
  EXPECT_EQ(stations, before);
}

struct BlockCase {
  const char* what;
  sdata station;
  std::vector<std::string_view> lines;  // the expected block, UTF-8
};

TEST(VesWrite, StationBlocks) {
  sdata chinese = Sounding(Gbk("测点一"), 12.5f, {1}, {2});
  chinese.Y = -7.25f;
  chinese.WorkArea = Gbk("北京西山");
  chinese.Profile = Gbk("剖面3");
  chinese.Operator = Gbk("张三");
  chinese.Instrument = "DZD-6A";

  sdata exponents = Sounding("E", 3456789.5f, {0.00001f, 0.001f, 4.0f, 1234567}, {1e-5f, 0.5f, 123456.7f, 100});

  sdata noRows = Sounding("N", 1, {}, {});

  sdata countFromRows = Sounding("C", 1, {1, 2, 3}, {4, 5, 6});
  countFromRows.SpacingCount = 5;

  sdata blankTexts = Sounding("", 1, {1}, {2});
  blankTexts.WorkArea = "   ";
  blankTexts.Profile = "\t";
  blankTexts.Operator = "";
  blankTexts.Instrument = " \r\n ";

  sdata lineBreak = Sounding("a\r\nb", 1, {1}, {2});

  sdata modelled = Sounding("M", 1, {1, 2}, {20, 30});
  modelled.Z = 152.5f;
  modelled.Model = {{2.5f, 8, 100}, {130, 40, 1234567}, ModelOrigin::Fitted};

  const std::vector<BlockCase> cases = {
      {"Chinese texts in GBK", chinese,
       {"测点一", "12.5 -7.25 0", "北京西山", "剖面3", "张三", "DZD-6A", "1", " 1 2", " 1", " 100 100", ""}},
      {"%g with exponents", exponents,
       {"E", "3.45679e+06 0 0", "WorkArea", "Profile", "Operator", "DZD", "4", " 1e-05 1e-05", " 0.001 0.5",
        " 4 123457", " 1.23457e+06 100", " 1", " 100 100", ""}},
      {"no rows", noRows, {"N", "1 0 0", "WorkArea", "Profile", "Operator", "DZD", "0", " 1", " 100 100", ""}},
      {"count from the rows", countFromRows,
       {"C", "1 0 0", "WorkArea", "Profile", "Operator", "DZD", "3", " 1 4", " 2 5", " 3 6", " 1", " 100 100", ""}},
      {"empty texts take the defaults", blankTexts,
       {"unknown", "1 0 0", "Unknown", "unknown", "Me", "Karv", "1", " 1 2", " 1", " 100 100", ""}},
      {"line break inside a text", lineBreak,
       {"a  b", "1 0 0", "WorkArea", "Profile", "Operator", "DZD", "1", " 1 2", " 1", " 100 100", ""}},
      {"Z and a model of three layers", modelled,
       {"M", "1 0 152.5", "WorkArea", "Profile", "Operator", "DZD", "2", " 1 20", " 2 30", " 3", " 2.5 130", " 8 40",
        " 100 1.23457e+06", ""}},
  };
  for (const BlockCase& c : cases) {
    std::string expected = VesHeader(1);
    for (std::string_view line : c.lines) expected += Gbk(line) + "\r\n";
    EXPECT_EQ(BuildVesFile({c.station}), expected) << c.what;
  }
}

TEST(VesWrite, WrittenFileReadsBackWithEveryStationInPlace) {
  sdata blank = Sounding(" ", 4, {3, 1}, {30, 10});
  blank.WorkArea = "";
  blank.Operator = "\t";
  sdata chinese = Sounding(Gbk("测点"), -20.5f, {2, 8}, {15, 40});
  chinese.Y = 1.25f;
  chinese.WorkArea = Gbk("矿区");
  const StationList stations = {Sounding("A", 4, {1.5f, 2.5f}, {100, 200}), blank, chinese,
                                Sounding("NoRows", 0, {}, {}), Sounding("", 1e6f, {1e-5f}, {3e7f}),
                                Sounding("Last", 4, {5}, {50})};
  Notices notices;
  const VesReadResult read = ReadVesFile(BuildVesFile(stations), notices.fn());
  EXPECT_EQ(read.status, ReadStatus::Complete);
  EXPECT_TRUE(notices.shown.empty());

  StationList expected = stations;
  SortStationsByX(expected);
  SortRowsBySpacing(expected);
  ASSERT_EQ(read.stations.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const sdata& e = expected[i];
    const TStation& r = read.stations[i];
    const bool blankName = e.Name.find_first_not_of(' ') == std::string::npos;
    EXPECT_EQ(r.Name, blankName ? "unknown" : e.Name) << i;
    EXPECT_EQ(r.X, e.X) << i;
    EXPECT_EQ(r.Y, e.Y) << i;
    EXPECT_EQ(r.AB2, e.Columns[colAB2]) << i;
    EXPECT_EQ(r.Rho, e.Columns[colRho]) << i;
    EXPECT_EQ(r.WorkArea, e.WorkArea.empty() ? "Unknown" : e.WorkArea) << i;
    EXPECT_EQ(r.Operator, e.Operator == "\t" ? "Me" : e.Operator) << i;
  }
}

// ---- Reading ----

TEST(VesRead, WorkedExampleReadsBack) {
  Notices notices;
  const VesReadResult read = ReadVesFile(ReadFixture("ves_worked_example.ves"), notices.fn());
  TStation expected = FileStation("S1", {1.5f, 2.5f, 4}, {150, 225, 340});
  expected.WorkArea = "WorkArea";
  expected.Profile = "Profile";
  expected.Operator = "Operator";
  expected.Instrument = "DZD";
  EXPECT_EQ(read.status, ReadStatus::Complete);
  ASSERT_EQ(read.stations.size(), 1u);
  EXPECT_EQ(read.stations[0], expected);
  EXPECT_TRUE(notices.shown.empty());
}

struct HeaderCase {
  const char* what;
  std::string bytes;
  ReadStatus status;
  std::vector<Notice> notices;
};

TEST(VesRead, HeaderMarksAndCount) {
  const Notice notQl{msg::kNotQlFormat, Notice::Icon::Error, false};
  const Notice notVes{msg::kNotVesFormat, Notice::Icon::Error, false};
  const std::string longLine(300, 'x');
  const std::vector<HeaderCase> cases = {
      {"QL anywhere in line 1", FileOf({"abc QL def", kPurpose, "0"}), ReadStatus::Complete, {}},
      {"header only", FileOf({"QL", "VES 测深", "0"}), ReadStatus::Complete, {}},
      {"no QL", FileOf({"Ql电法", kPurpose, "0"}), ReadStatus::Refused, {notQl}},
      {"QL beyond byte 255", FileOf({longLine + "QL", kPurpose, "0"}), ReadStatus::Refused, {notQl}},
      {"long line 1 with QL at its start", FileOf({"QL" + longLine, kPurpose, "0"}), ReadStatus::Complete, {}},
      {"empty file", "", ReadStatus::Refused, {notQl}},
      {"VES without 测深", FileOf({kIdent, "VES file", "0"}), ReadStatus::Refused, {notVes}},
      {"测深 without VES", FileOf({kIdent, "测深 file", "0"}), ReadStatus::Refused, {notVes}},
      {"no line 2", FileOf({kIdent}), ReadStatus::Refused, {notVes}},
      {"count not an integer", FileOf({kIdent, kPurpose, "1.0"}), ReadStatus::Refused, {}},
      {"count negative", FileOf({kIdent, kPurpose, "-1"}), ReadStatus::Refused, {}},
      {"no count line", FileOf({kIdent, kPurpose}), ReadStatus::Refused, {}},
  };
  for (const HeaderCase& c : cases) {
    Notices notices;
    const VesReadResult read = ReadVesFile(c.bytes, notices.fn());
    EXPECT_EQ(read.status, c.status) << c.what;
    EXPECT_TRUE(read.stations.empty()) << c.what;
    EXPECT_EQ(notices.shown, c.notices) << c.what;
  }
}

// A block of the format with the given name and coordinate line, one row 1.5/150 and no layers.
std::string Block(std::string_view name, std::string_view coordinates) {
  return FileOf({name, coordinates, "W", "P", "O", "I", "1", " 1.5 150", " 0", ""});
}

TEST(VesRead, BlockLayout) {
  struct Case {
    const char* what;
    std::string body;
    std::vector<std::array<float, 3>> xyz;  // of the stations read
    ReadStatus status;
  };
  const std::vector<Case> cases = {
      {"two numbers: Z is 0", Block("A", "10 20"), {{10, 20, 0}}, ReadStatus::Complete},
      {"three numbers", Block("A", "10 20 30"), {{10, 20, 30}}, ReadStatus::Complete},
      {"runs of blanks and tabs", Block("A", "  10     20\t 3.5e+02 "), {{10, 20, 350}}, ReadStatus::Complete},
      {"blank lines before and between blocks", "\r\n \r\n\r\n" + Block("A", "1 2") + "\r\n\t\r\n" + Block("B", "3 4"),
       {{1, 2, 0}, {3, 4, 0}}, ReadStatus::Complete},
      {"one number ends the reading", Block("A", "1 2") + Block("B", "10"), {{1, 2, 0}}, ReadStatus::Partial},
      {"four numbers end the reading", Block("A", "1 2") + Block("B", "1 2 3 4"), {{1, 2, 0}}, ReadStatus::Partial},
      {"a word ends the reading", Block("A", "1 2") + Block("B", "1 x"), {{1, 2, 0}}, ReadStatus::Partial},
      {"an empty coordinate line is not skipped", Block("A", "1 2") + Block("B", ""), {{1, 2, 0}},
       ReadStatus::Partial},
      {"a float beyond range", Block("A", "1 2") + Block("B", "1e39 2"), {{1, 2, 0}}, ReadStatus::Partial},
  };
  for (const Case& c : cases) {
    const int count = static_cast<int>(c.xyz.size()) + (c.status == ReadStatus::Partial ? 1 : 0);
    for (const char* eol : {"\r\n", "\n"}) {
      std::string bytes = VesHeader(count) + c.body;
      if (std::string_view(eol) == "\n") std::erase(bytes, '\r');
      const VesReadResult read = ReadVesFile(bytes, {});
      EXPECT_EQ(read.status, c.status) << c.what << " eol " << eol;
      ASSERT_EQ(read.stations.size(), c.xyz.size()) << c.what;
      for (std::size_t i = 0; i < c.xyz.size(); ++i) {
        const TStation& s = read.stations[i];
        EXPECT_EQ((std::array<float, 3>{s.X, s.Y, s.Z}), c.xyz[i]) << c.what;
        EXPECT_EQ(s.AB2, std::vector<float>{1.5f}) << c.what;
      }
    }
  }
}

TEST(VesRead, TokensMayStandOnAnyLine) {
  // From the spacing count on, numbers are white-space separated tokens, line ends included.
  const std::string bytes = VesHeader(1) + FileOf({"A", "1 2", "W", "P", "O", "I", "2 1.5", "150 2.5 225 1 100", "100"});
  const VesReadResult read = ReadVesFile(bytes, {});
  EXPECT_EQ(read.status, ReadStatus::Complete);
  ASSERT_EQ(read.stations.size(), 1u);
  EXPECT_EQ(read.stations[0].AB2, (std::vector<float>{1.5f, 2.5f}));
  EXPECT_EQ(read.stations[0].Rho, (std::vector<float>{150, 225}));
  EXPECT_EQ(read.stations[0].LayerRho, std::vector<float>{100});
}

TEST(VesRead, RepairsWithTheirMessages) {
  struct Case {
    const char* what;
    std::vector<std::string_view> counts;  // from the spacing count to the last layer
    std::vector<float> ab2, rho, thickness, layerRho;
    std::vector<const char*> messages;
  };
  const std::vector<Case> cases = {
      {"spacing not above 0", {"2", " -5 10", " 2 20", " 1", " 100 100"}, {50, 2}, {10, 20}, {100}, {100},
       {msg::kBadSpacing}},
      {"resistivity 0", {"1", " 1 0", " 1", " 100 100"}, {1}, {50}, {100}, {100}, {msg::kBadRho}},
      {"both in one row, spacing first", {"1", " 0 -1", " 1", " 100 100"}, {50}, {50}, {100}, {100},
       {msg::kBadSpacing, msg::kBadRho}},
      {"layer thickness and resistivity", {"1", " 1 2", " 2", " 0 5", " 10 -3"}, {1}, {2}, {50, 10}, {5, 50},
       {msg::kBadThickness, msg::kBadLayerRho}},
      {"no layers: first resistivity", {"2", " 1 80", " 2 90", " 0"}, {1, 2}, {80, 90}, {100}, {80}, {}},
      {"no rows and no layers", {"0", " 0"}, {}, {}, {100}, {100}, {}},
      {"negative counts", {"-3", " -1"}, {}, {}, {100}, {100}, {}},
  };
  for (const Case& c : cases) {
    std::string bytes = VesHeader(1) + FileOf({"A", "1 2", "W", "P", "O", "I"});
    for (std::string_view line : c.counts) bytes += std::string(line) + "\r\n";
    Notices notices;
    const VesReadResult read = ReadVesFile(bytes, notices.fn());
    EXPECT_EQ(read.status, ReadStatus::Complete) << c.what;
    ASSERT_EQ(read.stations.size(), 1u) << c.what;
    const TStation& s = read.stations[0];
    EXPECT_EQ(s.AB2, c.ab2) << c.what;
    EXPECT_EQ(s.Rho, c.rho) << c.what;
    EXPECT_EQ(s.SpacingCount, static_cast<std::int32_t>(c.ab2.size())) << c.what;
    EXPECT_EQ(s.Thickness, c.thickness) << c.what;
    EXPECT_EQ(s.LayerRho, c.layerRho) << c.what;
    EXPECT_EQ(s.LayerCount, static_cast<std::int32_t>(c.thickness.size())) << c.what;
    std::vector<Notice> expected;
    for (const char* m : c.messages) expected.push_back({m, Notice::Icon::Warning, false});
    EXPECT_EQ(notices.shown, expected) << c.what;
  }
}

// Up to 200 rows and layers read silently. More rows (a station appended to on many days) are
// read whole with one notice for the file; more than 200 layers end the block.
TEST(VesRead, CountsUpTo200) {
  auto blockWith = [](int rows, int layers) {
    std::string b = FileOf({"B", "1 2", "W", "P", "O", "I"}) + std::to_string(rows) + "\r\n";
    for (int i = 0; i < rows; ++i) b += " " + std::to_string(i + 1) + " 10\r\n";
    b += " " + std::to_string(layers) + "\r\n";
    for (int i = 0; i < layers; ++i) b += " 5 10\r\n";
    return b + "\r\n";
  };
  struct Case {
    int rows, layers;
    bool accepted;
  };
  for (const Case& c : std::vector<Case>{{200, 200, true}, {201, 1, true}, {1, 201, false}}) {
    Notices notices;
    const VesReadResult read = ReadVesFile(VesHeader(4) + Block("A", "0 0") + blockWith(c.rows, c.layers) +
                                               blockWith(c.rows, 1) + Block("C", "5 5"),
                                           notices.fn());
    if (c.accepted) {
      EXPECT_EQ(read.status, ReadStatus::Complete);
      ASSERT_EQ(read.stations.size(), 4u);
      EXPECT_EQ(read.stations[1].AB2.size(), static_cast<std::size_t>(c.rows));
      EXPECT_EQ(read.stations[1].SpacingCount, c.rows);
      EXPECT_EQ(read.stations[1].Thickness.size(), static_cast<std::size_t>(c.layers));
      std::vector<Notice> expected;
      if (c.rows > 200) expected.push_back({msg::kManyRowsRead, Notice::Icon::Warning, false});
      EXPECT_EQ(notices.shown, expected);
    } else {
      // The message, then the block and the reading end; the station before is kept.
      EXPECT_EQ(read.status, ReadStatus::Partial) << c.rows << "/" << c.layers;
      ASSERT_EQ(read.stations.size(), 1u);
      EXPECT_EQ(read.stations[0].Name, "A");
      EXPECT_EQ(notices.shown, (std::vector<Notice>{{msg::kBadFormat, Notice::Icon::Warning, true}}));
    }
  }
}

TEST(VesRead, BrokenInputsEndWithTheStationsBefore) {
  struct Case {
    const char* what;
    std::string bytes;
    ReadStatus status;
    std::size_t stations;
  };
  const std::string one = Block("A", "1 2");
  const std::vector<Case> cases = {
      {"count above the blocks", VesHeader(3) + one, ReadStatus::Partial, 1},
      {"huge count", VesHeader(2147483647) + one + one, ReadStatus::Partial, 2},
      {"blocks beyond the count", VesHeader(1) + one + one, ReadStatus::Partial, 1},
      {"only blank lines beyond the count", VesHeader(1) + one + "\r\n \r\n", ReadStatus::Complete, 1},
      {"truncated in a row", VesHeader(2) + one + one.substr(0, one.find("150")), ReadStatus::Partial, 1},
      {"truncated in the texts", VesHeader(2) + one + FileOf({"B", "1 2", "W"}), ReadStatus::Partial, 1},
      {"a word as a spacing", VesHeader(2) + one + FileOf({"B", "1 2", "W", "P", "O", "I", "1", " x 1"}),
       ReadStatus::Partial, 1},
      {"a fraction as a count", VesHeader(2) + one + FileOf({"B", "1 2", "W", "P", "O", "I", "1.5"}),
       ReadStatus::Partial, 1},
      {"nan as a resistivity", VesHeader(2) + one + FileOf({"B", "1 2", "W", "P", "O", "I", "1", " 1 nan", " 0"}),
       ReadStatus::Partial, 1},
      {"NUL bytes in a number", VesHeader(2) + one + FileOf({"B", "1 2", "W", "P", "O", "I"}) + std::string("1\0", 2),
       ReadStatus::Partial, 1},
      {"invalid GBK in a name", VesHeader(1) + "\xff\x81\r\n" + one.substr(one.find('\n') + 1), ReadStatus::Complete, 1},
  };
  for (const Case& c : cases) {
    const VesReadResult read = ReadVesFile(c.bytes, {});
    EXPECT_EQ(read.status, c.status) << c.what;
    EXPECT_EQ(read.stations.size(), c.stations) << c.what;
  }
}

TEST(VesRead, LongLinesAreReadWhole) {
  const std::string name(400, 'n');
  const VesReadResult read = ReadVesFile(VesHeader(1) + Block(name, "1 2"), {});
  ASSERT_EQ(read.stations.size(), 1u);
  EXPECT_EQ(read.stations[0].Name, name);
}

TEST(VesRead, FromDisk) {
  EXPECT_EQ(ReadVesFileAt(std::string(FIXTURES_DIR) + "/ves_worked_example.ves", {}).stations.size(), 1u);
  EXPECT_EQ(ReadVesFileAt(std::string(FIXTURES_DIR) + "/missing.ves", {}).status, ReadStatus::CannotOpen);
  EXPECT_EQ(ReadVesFileAt(FIXTURES_DIR, {}).status, ReadStatus::NotAFile);
}

// ---- Merging ----

TEST(VesMerge, ByNameWithEqualSpacingsFolded) {
  struct Case {
    const char* what;
    StationList memory;
    std::vector<TStation> file;
    StationList expected;
  };
  sdata newFromFile = VesStation("N", 7, {3, 1}, {30, 10});
  newFromFile.WorkArea = "Unknown";
  newFromFile.Profile = "unknown";
  newFromFile.Operator = "Me";
  newFromFile.Instrument = "Karv";
  TStation fileN = FileStation("N", {3, 1}, {30, 10});
  fileN.X = 7;
  TStation fileS1Lower = FileStation("s1", {3, 1}, {30, 10});
  fileS1Lower.X = 7;
  sdata lower = newFromFile;
  lower.Name = "s1";
  sdata folded = newFromFile;
  folded.Columns[colAB2] = {3, 1, 5};
  folded.Columns[colRho] = {30, 15, 50};
  folded.SpacingCount = 3;

  const std::vector<Case> cases = {
      {"rows added after the station's own, 2 folded",
       {Sounding("S1", 0, {1, 2, 3}, {10, 20, 30})},
       {FileStation("S1", {2, 4}, {22, 40})},
       {Sounding("S1", 0, {1, 2, 3, 4}, {10, 21, 30, 40})}},
      {"2.005 folds into 2", {Sounding("S1", 0, {2}, {10})}, {FileStation("S1", {2.005f}, {20})},
       {Sounding("S1", 0, {2}, {15})}},
      {"2.01 folds into 2", {Sounding("S1", 0, {2}, {10})}, {FileStation("S1", {2.01f}, {20})},
       {Sounding("S1", 0, {2}, {15})}},
      {"2.02 stays", {Sounding("S1", 0, {2}, {10})}, {FileStation("S1", {2.02f}, {20})},
       {Sounding("S1", 0, {2, 2.02f}, {10, 20})}},
      {"three rows of one spacing", {Sounding("S1", 0, {2}, {10})}, {FileStation("S1", {2, 2.001f}, {20, 40})},
       {Sounding("S1", 0, {2}, {27.5f})}},
      {"names are case-sensitive", {Sounding("S1", 0, {1}, {10})}, {fileS1Lower},
       {Sounding("S1", 0, {1}, {10}), lower}},
      {"a new name is appended, a later one of it merges into it", {Sounding("S1", 0, {1}, {10})},
       {fileN, FileStation("N", {1.004f, 5}, {20, 50})},
       {Sounding("S1", 0, {1}, {10}), folded}},
  };
  for (const Case& c : cases) {
    StationList stations = c.memory;
    MergeVesStations(stations, c.file);
    EXPECT_EQ(stations, c.expected) << c.what;
  }
}

// A station's model and Z go along with it; a model of its own is never replaced by the file's.
TEST(VesMerge, ModelsAndZStayWithTheirStations) {
  const StationModel fileModel{{3, 100}, {50, 500}, ModelOrigin::File};
  const StationModel ownModel{{10}, {70}, ModelOrigin::Fitted};
  auto fileStation = [](const char* name, std::vector<float> thickness, std::vector<float> layerRho, float z) {
    TStation t = FileStation(name, {4}, {40});
    t.LayerCount = static_cast<std::int32_t>(thickness.size());
    t.Thickness = std::move(thickness);
    t.LayerRho = std::move(layerRho);
    t.Z = z;
    return t;
  };
  auto typed = [](StationModel model, float z) {
    sdata s = Sounding("S1", 0, {1}, {10});
    s.Model = std::move(model);
    s.Z = z;
    return s;
  };
  struct Case {
    const char* what;
    sdata memory;
    TStation file;
    StationModel model;
    float z;
  };
  const Case cases[] = {
      {"a typed station takes the file station's model and Z", typed({}, 0), fileStation("S1", {3, 100}, {50, 500}, 7.5f),
       fileModel, 7.5f},
      {"a model and Z of its own stay", typed(ownModel, 2), fileStation("S1", {3, 100}, {50, 500}, 7.5f), ownModel, 2},
      {"the one-layer 100/100 is no model", typed({}, 0), fileStation("S1", {100}, {100}, 0), {}, 0},
      {"one layer of other values is a model", typed({}, 0), fileStation("S1", {100}, {80}, 0),
       {{100}, {80}, ModelOrigin::File}, 0},
      {"a station new to the list comes with its model and Z", typed(ownModel, 2),
       fileStation("N", {3, 100}, {50, 500}, -4), fileModel, -4},
  };
  for (const Case& c : cases) {
    StationList stations = {c.memory};
    MergeVesStations(stations, {c.file});
    const sdata& merged = stations.back();
    EXPECT_EQ(merged.Name, c.file.Name) << c.what;
    EXPECT_EQ(merged.Model, c.model) << c.what;
    EXPECT_EQ(merged.Z, c.z) << c.what;
    EXPECT_EQ(merged.Columns[colAB2].back(), 4.0f) << c.what;
  }
}

// A file whose stations have models and Z, opened and written again: the same bytes.
TEST(VesMerge, FileWithModelsWritesBackByteForByte) {
  const std::string fixture = ReadFixture("ves_models_example.ves");
  ASSERT_FALSE(fixture.empty());
  Notices notices;
  const VesReadResult read = ReadVesFile(fixture, notices.fn());
  ASSERT_EQ(read.status, ReadStatus::Complete);
  EXPECT_TRUE(notices.shown.empty());
  StationList stations;
  MergeVesStations(stations, read.stations);
  ASSERT_EQ(stations.size(), 3u);
  EXPECT_EQ(stations[0].Model, (StationModel{{2.5f, 8, 100}, {130, 40, 300}, ModelOrigin::File}));
  EXPECT_EQ(stations[0].Z, 152.5f);
  EXPECT_TRUE(stations[1].Model.empty());
  EXPECT_EQ(stations[2].Model.Resistivity, (std::vector<float>{215.5f, 12.3457f}));
  EXPECT_EQ(stations[2].Z, 150.25f);
  EXPECT_EQ(BuildVesFile(stations), fixture);
}

TEST(VesMerge, MergedListWritesInOrder) {
  // S0 keeps its model 9/9 when the merged list is written.
  StationList stations = {Sounding("S1", 10, {4, 1}, {40, 10})};
  const VesReadResult read =
      ReadVesFile(VesHeader(2) + FileOf({"S1", "10 0 0", "W", "P", "O", "I", "2", " 2 20", " 4.004 60", " 1",
                                         " 100 100", "", "S0", "5 0", "W", "P", "O", "I", "1", " 3 7", " 1", " 9 9"}),
                  {});
  ASSERT_EQ(read.stations.size(), 2u);
  MergeVesStations(stations, read.stations);
  EXPECT_EQ(BuildVesFile(stations),
            VesHeader(2) + FileOf({"S0", "5 0 0", "W", "P", "O", "I", "1", " 3 7", " 1", " 9 9", "", "S1",
                                   "10 0 0", "WorkArea", "Profile", "Operator", "DZD", "3", " 1 10", " 2 20",
                                   " 4 50", " 1", " 100 100", ""}));
}

}  // namespace
