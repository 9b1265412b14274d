#include "engine/install_sequence.h"

#include <vector>

#include "engine/install_contract.h"
#include "engine/payload_entry.h"
#include "engine/text.h"

namespace qv {

const char kInstallCaption[] = "Программа установки Кворвель";

namespace {

using contract::kFileKind;
using contract::kFolderKind;
using contract::kLogFileName;
using contract::kUninstallerFileName;

const char kTempFileName[] = "tmp.zip";
const char kLicenceFileName[] = "lic.txt";
const char kUserDataFileName[] = "Peoples.clm";
const char kProgramFileName[] = "QuorVel.exe";
const char kHelpFileName[] = "QuorVel.chm";

const char kProgramShortcut[] = "\\Кворвель 2.0.lnk";
const char kHelpShortcut[] = "\\Справка по Кворвель 2.0.lnk";
const char kUninstallShortcut[] = "\\Удалить Кворвель 2.0.lnk";

const char kShortcutsAction[] = "Создание ярлыков...";
const char kRegistryAction[] = "Запись информации в реестр...";

const char kTempFileError[] = "Ошибка создания временного файла.";
const char kCopyError[] = "Ошибка копирования файла: ";
const char kSaveError[] = "Ошибка записи файла: ";
const char kPathTooLong[] = "Слишком длинный путь к файлу: ";
const char kPathLimitNote[] = "\n\nПуть к файлу должен быть не длиннее 259 символов.";
const char kRegistryError[] = "Ошибка записи информации в реестр.";

const char kProductName[] = "Кворвель 2.0";
const char kProductVersion[] = "2.0";

const unsigned kEntryPauseMs = 100;

// Entries whose file the user may have changed: an existing one is kept.
bool IsKeptOnReinstall(std::string_view name) {
    return EqualNoCase(name, "People.dat") || EqualNoCase(name, "Group.txt");
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string PathTooLongText(const std::string& path) {
    return kPathTooLong + path + kPathLimitNote;
}

// The Windows side needs COM only while the shortcuts are made.
class ShortcutStage {
public:
    explicit ShortcutStage(InstallSystem& system) : system_(system) { system_.BeginShortcuts(); }
    ~ShortcutStage() { system_.EndShortcuts(); }
    ShortcutStage(const ShortcutStage&) = delete;
    ShortcutStage& operator=(const ShortcutStage&) = delete;

private:
    InstallSystem& system_;
};

}  // namespace

bool FitsMaxPath(std::string_view path) { return path.size() < kMaxPath; }

const InstallSequence::Step InstallSequence::kSteps[] = {
    &InstallSequence::CountEntries,      &InstallSequence::SetProgressRange,
    &InstallSequence::LogDestination,    &InstallSequence::InstallEntries,
    &InstallSequence::SaveLicence,       &InstallSequence::AnnounceShortcuts,
    &InstallSequence::MakeShortcuts,     &InstallSequence::LogUserData,
    &InstallSequence::LogUninstallLog,   &InstallSequence::SaveUninstallLog,
    &InstallSequence::AnnounceRegistration, &InstallSequence::Register,
    &InstallSequence::Finish,
};

InstallSequence::InstallSequence(const InstallChoices& choices, InstallSystem& system,
                                 ProgressSink& progress, InstallGate& gate, UninstallLog& log)
    : choices_(choices), system_(system), progress_(progress), gate_(gate), log_(log) {}

InstallOutcome InstallSequence::Run() {
    for (Step step : kSteps) {
        if (!gate_.Pass()) return InstallOutcome::Abandoned;
        (this->*step)();
    }
    return InstallOutcome::Finished;
}

void InstallSequence::CountEntries() { entryCount_ = system_.CountEntries(); }

void InstallSequence::SetProgressRange() { progress_.SetRange(0, entryCount_); }

void InstallSequence::LogDestination() { log_.Set(choices_.destination, kFolderKind); }

void InstallSequence::InstallEntries() {
    system_.ForEachEntry([this](std::string_view entry) {
        return gate_.Pass() && InstallEntry(entry);
    });
}

bool InstallSequence::InstallEntry(std::string_view entry) {
    // An entry whose name field is not a plain file name ended by a NUL
    // could not be put into the destination folder under its own name; it
    // is passed over like one that cannot be loaded.
    PayloadEntry parsed;
    if (ParsePayloadEntry(entry, parsed) != EntryStatus::kOk) return true;
    const std::string& name = parsed.name;

    EnsureDestination();

    const std::string target = InDestination(name);
    log_.Set(target, kFileKind);
    progress_.SetFileName(target);

    const std::string tmp = InDestination(kTempFileName);
    if (!FitsMaxPath(tmp)) {
        system_.ShowError(PathTooLongText(tmp));
        return false;
    }
    if (system_.SaveFile(tmp, parsed.stream) != SaveResult::Saved) {
        system_.ShowError(kTempFileError);
        return false;
    }

    const bool keep = IsKeptOnReinstall(name) && system_.Exists(target);
    if (!keep && !ExpandEntry(tmp, target, name)) return false;

    system_.RemoveFile(tmp);
    ++entriesDone_;
    progress_.SetPosition(entriesDone_);
    system_.Delay(kEntryPauseMs);
    return true;
}

bool InstallSequence::ExpandEntry(const std::string& tmp, const std::string& target,
                                  const std::string& name) {
    if (!FitsMaxPath(target)) {
        // No shorter name would be the file asked for: the entry is passed over.
        system_.ShowError(PathTooLongText(target));
        return gate_.Pass();
    }
    for (;;) {
        if (system_.ExpandFile(tmp, target) == ExpandResult::Expanded) return true;
        const CopyAnswer answer = system_.AskCopyFailed(kCopyError + name);
        // The user may have left the installation while the box was open.
        if (!gate_.Pass()) return false;
        if (answer == CopyAnswer::Abort) return false;
        if (answer == CopyAnswer::Ignore) return true;
    }
}

void InstallSequence::SaveLicence() {
    // With no entry installed the destination may not be there yet.
    EnsureDestination();
    const std::string path = InDestination(kLicenceFileName);
    Save(path, choices_.licenceText);
    log_.Set(path, kFileKind);
}

void InstallSequence::AnnounceShortcuts() {
    progress_.SetFileName(std::string());
    progress_.SetAction(kShortcutsAction);
}

void InstallSequence::MakeShortcuts() {
    ShortcutStage stage(system_);

    const std::string group = choices_.programsPath + "\\" + choices_.groupName;
    if (!system_.Exists(group)) MakeFolders(group);
    log_.Set(group, kFolderKind);

    MakeShortcut(group + kProgramShortcut, kProgramFileName);
    MakeShortcut(group + kHelpShortcut, kHelpFileName);
    MakeShortcut(group + kUninstallShortcut, kUninstallerFileName);
    if (choices_.desktopShortcut) {
        MakeShortcut(choices_.desktopPath + kProgramShortcut, kProgramFileName);
    }
}

void InstallSequence::MakeShortcut(const std::string& file, const std::string& targetName) {
    log_.Set(file, kFileKind);
    // A shortcut is never saved under a shortened name, nor pointing at a
    // shortened or dropped target; one that does not fit is left out, as
    // any other shortcut that cannot be made.
    const std::string target = InDestination(targetName);
    if (!FitsMaxPath(file) || !FitsMaxPath(target)) return;

    Shortcut shortcut;
    shortcut.file = file;
    shortcut.target = target;
    shortcut.workingFolder = choices_.destination;
    shortcut.iconFile = shortcut.target;
    shortcut.iconIndex = 0;
    shortcut.hotKey = 0;
    shortcut.showCommand = 1;
    system_.MakeShortcut(shortcut);
}

void InstallSequence::LogUserData() { log_.Set(InDestination(kUserDataFileName), kFileKind); }

void InstallSequence::LogUninstallLog() { log_.Set(InDestination(kLogFileName), kFileKind); }

void InstallSequence::SaveUninstallLog() {
    EnsureDestination();
    Save(InDestination(kLogFileName), log_.Text());
}

void InstallSequence::AnnounceRegistration() { progress_.SetAction(kRegistryAction); }

void InstallSequence::Register() {
    const std::vector<RegistryValue> values = {
        {contract::kDisplayName, kProductName},
        {contract::kDisplayIcon, InDestination(kProgramFileName)},
        {contract::kDisplayVersion, kProductVersion},
        {contract::kUninstallString, InDestination(kUninstallerFileName)},
    };
    if (!system_.WriteMachineValues(contract::kUninstallKey, values)) system_.ShowError(kRegistryError);
}

void InstallSequence::Finish() { progress_.Finished(); }

void InstallSequence::EnsureDestination() {
    if (!system_.Exists(choices_.destination)) MakeFolders(choices_.destination);
}

void InstallSequence::MakeFolders(const std::string& path) {
    // Every missing level, from the outermost in; a level that cannot be
    // made shows up later, when something is written into it.
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && !IsSeparator(path[i])) continue;
        if (IsSeparator(path[i - 1])) continue;
        const std::string level = path.substr(0, i);
        if (!FitsMaxPath(level)) return;
        if (!system_.Exists(level)) system_.MakeFolder(level);
    }
}

void InstallSequence::Save(const std::string& path, std::string_view bytes) {
    if (!FitsMaxPath(path)) {
        system_.ShowError(PathTooLongText(path));
    } else if (system_.SaveFile(path, bytes) != SaveResult::Saved) {
        system_.ShowError(kSaveError + path);
    }
}

std::string InstallSequence::InDestination(std::string_view name) const {
    std::string path = choices_.destination;
    path += '\\';
    path += name;
    return path;
}

}  // namespace qv
