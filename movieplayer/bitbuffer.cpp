#include "movieplayer/bitbuffer.h"

#include "movieplayer/fixed.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

namespace movie {

InverseColorTable* InverseColorTable::Build(const uint32_t* palette, int count)
{
    auto* t = new (std::nothrow) InverseColorTable;
    if (!t) return nullptr;
    t->count = static_cast<uint32_t>(count < 0 ? 0 : count > 256 ? 256 : count);
    for (uint32_t i = 0; i < t->count; ++i) t->palette[i] = palette[i] & 0xFFFFFF;
    if (t->count == 0) return t;
    uint8_t dist[4096];
    std::memset(dist, 255, sizeof dist);
    int unset = 4096;
    bool everSet[4096] = {};
    auto level = [](int nib) { return nib == 15 ? 255 : nib * 16; };
    // Growing boxes around each entry's own cell; radius 3 takes the whole
    // box, every later radius only its new shell (inner cells were already
    // compared, and a comparison only replaces on a strictly smaller distance).
    for (int r = 3; r <= 15 && unset > 0; ++r) {
        for (uint32_t j = 0; j < t->count; ++j) {
            const int cr = (t->palette[j] >> 16) & 255, cg = (t->palette[j] >> 8) & 255, cb = t->palette[j] & 255;
            const int nr = cr >> 4, ng = cg >> 4, nb = cb >> 4;
            auto visit = [&](int R, int G, int B) {
                int d = std::abs(level(R) - cr) + std::abs(level(G) - cg) + std::abs(level(B) - cb);
                if (d > 254) d = 254;
                const int cell = R << 8 | G << 4 | B;
                if (d < dist[cell]) {
                    dist[cell] = static_cast<uint8_t>(d);
                    t->table[cell] = static_cast<uint8_t>(j);
                    if (!everSet[cell]) {
                        everSet[cell] = true;
                        --unset;
                    }
                }
            };
            for (int R = std::max(0, nr - r); R <= std::min(15, nr + r); ++R)
                for (int G = std::max(0, ng - r); G <= std::min(15, ng + r); ++G) {
                    if (r == 3 || std::abs(R - nr) == r || std::abs(G - ng) == r) {
                        for (int B = std::max(0, nb - r); B <= std::min(15, nb + r); ++B) visit(R, G, B);
                    } else {
                        if (nb - r >= 0) visit(R, G, nb - r);
                        if (nb + r <= 15) visit(R, G, nb + r);
                    }
                }
        }
    }
    return t;
}

namespace {

// The tables of the last few palettes, most recent first (chained by next),
// each holding one reference.  Buffers of one palette share a table.
struct RecentTables {
    std::mutex lock;
    InverseColorTable* first = nullptr;
    static constexpr int kKept = 4;
};

RecentTables& Recent()
{
    static RecentTables recent;
    return recent;
}

bool SamePalette(const InverseColorTable& t, const uint32_t* palette, int count)
{
    const uint32_t n = static_cast<uint32_t>(count < 0 ? 0 : count > 256 ? 256 : count);
    if (t.count != n) return false;
    for (uint32_t i = 0; i < n; ++i)
        if (t.palette[i] != (palette[i] & 0xFFFFFF)) return false;
    return true;
}

} // namespace

InverseColorTable* InverseColorTable::Acquire(const uint32_t* palette, int count)
{
    if (!palette) count = 0;
    RecentTables& r = Recent();
    std::lock_guard<std::mutex> hold(r.lock);
    InverseColorTable** link = &r.first;
    for (InverseColorTable* t = r.first; t; link = &t->next, t = t->next)
        if (SamePalette(*t, palette, count)) {
            // Found: to the front of the list.
            *link = t->next;
            t->next = r.first;
            r.first = t;
            ++t->refCount;
            return t;
        }
    InverseColorTable* made = Build(palette, count);
    if (!made) return nullptr;
    made->refCount = 2; // the list's and the caller's
    made->next = r.first;
    r.first = made;
    // Past the kept number the oldest leaves the list (and goes with its
    // last holder).
    InverseColorTable* t = r.first;
    for (int i = 1; t && i < RecentTables::kKept; ++i) t = t->next;
    if (t && t->next) {
        InverseColorTable* old = t->next;
        t->next = nullptr;
        old->next = nullptr;
        if (--old->refCount <= 0) delete old;
    }
    return made;
}

void InverseColorTable::AddRef()
{
    std::lock_guard<std::mutex> hold(Recent().lock);
    ++refCount;
}

void InverseColorTable::Release()
{
    bool last = false;
    {
        std::lock_guard<std::mutex> hold(Recent().lock);
        last = --refCount <= 0;
    }
    if (last) delete this;
}

bool NativeBitmap::Create(int w, int h, int d, int fmt)
{
    Destroy();
    if (w <= 0 || h <= 0 || w > 0x8000 || h > 0x8000) return false;
    width = (w + 3) & ~3;
    height = h;
    depth = d;
    pixelFormat = fmt;
    rowBytes = (depth * width + 7) / 8;
    header = BitmapInfoHeader{};
    header.width = width;
    header.height = height;
    header.bitCount = static_cast<uint16_t>(depth);
    header.sizeImage = static_cast<uint32_t>(height) * static_cast<uint32_t>(rowBytes);
    header.clrUsed = header.clrImportant = depth <= 8 ? 1u << depth : 0;
    return true;
}

bool NativeBitmap::CreateDIB(const uint32_t* palette, int count)
{
    if (rowBytes <= 0) return false;
    if (depth <= 8) {
        if (!palette && count > 0) return false;
        std::memset(colors, 0, sizeof colors);
        for (int i = 0; i < count && i < 256; ++i) colors[i] = palette[i] & 0xFFFFFF;
    }
    std::free(bits);
    bits = static_cast<uint8_t*>(std::malloc(header.sizeImage));
    if (!bits) return false;
    std::memset(bits, 0xFF, header.sizeImage);
    return true;
}

void NativeBitmap::Destroy()
{
    std::free(bits);
    bits = nullptr;
}

bool CBitBuffer::Create(int screenDepth, int width, int height, const uint32_t* palette, int paletteCount)
{
    FreeBits();
    const int depth = screenDepth < 8 ? 8 : screenDepth;
    if (depth != lastDepth_) {
        lastDepth_ = depth;
        lastFormat_ = PixelFormatForDepth(depth);
    }
    if (lastFormat_ < 3 || lastFormat_ > 8) return false;
    if (lastFormat_ <= 3) {
        inverse_ = InverseColorTable::Acquire(palette, palette ? paletteCount : 0);
        if (!inverse_) return false;
    }
    bitmap_ = new (std::nothrow) NativeBitmap;
    if (!bitmap_) return false;
    if (!bitmap_->Create(width, height, depth, lastFormat_) ||
        !bitmap_->CreateDIB(palette, palette ? paletteCount : 0)) {
        FreeBits();
        return false;
    }
    return true;
}

void CBitBuffer::FreeBits()
{
    if (inverse_) inverse_->Release();
    inverse_ = nullptr;
    delete bitmap_;
    bitmap_ = nullptr;
}

PixelTarget CBitBuffer::Target() const
{
    PixelTarget t;
    if (!HasBits()) return t;
    t.bits = bitmap_->bits;
    t.rowBytes = bitmap_->rowBytes;
    t.width = bitmap_->width;
    t.height = bitmap_->height;
    t.bottomUp = bottomUp;
    t.format = bitmap_->pixelFormat;
    t.xOrigin = xOrigin;
    if (inverse_) {
        t.inverse = inverse_->table;
        t.palette = bitmap_->colors;
    }
    return t;
}

}  // namespace movie
