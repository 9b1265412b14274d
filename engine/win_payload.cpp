#include "engine/win_payload.h"

#include <exception>

#include "engine/payload_digests.h"
#include "toolkit/program_text.h"

namespace qv {

namespace {

const wchar_t kPayloadType[] = L"SETUP";

struct ExtractPass {
    const InstallSystem::EntryVisitor& visit;
    std::exception_ptr failure;  // carried past the system's enumeration
};

}  // namespace

BOOL CALLBACK CountEntry(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    if (FindResourceW(module, name, type) != nullptr) ++*reinterpret_cast<int*>(param);
    return TRUE;
}

BOOL CALLBACK ExtractEntry(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    auto& pass = *reinterpret_cast<ExtractPass*>(param);
    const HRSRC resource = FindResourceW(module, name, type);
    if (resource == nullptr) return TRUE;
    const DWORD size = SizeofResource(module, resource);
    const HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr) return TRUE;
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr) return TRUE;
    try {
        return pass.visit(std::string_view(static_cast<const char*>(bytes), size)) ? TRUE : FALSE;
    } catch (...) {
        pass.failure = std::current_exception();
        return FALSE;
    }
}

std::string PayloadDigestText() {
    const HRSRC resource = FindResourceW(nullptr, ToWide(kDigestResourceName).c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (resource == nullptr) return std::string();
    const DWORD size = SizeofResource(nullptr, resource);
    const HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    return bytes ? std::string(static_cast<const char*>(bytes), size) : std::string();
}

int CountPayloadEntries() {
    int count = 0;
    EnumResourceNamesW(nullptr, kPayloadType, CountEntry, reinterpret_cast<LONG_PTR>(&count));
    return count;
}

void ForEachPayloadEntry(const InstallSystem::EntryVisitor& visit) {
    ExtractPass pass{visit, nullptr};
    EnumResourceNamesW(nullptr, kPayloadType, ExtractEntry, reinterpret_cast<LONG_PTR>(&pass));
    if (pass.failure) std::rethrow_exception(pass.failure);
}

}  // namespace qv
