#pragma once
// Whole-file reads and writes for the host tools.
#include <string>
#include <string_view>

namespace qv::tools {

// Reads a whole file; false (and `error` set) when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

// Creates or replaces a file with exactly `bytes`.
bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace qv::tools
