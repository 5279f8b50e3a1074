// Readings that break a curve: on clean curves nothing, on broken ones exactly the mistyped rows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "plot/outliers.h"

namespace {

using Texts = std::vector<std::string>;

const std::vector<double> kSpacings = {1.5, 2, 3, 4, 5, 6, 8, 10, 12, 15, 20, 25, 30, 40, 50, 65, 80, 100, 120, 150};

std::string ThreeDigits(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3g", v);
  return buf;
}

// Sounding curves of the usual shapes, typed with three significant digits.
struct Curve {
  const char* name;
  std::function<double(double)> rho;
};
const std::vector<Curve> kCurves = {
    {"rising", [](double a) { double s = std::pow(a / 20, 1.5); return 20 + 300 * s / (1 + s); }},
    {"falling", [](double a) { return 500 / (1 + std::pow(a / 10, 1.2)) + 15; }},
    {"H (minimum)", [](double a) { double t = std::log(a / 12); return std::pow(10, 2 - 0.9 * std::exp(-t * t / 1.5)); }},
    {"K (maximum)", [](double a) { double t = std::log(a / 8); return std::pow(10, 1.5 + 0.8 * std::exp(-t * t / 2)); }},
};

Texts SpacingTexts() {
  Texts x;
  for (double a : kSpacings) x.push_back(ThreeDigits(a));
  return x;
}

Texts RhoTexts(const Curve& c) {
  Texts y;
  for (double a : kSpacings) y.push_back(ThreeDigits(c.rho(a)));
  return y;
}

std::vector<int> OutlierRows(const Texts& x, const Texts& y, double factor = kDefaultOutlierFactor,
                             CurveKind kind = CurveKind::Sounding) {
  std::vector<int> rows;
  for (const PlotPoint& p : FindOutliers(SeriesFromTexts(kind, x, y), factor)) rows.push_back(p.row);
  return rows;
}

// The reading times k: "587" for "58.7" is k = 10.
std::string Times(const std::string& text, double k) { return ThreeDigits(std::stod(text) * k); }

}  // namespace

TEST(FindOutliers, CleanCurvesHaveNone) {
  for (const Curve& c : kCurves) EXPECT_EQ(OutlierRows(SpacingTexts(), RhoTexts(c)), std::vector<int>{}) << c.name;
}

// One mistyped reading anywhere on the curve, the ends included, flags that row and no other.
TEST(FindOutliers, OneMistypedReadingFlagsItsRowOnly) {
  const Texts x = SpacingTexts();
  for (const Curve& c : kCurves)
    for (double k : {10.0, 0.1, 3.0, 1.0 / 3.0})
      for (std::size_t row = 0; row < x.size(); ++row) {
        Texts y = RhoTexts(c);
        y[row] = Times(y[row], k);
        EXPECT_EQ(OutlierRows(x, y), std::vector<int>{static_cast<int>(row)}) << c.name << " x" << k << " row " << row;
      }
}

TEST(FindOutliers, TwoMistypedReadingsSideBySide) {
  const Texts x = SpacingTexts();
  for (const Curve& c : kCurves)
    for (std::size_t row = 0; row + 1 < x.size(); ++row) {
      Texts y = RhoTexts(c);
      y[row] = Times(y[row], 10);
      y[row + 1] = Times(y[row + 1], 10);
      std::vector<int> want = {static_cast<int>(row), static_cast<int>(row + 1)};
      EXPECT_EQ(OutlierRows(x, y), want) << c.name << " rows " << row;
    }
}

TEST(FindOutliers, TheFactorDecides) {
  const Texts x = SpacingTexts();
  Texts y = RhoTexts(kCurves[0]);
  y[8] = Times(y[8], 3);  // a reading 3 times too large
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double factor;
    std::vector<int> rows;
  };
  const std::vector<Case> cases = {
      {2, {8}}, {2.5, {8}}, {4, {}}, {10, {}}, {inf, {}},
      // Not a usable factor: the default, 2.
      {1, {8}}, {0.5, {8}}, {0, {8}}, {-2, {8}}, {nan, {8}}};
  for (const Case& c : cases) EXPECT_EQ(OutlierRows(x, y, c.factor), c.rows) << c.factor;
}

TEST(FindOutliers, SegmentsAreJudgedOnTheirOwn) {
  const Texts x = SpacingTexts();
  const Texts clean = RhoTexts(kCurves[1]);
  // A gap after row 6: row 6 ends the first segment and is judged from its own side.
  Texts y = clean;
  y[7] = "";
  y[6] = Times(y[6], 10);
  EXPECT_EQ(OutlierRows(x, y), std::vector<int>{6});
  // The rows beyond the gap do not reach across it: a clean curve on both sides has none.
  y = clean;
  y[7] = "abc";
  y[12] = "0";
  EXPECT_EQ(OutlierRows(x, y), std::vector<int>{});
  // A segment of two points cannot be judged.
  y = clean;
  y[2] = "";
  y[1] = Times(y[1], 10);
  EXPECT_EQ(OutlierRows(x, y), std::vector<int>{});
}

TEST(FindOutliers, RepeatedAndBackwardSpacingsAreNotJudgedButNeverDivideByZero) {
  // Row 2 repeats the spacing of row 1, row 5 goes back: neither is judged, the clean rest
  // gives nothing, and a mistype elsewhere is still found.
  const Texts x = {"1.5", "2", "2", "3", "4", "3.5", "5", "6", "8", "10"};
  Texts y = {"100", "98", "98", "95", "90", "92", "85", "80", "72", "66"};
  EXPECT_EQ(OutlierRows(x, y), std::vector<int>{});
  y[8] = "720";
  EXPECT_EQ(OutlierRows(x, y), std::vector<int>{8});
  // Every spacing the same: nothing can be judged.
  EXPECT_EQ(OutlierRows({"5", "5", "5", "5"}, {"10", "1000", "10", "1000"}), std::vector<int>{});
}

TEST(FindOutliers, ProfilesAlongPointNumbersAndNotIpParameters) {
  Texts points, rho;
  for (int i = 0; i < 15; ++i) {
    points.push_back(std::to_string(i * 10));
    rho.push_back(ThreeDigits(100 + 40 * std::sin(i / 3.0)));
  }
  EXPECT_EQ(OutlierRows(points, rho, 2, CurveKind::Profile), std::vector<int>{});
  rho[5] = Times(rho[5], 0.1);
  EXPECT_EQ(OutlierRows(points, rho, 2, CurveKind::Profile), std::vector<int>{5});
  // A line typed from its far end is judged the same.
  EXPECT_EQ(OutlierRows(Texts(points.rbegin(), points.rend()), Texts(rho.rbegin(), rho.rend()), 2, CurveKind::Profile),
            std::vector<int>{9});
  // An IP parameter has no resistivity factor to break.
  EXPECT_EQ(OutlierRows({"1", "2", "3", "4", "5"}, {"1", "2", "50", "2", "1"}, 2, CurveKind::SoundingIp),
            std::vector<int>{});
}

TEST(FindOutliers, OutliersCarryTheirPoints) {
  Texts y = RhoTexts(kCurves[2]);
  y[10] = "5870";
  std::vector<PlotPoint> got = FindOutliers(SeriesFromTexts(CurveKind::Sounding, SpacingTexts(), y));
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], (PlotPoint{20.0, 5870.0, 10}));
  EXPECT_TRUE(FindOutliers(Series{}).empty());
}
