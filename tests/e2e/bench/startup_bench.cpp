// Measures the time from starting setup.exe to its background window on
// screen, over several runs, and prints each run and the median.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/e2e/driver/driver.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        e2e::Wizard wizard{QV_SETUP_EXE};
        const bool shown = e2e::WaitFor([&] { return wizard.Visible("Form1"); }, std::chrono::seconds(30));
        const auto end = std::chrono::steady_clock::now();
        if (!shown) {
            std::printf("run %d: the background window did not appear\n", i + 1);
            return 1;
        }
        const double ms = std::chrono::duration<double, std::milli>(end - start).count();
        times.push_back(ms);
        std::printf("run %d: %.0f ms\n", i + 1, ms);
        // Leave through the welcome page's Cancel, as a user would.
        if (wizard.WaitShown("Form2", std::chrono::seconds(15))) {
            wizard.Click("Form2", "Cancel");
            e2e::Box box;
            if (wizard.WaitMessageBox(box)) wizard.Answer(box, IDYES);
        }
        wizard.Exited(std::chrono::seconds(10));
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("start to background window on screen: median %.0f ms over %d runs (min %.0f, max %.0f)\n",
                sorted[sorted.size() / 2], runs, sorted.front(), sorted.back());
    return 0;
}
