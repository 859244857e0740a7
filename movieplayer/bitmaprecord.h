// Bitmap characters as the tag handlers decode them: a pixel array in one of
// six formats with an optional colour table.
#pragma once

#include <cstddef>
#include <cstdint>

namespace movie {

enum BitmapFormat : int {
    kBitmap1 = 0,   // palette index, first pixel in the highest bit
    kBitmap2 = 1,
    kBitmap4 = 2,
    kBitmap8 = 3,
    kBitmap555 = 4,  // red bits 14-10
    kBitmap32 = 5,   // bytes blue, green, red, alpha (premultiplied)
};

struct ColorTable {
    uint32_t count = 0;
    uint32_t entries[256] = {};  // 0xAARRGGBB
};

int BitmapRowBytes(int format, int width);
int BitmapBitsPerPixel(int format);

struct BitmapRecord {
    BitmapRecord() = default;
    BitmapRecord(const BitmapRecord&) = delete;
    BitmapRecord& operator=(const BitmapRecord&) = delete;
    ~BitmapRecord() { Free(); }

    // Sets the has-alpha flag from the table, computes the row bytes, copies
    // the table for formats 0-3 and allocates the pixels (zeroed). False when
    // an allocation failed or the size is unusable.
    bool Init(int format, int width, int height, const ColorTable* table);
    void Free();

    uint8_t* pixels = nullptr;
    ColorTable* colors = nullptr;
    int format = kBitmap32;
    int width = 0;
    int height = 0;
    int rowBytes = 0;
    int reserved = 0;
    bool hasAlpha = false;  // a table entry (or, set by the decoder, a 32-bit pixel) below alpha 255
    int refCount = 0;  // fills that use the bitmap in the current frame
};

// Movie files store 16- and 32-bit pixels big-endian: format 4 swaps the
// bytes of each 16-bit value, format 5 reverses each 32-bit value; the byte
// count is taken in whole 4-byte groups.
void SwapToNative(uint8_t* data, size_t byteCount, int format);

// The built-in font movie, inflated into a new buffer (free with std::free).
// Returns its length, or -1 when allocation or inflation fails.
long InflateFontMovie(uint8_t** out);
long FontMovieInflatedSize();

}  // namespace movie
