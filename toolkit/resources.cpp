#include "toolkit/resources.h"

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/picture_decoder.h"
#include "toolkit/picture_rows.h"
#include "toolkit/program_text.h"
#include "toolkit/scaling.h"

namespace qv {
namespace {

PictureExpander pictureExpander = nullptr;

// A resource's name or type as the wide calls take it: an integer id stays
// an integer, a name is converted.
class WideResourceId {
public:
    explicit WideResourceId(const char* id)
        : number_(IS_INTRESOURCE(id) ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(id)) : 0),
          name_(IS_INTRESOURCE(id) ? std::wstring() : ToWide(id)),
          isNumber_(IS_INTRESOURCE(id)) {}
    LPCWSTR get() const { return isNumber_ ? MAKEINTRESOURCEW(number_) : name_.c_str(); }

private:
    WORD number_;
    std::wstring name_;
    bool isNumber_;
};

const LPCWSTR kBitmapType = MAKEINTRESOURCEW(2);   // RT_BITMAP
const LPCWSTR kRawDataType = MAKEINTRESOURCEW(10);  // RT_RCDATA

std::span<const unsigned char> ResourceBytes(LPCWSTR name, LPCWSTR type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name, type);
    if (!found) return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded || size == 0) return {};
    const void* data = LockResource(loaded);
    if (!data) return {};
    return {static_cast<const unsigned char*>(data), size};
}

UniqueBitmap LoadPicture(LPCWSTR name) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (bitmap) return bitmap;
    const auto packed = ResourceBytes(name, WideResourceId(kPackedPictureType).get());
    if (packed.empty()) return std::move(DecodePicture(ResourceBytes(name, kRawDataType)).bitmap);
    std::string file;
    if (!pictureExpander || !pictureExpander({reinterpret_cast<const char*>(packed.data()), packed.size()}, file) ||
        !UndoBmpRowDeltas(file)) {
        return {};
    }
    return std::move(DecodePicture({reinterpret_cast<const unsigned char*>(file.data()), file.size()}).bitmap);
}

}  // namespace

void SetPictureExpander(PictureExpander expander) { pictureExpander = expander; }

std::span<const unsigned char> ResourceBytes(const char* name, const char* type) {
    return ResourceBytes(WideResourceId(name).get(), WideResourceId(type).get());
}

UniqueBitmap LoadPicture(const char* name) { return LoadPicture(WideResourceId(name).get()); }

namespace {

std::string VariantName(const char* name, int percent) {
    return percent == 100 ? std::string(name) : std::string(name) + std::to_string(percent);
}

bool HasPicture(const std::string& name) {
    HMODULE module = GetModuleHandleW(nullptr);
    const std::wstring wide = ToWide(name);
    return FindResourceW(module, wide.c_str(), kBitmapType) ||
           FindResourceW(module, wide.c_str(), WideResourceId(kPackedPictureType).get()) ||
           FindResourceW(module, wide.c_str(), kRawDataType);
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
