// Measures an unattended installation under Wine: the wall time of
// setup.exe /VERYSILENT /SUPPRESSMSGBOXES from its start to its end, each
// run into a folder of its own, beside the start-and-exit time of the
// smallest Windows program, the two taken in turn in one run.
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

// From the start of the program to its end, in milliseconds; negative when
// it did not end with code 0.
double Run(const std::string& path, const std::string& arguments = "") {
    using namespace std::chrono_literals;
    const auto start = std::chrono::steady_clock::now();
    e2e::Program program(path, "", arguments);
    if (!program.started() || !program.Exited(120s) || program.ExitCode() != 0) return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = bench::RunsArgument(argc, argv, 7);
    std::vector<double> minimal, silent;
    for (int i = 0; i < runs; ++i) {
        const double bare = Run(QV_EXIT_AT_ONCE_EXE);
        const std::string folder = "C:\\bench\\silent" + std::to_string(i + 1);
        const double install = Run(QV_SETUP_EXE, "/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"" + folder + "\"");
        if (bare < 0 || install < 0) {
            std::printf("run %d: a program did not end with code 0\n", i + 1);
            return 1;
        }
        minimal.push_back(bare);
        silent.push_back(install);
        std::printf("run %d: smallest program %.0f ms, silent installation %.0f ms\n", i + 1, bare, install);
    }
    const double bare = bench::Median(minimal);
    const double install = bench::Median(silent);
    std::printf("median of %d runs: smallest program %.0f ms, silent installation %.0f ms, %.0f ms more\n", runs,
                bare, install, install - bare);
    return 0;
}
