// Ordering of stations and rows: the order decides the order of stations in the saved files.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <random>

#include "model/stations.h"
#include "reference_sort.h"

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

std::string Show(const std::vector<float>& keys) {
  std::string out;
  for (float k : keys) out += std::to_string(k) + " ";
  return out;
}
}  // namespace

TEST(ExchangeSortOrder, EqualsTheExchangeSortOnEveryShortListWithTies) {
  // Every list of up to 8 keys drawn from three values, and from two values with NaN and -0.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<std::vector<float>> alphabets = {{0, 1, 2}, {-0.0f, 0.0f, nan}, {1, nan, 3}};
  for (const auto& alphabet : alphabets) {
    for (std::size_t n = 0; n <= 8; ++n) {
      std::vector<std::size_t> digits(n, 0);
      while (true) {
        std::vector<float> keys(n);
        for (std::size_t i = 0; i < n; ++i) keys[i] = alphabet[digits[i]];
        ASSERT_EQ(ExchangeSortOrder(keys), reference::ExchangeSortOrder(keys)) << Show(keys);
        std::size_t i = 0;
        while (i < n && ++digits[i] == alphabet.size()) digits[i++] = 0;
        if (i == n) break;
      }
    }
  }
}

TEST(ExchangeSortOrder, EqualsTheExchangeSortOnRandomListsWithManyTies) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 400; ++round) {
    const std::size_t n = std::uniform_int_distribution<std::size_t>(2, 300)(random);
    const int distinct = std::uniform_int_distribution<int>(1, round % 2 == 0 ? 4 : 40)(random);
    std::uniform_int_distribution<int> value(0, distinct - 1);
    std::vector<float> keys(n);
    for (float& k : keys) k = static_cast<float>(value(random)) * 0.5f - 3.0f;
    if (round % 10 == 0) keys[n / 2] = std::numeric_limits<float>::quiet_NaN();
    ASSERT_EQ(ExchangeSortOrder(keys), reference::ExchangeSortOrder(keys)) << Show(keys);
  }
}

TEST(SortStationsByX, RandomListsWithTiesComeOutAsTheExchangeSortLeavesThem) {
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    std::vector<float> xs(std::uniform_int_distribution<std::size_t>(2, 120)(random));
    for (float& x : xs) x = static_cast<float>(std::uniform_int_distribution<int>(0, 5)(random)) * 10.0f;
    StationList list;
    for (std::size_t i = 0; i < xs.size(); ++i) list.push_back(Station(std::to_string(i) + ",", xs[i]));
    StationList expected;
    for (std::size_t i : reference::ExchangeSortOrder(xs)) expected.push_back(list[i]);
    SortStationsByX(list);
    EXPECT_EQ(Names(list), Names(expected));
  }
}

TEST(SortRowsBySpacing, RowsWithEqualSpacingsComeOutAsTheExchangeSortLeavesThem) {
  std::mt19937 random(11);
  for (int round = 0; round < 50; ++round) {
    std::vector<float> ab2(std::uniform_int_distribution<std::size_t>(2, 150)(random));
    for (float& a : ab2) a = static_cast<float>(std::uniform_int_distribution<int>(1, 6)(random));
    std::vector<float> rho(ab2.size());
    std::iota(rho.begin(), rho.end(), 1.0f);  // names every row
    sdata s = Sounding(ab2, rho);
    for (int c : {colZP, colIP, colTD, colTH, colR})
      for (std::size_t r = 0; r < ab2.size(); ++r) s.Columns[c][r] = rho[r] * 100.0f + static_cast<float>(c);
    SortRowsBySpacing(s);
    const std::vector<std::size_t> order = reference::ExchangeSortOrder(ab2);
    for (std::size_t k = 0; k < order.size(); ++k) {
      ASSERT_EQ(s.Columns[colAB2][k], ab2[order[k]]);
      ASSERT_EQ(s.Columns[colRho][k], rho[order[k]]) << "row " << k;
      for (int c : {colZP, colIP, colTD, colTH, colR})
        ASSERT_EQ(s.Columns[c][k], rho[order[k]] * 100.0f + static_cast<float>(c));
    }
  }
}

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
