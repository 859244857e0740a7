// Decoding of bitmap characters: JPEG (with the movie's shared tables, with
// tables of its own, and with a zlib alpha plane) and the zlib-compressed
// lossless formats.
//
// Every size in these records is a claim of the file: width x height is
// checked against kMaxBitmapPixels before anything is allocated, inflated
// data is never allowed to grow past what the header promised, colour
// indices are looked up only inside the colour table, and libjpeg's errors
// return to the caller instead of ending the process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "movieplayer/bitmaprecord.h"

namespace movie {

// Largest bitmap decoded: 4 megapixels (16 MB of pixels), far above the
// stage sizes movies are made for.
constexpr uint32_t kMaxBitmapPixels = 1u << 22;
constexpr uint32_t kMaxBitmapSide = 8192;

// Decoded pixels: one word per pixel, 0xAARRGGBB, premultiplied by alpha
// (every colour channel at most its alpha), rows top to bottom.
struct DecodedBitmap {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    std::vector<uint32_t> pixels;

    // The same pixels as the rasteriser samples them (32-bit format), made
    // on first drawing, after which `pixels` is released; null when that
    // allocation fails.
    std::unique_ptr<BitmapRecord> record;
    BitmapRecord* Record();

    uint32_t At(int x, int y) const
    {
        if (record) {
            uint32_t p;
            std::memcpy(&p, record->pixels + size_t(y) * size_t(record->rowBytes) + size_t(x) * 4, 4);
            return p;
        }
        return pixels[size_t(y) * size_t(width) + size_t(x)];
    }
};

// JPEG data, optionally preceded by the movie's shared tables (DefineBits);
// null when decoding fails.
std::shared_ptr<DecodedBitmap> DecodeJpeg(const uint8_t* tables, size_t tablesSize, const uint8_t* data,
                                          size_t size);
// DefineBitsJPEG3 body after the id: UI32 JPEG length, JPEG, zlib alpha.
std::shared_ptr<DecodedBitmap> DecodeJpegWithAlpha(const uint8_t* body, size_t size);
// DefineBitsLossless (alpha false) or Lossless2 body after the id.
std::shared_ptr<DecodedBitmap> DecodeLossless(const uint8_t* body, size_t size, bool alpha);

// Inflates zlib data into out, at most out.size() bytes.  Returns the
// number of bytes produced, or -1 when the data is corrupt before that.
long InflateInto(const uint8_t* data, size_t size, uint8_t* out, size_t outSize);

}  // namespace movie
