// Changing a model by hand: each change keeps the rest of the model where the user expects it
// (a thickness moves the layers below, a boundary moved leaves the ones below in place), refuses
// what the model cannot take, and the locks become the known values of the next fit.
#include <gtest/gtest.h>

#include "interp/modeledit.h"

namespace {
// 100 ohm-m over 10 ohm-m over 300 ohm-m, bottoms at 5 and 25 m.
const StationModel kH{{5, 20, 100}, {100, 10, 300}, ModelOrigin::Fitted};
}  // namespace

TEST(ModelEdit, EachChangeKeepsTheRestInPlace) {
  EXPECT_EQ(LayerBottoms(kH), (std::vector<double>{5, 25}));

  const auto rho = WithResistivity(kH, 2, 1000);
  ASSERT_TRUE(rho);
  EXPECT_EQ(rho->Resistivity, (std::vector<float>{100, 10, 1000}));
  EXPECT_EQ(rho->Origin, ModelOrigin::Edited);

  const auto thicker = WithThickness(kH, 0, 8);  // the conductor moves down with it
  ASSERT_TRUE(thicker);
  EXPECT_EQ(LayerBottoms(*thicker), (std::vector<double>{8, 28}));

  const auto deeper = WithBottomAt(kH, 0, 8);  // the conductor's bottom stays at 25 m
  ASSERT_TRUE(deeper);
  EXPECT_EQ(LayerBottoms(*deeper), (std::vector<double>{8, 25}));
  const auto lastBoundary = WithBottomAt(kH, 1, 60);  // nothing below it but the basement
  ASSERT_TRUE(lastBoundary);
  EXPECT_EQ(LayerBottoms(*lastBoundary), (std::vector<double>{5, 60}));
  EXPECT_EQ(lastBoundary->Thickness[2], kH.Thickness[2]);

  struct Refused {
    const char* what;
    std::optional<StationModel> got;
  };
  const Refused refused[] = {
      {"resistivity 0", WithResistivity(kH, 0, 0)},
      {"resistivity of a layer that is not there", WithResistivity(kH, 3, 10)},
      {"negative thickness", WithThickness(kH, 1, -1)},
      {"basement's thickness", WithThickness(kH, 2, 10)},
      {"bottom above the top", WithBottomAt(kH, 1, 4)},
      {"bottom at the top", WithBottomAt(kH, 1, 5)},
      {"bottom below the next one", WithBottomAt(kH, 0, 25)},
      {"basement's bottom", WithBottomAt(kH, 2, 500)},
  };
  for (const Refused& r : refused) EXPECT_FALSE(r.got) << r.what;
}

TEST(ModelEdit, ProductsAndLocks) {
  EXPECT_EQ(ProductOf(kH, 0), LayerProduct::Resistance);  // over a conductor
  EXPECT_EQ(ProductOf(kH, 1), LayerProduct::Conductance);
  EXPECT_EQ(ProductOf(kH, 0, Resolved::Conductance), LayerProduct::Conductance);

  // The conductor's bottom known from a borehole and the top layer's resistivity: the third
  // layer is free and not listed.
  std::vector<LayerLocks> locks(3);
  locks[0].rho = true;
  locks[1].depth = true;
  locks[1].thickness = true;  // a depth wins over a thickness of the same layer
  const std::vector<LayerConstraint> c = LockedConstraints(kH, locks);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].rho, 100.0);
  EXPECT_FALSE(c[0].thickness || c[0].depth);
  EXPECT_EQ(c[1].depth, 25.0);
  EXPECT_FALSE(c[1].thickness || c[1].rho);
  EXPECT_TRUE(LockedConstraints(kH, std::vector<LayerLocks>(3)).empty());
}
