#pragma once
// A program's own texts as the system's wide calls take them, and back.
// A program built with Unicode texts (QV_UTF8_TEXT, set by qv_unicode_text)
// keeps UTF-8 and converts strictly (toolkit/wide.h): a text that cannot be
// converted is refused, never given «?». The others still keep the system's
// ANSI code page and convert the way its ANSI calls do, so that they behave
// exactly as they did with those calls.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "toolkit/failure.h"
#include "toolkit/growing_text.h"
#include "toolkit/safe_dll.h"
#include "toolkit/text_mode.h"
#include "toolkit/wide.h"

namespace qv {
QV_TEXT_MODE_BEGIN

#if defined(QV_UTF8_TEXT)

inline std::wstring ToWide(std::string_view text) { return Wide(text); }
inline std::optional<std::string> FromWide(std::wstring_view wide) { return Utf8(wide); }

#else

inline std::wstring ToWide(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length) MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

inline std::optional<std::string> FromWide(std::wstring_view wide) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    if (length) WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

#endif

// A text the system gave, where one that cannot be the program's text is a
// failure that says so (a name holding a lone surrogate).
inline std::string FromWideOrFail(std::wstring_view wide) {
    std::optional<std::string> text = FromWide(wide);
    if (!text) throw Failure("A name from the system is not Unicode text");
    return std::move(*text);
}

// The full path of a path that may be relative to the current folder, as
// the system resolves it for file calls now; the path itself when the
// system cannot make it full.
inline std::string FullPathOf(const std::string& path) {
    const std::wstring wide = ToWide(path);
    const std::wstring full = GrowingWideText(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(wide.c_str(), size, buffer, nullptr); });
    if (full.empty()) return path;
    return FromWide(full).value_or(path);
}

// The system folder, without a final backslash.
inline std::string SystemFolderText() { return FromWideOrFail(SystemFolderWide()); }

QV_TEXT_MODE_END
}  // namespace qv
