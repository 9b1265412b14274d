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

// 8-bit where the system's code page holds every character, else UTF-16LE
// after its byte-order mark.
TEST(UninstallLogWriting, KeepsTheEightBitFormOnlyWhereItHoldsTheText) {
    const AnsiText ascii = [](std::string_view text) -> std::optional<std::string> {
        for (char c : text) {
            if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
        }
        return std::string(text);
    };
    EXPECT_EQ(TextFileBytes("C:\\Q=D\r\n", ascii), "C:\\Q=D\r\n");
    EXPECT_EQ(TextFileBytes("C:\\\xE6\x97\xA5=D\r\n", ascii),
              std::string("\xFF\xFE" "C\0:\0\\\0\xE5\x65=\0D\0\r\0\n\0", 18));
    EXPECT_EQ(TextFileBytes("C:\\\xF0\x9F\x98\x80", ascii),
              std::string("\xFF\xFE" "C\0:\0\\\0\x3D\xD8\x00\xDE", 12));
    EXPECT_FALSE(TextFileBytes("C:\\\xD0", ascii));  // not UTF-8
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
