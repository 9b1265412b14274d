// The sequence on its own thread while another thread pauses, continues and
// abandons it, as the progress page does. Runs under ThreadSanitizer too.
#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "engine/install_sequence.h"
#include "support/install_rig.h"

namespace qv::test {
namespace {

using Events = std::vector<Trace::Event>;

// A short installation that meets every kind of boundary, a copy box
// answered Retry included.
void Prepare(InstallRig& rig) {
    rig.system.AddEntry(MakeEntry("Quorvel.exe", "program"));
    rig.system.AddEntry(MakeEntry("Dates.dat", "dates"));
    rig.system.AddEntry(MakeEntry("People.dat", "people"));
    rig.system.FailExpand(rig.InDestination("Dates.dat"), 1);
    rig.system.Answer({CopyAnswer::Retry});
    rig.trace.WatchGate(&rig.gate);
}

Events Reference() {
    InstallRig rig;
    Prepare(rig);
    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);
    return rig.trace.Events();
}

std::vector<std::string> Texts(const Events& events, std::size_t count) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count && i < events.size(); ++i) texts.push_back(events[i].text);
    return texts;
}

// Number of events up to the end of the stretch between two boundaries that
// holds event i: a worker paused at i goes on up to there and no further.
std::size_t EndOfStretch(const Events& events, std::size_t i) {
    std::size_t end = i + 1;
    while (end < events.size() && events[end].boundaries == events[i].boundaries) ++end;
    return end;
}

// Whether every event from `from` on only takes back what the run wrote.
bool OnlyTakesBack(const std::vector<std::string>& texts, std::size_t from) {
    for (std::size_t i = from; i < texts.size(); ++i) {
        if (texts[i].rfind("remove ", 0) != 0 && texts[i].rfind("rmdir ", 0) != 0) return false;
    }
    return true;
}

bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs rig's sequence on a worker thread; at event `at`, the worker is
// paused as by the page's Cancel button, then `decide` acts for the user.
InstallOutcome RunPausedAt(InstallRig& rig, std::size_t at,
                           const std::function<void(std::future<InstallOutcome>&)>& decide) {
    std::promise<void> paused;
    rig.trace.OnEvent([&](std::size_t index) {
        if (index != at) return;
        rig.gate.Pause();
        paused.set_value();
    });
    std::future<InstallOutcome> worker =
        std::async(std::launch::async, [&rig] { return rig.Run(); });
    paused.get_future().wait();
    decide(worker);
    return worker.get();
}

TEST(InstallPause, AbandonedAtAnyEventTheWorkerStopsAtTheNextBoundary) {
    const Events reference = Reference();
    ASSERT_GT(reference.size(), 30u);
    for (std::size_t at = 0; at < reference.size(); ++at) {
        SCOPED_TRACE("paused at event " + std::to_string(at) + ": " + reference[at].text);
        InstallRig rig;
        Prepare(rig);
        const InstallOutcome outcome =
            RunPausedAt(rig, at, [&rig](std::future<InstallOutcome>&) { rig.gate.Abandon(); });

        const std::size_t end = EndOfStretch(reference, at);
        const std::vector<std::string> texts = rig.trace.Texts();
        EXPECT_EQ(Texts(rig.trace.Events(), end), Texts(reference, end));
        EXPECT_EQ(outcome, end == reference.size() ? InstallOutcome::Finished
                                                   : InstallOutcome::Abandoned);
        // Left before the registration, the run takes back what it wrote.
        EXPECT_TRUE(OnlyTakesBack(texts, end));
        const bool kept = outcome == InstallOutcome::Finished || !rig.system.RegistryWrites().empty();
        EXPECT_EQ(rig.FileExists(rig.choices.destination), kept);
    }
}

TEST(InstallPause, PausedAtAnyEventTheWorkerWaitsThenGoesOnWhereItStopped) {
    const Events reference = Reference();
    for (std::size_t at = 0; at < reference.size(); ++at) {
        SCOPED_TRACE("paused at event " + std::to_string(at) + ": " + reference[at].text);
        InstallRig rig;
        Prepare(rig);
        const InstallOutcome outcome =
            RunPausedAt(rig, at, [&](std::future<InstallOutcome>& worker) {
                const std::size_t end = EndOfStretch(reference, at);
                if (end < reference.size()) {
                    ASSERT_TRUE(WaitFor([&rig] { return rig.gate.Holding(); }));
                    EXPECT_EQ(rig.trace.Size(), end);
                } else {
                    // Paused after the last boundary: nothing is left to stop.
                    worker.wait();
                }
                rig.gate.Continue();
            });
        EXPECT_EQ(outcome, InstallOutcome::Finished);
        EXPECT_EQ(rig.trace.Texts(), Texts(reference, reference.size()));
    }
}

TEST(InstallPause, LeavingWhileACopyBoxIsOpenEndsAfterTheAnswer) {
    InstallRig rig;
    Prepare(rig);
    std::size_t asked = 0;
    rig.trace.OnEvent([&](std::size_t index) {
        if (rig.trace.Events()[index].text.rfind("ask ", 0) == 0) {
            asked = index;
            rig.gate.Abandon();  // the user confirmed leaving; the box still waits
        }
    });
    EXPECT_EQ(rig.Run(), InstallOutcome::Abandoned);
    // Answered Retry, yet nothing more is tried or written, and what was
    // written is taken back.
    EXPECT_TRUE(OnlyTakesBack(rig.trace.Texts(), asked + 1));
    EXPECT_FALSE(rig.FileExists(rig.choices.destination));
}

TEST(InstallPause, WorkerAbandonedBeforeItStartsDoesNothing) {
    InstallRig rig;
    rig.AddPayload();
    rig.gate.Abandon();
    EXPECT_EQ(rig.Run(), InstallOutcome::Abandoned);
    EXPECT_EQ(rig.trace.Size(), 0u);
    EXPECT_FALSE(rig.FileExists(rig.choices.destination));
}

TEST(InstallPause, ManyPausesAndContinuesChangeNothing) {
    InstallRig rig;
    rig.AddPayload();
    InstallRig plain;
    plain.AddPayload();
    plain.Run();

    std::future<InstallOutcome> worker = std::async(std::launch::async, [&rig] { return rig.Run(); });
    while (worker.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        rig.gate.Pause();
        std::this_thread::yield();
        rig.gate.Continue();
    }
    EXPECT_EQ(worker.get(), InstallOutcome::Finished);
    EXPECT_EQ(rig.trace.Texts(), plain.trace.Texts());
}

}  // namespace
}  // namespace qv::test
