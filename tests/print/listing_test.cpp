// The two printed listings line by line, and how a listing is laid out on pages.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "io/textconv.h"
#include "print/listing.h"

namespace {

// The expected lines are written in UTF-8 here and compared as GBK bytes.
std::vector<std::string> GbkLines(std::initializer_list<std::string_view> utf8) {
  std::vector<std::string> out;
  for (std::string_view line : utf8) out.push_back(Utf8ToGbk(line));
  return out;
}

// A station as the commit builds it: AB/2 and resistivity per row, and the five IP values of
// each row (ZP, IP, TD, TH, R), zero when not given.
sdata Station(std::string name, float x, float y, std::vector<float> ab2, std::vector<float> rho,
              std::vector<std::array<float, 5>> ip = {}) {
  sdata s;
  s.Name = std::move(name);
  s.X = x;
  s.Y = y;
  s.SpacingCount = static_cast<int>(ab2.size());
  for (std::size_t r = 0; r < ab2.size(); ++r) {
    const std::array<float, 5> p = r < ip.size() ? ip[r] : std::array<float, 5>{};
    s.Columns[colZP].push_back(p[0]);
    s.Columns[colIP].push_back(p[1]);
    s.Columns[colTD].push_back(p[2]);
    s.Columns[colTH].push_back(p[3]);
    s.Columns[colR].push_back(p[4]);
  }
  s.Columns[colAB2] = std::move(ab2);
  s.Columns[colRho] = std::move(rho);
  return s;
}

TEST(VesListing, TwoStationsLineByLine) {
  sdata s1 = Station("S1", 100.0f, 0.1f, {1.5f, 2.5f, 4.0f}, {100.0f, 120.0f, 0.5f});
  s1.WorkArea = Utf8ToGbk("北山");
  s1.Profile = "L1";
  sdata s2 = Station("S2", -3.5f, 0.0f, {0.04f, 2.25f}, {0.05f, 1234567.0f});
  s2.WorkArea = Utf8ToGbk("南山");  // later stations' work area and line are not listed
  s2.Profile = "L2";
  std::vector<std::string> lines;
  BuildVesListing({s1, s2}, lines);

  const std::vector<std::string> expected = GbkLines({
      "",
      "          电测深观测数据  ",
      "-------------------------------------------",
      "QL电法数据处理软件文件.",
      "文件用途:电测深VES电阻率1D,2D反演及成图.",
      "",
      "工区：北山 测线：L1 ",
      "该测线共有测点：2个",
      "",
      "测点号：S1",
      "点位: x=100   y= 0.100000001490116",
      "观测极距个数：3",
      "AB/2     AppRes",
      "1.5      100.0",
      "2.5      120.0",
      "4.0      .5",
      "",
      "测点号：S2",
      "点位: x=-3.5   y= 0",
      "观测极距个数：2",
      "AB/2     AppRes",
      ".0      .1",
      "2.3      1234567.0",
      "",
      "At the end of ves file",
  });
  EXPECT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines, expected);
  // The title is GBK, not UTF-8: "电测深" is B5E7 B2E2 C9EE.
  EXPECT_EQ(lines[1].substr(10, 6), "\xB5\xE7\xB2\xE2\xC9\xEE");
}

TEST(VesListing, EmptyListHasOnlyTheFrame) {
  std::vector<std::string> lines{"kept"};
  BuildVesListing({}, lines);
  ASSERT_EQ(lines.size(), 11u);  // appended after what the list already held
  EXPECT_EQ(lines[0], "kept");
  EXPECT_EQ(lines[7], Utf8ToGbk("工区： 测线： "));
  EXPECT_EQ(lines[8], Utf8ToGbk("该测线共有测点：0个"));
  EXPECT_EQ(lines[10], "At the end of ves file");
}

TEST(DatListing, OneStationOfThirteenSpacings) {
  std::vector<float> ab2, rho;
  for (int i = 1; i <= 13; ++i) {
    ab2.push_back(static_cast<float>(i));
    rho.push_back(static_cast<float>(10 * i));
  }
  std::vector<std::string> lines;
  BuildDatListing({Station("12.7", 12.7f, 0.0f, ab2, rho)}, lines);
  ASSERT_EQ(lines.size(), 21u);
  const std::vector<std::string> head = GbkLines({
      "",
      "          电测深观测数据  ",
      "---------------------------------------",
      "QL电法数据处理软件文件.",
      "文件用途:电测深各参数参数断面图及电阻率1D,2D反演",
      "",
      "N    AB/2   MN/2    RO    M1    R   TH  TD   ZP",
  });
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7), head);
  EXPECT_EQ(lines[7], "12   1.0   .5   10.0   .0   .0   .0   .0   .0");
  EXPECT_EQ(lines[19], "12   13.0   .5   130.0   .0   .0   .0   .0   .0");
  EXPECT_EQ(lines[20], "End of Dat File");
  for (std::size_t i = 7; i < 20; ++i) EXPECT_EQ(lines[i].substr(lines[i].find("   ", 3), 8), "   .5   ") << i;
}

struct DatRowCase {
  const char* what;
  float x;
  float ab2, rho, zp, ip, td, th, r;
  const char* line;
};

class DatListingRow : public testing::TestWithParam<DatRowCase> {};

TEST_P(DatListingRow, ReadsAsExpected) {
  const DatRowCase& c = GetParam();
  std::vector<std::string> lines;
  BuildDatListing({Station("P", c.x, 0.0f, {c.ab2}, {c.rho}, {{c.zp, c.ip, c.td, c.th, c.r}})}, lines);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[7], c.line);
}

// Values in column order: AB/2, RO, then ZP, IP (M1), TD, TH, R as held in the station.
INSTANTIATE_TEST_SUITE_P(
    Rows, DatListingRow,
    testing::Values(
        DatRowCase{"worked", 100.0f, 1.5f, 120.0f, 8.0f, 2.5f, 40.0f, 1.2f, 0.3f,
                   "100   1.5   .5   120.0   2.5   .3   1.2   40.0   8.0"},
        DatRowCase{"x12_7", 12.7f, 1.5f, 120.0f, 0, 0, 0, 0, 0, "12   1.5   .5   120.0   .0   .0   .0   .0   .0"},
        DatRowCase{"xMinus3_5", -3.5f, 1.5f, 120.0f, 0, 0, 0, 0, 0, "-3   1.5   .5   120.0   .0   .0   .0   .0   .0"},
        // No 0.01 allowance: 99.995 stays 99 (the sounding .dat file would write 100).
        DatRowCase{"noAllowance", 99.995f, 1.5f, 120.0f, 0, 0, 0, 0, 0,
                   "99   1.5   .5   120.0   .0   .0   .0   .0   .0"},
        DatRowCase{"smallNegative", -0.5f, 1.5f, 120.0f, 0, 0, 0, 0, 0, "0   1.5   .5   120.0   .0   .0   .0   .0   .0"},
        DatRowCase{"tenths", 0.0f, 0.04f, 0.05f, -0.05f, 2.25f, 1234567.0f, 0.5f, -1.26f,
                   "0   .0   .5   .1   2.3   -1.3   .5   1234567.0   -.1"}),
    [](const testing::TestParamInfo<DatRowCase>& info) { return info.param.what; });

TEST(DatListing, StationsInListOrder) {
  std::vector<std::string> lines;
  BuildDatListing({Station("B", 20.0f, 0.0f, {1.5f}, {7.0f}), Station("A", 10.0f, 0.0f, {2.5f, 4.0f}, {8.0f, 9.0f})},
                  lines);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[7].substr(0, 8), "20   1.5");
  EXPECT_EQ(lines[8].substr(0, 8), "10   2.5");
  EXPECT_EQ(lines[9].substr(0, 8), "10   4.0");
}

// A record whose spacing count does not match its columns is listed as far as its columns go.
TEST(Listing, DamagedStationsNeverReadPastAColumn) {
  sdata longCount = Station("L", 1.0f, 0.0f, {1.5f, 2.5f}, {10.0f, 20.0f});
  longCount.SpacingCount = 5;
  sdata shortIp = Station("I", 2.0f, 0.0f, {1.5f, 2.5f}, {10.0f, 20.0f});
  shortIp.Columns[colZP].pop_back();
  sdata negative = Station("N", 3.0f, 0.0f, {1.5f}, {10.0f});
  negative.SpacingCount = -1;

  std::vector<std::string> ves;
  BuildVesListing({longCount, negative}, ves);
  ASSERT_EQ(ves.size(), 10u + 5 + 2 + 5);
  EXPECT_EQ(ves[11], Utf8ToGbk("观测极距个数：2"));
  EXPECT_EQ(ves[14], "2.5      20.0");
  EXPECT_EQ(ves[15], "");
  EXPECT_EQ(ves[18], Utf8ToGbk("观测极距个数：0"));

  std::vector<std::string> dat;
  BuildDatListing({longCount, shortIp, negative}, dat);
  ASSERT_EQ(dat.size(), 7u + 2 + 1 + 1);
  EXPECT_EQ(dat[8].substr(0, 8), "1   2.5 ");
  EXPECT_EQ(dat[9].substr(0, 8), "2   1.5 ");
  EXPECT_EQ(dat[10], "End of Dat File");
}

// ---- Page layout ----

std::vector<std::string> Numbered(int n) {
  std::vector<std::string> lines;
  for (int i = 1; i <= n; ++i) lines.push_back("line " + std::to_string(i));
  return lines;
}

std::vector<PlacedLine> Heading(int lineHeight) {
  return {{200, Utf8ToGbk("      电测深观测数据")}, {200 + lineHeight, std::string(32, '-')}};
}

// Line height 100, page height 1000: a page ends once y passes 600, so the first page holds
// the lines at 200 to 600 and every later page the heading at 200, 300 and lines at 400 to 600.
TEST(ListingLayout, PagesAndPositions) {
  const auto pages = LayOutListing(Numbered(7), 100, 1000);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].lines, (std::vector<PlacedLine>{
                                {200, "line 1"}, {300, "line 2"}, {400, "line 3"}, {500, "line 4"}, {600, "line 5"}}));
  std::vector<PlacedLine> second = Heading(100);
  second.push_back({400, "line 6"});
  second.push_back({500, "line 7"});
  EXPECT_EQ(pages[1].lines, second);
}

TEST(ListingLayout, LastLineCrossingAddsAHeadingOnlyPage) {
  // 5 lines fill the first page, 3 more the second; the 8th line passes the threshold.
  auto pages = LayOutListing(Numbered(8), 100, 1000);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[1].lines.size(), 5u);
  EXPECT_EQ(pages[1].lines.back(), (PlacedLine{600, "line 8"}));
  EXPECT_EQ(pages[2].lines, Heading(100));

  pages = LayOutListing(Numbered(5), 100, 1000);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[1].lines, Heading(100));

  pages = LayOutListing(Numbered(4), 100, 1000);  // y reaches 600, which does not pass it
  EXPECT_EQ(pages.size(), 1u);
}

TEST(ListingLayout, DegenerateSizesStillEnd) {
  EXPECT_EQ(LayOutListing({}, 100, 1000).size(), 1u);  // an empty document is one empty page
  EXPECT_TRUE(LayOutListing({}, 100, 1000)[0].lines.empty());
  // A page too small for even one line: every line on a page of its own after the first.
  const auto pages = LayOutListing(Numbered(3), 100, 100);
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[1].lines.size(), 3u);
  EXPECT_EQ(pages[1].lines[2], (PlacedLine{400, "line 2"}));
  EXPECT_EQ(pages[3].lines, Heading(100));
}

}  // namespace
