// The row coding of the page pictures: what the build stores and the
// program restores.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/picture_rows.h"

namespace qv {
namespace {

// A BMP file of 24 bits per pixel: 2 x 2 pixels, rows padded to 8 bytes.
std::string TwoByTwo(int bitsPerPixel = 24) {
    std::string bmp(54, '\0');
    bmp[0] = 'B', bmp[1] = 'M', bmp[10] = 54, bmp[14] = 40, bmp[18] = 2, bmp[22] = 2, bmp[26] = 1;
    bmp[28] = static_cast<char>(bitsPerPixel);
    return bmp + std::string("\x10\x20\x30\x15\x1F\xF0\xAA\xBB", 8) + std::string("\x00\x01\x02\xFF\xFF\xFF\xCC\xDD", 8);
}

TEST(PictureRows, EachByteBecomesItsDifferenceToThePixelOnItsLeftAndBack) {
    std::string bmp = TwoByTwo();
    ASSERT_TRUE(DeltaCodeBmpRows(bmp));
    // The first pixel of a row stays; then +5, -1 and -64 (mod 256); the padding stays.
    EXPECT_EQ(bmp.substr(54), std::string("\x10\x20\x30\x05\xFF\xC0\xAA\xBB", 8) +
                                  std::string("\x00\x01\x02\xFF\xFE\xFD\xCC\xDD", 8));
    ASSERT_TRUE(UndoBmpRowDeltas(bmp));
    EXPECT_EQ(bmp, TwoByTwo());
}

TEST(PictureRows, LeavesAnythingButA24BitFileAlone) {
    for (std::string bmp : {TwoByTwo(32), TwoByTwo().substr(0, 60), std::string("GIF89a")}) {
        const std::string before = bmp;
        EXPECT_FALSE(DeltaCodeBmpRows(bmp));
        EXPECT_FALSE(UndoBmpRowDeltas(bmp));
        EXPECT_EQ(bmp, before);
    }
}

}  // namespace
}  // namespace qv
