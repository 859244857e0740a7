// Pixel formats of the off-screen buffer: readers, writers (with dithering
// on palette and 16-bit screens) and solid painters, all reached through
// tables indexed by the format number.
//
//  format  bits  layout
//    0      1    palette index, 8 per byte, first pixel in bit 7
//    1      2    palette index, 4 per byte, first pixel in bits 7-6
//    2      4    palette index, 2 per byte, first pixel in the high nibble
//    3      8    palette index
//    4     16    5-5-5: red bits 14-10, green 9-5, blue 4-0
//    5     16    5-6-5: red bits 15-11, green 10-5, blue 4-0
//    6     24    bytes blue, green, red
//    7, 8  32    word blue | green << 8 | red << 16 | alpha << 24
//
// Inside the rasteriser a colour record is one 64-bit word with 16-bit
// slots blue | green << 16 | red << 32 | alpha << 48 (each 0..255,
// premultiplied), so "over" works on all four channels with one multiply
// and the mask 0x00FF00FF00FF00FF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <vector>

namespace movie {

using ColorRecord = uint64_t;

constexpr uint64_t kChannelMask = 0x00FF00FF00FF00FFull;

constexpr ColorRecord MakeRecord(unsigned r, unsigned g, unsigned b, unsigned a)
{
    return uint64_t(b) | uint64_t(g) << 16 | uint64_t(r) << 32 | uint64_t(a) << 48;
}
constexpr unsigned RecBlue(ColorRecord c) { return unsigned(c & 0xFFFF); }
constexpr unsigned RecGreen(ColorRecord c) { return unsigned((c >> 16) & 0xFFFF); }
constexpr unsigned RecRed(ColorRecord c) { return unsigned((c >> 32) & 0xFFFF); }
constexpr unsigned RecAlpha(ColorRecord c) { return unsigned(c >> 48); }

// Premultiplies a straight colour: alpha 255 unchanged, alpha 0 all zero,
// else each channel ·(alpha + 1) >> 8.
constexpr ColorRecord Premultiply(unsigned r, unsigned g, unsigned b, unsigned a)
{
    if (a == 255) return MakeRecord(r, g, b, 255);
    if (a == 0) return 0;
    return MakeRecord(r * (a + 1) >> 8, g * (a + 1) >> 8, b * (a + 1) >> 8, a);
}

// "Over" on premultiplied records: top + bottom·(256 − top alpha) >> 8.
constexpr ColorRecord Over(ColorRecord top, ColorRecord bottom)
{
    const uint64_t k = 256 - RecAlpha(top);
    return top + (((bottom * k) >> 8) & kChannelMask);
}

// Fills n 32-bit pixels with one value. wchar_t is a 32-bit integer here, so
// this is the C library's wmemset, which picks the widest stores the CPU has
// at run time (AVX2 where present); a plain loop built for the baseline
// x86-64 target reaches about half of that on a 1024-pixel row.
inline void Fill32(uint32_t* d, size_t n, uint32_t v)
{
    static_assert(sizeof(wchar_t) == sizeof(uint32_t));
    std::wmemset(reinterpret_cast<wchar_t*>(d), static_cast<wchar_t>(v), n);
}

// Fixed tables.
extern const uint8_t kExpand5[32];
extern const uint8_t kExpand6[64];
extern const uint8_t kOrderedDither8[8][8];
extern const uint8_t kNoise8[8][8];
extern const uint8_t kDither4[4][4];
extern const uint8_t kBilinear[8][8][4];  // [fy][fx]: top-left, top-right, bottom-left, bottom-right
extern const uint16_t kSquares[258];

int BitsPerPixelOfFormat(int format);

// Inverse colour table index of a colour: (red >> 4) << 8 | (green >> 4) << 4 | blue >> 4.
constexpr int InverseIndex(unsigned r, unsigned g, unsigned b) { return int((r >> 4) << 8 | (g >> 4) << 4 | (b >> 4)); }

// The pixels the rasteriser draws into, with what its writers need.
struct PixelTarget {
    uint8_t* bits = nullptr;
    int rowBytes = 0;
    int width = 0;
    int height = 0;
    bool bottomUp = false;
    int format = 7;
    int xOrigin = 0;
    const uint32_t* palette = nullptr;  // 0xAARRGGBB, 256 entries for palette formats
    const uint8_t* inverse = nullptr;   // 4096 entries
    int ditherMode = 0;                 // 8-bit: 0 nearest, 1 ordered, 2 error diffusion; 16-bit: non-zero dithers

    uint8_t* Row(int y) const { return bits + static_cast<long>(bottomUp ? height - 1 - y : y) * rowBytes; }

    // Error-diffusion rows (red, green, blue per pixel, one pixel of margin).
    std::vector<int> errCur, errNext;
    void NewLine();
};

using PixelReader = void (*)(const PixelTarget& t, int y, int x0, int x1, ColorRecord* out);
using PixelWriter = void (*)(PixelTarget& t, int y, int x0, int x1, const ColorRecord* in);

PixelReader ReaderForFormat(int format);
PixelWriter WriterForFormat(int format);

// A 4 x 4 solid pattern in the target's pixel format: four rows of 16 bytes.
struct SolidPattern {
    uint8_t rows[4][16] = {};
    bool uniform = false;    // all sixteen pixels equal
    uint32_t word = 0;       // the pixel value when uniform (formats 3-8)
};

// Builds the pattern from colours A and B and a 16-bit pattern word (bit 15
// is the top-left pixel, rows of four bits; a set bit takes A), each row
// rotated left by xPhase. Colours are premultiplied records; on palette
// formats indexA and indexB are the palette indices to use.
void MakeSolidPattern(const PixelTarget& t, ColorRecord a, ColorRecord b, int indexA, int indexB, uint16_t bits,
                      int xPhase, SolidPattern& out);

// Writes row (y + yPhase) & 3 of the pattern over pixels x0..x1-1.
void PaintSolid(PixelTarget& t, const SolidPattern& p, int y, int x0, int x1, int yPhase);

}  // namespace movie
