// A whole installation on Windows: the sequence over the real system with
// the test payload (test_payload.rc), the worker thread around it, and the
// installation's own message boxes.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/install_contract.h"
#include "engine/install_sequence.h"
#include "engine/win_install_system.h"
#include "engine/win_thread_setup.h"
#include "support.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

using wintest::ScratchFolder;

const char kCaption[] = "Программа установки Кворвель";

// The real system, except that its boxes are recorded and answered Abort
// instead of waiting for a person.
class QuietSystem : public WinInstallSystem {
public:
    void ShowError(const std::string& text) override { Record(text); }
    CopyAnswer AskCopyFailed(const std::string& text, int) override {
        Record(text);
        return CopyAnswer::Abort;
    }
    std::vector<std::string> Boxes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

private:
    void Record(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back(text);
    }
    mutable std::mutex mutex_;
    std::vector<std::string> boxes_;
};

struct Event {
    Event() : handle(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    void Set() { SetEvent(handle.get()); }
    bool Wait(DWORD ms = 60000) { return WaitForSingleObject(handle.get(), ms) == WAIT_OBJECT_0; }
    UniqueHandle handle;
};

// Records what the worker reports and on which thread.
class Sink : public ProgressSink {
public:
    void SetAction(const std::string& text) override { Note("action " + text); }
    void SetFileName(const std::string& text) override { Note("file " + text); }
    void SetRange(int minimum, int maximum) override {
        Note("range " + std::to_string(minimum) + " " + std::to_string(maximum));
    }
    void SetPosition(int position) override {
        Note("position " + std::to_string(position));
        if (position == 1 && holdAtFirstEntry) {
            atFirstEntry.Set();
            release.Wait();
        }
    }
    void Finished(const InstallReport&) override {
        Note("finished");
        finished.Set();
    }
    void Failed(const std::string& what) override { Note("failed " + what); }
    std::vector<std::string> Calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

    std::atomic<DWORD> thread{0};
    bool holdAtFirstEntry = false;
    Event atFirstEntry, release, finished;

private:
    void Note(std::string call) {
        thread = GetCurrentThreadId();
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(std::move(call));
    }
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

class WinInstall : public ::testing::Test {
protected:
    void SetUp() override {
        choices.destination = scratch / "Program Files\\QuorVel V2.0";
        choices.groupName = "Кворвель 2.0";
        choices.programsPath = scratch / "Programs";
        choices.desktopPath = scratch / "Desktop";
        choices.desktopShortcut = true;
        choices.licenceText = "Соглашение\r\nСтрока 2\r\n";
        for (const std::string& folder : {choices.programsPath, choices.desktopPath}) {
            CreateDirectoryA(folder.c_str(), nullptr);
        }
    }

    std::string In(const std::string& name) const { return choices.destination + "\\" + name; }

    // The test payload carries no uninstaller: one from an earlier
    // installation stands in, so that the installation may be registered.
    void PlaceUninstaller() {
        CreateDirectoryA((scratch / "Program Files").c_str(), nullptr);
        CreateDirectoryA(choices.destination.c_str(), nullptr);
        ASSERT_TRUE(wintest::WriteWhole(In("UnInstall.exe"), "MZ"));
    }

    void ExpectInstalled() {
        EXPECT_EQ(wintest::ReadWhole(In("Alpha.txt")), "Hello, world!\r\n");
        EXPECT_EQ(wintest::ReadWhole(In("Group.txt")), "group data\r\n");
        EXPECT_EQ(wintest::ReadWhole(In("Beta.dat")), "abcabcabcabc");
        EXPECT_FALSE(wintest::Exists(In("tmp.zip")));
        EXPECT_EQ(wintest::ReadWhole(In("lic.txt")), choices.licenceText);
        const std::string group = choices.programsPath + "\\Кворвель 2.0";
        const std::string expectedLog =
            choices.destination + "=D\r\n" + In("Alpha.txt") + "=F\r\n" + In("Group.txt") + "=F\r\n" +
            In("Beta.dat") + "=F\r\n" + In("lic.txt") + "=F\r\n" + group + "=D\r\n" + group +
            "\\Кворвель 2.0.lnk=F\r\n" + group + "\\Справка по Кворвель 2.0.lnk=F\r\n" + group +
            "\\Удалить Кворвель 2.0.lnk=F\r\n" + choices.desktopPath + "\\Кворвель 2.0.lnk=F\r\n" +
            In("Peoples.clm") + "=F\r\n" + In("UnInstall.dat") + "=F\r\n";
        EXPECT_EQ(wintest::ReadWhole(In("UnInstall.dat")), expectedLog);
        for (const char* link : {"\\Кворвель 2.0.lnk", "\\Справка по Кворвель 2.0.lnk",
                                 "\\Удалить Кворвель 2.0.lnk"}) {
            EXPECT_TRUE(wintest::Exists(group + link)) << link;
        }
        EXPECT_TRUE(wintest::Exists(choices.desktopPath + "\\Кворвель 2.0.lnk"));
        EXPECT_EQ(RegistryText("UninstallString"), "\"" + In("UnInstall.exe") + "\"");
        EXPECT_EQ(RegistryText("DisplayName"), "Кворвель 2.0");
    }

    static std::string RegistryText(const char* name) {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel V2.0", 0,
                          KEY_READ | qv::contract::kRegistryView, &opened) != ERROR_SUCCESS) {
            return "(no key)";
        }
        const UniqueRegKey key(opened);
        std::vector<char> data(1024);
        DWORD size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(opened, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                             &size) != ERROR_SUCCESS) {
            return "(no value)";
        }
        return std::string(data.data());
    }

    ScratchFolder scratch;
    InstallChoices choices;
    UninstallLog log;
    Sink sink;
    QuietSystem system;
};

TEST_F(WinInstall, SequenceInstallsThePayloadShortcutsAndKey) {
    ASSERT_NO_FATAL_FAILURE(PlaceUninstaller());
    InstallGate gate;
    EXPECT_EQ(InstallSequence(choices, system, sink, gate, log).Run(), InstallOutcome::Finished);
    EXPECT_TRUE(system.Boxes().empty());
    ExpectInstalled();
    const std::vector<std::string> calls = sink.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "range 0 3");
    EXPECT_EQ(calls.back(), "finished");
}

TEST_F(WinInstall, WorkerRunsTheInstallationOnItsOwnThread) {
    ASSERT_NO_FATAL_FAILURE(PlaceUninstaller());
    {
        TThreadSetup worker(sink, log);  // on the real system
        worker.Start(choices);
        ASSERT_TRUE(sink.finished.Wait());
    }
    EXPECT_NE(sink.thread.load(), GetCurrentThreadId());
    ExpectInstalled();
}

TEST_F(WinInstall, WorkerThatNeverStartedDoesNothing) {
    { TThreadSetup worker(sink, log, system); }
    EXPECT_TRUE(sink.Calls().empty());
    EXPECT_FALSE(wintest::Exists(choices.destination));
    EXPECT_EQ(log.Count(), 0u);
}

// An error nobody expected stops the worker and is reported to its page,
// which then tells the user; the thread never lets it escape.
TEST_F(WinInstall, WorkerThatMeetsAnUnexpectedErrorReportsIt) {
    struct FailingSystem : QuietSystem {
        int CountEntries() override { throw std::runtime_error("нет памяти"); }
    } failing;
    {
        TThreadSetup worker(sink, log, failing);
        worker.Start(choices);
        ASSERT_TRUE(worker.WaitFor(60000));
    }
    EXPECT_EQ(sink.Calls(), std::vector<std::string>{"failed нет памяти"});
}

TEST_F(WinInstall, WorkerPausedBeforeItsFirstStepWaitsThenGoesOn) {
    ASSERT_NO_FATAL_FAILURE(PlaceUninstaller());
    TThreadSetup worker(sink, log, system);
    worker.Pause();
    worker.Start(choices);
    EXPECT_FALSE(sink.finished.Wait(300));
    EXPECT_TRUE(sink.Calls().empty());
    worker.Continue();
    ASSERT_TRUE(sink.finished.Wait());
    ExpectInstalled();
}

TEST_F(WinInstall, WorkerAbandonedDuringExtractionTakesBackWhatItWrote) {
    sink.holdAtFirstEntry = true;
    {
        TThreadSetup worker(sink, log, system);
        worker.Start(choices);
        ASSERT_TRUE(sink.atFirstEntry.Wait());
        worker.Pause();
        worker.Abandon();
        sink.release.Set();
    }  // waits for the thread
    EXPECT_FALSE(wintest::Exists(In("Alpha.txt")));
    EXPECT_FALSE(wintest::Exists(In("tmp.zip")));
    EXPECT_FALSE(wintest::Exists(In("Group.txt")));
    EXPECT_FALSE(wintest::Exists(In("lic.txt")));
    EXPECT_FALSE(wintest::Exists(In("UnInstall.dat")));
    EXPECT_FALSE(sink.finished.Wait(0));
    EXPECT_EQ(log.Count(), 2u);
}

// The installation's own boxes: caption, text, buttons, no owner, in front
// of every window. A second thread plays the user. A box is looked at only
// once it is on screen: the system makes its window first and fills in its
// text, buttons and style before showing it.
HWND WaitForBox() {
    for (int i = 0; i < 2000; ++i) {
        const HWND box = FindWindowA("#32770", kCaption);
        if (box && IsWindowVisible(box)) return box;
        Sleep(10);
    }
    return nullptr;
}

std::string BoxText(HWND box) {
    std::vector<char> text(1024);
    GetDlgItemTextA(box, 0xFFFF, text.data(), static_cast<int>(text.size()));
    return text.data();
}

// The earlier installation's uninstaller is waited for, and its exit code read.
TEST(WinInstallSystemCalls, RunAndWaitGivesTheExitCodeOrNothing) {
    WinInstallSystem system;
    EXPECT_EQ(system.RunAndWait("cmd.exe /c exit 3"), std::optional<unsigned long>(3));
    EXPECT_EQ(system.RunAndWait("\"C:\\no such folder\\UnInstall.exe\" /SILENT"), std::nullopt);
}

TEST(WinInstallBoxes, CopyBoxOffersAbortRetryIgnoreAndReturnsTheAnswer) {
    WinInstallSystem system;
    std::atomic<int> answer{-1};
    std::thread worker([&] { answer = static_cast<int>(system.AskCopyFailed("Ошибка копирования файла: Beta.dat", 1)); });
    const HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_TRUE(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(BoxText(box), "Ошибка копирования файла: Beta.dat");
    EXPECT_NE(GetDlgItem(box, IDABORT), nullptr);
    EXPECT_NE(GetDlgItem(box, IDIGNORE), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDOK), nullptr);
    PostMessageA(box, WM_COMMAND, IDRETRY, 0);
    worker.join();
    EXPECT_EQ(answer.load(), static_cast<int>(CopyAnswer::Retry));
}

TEST(WinInstallBoxes, ErrorBoxHasOnlyOk) {
    WinInstallSystem system;
    std::thread worker([&] { system.ShowError("Ошибка создания временного файла."); });
    const HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_TRUE(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(BoxText(box), "Ошибка создания временного файла.");
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDRETRY), nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    worker.join();
}

}  // namespace
}  // namespace qv
