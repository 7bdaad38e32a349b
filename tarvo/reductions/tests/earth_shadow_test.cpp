// The Earth's shadow cone against its geometry worked by hand.
#include "tarvo/reductions/places.h"

#include <gtest/gtest.h>

namespace {

TEST(EarthShadow, UmbraBehindTheEarthOnly) {
    const tarvo::PlaceVector sun{149.6, 0.0, 0.0};
    EXPECT_TRUE(
        tarvo::inEarthShadow({-0.007, 0.0, 0.0}, sun)); // geostationary-like, straight behind
    EXPECT_TRUE(
        tarvo::inEarthShadow({-0.042, 0.005, 0.0}, sun)); // 5000 km off the axis at 42000 km
    EXPECT_FALSE(
        tarvo::inEarthShadow({-0.042, 0.0065, 0.0}, sun));      // outside: the umbra has narrowed
    EXPECT_FALSE(tarvo::inEarthShadow({0.007, 0.0, 0.0}, sun)); // day side
    EXPECT_FALSE(tarvo::inEarthShadow({-1.5, 0.0, 0.0}, sun));  // beyond the apex (1.38 Gm)
    EXPECT_FALSE(tarvo::inEarthShadow({0.0, 0.0, 0.0}, sun));
}

} // namespace
