// Copies of the marker DLL planted where anyone may write, beside setup.exe
// and in the temporary folder, under names Windows looks for in a program's
// folder first; Wine is told to prefer them to its own. None may run.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/system_checks.h"
#include "toolkit/growing_text.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

namespace e2e {
namespace {

// LZ32 was imported by setup.exe; the system's own DLLs load the others:
// here the common controls the theme library, which loads msimg32, and the
// CryptoAPI its provider rsaenh, which imports crypt32 and bcrypt; on
// Windows also dwmapi, cryptbase and version. Wine's user32 imports version
// (the last), so Wine loads it before a program's first instruction: it is
// planted only where our programs no longer run, the temporary folder.
constexpr const char* kPlanted[] = {"LZ32",   "uxtheme", "msimg32", "dwmapi", "cryptbase",
                                    "rsaenh", "crypt32", "bcrypt",  "version"};

void Plant(const std::string& folder, bool withVersion) {
    for (const char* name : kPlanted) {
        if (withVersion || name != kPlanted[std::size(kPlanted) - 1]) {
            ASSERT_TRUE(CopyFileW(qv::ToWide(QV_MARKER_DLL).c_str(), qv::ToWide(folder + "\\" + name + ".dll").c_str(),
                                  FALSE))
                << name;
        }
    }
}

std::string TempFolder() {
    return qv::FromWideOrFail(qv::GrowingWideText([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); }));
}

// "<dll>.ran: <the program that loaded it>" for each marker left.
std::string MarkersIn(const std::string& folder) {
    std::string markers;
    for (const FolderEntry& entry : ListFolder(folder)) {
        if (entry.name.ends_with(".ran")) {
            markers += entry.name + ": " + ReadWhole(folder + "\\" + entry.name).value_or("") + "\n";
        }
    }
    return markers;
}

class PlantedDlls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(com_.ok());
        // Read by each Wine process as it starts; WINEDLLOVERRIDES set here
        // would not reach the programs we start.
        qv::UniqueRegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        static constexpr wchar_t kOrder[] = L"native,builtin";
        for (const char* name : kPlanted) {
            ASSERT_EQ(RegSetValueExW(key.get(), qv::ToWide(name).c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(kOrder), sizeof kOrder),
                      ERROR_SUCCESS)
                << name;
        }
        RemoveTree(kDefaultDestination);
    }
    void TearDown() override { CloseApplications(); }

private:
    ComApartment com_;
};

TEST_F(PlantedDlls, NoneBesideSetupRunsDuringADefaultInstallation) {
    // Wine links the profile's Downloads to the Unix home: a folder of the
    // prefix stands in for it.
    const std::string downloads = ShellFolder(CSIDL_PROFILE) + "\\Saved downloads";
    const std::string setup = downloads + "\\setup.exe";
    ASSERT_TRUE(MakeFolders(downloads) &&
                CopyFileW(qv::ToWide(QV_SETUP_EXE).c_str(), qv::ToWide(setup).c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(Plant(downloads, false));
    ASSERT_TRUE(SetCurrentDirectoryW(qv::ToWide(downloads).c_str()));  // as started from that folder
    [&] {
        Wizard wizard{setup};
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
        ASSERT_NO_FATAL_FAILURE(InstallFromTasks(wizard));
        wizard.Click("Form8", "Ready");
        ASSERT_TRUE(wizard.Exited(20s));
        HWND application = WaitForApplicationWindow(30s);
        ASSERT_NE(application, nullptr) << "the application did not start";
        EXPECT_TRUE(CloseAndWaitForExit(application, 20000));
    }();
    EXPECT_EQ(MarkersIn(downloads), "");
    ExpectFilesInstalled(kDefaultDestination);
}

TEST_F(PlantedDlls, NoneInTheTemporaryFolderRunsDuringARemoval) {
    {
        Wizard wizard{QV_SETUP_EXE};
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
        ASSERT_NO_FATAL_FAILURE(InstallFromTasks(wizard));
        ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard));
    }
    const std::string temp = TempFolder();
    ASSERT_NO_FATAL_FAILURE(Plant(temp, true));
    [&] {
        Program uninstaller(InDestination("UnInstall.exe"), kDefaultDestination);
        Box box;
        ASSERT_TRUE(WaitBoxOf(uninstaller.ProcessId(), "", box, 30s) && AnswerBox(box, IDYES));
        ASSERT_TRUE(WaitBoxOf(uninstaller.ProcessId(), "", box, 30s) && AnswerBox(box, IDNO));  // keep the data
        ASSERT_TRUE(WaitBoxOf(uninstaller.ProcessId(), "", box, 60s));
        const std::vector<DWORD> copies = ChildProcesses(uninstaller.ProcessId());
        ASSERT_TRUE(AnswerBox(box, IDOK) && uninstaller.Exited(30s) && WaitProcessesEnded(copies, 60s));
    }();
    EXPECT_EQ(MarkersIn(temp), "");
    EXPECT_FALSE(Exists(InDestination("UnInstall.exe")));
    // The copy ran from a folder of its own, "qvu-" and 128 bits in hex; it
    // cannot delete its running file, so the folder goes at the next restart.
    const auto pending = ReadRegistryValue(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                                           "PendingFileRenameOperations");
    for (const FolderEntry& entry : ListFolder(temp)) {
        if (!entry.name.starts_with("qvu")) continue;
        EXPECT_TRUE(entry.folder && entry.name.starts_with("qvu-") && entry.name.size() == 36) << entry.name;
        EXPECT_NE(pending.value_or(RegistryValue{}).data.find(temp + entry.name + '\0'), std::string::npos);
    }
}

}  // namespace
}  // namespace e2e
