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
    // The program's texts are UTF-8, as the log is: "Ошибка", "Файл".
    const std::string error = "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0";
    const std::string file = "\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB";
    EXPECT_EQ(FormatRunLogLine(time, error + "\n\n" + file + ": C:\\a"),
              "2026-12-09 07:05:03.042 " + error + " / " + file + ": C:\\a\r\n");
}

}  // namespace
}  // namespace qv
