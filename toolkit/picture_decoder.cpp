#include "toolkit/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

namespace qv {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back to the decoding function, keeping the message.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnFatalError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr) {}

struct DecodedImage {
    HBITMAP bitmap;
    int width;
    int height;
};

// Only plain C objects live in this frame, so the long jump is safe.
bool DecodeInto(const unsigned char* data, size_t size, DecodedImage* out, ErrorManager* errors) {
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&errors->base);
    errors->base.error_exit = OnFatalError;
    errors->base.output_message = OnMessage;
    HBITMAP volatile bitmap = nullptr;
    if (setjmp(errors->jump)) {
        jpeg_destroy_decompress(&info);
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;  // the order a 24-bit DIB wants
    jpeg_start_decompress(&info);

    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;  // top-down rows, like the decoder's
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        std::snprintf(errors->message, sizeof errors->message, "CreateDIBSection failed");
        jpeg_destroy_decompress(&info);
        return false;
    }
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = static_cast<JSAMPROW>(bits) + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    out->bitmap = bitmap;
    out->width = width;
    out->height = height;
    return true;
}

}  // namespace

JpegResult DecodeJpeg(const unsigned char* data, size_t size) {
    JpegResult result;
    if (!data || size == 0) {
        result.error = "no picture data";
        return result;
    }
    ErrorManager errors{};
    DecodedImage image{};
    if (!DecodeInto(data, size, &image, &errors)) {
        result.error = errors.message;
        return result;
    }
    result.bitmap.reset(image.bitmap);
    result.width = image.width;
    result.height = image.height;
    return result;
}

}  // namespace qv
