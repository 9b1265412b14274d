#include "engine/command_line.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsAtBlanksAndKeepsQuotedRunsWhole) {
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\setup.exe\"  /SILENT\t-log"),
              (Args{"C:\\Program Files\\setup.exe", "/SILENT", "-log"}));
    // A quote in the middle of an argument, a path ending with a backslash,
    // and an empty quoted value.
    EXPECT_EQ(SplitCommandLine("setup.exe /DIR=\"C:\\Мои программы\\\" /TASKS=\"\""),
              (Args{"setup.exe", "/DIR=C:\\Мои программы\\", "/TASKS="}));
    EXPECT_EQ(SplitCommandLine("  "), Args{});
    EXPECT_EQ(SplitCommandLine("a \"\" b"), (Args{"a", "", "b"}));
    EXPECT_EQ(SplitCommandLine("a \"b c"), (Args{"a", "b c"}));  // an unclosed quote runs to the end
}

TEST(CommandLine, SwitchesIgnoreCaseAndSplitAtTheFirstEquals) {
    const auto dir = ParseSwitch("-dir=C:\\a=b");
    ASSERT_TRUE(dir);
    EXPECT_EQ(dir->name, "DIR");
    EXPECT_EQ(dir->value, "C:\\a=b");
    const auto silent = ParseSwitch("/VerySilent");
    ASSERT_TRUE(silent);
    EXPECT_EQ(silent->name, "VERYSILENT");
    EXPECT_FALSE(silent->value);
    EXPECT_EQ(ParseSwitch("/SP-")->name, "SP-");
    EXPECT_EQ(ParseSwitch("/LOG=")->value, "");
    EXPECT_FALSE(ParseSwitch("C:\\setup.exe"));
    EXPECT_FALSE(ParseSwitch("/"));
    EXPECT_FALSE(ParseSwitch("/=x"));
}

}  // namespace
}  // namespace qv
