#include "engine/install_gate.h"

#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

namespace qv {
namespace {

// Waits (bounded, against a hang) until the worker is held at the gate.
bool WaitUntilHolding(const InstallGate& gate) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!gate.Holding()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(InstallGate, OpenGateLetsThroughAndCountsBoundaries) {
    InstallGate gate;
    EXPECT_TRUE(gate.Pass());
    EXPECT_TRUE(gate.Pass());
    EXPECT_EQ(gate.Passed(), 2u);
    EXPECT_FALSE(gate.Holding());
}

TEST(InstallGate, AbandonIsFinal) {
    InstallGate gate;
    gate.Abandon();
    gate.Continue();
    gate.Pause();
    gate.Continue();
    EXPECT_TRUE(gate.Abandoned());
    EXPECT_FALSE(gate.Pass());
    EXPECT_EQ(gate.Passed(), 0u);
}

TEST(InstallGate, PausedWorkerWaitsUntilContinued) {
    InstallGate gate;
    gate.Pause();
    auto worker = std::async(std::launch::async, [&gate] { return gate.Pass(); });
    ASSERT_TRUE(WaitUntilHolding(gate));
    EXPECT_EQ(worker.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    gate.Continue();
    EXPECT_TRUE(worker.get());
    EXPECT_FALSE(gate.Holding());
    EXPECT_EQ(gate.Passed(), 1u);
}

TEST(InstallGate, AbandonReleasesAPausedWorkerWithFalse) {
    InstallGate gate;
    gate.Pause();
    auto worker = std::async(std::launch::async, [&gate] { return gate.Pass(); });
    ASSERT_TRUE(WaitUntilHolding(gate));
    gate.Abandon();
    EXPECT_FALSE(worker.get());
    EXPECT_EQ(gate.Passed(), 0u);
}

}  // namespace
}  // namespace qv
