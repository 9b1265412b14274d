// Bilinear scaling of 24-bit pixel rows, as the background picture is
// stretched over the screen.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/stretch.h"

namespace qv {
namespace {

// A picture of one-channel grey values given row by row, stored as blue,
// green and red bytes in rows padded to four bytes.
struct Picture {
    int width, height;
    std::vector<unsigned char> bytes;
    static std::ptrdiff_t Stride(int width) { return (width * 3 + 3) / 4 * 4; }
    Picture(int w, int h) : width(w), height(h), bytes(static_cast<size_t>(Stride(w) * h), 0xEE) {}
    Picture(int w, int h, const std::vector<int>& grey) : Picture(w, h) {
        for (int i = 0; i < w * h; ++i) {
            for (int c = 0; c < 3; ++c) bytes[(i / w) * Stride(w) + (i % w) * 3 + c] = static_cast<unsigned char>(grey[i] + c);
        }
    }
    PixelRows Rows() { return {bytes.data(), width, height, Stride(width)}; }
    ConstPixelRows ConstRows() const { return {bytes.data(), width, height, Stride(width)}; }
    // The blue channel; the others must follow it by +1 and +2.
    std::vector<int> Grey() const {
        std::vector<int> grey;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned char* p = &bytes[y * Stride(width) + x * 3];
                EXPECT_EQ(p[1], p[0] + 1);
                EXPECT_EQ(p[2], p[0] + 2);
                grey.push_back(p[0]);
            }
        }
        return grey;
    }
};

std::vector<int> Stretch(const Picture& from, int width, int height) {
    Picture to(width, height);
    StretchBilinear(from.ConstRows(), to.Rows());
    return to.Grey();
}

TEST(StretchBilinear, SamplesFromTheLeftEdgeBlendsAndRepeatsTheLastPixel) {
    // Four target columns over two source ones sample at 0, 0.5, 1 and 1.5.
    EXPECT_EQ(Stretch(Picture(2, 1, {0, 200}), 4, 1), (std::vector<int>{0, 100, 200, 200}));
    // Rounding is half up whichever way the blend goes.
    EXPECT_EQ(Stretch(Picture(2, 1, {0, 201}), 4, 1), (std::vector<int>{0, 101, 201, 201}));
    EXPECT_EQ(Stretch(Picture(2, 1, {201, 0}), 4, 1), (std::vector<int>{201, 101, 0, 0}));
    // Rows blend the same way, after the columns, each blend rounded.
    EXPECT_EQ(Stretch(Picture(2, 2, {0, 100, 50, 251}), 3, 3),
              (std::vector<int>{0, 67, 100, 33, 145, 201, 50, 184, 251}));
}

TEST(StretchBilinear, KeepsASameSizedPictureAndShrinksBySampling) {
    const Picture picture(3, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Stretch(picture, 3, 2), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Stretch(Picture(4, 1, {0, 40, 80, 120}), 2, 1), (std::vector<int>{0, 80}));
    Picture empty(0, 0);
    StretchBilinear(picture.ConstRows(), empty.Rows());  // nothing to do, nothing touched
}

}  // namespace
}  // namespace qv
