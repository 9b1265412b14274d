#include "toolkit/growing_text.h"

#include <algorithm>

namespace qv {

std::wstring GrowWideText(WideFill fill, void* context, std::size_t initial) {
    std::wstring buffer(std::max<std::size_t>(initial, 1), L'\0');
    for (;;) {
        const std::size_t length = fill(context, buffer.data(), static_cast<unsigned long>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(std::max(buffer.size() * 2, length + 1));
    }
}

}  // namespace qv
