#include "tests/e2e/driver/scenario.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "engine/win_file_digest.h"
#include "tests/e2e/driver/system_checks.h"
#include "toolkit/program_text.h"
#include "tools/payload/inventory.h"

#ifndef QV_PAYLOAD_FILES
#error "QV_PAYLOAD_FILES names the folder of the packed payload files"
#endif
#ifndef QV_LICENCE_FILE
#error "QV_LICENCE_FILE names the built-in agreement"
#endif

namespace e2e {
namespace {

const char* const kPageOrder[] = {"Form2", "Form3", "Form4", "Form5", "Form6", "Form7", "Form8"};

const char* PageAfter(const std::string& page) {
    for (size_t i = 0; i + 1 < std::size(kPageOrder); ++i) {
        if (page == kPageOrder[i]) return kPageOrder[i + 1];
    }
    return "";
}

std::string InFolder(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

}  // namespace

std::string FolderExistsText(const std::string& path) {
    return "Папка:\n\n" + path + "\n\nуже существует. Установить программу в эту директорию?";
}

std::string ProgramsFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS); }

std::string GroupFolder() { return ProgramsFolder() + "\\" + kDefaultGroup; }

std::string DesktopFolder() { return ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY); }

std::string InDestination(const std::string& name) { return InFolder(kDefaultDestination, name); }

bool CleanInstallation(const std::string& destination) {
    CloseApplications();
    RemoveTree(destination);
    RemoveTree(GroupFolder());
    RemoveTree(DesktopFolder() + kProgramShortcut);
    return DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey);
}

std::string InstallationState(const std::string& destination) {
    return DescribeState({destination, GroupFolder(), DesktopFolder()}, HKEY_LOCAL_MACHINE, kUninstallKey);
}

namespace {
constexpr wchar_t kProgramFiles[] = L"C:\\Program Files";
constexpr wchar_t kProgramFilesAway[] = L"C:\\Program Files (away)";
}  // namespace

ProgramFilesAway::ProgramFilesAway() : moved_(MoveFileW(kProgramFiles, kProgramFilesAway) != FALSE) {}

ProgramFilesAway::~ProgramFilesAway() {
    if (moved_) MoveFileW(kProgramFilesAway, kProgramFiles);
}

std::vector<std::string> PayloadNames() {
    std::vector<std::string> names;
    for (const auto& item : qv::payload::kInventory) names.emplace_back(item.fileName);
    return names;
}

void WalkToTasksWith(const Wizard& wizard, const std::string& destination) {
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form4"));
    wizard.SetText("Form4", "edDir", destination);
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
}

void LeaveByCloseBox(const Wizard& wizard, const char* form) {
    wizard.CloseBox(form);
    Box box;
    ASSERT_TRUE(wizard.WaitMessageBox(box));
    wizard.Answer(box, IDYES);
    ASSERT_TRUE(wizard.Exited());
}

void NextPage(const Wizard& wizard, const char* from, const char* to) {
    wizard.Click(from, "Next");
    ASSERT_TRUE(wizard.WaitShown(to, 20s)) << to << " not shown after Next on " << from;
}

const char* CurrentPage(const Wizard& wizard) {
    for (const char* page : kPageOrder) {
        if (wizard.Visible(page)) return page;
    }
    return nullptr;
}

void WalkTo(const Wizard& wizard, const char* form) {
    const char* current = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (current = CurrentPage(wizard)) != nullptr; }, 20s)) << "no page is shown";
    ASSERT_TRUE(wizard.WaitShown(current, 20s));
    for (std::string page = current; page != form; page = PageAfter(page)) {
        ASSERT_FALSE(page.empty() || page == "Form7") << "cannot walk on to " << form;
        if (page == "Form3" && !wizard.Enabled("Form3", "Next")) {
            wizard.Click("Form3", "RadioButton1");
            ASSERT_TRUE(WaitFor([&] { return wizard.Enabled("Form3", "Next"); }));
        }
        if (page == "Form4") {
            // An installation in another folder, and an existing
            // destination, are asked about; each is answered Yes.
            wizard.Click("Form4", "Next");
            for (;;) {
                Box box;
                ASSERT_TRUE(WaitFor([&] {
                    box = wizard.MessageBox();
                    return box.hwnd != nullptr || wizard.Visible("Form5");
                }, 20s));
                if (!box.hwnd) break;
                ASSERT_TRUE(box.caption == kFolderExistsCaption || box.caption == kEarlierInstallationCaption)
                    << box.caption;
                wizard.Answer(box, IDYES);
                ASSERT_TRUE(WaitFor([&] { return !IsWindow(box.hwnd); }, 20s));
            }
            ASSERT_TRUE(wizard.WaitShown("Form5", 20s));
            continue;
        }
        ASSERT_NO_FATAL_FAILURE(NextPage(wizard, page.c_str(), PageAfter(page)));
    }
}

void InstallFromTasks(const Wizard& wizard) {
    wizard.Click("Form6", "Next");
    ASSERT_TRUE(wizard.WaitShown("Form8", 120s)) << "the installation did not reach the finish page";
}

void FinishWithoutStarting(const Wizard& wizard, DWORD exitCode) {
    if (wizard.Checked("Form8", "CheckBox")) {
        wizard.Click("Form8", "CheckBox");
        ASSERT_TRUE(WaitFor([&] { return !wizard.Checked("Form8", "CheckBox"); }));
    }
    wizard.Click("Form8", "Ready");
    ASSERT_TRUE(wizard.Exited(20s));
    EXPECT_EQ(wizard.ExitCode(), exitCode);
}

std::vector<std::string> ExpectedLogLines(const std::string& destination, const std::string& groupFolder,
                                          const std::string& desktopFolder) {
    std::vector<std::string> lines{destination + "=D"};
    for (const std::string& name : PayloadNames()) lines.push_back(InFolder(destination, name) + "=F");
    lines.push_back(InFolder(destination, "lic.txt") + "=F");
    lines.push_back(groupFolder + "=D");
    for (const char* shortcut : {kProgramShortcut, kHelpShortcut, kUninstallShortcut}) {
        lines.push_back(groupFolder + shortcut + "=F");
    }
    if (!desktopFolder.empty()) lines.push_back(desktopFolder + kProgramShortcut + "=F");
    lines.push_back(InFolder(destination, "Peoples.clm") + "=F");
    lines.push_back(InFolder(destination, "UnInstall.dat") + "=F");
    return lines;
}

namespace {

// Which form the log must be kept in, where the test can tell from its
// lines and the system's code page: 8-bit where the code page holds every
// character (ASCII anywhere, Russian on a Russian system), UTF-16 where it
// holds some of them not. Nothing for the cases between.
std::optional<bool> Utf16LogExpected(const std::vector<std::string>& lines) {
    bool ascii = true, russian = true;
    for (const std::string& line : lines) {
        for (const wchar_t c : qv::ToWide(line)) {
            ascii = ascii && c < 0x80;
            russian = russian && (c < 0x80 || (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451);
        }
    }
    const UINT codePage = GetACP();
    if (codePage == 936) return true;  // double-byte: never 8-bit
    if (ascii || (russian && codePage == 1251)) return false;
    if (russian) return true;
    return std::nullopt;
}

}  // namespace

void ExpectUninstallLog(const std::string& destination, const std::vector<std::string>& lines) {
    const std::optional<std::string> bytes = ReadWhole(InFolder(destination, "UnInstall.dat"));
    if (const std::optional<bool> utf16 = Utf16LogExpected(lines); utf16 && bytes) {
        EXPECT_EQ(bytes->rfind("\xFF\xFE", 0) == 0, *utf16) << "the form of UnInstall.dat on code page " << GetACP();
    }
    const auto text = ReadTextFile(InFolder(destination, "UnInstall.dat"));
    ASSERT_TRUE(text) << "no UnInstall.dat in " << destination;
    std::vector<std::string> read;
    EXPECT_TRUE(SplitCrLfLines(*text, read)) << "every line of UnInstall.dat ends with CR LF";
    EXPECT_EQ(read, lines);
}

void ExpectFilesInstalled(const std::string& destination) {
    for (const std::string& name : PayloadNames()) {
        const auto packed = ReadWhole(InFolder(QV_PAYLOAD_FILES, name));
        ASSERT_TRUE(packed) << "cannot read the packed " << name;
        const auto installed = ReadWhole(InFolder(destination, name));
        ASSERT_TRUE(installed) << name << " is missing in " << destination;
        EXPECT_EQ(installed->size(), packed->size()) << name;
        EXPECT_TRUE(*installed == *packed) << name << " differs from the packed file";
    }
    const auto agreement = ReadWhole(QV_LICENCE_FILE);
    ASSERT_TRUE(agreement);
    const auto licence = ReadTextFile(InFolder(destination, "lic.txt"));
    ASSERT_TRUE(licence) << "no lic.txt in " << destination;
    EXPECT_TRUE(*licence == TextOf1251(*agreement)) << "lic.txt is not the built-in agreement";
    // On a Russian system, byte for byte as ever.
    if (GetACP() == 1251) {
        EXPECT_TRUE(ReadWhole(InFolder(destination, "lic.txt")) == agreement) << "lic.txt in 1251";
    }
    EXPECT_FALSE(Exists(InFolder(destination, "tmp.zip")));
}

void ExpectShortcut(const std::string& file, const std::string& destination, const std::string& target) {
    const auto link = ReadShortcut(file);
    ASSERT_TRUE(link) << "no shortcut " << file;
    const std::string path = InFolder(destination, target);
    // The shell keeps the target as the file system names it.
    EXPECT_TRUE(SamePath(link->target, path)) << file << ": " << link->target;
    EXPECT_TRUE(SamePath(link->iconFile, path)) << file << ": " << link->iconFile;
    EXPECT_EQ(link->workingFolder, destination) << file;
    EXPECT_EQ(link->iconIndex, 0) << file;
    EXPECT_EQ(link->showCommand, SW_SHOWNORMAL) << file;
    EXPECT_EQ(link->arguments, "") << file;
    EXPECT_EQ(link->description, "") << file;
    EXPECT_EQ(link->hotKey, 0) << file;
}

void ExpectGroupShortcuts(const std::string& groupFolder, const std::string& destination) {
    ExpectShortcut(groupFolder + kProgramShortcut, destination, "QuorVel.exe");
    ExpectShortcut(groupFolder + kHelpShortcut, destination, "QuorVel.chm");
    ExpectShortcut(groupFolder + kUninstallShortcut, destination, "UnInstall.exe");
}

void ExpectRegistration(const std::string& destination) {
    // The command is quoted, so that no part of a path with spaces can be
    // taken for the program.
    const std::string uninstaller = "\"" + InFolder(destination, "UnInstall.exe") + "\"";
    const std::pair<const char*, std::string> strings[] = {
        {"DisplayName", "Кворвель 2.0"},
        {"DisplayIcon", InFolder(destination, "QuorVel.exe")},
        {"DisplayVersion", "2.0"},
        {"UninstallString", uninstaller},
        {"QuietUninstallString", uninstaller + " /SILENT"},
        {"InstallLocation", destination},
        {"Publisher", "ООО «Кворвель Софт»"},
    };
    std::vector<std::string> names = RegistryValueNames(HKEY_LOCAL_MACHINE, kUninstallKey);
    std::sort(names.begin(), names.end());
    // What the uninstaller trusts over UnInstall.dat: the log's digest
    // always, the group and the desktop shortcut where they were made.
    std::vector<std::string> expected = {"CreatedFolders", "DisplayIcon", "DisplayName", "DisplayVersion",
                                         "EstimatedSize", "InstallLocation", "NoModify", "NoRepair",
                                         "Publisher", "QuietUninstallString", "UninstallString",
                                         "UninstallLogSha256"};
    for (const char* made : {"StartMenuGroup", "DesktopShortcut"}) {
        const auto value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, made);
        if (!value) continue;
        expected.push_back(made);
        EXPECT_TRUE(value->type == REG_SZ && Exists(value->data.c_str())) << made << ": " << value->data;
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    const auto digest = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallLogSha256");
    ASSERT_TRUE(digest);
    EXPECT_EQ(digest->data, qv::FileHasher().Sha256(InFolder(destination, "UnInstall.dat")).value_or("?") + '\0');
    for (const auto& [name, text] : strings) {
        const auto value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name);
        ASSERT_TRUE(value) << name << " is missing";
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value->data, text + '\0') << name << ": the text with its terminator";
    }
    // The size of what was installed, in kilobytes (the temporary file an
    // Abort leaves is not part of it).
    std::uint64_t bytes = 0;
    for (const FolderEntry& entry : ListFolder(destination)) {
        if (!entry.folder && !SamePath(entry.name, "tmp.zip")) bytes += entry.size;
    }
    const std::uint32_t kilobytes = static_cast<std::uint32_t>((bytes + 1023) / 1024);
    const std::pair<const char*, std::uint32_t> numbers[] = {{"EstimatedSize", kilobytes}, {"NoModify", 1}, {"NoRepair", 1}};
    for (const auto& [name, number] : numbers) {
        const auto value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name);
        ASSERT_TRUE(value) << name << " is missing";
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(value->data, std::string(reinterpret_cast<const char*>(&number), 4)) << name;
    }
    const auto created = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "CreatedFolders");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->type, static_cast<DWORD>(REG_MULTI_SZ));
}

HWND WaitForApplicationWindow(std::chrono::milliseconds limit) {
    HWND window = nullptr;
    WaitFor([&] {
        const std::vector<HWND> found = WindowsTitled(kAppTitle);
        window = found.empty() ? nullptr : found.front();
        return window != nullptr;
    }, limit);
    return window;
}

void CloseApplications() {
    for (HWND window : WindowsTitled(kAppTitle)) CloseAndWaitForExit(window, 10000);
}

}  // namespace e2e
