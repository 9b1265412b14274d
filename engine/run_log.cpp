#include "engine/run_log.h"

#include "engine/text.h"

namespace qv {
namespace {

// UTF-16 of the bytes 0x80..0xBF of code page 1251; 0xC0..0xFF are А..я in order.
constexpr char16_t kHighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char16_t Unicode(unsigned char c) {
    if (c < 0x80) return c;
    if (c >= 0xC0) return static_cast<char16_t>(0x0410 + (c - 0xC0));
    return kHighHalf[c - 0x80];
}

void AppendUtf8(std::string& out, char16_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) AppendUtf8(out, Unicode(static_cast<unsigned char>(c)));
    return out;
}

std::string FormatRunLogLine(const LogTime& t, std::string_view text1251) {
    const auto two = [](int value) { return ZeroPadded(static_cast<unsigned long>(value % 100), 2); };
    const std::string stamp = ZeroPadded(static_cast<unsigned long>(t.year % 10000), 4) + '-' + two(t.month) + '-' +
                              two(t.day) + ' ' + two(t.hour) + ':' + two(t.minute) + ':' + two(t.second) + '.' +
                              ZeroPadded(static_cast<unsigned long>(t.millisecond % 1000), 3) + ' ';
    std::string flat;
    for (std::size_t i = 0; i < text1251.size(); ++i) {
        const char c = text1251[i];
        if (c == '\r' || c == '\n') {
            while (i + 1 < text1251.size() && (text1251[i + 1] == '\r' || text1251[i + 1] == '\n')) ++i;
            flat += " / ";
        } else {
            flat += c;
        }
    }
    return stamp + Cp1251ToUtf8(flat) + "\r\n";
}

}  // namespace qv
