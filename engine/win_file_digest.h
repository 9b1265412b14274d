#pragma once
// SHA-256 of a file through the system's own cryptographic provider.
#include <optional>
#include <string>

namespace qv {

// Lower-case hex; nothing when the file cannot be read or hashed.
std::optional<std::string> FileSha256(const std::string& path);

}  // namespace qv
