#include "engine/win_ansi_text.h"

#include <windows.h>

#include "toolkit/utf.h"
#include "toolkit/wide.h"

namespace qv {

std::optional<std::string> ToAnsiCodePage(std::string_view utf8) {
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1) return std::nullopt;
    const std::optional<std::u16string> units = Utf8ToUtf16(utf8);
    if (!units) return std::nullopt;
    if (units->empty()) return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(units->data());
    const int size = static_cast<int>(units->size());
    BOOL defaulted = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, &defaulted);
    if (length <= 0 || defaulted) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, size, bytes.data(), length, nullptr, &defaulted);
    if (defaulted) return std::nullopt;
    return bytes;
}

std::optional<std::string> FromAnsiCodePage(std::string_view bytes) {
    if (bytes.empty()) return std::string();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    return Utf8(wide);
}

}  // namespace qv
