// Writes 32-bit pixels as a PNG file (8-bit RGBA, no interlace), compressed
// with zlib.  Used by the command-line renderer and by tests that leave
// pictures for a person to look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace movie {

// pixels: width x height words 0xAARRGGBB, premultiplied by alpha, rows top
// to bottom, `stride` words apart.  The file gets straight (unpremultiplied)
// alpha, as PNG wants.
std::vector<uint8_t> EncodePng(const uint32_t* pixels, int width, int height, int stride);
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int stride);

}  // namespace movie
