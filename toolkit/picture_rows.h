#pragma once
// Delta coding of the pixel rows of a 24-bit uncompressed BMP file, in place.
// From the fourth byte of a row on, each byte is stored as its difference
// (modulo 256) to the byte three before it: the same colour of the pixel to
// its left. Smooth gradients turn into runs of equal small values, which the
// SZDD coder packs about a third tighter than the plain rows. The padding at
// the end of each row is left as it is. Portable: the build codes the page
// pictures, the program decodes them.
#include <string>

namespace qv {

// Both return false, and leave the bytes as they were, for anything but a
// BMP file of 24 bits per pixel without compression.
bool DeltaCodeBmpRows(std::string& bmp);
bool UndoBmpRowDeltas(std::string& bmp);

}  // namespace qv
