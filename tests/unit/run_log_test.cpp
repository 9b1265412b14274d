#include "engine/run_log.h"
#include "engine/text.h"

#include <iconv.h>

#include <gtest/gtest.h>

namespace qv {
namespace {

// The system's own conversion of one byte, or "" where code page 1251 has no character.
std::string SystemUtf8(char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "?";
    char in[1] = {byte};
    char out[8] = {};
    char* from = in;
    char* to = out;
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t done = iconv(cd, &from, &inLeft, &to, &outLeft);
    iconv_close(cd);
    return done == static_cast<size_t>(-1) ? std::string() : std::string(out, sizeof out - outLeft);
}

TEST(RunLog, EveryByteOfCodePage1251BecomesItsCharacter) {
    for (int b = 1; b < 256; ++b) {
        const std::string expected = SystemUtf8(static_cast<char>(b));
        if (expected.empty()) continue;  // the one byte without a character
        EXPECT_EQ(cp1251::ToUtf8(std::string(1, static_cast<char>(b))), expected) << "byte " << b;
    }
}

TEST(RunLog, ALineHasItsTimeAndKeepsParagraphsOnOneLine) {
    const LogTime time{2026, 12, 9, 7, 5, 3, 42};
    EXPECT_EQ(FormatRunLogLine(time, "Ошибка\n\nФайл: C:\\a"),
              "2026-12-09 07:05:03.042 " + cp1251::ToUtf8("Ошибка / Файл: C:\\a") + "\r\n");
}

}  // namespace
}  // namespace qv
