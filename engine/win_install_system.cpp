#include "engine/win_install_system.h"

#include <windows.h>

#include <algorithm>

#include "engine/win_lz.h"
#include "engine/win_payload.h"
#include "engine/win_registry.h"
#include "engine/win_shortcut.h"
#include "toolkit/win_handles.h"

namespace qv {

namespace {

// The installation's boxes stay in front of every window, and belong to
// none, so that the progress page stays usable while one is open.
const UINT kBoxStyle = MB_ICONERROR | MB_SYSTEMMODAL;

}  // namespace

WinInstallSystem::WinInstallSystem() = default;
WinInstallSystem::~WinInstallSystem() = default;

int WinInstallSystem::CountEntries() { return CountPayloadEntries(); }

void WinInstallSystem::ForEachEntry(const EntryVisitor& visit) { ForEachPayloadEntry(visit); }

bool WinInstallSystem::Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WinInstallSystem::MakeFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

SaveResult WinInstallSystem::SaveFile(const std::string& path, std::string_view bytes) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return SaveResult::NotCreated;
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
            return SaveResult::Incomplete;
        }
        bytes.remove_prefix(written);
    }
    return CloseHandle(file.release()) ? SaveResult::Saved : SaveResult::Incomplete;
}

ExpandResult WinInstallSystem::ExpandFile(const std::string& source, const std::string& target) {
    return LzExpandFile(source, target);
}

bool WinInstallSystem::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

void WinInstallSystem::ShowError(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), kInstallCaption, MB_OK | kBoxStyle);
}

CopyAnswer WinInstallSystem::AskCopyFailed(const std::string& text) {
    switch (MessageBoxA(nullptr, text.c_str(), kInstallCaption, MB_ABORTRETRYIGNORE | kBoxStyle)) {
    case IDRETRY: return CopyAnswer::Retry;
    case IDIGNORE: return CopyAnswer::Ignore;
    default: return CopyAnswer::Abort;  // Abort, or no box at all
    }
}

void WinInstallSystem::Delay(unsigned milliseconds) { Sleep(milliseconds); }

void WinInstallSystem::BeginShortcuts() { apartment_ = std::make_unique<ComApartment>(); }

bool WinInstallSystem::MakeShortcut(const Shortcut& s) {
    return CreateShortcut(AnsiToWide(s.file), s.target, s.workingFolder, s.arguments, s.hotKey,
                          s.showCommand, s.iconFile, s.iconIndex);
}

void WinInstallSystem::EndShortcuts() { apartment_.reset(); }

bool WinInstallSystem::WriteMachineValues(const std::string& key,
                                          const std::vector<RegistryValue>& values) {
    return WriteMachineStrings(key, values);
}

}  // namespace qv
