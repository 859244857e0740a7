// Packed DIBs: one block holding a 40-byte BITMAPINFOHEADER (or a 12-byte
// BITMAPCOREHEADER), the colour table and the pixel rows, bottom-up unless
// the height is negative.  Designs store pictures in this layout and the
// clipboard exchanges it.  Every function checks the block's size before it
// reads, so a damaged block gives a failure, never a read past its end.
#pragma once

#include <cstdint>
#include <vector>

#include "model/display/gdi.h"

using PackedDib = std::vector<std::uint8_t>;

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

struct BITMAPINFOHEADER {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = BI_RGB;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;

    // 40 little-endian bytes, and back (false when fewer than 40 are given).
    void Write(std::uint8_t* out) const;
    bool Read(const std::uint8_t* in, std::size_t size);
};

// The largest picture the readers accept: 16384 pixels a side and 64 MiB of
// decoded pixels.  A file asking for more is damaged.
constexpr std::int64_t kMaxDibPixels = 16 * 1024 * 1024;

// Header size stored at the start (40 or 12), 0 when the block is too short.
std::uint32_t DibHeaderSize(const PackedDib& dib);
int DibColourCount(const PackedDib& dib);
int DibPaletteSize(const PackedDib& dib);
// Offset of the pixel bits from the block start.
std::size_t DibFindBits(const PackedDib& dib);
int DibWidth(const PackedDib& dib);
int DibHeight(const PackedDib& dib);
// A copy of the block; empty when the block is empty.
PackedDib DibCopy(const PackedDib& dib);
// A palette from the colour table; false without one.  Palettes change
// nothing on a true-colour surface.
bool DibCreatePalette(const PackedDib& dib, CPalette& palette);
// Bytes per pixel row (rows are padded to 4 bytes).
std::int64_t DibStride(std::int64_t width, int bits);

// Decodes a packed DIB (1, 4, 8, 16, 24 or 32 bits; uncompressed or with
// bit fields) into a 32-bit image; false for anything it cannot trust.
bool DibToImage(const PackedDib& dib, QImage& out);
// Builds the bitmap from the DIB (the palette is kept for the callers' code
// paths only); false when the DIB is damaged.
bool CreateBitmapFromDib(const PackedDib& dib, CPalette* palette, CBitmap& out);
// Fills a header for a width, height and device bit depth: 1 or less gives
// 1, up to 4 gives 4, up to 8 gives 8, exactly 16 gives 4 unless full colour
// is asked for, anything else 24.  Returns the image size.
std::uint32_t InitDibHeader(BITMAPINFOHEADER& header, int width, int height, int deviceBits, bool fullColour);
// The bitmap as a packed DIB at the depth InitDibHeader chooses for it (a
// colour bitmap here is 32-bit, so 24-bit rows; a monochrome one 1-bit).
PackedDib GetDibFromBitmap(CDC* dc, const CBitmap& bitmap, int& width, int& height, CPalette** palette,
                           bool topDown, bool fullColour = true);
// Draws the source rectangle of the DIB into the destination rectangle of
// the DC (stretched when the sizes differ).
bool DibPaint(CDC* dc, const CRect& destination, const PackedDib& dib, const CRect& source, CPalette* palette);
