// The choice of the layer count from the misfits of fits with 1, 2, ... layers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "interp/layercount.h"

TEST(LayerCount, FQuantileMatchesTables) {
  struct Case {
    double p, d1, d2, value;
  };
  // Values from published F tables (and, for d1 = 2, the closed form (d2/2)(α^(−2/d2) − 1)).
  const std::vector<Case> cases = {
      {0.95, 2, 10, 4.1028}, {0.95, 1, 20, 4.3512}, {0.95, 5, 30, 2.5336}, {0.99, 2, 20, 5.8489}, {0.95, 4, 21, 2.8401},
  };
  for (const Case& c : cases) EXPECT_NEAR(FQuantile(c.p, c.d1, c.d2), c.value, 2e-4) << c.d1 << " " << c.d2;
}

TEST(LayerCount, FewestLayersThatReachTheNoiseAndSignificantGains) {
  struct Case {
    std::string name;
    std::vector<LayerCountFit> fits;
    int readings;
    int expected;
  };
  // With 30 readings a 3-layer fit (5 parameters, ν = 25) reaches the noise at χ² ≤ 25 + 2√50 = 39.14.
  const std::vector<Case> cases = {
      {"the first count to reach the noise", {{1, 500, 1}, {2, 120, 3}, {3, 25, 5}, {4, 20, 7}}, 30, 3},
      {"just within the noise", {{1, 500, 1}, {2, 120, 3}, {3, 39.1, 5}, {4, 20, 7}}, 30, 3},
      {"just beyond it", {{1, 500, 1}, {2, 120, 3}, {3, 39.2, 5}, {4, 20, 7}}, 30, 4},
      {"one layer is enough", {{1, 20, 1}, {2, 10, 3}}, 30, 1},
      {"none reaches the noise: F-test stops at 3", {{1, 900, 1}, {2, 300, 3}, {3, 150, 5}, {4, 148, 7}}, 30, 3},
      {"a significant gain two counts further is taken",
       {{1, 900, 1}, {2, 300, 3}, {3, 150, 5}, {4, 149, 7}, {5, 60, 9}}, 30, 5},
      {"a worse fit with more layers is not taken", {{1, 900, 1}, {2, 300, 3}, {3, 310, 5}}, 30, 2},
      {"an exact fit with no degrees of freedom left is not taken", {{1, 9000, 1}, {2, 30, 3}, {3, 0, 5}}, 5, 2},
      {"a count that slips under the noise without a significant gain is not taken",
       {{1, 16407.7, 1}, {2, 1319.1, 3}, {3, 53.7, 5}, {4, 49.3, 7}, {5, 47.9, 9}, {6, 41.8, 11}}, 40, 3},
      {"nothing tried", {}, 30, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseLayerCount(c.fits, c.readings), c.expected) << c.name;
}
