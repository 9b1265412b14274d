// A whole installation on Windows: the sequence over the real system with
// the test payload (test_payload.rc), the worker thread around it, and the
// installation's own message boxes.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/install_contract.h"
#include "engine/install_sequence.h"
#include "engine/win_install_system.h"
#include "engine/win_thread_setup.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/system_checks.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

using e2e::ScratchFolder;

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
    Event() : handle(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
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
            CreateDirectoryW(ToWide(folder).c_str(), nullptr);
        }
    }

    std::string In(const std::string& name) const { return choices.destination + "\\" + name; }

    // The test payload carries no uninstaller: one from an earlier
    // installation stands in, so that the installation may be registered.
    void PlaceUninstaller() {
        CreateDirectoryW(ToWide(scratch / "Program Files").c_str(), nullptr);
        CreateDirectoryW(ToWide(choices.destination).c_str(), nullptr);
        ASSERT_TRUE(e2e::WriteWhole(In("UnInstall.exe"), "MZ"));
    }

    void ExpectInstalled() {
        EXPECT_EQ(e2e::ReadWhole(In("Alpha.txt")).value_or(""), "Hello, world!\r\n");
        EXPECT_EQ(e2e::ReadWhole(In("Group.txt")).value_or(""), "group data\r\n");
        EXPECT_EQ(e2e::ReadWhole(In("Beta.dat")).value_or(""), "abcabcabcabc");
        EXPECT_FALSE(e2e::Exists(In("tmp.zip")));
        EXPECT_EQ(e2e::ReadTextFile(In("lic.txt")), choices.licenceText);
        const std::string group = choices.programsPath + "\\Кворвель 2.0";
        const std::string expectedLog =
            choices.destination + "=D\r\n" + In("Alpha.txt") + "=F\r\n" + In("Group.txt") + "=F\r\n" +
            In("Beta.dat") + "=F\r\n" + In("lic.txt") + "=F\r\n" + group + "=D\r\n" + group +
            "\\Кворвель 2.0.lnk=F\r\n" + group + "\\Справка по Кворвель 2.0.lnk=F\r\n" + group +
            "\\Удалить Кворвель 2.0.lnk=F\r\n" + choices.desktopPath + "\\Кворвель 2.0.lnk=F\r\n" +
            In("Peoples.clm") + "=F\r\n" + In("UnInstall.dat") + "=F\r\n";
        EXPECT_EQ(e2e::ReadTextFile(In("UnInstall.dat")), expectedLog);
        // 8-bit where the code page holds the text (Russian), else UTF-16.
        EXPECT_EQ(e2e::ReadWhole(In("UnInstall.dat")).value_or("").rfind("\xFF\xFE", 0) == 0, GetACP() != 1251);
        for (const char* link : {e2e::kProgramShortcut, e2e::kHelpShortcut, e2e::kUninstallShortcut}) {
            EXPECT_TRUE(e2e::Exists(group + link)) << link;
        }
        EXPECT_TRUE(e2e::Exists(choices.desktopPath + e2e::kProgramShortcut));
        EXPECT_EQ(RegistryText("UninstallString"), "\"" + In("UnInstall.exe") + "\"");
        EXPECT_EQ(RegistryText("DisplayName"), "Кворвель 2.0");
    }

    // A string value of the uninstall key, up to its terminator.
    static std::string RegistryText(const char* name) {
        const auto value = e2e::ReadRegistryValue(HKEY_LOCAL_MACHINE, e2e::kUninstallKey, name);
        return value ? std::string(value->data.c_str()) : "(no value)";
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
    EXPECT_FALSE(e2e::Exists(choices.destination));
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
    EXPECT_FALSE(e2e::Exists(In("Alpha.txt")));
    EXPECT_FALSE(e2e::Exists(In("tmp.zip")));
    EXPECT_FALSE(e2e::Exists(In("Group.txt")));
    EXPECT_FALSE(e2e::Exists(In("lic.txt")));
    EXPECT_FALSE(e2e::Exists(In("UnInstall.dat")));
    EXPECT_FALSE(sink.finished.Wait(0));
    EXPECT_EQ(log.Count(), 2u);
}

// The earlier installation's uninstaller is waited for, and its exit code read.
TEST(WinInstallSystemCalls, RunAndWaitGivesTheExitCodeOrNothing) {
    WinInstallSystem system;
    EXPECT_EQ(system.RunAndWait("cmd.exe /c exit 3"), std::optional<unsigned long>(3));
    EXPECT_EQ(system.RunAndWait("\"C:\\no such folder\\UnInstall.exe\" /SILENT"), std::nullopt);
}

// The installation's own boxes: caption, text, buttons, no owner, in front
// of every window. A second thread plays the user.
struct BoxCase {
    std::function<int(WinInstallSystem&)> show;  // returns the answer as a number
    std::string text;
    std::vector<int> buttons, absent;
    int press, answer;
};

TEST(WinInstallBoxes, EachBoxOffersItsButtonsAndReturnsTheAnswer) {
    const BoxCase cases[] = {
        {[](WinInstallSystem& system) {
             return static_cast<int>(system.AskCopyFailed("Ошибка копирования файла: Beta.dat", 1));
         },
         "Ошибка копирования файла: Beta.dat", {IDABORT, IDIGNORE}, {IDOK}, IDRETRY,
         static_cast<int>(CopyAnswer::Retry)},
        {[](WinInstallSystem& system) {
             system.ShowError("Ошибка создания временного файла.");
             return 0;
         },
         "Ошибка создания временного файла.", {IDOK}, {IDRETRY}, IDOK, 0},
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.text);
        WinInstallSystem system;
        std::atomic<int> answer{-1};
        std::thread worker([&] { answer = c.show(system); });
        e2e::Box box;
        ASSERT_TRUE(e2e::WaitBoxOf(GetCurrentProcessId(), kCaption, box));
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_TRUE(e2e::Topmost(box));
        EXPECT_EQ(box.text, c.text);
        for (const int id : c.buttons) EXPECT_TRUE(e2e::HasButton(box, id)) << id;
        for (const int id : c.absent) EXPECT_FALSE(e2e::HasButton(box, id)) << id;
        EXPECT_TRUE(e2e::AnswerBox(box, c.press));
        worker.join();
        EXPECT_EQ(answer.load(), c.answer);
    }
}

}  // namespace
}  // namespace qv
