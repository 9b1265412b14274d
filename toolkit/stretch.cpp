#include "toolkit/stretch.h"

#include <algorithm>
#include <vector>

namespace qv {
namespace {

constexpr int kWeightBits = 16;
constexpr int kHalf = 1 << (kWeightBits - 1);

// Where one target coordinate samples the source along one axis: the two
// neighbouring source pixels (as byte offsets or row numbers) and the
// weight of the second, in units of 2^-16.
struct Sample {
    int low;
    int high;
    int weight;
};

std::vector<Sample> Samples(int source, int target, int unit) {
    std::vector<Sample> samples(static_cast<std::size_t>(target));
    for (int i = 0; i < target; ++i) {
        const long long position = static_cast<long long>(i) * source;  // in 1/target
        int low = static_cast<int>(position / target);
        int weight = static_cast<int>(((position % target) << kWeightBits) / target);
        if (low >= source - 1) {
            low = source - 1;
            weight = 0;
        }
        samples[static_cast<std::size_t>(i)] = {low * unit, std::min(low + 1, source - 1) * unit, weight};
    }
    return samples;
}

// a + (b - a) * weight, rounded half up (the shift of a negative product
// rounds towards minus infinity, as the formula wants).
inline int Blend(int a, int b, int weight) { return a + (((b - a) * weight + kHalf) >> kWeightBits); }

}  // namespace

void StretchBilinear(const ConstPixelRows& from, const PixelRows& to) {
    if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) return;
    const std::vector<Sample> columns = Samples(from.width, to.width, 3);
    const std::vector<Sample> rows = Samples(from.height, to.height, 1);
    for (int y = 0; y < to.height; ++y) {
        const Sample& row = rows[static_cast<std::size_t>(y)];
        const unsigned char* upper = from.bits + row.low * from.stride;
        const unsigned char* lower = from.bits + row.high * from.stride;
        unsigned char* out = to.bits + y * to.stride;
        for (const Sample& column : columns) {
            for (int channel = 0; channel < 3; ++channel) {
                const int a = column.low + channel;
                const int b = column.high + channel;
                const int top = Blend(upper[a], upper[b], column.weight);
                const int bottom = Blend(lower[a], lower[b], column.weight);
                *out++ = static_cast<unsigned char>(Blend(top, bottom, row.weight));
            }
        }
    }
}

}  // namespace qv
