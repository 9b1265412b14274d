#pragma once
// Decodes a picture file held in memory (JPEG or BMP) with the system's own
// picture object (OLE), into a 24-bit DIB section with top-down rows.
#include <windows.h>

#include <span>
#include <string>

#include "toolkit/win_handles.h"

namespace qv {

struct DecodedPicture {
    UniqueBitmap bitmap;  // empty on failure
    int width = 0;
    int height = 0;
    std::string error;    // what failed, when it did
};

DecodedPicture DecodePicture(std::span<const unsigned char> data);

}  // namespace qv
