// Compatibility with Debian's msexpand / mscompress, when they are installed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/szdd.h"
#include "support/install_fakes.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

bool HasProgram(const char* name) {
    const std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::string TestData(std::size_t n, std::uint32_t seed) {
    std::string s;
    const std::string words[] = {"alpha ", "beta ", "\r\n", "    ", std::string(20, '\0'), "gamma"};
    while (s.size() < n) {
        seed = seed * 1664525u + 1013904223u;
        if (seed >> 30 == 0) {
            s.push_back(static_cast<char>(seed >> 12));
        } else {
            s += words[(seed >> 16) % 6];
        }
    }
    s.resize(n);
    return s;
}

class SzddCompat : public ::testing::Test {
protected:
    // Runs a shell command in the test folder; true on success.
    bool Run(const std::string& command) {
        const std::string line = "cd '" + dir_.string() + "' && " + "(" + command + ") 2>/dev/null";
        return std::system(line.c_str()) == 0;
    }

    test::TempFolder temp_;
    fs::path dir_ = temp_.Path();
};

TEST_F(SzddCompat, MsexpandExpandsOurStreams) {
    if (!HasProgram("msexpand")) GTEST_SKIP() << "msexpand is not installed";
    std::vector<std::size_t> sizes;
    for (std::size_t n = 0; n <= 64; ++n) sizes.push_back(n);
    for (std::size_t n : {100u, 4095u, 4096u, 4097u, 20000u, 250000u}) sizes.push_back(n);
    for (std::size_t n : sizes) {
        const std::string data = TestData(n, static_cast<std::uint32_t>(n));
        test::WriteHostFile(dir_ / "in.sz", CompressSzdd(data));
        ASSERT_TRUE(Run("msexpand < in.sz > out.bin")) << n;
        ASSERT_EQ(test::ReadHostFile(dir_ / "out.bin"), data) << "size " << n;
    }
}

TEST_F(SzddCompat, WeExpandMscompressStreams) {
    if (!HasProgram("mscompress")) GTEST_SKIP() << "mscompress is not installed";
    // mscompress mishandles files below 16 bytes.
    for (std::size_t n : {16u, 17u, 100u, 5000u, 70000u}) {
        const std::string data = TestData(n, static_cast<std::uint32_t>(n) + 1);
        fs::remove(dir_ / "data.bin_");
        test::WriteHostFile(dir_ / "data.bin", data);
        ASSERT_TRUE(Run("mscompress data.bin")) << n;
        std::string out;
        ASSERT_EQ(ExpandSzdd(test::ReadHostFile(dir_ / "data.bin_"), out), SzddStatus::kOk) << n;
        EXPECT_EQ(out, data) << n;
    }
}

}  // namespace
}  // namespace qv
