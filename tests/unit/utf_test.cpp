// The seam between the programs' UTF-8 and the system's UTF-16. Bytes are
// spelled out, so that no compiler setting can change what is compared.
#include "toolkit/utf.h"

#include "engine/text.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } texts[] = {
        {"C:\\QV", u"C:\\QV"},
        {"\xD0\x9A\xD0\xB2\xD0\xBE\xD1\x80\xD0\xB2\xD0\xB5\xD0\xBB\xD1\x8C", u"\u041A\u0432\u043E\u0440\u0432\u0435\u043B\u044C"},
        {"Zo\xC3\xAB", u"Zo\u00EB"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", u"\u65E5\u672C"},
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},  // outside the BMP: two UTF-16 units
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto& text : texts) {
        EXPECT_EQ(Utf8ToUtf16(text.utf8), text.utf16);
        EXPECT_EQ(Utf16ToUtf8(text.utf16), text.utf8);
    }
}

TEST(Utf, RefusesWhatIsNotWellFormed) {
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF8\x88\x80\x80\x80", "\xD0\x9A\xD0", "\xCF\xF0\xE8"}) {
        EXPECT_FALSE(Utf8ToUtf16(bad)) << bad;
    }
    for (const std::u16string& bad : {std::u16string(u"\xD83D"), std::u16string(u"\xDE00x"), std::u16string(u"a\xD83D" u"b")}) {
        EXPECT_FALSE(Utf16ToUtf8(bad));
    }
}

// Names compare as the file system compares them: letters of any script
// without regard to case, nothing else folded.
TEST(Utf, CaseKeysOfUnicodeNames) {
    const std::pair<std::string, std::string> same[] = {
        {"C:\\Zo\xC3\xAB", "c:\\ZO\xC3\x8B"},                                       // Zoë, ZOË
        {"\xD0\x9A\xD0\xB2\xD0\xBE\xD1\x80", "\xD0\xBA\xD0\x92\xD0\x9E\xD0\xA0"},  // Квор, кВОР
        {"\xCE\xA3\xCF\x89", "\xCF\x83\xCE\xA9"},                                   // Σω, σΩ
        {"\xEF\xBD\x81", "\xEF\xBC\xA1"},                                             // full-width a, A
    };
    for (const auto& [a, b] : same) EXPECT_EQ(unicode::CaseKey(a), unicode::CaseKey(b)) << a;
    const std::pair<std::string, std::string> different[] = {
        {"\xD0\x9A", "\xD0\x8A"},              // К and Њ, which one byte's case table would join
        {"\xC4\xB1", "i"},                      // dotless ı is no ASCII letter
        {"\xE6\x97\xA5", "\xE6\x97\xA6"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x81"},
    };
    for (const auto& [a, b] : different) EXPECT_NE(unicode::CaseKey(a), unicode::CaseKey(b)) << a;
    EXPECT_EQ(unicode::CaseKey("a\xD0"), "a\xD0");  // not UTF-8: kept as it is
}

TEST(Utf, CutsOnlyBetweenCharacters) {
    const std::string text = "a\xD0\x9A\xF0\x9F\x98\x80";  // a, К, an emoji
    EXPECT_EQ(unicode::WholeCharacters(text, 2), 1u);
    EXPECT_EQ(unicode::WholeCharacters(text, 3), 3u);
    EXPECT_EQ(unicode::WholeCharacters(text, 6), 3u);
    EXPECT_EQ(unicode::WholeCharacters(text, 99), text.size());
}

}  // namespace
}  // namespace qv
