#include "model/display/visual.h"

#include <algorithm>

#include "model/display/display.h"
#include "model/display/picture_source.h"

namespace {

// Row 0 leaves turned frames where the turn puts them.  Rows 1-3 move odd
// (quarter-turned) frames of pictures whose width and height differ in
// parity, so their pins stay on the design grid; the other rows are free
// for classes that need their own correction.
constexpr CPoint kOffsets[20][8] = {
    {},
    {{0, 0}, {1, 0}, {0, 0}, {1, 0}, {0, 0}, {1, 0}, {0, 0}, {1, 0}},
    {{0, 0}, {0, 1}, {0, 0}, {0, 1}, {0, 0}, {0, 1}, {0, 0}, {0, 1}},
    {{0, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 0}, {1, 1}},
};

std::vector<CVisual*>& Registry()
{
    static std::vector<CVisual*> all;
    return all;
}

QRgb At(const QImage& img, int x, int y) { return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]; }

} // namespace

CPoint TurnDoubled(CPoint d, int orientation) { return TurnPoint(d, CPoint(0, 0), orientation, 0); }

CPoint CVisual::OffsetTable(int row, int orientation)
{
    if (row < 0 || row >= 20) return {};
    return kOffsets[row][orientation & 7];
}

const std::vector<CVisual*>& CVisual::All() { return Registry(); }

CVisual::CVisual(int imageCode, int iconCell, int bitmapId, int frameCount, int offsetX, int offsetY, int width,
                 int height, int stripId, const int* idTable, CVisual* alternate, int highColourId, int sameLayout)
    : m_stripId(stripId), m_frameCount(std::max(frameCount, 1)), m_size(width, height), m_offset(offsetX, offsetY),
      m_imageIndex(imageCode < 0 ? -imageCode : imageCode), m_iconCell(iconCell), m_alternate(alternate),
      m_sameLayout(sameLayout), m_marginPins(imageCode < 0)
{
    // The surface is true colour, so the high-colour pictures are chosen
    // whenever a class has them.
    m_highColour = highColourId != 0 || (idTable && GetScreenColourBits() > 4);
    if (idTable) {
        for (int i = 0; i < 8; ++i) m_ids[i] = idTable[(m_highColour ? 8 : 0) + i];
    } else {
        m_ids[0] = highColourId ? highColourId : bitmapId;
    }
    Registry().push_back(this);
}

CVisual::~CVisual()
{
    auto& all = Registry();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

int CVisual::GetRestFrame() const
{
    const PictureSource* source = FindPicture(m_ids[0]);
    return source && source->restFrame < m_frameCount ? source->restFrame : -1;
}

CSize CVisual::GetSize(int orientation) const
{
    return IsOddOrientation(orientation) ? CSize(m_size.cy, m_size.cx) : m_size;
}

bool CVisual::UsesResourceLayout(int o) const
{
    o &= 7;
    return m_ids[o] != 0 && !m_generated[o] && (o == 0 || m_sameLayout);
}

CPoint CVisual::GetFrameOrigin(int frame, int orientation) const
{
    const int o = orientation & 7;
    const bool resource = UsesResourceLayout(o);
    if (IsOddOrientation(o) && !resource) return {frame * m_size.cy, 0};
    if (resource) {
        const int e = (frame >= 1 && m_marginPins) ? 2 : 0;
        return m_offset + CPoint(frame * (m_size.cx + m_frameGap) + e, 0);
    }
    return {frame * m_size.cx, 0};
}

bool CVisual::LoadFrames()
{
    if (m_loaded) return m_ids[0] != 0;
    m_loaded = true;
    if (!m_ids[0] || !m_frames[0].LoadBitmap256(m_ids[0])) {
        m_ids[0] = 0;
        return false;
    }
    for (int o = 1; o < 8; ++o) {
        if (!(m_mask & (1 << o))) continue;
        if (m_ids[o]) {
            if (!m_frames[o].LoadBitmap256(m_ids[o])) m_ids[o] = 0;
        } else {
            BuildOrientation(o);
        }
    }
    return true;
}

bool CVisual::BuildOrientation(int o)
{
    const QImage& src = m_frames[0].Image();
    if (src.isNull()) return false;
    const int W = m_size.cx, H = m_size.cy;
    const CSize turned = GetSize(o);
    const int TW = turned.cx, TH = turned.cy;
    const QRgb background = At(src, 0, 0);
    auto build = [&](CPoint shift, QImage& dst) {
        dst = QImage(m_frameCount * TW, TH, QImage::Format_RGB32);
        if (dst.isNull()) return false;
        dst.fill(background);
        for (int k = 0; k < m_frameCount; ++k) {
            const CPoint so = GetFrameOrigin(k, 0);
            for (int sy = 0; sy < H; ++sy) {
                if (so.y + sy < 0 || so.y + sy >= src.height()) continue;
                for (int sx = 0; sx < W; ++sx) {
                    if (so.x + sx < 0 || so.x + sx >= src.width()) continue;
                    // Doubled coordinates about the frame centre ((W-1)/2, (H-1)/2).
                    const CPoint t = TurnDoubled({2 * sx - (W - 1), 2 * sy - (H - 1)}, o);
                    const int dx = (t.x + TW - 1) / 2 + shift.x;
                    const int dy = (t.y + TH - 1) / 2 + shift.y;
                    if (dx < 0 || dx >= TW || dy < 0 || dy >= TH) continue;
                    reinterpret_cast<QRgb*>(dst.scanLine(dy))[k * TW + dx] = At(src, so.x + sx, so.y + sy);
                }
            }
        }
        return true;
    };
    // Pin marks on the outer ring of frame 0.
    auto ringMarks = [&](const QImage& img, CPoint origin, int w, int h) {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (x != 0 && y != 0 && x != w - 1 && y != h - 1) continue;
                const int px = origin.x + x, py = origin.y + y;
                if (px >= 0 && py >= 0 && px < img.width() && py < img.height() && At(img, px, py) != background) ++n;
            }
        return n;
    };
    QImage dst;
    const CPoint shift = OffsetTable(m_offsetRow, o);
    if (!build(shift, dst)) return false;
    CPoint applied = shift;
    // A correction that pushes pin marks out of the frame would cost the
    // part a terminal: such frames stay where the turn puts them.
    if (shift != CPoint(0, 0) && !m_marginPins &&
        ringMarks(dst, CPoint(0, 0), TW, TH) < ringMarks(src, GetFrameOrigin(0, 0), W, H)) {
        if (!build(CPoint(0, 0), dst)) return false;
        applied = CPoint(0, 0);
    }
    if (!m_frames[o].Attach(dst)) return false;
    m_ids[o] = m_ids[0];
    m_generated[o] = true;
    m_shift[o] = applied;
    return true;
}

CBitmap256* CVisual::GetBitmap(int orientation)
{
    LoadFrames();
    const int o = orientation & 7;
    if (!m_ids[o] || m_frames[o].IsNull()) return nullptr;
    return &m_frames[o];
}

bool CVisual::HasPinAt(int x, int y, int frame, COLORREF* colour, int bitmapIndex)
{
    CBitmap256* bitmap = GetBitmap(bitmapIndex);
    if (!bitmap) return false;
    const QImage& img = bitmap->Image();
    const QRgb background = At(img, 0, 0);
    QRgb tested;
    if (m_marginPins && (x < 0 || y < 0)) {
        // Outside the margin: the background itself, never a pin.
        tested = background;
    } else {
        // Frames of a turned bitmap lie where that bitmap puts them.
        const CPoint p = GetFrameOrigin(frame, bitmapIndex) + CPoint(x, y);
        // A position beyond the bitmap is no pin (nothing is read there).
        if (p.x < 0 || p.y < 0 || p.x >= img.width() || p.y >= img.height()) return false;
        tested = At(img, p.x, p.y);
    }
    if (colour) *colour = ColourOf(tested);
    return tested != background;
}

bool CVisual::IsPinCell(int x, int y, int, int bitmapIndex) { return HasPinAt(x, y, 0, nullptr, bitmapIndex); }

std::vector<PinStub> CVisual::LayoutPins(int orientation)
{
    std::vector<PinStub> pins;
    const CSize s = GetSize(orientation);
    const int W = s.cx, H = s.cy;
    const int i = GetPinInset().x;
    for (int y = 0; y < H; ++y)
        if (IsPinCell(W - i, y, orientation, orientation)) pins.push_back({{W, y}, {W + 4, y}});
    for (int x = W - 1; x >= 0; --x)
        if (IsPinCell(x, H - i, orientation, orientation)) pins.push_back({{x, H}, {x, H + 4}});
    for (int y = H - 1; y >= 0; --y)
        if (IsPinCell(i - 1, y, orientation, orientation)) pins.push_back({{0, y}, {-4, y}});
    for (int x = 0; x < W; ++x)
        if (IsPinCell(x, i - 1, orientation, orientation)) pins.push_back({{x, 0}, {x, -4}});
    return pins;
}

int CVisual::DrawBitmap(int x, int y, int frame, int recolour, CPoint sourceOffset, CSize size, int orientation,
                        std::uint32_t rop)
{
    CDC* dc = CDisplay::GetCurrentDC();
    const int o = orientation & 7;
    if (!dc) return o;
    CBitmap256* bitmap = GetBitmap(o);
    if (!bitmap) return o;
    const CPoint src = GetFrameOrigin(frame, o) + sourceOffset;
    x += sourceOffset.x;
    y += sourceOffset.y;
    CDC mem;
    CDC* bitmapDC = CDisplay::GetBitmapDC();
    if (!bitmapDC) {
        mem.CreateCompatibleDC(dc);
        bitmapDC = &mem;
    }
    if (recolour) {
        CBitmap temp;
        if (!temp.CreateBitmap(size.cx, size.cy, 1, 32)) {
            CDisplay::DetachForced();
            throw CResourceException();
        }
        CDC tempDC;
        tempDC.CreateCompatibleDC(dc);
        tempDC.SelectObject(&temp);
        CBitmap* old = bitmapDC->SelectObject(bitmap);
        tempDC.BitBlt(0, 0, size.cx, size.cy, bitmapDC, src.x, src.y, SRCCOPY);
        bitmapDC->SelectObject(old);
        tempDC.SelectObject(static_cast<CBitmap*>(nullptr));
        if (recolour == 1) {
            ReplaceBitmapColour(temp, GetSchemeColour(0), GetSchemeColour(1));
            ReplaceBitmapColour(temp, GetSchemeColour(2), GetSchemeColour(3));
        } else {
            ReplaceBitmapColour(temp, GetSchemeColour(1), GetSchemeColour(1));
        }
        old = bitmapDC->SelectObject(&temp);
        dc->BitBlt(x, y, size.cx, size.cy, bitmapDC, 0, 0, rop);
        bitmapDC->SelectObject(old);
        return o;
    }
    CBitmap* old = bitmapDC->SelectObject(bitmap);
    dc->BitBlt(x, y, size.cx, size.cy, bitmapDC, src.x, src.y, rop);
    bitmapDC->SelectObject(old);
    return o;
}

int CVisual::DrawWhole(int x, int y, int frame, int recolour, int orientation)
{
    return DrawBitmap(x, y, frame, recolour, {0, 0}, GetSize(orientation), orientation);
}

CPoint CVisual::TurnedPixel(CPoint pixel, int orientation)
{
    const int o = orientation & 7;
    LoadFrames();
    const CSize turned = GetSize(o);
    const CPoint t = TurnDoubled({2 * pixel.x - (m_size.cx - 1), 2 * pixel.y - (m_size.cy - 1)}, o);
    const CPoint at((t.x + turned.cx - 1) / 2, (t.y + turned.cy - 1) / 2);
    return at + (m_generated[o] ? m_shift[o] : CPoint(0, 0));
}

namespace {

// Whether a 32 x 32 cell of a toolbar strip holds any pixel other than its
// top-left one.
bool CellHasInk(const QImage& strip, int cell)
{
    const int x0 = cell * 32;
    if (x0 < 0 || x0 >= strip.width()) return false;
    const QRgb background = strip.pixel(x0, 0);
    for (int y = 0; y < 32 && y < strip.height(); ++y)
        for (int x = x0; x < x0 + 32 && x < strip.width(); ++x)
            if (strip.pixel(x, y) != background) return true;
    return false;
}

} // namespace

int CVisual::GetOrientationImages(std::vector<int>& commands, CBitmap* bitmap, bool flagA, bool flagB)
{
    static const int order[8] = {0, 4, 1, 5, 2, 6, 3, 7};
    commands.clear();
    std::vector<int> codes;
    for (int c : order)
        if ((m_mask & (1 << c)) && std::find(codes.begin(), codes.end(), c) == codes.end()) codes.push_back(c);
    for (int c : codes) commands.push_back(kFirstOrientCmd + c);
    if (!bitmap) return m_mask;

    QImage sheet(32 * static_cast<int>(codes.size()), 32, QImage::Format_RGB32);
    if (sheet.isNull()) return -1;
    sheet.fill(0xFFFFFFFFu);
    CBitmap256 strip;
    QImage icon;
    if (m_stripId && strip.LoadBitmap256(m_stripId)) {
        for (size_t i = 0; i < codes.size(); ++i) {
            const int c = codes[i];
            for (int y = 0; y < 32 && y < strip.Image().height(); ++y)
                for (int x = 0; x < 32; ++x) {
                    const int sx = c * 32 + x;
                    if (sx < strip.Image().width())
                        reinterpret_cast<QRgb*>(sheet.scanLine(y))[static_cast<int>(i) * 32 + x] = At(strip.Image(), sx, y);
                }
        }
    } else {
        int index = m_imageIndex;
        if (flagA) {
            if (index == 3) index = 12;
            else if (index == 4) index = flagB ? 15 : 13;
            else if (index == 23) index = 33;
        } else if (flagB && index == 4) {
            index = 14;
        }
        CBitmap256* shared = GetSharedBitmap(index);
        if (!shared || shared->IsNull()) return -1;
        const QImage& src = shared->Image();
        // A blank cell: the part has no icon of its own in the strip.
        if (!CellHasInk(src, m_iconCell)) return -1;
        for (size_t i = 0; i < codes.size(); ++i) {
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) {
                    const int sx = m_iconCell * 32 + x;
                    if (sx >= src.width() || y >= src.height()) continue;
                    const CPoint t = TurnDoubled({2 * x - 31, 2 * y - 31}, codes[i]);
                    const int dx = (t.x + 31) / 2, dy = (t.y + 31) / 2;
                    reinterpret_cast<QRgb*>(sheet.scanLine(dy))[static_cast<int>(i) * 32 + dx] = At(src, sx, y);
                }
        }
    }
    if (!bitmap->Attach(sheet)) return -1;
    return m_mask;
}
