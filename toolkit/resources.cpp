#include "toolkit/resources.h"

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/picture_decoder.h"
#include "toolkit/picture_rows.h"
#include "toolkit/scaling.h"

namespace qv {
namespace {

PictureExpander pictureExpander = nullptr;

}  // namespace

void SetPictureExpander(PictureExpander expander) { pictureExpander = expander; }

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
    const auto packed = ResourceBytes(name, kPackedPictureType);
    if (packed.empty()) return std::move(DecodePicture(ResourceBytes(name, MAKEINTRESOURCEA(10) /* RT_RCDATA */)).bitmap);
    std::string file;
    if (!pictureExpander || !pictureExpander({reinterpret_cast<const char*>(packed.data()), packed.size()}, file) ||
        !UndoBmpRowDeltas(file)) {
        return {};
    }
    return std::move(DecodePicture({reinterpret_cast<const unsigned char*>(file.data()), file.size()}).bitmap);
}

namespace {

std::string VariantName(const char* name, int percent) {
    return percent == 100 ? std::string(name) : std::string(name) + std::to_string(percent);
}

bool HasPicture(const std::string& name) {
    HMODULE module = GetModuleHandleA(nullptr);
    return FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(2) /* RT_BITMAP */) ||
           FindResourceA(module, name.c_str(), kPackedPictureType) ||
           FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
}

}  // namespace

ScaledPicture LoadPicture(const char* name, int dpi) {
    std::vector<int> drawn;
    for (const int percent : {100, 150, 200}) {
        if (HasPicture(VariantName(name, percent))) drawn.push_back(percent);
    }
    const int percent = NearestVariant(dpi, drawn);
    return {LoadPicture(VariantName(name, percent).c_str()), percent};
}

}  // namespace qv
