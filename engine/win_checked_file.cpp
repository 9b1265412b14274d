#include "engine/win_checked_file.h"

#include <algorithm>

#include "engine/win_shortcut.h"
#include "toolkit/program_text.h"
#include "toolkit/final_path.h"

namespace qv {

bool HandleIsPath(HANDLE file, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(file, &info) &&
        ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || info.nNumberOfLinks > 1)) {
        return false;
    }
    return IsReachedAt(file, ToWide(path)).value_or(true);
}

SaveOutcome WriteCheckedFile(const std::string& path, std::string_view bytes) {
    const std::wstring wide = ToWide(path);
    // A link's own entry is opened, not what it leads to, where the system
    // can (Windows); a new file is made only where nothing is, a dangling
    // link included.
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    bool created = true;
    UniqueHandle file(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, flags, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {SaveResult::NotCreated, error};
        created = false;
        file.reset(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr));
        if (!file) {
            error = GetLastError();
            // Something is there, but what it names is not: a link to nowhere.
            if (error == ERROR_FILE_NOT_FOUND) return {SaveResult::Linked, error};
            return {SaveResult::NotCreated, error};
        }
    }
    if (!HandleIsPath(file.get(), path)) {
        file.reset();
        // Made through a linked folder just now, and empty: it goes again.
        if (created) DeleteFileW(wide.c_str());
        return SaveResult::Linked;
    }
    if (!created && !SetEndOfFile(file.get())) return {SaveResult::Incomplete, GetLastError()};
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) return {SaveResult::Incomplete, GetLastError()};
        if (written == 0) return {SaveResult::Incomplete, ERROR_WRITE_FAULT};
        bytes.remove_prefix(written);
    }
    if (!CloseHandle(file.release())) return {SaveResult::Incomplete, GetLastError()};
    return SaveResult::Saved;
}

}  // namespace qv
