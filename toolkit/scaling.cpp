#include "toolkit/scaling.h"

#include <cstdint>
#include <cstdlib>

namespace qv {

int ScaleValue(int value, int dpi) {
    const std::int64_t product = static_cast<std::int64_t>(value) * dpi;
    const std::int64_t half = product < 0 ? -kDesignDpi / 2 : kDesignDpi / 2;
    return static_cast<int>((product + half) / kDesignDpi);  // division truncates towards zero
}

int ScaleFontHeight(int height, int dpi) {
    return static_cast<int>(static_cast<std::int64_t>(height) * dpi / kDesignDpi);  // truncates towards zero
}

PixelSpan ScaleSpan(PixelSpan span, int dpi) {
    const int start = ScaleValue(span.start, dpi);
    const int end = ScaleValue(span.start + span.length, dpi);
    return {start, end - start};
}

int NearestVariant(int dpi, std::span<const int> percents) {
    // Distances compared in units of 1/96 percent, so nothing is rounded.
    const std::int64_t wanted = static_cast<std::int64_t>(dpi) * 100;
    int best = 100;
    std::int64_t bestDistance = -1;
    for (const int percent : percents) {
        const std::int64_t distance = std::llabs(static_cast<std::int64_t>(percent) * kDesignDpi - wanted);
        if (bestDistance < 0 || distance < bestDistance || (distance == bestDistance && percent > best)) {
            best = percent;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace qv
