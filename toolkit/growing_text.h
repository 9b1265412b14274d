#pragma once
// Text from a Win32 call that fills a caller's buffer: the buffer grows
// until the whole text fits, so nothing is ever cut.
#include <cstddef>
#include <string>

namespace qv {

// The loop, once for every caller: `fill(context, buffer, size)` writes
// into the buffer and returns the length of the text; 0 means failure (the
// result is then empty), and a length of `size` or more means the buffer
// was too small (the needed size, with or without the terminator, or the
// size itself when the call cuts the text).
using WideFill = std::size_t (*)(void* context, wchar_t* buffer, unsigned long size);
std::wstring GrowWideText(WideFill fill, void* context, std::size_t initial);

// The same with `fill(buffer, size)`, any callable.
template <typename Fill>
std::wstring GrowingWideText(Fill fill, std::size_t initial = 260) {
    return GrowWideText(
        [](void* context, wchar_t* buffer, unsigned long size) {
            return static_cast<std::size_t>((*static_cast<Fill*>(context))(buffer, size));
        },
        &fill, initial);
}

}  // namespace qv
