#pragma once
// Access to the program's own resources.
#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "toolkit/win_handles.h"

namespace qv {

// The bytes of a resource of the program's module; empty when missing.
// They stay valid for the life of the process.
std::span<const unsigned char> ResourceBytes(const char* name, const char* type);

// The resource type of a packed picture: a BMP file of 24 bits per pixel,
// its rows delta-coded (picture_rows.h), then SZDD-compressed.
inline constexpr const char* kPackedPictureType = "QVPICTURE";

// Expands the compressed bytes of a packed picture into `out`; false when
// they cannot be expanded.
using PictureExpander = bool (*)(std::string_view packed, std::string& out);
// The program hands its expander to the toolkit once, before any picture
// is drawn; until then a packed picture loads as missing.
void SetPictureExpander(PictureExpander expander);

// A picture resource as a DIB section: a BITMAP resource, a packed picture,
// or a picture file (JPEG or BMP) held as RCDATA. Empty when the resource is
// missing or cannot be decoded.
UniqueBitmap LoadPicture(const char* name);

// A picture drawn for one scale of the display.
struct ScaledPicture {
    UniqueBitmap bitmap;  // empty when the picture is missing
    int percent = 100;    // the scale it was drawn for
};

// A picture may come drawn for several scales: "NAME" for 100 %, and
// "NAME150", "NAME200" for 150 % and 200 %. Loads the one of them nearest
// to the scale of `dpi`.
ScaledPicture LoadPicture(const char* name, int dpi);

}  // namespace qv
