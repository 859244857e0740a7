#include "movieplayer/bitmaprecord.h"

#include <cstdlib>
#include <cstring>

namespace movie {

int BitmapRowBytes(int format, int w)
{
    if (w < 0) return 0;
    switch (format) {
    case kBitmap1: return ((w + 31) >> 3) & ~3;
    case kBitmap2: return ((w + 15) >> 2) & ~3;
    case kBitmap4: return ((w + 7) >> 1) & ~3;
    case kBitmap8: return (w + 3) & ~3;
    case kBitmap555: return (2 * w + 3) & ~3;
    case kBitmap32: return 4 * w;
    default: return 0;
    }
}

int BitmapBitsPerPixel(int format)
{
    static constexpr int kBits[] = {1, 2, 4, 8, 16, 32};
    return format >= 0 && format < 6 ? kBits[format] : 0;
}

bool BitmapRecord::Init(int fmt, int w, int h, const ColorTable* table)
{
    Free();
    format = fmt;
    width = w;
    height = h;
    hasAlpha = false;
    // Guard against sizes whose byte count does not fit: 0x4000 is well
    // beyond any bitmap a movie can describe in its 16-bit fields.
    if (w <= 0 || h <= 0 || w > 0x4000 || h > 0x4000) return false;
    rowBytes = BitmapRowBytes(fmt, w);
    if (rowBytes == 0) return false;
    if (table) {
        const uint32_t n = table->count > 256 ? 256 : table->count;
        for (uint32_t i = 0; i < n; ++i)
            if ((table->entries[i] >> 24) < 255) hasAlpha = true;
    }
    if (fmt <= kBitmap8) {
        colors = static_cast<ColorTable*>(std::calloc(1, sizeof(ColorTable)));
        if (!colors) return false;
        if (table) {
            colors->count = table->count > 256 ? 256 : table->count;
            std::memcpy(colors->entries, table->entries, colors->count * sizeof(uint32_t));
        }
    }
    pixels = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(rowBytes) * h, 1));
    return pixels != nullptr;
}

void BitmapRecord::Free()
{
    std::free(colors);
    std::free(pixels);
    colors = nullptr;
    pixels = nullptr;
}

void SwapToNative(uint8_t* d, size_t n, int format)
{
    n &= ~size_t{3};
    if (format == kBitmap555) {
        for (size_t i = 0; i < n; i += 2) {
            const uint8_t t = d[i];
            d[i] = d[i + 1];
            d[i + 1] = t;
        }
    } else if (format == kBitmap32) {
        for (size_t i = 0; i < n; i += 4) {
            uint8_t t = d[i];
            d[i] = d[i + 3];
            d[i + 3] = t;
            t = d[i + 1];
            d[i + 1] = d[i + 2];
            d[i + 2] = t;
        }
    }
}

}  // namespace movie
