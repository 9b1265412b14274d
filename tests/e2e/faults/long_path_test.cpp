// Destinations of nested folders whose paths come close to the system's
// 260-character limit and pass it, typed on the destination page. Every
// file the installation makes anywhere on C: must carry its whole name or
// not be made at all, and the user is told about each one left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/e2e/faults/fault_rig.h"
#include "toolkit/program_text.h"

namespace e2e {
namespace {

constexpr size_t kPathLimit = 260;  // terminator included
// The longest destination the page takes: "\\Republics.dat" still fits.
constexpr size_t kLongestDestination = 245;
constexpr size_t kLevelLength = 40;
constexpr char kTooLong[] = "Слишком длинный путь к файлу: ";

// A path's length as the system counts it: in UTF-16 units.
size_t Length(const std::string& path) { return qv::ToWide(path).size(); }

bool Fits(const std::string& path) { return Length(path) < kPathLimit; }

std::string Root(size_t length) {
    std::string root = "C:\\Длинный путь ";
    return root += std::to_string(length);
}

// A folder name of `length` characters that ends in a letter.
std::string LevelName(int level, size_t length) {
    const std::wstring name = L"Папка " + std::to_wstring(level) + L' ';
    if (name.size() >= length) return qv::FromWideOrFail(std::wstring(length, L'я'));
    return qv::FromWideOrFail(name + std::wstring(length - name.size(), L'ж'));
}

// Root(length), then folders of kLevelLength characters, the last one
// trimmed so that the whole path has exactly `length` characters.
std::string NestedDestination(size_t length) {
    std::string path = Root(length);
    for (int level = 1; Length(path) < length; ++level) {
        const size_t room = length - Length(path) - 1;  // after the separator
        size_t name = std::min(room, kLevelLength);
        if (room > name && room - name < 2) name = room - 2;  // leave room for one more level
        path += '\\';
        path += LevelName(level, name);
    }
    return path;
}

// Every level of a folder path below the drive, outermost first.
std::vector<std::string> Levels(const std::string& path) {
    std::vector<std::string> levels;
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') levels.push_back(path.substr(0, i));
    }
    return levels;
}

// What the installation should make on C: for this destination, and the
// paths it should tell the user it left out, in the order it meets them.
struct Expectation {
    std::set<std::string> made;
    std::vector<std::string> leftOut;
    // Shortcuts whose target does not fit: made only if whole.
    std::set<std::string> optional;
};

// The shortcut files of an installation and their targets' names.
std::vector<std::pair<std::string, std::string>> Shortcuts() {
    return {{GroupFolder() + kProgramShortcut, "QuorVel.exe"},
            {GroupFolder() + kHelpShortcut, "QuorVel.chm"},
            {GroupFolder() + kUninstallShortcut, "UnInstall.exe"},
            {DesktopFolder() + kProgramShortcut, "QuorVel.exe"}};
}

Expectation Expect(const std::string& destination) {
    Expectation e;
    for (const std::string& level : Levels(destination)) {
        if (!Fits(level)) break;
        e.made.insert(level);
    }
    const auto file = [&](const std::string& name) {
        const std::string path = destination + "\\" + name;
        if (Fits(path)) {
            e.made.insert(path);
        } else {
            e.leftOut.push_back(path);
        }
    };
    if (Fits(destination + "\\tmp.zip")) {
        for (const std::string& name : PayloadNames()) file(name);
    } else {
        e.leftOut.push_back(destination + "\\tmp.zip");
    }
    file("lic.txt");
    file("UnInstall.dat");
    e.made.insert(GroupFolder());
    for (const auto& [file, target] : Shortcuts()) {
        (Fits(destination + "\\" + target) ? e.made : e.optional).insert(file);
    }
    return e;
}

// Everything on C: but the system's own folder.
std::vector<FolderEntry> ListDriveC() { return ListTree("C:", {"C:\\windows"}); }

// C: as it is before the case: no trace of an earlier run of it.
std::vector<FolderEntry> CleanListing(size_t length) {
    RemoveTree(Root(length));
    return ListDriveC();
}

class LongDestination : public ::testing::TestWithParam<size_t> {
protected:
    void SetUp() override { ASSERT_TRUE(com_.ok()); }

    // Installs into the destination, answering every box of the
    // installation with OK and keeping their texts; the program ends with
    // `exitCode`.
    void Install(const std::string& destination, std::vector<std::string>& texts, DWORD exitCode) {
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form4"));
        wizard.SetText("Form4", "edDir", destination);
        ASSERT_EQ(wizard.Text("Form4", "edDir"), destination);
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
        ASSERT_NO_FATAL_FAILURE(StartInstallation(wizard));
        const auto end = std::chrono::steady_clock::now() + 180s;
        while (!wizard.Visible("Form8")) {
            ASSERT_LT(std::chrono::steady_clock::now(), end) << "the finish page did not come";
            Box box;
            if (WaitBoxOf(wizard.ProcessId(), kInstallCaption, box, 200ms)) {
                texts.push_back(box.text);
                ASSERT_TRUE(HasButton(box, IDOK) && !HasButton(box, IDRETRY)) << box.text;
                ASSERT_TRUE(AnswerBox(box, IDOK));
            }
        }
        ASSERT_TRUE(wizard.WaitShown("Form8"));
        ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard, exitCode));
    }

    // Listed before the wizard starts.
    CleanSystem clean_;
    const std::vector<FolderEntry> before_ = CleanListing(GetParam());
    Wizard wizard{QV_SETUP_EXE};

private:
    ComApartment com_;
};

TEST_P(LongDestination, NoNameIsCutOrOverrunAndEachLeftOutFileIsReported) {
    const std::string destination = NestedDestination(GetParam());
    ASSERT_EQ(Length(destination), GetParam());
    if (Length(destination) > kLongestDestination) {
        // Refused on the page, before anything is written.
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form4"));
        wizard.SetText("Form4", "edDir", destination);
        wizard.Click("Form4", "Next");
        Box box;
        ASSERT_TRUE(wizard.WaitMessageBox(box, 20s));
        EXPECT_EQ(box.caption, "Слишком длинный путь");
        wizard.Answer(box, IDOK);
        ASSERT_TRUE(WaitFor([&] { return wizard.MessageBox().hwnd == nullptr; }));
        EXPECT_TRUE(wizard.Visible("Form4"));
        EXPECT_TRUE(AddedPaths(before_, ListDriveC()).empty());
        wizard.CloseBox("Form4");
        ASSERT_TRUE(wizard.WaitMessageBox(box));
        wizard.Answer(box, IDYES);
        ASSERT_TRUE(wizard.Exited());
        return;
    }
    const Expectation expected = Expect(destination);

    std::vector<std::string> texts;
    ASSERT_NO_FATAL_FAILURE(Install(destination, texts, expected.leftOut.empty() ? 0 : 4));

    const std::vector<std::string> added = AddedPaths(before_, ListDriveC());
    const std::set<std::string> made(added.begin(), added.end());
    for (const std::string& path : made) {
        EXPECT_TRUE(expected.made.count(path) || expected.optional.count(path))
            << "made, but not a whole name of the installation (" << Length(path) << " characters): " << path;
    }
    for (const std::string& path : expected.made) {
        EXPECT_TRUE(made.count(path)) << "not made (" << Length(path) << " characters): " << path;
    }

    // One message per file left out, naming its whole path; then, when the
    // log could be saved but not the uninstaller, that the program is not
    // registered (the log's own message says so when it is the log).
    const bool uninstallerMade = expected.made.count(destination + "\\UnInstall.exe") > 0;
    const bool logMade = expected.made.count(destination + "\\UnInstall.dat") > 0;
    const bool notRegisteredBox = logMade && !uninstallerMade;
    ASSERT_EQ(texts.size(), expected.leftOut.size() + (notRegisteredBox ? 1 : 0));
    for (size_t i = 0; i < expected.leftOut.size(); ++i) {
        EXPECT_EQ(texts[i].rfind(kTooLong + expected.leftOut[i] + "\n\n", 0), 0u) << texts[i];
    }
    if (notRegisteredBox) {
        EXPECT_EQ(texts.back(), kNoUninstaller + destination + "\\UnInstall.exe");
    }

    // What does get written names the destination in full; only an
    // installation that can be removed is registered.
    if (uninstallerMade && logMade) {
        ExpectRegistration(destination);
    } else {
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    }
    if (expected.made.count(destination + "\\UnInstall.dat")) {
        ExpectUninstallLog(destination, ExpectedLogLines(destination, GroupFolder(), DesktopFolder()));
    }
    for (const std::string& name : PayloadNames()) {
        const std::string path = destination + "\\" + name;
        if (!expected.made.count(path)) continue;
        EXPECT_TRUE(ReadWhole(path) == PackedPayloadFile(name)) << name << " differs from the packed file";
    }

    // A shortcut whose target does not fit is left out; those made point
    // at their whole target.
    for (const auto& [file, target] : Shortcuts()) {
        if (Exists(file)) ExpectShortcut(file, destination, target);
    }
}

// 245: every file fits, the longest at 259 characters. 246 (the longest
// names would no longer fit), 256 (nor the temporary file), 280 and 300
// (nor the destination itself, past the 300-character buffer of a built
// path) are refused on the page.
INSTANTIATE_TEST_SUITE_P(Lengths, LongDestination, ::testing::Values(245u, 246u, 256u, 280u, 300u),
                         [](const auto& info) { return std::to_string(info.param) + "Characters"; });

}  // namespace
}  // namespace e2e
