// The integer extended arithmetic against the x87 unit's own, where long double is the 80-bit type.
#include "imaging/extended.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "imaging/prepare.h"

namespace tavo {
namespace {

TEST(Extended, RoundsHalvesToEvenAndCutsTowardZero) {
    EXPECT_EQ(Extended::Quotient(5, 2).RoundedHalfEven(), 2);
    EXPECT_EQ(Extended::Quotient(7, 2).RoundedHalfEven(), 4);
    EXPECT_EQ(Extended::Quotient(-5, 2).RoundedHalfEven(), -2);
    EXPECT_EQ(Extended::Quotient(1, 2).RoundedHalfEven(), 0);
    EXPECT_EQ(Extended::Quotient(3, 4).RoundedHalfEven(), 1);
    EXPECT_EQ(Extended::Quotient(1, 3).RoundedHalfEven(), 0);
    EXPECT_EQ(Extended::Quotient(-7, 2).Truncated(), -3);
    EXPECT_EQ(Extended::Quotient(199, 1).Truncated(), 199);
    EXPECT_TRUE(Extended::Quotient(1, 3) < Extended::Quotient(1, 2));
    EXPECT_TRUE(Extended::Quotient(-1, 2) < Extended::FromInt(0));
    EXPECT_TRUE(Extended::FromInt(1000000001).MagnitudeAbove(1000000000));
    EXPECT_FALSE(Extended::FromInt(-1000000000).MagnitudeAbove(1000000000));
}

// A picture as wide as a 1152-pixel screen, previewed 200 wide: the ratio 200 / 1152 as a double
// is a little below the true one, and only a product with 64 significant bits keeps it below 200.
TEST(Extended, KeepsTheExtendedProductOfTheRatio) {
    const Extended r = Extended::Quotient(200, 1152).ToDouble();
    EXPECT_EQ(r.Times(1152).Truncated(), 199);
    EXPECT_EQ(r.Times(1024 * 9).Truncated(), 1599);
}

// The sizing rules written with the 80-bit type, as the x87 unit computes them.
OutputSize ReferenceSize(int tw, int th, int sw, int srcW, int srcH, const PrepareOptions& o) {
    int w = srcW, h = srcH;
    if (tw < sw) {
        const double r = static_cast<double>(static_cast<long double>(tw) / sw);
        w = static_cast<int>(static_cast<long double>(srcW) * r);
        h = static_cast<int>(static_cast<long double>(srcH) * r);
    }
    const bool resize = ((tw < w || th < h) && o.shrink) || (w < tw && h < th && o.zoom);
    if (!resize || (o.proportional && (w == 0 || h == 0))) return {w, h};
    if (!o.proportional) return {tw, th};
    const long double kw = static_cast<long double>(tw) / w, kh = static_cast<long double>(th) / h;
    const double k = static_cast<double>(kw < kh ? kw : kh);
    return {static_cast<int>(std::nearbyint(static_cast<long double>(w) * k)),
            static_cast<int>(std::nearbyint(static_cast<long double>(h) * k))};
}

::testing::AssertionResult SameSize(int tw, int th, int sw, int srcW, int srcH, const PrepareOptions& o) {
    const OutputSize expected = ReferenceSize(tw, th, sw, srcW, srcH, o);
    const OutputSize got = ComputeOutputSize(tw, th, sw, srcW, srcH, o);
    if (got.width == expected.width && got.height == expected.height) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << tw << "x" << th << " on " << sw << ", source " << srcW << "x" << srcH << ": " << got.width
           << "x" << got.height << ", x87 " << expected.width << "x" << expected.height;
}

// Every preview of a picture as wide as its screen, and a spread of pictures, targets and screens.
TEST(Extended, SizesMatchTheX87Unit) {
    if (std::numeric_limits<long double>::digits != 64) GTEST_SKIP() << "long double is not the 80-bit type";
    PrepareOptions zoom;
    zoom.zoom = true;
    for (int screen = 201; screen <= 8192; ++screen) {
        ASSERT_TRUE(SameSize(200, 150, screen, screen, screen * 3 / 4, zoom));
        ASSERT_TRUE(SameSize(200, 150, screen, screen * 2 + 1, screen - 1, zoom));
    }
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return 1 + static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    for (int i = 0; i < 100000; ++i) {
        const int screen = next(8000);
        const int tw = i % 2 ? 200 : screen, th = i % 2 ? 150 : next(6000);
        ASSERT_TRUE(SameSize(tw, th, screen, next(20000), next(20000), zoom));
    }
}

}  // namespace
}  // namespace tavo
