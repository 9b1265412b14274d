#pragma once
// Decodes a JPEG picture held in memory into a 24-bit DIB section.
#include <windows.h>

#include <cstddef>
#include <string>

#include "toolkit/win_handles.h"

namespace qv {

struct JpegResult {
    UniqueBitmap bitmap;  // empty on failure
    int width = 0;
    int height = 0;
    std::string error;    // libjpeg's message on failure
};

JpegResult DecodeJpeg(const unsigned char* data, size_t size);

}  // namespace qv
