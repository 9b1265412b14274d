#include "engine/uninstall_log.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(UninstallLogWriting, AppendsNewNamesInOrderAndSavesEveryLineWithCrLf) {
    UninstallLog log;
    log.Set("C:\\Q", "D");
    log.Set("C:\\Q\\a.dat", "F");
    ASSERT_EQ(log.Count(), 2u);
    EXPECT_EQ(log.Line(0), "C:\\Q=D");
    EXPECT_EQ(log.Text(), "C:\\Q=D\r\nC:\\Q\\a.dat=F\r\n");
}

TEST(UninstallLogWriting, EmptyLogSavesNothing) {
    EXPECT_EQ(UninstallLog().Text(), "");
}

TEST(UninstallLogWriting, KnownNameKeepsItsPlaceAndTakesTheLastValue) {
    UninstallLog log;
    log.Set("C:\\Q", "D");
    log.Set("C:\\Q\\a.dat", "F");
    log.Set("C:\\Q\\b.dat", "F");
    log.Set("C:\\Q\\a.dat", "D");
    ASSERT_EQ(log.Count(), 3u);
    EXPECT_EQ(log.Line(1), "C:\\Q\\a.dat=D");
    EXPECT_EQ(log.Line(2), "C:\\Q\\b.dat=F");
}

TEST(UninstallLogWriting, NamesCompareWithoutCaseInLatinAndCyrillic) {
    UninstallLog log;
    log.Set("C:\\Меню\\Кворвель 2.0", "D");
    log.Set("c:\\МЕНЮ\\кВОРВЕЛЬ 2.0", "F");
    log.Set("C:\\Ёлка", "D");
    log.Set("C:\\ёЛКА", "D");
    ASSERT_EQ(log.Count(), 2u);
    // The line takes the name as it was set last.
    EXPECT_EQ(log.Line(0), "c:\\МЕНЮ\\кВОРВЕЛЬ 2.0=F");
    EXPECT_EQ(log.Line(1), "C:\\ёЛКА=D");
}

TEST(UninstallLogWriting, LettersThatOnlyLookAlikeAreDifferentNames) {
    UninstallLog log;
    log.Set("C:\\A", "D");   // Latin A
    log.Set("C:\\А", "D");   // Cyrillic А
    EXPECT_EQ(log.Count(), 2u);
}

TEST(UninstallLogWriting, PathHoldingAnEqualsSignIsFoundAgainAsAWhole) {
    UninstallLog log;
    log.Set("C:\\a=b", "D");
    log.Set("C:\\a", "D");
    log.Set("C:\\a=b", "F");
    ASSERT_EQ(log.Count(), 2u);
    EXPECT_EQ(log.Text(), "C:\\a=b=F\r\nC:\\a=D\r\n");
}

}  // namespace
}  // namespace qv
