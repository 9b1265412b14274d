// Measures the time from starting a program to its background window on
// screen: shown, and drawn (nothing left to paint in it or in any of its
// controls). setup.exe and a minimal Win32 program that shows a maximized
// window are started turn about, so that both meet the same load; each run
// is printed, then both medians and their ratio.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "tests/e2e/bench/bench_runs.h"
#include "tests/e2e/driver/driver.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

BOOL CALLBACK FindUnpainted(HWND child, LPARAM lp) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(lp) = true;
        return FALSE;
    }
    return TRUE;
}

bool OnScreen(HWND form) {
    if (!form || !IsWindowVisible(form) || GetUpdateRect(form, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(form, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

// Starts the program and returns the milliseconds until its "Form1" is on
// screen, or a negative value when it is not within half a minute. The
// program is left running for the caller to end.
double TimeToScreen(const e2e::Wizard& program, Clock::time_point start) {
    const auto limit = start + 30s;
    while (Clock::now() < limit) {
        if (OnScreen(program.Form("Form1"))) {
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        std::this_thread::sleep_for(2ms);
    }
    return -1;
}

double Setup() {
    const auto start = Clock::now();
    e2e::Wizard wizard{QV_SETUP_EXE};
    const double ms = TimeToScreen(wizard, start);
    // Leave through the welcome page's Cancel, as a user would.
    if (ms >= 0 && wizard.WaitShown("Form2", 15s)) {
        wizard.Click("Form2", "Cancel");
        e2e::Box box;
        if (wizard.WaitMessageBox(box)) wizard.Answer(box, IDYES);
    }
    wizard.Exited(10s);
    return ms;
}

double Minimal() {
    const auto start = Clock::now();
    e2e::Wizard minimal{QV_MINIMAL_EXE};
    const double ms = TimeToScreen(minimal, start);
    PostMessageA(minimal.Form("Form1"), WM_CLOSE, 0, 0);
    minimal.Exited(10s);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = bench::RunsArgument(argc, argv, 9);
    std::vector<double> setup, minimal;
    for (int i = 0; i < runs; ++i) {
        const double ours = Setup();
        const double yardstick = Minimal();
        if (ours < 0 || yardstick < 0) {
            std::printf("run %d: %s did not put its window on screen\n", i + 1,
                        ours < 0 ? "setup.exe" : "the minimal program");
            return 1;
        }
        setup.push_back(ours);
        minimal.push_back(yardstick);
        std::printf("run %d: setup.exe %.0f ms, minimal window %.0f ms\n", i + 1, ours, yardstick);
    }
    const double ours = bench::Median(setup);
    const double yardstick = bench::Median(minimal);
    std::printf("start to background window on screen, median of %d: setup.exe %.0f ms, "
                "minimal window %.0f ms, ratio %.2f\n",
                runs, ours, yardstick, ours / yardstick);
    return 0;
}
