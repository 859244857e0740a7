#include "movieplayer/pixelformats.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace movie {

namespace {

constexpr std::array<uint8_t, 32> MakeExpand5()
{
    std::array<uint8_t, 32> t{};
    for (int v = 1; v < 32; ++v) t[v] = static_cast<uint8_t>(v * 8 + 7);
    return t;
}
constexpr std::array<uint8_t, 64> MakeExpand6()
{
    std::array<uint8_t, 64> t{};
    for (int v = 1; v < 64; ++v) t[v] = static_cast<uint8_t>(v * 4 + 3);
    return t;
}

constexpr auto kE5 = MakeExpand5();
constexpr auto kE6 = MakeExpand6();

}  // namespace

const uint8_t kExpand5[32] = {
#define E(i) kE5[i]
    E(0), E(1), E(2), E(3), E(4), E(5), E(6), E(7), E(8), E(9), E(10), E(11), E(12), E(13), E(14), E(15),
    E(16), E(17), E(18), E(19), E(20), E(21), E(22), E(23), E(24), E(25), E(26), E(27), E(28), E(29), E(30), E(31)
#undef E
};

const uint8_t kExpand6[64] = {
#define E(i) kE6[i]
    E(0), E(1), E(2), E(3), E(4), E(5), E(6), E(7), E(8), E(9), E(10), E(11), E(12), E(13), E(14), E(15),
    E(16), E(17), E(18), E(19), E(20), E(21), E(22), E(23), E(24), E(25), E(26), E(27), E(28), E(29), E(30), E(31),
    E(32), E(33), E(34), E(35), E(36), E(37), E(38), E(39), E(40), E(41), E(42), E(43), E(44), E(45), E(46), E(47),
    E(48), E(49), E(50), E(51), E(52), E(53), E(54), E(55), E(56), E(57), E(58), E(59), E(60), E(61), E(62), E(63)
#undef E
};

const uint8_t kOrderedDither8[8][8] = {
    {0, 8, 0, 8, 1, 9, 15, 7},   {10, 6, 2, 14, 11, 7, 3, 13}, {4, 14, 10, 2, 5, 15, 11, 1}, {12, 4, 12, 6, 13, 3, 5, 9},
    {1, 9, 15, 7, 2, 10, 0, 6},  {11, 7, 3, 13, 12, 8, 4, 12}, {5, 15, 9, 1, 6, 14, 10, 0}, {13, 3, 11, 5, 14, 2, 4, 8},
};

const uint8_t kNoise8[8][8] = {
    {7, 0, 0, 7, 0, 7, 7, 0}, {0, 7, 0, 7, 0, 7, 0, 7}, {0, 7, 7, 0, 7, 0, 7, 7}, {0, 7, 7, 0, 7, 0, 7, 7},
    {7, 0, 7, 0, 0, 7, 0, 7}, {0, 7, 0, 7, 7, 0, 7, 0}, {7, 7, 0, 7, 0, 7, 0, 0}, {0, 7, 7, 0, 7, 0, 7, 7},
};

const uint8_t kDither4[4][4] = {{7, 0, 5, 1}, {2, 6, 4, 3}, {4, 3, 7, 2}, {0, 6, 1, 5}};

namespace {

struct BilinearTable {
    uint8_t w[8][8][4];
};

constexpr BilinearTable MakeBilinear()
{
    BilinearTable t{};
    for (int fy = 0; fy < 8; ++fy)
        for (int fx = 0; fx < 8; ++fx) {
            int w[4] = {((8 - fx) * (8 - fy) + 4) / 8, (fx * (8 - fy) + 4) / 8, ((8 - fx) * fy + 4) / 8, (fx * fy + 4) / 8};
            int big = 0;
            for (int i = 1; i < 4; ++i)
                if (w[i] > w[big]) big = i;
            w[big] += 8 - (w[0] + w[1] + w[2] + w[3]);
            for (int i = 0; i < 4; ++i) t.w[fy][fx][i] = static_cast<uint8_t>(w[i]);
        }
    return t;
}

constexpr BilinearTable kBil = MakeBilinear();

struct SquaresTable {
    uint16_t v[258];
};

constexpr SquaresTable MakeSquares()
{
    SquaresTable t{};
    for (int i = 0; i < 258; ++i) t.v[i] = static_cast<uint16_t>(std::min(i * i, 0xFFFF));
    return t;
}

constexpr SquaresTable kSq = MakeSquares();

}  // namespace

const uint8_t kBilinear[8][8][4] = {
#define W(fy, fx) {kBil.w[fy][fx][0], kBil.w[fy][fx][1], kBil.w[fy][fx][2], kBil.w[fy][fx][3]}
#define ROW(fy) {W(fy, 0), W(fy, 1), W(fy, 2), W(fy, 3), W(fy, 4), W(fy, 5), W(fy, 6), W(fy, 7)}
    ROW(0), ROW(1), ROW(2), ROW(3), ROW(4), ROW(5), ROW(6), ROW(7)
#undef ROW
#undef W
};

const uint16_t kSquares[258] = {
#define S(i) kSq.v[i]
#define S10(i) S(i), S(i + 1), S(i + 2), S(i + 3), S(i + 4), S(i + 5), S(i + 6), S(i + 7), S(i + 8), S(i + 9)
    S10(0), S10(10), S10(20), S10(30), S10(40), S10(50), S10(60), S10(70), S10(80), S10(90), S10(100), S10(110), S10(120),
    S10(130), S10(140), S10(150), S10(160), S10(170), S10(180), S10(190), S10(200), S10(210), S10(220), S10(230), S10(240),
    S(250), S(251), S(252), S(253), S(254), S(255), S(256), S(257)
#undef S10
#undef S
};

int BitsPerPixelOfFormat(int format)
{
    static constexpr int kBits[] = {1, 2, 4, 8, 16, 16, 24, 32, 32};
    return format >= 0 && format < 9 ? kBits[format] : 0;
}

void PixelTarget::NewLine()
{
    const size_t n = static_cast<size_t>(width + std::abs(xOrigin) + 2) * 3;
    if (errCur.size() != n) {
        errCur.assign(n, 0);
        errNext.assign(n, 0);
        return;
    }
    std::swap(errCur, errNext);
    std::fill(errNext.begin(), errNext.end(), 0);
}

namespace {

ColorRecord PaletteRecord(const PixelTarget& t, unsigned index)
{
    const uint32_t c = t.palette ? t.palette[index & 255] : 0;
    return MakeRecord((c >> 16) & 255, (c >> 8) & 255, c & 255, 255);
}

// ---- readers ---------------------------------------------------------------

template <int Bits>
void ReadIndexed(const PixelTarget& t, int y, int x0, int x1, ColorRecord* out)
{
    const uint8_t* row = t.Row(y);
    constexpr int perByte = 8 / Bits;
    constexpr unsigned mask = (1u << Bits) - 1;
    for (int x = x0; x < x1; ++x) {
        const int shift = 8 - Bits * (x % perByte + 1);
        *out++ = PaletteRecord(t, (row[x / perByte] >> shift) & mask);
    }
}

void Read8(const PixelTarget& t, int y, int x0, int x1, ColorRecord* out)
{
    const uint8_t* row = t.Row(y);
    for (int x = x0; x < x1; ++x) *out++ = PaletteRecord(t, row[x]);
}

void Read555(const PixelTarget& t, int y, int x0, int x1, ColorRecord* out)
{
    const uint8_t* row = t.Row(y);
    for (int x = x0; x < x1; ++x) {
        uint16_t v;
        std::memcpy(&v, row + 2 * x, 2);
        *out++ = MakeRecord(kExpand5[(v >> 10) & 31], kExpand5[(v >> 5) & 31], kExpand5[v & 31], 255);
    }
}

void Read565(const PixelTarget& t, int y, int x0, int x1, ColorRecord* out)
{
    const uint8_t* row = t.Row(y);
    for (int x = x0; x < x1; ++x) {
        uint16_t v;
        std::memcpy(&v, row + 2 * x, 2);
        *out++ = MakeRecord(kExpand5[(v >> 11) & 31], kExpand6[(v >> 5) & 63], kExpand5[v & 31], 255);
    }
}

void Read24(const PixelTarget& t, int y, int x0, int x1, ColorRecord* out)
{
    const uint8_t* row = t.Row(y);
    for (int x = x0; x < x1; ++x) *out++ = MakeRecord(row[3 * x + 2], row[3 * x + 1], row[3 * x], 255);
}

void Read32(const PixelTarget& t, int y, int x0, int x1, ColorRecord* out)
{
    const uint8_t* row = t.Row(y);
    for (int x = x0; x < x1; ++x) {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        *out++ = MakeRecord((v >> 16) & 255, (v >> 8) & 255, v & 255, v >> 24);
    }
}

// ---- writers ---------------------------------------------------------------

// Palette index of one colour by the target's dither mode.
inline uint8_t DitherIndex(PixelTarget& t, int y, int x, unsigned r, unsigned g, unsigned b)
{
    if (!t.inverse) return 0;
    if (t.ditherMode == 1) {
        const unsigned d = kOrderedDither8[y & 7][(x + t.xOrigin) & 7];
        auto nib = [d](unsigned c) { return std::min(15u, (c + d) >> 4); };
        return t.inverse[nib(r) << 8 | nib(g) << 4 | nib(b)];
    }
    if (t.ditherMode == 2 && !t.errCur.empty()) {
        const int i = (x + t.xOrigin + std::abs(t.xOrigin) + 1) * 3;
        const int n = kNoise8[y & 7][(x + t.xOrigin) & 7];
        const int wanted[3] = {int(r) + t.errCur[i], int(g) + t.errCur[i + 1], int(b) + t.errCur[i + 2]};
        unsigned nib[3];
        for (int k = 0; k < 3; ++k) {
            const int v = wanted[k] + n;
            nib[k] = v < 0 ? 0 : v >= 256 ? 15 : unsigned(v) >> 4;
        }
        const uint8_t index = t.inverse[nib[0] << 8 | nib[1] << 4 | nib[2]];
        const uint32_t pc = t.palette ? t.palette[index] : 0;
        const int got[3] = {int((pc >> 16) & 255), int((pc >> 8) & 255), int(pc & 255)};
        const int last = static_cast<int>(t.errCur.size()) - 3;
        for (int k = 0; k < 3; ++k) {
            const int e = wanted[k] - got[k];
            if (i + 3 <= last) t.errCur[i + 3 + k] += e >> 1;
            if (i - 3 >= 0) t.errNext[i - 3 + k] += e >> 2;
            t.errNext[i + k] += e >> 2;
        }
        return index;
    }
    return t.inverse[InverseIndex(r, g, b)];
}

template <int Bits>
void WriteIndexed(PixelTarget& t, int y, int x0, int x1, const ColorRecord* in)
{
    uint8_t* row = t.Row(y);
    constexpr int perByte = 8 / Bits;
    constexpr unsigned mask = (1u << Bits) - 1;
    for (int x = x0; x < x1; ++x, ++in) {
        const unsigned index = DitherIndex(t, y, x, RecRed(*in), RecGreen(*in), RecBlue(*in)) & mask;
        const int shift = 8 - Bits * (x % perByte + 1);
        uint8_t& byte = row[x / perByte];
        byte = static_cast<uint8_t>((byte & ~(mask << shift)) | index << shift);
    }
}

void Write8(PixelTarget& t, int y, int x0, int x1, const ColorRecord* in)
{
    uint8_t* row = t.Row(y);
    for (int x = x0; x < x1; ++x, ++in) row[x] = DitherIndex(t, y, x, RecRed(*in), RecGreen(*in), RecBlue(*in));
}

void Write555(PixelTarget& t, int y, int x0, int x1, const ColorRecord* in)
{
    uint8_t* row = t.Row(y);
    for (int x = x0; x < x1; ++x, ++in) {
        unsigned r = RecRed(*in), g = RecGreen(*in), b = RecBlue(*in);
        uint16_t v;
        if (t.ditherMode) {
            const unsigned d = kDither4[y & 3][(x + t.xOrigin) & 3];
            v = static_cast<uint16_t>(std::min(31u, (r + d) >> 3) << 10 | std::min(31u, (g + d) >> 3) << 5 | std::min(31u, (b + d) >> 3));
        } else {
            v = static_cast<uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
        }
        std::memcpy(row + 2 * x, &v, 2);
    }
}

void Write565(PixelTarget& t, int y, int x0, int x1, const ColorRecord* in)
{
    uint8_t* row = t.Row(y);
    for (int x = x0; x < x1; ++x, ++in) {
        unsigned r = RecRed(*in), g = RecGreen(*in), b = RecBlue(*in);
        uint16_t v;
        if (t.ditherMode) {
            const unsigned d = kDither4[y & 3][(x + t.xOrigin) & 3];
            const unsigned rr = r + d > 254 ? 0xF800 : ((r + d) & 0xF8) << 8;
            const unsigned gg = g + d / 2 > 254 ? 0x7E0 : ((g + d / 2) & 0xFC) << 3;
            const unsigned bb = b + d > 254 ? 31 : (b + d) >> 3;
            v = static_cast<uint16_t>(rr | gg | bb);
        } else {
            v = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
        }
        std::memcpy(row + 2 * x, &v, 2);
    }
}

void Write24(PixelTarget& t, int y, int x0, int x1, const ColorRecord* in)
{
    uint8_t* row = t.Row(y);
    for (int x = x0; x < x1; ++x, ++in) {
        row[3 * x] = static_cast<uint8_t>(RecBlue(*in));
        row[3 * x + 1] = static_cast<uint8_t>(RecGreen(*in));
        row[3 * x + 2] = static_cast<uint8_t>(RecRed(*in));
    }
}

void Write32(PixelTarget& t, int y, int x0, int x1, const ColorRecord* in)
{
    uint32_t* row = reinterpret_cast<uint32_t*>(t.Row(y));
    for (int x = x0; x < x1; ++x, ++in) {
        const uint64_t c = *in;
        // b | g << 8 | r << 16 | a << 24 from the 16-bit slots.
        row[x] = static_cast<uint32_t>((c & 0xFF) | ((c >> 8) & 0xFF00) | ((c >> 16) & 0xFF0000) | ((c >> 24) & 0xFF000000));
    }
}

}  // namespace

PixelReader ReaderForFormat(int format)
{
    static constexpr PixelReader kReaders[9] = {ReadIndexed<1>, ReadIndexed<2>, ReadIndexed<4>, Read8, Read555,
                                                Read565,        Read24,         Read32,         Read32};
    return format >= 0 && format < 9 ? kReaders[format] : nullptr;
}

PixelWriter WriterForFormat(int format)
{
    static constexpr PixelWriter kWriters[9] = {WriteIndexed<1>, WriteIndexed<2>, WriteIndexed<4>, Write8, Write555,
                                                Write565,        Write24,         Write32,         Write32};
    return format >= 0 && format < 9 ? kWriters[format] : nullptr;
}

namespace {

// One pixel of a colour in the target's format, as bytes (little-endian).
uint32_t PixelValue(const PixelTarget& t, ColorRecord c, int index)
{
    const unsigned r = RecRed(c), g = RecGreen(c), b = RecBlue(c), a = RecAlpha(c);
    switch (t.format) {
    case 0: case 1: case 2: case 3: return static_cast<uint32_t>(index);
    case 4: return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    case 5: return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
    case 6: return b | g << 8 | r << 16;
    default: return b | g << 8 | r << 16 | a << 24;
    }
}

}  // namespace

void MakeSolidPattern(const PixelTarget& t, ColorRecord a, ColorRecord b, int indexA, int indexB, uint16_t bits,
                      int xPhase, SolidPattern& out)
{
    const uint32_t va = PixelValue(t, a, indexA), vb = PixelValue(t, b, indexB);
    const int bpp = BitsPerPixelOfFormat(t.format);
    out = SolidPattern{};
    for (int row = 0; row < 4; ++row) {
        unsigned nib = (bits >> (12 - 4 * row)) & 15;
        nib = ((nib << (xPhase & 3)) | (nib >> (4 - (xPhase & 3)))) & 15;
        for (int col = 0; col < 4; ++col) {
            const uint32_t v = (nib >> (3 - col)) & 1 ? va : vb;
            if (bpp >= 8) {
                const int bytes = bpp / 8;
                for (int k = 0; k < bytes; ++k) out.rows[row][col * bytes + k] = static_cast<uint8_t>(v >> (8 * k));
            } else {
                // Sub-byte formats: pixel col in the format's bit order.
                const int perByte = 8 / bpp;
                const int shift = 8 - bpp * (col % perByte + 1);
                out.rows[row][col / perByte] |= static_cast<uint8_t>((v & ((1u << bpp) - 1)) << shift);
            }
        }
    }
    out.uniform = bits == 0xFFFF || va == vb;
    out.word = va;
}

void PaintSolid(PixelTarget& t, const SolidPattern& p, int y, int x0, int x1, int yPhase)
{
    if (x0 >= x1) return;
    uint8_t* row = t.Row(y);
    const uint8_t* pr = p.rows[(y + yPhase) & 3];
    const int ox = t.xOrigin;
    switch (t.format) {
    case 7:
    case 8: {
        uint32_t* d = reinterpret_cast<uint32_t*>(row);
        if (p.uniform) {
            Fill32(d + x0, static_cast<size_t>(x1 - x0), p.word);
        } else {
            for (int x = x0; x < x1; ++x) std::memcpy(d + x, pr + 4 * ((x + ox) & 3), 4);
        }
        break;
    }
    case 6:
        for (int x = x0; x < x1; ++x) std::memcpy(row + 3 * x, pr + 3 * ((x + ox) & 3), 3);
        break;
    case 4:
    case 5:
        if (p.uniform) {
            const uint16_t v = static_cast<uint16_t>(p.word);
            uint16_t* d = reinterpret_cast<uint16_t*>(row);
            std::fill(d + x0, d + x1, v);
        } else {
            for (int x = x0; x < x1; ++x) std::memcpy(row + 2 * x, pr + 2 * ((x + ox) & 3), 2);
        }
        break;
    default: {
        // Palette formats: the pattern row, rotated by the x origin, repeats
        // every 4 bytes (8-bit: 4 pixels per 4 bytes; 4-, 2- and 1-bit: 8, 16
        // and 32 pixels per 4 bytes, all multiples of the 4-pixel pattern).
        // Whole bytes are copied from that 4-byte unit; the bytes at the two
        // ends are merged under a mask.
        if (t.format == 3 && p.uniform) {
            std::memset(row + x0, p.word & 255, static_cast<size_t>(x1 - x0));
            break;
        }
        const int bpp = BitsPerPixelOfFormat(t.format);
        const int perByte = 8 / bpp;
        const unsigned pixMask = (1u << bpp) - 1;
        uint8_t unit[4] = {0, 0, 0, 0};
        for (int i = 0; i < 4 * perByte; ++i) {
            // pixel i of the unit has pattern column (i + ox) & 3
            const int col = (i + ox) & 3;
            const unsigned v = (pr[col / perByte] >> (8 - bpp * (col % perByte + 1))) & pixMask;
            unit[i / perByte] = static_cast<uint8_t>(unit[i / perByte] | v << (8 - bpp * (i % perByte + 1)));
        }
        const int b0 = x0 / perByte, b1 = (x1 - 1) / perByte;  // first and last byte touched
        auto maskFor = [&](int from, int to) {  // pixels from..to-1 of one byte
            unsigned m = 0;
            for (int i = from; i < to; ++i) m |= pixMask << (8 - bpp * (i + 1));
            return static_cast<uint8_t>(m);
        };
        if (b0 == b1) {
            const uint8_t m = maskFor(x0 % perByte, (x1 - 1) % perByte + 1);
            row[b0] = static_cast<uint8_t>((row[b0] & ~m) | (unit[b0 & 3] & m));
            break;
        }
        int b = b0;
        if (x0 % perByte) {
            const uint8_t m = maskFor(x0 % perByte, perByte);
            row[b] = static_cast<uint8_t>((row[b] & ~m) | (unit[b & 3] & m));
            ++b;
        }
        const int lastWhole = (x1 % perByte) ? b1 - 1 : b1;
        for (; b <= lastWhole; ++b) row[b] = unit[b & 3];
        if (x1 % perByte) {
            const uint8_t m = maskFor(0, x1 % perByte);
            row[b1] = static_cast<uint8_t>((row[b1] & ~m) | (unit[b1 & 3] & m));
        }
        break;
    }
    }
}

}  // namespace movie
