#include "engine/win_lz.h"

#include <windows.h>

#include <optional>

#include "engine/szdd.h"
#include "engine/win_checked_file.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

// The whole file, or its error code.
std::optional<std::string> ReadWholeFile(const std::string& path, DWORD& error) {
    UniqueHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        error = GetLastError();
        return std::nullopt;
    }
    std::string bytes;
    std::string chunk(64 * 1024, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
            error = GetLastError();
            return std::nullopt;
        }
        if (got == 0) return bytes;
        bytes.append(chunk, 0, got);
    }
}

}  // namespace

ExpandOutcome LzExpandFile(const std::string& source, const std::string& target) {
    DWORD error = 0;
    const std::optional<std::string> stream = ReadWholeFile(source, error);
    if (!stream) return {ExpandResult::OpenFailed, error};
    std::string data;
    // A stream that breaks off or runs on gives what it holds, as the
    // system's LZ expansion does; the caller checks the size and digest.
    if (ExpandSzdd(*stream, data) == SzddStatus::kNotSzdd) data = *stream;
    const SaveOutcome saved = WriteCheckedFile(target, data);
    switch (saved.result) {
        case SaveResult::Saved: return ExpandResult::Expanded;
        case SaveResult::Linked: return {ExpandResult::Linked, saved.error};
        case SaveResult::NotCreated: return {ExpandResult::OpenFailed, saved.error};
        case SaveResult::Incomplete: break;
    }
    return {ExpandResult::CopyFailed, saved.error};
}

}  // namespace qv
