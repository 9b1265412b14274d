#pragma once
// Scaling of 24-bit pictures (rows of blue, green and red bytes) by bilinear
// interpolation, the way the system's smooth stretching under Wine does it,
// in integer arithmetic: target pixel (x, y) samples the source at
// (x * source width / target width, y * source height / target height),
// blending the four nearest source pixels with a rounding after each of the
// three blends; beyond the last source pixel the edge pixel repeats.
// Portable, so that it is tested natively.
#include <cstddef>

namespace qv {

template <typename Byte>
struct BasicPixelRows {
    Byte* bits = nullptr;       // the first row
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  // bytes from one row to the next
};
using PixelRows = BasicPixelRows<unsigned char>;
using ConstPixelRows = BasicPixelRows<const unsigned char>;

// Fills `to` with `from` scaled to its size. Does nothing when either is empty.
void StretchBilinear(const ConstPixelRows& from, const PixelRows& to);

}  // namespace qv
