// The install sequence's steps that tie the installed program into the
// system: an earlier installation in another folder is removed before
// anything is written; the Start-menu and desktop shortcuts; and at the end
// the entry in the list of programs.
#include <algorithm>

#include "engine/install_contract.h"
#include "engine/install_sequence.h"
#include "engine/text.h"
#include "engine/paths.h"

namespace qv {
namespace {

const char kHelpFileName[] = "QuorVel.chm";


const char kShortcutsAction[] = "Создание ярлыков...";
const char kRegistryAction[] = "Запись информации в реестр...";

const char kRegistryError[] = "Ошибка записи информации в реестр.";
const char kNotRegistered[] = "Программа не зарегистрирована в списке установленных программ";
const char kNoUninstallerReason[] = ": не установлена программа удаления\n\n";
const char kRemovingEarlier[] = "Удаление предыдущей установки: ";
const char kEarlierLeft[] = "Предыдущая установка программы Кворвель 2.0 в папке ";
const char kEarlierLeftAfter[] = " удалена не полностью: ";

const char kProductName[] = "Кворвель 2.0";
const char kProductVersion[] = "2.0";
const char kPublisherName[] = "ООО «Кворвель Софт»";

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

void InstallSequence::RemoveEarlierInstallation() {
    // Only one installation can be in the list of programs: one in another
    // folder goes first, with its own uninstaller, or it would be left
    // where nothing could remove it.
    const std::string earlier = system_.ReadMachineString(contract::kUninstallKey, contract::kInstallLocation);
    if (earlier.empty() || SamePath(earlier, destination_)) return;
    const std::string uninstaller = earlier + "\\" + contract::kUninstallerFileName;
    if (!system_.Exists(uninstaller)) {
        runLog_.Write("Предыдущая установка в папке " + earlier + " не удаляется: в ней нет программы удаления.");
        return;
    }
    runLog_.Write("Удаляется предыдущая установка: " + earlier);
    progress_.SetFileName(kRemovingEarlier + earlier);
    const std::optional<unsigned long> code =
        system_.RunAndWait(QuotedCommand(uninstaller, contract::kSilentSwitch));
    if (code == 0UL) {
        runLog_.Write("Предыдущая установка удалена.");
        return;
    }
    const std::string why = code ? "программа удаления завершилась с кодом " + std::to_string(*code)
                                 : std::string("программа удаления не запустилась");
    const std::string left = kEarlierLeft + earlier + kEarlierLeftAfter + why + ".";
    runLog_.Write(left);
    system_.ShowError(left);
}

void InstallSequence::AnnounceShortcuts() {
    progress_.SetFileName(std::string());
    progress_.SetAction(kShortcutsAction);
}

void InstallSequence::MakeShortcuts() {
    ShortcutStage stage(system_);

    // Without the shell's folders the shortcuts would land wherever the
    // current drive is: they are left out instead.
    if (choices_.programsPath.empty()) {
        runLog_.Write("Ярлыки в меню «Пуск» не созданы: папка программ меню «Пуск» не найдена.");
    } else {
        const std::string group = GroupPath();
        if (!system_.Exists(group)) MakeFolders(group);
        log_.Set(group, contract::kFolderKind);
        MakeShortcut(InFolder(group, contract::kProgramShortcutName), contract::kApplicationFileName);
        MakeShortcut(InFolder(group, contract::kHelpShortcutName), kHelpFileName);
        MakeShortcut(InFolder(group, contract::kUninstallShortcutName), contract::kUninstallerFileName);
    }
    if (!choices_.desktopShortcut) return;
    if (choices_.desktopPath.empty()) {
        runLog_.Write("Ярлык на рабочем столе не создан: папка рабочего стола не найдена.");
        return;
    }
    MakeShortcut(DesktopShortcutPath(), contract::kApplicationFileName);
}

void InstallSequence::MakeShortcut(const std::string& file, const std::string& targetName) {
    log_.Set(file, contract::kFileKind);
    // A shortcut is never saved under a shortened name, nor pointing at a
    // shortened or dropped target; one that does not fit is left out, as
    // any other shortcut that cannot be made.
    const std::string target = InDestination(targetName);
    if (IsMissing(targetName)) {
        runLog_.Write("Ярлык не создан (нет файла " + target + "): " + file);
        ++report_.shortcutsLeftOut;
        return;
    }
    if (!FitsMaxPath(file) || !FitsMaxPath(target)) {
        runLog_.Write("Ярлык не создан (слишком длинный путь): " + file);
        ++report_.shortcutsLeftOut;
        return;
    }

    Shortcut shortcut;
    shortcut.file = file;
    shortcut.target = target;
    shortcut.workingFolder = destination_;
    shortcut.iconFile = shortcut.target;
    shortcut.iconIndex = 0;
    shortcut.hotKey = 0;
    shortcut.showCommand = 1;
    NoteIfNew(file);
    if (system_.MakeShortcut(shortcut)) {
        runLog_.Write("Создан ярлык " + file);
        return;
    }
    runLog_.Write("Ярлык не создан: " + file);
    ++report_.shortcutsLeftOut;
}

void InstallSequence::AnnounceRegistration() { progress_.SetAction(kRegistryAction); }

std::vector<std::string> InstallSequence::CreatedFolders() {
    // Levels an earlier installation made stay recorded while they exist
    // and lead to this installation's folders, so that installing again
    // over it does not forget them; another folder's levels are not ours.
    std::vector<std::string> ours = {destination_};
    if (!choices_.programsPath.empty()) ours.push_back(GroupPath());
    const auto leadsToOurs = [&](const std::string& folder) {
        return std::any_of(ours.begin(), ours.end(), [&](const std::string& o) { return IsAtOrInside(o, folder); });
    };
    std::vector<std::string> folders;
    const auto add = [&](const std::string& folder) {
        if (!ContainsNoCase(folders, folder) && system_.Exists(folder)) folders.push_back(folder);
    };
    for (const std::string& folder : system_.ReadMachineStrings(contract::kUninstallKey, contract::kCreatedFolders)) {
        if (leadsToOurs(folder)) add(folder);
    }
    for (const std::string& folder : written_.Folders()) add(folder);
    return folders;
}

std::string InstallSequence::GroupPath() const {
    return choices_.programsPath.empty() ? std::string() : InFolder(choices_.programsPath, choices_.groupName);
}

std::string InstallSequence::DesktopShortcutPath() const {
    return InFolder(choices_.desktopPath, contract::kProgramShortcutName);
}

void InstallSequence::AddTrustedRecords(std::vector<RegistryValue>& values) {
    // What the uninstaller may trust over UnInstall.dat, which a user who can
    // write to the destination folder can change.
    if (const std::string group = GroupPath(); !group.empty() && system_.Exists(group)) {
        values.push_back({contract::kStartMenuGroup, group});
    }
    if (choices_.desktopShortcut && !choices_.desktopPath.empty() && system_.Exists(DesktopShortcutPath())) {
        values.push_back({contract::kDesktopShortcut, DesktopShortcutPath()});
    }
    if (const std::optional<std::string> digest = system_.FileSha256(InDestination(contract::kLogFileName))) {
        values.push_back({contract::kUninstallLogSha256, *digest});
    }
}

void InstallSequence::Register() {
    // An entry in the list of programs must be one that can be removed.
    const std::string uninstaller = InDestination(contract::kUninstallerFileName);
    if (!report_.logSaved) {  // the box that said so has said this too
        runLog_.Write(std::string(kNotRegistered) + ": не сохранён журнал удаления.");
        return;
    }
    if (!IsInPlace(contract::kUninstallerFileName)) {
        system_.ShowError(kNotRegistered + std::string(kNoUninstallerReason) + uninstaller);
        runLog_.Write(std::string(kNotRegistered) + ": нет программы удаления " + uninstaller);
        return;
    }
    const std::uint32_t kilobytes = static_cast<std::uint32_t>((installedBytes_ + 1023) / 1024);
    std::vector<RegistryValue> values = {
        {contract::kDisplayName, std::string(kProductName)},
        {contract::kDisplayIcon, InDestination(contract::kApplicationFileName)},
        {contract::kDisplayVersion, std::string(kProductVersion)},
        {contract::kUninstallString, QuotedCommand(uninstaller)},
        {contract::kQuietUninstallString, QuotedCommand(uninstaller, contract::kSilentSwitch)},
        {contract::kInstallLocation, destination_},
        {contract::kPublisher, std::string(kPublisherName)},
        {contract::kEstimatedSize, kilobytes},
        {contract::kNoModify, std::uint32_t{1}},
        {contract::kNoRepair, std::uint32_t{1}},
        {contract::kCreatedFolders, CreatedFolders()},
    };
    AddTrustedRecords(values);
    const std::vector<std::string> failed = system_.WriteMachineValues(contract::kUninstallKey, values);
    // The list of programs shows and removes an entry by its first four
    // values; the others only add to what it says.
    const auto essential = [](const std::string& name) {
        return name == contract::kDisplayName || name == contract::kDisplayIcon ||
               name == contract::kDisplayVersion || name == contract::kUninstallString;
    };
    if (std::any_of(failed.begin(), failed.end(), essential)) {
        system_.ShowError(kRegistryError + std::string("\n\n") + kNotRegistered + ".");
        runLog_.Write(std::string(kNotRegistered) + ": ошибка записи в реестр.");
        return;
    }
    report_.registered = true;
    runLog_.Write("Программа зарегистрирована в списке установленных программ: HKEY_LOCAL_MACHINE\\" +
                  std::string(contract::kUninstallKey));
    if (failed.empty()) return;
    report_.unwrittenValues = failed;
    std::string names;
    for (const std::string& name : failed) names += (names.empty() ? "" : ", ") + name;
    system_.ShowError(kRegistryError + std::string("\n\nНе записаны значения: ") + names + ".");
    runLog_.Write("Не записаны значения регистрации: " + names + ".");
}

}  // namespace qv
