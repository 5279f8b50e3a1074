#include "io/soundingdat.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "io/textconv.h"
#include "iotest_support.h"

using iotest::FileOf;
using iotest::Notices;
using iotest::ReadFixture;
using iotest::Sounding;

namespace {

constexpr std::string_view kIdent = "QL电法数据处理软件文件.";
constexpr std::string_view kPurpose = "文件用途:对称四极或三极电测深各参数参数断面图及电阻率1D,2D反演";
constexpr std::string_view kColumns = "N    AB/2   MN/2    RO   IP   R   TH  TD   ZP   X1  X2  X3";

std::string DatFile(std::initializer_list<std::string_view> dataLines) {
  std::string out = FileOf({kIdent, kPurpose, kColumns});
  for (std::string_view line : dataLines) out += std::string(line) + "\r\n";
  return out;
}

// ---- Writing ----

TEST(DatWrite, WorkedExampleIsByteForByte) {
  const std::string fixture = ReadFixture("sounding_worked_example.dat");
  ASSERT_FALSE(fixture.empty());
  // ip rows: ZP, IP, TD, TH, R
  const sdata s = Sounding("100", 100, {1.5f, 2.5f}, {35.2f, 40},
                           {{{3.75f, 1.25f, 45, 2.1f, 0.5f}}, {{4, 1.5f, 50.5f, 2.3f, 0.8f}}});
  EXPECT_EQ(BuildSoundingDatFile({s}), fixture);
}

TEST(DatWrite, StationNumber) {
  struct Case {
    float x;
    long long n;
  };
  for (const Case& c : std::vector<Case>{{100, 100},
                                         {99.99f, 99},
                                         {12.5f, 12},
                                         {0, 0},
                                         {99.995f, 100},
                                         {-5, -5},
                                         {-12.5f, -12},
                                         {-4.995f, -5},
                                         {-0.5f, 0},
                                         {10000, 10000},
                                         {9.2233715e18f, 9223371487098961920LL},
                                         {-9.2233715e18f, -9223371487098961920LL},
                                         {-9.223372e18f, std::numeric_limits<long long>::min()},
                                         {9.223372e18f, std::numeric_limits<long long>::max()},
                                         {1e30f, std::numeric_limits<long long>::max()},
                                         {-1e30f, std::numeric_limits<long long>::min()},
                                         {std::numeric_limits<float>::quiet_NaN(), 0}})
    EXPECT_EQ(StationNumber(c.x), c.n) << c.x;
}

TEST(DatWrite, RealsAsPrintfG) {
  const sdata s = Sounding("1", 1, {1234567}, {0.00001234f}, {{{0.0001f, 123456.7f, 4.0f, 1e-5f, 0}}});
  EXPECT_EQ(BuildSoundingDatFile({s}),
            DatFile({"1 1.23457e+06 0.5 1.234e-05 123457 0 1e-05 4 0.0001 -9999 -9999 -9999"}));
}

struct FoldCase {
  const char* what;
  StationList w;
  std::vector<std::string_view> lines;
};

TEST(DatWrite, FoldsNamesAndOrders) {
  const std::vector<FoldCase> cases = {
      {"append with a fold: equal spacings averaged in every value column",
       {Sounding("100", 100, {1.5f, 4}, {10, 30}, {{{1, 2, 3, 4, 5}}, {{6, 7, 8, 9, 10}}}),
        Sounding("100", 100, {1.5f, 2.5f}, {20, 25}, {{{3, 4, 5, 6, 7}}, {{1, 1, 1, 1, 1}}})},
       {"100 1.5 0.5 15 3 6 5 4 2 -9999 -9999 -9999", "100 2.5 0.5 25 1 1 1 1 1 -9999 -9999 -9999",
        "100 4 0.5 30 7 10 9 8 6 -9999 -9999 -9999"}},
      {"100.0 is not 100: both written with N 100",
       {Sounding("100", 100, {2}, {22}), Sounding("100.0", 100, {3}, {33})},
       {"100 2 0.5 22 0 0 0 0 0 -9999 -9999 -9999", "100 3 0.5 33 0 0 0 0 0 -9999 -9999 -9999"}},
      {"three rows of one spacing, the first keeps its name and X",
       {Sounding("A", 7, {2}, {10}), Sounding("B", 3, {1}, {1}), Sounding("A", 50, {2.004f, 1.996f}, {30, 40})},
       {"3 1 0.5 1 0 0 0 0 0 -9999 -9999 -9999", "7 2 0.5 30 0 0 0 0 0 -9999 -9999 -9999"}},
      {"a station without a fold keeps repeated spacings, rows in AB/2 order",
       {Sounding("A", 7, {4, 2, 2}, {40, 20, 21})},
       {"7 2 0.5 20 0 0 0 0 0 -9999 -9999 -9999", "7 2 0.5 21 0 0 0 0 0 -9999 -9999 -9999",
        "7 4 0.5 40 0 0 0 0 0 -9999 -9999 -9999"}},
      {"stations in X order, equal X by the exchange sort, negative N",
       {Sounding("P", 5, {1}, {1}), Sounding("Q", 5, {1}, {2}), Sounding("R", -5, {1}, {3})},
       {"-5 1 0.5 3 0 0 0 0 0 -9999 -9999 -9999", "5 1 0.5 2 0 0 0 0 0 -9999 -9999 -9999",
        "5 1 0.5 1 0 0 0 0 0 -9999 -9999 -9999"}},
      {"stations without rows write no line", {Sounding("A", 1, {}, {}), Sounding("B", 2, {}, {})}, {}},
  };
  for (const FoldCase& c : cases) {
    std::string expected = DatFile({});
    for (std::string_view line : c.lines) expected += std::string(line) + "\r\n";
    EXPECT_EQ(BuildSoundingDatFile(c.w), expected) << c.what;
  }
}

TEST(DatWrite, FoldKeepsTheFirstStationsFields) {
  sdata first = Sounding("A", 7, {1}, {10});
  first.Y = 3;
  first.WorkArea = "first";
  sdata later = Sounding("A", 50, {2}, {20});
  later.WorkArea = "later";
  StationList w = {first, Sounding("B", 1, {1}, {1}), later};
  FoldStationsByName(w);
  ASSERT_EQ(w.size(), 2u);
  EXPECT_EQ(w[0].Name, "A");
  EXPECT_EQ(w[0].X, 7);
  EXPECT_EQ(w[0].Y, 3);
  EXPECT_EQ(w[0].WorkArea, "first");
  EXPECT_EQ(w[0].Columns[colAB2], (std::vector<float>{1, 2}));
  EXPECT_EQ(w[0].SpacingCount, 2);
  for (int c = colRho; c <= colR; ++c) EXPECT_EQ(w[0].Columns[c].size(), 2u) << c;
  EXPECT_EQ(w[1].Name, "B");
}

// ---- Reading ----

TEST(DatRead, WorkedExampleReadsBack) {
  Notices notices;
  const DatReadResult read = ReadSoundingDat(ReadFixture("sounding_worked_example.dat"), notices.fn());
  sdata expected;
  expected.Name = "100";
  expected.X = 100;
  expected.SpacingCount = 2;
  expected.Columns[colAB2] = {1.5f, 2.5f};
  expected.Columns[colRho] = {35.2f, 40};
  expected.Columns[colIP] = {1.25f, 1.5f};
  expected.Columns[colR] = {0.5f, 0.8f};
  expected.Columns[colTH] = {2.1f, 2.3f};
  expected.Columns[colTD] = {45, 50.5f};
  expected.Columns[colZP] = {3.75f, 4};
  EXPECT_EQ(read.status, ReadStatus::Complete);
  EXPECT_EQ(read.stations, StationList{expected});
  EXPECT_TRUE(notices.shown.empty());
}

// A record with the given N, AB/2 and RO (other values 1).
std::string Rec(std::string_view n, std::string_view ab2, std::string_view ro = "10") {
  return std::string(n) + " " + std::string(ab2) + " 0.5 " + std::string(ro) + " 1 1 1 1 1 -9999 -9999 -9999\r\n";
}

struct RecordCase {
  const char* what;
  std::string data;  // after the column header
  std::vector<std::pair<std::string, std::vector<float>>> stations;  // name and AB/2 values
  ReadStatus status;
  std::size_t skipped;
};

TEST(DatRead, Records) {
  const std::vector<RecordCase> cases = {
      {"grouped by N in order of first occurrence", Rec("5", "1") + Rec("7", "2") + Rec("5", "3"),
       {{"5", {1, 3}}, {"7", {2}}}, ReadStatus::Complete, 0},
      {"N bounds", Rec("10000", "1") + Rec("10001", "1") + Rec("-10000", "1") + Rec("-10001", "1"),
       {{"10000", {1}}, {"-10000", {1}}}, ReadStatus::Complete, 2},
      {"AB/2 bound 0.1", Rec("1", "0.09") + Rec("1", "0.1") + Rec("1", "0.099999"), {{"1", {0.1f}}},
       ReadStatus::Complete, 2},
      {"RO above 0", Rec("1", "1", "0") + Rec("1", "2", "-3") + Rec("1", "3", "1e-30"), {{"1", {3}}},
       ReadStatus::Complete, 2},
      {"a record over two lines, two records on one line",
       "3 1 0.5 10 1 1\r\n1 1 1 -9999 -9999 -9999 4 2 0.5 10 1 1 1 1 1 -9999 -9999 -9999\r\n\t\r\n" + Rec("3", "5"),
       {{"3", {1, 5}}, {"4", {2}}}, ReadStatus::Complete, 0},
      {"names are plain decimals", Rec("+007", "1") + Rec("-0", "2"), {{"7", {1}}, {"0", {2}}},
       ReadStatus::Complete, 0},
      {"a partial record at the end is dropped", Rec("1", "1") + "2 1 0.5 10 1 1 1 1 1 -9999 -9999",
       {{"1", {1}}}, ReadStatus::Partial, 0},
      {"a word stops the reading", Rec("1", "1") + "2 1 0.5 ten 1 1 1 1 1 -9999 -9999 -9999\r\n" + Rec("3", "1"),
       {{"1", {1}}}, ReadStatus::Partial, 0},
      {"a fraction in X1 stops the reading", Rec("1", "1") + "2 1 0.5 10 1 1 1 1 1 -9999.5 -9999 -9999\r\n",
       {{"1", {1}}}, ReadStatus::Partial, 0},
      {"a fraction as N stops the reading", Rec("1.5", "1"), {}, ReadStatus::Partial, 0},
      {"a float beyond range stops the reading", Rec("1", "1") + Rec("2", "1e39"), {{"1", {1}}},
       ReadStatus::Partial, 0},
      {"a NUL byte stops the reading", Rec("1", "1") + std::string("2\0", 2) + Rec("", "1"), {{"1", {1}}},
       ReadStatus::Partial, 0},
  };
  for (const RecordCase& c : cases) {
    for (bool lf : {false, true}) {
      std::string bytes = DatFile({}) + c.data;
      if (lf) std::erase(bytes, '\r');
      const DatReadResult read = ReadSoundingDat(bytes, {});
      EXPECT_EQ(read.status, c.status) << c.what;
      EXPECT_EQ(read.skippedRecords, c.skipped) << c.what;
      ASSERT_EQ(read.stations.size(), c.stations.size()) << c.what;
      for (std::size_t i = 0; i < c.stations.size(); ++i) {
        const sdata& s = read.stations[i];
        EXPECT_EQ(s.Name, c.stations[i].first) << c.what;
        EXPECT_EQ(s.X, std::stof(s.Name)) << c.what;
        EXPECT_EQ(s.Columns[colAB2], c.stations[i].second) << c.what;
        EXPECT_EQ(s.SpacingCount, static_cast<std::int32_t>(c.stations[i].second.size())) << c.what;
        for (int k : {colRho, colZP, colIP, colTD, colTH, colR})
          EXPECT_EQ(s.Columns[k].size(), c.stations[i].second.size()) << c.what;
        EXPECT_TRUE(s.Columns[colPointNo].empty() && s.Columns[colMN2].empty()) << c.what;
      }
    }
  }
}

TEST(DatRead, HeaderLines) {
  const Notice notQl{msg::kNotQlFormat, Notice::Icon::Error, false};
  const Notice notSounding{msg::kNotVesFormat, Notice::Icon::Error, false};
  struct Case {
    const char* what;
    std::string bytes;
    ReadStatus status;
    std::size_t stations;
    std::vector<Notice> notices;
  };
  const std::string rec = Rec("1", "1");
  const std::vector<Case> cases = {
      {"QL anywhere in line 1", FileOf({"xQLx", "测深", "cols"}) + rec, ReadStatus::Complete, 1, {}},
      {"no QL", FileOf({"Q L", "测深", "cols"}) + rec, ReadStatus::Refused, 0, {notQl}},
      {"no sounding mark", FileOf({"QL", "VES", "cols"}) + rec, ReadStatus::Refused, 0, {notSounding}},
      {"empty file", "", ReadStatus::Refused, 0, {notQl}},
      {"empty lines before the column header", FileOf({"QL", "测深", "", "", "cols"}) + rec, ReadStatus::Complete,
       1, {}},
      {"a line of blanks is the column header", FileOf({"QL", "测深", "", "   "}) + rec, ReadStatus::Complete, 1, {}},
      {"header only", DatFile({}), ReadStatus::Complete, 0, {}},
      {"no column header", FileOf({"QL", "测深", "", ""}), ReadStatus::Complete, 0, {}},
  };
  for (const Case& c : cases) {
    Notices notices;
    const DatReadResult read = ReadSoundingDat(c.bytes, notices.fn());
    EXPECT_EQ(read.status, c.status) << c.what;
    EXPECT_EQ(read.stations.size(), c.stations) << c.what;
    EXPECT_EQ(notices.shown, c.notices) << c.what;
  }
}

TEST(DatRead, WrittenFileReadsBack) {
  const StationList w = {Sounding("b", 20.4f, {3, 1}, {30, 10}, {{{1, 2, 3, 4, 5}}, {{6, 7, 8, 9, 10}}}),
                         Sounding("a", -3, {2}, {5}), Sounding("none", 9, {}, {})};
  const DatReadResult read = ReadSoundingDat(BuildSoundingDatFile(w), {});
  EXPECT_EQ(read.status, ReadStatus::Complete);
  ASSERT_EQ(read.stations.size(), 2u);
  EXPECT_EQ(read.stations[0].Name, "-3");
  EXPECT_EQ(read.stations[1].Name, "20");
  EXPECT_EQ(read.stations[1].Columns[colAB2], (std::vector<float>{1, 3}));
  EXPECT_EQ(read.stations[1].Columns[colRho], (std::vector<float>{10, 30}));
  EXPECT_EQ(read.stations[1].Columns[colZP], (std::vector<float>{6, 1}));
  EXPECT_EQ(read.stations[1].Columns[colR], (std::vector<float>{10, 5}));
}

TEST(DatRead, FromDiskWithTheExtensionForced) {
  const std::string base = std::string(FIXTURES_DIR) + "/sounding_worked_example";
  EXPECT_EQ(ReadSoundingDatAt(base + ".txt", {}).stations.size(), 1u);
  EXPECT_EQ(ReadSoundingDatAt(base, {}).stations.size(), 1u);
  EXPECT_EQ(ReadSoundingDatAt(std::string(FIXTURES_DIR) + "/missing.dat", {}).status, ReadStatus::CannotOpen);
}

}  // namespace
