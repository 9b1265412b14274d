// Starts the real QuorVel.exe in a working folder holding some of its data
// files and reads what its window shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "payload/app/main_window.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/system.h"
#include "toolkit/win_handles.h"

namespace {

const char kTitle[] = "Кворвель 2.0";
constexpr int kDataFileCount = 14;

// The texts of a window's controls by identifier, as EnumChildWindows finds them.
BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    auto* texts = reinterpret_cast<std::map<int, std::string>*>(param);
    (*texts)[GetDlgCtrlID(child)] = e2e::TextOf(child);
    return TRUE;
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)); }
    void TearDown() override {
        if (app_.process) {
            if (WaitForSingleObject(app_.process.get(), 0) == WAIT_TIMEOUT) TerminateProcess(app_.process.get(), 99);
            WaitForSingleObject(app_.process.get(), 5000);
            app_ = qv::StartedProcess();
        }
    }

    void Make(const std::string& name, size_t size) {
        ASSERT_TRUE(e2e::WriteWhole(folder_ + "\\" + name, std::string(size, 'x'))) << name;
    }
    void MakeFolder(const std::string& name) { CreateDirectoryA((folder_ + "\\" + name).c_str(), nullptr); }

    // Starts the program in the folder and waits for its window.
    HWND Start() {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string cmd = "QuorVel.exe";
        PROCESS_INFORMATION started = {};
        if (!CreateProcessA(e2e::WinePath(QV_APP_EXE).c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                            folder_.c_str(), &si, &started)) {
            return nullptr;
        }
        app_ = qv::StartedProcess(started);
        WaitForInputIdle(app_.process.get(), 10000);
        HWND found = nullptr;
        e2e::WaitFor([&] {
            for (HWND hwnd : e2e::TopLevelWindowsOf(started.dwProcessId)) {
                if (IsWindowVisible(hwnd) && e2e::TextOf(hwnd) == kTitle) found = hwnd;
            }
            return found != nullptr;
        });
        return found;
    }

    // The test runs in the build's shared prefix: the scratch folder leaves nothing there.
    e2e::ScratchFolder scratch_;
    std::string folder_ = scratch_ / "Кворвель данные";
    qv::StartedProcess app_;
};

TEST_F(AppTest, ShowsItsWorkingFolderAndTheDataFilesFound) {
    Make("Descript.txt", 986631);
    Make("Group.txt", 70);
    Make("QuorVel.TTF", 0);
    MakeFolder("Dates.dat");  // a folder is not the file
    Make("Чужой.dat", 5);

    HWND window = Start();
    ASSERT_NE(window, nullptr);

    std::map<int, std::string> texts;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&texts));
    EXPECT_EQ(texts[qv::kIdFolder], folder_);
    EXPECT_EQ(texts[qv::kIdSummary], "Найдено файлов данных: 3 из 14.");

    std::map<std::string, std::string> sizes;
    for (int i = 0; i < kDataFileCount; ++i) {
        ASSERT_EQ(texts.count(qv::kIdFileName + i), 1u) << i;
        sizes[texts[qv::kIdFileName + i]] = texts[qv::kIdFileSize + i];
    }
    ASSERT_EQ(sizes.size(), 14u);
    EXPECT_EQ(sizes["Descript.txt"], "986 631");
    EXPECT_EQ(sizes["Group.txt"], "70");
    EXPECT_EQ(sizes["QuorVel.TTF"], "0");
    EXPECT_EQ(sizes["Dates.dat"], "не найден");
    EXPECT_EQ(sizes["People.dat"], "не найден");
    EXPECT_EQ(sizes.count("Чужой.dat"), 0u);

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(app_.process.get(), 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(app_.process.get(), &code);
    EXPECT_EQ(code, 0u);
}

}  // namespace
