#pragma once
// Text from a Win32 call that fills a caller's buffer: the buffer grows
// until the whole text fits, so nothing is ever cut.
#include <algorithm>
#include <cstddef>
#include <string>

namespace qv {

// `fill(buffer, size)` writes into the buffer and returns the length of the
// text; 0 means failure (the result is then empty), and a length of `size`
// or more means the buffer was too small (the needed size, with or without
// the terminator, or the size itself when the call cuts the text).
template <typename Text, typename Fill>
Text GrowingBuffer(Fill fill, std::size_t initial) {
    Text buffer(std::max<std::size_t>(initial, 1), typename Text::value_type());
    for (;;) {
        const std::size_t length = static_cast<std::size_t>(fill(buffer.data(), static_cast<unsigned long>(buffer.size())));
        if (length == 0) return Text();
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(std::max(buffer.size() * 2, length + 1));
    }
}

template <typename Fill>
std::string GrowingText(Fill fill, std::size_t initial = 260) {
    return GrowingBuffer<std::string>(fill, initial);
}

// The same for a wide call.
template <typename Fill>
std::wstring GrowingWideText(Fill fill, std::size_t initial = 260) {
    return GrowingBuffer<std::wstring>(fill, initial);
}

}  // namespace qv
