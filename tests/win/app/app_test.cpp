// Starts the real QuorVel.exe in a working folder holding some of its data
// files and reads what its window shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "payload/app/main_window.h"
#include "toolkit/win_handles.h"

namespace {

const char kTitle[] = "Кворвель 2.0";
constexpr int kDataFileCount = 14;

// The build knows where QuorVel.exe is as a Unix path; Wine shows / as Z:.
std::string AppBuilt() {
    std::string path = std::string("Z:") + QV_APP_EXE;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

void WriteSized(const std::string& path, size_t size) {
    const qv::UniqueHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(f) << path;
    const std::string bytes(size, 'x');
    DWORD written = 0;
    WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string TextOf(HWND hwnd) {
    std::string text(GetWindowTextLengthA(hwnd) + 1, '\0');
    text.resize(GetWindowTextA(hwnd, &text[0], static_cast<int>(text.size())));
    return text;
}

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd) && TextOf(hwnd) == kTitle) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The texts of a window's controls by identifier, as EnumChildWindows finds them.
BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    auto* texts = reinterpret_cast<std::map<int, std::string>*>(param);
    (*texts)[GetDlgCtrlID(child)] = TextOf(child);
    return TRUE;
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string temp(MAX_PATH + 1, '\0');
        temp.resize(GetTempPathA(static_cast<DWORD>(temp.size()), &temp[0]));
        folder_ = temp + "Кворвель данные " + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        if (app_.process) {
            if (WaitForSingleObject(app_.process.get(), 0) == WAIT_TIMEOUT) TerminateProcess(app_.process.get(), 99);
            WaitForSingleObject(app_.process.get(), 5000);
            app_ = qv::StartedProcess();
        }
        // The test runs in the build's shared prefix: leave nothing there.
        for (const std::string& name : made_) {
            const std::string path = folder_ + "\\" + name;
            if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }

    void Make(const std::string& name, size_t size) {
        made_.push_back(name);
        WriteSized(folder_ + "\\" + name, size);
    }
    void MakeFolder(const std::string& name) {
        made_.push_back(name);
        CreateDirectoryA((folder_ + "\\" + name).c_str(), nullptr);
    }

    // Starts the program in the folder and waits for its window.
    HWND Start() {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string cmd = "QuorVel.exe";
        PROCESS_INFORMATION started = {};
        if (!CreateProcessA(AppBuilt().c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                            folder_.c_str(), &si, &started)) {
            return nullptr;
        }
        app_ = qv::StartedProcess(started);
        WaitForInputIdle(app_.process.get(), 10000);
        for (int i = 0; i < 200; ++i) {
            WindowSearch search{started.dwProcessId, nullptr};
            EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
            Sleep(50);
        }
        return nullptr;
    }

    std::string folder_;
    std::vector<std::string> made_;
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
