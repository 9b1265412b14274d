// The wizard's handles, GDI objects and USER objects while the user goes
// back and forth through the pages many times: what a page change takes it
// must give back, so the counts may not grow from one round to the next.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/faults/fault_rig.h"

namespace e2e {
namespace {

constexpr int kRounds = 6;
constexpr int kWarmUpRounds = 3;
const char* const kWayBack[] = {"Form6", "Form5", "Form4", "Form3", "Form2"};

class WizardResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(com_.ok()); }

    // The counts once the wizard has settled on the page shown.
    ProcessResources Settled() {
        const auto text = [&] {
            const ProcessResources r = CountResources(wizard.Process(), wizard.ProcessId());
            return std::to_string(r.handles) + " " + std::to_string(r.gdiObjects) + " " +
                   std::to_string(r.userObjects);
        };
        EXPECT_TRUE(WaitUnchanged(text, 1500ms, 30s)) << "the counts did not settle";
        return CountResources(wizard.Process(), wizard.ProcessId());
    }

    // From the tasks page back to the welcome page and on again, asking to
    // leave on the destination page and staying.
    void Round() {
        for (size_t i = 0; i + 1 < std::size(kWayBack); ++i) {
            wizard.Click(kWayBack[i], "Back");
            ASSERT_TRUE(wizard.WaitShown(kWayBack[i + 1], 20s)) << kWayBack[i + 1];
        }
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form4"));
        wizard.Click("Form4", "Cancel");
        Box confirmation;
        ASSERT_TRUE(WaitBoxOf(wizard.ProcessId(), kExitCaption, confirmation));
        ASSERT_TRUE(AnswerBox(confirmation, IDNO));
        ASSERT_TRUE(wizard.WaitShown("Form4", 20s));
        ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
    }

    static void Print(const char* when, const ProcessResources& r) {
        std::printf("%-22s handles %4ld  GDI %4ld  USER %4ld\n", when, r.handles, r.gdiObjects, r.userObjects);
    }

    CleanSystem clean_;
    Wizard wizard{QV_SETUP_EXE};

private:
    ComApartment com_;
};

TEST_F(WizardResources, RoundsThroughThePagesGiveBackWhatTheyTake) {
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
    const ProcessResources start = Settled();
    ASSERT_GT(start.handles, 0);
    ASSERT_GT(start.gdiObjects, 0);
    ASSERT_GT(start.userObjects, 0);
    std::printf("counted by %s\n", start.source.c_str());
    Print("on the tasks page", start);

    // The first rounds fill the system's caches and the pages' own (a
    // picture scaled, a font made) for good. On a busy machine a page may
    // first be painted in a later round, so a cache can still take
    // something once after the warm-up. A leak takes something on every
    // round: no count may grow in every round after the warm-up.
    ProcessResources previous{};
    int grew[3] = {0, 0, 0};  // rounds in which handles, GDI, USER grew
    for (int round = 1; round <= kRounds; ++round) {
        ASSERT_NO_FATAL_FAILURE(Round());
        const ProcessResources now = Settled();
        std::string when = "after round ";
        when += std::to_string(round);
        Print(when.c_str(), now);
        if (round > kWarmUpRounds) {
            grew[0] += now.handles > previous.handles;
            grew[1] += now.gdiObjects > previous.gdiObjects;
            grew[2] += now.userObjects > previous.userObjects;
        }
        previous = now;
    }
    constexpr int kCounted = kRounds - kWarmUpRounds;
    EXPECT_LT(grew[0], kCounted) << "handles grew in every round";
    EXPECT_LT(grew[1], kCounted) << "GDI objects grew in every round";
    EXPECT_LT(grew[2], kCounted) << "USER objects grew in every round";

    ASSERT_NO_FATAL_FAILURE(InstallFromTasks(wizard));
    Print("on the finish page", Settled());
    ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard));
}

}  // namespace
}  // namespace e2e
