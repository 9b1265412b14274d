#include <gtest/gtest.h>

#include <utility>

#include "toolkit/scaling.h"

namespace qv {
namespace {

// At 96 DPI nothing changes. Edges round half away from zero, as MulDiv
// does; font heights towards zero, so that a title which just fits its box
// at 96 DPI (318 pixels for 317) does not wrap once both are scaled.
TEST(Scaling, EdgesRoundToTheNearestPixelFontsTowardsZero) {
    for (int v = -600; v <= 1200; ++v) {
        ASSERT_EQ(ScaleValue(v, 96), v);
        ASSERT_EQ(ScaleFontHeight(v, 96), v);
    }
    EXPECT_EQ(ScaleValue(507, 144), 761);  // 760.5
    EXPECT_EQ(ScaleValue(-11, 144), -17);
    EXPECT_EQ(ScaleFontHeight(-21, 144), -31);  // -31.5
    EXPECT_EQ(ScaleFontHeight(13, 120), 16);    // 16.25
}

// Controls side by side, and a panel reaching past the window's left edge:
// after scaling each still begins exactly where the one before it ends.
TEST(Scaling, RunsThatTouchKeepTouchingAtEveryScale) {
    for (int dpi : {120, 144, 168, 192, 240}) {
        for (int first = -10; first < 40; ++first) {
            for (int length = 1; length < 60; ++length) {
                const PixelSpan a = ScaleSpan({first, length}, dpi);
                ASSERT_EQ(a.start + a.length, ScaleSpan({first + length, 75}, dpi).start)
                    << dpi << " DPI, " << first << "+" << length;
            }
        }
    }
}

TEST(Scaling, PicturesComeFromTheNearestVariantTiesGoingToTheLarger) {
    const int variants[] = {100, 150, 200};
    const std::pair<int, int> cases[] = {{72, 100}, {96, 100}, {120, 150}, {144, 150},
                                         {168, 200}, {192, 200}, {288, 200}};
    for (const auto& [dpi, percent] : cases) EXPECT_EQ(NearestVariant(dpi, variants), percent) << dpi;
    EXPECT_EQ(NearestVariant(144, {}), 100);
}

}  // namespace
}  // namespace qv
