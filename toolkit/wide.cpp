#include "toolkit/wide.h"

#include "toolkit/failure.h"
#include "toolkit/utf.h"

namespace qv {

std::wstring Wide(std::string_view utf8) {
    const std::optional<std::u16string> converted = Utf8ToUtf16(utf8);
    if (!converted) throw Failure("Text is not UTF-8: " + std::string(utf8));
    return std::wstring(converted->begin(), converted->end());
}

std::optional<std::string> Utf8(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace qv
