// Where branches A and B of a combined-profiling line cross, touch or coincide.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "plot/crossings.h"

namespace {

Series Profile(std::vector<float> points, std::vector<float> rho) {
  return SeriesFromColumns(CurveKind::Profile, points, rho);
}

const float kMid = static_cast<float>(std::sqrt(1000.0));  // 10^1.5, halfway between 10 and 100 in log

struct Expected {
  Crossing::Kind kind;
  double x, y, xEnd;
};

void ExpectCrossings(const std::vector<Crossing>& got, const std::vector<Expected>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].kind, want[i].kind);
    EXPECT_NEAR(got[i].x, want[i].x, 1e-6 * std::max(1.0, std::fabs(want[i].x)));
    EXPECT_NEAR(got[i].y, want[i].y, 1e-5 * want[i].y);
    EXPECT_NEAR(got[i].xEnd, want[i].xEnd, 1e-6 * std::max(1.0, std::fabs(want[i].xEnd)));
  }
}

constexpr auto kCross = Crossing::Kind::Cross;
constexpr auto kTouch = Crossing::Kind::Touch;

}  // namespace

TEST(FindCrossings, TwoBranchesOfALine) {
  struct Case {
    const char* what;
    Series a, b;
    std::vector<Expected> want;
  };
  const std::vector<Case> cases = {
      // Interpolated in log-resistivity: the crossing lies at 10^1.5, not at 55.
      {"one crossing", Profile({1, 2}, {10, 100}), Profile({1, 2}, {100, 10}), {{kCross, 1.5, kMid, 1.5}}},
      {"at different points", Profile({0, 2, 4}, {10, 10, 10}), Profile({1, 3}, {5, 20}), {{kCross, 2, 10, 2}}},
      {"through a shared point, reported once", Profile({1, 2, 3}, {10, 100, 1000}), Profile({1, 2, 3}, {1000, 100, 10}),
       {{kCross, 2, 100, 2}}},
      {"touching at a point", Profile({1, 2, 3}, {10, 100, 10}), Profile({1, 2, 3}, {200, 100, 200}),
       {{kTouch, 2, 100, 2}}},
      {"parallel in log", Profile({1, 2, 3}, {10, 20, 40}), Profile({1, 2, 3}, {20, 40, 80}), {}},
      {"identical branches: one stretch", Profile({1, 2, 3}, {10, 20, 40}), Profile({1, 2, 3}, {10, 20, 40}),
       {{kTouch, 1, 10, 3}}},
      {"coincident stretch between opposite sides", Profile({1, 2, 3, 4}, {5, 10, 10, 20}),
       Profile({1, 2, 3, 4}, {20, 10, 10, 5}), {{kCross, 2, 10, 3}}},
      {"coincident stretch, same side after", Profile({1, 2, 3, 4}, {5, 10, 10, 5}), Profile({1, 2, 3, 4}, {20, 10, 10, 20}),
       {{kTouch, 2, 10, 3}}},
      {"several crossings", Profile({1, 2, 3, 4, 5, 6}, {10, 100, 10, 100, 10, 100}), Profile({1, 6}, {kMid, kMid}),
       {{kCross, 1.5, kMid, 1.5}, {kCross, 2.5, kMid, 2.5}, {kCross, 3.5, kMid, 3.5}, {kCross, 4.5, kMid, 4.5},
        {kCross, 5.5, kMid, 5.5}}},
      {"only within the common range", Profile({0, 10}, {10, 100}), Profile({4, 20}, {10, 1000}), {}},
      {"no common range", Profile({1, 2}, {10, 100}), Profile({3, 4}, {100, 10}), {}},
      {"meeting where one branch ends", Profile({1, 2}, {10, 20}), Profile({2, 3}, {20, 5}), {{kTouch, 2, 20, 2}}},
      {"an isolated point on the other line", Profile({1, 2, 3}, {10, 0, 50}), Profile({0, 4}, {50, 50}),
       {{kTouch, 3, 50, 3}}},
      // Row 2 cannot be drawn: A is not drawn between points 2 and 4, so it does not cross B there.
      {"no crossing across a gap", Profile({1, 2, 3, 4}, {10, 20, 0, 100}), Profile({1, 4}, {50, 50}), {}},
      {"one branch empty", Profile({1, 2}, {10, 100}), Profile({}, {}), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectCrossings(FindCrossings(c.a, c.b), c.want);
    // The same meetings whichever branch comes first.
    std::vector<Crossing> swapped = FindCrossings(c.b, c.a);
    ASSERT_EQ(swapped.size(), c.want.size());
    for (std::size_t i = 0; i < swapped.size(); ++i) {
      EXPECT_EQ(swapped[i].kind, c.want[i].kind);
      EXPECT_NEAR(swapped[i].x, c.want[i].x, 1e-6 * std::max(1.0, std::fabs(c.want[i].x)));
    }
  }
}

TEST(FindCrossings, SoundingsInterpolateInLogSpacing) {
  Series a = SeriesFromColumns(CurveKind::Sounding, {1, 100}, {10, 100});
  Series b = SeriesFromColumns(CurveKind::Sounding, {1, 100}, {100, 10});
  ExpectCrossings(FindCrossings(a, b), {{kCross, 10, kMid, 10}});
}

TEST(FindCrossings, PointNumbersOutOfOrderAreSearchedPieceByPiece) {
  // A runs 1 -> 3 and turns back to 2: two pieces, each crossing B once.
  ExpectCrossings(FindCrossings(Profile({1, 3, 2}, {10, 100, 10}), Profile({1, 3}, {kMid, kMid})),
                  {{kCross, 2, kMid, 2}, {kCross, 2.5, kMid, 2.5}});
  // The turning point itself lies on B: both pieces meet B there, reported once.
  ExpectCrossings(FindCrossings(Profile({1, 3, 2}, {10, kMid, 10}), Profile({1, 3}, {kMid, kMid})),
                  {{kTouch, 3, kMid, 3}});
  // A falling line of point numbers is searched like a rising one.
  ExpectCrossings(FindCrossings(Profile({2, 1}, {100, 10}), Profile({1, 2}, {100, 10})), {{kCross, 1.5, kMid, 1.5}});
}

// Whatever the two branches hold, the answer is finite, in x order and without repeats.
TEST(FindCrossings, AnyBranchesGiveFiniteOrderedMeetings) {
  const std::vector<std::vector<float>> pointSets = {
      {}, {5}, {1, 2, 3, 4, 5}, {1, 1, 2, 2, 3}, {5, 4, 3, 2, 1}, {1, 3, 2, 4, 3}, {-1e30f, 0, 1e30f}, {0, 1e-30f, 2e-30f, 1}};
  const std::vector<std::vector<float>> rhoSets = {
      {10, 10, 10, 10, 10}, {1e-30f, 1e30f, 1e-30f, 1e30f, 1e-30f}, {10, 0, -5, 20, 30}, {3.4e38f, 1e-45f, 3.4e38f, 1, 1}};
  std::vector<Series> all;
  for (const auto& pts : pointSets)
    for (const auto& rho : rhoSets) all.push_back(Profile(pts, rho));
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = 0; j < all.size(); ++j) {
      std::vector<Crossing> got = FindCrossings(all[i], all[j]);
      for (std::size_t k = 0; k < got.size(); ++k) {
        SCOPED_TRACE(std::to_string(i) + "/" + std::to_string(j));
        ASSERT_TRUE(std::isfinite(got[k].x) && std::isfinite(got[k].y) && std::isfinite(got[k].xEnd));
        EXPECT_GT(got[k].y, 0.0);
        EXPECT_LE(got[k].x, got[k].xEnd);
        if (k > 0) {
          EXPECT_FALSE(got[k - 1].x == got[k].x && got[k - 1].y == got[k].y);
          EXPECT_LE(got[k - 1].x, got[k].x);
        }
      }
    }
}
