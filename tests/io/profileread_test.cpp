#include "io/profileread.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "io/profiledat.h"
#include "iotest_support.h"

using iotest::FileOf;
using iotest::ReadFixture;

namespace {

constexpr std::string_view kIdent = "QL电法数据处理软件文件.";
constexpr std::string_view kCombinedPurpose = "文件用途: 联合剖面或三极剖面法电阻率数据";
constexpr std::string_view kFourPolePurpose = "文件用途: 对称四极剖面法电阻率数据";
constexpr std::string_view kColumns = "N    AB/2   MN/2    RO   IP   R   TH  TD   ZP   X1  X2  X3";

using Point = std::array<float, 4>;  // point no, AB/2, MN/2, RO

// A profile unit as the window holds it.
sdata Unit(std::string name, float x, std::vector<Point> points) {
  sdata s;
  s.Name = std::move(name);
  s.X = x;
  for (const Point& p : points) {
    for (int k = colPointNo; k <= colRho; ++k) s.Columns[k].push_back(p[k]);
    for (int k = colZP; k <= colR; ++k) s.Columns[k].push_back(0.0f);
  }
  s.SpacingCount = static_cast<std::int32_t>(points.size());
  return s;
}

std::string CombinedFile(std::string_view dataLines) {
  return FileOf({kIdent, kCombinedPurpose, kColumns}) + std::string(dataLines);
}
std::string FourPoleFile(std::string_view dataLines) {
  return FileOf({kIdent, kFourPolePurpose, kColumns}) + std::string(dataLines);
}

// A data line as the writers put it, with the given X2.
std::string PointLine(std::string_view values, std::string_view x2) {
  return std::string(values) + " -9999 -9999  -9999 -9999 -9999 -9999 " + std::string(x2) + " -9999\r\n";
}

// ---- Files the writers produce ----

TEST(ProfileRead, ExamplesReadBackAsTheWindowHoldsThem) {
  const ProfileReadResult combined = ReadCombinedProfile(ReadFixture("combined_profile_example.dat"));
  EXPECT_EQ(combined.status, ReadStatus::Complete);
  EXPECT_EQ(combined.stations, StationList{Unit("A", 0, {{20, 50, 20, 123.4f}})});
  EXPECT_EQ(combined.faultLine, 0u);
  EXPECT_TRUE(combined.message.empty());

  const ProfileReadResult fourPole = ReadFourPoleProfile(ReadFixture("fourpole_profile_example.dat"), "100");
  EXPECT_EQ(fourPole.status, ReadStatus::Complete);
  EXPECT_EQ(fourPole.stations, StationList{Unit("100", 0, {{20, 50, 20, 123.4f}})});
}

TEST(ProfileRead, CombinedBranchesComeBackInFileOrder) {
  // Three branches (the most a line holds) in list order, B between two A: each run of one
  // branch is one unit, X in steps of 50, %g numbers read back as the floats they print.
  const StationList written = {Unit("A", 0, {{1, 1234567, 0.00001f, -7.5f}, {-2, 4, 2, 8}}),
                               Unit("B", 50, {{3, 50, 20, 9}}), Unit("A", 100, {{4, 1.5f, 0.5f, 10}})};
  const ProfileReadResult read = ReadCombinedProfile(BuildCombinedProfileFile(written));
  ASSERT_EQ(read.status, ReadStatus::Complete);
  const StationList expected = {Unit("A", 0, {{1, 1.23457e+06f, 0.00001f, -7.5f}, {-2, 4, 2, 8}}),
                                Unit("B", 50, {{3, 50, 20, 9}}), Unit("A", 100, {{4, 1.5f, 0.5f, 10}})};
  EXPECT_EQ(read.stations, expected);

  // Two units of one branch written one after the other are one run; a name other than "A"
  // is branch 2; a unit without points leaves no trace.
  const ProfileReadResult merged = ReadCombinedProfile(BuildCombinedProfileFile(
      {Unit("B", 0, {{1, 2, 3, 4}}), Unit("x", 50, {{5, 6, 7, 8}}), Unit("A", 100, {})}));
  EXPECT_EQ(merged.stations, StationList{Unit("B", 0, {{1, 2, 3, 4}, {5, 6, 7, 8}})});
  EXPECT_TRUE(ReadCombinedProfile(BuildCombinedProfileFile({})).stations.empty());
}

TEST(ProfileRead, FourPoleFileIsOneLineEvenWithoutPoints) {
  const ProfileReadResult empty = ReadFourPoleProfile(BuildFourPoleProfileFile(Unit("7", 0, {})), "7");
  EXPECT_EQ(empty.status, ReadStatus::Complete);
  EXPECT_EQ(empty.stations, StationList{Unit("7", 0, {})});
  const ProfileReadResult line = ReadFourPoleProfile(
      BuildFourPoleProfileFile(Unit("L", 0, {{10, 30, 5, 88.25f}, {10.5f, 30, 5, -1}})), "L");
  EXPECT_EQ(line.stations, StationList{Unit("L", 0, {{10, 30, 5, 88.25f}, {10.5f, 30, 5, -1}})});
}

TEST(ProfileRead, LayoutLeewayOfHandEditedFiles) {
  // LF line ends, blank lines, tabs and blanks around fields, no line end at the very end,
  // "-9999.0" for no value: all the same points.
  const std::string file = FileOf({kIdent, kFourPolePurpose}, "\n") + "\n  \n" + std::string(kColumns) +
                           "\n\n 1\t2 3 4 -9999 -9999 -9999 -9999 -9999 -9999.0 -9999 -9999  \n\n" +
                           "5 6 7 8 -9999 -9999 -9999 -9999 -9999 -9999 -9999 -9999";
  const ProfileReadResult read = ReadFourPoleProfile(file, "1");
  EXPECT_EQ(read.status, ReadStatus::Complete) << read.message;
  EXPECT_EQ(read.stations, StationList{Unit("1", 0, {{1, 2, 3, 4}, {5, 6, 7, 8}})});
}

// ---- Broken files ----

TEST(ProfileRead, FaultsNameTheirLineAndKeepWhatCameBefore) {
  const std::string good = PointLine("1 2 3 4", "1");
  struct Case {
    const char* what;
    std::string bytes;
    ReadStatus status;
    std::size_t line;
    const char* says;
    std::size_t points;  // read before the fault
  };
  const std::vector<Case> cases = {
      {"empty file", "", ReadStatus::Refused, 1, "文件是空的", 0},
      {"another program's file", "PK\x03\x04 zip\r\n", ReadStatus::Refused, 1, "QL", 0},
      {"four-pole file", FourPoleFile(PointLine("1 2 3 4", "-9999")), ReadStatus::Refused, 2, "联合剖面", 0},
      {"sounding file", FileOf({kIdent, "文件用途:对称四极或三极电测深VES电阻率1D,2D反演及成图."}), ReadStatus::Refused, 2,
       "联合剖面", 0},
      {"ends after line 2", FileOf({kIdent, kCombinedPurpose}), ReadStatus::Refused, 3, "列标题", 0},
      {"data instead of the column header", FileOf({kIdent, kCombinedPurpose}) + good + good, ReadStatus::Refused, 3,
       "列标题", 0},
      {"eleven fields", CombinedFile(good + "1 2 3 4 -9999 -9999 -9999 -9999 -9999 -9999 1\r\n"), ReadStatus::Partial,
       5, "只有 11 个", 1},
      {"thirteen fields", CombinedFile(good + good + "1 2 3 4 -9999 -9999 -9999 -9999 -9999 -9999 1 -9999 0\r\n"),
       ReadStatus::Partial, 6, "多于 12", 2},
      {"a word as resistivity", CombinedFile(good + PointLine("1 2 3 abc", "1")), ReadStatus::Partial, 5, "RO 不是数字",
       1},
      {"nan as a point number", CombinedFile(PointLine("nan 2 3 4", "1")), ReadStatus::Refused, 4, "N 不是数字", 0},
      {"a value where no value is written",
       CombinedFile(good + "1 2 3 4 -9999 -9999 0.5 -9999 -9999 -9999 1 -9999\r\n"), ReadStatus::Partial, 5, "TH 应是 -9999",
       1},
      {"branch 3", CombinedFile(good + PointLine("1 2 3 4", "3")), ReadStatus::Partial, 5, "分支号", 1},
      {"branch 1.0", CombinedFile(good + PointLine("1 2 3 4", "1.0")), ReadStatus::Partial, 5, "分支号", 1},
      {"line cut short at the end", CombinedFile(good + good.substr(0, 12)), ReadStatus::Partial, 5, "只有", 1},
      {"binary bytes after the header", CombinedFile(good + std::string("\x89\0\xff\x10", 4)), ReadStatus::Partial, 5,
       "只有 1 个", 1},
  };
  for (const Case& c : cases) {
    const ProfileReadResult read = ReadCombinedProfile(c.bytes);
    EXPECT_EQ(read.status, c.status) << c.what;
    EXPECT_EQ(read.faultLine, c.line) << c.what;
    EXPECT_NE(read.message.find(c.says), std::string::npos) << c.what << ": " << read.message;
    if (!c.bytes.empty()) {
      EXPECT_EQ(read.message.rfind("第 " + std::to_string(c.line) + " 行：", 0), 0u) << c.what << ": " << read.message;
    }
    std::size_t points = 0;
    for (const sdata& s : read.stations) points += s.Columns[colPointNo].size();
    EXPECT_EQ(points, c.points) << c.what;
  }

  // A four-pole file must not carry branches; the line it refuses has no points before it.
  const ProfileReadResult branched = ReadFourPoleProfile(FourPoleFile(PointLine("1 2 3 4", "1")), "1");
  EXPECT_EQ(branched.status, ReadStatus::Refused);
  EXPECT_EQ(branched.faultLine, 4u);
  EXPECT_TRUE(branched.stations.empty());
  const ProfileReadResult combined = ReadFourPoleProfile(CombinedFile(good), "1");
  EXPECT_EQ(combined.status, ReadStatus::Refused);
  EXPECT_EQ(combined.faultLine, 2u);
}

TEST(ProfileRead, AUnitHoldsAtMostTheGridsPoints) {
  std::string lines;
  for (std::size_t i = 0; i <= kMaxProfilePoints; ++i) lines += PointLine(std::to_string(i % 1000) + " 2 3 4", "-9999");
  const ProfileReadResult read = ReadFourPoleProfile(FourPoleFile(lines), "9");
  EXPECT_EQ(read.status, ReadStatus::Partial);
  EXPECT_EQ(read.faultLine, kMaxProfilePoints + 4);
  ASSERT_EQ(read.stations.size(), 1u);
  EXPECT_EQ(read.stations[0].SpacingCount, static_cast<std::int32_t>(kMaxProfilePoints));
  EXPECT_EQ(read.stations[0].Name, "9");
}

}  // namespace
