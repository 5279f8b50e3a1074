// Ordering of stations and rows: the order decides the order of stations in the saved files.
#include <gtest/gtest.h>

#include "model/stations.h"

namespace {
sdata Station(const std::string& name, float x) {
  sdata s;
  s.Name = name;
  s.X = x;
  return s;
}

std::string Names(const StationList& list) {
  std::string out;
  for (const auto& s : list) out += s.Name;
  return out;
}

// A sounding station as the commit builds it: AB/2 and resistivity, 0.0 in Columns[4..8].
sdata Sounding(std::vector<float> ab2, std::vector<float> rho) {
  sdata s;
  s.SpacingCount = static_cast<int>(ab2.size());
  s.Columns[colAB2] = ab2;
  s.Columns[colRho] = rho;
  for (int c : {colZP, colIP, colTD, colTH, colR}) s.Columns[c].assign(ab2.size(), 0.0f);
  return s;
}
}  // namespace

TEST(SortStationsByX, EqualXKeepTheExchangeSortOrder) {
  StationList list{Station("P", 5), Station("Q", 5), Station("R", 3)};
  SortStationsByX(list);
  EXPECT_EQ(Names(list), "RQP");
}

TEST(SortStationsByX, MatchesTheExchangeSortOnMixedLists) {
  // Reference: the plain exchange sort, run on the same lists.
  auto reference = [](StationList s) {
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
      for (std::size_t j = i + 1; j < s.size(); ++j)
        if (s[i].X > s[j].X) std::swap(s[i], s[j]);
    return s;
  };
  const std::vector<std::vector<float>> cases = {
      {}, {7}, {1, 2, 3}, {3, 2, 1}, {2, 1, 2, 1, 2}, {5, 5, 3, 5, 1, 5}, {0, -1, 0, -1, 4, 4, -3}};
  for (const auto& xs : cases) {
    StationList list;
    for (std::size_t i = 0; i < xs.size(); ++i) list.push_back(Station(std::string(1, static_cast<char>('a' + i)), xs[i]));
    StationList expected = reference(list);
    SortStationsByX(list);
    EXPECT_EQ(Names(list), Names(expected));
  }
}

TEST(SortStationsByX, ExchangesWholeStations) {
  sdata far = Sounding({1.5f, 2.5f}, {10, 20});
  far.Name = "far";
  far.X = 100;
  far.WorkArea = "area";
  sdata near = Station("near", 0);
  StationList list{far, near};
  SortStationsByX(list);
  EXPECT_EQ(list[0], near);
  EXPECT_EQ(list[1], far);
}

TEST(SortRowsBySpacing, CarriesEveryFilledColumnWithItsSpacing) {
  sdata s = Sounding({10, 1.5f, 4}, {30, 10, 20});
  for (int c : {colZP, colIP, colTD, colTH, colR}) s.Columns[c] = {300.0f + c, 100.0f + c, 200.0f + c};
  StationList list{s};
  SortRowsBySpacing(list);
  const sdata& r = list[0];
  EXPECT_EQ(r.Columns[colAB2], (std::vector<float>{1.5f, 4, 10}));
  EXPECT_EQ(r.Columns[colRho], (std::vector<float>{10, 20, 30}));
  for (int c : {colZP, colIP, colTD, colTH, colR})
    EXPECT_EQ(r.Columns[c], (std::vector<float>{100.0f + c, 200.0f + c, 300.0f + c})) << "column " << c;
  EXPECT_TRUE(r.Columns[colPointNo].empty());
  EXPECT_TRUE(r.Columns[colMN2].empty());
}

TEST(SortRowsBySpacing, NoRowsOrOneRowIsLeftAlone) {
  StationList list{Sounding({}, {}), Sounding({4}, {40})};
  StationList before = list;
  SortRowsBySpacing(list);
  EXPECT_EQ(list, before);
}

TEST(SortRowsBySpacing, ShortColumnIsNeverReadPastItsEnd) {
  sdata s = Sounding({3, 2, 1}, {30, 20, 10});
  s.Columns[colR].resize(1);  // a broken station: must not crash
  StationList list{s};
  SortRowsBySpacing(list);
  EXPECT_EQ(list[0].Columns[colAB2], (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(list[0].Columns[colRho], (std::vector<float>{10, 20, 30}));
}

struct InsertCase {
  float x;
  std::size_t index;
};

class InsertStationByXTest : public testing::TestWithParam<InsertCase> {};

TEST_P(InsertStationByXTest, GoesToItsXPosition) {
  StationList list{Station("a", 0), Station("b", 50), Station("c", 100)};
  const auto [x, index] = GetParam();
  EXPECT_EQ(InsertStationByX(list, Station("new", x)), index);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[index].Name, "new");
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const sdata& a, const sdata& b) { return a.X < b.X; }));
}

INSTANTIATE_TEST_SUITE_P(FrontMiddleEndAndEqual, InsertStationByXTest,
                         testing::Values(InsertCase{75, 2}, InsertCase{-10, 0}, InsertCase{150, 3},
                                         InsertCase{25, 1}, InsertCase{50, 2}, InsertCase{0, 1},
                                         InsertCase{100, 3}));

TEST(InsertStationByX, EmptyListAndAmongSeveralEqualX) {
  StationList list;
  EXPECT_EQ(InsertStationByX(list, Station("a", 5)), 0u);
  InsertStationByX(list, Station("b", 5));
  EXPECT_EQ(InsertStationByX(list, Station("c", 5)), 2u);
  EXPECT_EQ(Names(list), "abc");
}

TEST(InsertStationByX, OrdersAListThatWasNotInOrderFirst) {
  StationList list{Station("far", 100), Station("near", 0)};  // as after an update moved X
  EXPECT_EQ(InsertStationByX(list, Station("mid", 50)), 1u);
  EXPECT_EQ(Names(list), "nearmidfar");
}

TEST(Sdata, CopiesAreDeep) {
  sdata a = Sounding({1.5f}, {10});
  sdata b = a;
  b.Columns[colRho][0] = 99;
  b.Name = "other";
  EXPECT_EQ(a.Columns[colRho][0], 10);
  EXPECT_EQ(a.Name, "");
}
