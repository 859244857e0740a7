// The off-screen buffer frames are drawn into, at the screen's depth.
//
// `NativeBitmap` is plain memory laid out like a bottom-up device-independent
// bitmap (rows of (depth × rounded width + 7) / 8 bytes, last picture row
// first); showing it in a window is the host window's business. On palette
// screens the buffer holds an InverseColorTable that maps any colour to the
// nearest palette index through a 4096-entry table.
#pragma once

#include "movieplayer/pixelformats.h"

#include <cstdint>

namespace movie {

struct InverseColorTable {
    InverseColorTable* next = nullptr;
    int refCount = 1;
    uint32_t count = 0;
    uint32_t palette[256] = {};  // 0x00RRGGBB
    uint8_t table[4096] = {};    // (red >> 4) << 8 | (green >> 4) << 4 | blue >> 4

    // Nearest palette colour for every 4-4-4 cell (Manhattan distance, the
    // search growing from each entry's own cell); null when out of memory.
    static InverseColorTable* Build(const uint32_t* palette, int count);
    // The table of a palette with one reference for the caller: the same
    // one while any holder or the recent-palettes list keeps it (building
    // costs about 2 ms; a buffer is made again on every resize), else new.
    static InverseColorTable* Acquire(const uint32_t* palette, int count);
    void AddRef();
    void Release();
};

struct BitmapInfoHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;  // positive: bottom-up
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;  // BI_RGB
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

class NativeBitmap {
public:
    ~NativeBitmap() { Destroy(); }
    bool Create(int width, int height, int depth, int pixelFormat);
    // Allocates the pixels (white); for depth 8 copies the palette.
    bool CreateDIB(const uint32_t* palette, int count);
    void Destroy();

    int pixelFormat = 7;
    int depth = 32;
    int width = 0;  // rounded up to a multiple of 4
    int height = 0;
    int rowBytes = 0;
    uint8_t* bits = nullptr;
    BitmapInfoHeader header;
    uint32_t colors[256] = {};  // 0x00RRGGBB
};

class CBitBuffer {
public:
    CBitBuffer() = default;
    CBitBuffer(const CBitBuffer&) = delete;
    CBitBuffer& operator=(const CBitBuffer&) = delete;
    ~CBitBuffer() { FreeBits(); }

    // Creates the buffer for a width x height area at the given screen depth
    // (depths below 8 draw through an 8-bit buffer); palette screens need the
    // player's palette (0x00RRGGBB).
    bool Create(int screenDepth, int width, int height, const uint32_t* palette = nullptr, int paletteCount = 0);
    void FreeBits();
    void invalidate() { FreeBits(); }
    bool HasBits() const { return bitmap_ && bitmap_->bits; }

    // The target the rasteriser draws into.
    PixelTarget Target() const;

    NativeBitmap* Bitmap() const { return bitmap_; }
    InverseColorTable* Inverse() const { return inverse_; }
    bool bottomUp = true;
    int xOrigin = 0;
    int option = 0;

private:
    NativeBitmap* bitmap_ = nullptr;
    InverseColorTable* inverse_ = nullptr;
    int lastDepth_ = 0;
    int lastFormat_ = 7;
};

}  // namespace movie
