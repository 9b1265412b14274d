#include "toolkit/picture_decoder.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

namespace qv {
namespace {

// A stream over a copy of the bytes; the stream frees the copy.
ComPtr<IStream> MemoryStream(std::span<const unsigned char> data) {
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, data.size()));
    if (!memory) return {};
    void* target = GlobalLock(memory.get());
    if (!target) return {};
    std::memcpy(target, data.data(), data.size());
    GlobalUnlock(memory.get());
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.put()))) return {};
    memory.release();  // the stream owns it now
    return stream;
}

}  // namespace

DecodedPicture DecodePicture(std::span<const unsigned char> data) {
    DecodedPicture result;
    if (data.empty()) {
        result.error = "no picture data";
        return result;
    }
    ComPtr<IStream> stream = MemoryStream(data);
    if (!stream) {
        result.error = "no memory for the picture";
        return result;
    }
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(data.size()), FALSE, IID_IPicture,
                              picture.put_void()))) {
        result.error = "the system cannot read the picture";
        return result;
    }
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle))) {
        result.error = "the picture is not a bitmap";
        return result;
    }
    const auto source = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP size{};
    if (!GetObjectW(source, sizeof size, &size) || size.bmWidth <= 0 || size.bmHeight <= 0) {
        result.error = "the picture has no size";
        return result;
    }

    // The picture object's bitmap suits the screen; ours is a 24-bit DIB
    // section, whatever the screen, as the toolkit draws and scales it.
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = size.bmWidth;
    header.bmiHeader.biHeight = -size.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !bits || !dc ||
        GetDIBits(dc.get(), source, 0, static_cast<UINT>(size.bmHeight), bits, &header, DIB_RGB_COLORS) !=
            size.bmHeight) {
        result.error = "the picture cannot be copied";
        return result;
    }
    result.bitmap = std::move(bitmap);
    result.width = size.bmWidth;
    result.height = size.bmHeight;
    return result;
}

}  // namespace qv
