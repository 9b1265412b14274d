#include "toolkit/picture_rows.h"

#include <cstdint>
#include <cstdlib>

namespace qv {
namespace {

std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Where the rows are: the first pixel byte, the row count, the pixel bytes
// of a row and the distance between rows. False unless a 24-bit BI_RGB file.
struct Rows {
    std::size_t first = 0, count = 0, width = 0, stride = 0;
};

bool FindRows(const std::string& bmp, Rows& rows) {
    constexpr std::size_t kHeaders = 14 + 40;  // file header, BITMAPINFOHEADER
    if (bmp.size() < kHeaders || bmp[0] != 'B' || bmp[1] != 'M') return false;
    const auto width = static_cast<std::int32_t>(Le(bmp, 18, 4));
    const auto height = static_cast<std::int32_t>(Le(bmp, 22, 4));
    if (Le(bmp, 14, 4) < 40 || Le(bmp, 26, 2) != 1 || Le(bmp, 28, 2) != 24 || Le(bmp, 30, 4) != 0) return false;
    if (width <= 0 || width > 65535 || height == 0 || height < -65535 || height > 65535) return false;
    rows.first = Le(bmp, 10, 4);
    rows.count = static_cast<std::size_t>(std::abs(height));
    rows.width = static_cast<std::size_t>(width) * 3;
    rows.stride = (rows.width + 3) & ~static_cast<std::size_t>(3);
    return rows.first >= kHeaders && rows.first <= bmp.size() && (bmp.size() - rows.first) / rows.stride >= rows.count;
}

}  // namespace

bool DeltaCodeBmpRows(std::string& bmp) {
    Rows rows;
    if (!FindRows(bmp, rows)) return false;
    for (std::size_t r = 0; r < rows.count; ++r) {
        char* row = bmp.data() + rows.first + r * rows.stride;
        for (std::size_t i = rows.width; i-- > 3;) row[i] = static_cast<char>(row[i] - row[i - 3]);
    }
    return true;
}

bool UndoBmpRowDeltas(std::string& bmp) {
    Rows rows;
    if (!FindRows(bmp, rows)) return false;
    for (std::size_t r = 0; r < rows.count; ++r) {
        char* row = bmp.data() + rows.first + r * rows.stride;
        for (std::size_t i = 3; i < rows.width; ++i) row[i] = static_cast<char>(row[i] + row[i - 3]);
    }
    return true;
}

}  // namespace qv
