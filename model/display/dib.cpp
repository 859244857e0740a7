#include "model/display/dib.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t Get32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void Put32(std::uint8_t* p, std::uint32_t v) { p[0] = v & 0xFF; p[1] = (v >> 8) & 0xFF; p[2] = (v >> 16) & 0xFF; p[3] = v >> 24; }
void Put16(std::uint8_t* p, std::uint16_t v) { p[0] = v & 0xFF; p[1] = v >> 8; }

// Bit position and width of a channel mask, for 16- and 32-bit pixels.
struct Channel {
    int shift = 0;
    int bits = 0;
};
Channel ChannelOf(std::uint32_t mask)
{
    Channel c;
    if (!mask) return c;
    while (!(mask & 1)) { mask >>= 1; ++c.shift; }
    while (mask & 1) { mask >>= 1; ++c.bits; }
    return c;
}
int Expand(std::uint32_t pixel, Channel c)
{
    if (c.bits == 0) return 0;
    // A mask may cover all 32 bits: widen before shifting.
    const std::uint32_t v = static_cast<std::uint32_t>((pixel >> c.shift) & ((std::uint64_t(1) << c.bits) - 1));
    if (c.bits >= 8) return static_cast<int>((v >> (c.bits - 8)) & 0xFF);
    // Replicate the top bits so full scale is 255.
    std::uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << c.bits) | v;
        filled += c.bits;
    }
    return static_cast<int>(out >> (filled - 8));
}

} // namespace

void BITMAPINFOHEADER::Write(std::uint8_t* out) const
{
    Put32(out + 0, biSize);
    Put32(out + 4, static_cast<std::uint32_t>(biWidth));
    Put32(out + 8, static_cast<std::uint32_t>(biHeight));
    Put16(out + 12, biPlanes);
    Put16(out + 14, biBitCount);
    Put32(out + 16, biCompression);
    Put32(out + 20, biSizeImage);
    Put32(out + 24, static_cast<std::uint32_t>(biXPelsPerMeter));
    Put32(out + 28, static_cast<std::uint32_t>(biYPelsPerMeter));
    Put32(out + 32, biClrUsed);
    Put32(out + 36, biClrImportant);
}

bool BITMAPINFOHEADER::Read(const std::uint8_t* in, std::size_t size)
{
    if (size < 40) return false;
    biSize = Get32(in + 0);
    biWidth = static_cast<std::int32_t>(Get32(in + 4));
    biHeight = static_cast<std::int32_t>(Get32(in + 8));
    biPlanes = Get16(in + 12);
    biBitCount = Get16(in + 14);
    biCompression = Get32(in + 16);
    biSizeImage = Get32(in + 20);
    biXPelsPerMeter = static_cast<std::int32_t>(Get32(in + 24));
    biYPelsPerMeter = static_cast<std::int32_t>(Get32(in + 28));
    biClrUsed = Get32(in + 32);
    biClrImportant = Get32(in + 36);
    return true;
}

std::uint32_t DibHeaderSize(const PackedDib& dib)
{
    if (dib.size() < 4) return 0;
    const std::uint32_t size = Get32(dib.data());
    if (size == 12 && dib.size() >= 12) return 12;
    if (size >= 40 && dib.size() >= 40) return 40;
    return 0;
}

int DibColourCount(const PackedDib& dib)
{
    const std::uint32_t hs = DibHeaderSize(dib);
    int bits = 0;
    if (hs == 40) {
        const std::uint32_t used = Get32(dib.data() + 32);
        bits = Get16(dib.data() + 14);
        // More entries than the bit depth can index is a damaged header.
        if (used != 0) return static_cast<int>(std::min<std::uint32_t>(used, 256));
    } else if (hs == 12) {
        bits = Get16(dib.data() + 10);
    } else {
        return 0;
    }
    switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

int DibPaletteSize(const PackedDib& dib)
{
    return DibColourCount(dib) * (DibHeaderSize(dib) == 12 ? 3 : 4);
}

std::size_t DibFindBits(const PackedDib& dib)
{
    std::size_t off = DibHeaderSize(dib) + static_cast<std::size_t>(DibPaletteSize(dib));
    if (DibHeaderSize(dib) == 40 && Get32(dib.data() + 16) == BI_BITFIELDS) off += 12;
    return off;
}

int DibWidth(const PackedDib& dib)
{
    const std::uint32_t hs = DibHeaderSize(dib);
    if (hs == 40) return static_cast<std::int32_t>(Get32(dib.data() + 4));
    if (hs == 12) return Get16(dib.data() + 4);
    return 0;
}

int DibHeight(const PackedDib& dib)
{
    const std::uint32_t hs = DibHeaderSize(dib);
    if (hs == 40) return static_cast<std::int32_t>(Get32(dib.data() + 8));
    if (hs == 12) return Get16(dib.data() + 6);
    return 0;
}

PackedDib DibCopy(const PackedDib& dib) { return dib; }

bool DibCreatePalette(const PackedDib& dib, CPalette& palette)
{
    if (DibColourCount(dib) == 0) return false;
    palette.m_created = true;
    return true;
}

std::int64_t DibStride(std::int64_t width, int bits) { return ((width * bits + 31) / 32) * 4; }

bool DibToImage(const PackedDib& dib, QImage& out)
{
    const std::uint32_t hs = DibHeaderSize(dib);
    if (hs == 0) return false;
    int bits;
    std::uint32_t compression = BI_RGB;
    std::int64_t width, height;
    if (hs == 40) {
        bits = Get16(dib.data() + 14);
        compression = Get32(dib.data() + 16);
        if (Get16(dib.data() + 12) != 1) return false;
        if (Get32(dib.data() + 32) > 256 && bits <= 8) return false;
    } else {
        bits = Get16(dib.data() + 10);
    }
    width = DibWidth(dib);
    height = DibHeight(dib);
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > CBitmap::kMaxSide || height > CBitmap::kMaxSide) return false;
    if (width * height > kMaxDibPixels) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bits == 16 || bits == 32))) return false;
    const int colours = DibColourCount(dib);
    if (bits <= 8 && hs == 40 && Get32(dib.data() + 32) > (1u << bits)) return false;
    const std::size_t bitsAt = DibFindBits(dib);
    const std::int64_t stride = DibStride(width, bits);
    if (bitsAt > dib.size() || static_cast<std::int64_t>(dib.size() - bitsAt) < stride * height) return false;

    QRgb table[256];
    for (int i = 0; i < 256; ++i) table[i] = 0xFF000000u;
    const int entry = hs == 12 ? 3 : 4;
    for (int i = 0; i < colours; ++i) {
        const std::uint8_t* e = dib.data() + hs + static_cast<std::size_t>(i) * entry;
        table[i] = qRgb(e[2], e[1], e[0]);
    }
    Channel r{10, 5}, g{5, 5}, b{0, 5};
    if (bits == 32) { r = {16, 8}; g = {8, 8}; b = {0, 8}; }
    if (compression == BI_BITFIELDS) {
        const std::uint8_t* m = dib.data() + hs;
        r = ChannelOf(Get32(m));
        g = ChannelOf(Get32(m + 4));
        b = ChannelOf(Get32(m + 8));
    }

    out = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (out.isNull()) return false;
    for (std::int64_t row = 0; row < height; ++row) {
        const std::uint8_t* src = dib.data() + bitsAt + row * stride;
        const int y = static_cast<int>(topDown ? row : height - 1 - row);
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (std::int64_t x = 0; x < width; ++x) {
            switch (bits) {
            case 1: dst[x] = table[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: dst[x] = table[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
            case 8: dst[x] = table[src[x]]; break;
            case 16: {
                const std::uint32_t p = Get16(src + 2 * x);
                dst[x] = qRgb(Expand(p, r), Expand(p, g), Expand(p, b));
                break;
            }
            case 24: dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
            case 32: {
                const std::uint32_t p = Get32(src + 4 * x);
                dst[x] = qRgb(Expand(p, r), Expand(p, g), Expand(p, b));
                break;
            }
            }
        }
    }
    return true;
}

bool CreateBitmapFromDib(const PackedDib& dib, CPalette*, CBitmap& out)
{
    QImage image;
    if (!DibToImage(dib, image)) return false;
    return out.Attach(image);
}

std::uint32_t InitDibHeader(BITMAPINFOHEADER& header, int width, int height, int deviceBits, bool fullColour)
{
    header = BITMAPINFOHEADER();
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    int bits;
    if (deviceBits <= 1) bits = 1;
    else if (deviceBits <= 4) bits = 4;
    else if (deviceBits <= 8) bits = 8;
    else if (deviceBits == 16 && !fullColour) bits = 4;
    else bits = 24;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    const std::int64_t h = height < 0 ? -static_cast<std::int64_t>(height) : height;
    header.biSizeImage = static_cast<std::uint32_t>(h * DibStride(width, bits));
    return header.biSizeImage;
}

PackedDib GetDibFromBitmap(CDC*, const CBitmap& bitmap, int& width, int& height, CPalette** palette, bool topDown,
                           bool fullColour)
{
    PackedDib dib;
    if (bitmap.IsNull()) return dib;
    width = bitmap.GetSize().cx;
    height = bitmap.GetSize().cy;
    if (palette) *palette = nullptr;
    BITMAPINFOHEADER h;
    InitDibHeader(h, width, topDown ? -height : height, bitmap.BitsPixel(), fullColour);
    const int bits = h.biBitCount;
    const int colours = bits <= 8 ? (1 << bits) : 0;
    const std::int64_t stride = DibStride(width, bits);
    dib.assign(40 + static_cast<std::size_t>(colours) * 4 + static_cast<std::size_t>(stride * height), 0);
    h.biClrUsed = 0;
    h.Write(dib.data());
    // The colour table: black and white for 1 bit, the 16 standard colours
    // for 4, a 6 x 6 x 6 cube and greys for 8.
    std::vector<QRgb> table(static_cast<std::size_t>(colours));
    if (colours == 2) { table[0] = qRgb(0, 0, 0); table[1] = qRgb(255, 255, 255); }
    else if (colours == 16) {
        static const QRgb vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                     0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        for (int i = 0; i < 16; ++i) table[static_cast<std::size_t>(i)] = vga[i] | 0xFF000000u;
    } else if (colours == 256) {
        for (int i = 0; i < 216; ++i) table[static_cast<std::size_t>(i)] = qRgb((i / 36) * 51, ((i / 6) % 6) * 51, (i % 6) * 51);
        for (int i = 216; i < 256; ++i) { int v = (i - 216) * 255 / 39; table[static_cast<std::size_t>(i)] = qRgb(v, v, v); }
    }
    for (int i = 0; i < colours; ++i) {
        std::uint8_t* e = dib.data() + 40 + 4 * i;
        e[0] = static_cast<std::uint8_t>(qBlue(table[static_cast<std::size_t>(i)]));
        e[1] = static_cast<std::uint8_t>(qGreen(table[static_cast<std::size_t>(i)]));
        e[2] = static_cast<std::uint8_t>(qRed(table[static_cast<std::size_t>(i)]));
    }
    auto nearest = [&](QRgb c) {
        int best = 0;
        long bestD = -1;
        for (int i = 0; i < colours; ++i) {
            const QRgb t = table[static_cast<std::size_t>(i)];
            const long d = (qRed(c) - qRed(t)) * (qRed(c) - qRed(t)) + (qGreen(c) - qGreen(t)) * (qGreen(c) - qGreen(t)) +
                           (qBlue(c) - qBlue(t)) * (qBlue(c) - qBlue(t));
            if (bestD < 0 || d < bestD) { bestD = d; best = i; }
        }
        return best;
    };
    std::uint8_t* bitsOut = dib.data() + 40 + colours * 4;
    const QImage& img = bitmap.Image();
    for (int y = 0; y < height; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        std::uint8_t* row = bitsOut + (topDown ? y : height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            switch (bits) {
            case 1: if (nearest(src[x])) row[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7)); break;
            case 4: row[x >> 1] |= static_cast<std::uint8_t>(nearest(src[x]) << ((x & 1) ? 0 : 4)); break;
            case 8: row[x] = static_cast<std::uint8_t>(nearest(src[x])); break;
            default:
                row[3 * x] = static_cast<std::uint8_t>(qBlue(src[x]));
                row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(src[x]));
                row[3 * x + 2] = static_cast<std::uint8_t>(qRed(src[x]));
                break;
            }
        }
    }
    return dib;
}

bool DibPaint(CDC* dc, const CRect& destination, const PackedDib& dib, const CRect& source, CPalette*)
{
    if (!dc) return false;
    CBitmap bitmap;
    if (!CreateBitmapFromDib(dib, nullptr, bitmap)) return false;
    CDC mem;
    mem.CreateCompatibleDC(dc);
    mem.SelectObject(&bitmap);
    const int oldMode = dc->SetStretchBltMode(3);
    bool ok;
    if (destination.Width() == source.Width() && destination.Height() == source.Height())
        ok = dc->BitBlt(destination.left, destination.top, destination.Width(), destination.Height(), &mem,
                        source.left, source.top, SRCCOPY);
    else
        ok = dc->StretchBlt(destination.left, destination.top, destination.Width(), destination.Height(), &mem,
                            source.left, source.top, source.Width(), source.Height(), SRCCOPY);
    dc->SetStretchBltMode(oldMode);
    return ok;
}
