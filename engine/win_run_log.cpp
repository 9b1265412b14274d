#include "engine/win_run_log.h"

#include "engine/text.h"
#include "toolkit/growing_text.h"
#include "toolkit/program_text.h"

namespace qv {

FileRunLog::FileRunLog(const std::string& path)
    : path_(path),
      file_(CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                        nullptr)) {
    if (!file_) {
        error_ = GetLastError();
        return;
    }
    static const char kByteOrderMark[] = "\xEF\xBB\xBF";
    DWORD written = 0;
    WriteFile(file_.get(), kByteOrderMark, 3, &written, nullptr);
}

void FileRunLog::Write(std::string_view text) {
    if (!file_) return;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const LogTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
    const std::string line = FormatRunLogLine(time, text);
    const std::lock_guard<std::mutex> lock(mutex_);
    // Unbuffered: what was written stays, whatever happens to the program next.
    DWORD written = 0;
    WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string DefaultRunLogPath(const std::string& prefix) {
    std::string folder =
        FromWideOrFail(GrowingWideText([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); }));
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::string name = ZeroPadded(now.wYear, 4) + ZeroPadded(now.wMonth, 2) + ZeroPadded(now.wDay, 2) + '-' +
                             ZeroPadded(now.wHour, 2) + ZeroPadded(now.wMinute, 2) + ZeroPadded(now.wSecond, 2) +
                             '-' + std::to_string(GetCurrentProcessId()) + ".log";
    return folder + prefix + name;
}

std::string SystemErrorText(DWORD code) {
    UniqueResource<wchar_t*, NullInvalidTraits<wchar_t*, LocalFree>> text;  // the system allocates it
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<LPWSTR>(text.put()), 0, nullptr);
    std::string message =
        length && text ? FromWide(std::wstring_view(text.get(), length)).value_or(std::string()) : std::string();
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    std::string result = "(";
    result += std::to_string(code);
    result += ')';
    if (!message.empty()) {
        result += ' ';
        result += message;
    }
    return result;
}

}  // namespace qv
