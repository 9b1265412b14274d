#pragma once
// Text helpers shared by the engine: the program's strings are 8-bit, in
// the Windows-1251 code page.
#include <string>
#include <string_view>

namespace qv {

// Lower-case form of one Windows-1251 character (Latin and Cyrillic).
char LowerCp1251(char c);

// Equality of two Windows-1251 texts without regard to letter case.
bool EqualNoCase(std::string_view a, std::string_view b);

}  // namespace qv
