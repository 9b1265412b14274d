#pragma once
// SHA-256 of a file through the system's own cryptographic provider.
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/win_handles.h"

namespace qv {

// Hashes files with the system's provider, acquired once for all of them.
class FileHasher {
public:
    FileHasher();
    // Lower-case hex; nothing when the file cannot be read or hashed.
    std::optional<std::string> Sha256(const std::string& path) const;
    // Of bytes in memory.
    std::optional<std::string> Sha256Of(std::string_view bytes) const;

private:
    UniqueCryptProvider provider_;
};

}  // namespace qv
