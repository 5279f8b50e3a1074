// The points, gaps, order flags and axes of a curve, from the grid's cell texts and from
// committed stations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "plot/series.h"

namespace {

using Texts = std::vector<std::string>;
using Rows = std::vector<std::vector<int>>;

Rows SegmentRows(const Series& s) {
  Rows rows;
  for (const Segment& seg : s.segments) {
    rows.emplace_back();
    for (const PlotPoint& p : seg) rows.back().push_back(p.row);
  }
  return rows;
}

bool IsPowerOfTen(double v) {
  double e = std::log10(v);
  return std::isfinite(e) && std::fabs(e - std::round(e)) < 1e-12;
}

// What every axis must be, whatever was typed: finite, min < max, holding every point clear of
// the frame (no marker cut at an edge), whole decades on a log axis and whole steps on a linear
// one.
void ExpectSaneAxis(const AxisRange& a, const std::vector<double>& values, const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_TRUE(std::isfinite(a.min) && std::isfinite(a.max)) << a.min << " " << a.max;
  EXPECT_LT(a.min, a.max);
  const double span = AxisCoord(a.scale, a.max) - AxisCoord(a.scale, a.min);
  for (double v : values) {
    EXPECT_LT(a.min, v);
    EXPECT_GT(a.max, v);
    const double c = AxisCoord(a.scale, v);
    EXPECT_GE(std::min(c - AxisCoord(a.scale, a.min), AxisCoord(a.scale, a.max) - c), 0.01 * span) << v;
  }
  if (a.scale == AxisScale::Log10) {
    EXPECT_GT(a.min, 0.0);
    EXPECT_TRUE(IsPowerOfTen(a.min)) << a.min;
    EXPECT_TRUE(IsPowerOfTen(a.max)) << a.max;
  } else {
    ASSERT_GT(a.step, 0.0);
    double intervals = (a.max - a.min) / a.step;
    EXPECT_NEAR(intervals, std::round(intervals), 1e-6);
    EXPECT_LE(intervals, 12.0);
  }
}

void ExpectSaneSeries(const Series& s, const std::string& what) {
  std::vector<double> xs, ys;
  for (const Segment& seg : s.segments) {
    EXPECT_FALSE(seg.empty()) << what;
    for (const PlotPoint& p : seg) {
      xs.push_back(p.x);
      ys.push_back(p.y);
    }
  }
  ExpectSaneAxis(s.axes.x, xs, what + " x");
  ExpectSaneAxis(s.axes.y, ys, what + " y");
  EXPECT_EQ(s.note.empty(), !s.empty()) << what;
}

}  // namespace

TEST(SeriesFromTexts, DrawsTheGoodRowsAndBreaksTheLineAtTheOthers) {
  struct Case {
    const char* what;
    CurveKind kind;
    Texts x, y;
    Rows segments;
    std::vector<int> skipped;
  };
  const std::vector<Case> cases = {
      {"clean", CurveKind::Sounding, {"1.5", "2.5", "4"}, {"100", "80", "60"}, {{0, 1, 2}}, {}},
      {"empty resistivity cell", CurveKind::Sounding, {"1.5", "2.5", "4"}, {"100", "", "60"}, {{0}, {2}}, {1}},
      {"every refused resistivity",
       CurveKind::Sounding,
       {"1", "2", "3", "4", "5", "6", "7", "8", "9"},
       {"10", "abc", "20", "1,5", "nan", "30", "0", "-5", "inf"},
       {{0}, {2}, {5}},
       {1, 3, 4, 6, 7, 8}},
      {"blanks around numbers; blank rows", CurveKind::Sounding,
       {"1", " 2 ", "", "4", "", " "}, {"10", "20\t", "  ", "40", "", ""}, {{0, 1}, {3}}, {}},
      {"spacing not positive or not a number", CurveKind::Sounding,
       {"1", "0", "3", "-2", "x", "6"}, {"10", "10", "10", "10", "10", "10"}, {{0}, {2}, {5}}, {1, 3, 4}},
      {"ragged columns", CurveKind::Sounding, {"1", "2", "3", "4"}, {"10", "20"}, {{0, 1}}, {2, 3}},
      {"beyond the float range refused, tiny kept", CurveKind::Sounding,
       {"1", "2", "3", "4"}, {"1e-30", "1e39", "3e38", "1e-50"}, {{0}, {2}}, {1, 3}},
      {"profile: point numbers 0 and negative are drawn", CurveKind::Profile,
       {"-10", "0", "10", "20"}, {"50", "60", "0", "70"}, {{0, 1}, {3}}, {2}},
      {"IP parameter: 0 and negative values are drawn", CurveKind::SoundingIp,
       {"1", "2", "0", "4"}, {"0", "-3.5", "2", "1.5"}, {{0, 1}, {3}}, {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Series s = SeriesFromTexts(c.kind, c.x, c.y);
    EXPECT_EQ(SegmentRows(s), c.segments);
    EXPECT_EQ(s.skippedRows, c.skipped);
    ExpectSaneSeries(s, c.what);
  }
}

TEST(SeriesFromTexts, PointsHoldTheTypedValuesAsFloats) {
  Series s = SeriesFromTexts(CurveKind::Sounding, {"1.5", " 2e3 ", "0.1"}, {"58.7", "587", "1e-30"});
  ASSERT_EQ(s.pointCount(), 3u);
  EXPECT_EQ(s.segments[0][0], (PlotPoint{1.5, static_cast<double>(58.7f), 0}));
  EXPECT_EQ(s.segments[0][1], (PlotPoint{2000.0, 587.0, 1}));
  EXPECT_EQ(s.segments[0][2], (PlotPoint{static_cast<double>(0.1f), static_cast<double>(1e-30f), 2}));
}

TEST(SeriesFromTexts, NothingDrawableGivesAnEmptySeriesWithANoteAndDefaultAxes) {
  const std::vector<std::pair<Texts, Texts>> cases = {
      {{}, {}},
      {{"", " "}, {"", ""}},
      {{"1", "2"}, {"0", "-1"}},
      {{"abc", "1,5"}, {"10", "20"}},
      {{"1"}, {}},
  };
  for (const auto& [x, y] : cases) {
    Series s = SeriesFromTexts(CurveKind::Sounding, x, y);
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.note, kNothingToPlotNote);
    EXPECT_EQ(s.axes.x, (AxisRange{AxisScale::Log10, 1.0, 1000.0, 0.0}));
    EXPECT_EQ(s.axes.y, (AxisRange{AxisScale::Log10, 1.0, 1000.0, 0.0}));
  }
  Series profile = SeriesFromTexts(CurveKind::Profile, {"1"}, {"0"});
  EXPECT_EQ(profile.axes.x, (AxisRange{AxisScale::Linear, 0.0, 10.0, 2.0}));
}

TEST(SeriesFromTexts, AxesRoundOutToDecadesAndSteps) {
  struct Case {
    CurveKind kind;
    Texts x, y;
    AxisRange ax, ay;
  };
  const std::vector<Case> cases = {
      // A point on a power of ten gets the decade beyond it: its marker is not cut by the frame.
      {CurveKind::Sounding, {"1.5", "100"}, {"58.7", "587"}, {AxisScale::Log10, 1, 1000, 0}, {AxisScale::Log10, 10, 1000, 0}},
      {CurveKind::Sounding, {"1.5", "90"}, {"58.7", "980"}, {AxisScale::Log10, 1, 100, 0}, {AxisScale::Log10, 10, 10000, 0}},
      {CurveKind::Sounding, {"100"}, {"100"}, {AxisScale::Log10, 10, 1000, 0}, {AxisScale::Log10, 10, 1000, 0}},
      {CurveKind::Profile, {"0", "100"}, {"5", "5"}, {AxisScale::Linear, -20, 120, 20}, {AxisScale::Log10, 1, 10, 0}},
      {CurveKind::Profile, {"-3", "7"}, {"20", "20"}, {AxisScale::Linear, -4, 8, 2}, {AxisScale::Log10, 10, 100, 0}},
      {CurveKind::SoundingIp, {"2", "2"}, {"-1.5", "3.2"}, {AxisScale::Log10, 1, 10, 0}, {AxisScale::Linear, -2, 4, 1}},
  };
  for (const Case& c : cases) {
    Series s = SeriesFromTexts(c.kind, c.x, c.y);
    EXPECT_EQ(s.axes.x, c.ax) << c.x.front();
    EXPECT_EQ(s.axes.y, c.ay) << c.y.front();
  }
}

// Every value a user can type, in every cell of a short station, for every kind of curve.
TEST(SeriesFromTexts, AnyTypedValueGivesFiniteAxes) {
  const Texts values = {"",     " ",     "abc",   "0",    "-0",    "-5",     "1e-30", "1e30",  "3.4e38", "-3.4e38",
                        "1e39", "1e-45", "1e-50", "1,5",  "nan",   "inf",    "587",   "58.7",  "+2",     ".5",
                        "5.",   "1e",    "--1",   "１０", "0x10",  "1e+308", "7",     "0.001", "12345678901234567890"};
  for (CurveKind kind : {CurveKind::Sounding, CurveKind::SoundingIp, CurveKind::Profile}) {
    for (const std::string& v : values) {
      for (std::size_t at = 0; at < 4; ++at) {
        Texts x = {"1", "2", "3", "4"}, y = {"10", "20", "30", "40"};
        x[at] = v;
        ExpectSaneSeries(SeriesFromTexts(kind, x, y), "x '" + v + "'");
        x = {v, v, v, v};
        ExpectSaneSeries(SeriesFromTexts(kind, x, y), "all x '" + v + "'");
        y[at] = v;
        ExpectSaneSeries(SeriesFromTexts(kind, {"1", "2", "3", "4"}, y), "y '" + v + "'");
        ExpectSaneSeries(SeriesFromTexts(kind, x, y), "both '" + v + "'");
      }
    }
  }
  // Extremes together: 60 decades, still whole and finite.
  Series wide = SeriesFromTexts(CurveKind::Sounding, {"1e-30", "3e38"}, {"1e30", "1e-45"});
  ExpectSaneSeries(wide, "extremes");
  EXPECT_EQ(wide.pointCount(), 2u);
}

TEST(SeriesFromTexts, RepeatedAndBackwardSpacingsAreListedAndDrawnInRowOrder) {
  struct Case {
    const char* what;
    CurveKind kind;
    Texts x;
    std::vector<int> repeated, outOfOrder;
  };
  const std::vector<Case> cases = {
      {"sounding in order", CurveKind::Sounding, {"1.5", "2", "3", "4"}, {}, {}},
      {"sounding: 1.50 repeats 1.5, 1.8 goes back", CurveKind::Sounding, {"1.5", "2", "1.50", "1.8", "3"}, {2}, {3}},
      {"sounding falling from the start", CurveKind::Sounding, {"10", "5", "2"}, {}, {1, 2}},
      {"sounding: a refused spacing is not compared", CurveKind::Sounding, {"2", "abc", "0", "3"}, {}, {}},
      {"profile rising", CurveKind::Profile, {"0", "10", "20", "15", "20"}, {4}, {3}},
      {"profile falling", CurveKind::Profile, {"100", "90", "80", "85", "80"}, {4}, {3}},
      {"profile: direction from the first two different points", CurveKind::Profile, {"5", "5", "6", "4"}, {1}, {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Texts y(c.x.size(), "50");
    Series s = SeriesFromTexts(c.kind, c.x, y);
    EXPECT_EQ(s.repeatedRows, c.repeated);
    EXPECT_EQ(s.outOfOrderRows, c.outOfOrder);
  }
  // The flags cover the spacing cell even when the resistivity cell is still empty.
  Series s = SeriesFromTexts(CurveKind::Sounding, {"1", "2", "1.5"}, {"10", "20", ""});
  EXPECT_EQ(s.outOfOrderRows, std::vector<int>{2});
  // Drawn in row order: the line turns back at the backward spacing.
  Series back = SeriesFromTexts(CurveKind::Sounding, {"1", "10", "5", "20"}, {"10", "20", "30", "40"});
  EXPECT_EQ(SegmentRows(back), (Rows{{0, 1, 2, 3}}));
}

TEST(SeriesFromStation, UsesTheColumnsOfTheKind) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  sdata s;
  s.Columns[colPointNo] = {0, 10, 20, 30};
  s.Columns[colAB2] = {1.5f, 2.5f, 4, 6};
  s.Columns[colRho] = {100, nan, 80, 0};
  s.Columns[colIP] = {0, -1.5f, inf, 2};
  EXPECT_EQ(SegmentRows(SeriesFromStation(s, CurveKind::Sounding, colRho)), (Rows{{0}, {2}}));
  EXPECT_EQ(SegmentRows(SeriesFromStation(s, CurveKind::SoundingIp, colIP)), (Rows{{0, 1}, {3}}));
  Series profile = SeriesFromStation(s, CurveKind::Profile, colRho);
  ASSERT_EQ(profile.pointCount(), 2u);
  EXPECT_EQ(profile.segments[1][0], (PlotPoint{20.0, 80.0, 2}));
  EXPECT_EQ(profile.skippedRows, (std::vector<int>{1, 3}));
  // A shorter column: the missing elements count as blank.
  s.Columns[colTD] = {5};
  EXPECT_EQ(SegmentRows(SeriesFromStation(s, CurveKind::SoundingIp, colTD)), (Rows{{0}}));
  for (int bad : {-1, kColumnCount, 1000}) {
    Series none = SeriesFromStation(s, CurveKind::Sounding, bad);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.note, kNothingToPlotNote);
  }
  EXPECT_TRUE(SeriesFromStation(sdata{}, CurveKind::Sounding, colRho).empty());
}

TEST(FitAxes, HoldsBothBranchesAndIgnoresEmptyOnes) {
  Series a = SeriesFromTexts(CurveKind::Profile, {"0", "10"}, {"12", "80"});
  Series b = SeriesFromTexts(CurveKind::Profile, {"20", "35"}, {"150", "900"});
  Series empty = SeriesFromTexts(CurveKind::Profile, {}, {});
  Axes both = FitAxes(CurveKind::Profile, {&a, &empty, nullptr, &b});
  EXPECT_EQ(both.x, (AxisRange{AxisScale::Linear, -10, 40, 10}));
  EXPECT_EQ(both.y, (AxisRange{AxisScale::Log10, 10, 1000, 0}));
  Axes justA = FitAxes(CurveKind::Profile, {&a, &empty});
  EXPECT_EQ(justA.x, a.axes.x);
  EXPECT_EQ(justA.y, a.axes.y);
  EXPECT_EQ(FitAxes(CurveKind::Profile, {}).x, (AxisRange{AxisScale::Linear, 0.0, 10.0, 2.0}));
  // Values another kind's scales cannot show are left out, not turned into a NaN axis.
  Series ip = SeriesFromTexts(CurveKind::SoundingIp, {"1", "10"}, {"-2", "0"});
  Axes wrong = FitAxes(CurveKind::Sounding, {&ip});
  EXPECT_EQ(wrong.y, (AxisRange{AxisScale::Log10, 1.0, 1000.0, 0.0}));
}

// The plan's axes: every position inside with a margin, one position alone, the default axis
// when there are none, and values the scale cannot show left out.
TEST(FitValues, HoldsEveryValueWithAMargin) {
  EXPECT_EQ(FitValues(AxisScale::Linear, {0, 50, 100}), (AxisRange{AxisScale::Linear, -20, 120, 20}));
  ExpectSaneAxis(FitValues(AxisScale::Linear, {250}), {250}, "one position");
  ExpectSaneAxis(FitValues(AxisScale::Linear, {-3.5, 1e6}), {-3.5, 1e6}, "spread");
  EXPECT_EQ(FitValues(AxisScale::Linear, {}), (AxisRange{AxisScale::Linear, 0.0, 10.0, 2.0}));
  EXPECT_EQ(FitValues(AxisScale::Linear, {std::nan(""), 5.0, INFINITY}), FitValues(AxisScale::Linear, {5.0}));
}
