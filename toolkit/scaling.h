#pragma once
// Pixels at the display's scale. Layouts are written in pixels at 96 DPI;
// a form multiplies them by the system DPI over 96 when it is built.
// Portable: tested natively.
#include <span>

namespace qv {

inline constexpr int kDesignDpi = 96;

// A position or length at `dpi`, rounded to the nearest pixel with halves
// away from zero (as MulDiv rounds). At 96 DPI every value stays as it is.
int ScaleValue(int value, int dpi);

// A font height (negative: the characters' height; positive: the cell's) at
// `dpi`, rounded towards zero: text never grows faster than the rectangles
// it was fitted into at 96 DPI.
int ScaleFontHeight(int height, int dpi);

// A run of pixels along one axis: where it starts and how long it is.
struct PixelSpan {
    int start = 0;
    int length = 0;
};

// Scales the run's two edges rather than its length, so that runs which
// touch at 96 DPI still touch, and never overlap, at any scale.
PixelSpan ScaleSpan(PixelSpan span, int dpi);

// Of the picture variants drawn for these scales (in percent, e.g. 100,
// 150, 200), the one nearest to the scale of `dpi`; between two equally
// near, the larger, which loses detail less when drawn smaller. 100 when
// there is none.
int NearestVariant(int dpi, std::span<const int> percents);

}  // namespace qv
