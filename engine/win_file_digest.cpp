#include "engine/win_file_digest.h"

#include <windows.h>

#include <vector>

#include "engine/payload_digests.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

// SHA-256 in the enhanced AES provider (Windows XP SP3 on); the headers name
// it only for later Windows versions than this program targets.
constexpr ALG_ID kSha256 = ALG_CLASS_HASH | ALG_TYPE_ANY | 12 /* ALG_SID_SHA_256 */;

}  // namespace

FileHasher::FileHasher() {
    if (!CryptAcquireContextA(provider_.put(), nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) provider_.reset();
}

std::optional<std::string> FileHasher::Sha256(const std::string& path) const {
    if (!provider_) return std::nullopt;
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;
    UniqueCryptHash hash;
    if (!CryptCreateHash(provider_.get(), kSha256, 0, 0, hash.put())) return std::nullopt;
    std::vector<BYTE> chunk(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        if (!CryptHashData(hash.get(), chunk.data(), got, 0)) return std::nullopt;
    }
    BYTE digest[32];
    DWORD size = sizeof digest;
    if (!CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &size, 0) || size != sizeof digest) return std::nullopt;
    return HexDigest(std::string_view(reinterpret_cast<const char*>(digest), size));
}

}  // namespace qv
