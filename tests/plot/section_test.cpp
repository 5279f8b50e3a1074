// Sections and maps as rasters: values interpolated in log resistivity between neighbouring
// stations or lines, nothing beyond the data or across a station without a value, a colour scale
// whose lightness rises steadily (readable in greyscale).
#include <gtest/gtest.h>

#include <cmath>

#include "../ui/support/stationbuilder.h"
#include "plot/section.h"

namespace {
// A sounding at x with a constant apparent resistivity at AB/2 1, 10 and 100.
sdata Flat(const std::string& name, float x, float rho, const std::string& line = "L1") {
  sdata s = BuildStation(dtSounding, name, x, {{1, rho}, {10, rho}, {100, rho}});
  s.Profile = line;
  return s;
}

// The raster's value at (x, y) of its area (the cell whose centre is nearest).
float At(const Raster& r, const RasterArea& a, double x, double y) {
  const int c = static_cast<int>(std::floor((x - a.x0) / (a.x1 - a.x0) * r.width));
  const int row = static_cast<int>(std::floor((y - a.y0) / (a.y1 - a.y0) * r.height));
  return r.at(std::clamp(c, 0, r.width - 1), std::clamp(row, 0, r.height - 1));
}
}  // namespace

TEST(Section, PseudoSectionBlendsNeighboursOnly) {
  StationList s = {Flat("B", 100, 1000), Flat("A", 0, 10), Flat("X", 50, 77, "L2")};
  EXPECT_EQ(SoundingLines(s), (std::vector<std::string>{"L1", "L2"}));
  const std::vector<std::size_t> line = LineStations(s, "L1");
  ASSERT_EQ(line, (std::vector<std::size_t>{1, 0}));  // x order
  const RasterArea area{-50, 150, -1, 3};  // log10 AB/2 from 0.1 to 1000 m
  const Raster r = PseudoSection(s, line, 200, 400, area);
  EXPECT_NEAR(At(r, area, 50, 1), 2.0, 0.02);   // halfway between 10 and 1000 ohm-m
  EXPECT_NEAR(At(r, area, 0.2, 1), 1.0, 0.02);  // at A
  EXPECT_TRUE(std::isnan(At(r, area, -40, 1)));  // before the first station
  EXPECT_TRUE(std::isnan(At(r, area, 140, 1)));  // after the last
  EXPECT_TRUE(std::isnan(At(r, area, 50, -0.5)));  // above the smallest AB/2
  EXPECT_TRUE(std::isnan(At(r, area, 50, 2.5)));   // below the largest

  // A station's readings are joined in log–log.
  StationList one = {BuildStation(dtSounding, "S", 0, {{1, 10}, {100, 1000}})};
  const Raster single = PseudoSection(one, {0}, 41, 100, {-1, 1, 0, 2});
  EXPECT_NEAR(single.at(20, 50), 2.0, 0.02);
  EXPECT_TRUE(std::isnan(single.at(0, 50)));  // a lone station is a narrow band
}

TEST(Section, GeoelectricSectionLeavesGapsAtStationsWithoutModels) {
  StationList s = {Flat("A", 0, 10), Flat("B", 100, 10), Flat("C", 200, 10)};
  s[0].Model = {{10, 100}, {100, 1000}, ModelOrigin::Fitted};
  s[2].Model = {{20, 100}, {100, 1000}, ModelOrigin::Fitted};
  const std::vector<std::size_t> line = LineStations(s, "L1");
  EXPECT_EQ(SectionDepth(s, line), 30.0);
  const RasterArea area{0, 200, 0, 40};
  const Raster r = GeoelectricSection(s, line, 400, 400, area);
  EXPECT_NEAR(At(r, area, 0.3, 5), 2.0, 1e-6);   // A's first layer
  EXPECT_NEAR(At(r, area, 0.3, 15), 3.0, 1e-6);  // A's basement
  EXPECT_TRUE(std::isnan(At(r, area, 50, 5)));   // between A and B, which has no model
  EXPECT_TRUE(std::isnan(At(r, area, 150, 5)));
  EXPECT_NEAR(At(r, area, 199.7, 15), 2.0, 1e-6);  // C's first layer reaches 20 m

  s[1].Model = {{10, 100}, {100, 1000}, ModelOrigin::Fitted};
  const Raster joined = GeoelectricSection(s, line, 400, 400, area);
  EXPECT_NEAR(At(joined, area, 150, 15), 2.5, 0.02);  // halfway between 1000 and 100 ohm-m
}

TEST(Section, PlanMapOfProfilingLines) {
  sdata a = BuildStation(dtFourPoleProfile, "0", 0, {{0, 50, 20, 10}, {100, 50, 20, 10}});
  sdata b = BuildStation(dtFourPoleProfile, "100", 0, {{0, 50, 20, 1000}, {50, 50, 20, 1000}});
  a.Profile = "0";
  b.Profile = "100";
  const std::vector<PlanLine> lines = PlanLines(dtFourPoleProfile, {b, a});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].name, "0");  // in y order
  EXPECT_EQ(lines[1].y, 100.0);
  const RasterArea area{-10, 110, -10, 110};
  const Raster r = PlanMap(lines, 240, 240, area);
  EXPECT_NEAR(At(r, area, 25, 50), 2.0, 0.03);
  EXPECT_TRUE(std::isnan(At(r, area, 75, 50)));  // beyond line 100's last point
  EXPECT_TRUE(std::isnan(At(r, area, 25, 108)));  // beyond the last line

  // Combined profiling: the mean of the branches, and where they cross.
  sdata ra = BuildStation(dtCombinedProfile, "A", 0, {{0, 50, 20, 100}, {20, 50, 20, 300}});
  sdata rb = BuildStation(dtCombinedProfile, "B", 0, {{0, 50, 20, 300}, {20, 50, 20, 100}});
  ra.Profile = rb.Profile = "7";
  const std::vector<PlanLine> combined = PlanLines(dtCombinedProfile, {ra, rb});
  ASSERT_EQ(combined.size(), 1u);
  EXPECT_EQ(combined[0].y, 7.0);
  ASSERT_EQ(combined[0].crossings.size(), 1u);
  EXPECT_NEAR(combined[0].crossings[0].x, 10.0, 1e-9);
  EXPECT_NEAR(combined[0].logRho[0], std::log10(std::sqrt(100.0 * 300.0)), 1e-9);
}

// The scale's lightness rises from end to end, so that it reads in greyscale print.
TEST(Section, ColourScaleReadsInGreyscale) {
  auto luminance = [](std::array<unsigned char, 3> c) { return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]; };
  double before = -1.0;
  for (int i = 0; i <= 100; ++i) {
    const double l = luminance(ScaleColour(i / 100.0));
    EXPECT_GT(l, before) << i;
    before = l;
  }
  EXPECT_EQ(ScaleColour(-3), ScaleColour(0));
  EXPECT_EQ(ScaleColour(7), ScaleColour(1));

  Raster flat{2, 1, {2.2f, std::nanf("")}};
  const ValueRange r = FiniteRange({&flat});
  EXPECT_EQ(r.lo, 2.0);  // widened to whole decades
  EXPECT_EQ(r.hi, 3.0);
}
