#include "toolkit/resources.h"

#include "toolkit/jpeg_decoder.h"

namespace qv {

std::span<const unsigned char> ResourceBytes(const char* name, const char* type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded || size == 0) return {};
    const void* data = LockResource(loaded);
    if (!data) return {};
    return {static_cast<const unsigned char*>(data), size};
}

UniqueBitmap LoadPicture(const char* name) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (bitmap) return bitmap;
    auto bytes = ResourceBytes(name, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (bytes.empty()) return {};
    return std::move(DecodeJpeg(bytes.data(), bytes.size()).bitmap);
}

}  // namespace qv
