#include "engine/win_install_system.h"

#include <windows.h>

#include <algorithm>

#include "engine/install_sequence.h"
#include "engine/uninstall_log.h"
#include "engine/win_ansi_text.h"
#include "engine/win_checked_file.h"
#include "engine/win_file_digest.h"
#include "engine/win_lz.h"
#include "engine/win_payload.h"
#include "engine/win_registry.h"
#include "engine/win_run_log.h"
#include "engine/win_shortcut.h"
#include "toolkit/program_text.h"
#include "toolkit/safe_dll.h"
#include "toolkit/win_handles.h"

namespace qv {

namespace {

// The installation's boxes stay in front of every window, and belong to
// none, so that the progress page stays usable while one is open.
const UINT kBoxStyle = MB_ICONERROR | MB_SYSTEMMODAL;

// An unattended run waits this long before trying a failed copy again: a
// file held for a moment (by a virus scanner, say) is free by then.
const DWORD kUnattendedRetryPauseMs = 1000;

}  // namespace

WinInstallSystem::WinInstallSystem(const Boxes& boxes, bool pauses) : boxes_(boxes), pauses_(pauses) {}
WinInstallSystem::~WinInstallSystem() = default;

void WinInstallSystem::LogFailure(const std::string& what) const { LogFailure(what, GetLastError()); }

void WinInstallSystem::LogFailure(const std::string& what, unsigned long error) const {
    boxes_.Log().Write(what + ": " + SystemErrorText(error));
}

int WinInstallSystem::CountEntries() { return CountPayloadEntries(); }

void WinInstallSystem::ForEachEntry(const EntryVisitor& visit) { ForEachPayloadEntry(visit); }

std::string WinInstallSystem::PayloadDigestTable() { return PayloadDigestText(); }

bool WinInstallSystem::Exists(const std::string& path) {
    return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WinInstallSystem::MakeFolder(const std::string& path) {
    if (CreateDirectoryW(ToWide(path).c_str(), nullptr)) return true;
    LogFailure("Не удалось создать папку " + path);
    return false;
}

// 8-bit where the system's code page holds the text, else UTF-16 (see
// engine/uninstall_log.h); the text is the program's UTF-8.
std::string WinInstallSystem::TextFileBytes(std::string_view text) {
    return qv::TextFileBytes(text, ToAnsiCodePage).value_or(std::string(text));
}

SaveOutcome WinInstallSystem::SaveFile(const std::string& path, std::string_view bytes) {
    const SaveOutcome saved = WriteCheckedFile(path, bytes);
    switch (saved.result) {
        case SaveResult::NotCreated: LogFailure("Не удалось создать файл " + path, saved.error); break;
        case SaveResult::Incomplete: LogFailure("Не удалось записать файл " + path, saved.error); break;
        case SaveResult::Saved:
        case SaveResult::Linked: break;  // the installation's own box says what was found
    }
    return saved;
}

ExpandOutcome WinInstallSystem::ExpandFile(const std::string& source, const std::string& target) {
    const ExpandOutcome expanded = LzExpandFile(source, target);
    if (expanded != ExpandResult::Expanded && expanded != ExpandResult::Linked) {
        LogFailure("Не удалось распаковать " + source + " в " + target, expanded.error);
    }
    return expanded;
}

bool WinInstallSystem::RemoveFile(const std::string& path) { return DeleteFileW(ToWide(path).c_str()) != FALSE; }

bool WinInstallSystem::RemoveFolder(const std::string& path) { return RemoveDirectoryW(ToWide(path).c_str()) != FALSE; }

std::optional<std::uint64_t> WinInstallSystem::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> WinInstallSystem::FileSha256(const std::string& path) {
    if (!hasher_) hasher_ = std::make_unique<FileHasher>();
    return hasher_->Sha256(path);
}

std::string WinInstallSystem::FullPath(const std::string& path) { return FullPathOf(path); }

void WinInstallSystem::ShowError(const std::string& text) {
    boxes_.Show(nullptr, text, kInstallCaption, MB_OK | kBoxStyle, IDOK);
}

CopyAnswer WinInstallSystem::AskCopyFailed(const std::string& text, int attempt) {
    const CopyAnswer unattended = UnattendedCopyAnswer(attempt);
    const int unattendedId = unattended == CopyAnswer::Retry ? IDRETRY : IDABORT;
    const int answer = boxes_.Show(nullptr, text, kInstallCaption, MB_ABORTRETRYIGNORE | kBoxStyle, unattendedId);
    if (boxes_.Suppressed() && answer == IDRETRY) Sleep(kUnattendedRetryPauseMs);
    switch (answer) {
        case IDRETRY: return CopyAnswer::Retry;
        case IDIGNORE: return CopyAnswer::Ignore;
        default: return CopyAnswer::Abort;  // Abort, or no box at all
    }
}

void WinInstallSystem::Delay(unsigned milliseconds) {
    if (pauses_) Sleep(milliseconds);
}

void WinInstallSystem::BeginShortcuts() { apartment_ = std::make_unique<ComApartment>(); }

bool WinInstallSystem::MakeShortcut(const Shortcut& s) {
    const HRESULT result = CreateShortcut(s.file, s.target, s.workingFolder, s.arguments, s.hotKey,
                                          s.showCommand, s.iconFile, s.iconIndex);
    if (SUCCEEDED(result)) return true;
    LogFailure("Не удалось создать ярлык " + s.file, static_cast<unsigned long>(result));
    return false;
}

void WinInstallSystem::EndShortcuts() { apartment_.reset(); }

std::vector<std::string> WinInstallSystem::WriteMachineValues(const std::string& key,
                                                              const std::vector<RegistryValue>& values) {
    std::vector<std::string> failed;
    qv::WriteMachineValues(key, values, [&](const std::string& name, unsigned long error) {
        LogFailure("Не удалось записать в реестр HKEY_LOCAL_MACHINE\\" + key + " значение " + name, error);
        failed.push_back(name);
    });
    return failed;
}

std::vector<std::string> WinInstallSystem::ReadMachineStrings(const std::string& key, const std::string& name) {
    return qv::ReadMachineStrings(key, name);
}

std::string WinInstallSystem::ReadMachineString(const std::string& key, const std::string& name) {
    return qv::ReadMachineString(key, name);
}

bool WinInstallSystem::WriteMachineStrings(const std::string& key, const std::string& name,
                                           const std::vector<std::string>& strings) {
    return WriteMachineValues(key, {{name, strings}}).empty();
}

bool WinInstallSystem::DeleteMachineValue(const std::string& key, const std::string& name) {
    const unsigned long error = qv::DeleteMachineValue(key, name);
    if (error != 0) LogFailure("Не удалось удалить из реестра HKEY_LOCAL_MACHINE\\" + key + " значение " + name, error);
    return error == 0;
}

bool WinInstallSystem::DeleteMachineKey(const std::string& key) {
    const unsigned long error = qv::DeleteMachineKey(key);
    if (error != 0) LogFailure("Не удалось удалить раздел реестра HKEY_LOCAL_MACHINE\\" + key, error);
    return error == 0;
}

std::optional<unsigned long> WinInstallSystem::RunAndWait(const std::string& commandLine) {
    std::wstring line = ToWide(commandLine);  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        LogFailure("Не удалось запустить " + commandLine);
        return std::nullopt;
    }
    const StartedProcess started(info);
    DWORD code = 0;
    if (WaitForSingleObject(started.process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(started.process.get(), &code)) {
        LogFailure("Не удалось дождаться завершения " + commandLine);
        return std::nullopt;
    }
    return code;
}

}  // namespace qv
