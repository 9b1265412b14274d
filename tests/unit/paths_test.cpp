#include <gtest/gtest.h>

#include "engine/paths.h"

namespace qv {
namespace {

TEST(Paths, NormaliseCompareAndTakeApart) {
    EXPECT_EQ(NormalizePath("C:\\\\QuorVel.exe"), "C:\\QuorVel.exe");
    EXPECT_EQ(NormalizePath("D:/Games//x\\"), "D:\\Games\\x");
    EXPECT_EQ(NormalizePath("C:\\"), "C:\\");
    EXPECT_EQ(NormalizePath("\\\\srv\\share\\\\a\\"), "\\\\srv\\share\\a");
    EXPECT_TRUE(SamePath("c:\\program files\\кворвель", "C:\\Program Files\\\\КВОРВЕЛЬ\\"));
    EXPECT_FALSE(SamePath("C:\\a\\b", "C:\\a\\bc"));
    EXPECT_EQ(PathKey("C:\\Program Files\\\\КВОРВЕЛЬ\\"), PathKey("c:/program files/кворвель"));

    EXPECT_TRUE(IsInside("C:\\a\\b\\c.txt", "C:\\A"));
    EXPECT_TRUE(IsInside("C:\\\\x.exe", "C:\\"));
    EXPECT_FALSE(IsInside("C:\\ab\\c.txt", "C:\\a"));
    EXPECT_FALSE(IsInside("C:\\a", "C:\\a\\"));

    EXPECT_EQ(PathDepth("C:\\"), 0u);
    EXPECT_EQ(PathDepth("C:\\a\\\\b\\"), 2u);
    EXPECT_TRUE(IsRootPath("\\\\srv\\share\\"));
    EXPECT_FALSE(IsRootPath("C:\\a"));
    EXPECT_EQ(LastName("C:\\a\\\\UnInstall.exe"), "UnInstall.exe");
    EXPECT_EQ(ParentPath("C:\\a\\\\UnInstall.exe"), "C:\\a");
    EXPECT_EQ(ParentPath("C:\\\\x.exe"), "C:\\");
}

}  // namespace
}  // namespace qv
