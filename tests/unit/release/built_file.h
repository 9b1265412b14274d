#pragma once
// A file the Windows build wrote, read whole.
#include <fstream>
#include <sstream>
#include <string>

// The bytes of the file; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
