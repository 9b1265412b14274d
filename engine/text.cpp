#include "engine/text.h"

namespace qv {

char LowerCp1251(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDF) return static_cast<char>(u + 32);  // А..Я
    if (u == 0xA8) return static_cast<char>(0xB8);                   // Ё
    if (u == 0xA1) return static_cast<char>(0xA2);                   // Ў
    if (u == 0xB2) return static_cast<char>(0xB3);                   // І
    if (u == 0xAA) return static_cast<char>(0xBA);                   // Є
    if (u == 0xAF) return static_cast<char>(0xBF);                   // Ї
    if (u == 0xA5) return static_cast<char>(0xB4);                   // Ґ
    if (u == 0x80) return static_cast<char>(0x90);                   // Ђ
    if (u == 0x81) return static_cast<char>(0x83);                   // Ѓ
    if (u == 0x8A) return static_cast<char>(0x9A);                   // Љ
    if (u == 0x8C) return static_cast<char>(0x9C);                   // Њ
    if (u == 0x8D) return static_cast<char>(0x9D);                   // Ќ
    if (u == 0x8E) return static_cast<char>(0x9E);                   // Ћ
    if (u == 0x8F) return static_cast<char>(0x9F);                   // Џ
    if (u == 0xA3) return static_cast<char>(0xBC);                   // Ј
    if (u == 0xBD) return static_cast<char>(0xBE);                   // Ѕ
    return c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerCp1251(a[i]) != LowerCp1251(b[i])) return false;
    }
    return true;
}

std::string ZeroPadded(unsigned long value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

}  // namespace qv
