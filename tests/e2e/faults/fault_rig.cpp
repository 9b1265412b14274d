#include "tests/e2e/faults/fault_rig.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "toolkit/program_text.h"

namespace e2e {

HeldTarget::HeldTarget()
    : target_(InDestination(kHeldEntry), kHeldText), fallback_(InDestination(kHeldFallback), "") {}

void HeldTarget::Release() {
    target_.Release();
    fallback_.Release();
}

void HeldTarget::ExpectUntouched() const {
    EXPECT_EQ(ReadWhole(InDestination(kHeldEntry)).value_or("<missing>"), kHeldText);
    EXPECT_EQ(ReadWhole(InDestination(kHeldFallback)).value_or("<missing>"), "");
}

CleanSystem::CleanSystem() { CleanInstallation(); }

bool Registered() {
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName") ||
           ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
}

namespace {

bool IsSmallDisk(const std::string& folder) {
    ULARGE_INTEGER total{};
    return GetDiskFreeSpaceExW(qv::ToWide(folder + "\\").c_str(), nullptr, &total, nullptr) && total.QuadPart == 1024 * 1024;
}

}  // namespace

SmallDisk::SmallDisk() {
    if (!MakeFolders(kFolder)) return;
    // The mount point relative to C:\, the tool's working folder.
    mounted_ = StartLinuxTool("mount", L"-t tmpfs -o size=1m qvfull QVFull") && WaitFor([] { return IsSmallDisk(kFolder); });
}

SmallDisk::~SmallDisk() {
    if (mounted_ && StartLinuxTool("umount", L"QVFull")) WaitFor([] { return !IsSmallDisk(kFolder); });
    RemoveTree(kFolder);
}

void StartInstallation(const Wizard& wizard) {
    wizard.Click("Form6", "Next");
    // Not waited for as the active window: a box of the installation may
    // already stand in front of it.
    ASSERT_TRUE(WaitFor([&] { return wizard.Visible("Form7"); }, 20s)) << "the progress page did not come";
}

void WaitInstallBox(const Wizard& wizard, Box& box, std::chrono::milliseconds limit) {
    ASSERT_TRUE(WaitBoxOf(wizard.ProcessId(), kInstallCaption, box, limit))
        << "no box of the installation; page " << (CurrentPage(wizard) ? CurrentPage(wizard) : "none") << ", "
        << wizard.Text("Form7", "Action") << " " << wizard.Text("Form7", "FileName") << " at "
        << wizard.ProgressPosition("Form7", "pb") << "; destination:\n"
        << Describe(ListFolder(kDefaultDestination));
    EXPECT_EQ(box.owner, nullptr) << "the installation's boxes have no owner";
    EXPECT_TRUE(Topmost(box)) << "the installation's boxes are system-modal";
}

void ExpectLabel(const Wizard& wizard, const char* label, const std::string& text) {
    EXPECT_TRUE(WaitFor([&] { return wizard.Text("Form7", label) == text; }, 5s))
        << label << " shows \"" << wizard.Text("Form7", label) << "\", not \"" << text << "\"";
}

void ExpectPosition(const Wizard& wizard, int position) {
    EXPECT_TRUE(WaitFor([&] { return wizard.ProgressPosition("Form7", "pb") == position; }, 5s))
        << "the bar stands at " << wizard.ProgressPosition("Form7", "pb") << ", not " << position;
}

std::vector<std::string> PayloadNamesAfter(const std::string& last) {
    std::vector<std::string> names = PayloadNames();
    const auto at = std::find(names.begin(), names.end(), last);
    names.erase(names.begin(), at == names.end() ? at : at + 1);
    return names;
}

std::vector<std::string> LogLinesStoppedAt(const std::string& lastEntry, const std::string& destination) {
    std::vector<std::string> lines = ExpectedLogLines(destination, GroupFolder(), DesktopFolder());
    for (const std::string& name : PayloadNamesAfter(lastEntry)) {
        lines.erase(std::remove(lines.begin(), lines.end(), destination + "\\" + name + "=F"), lines.end());
    }
    return lines;
}

std::vector<std::string> WithoutTheHeldEntry(std::vector<std::string> lines) {
    lines.erase(std::remove(lines.begin(), lines.end(), InDestination(kHeldEntry) + "=F"), lines.end());
    return lines;
}

void ExpectInstalledButNotRegistered(DeniedRegistryKey& denied) {
    denied.Restore();
    EXPECT_TRUE(RegistryValueNames(HKEY_LOCAL_MACHINE, kUninstallKey).empty());
    ExpectFilesInstalled(kDefaultDestination);
    ExpectUninstallLog(kDefaultDestination, ExpectedLogLines(kDefaultDestination, GroupFolder(), DesktopFolder()));
}

void ExpectPayloadFiles(const std::vector<std::string>& expectPresent, const std::string& untouched,
                        const std::string& destination) {
    for (const std::string& name : PayloadNames()) {
        if (name == untouched) continue;
        const std::string path = destination + "\\" + name;
        const bool wanted = std::find(expectPresent.begin(), expectPresent.end(), name) != expectPresent.end();
        if (!wanted) {
            EXPECT_FALSE(Exists(path)) << name << " was written";
            continue;
        }
        const auto packed = PackedPayloadFile(name);
        ASSERT_TRUE(packed) << "cannot read the packed " << name;
        const auto installed = ReadWhole(path);
        ASSERT_TRUE(installed) << name << " is missing";
        EXPECT_TRUE(*installed == *packed) << name << " differs from the packed file";
    }
}

}  // namespace e2e
