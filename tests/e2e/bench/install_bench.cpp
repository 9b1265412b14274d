// Measures an installation under Wine: from the progress page on screen to
// the finish page on screen, over several runs, less the mandatory pause
// after each entry. Each run installs into a folder of its own.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/bench/bench_runs.h"
#include "tests/e2e/driver/driver.h"

namespace {

constexpr double kPauseMs = 100.0;
constexpr int kEntries = 16;

// Walks to the progress page with the destination given; returns the time
// from the progress page to the finish page, or a negative value.
double OneInstallation(const std::string& destination) {
    using namespace std::chrono_literals;
    e2e::Wizard wizard{QV_SETUP_EXE};
    if (!wizard.WaitShown("Form2", 30s)) return -1;
    wizard.Click("Form2", "Next");
    if (!wizard.WaitShown("Form3")) return -1;
    wizard.Click("Form3", "RadioButton1");
    if (!e2e::WaitFor([&] { return wizard.Enabled("Form3", "Next"); })) return -1;
    wizard.Click("Form3", "Next");
    if (!wizard.WaitShown("Form4")) return -1;
    wizard.SetText("Form4", "edDir", destination);
    for (const char* page : {"Form4", "Form5", "Form6"}) {
        if (!wizard.WaitShown(page)) return -1;
        wizard.Click(page, "Next");
    }
    if (!e2e::WaitFor([&] { return wizard.Visible("Form7"); }, 30s)) return -1;
    const auto start = std::chrono::steady_clock::now();
    if (!e2e::WaitFor([&] { return wizard.Visible("Form8"); }, 120s)) return -1;
    const auto end = std::chrono::steady_clock::now();
    wizard.Click("Form8", "CheckBox");
    e2e::WaitFor([&] { return !wizard.Checked("Form8", "CheckBox"); });
    wizard.Click("Form8", "Ready");
    wizard.Exited(20s);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = bench::RunsArgument(argc, argv, 5);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = OneInstallation("C:\\bench\\run" + std::to_string(i + 1));
        if (ms < 0) {
            std::printf("run %d: the installation did not complete\n", i + 1);
            return 1;
        }
        times.push_back(ms);
        std::printf("run %d: %.0f ms, %.0f ms without the pauses\n", i + 1, ms, ms - kEntries * kPauseMs);
    }
    const double median = bench::Median(times);
    std::printf("installation under Wine: median %.0f ms, %.0f ms without the %d pauses of %.0f ms (%d runs)\n",
                median, median - kEntries * kPauseMs, kEntries, kPauseMs, runs);
    return 0;
}
