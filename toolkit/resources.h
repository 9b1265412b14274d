#pragma once
// Access to the program's own resources.
#include <windows.h>

#include <span>

#include "toolkit/win_handles.h"

namespace qv {

// The bytes of a resource of the program's module; empty when missing.
// They stay valid for the life of the process.
std::span<const unsigned char> ResourceBytes(const char* name, const char* type);

// A picture resource as a DIB section: a BITMAP resource, or a picture file
// (JPEG or BMP) held as RCDATA, as it is or SZDD-compressed. Empty when the
// resource is missing or cannot be decoded.
UniqueBitmap LoadPicture(const char* name);

}  // namespace qv
