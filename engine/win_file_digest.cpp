#include "engine/win_file_digest.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "engine/payload_digests.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

// SHA-256 in the enhanced AES provider (Windows XP SP3 on); the headers name
// it only for later Windows versions than this program targets.
constexpr ALG_ID kSha256 = ALG_CLASS_HASH | ALG_TYPE_ANY | 12 /* ALG_SID_SHA_256 */;

// Feeds a hash and gives its value in lower-case hex.
class Sha256Hash {
public:
    explicit Sha256Hash(HCRYPTPROV provider) {
        if (!provider || !CryptCreateHash(provider, kSha256, 0, 0, hash_.put())) hash_.reset();
    }
    bool Add(const void* bytes, DWORD size) {
        return hash_ && CryptHashData(hash_.get(), static_cast<const BYTE*>(bytes), size, 0);
    }
    std::optional<std::string> Value() {
        BYTE digest[32];
        DWORD size = sizeof digest;
        if (!hash_ || !CryptGetHashParam(hash_.get(), HP_HASHVAL, digest, &size, 0) || size != sizeof digest) {
            return std::nullopt;
        }
        return HexDigest(std::string_view(reinterpret_cast<const char*>(digest), size));
    }

private:
    UniqueCryptHash hash_;
};

}  // namespace

FileHasher::FileHasher() {
    if (!CryptAcquireContextW(provider_.put(), nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) provider_.reset();
}

std::optional<std::string> FileHasher::Sha256(const std::string& path) const {
    UniqueHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;
    Sha256Hash hash(provider_.get());
    std::vector<BYTE> chunk(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        if (!hash.Add(chunk.data(), got)) return std::nullopt;
    }
    return hash.Value();
}

std::optional<std::string> FileHasher::Sha256Of(std::string_view bytes) const {
    Sha256Hash hash(provider_.get());
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
        if (!hash.Add(bytes.data(), chunk)) return std::nullopt;
        bytes.remove_prefix(chunk);
    }
    return hash.Value();
}

}  // namespace qv
