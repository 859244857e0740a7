#include "model/display/display.h"

#include <cmath>
#include <memory>
#include <utility>

#include "model/display/bitmap256.h"
#include "model/display/fonts.h"
#include "model/display/visual.h"
#include "model/parts/part.h"

namespace {

struct Parked {
    CDC* dc = nullptr;
    CView* view = nullptr;
    bool release = false;
    CDC* viewDC = nullptr;
};

// The drawing layer's shared state: one per program, user-interface thread.
struct Layer {
    CDC* current = nullptr;
    CDC* text = nullptr;
    CView* view = nullptr;
    CDC* viewDC = nullptr;       // the DC taken from the view, to give back
    bool release = false;
    int nesting = 0;
    Parked parked;
    bool printing = false;
    bool colour = true;
    std::uint16_t zoomWord = 0;
    int zoomCompensation = 1;
    TEXTMETRIC tm;
    std::unique_ptr<CDC> bitmapDC;
    CBitmap bitmapPlaceholder;
    std::unique_ptr<CDC> bufferDC;
    CBitmap bufferBitmap;
    CDC* bufferSaved = nullptr;
    CBrush background{kWhite};
    CBrush selection;
    CPen rubberBand;
    CFont screenFont;
    CFont zoomFont;
    CFont printFont;
    int screenFontCreated = 0;
    int screenFontHeight = 0;
    int logPixelsY = 0;
    int textFontsResult = 0;
    int (*textFontInit)(CDC*) = nullptr;
    CBitmap256 icons[2];
    CBitmap256 shared[kSharedBitmapSlots];
    // Fills the shared table on first use when start-up left it for later.
    void (*sharedFiller)() = nullptr;
};

Layer& L()
{
    static Layer layer;
    return layer;
}

// The scheme picture: its top row holds the four scheme colours.
CVisual& SchemeVisual()
{
    static CVisual scheme(0, 0, 199, 1, 0, 0, 4, 8);
    return scheme;
}

CDC* GetViewDC(CView* view)
{
    CDC* dc = view->GetDC();
    if (dc) view->OnPrepareDC(dc);
    return dc;
}

void MakeTextDC(CDC* dc)
{
    Layer& s = L();
    s.text = dc;
    if (!dc) return;
    CFont* font = GetDefaultFont();
    if (font && font->IsValid()) dc->SelectObject(font);
    dc->GetTextMetrics(s.tm);
}

int Sign(int v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// How the part base draws its selection frame and erases itself: through
// the current DC of this layer.
class CDisplayPartDrawing : public CPartDrawing {
public:
    int FrameSelection(const CRect& rect) override
    {
        if (!CDisplay::GetCurrentDC()) return 0;
        CDisplay::FrameRectHatched(rect, nullptr, kBlack);
        return 1;
    }
    void EraseRect(const CRect& rect) override { CDisplay::EraseRect(rect); }
};

void InstallPartDrawing()
{
    static CDisplayPartDrawing drawing;
    if (!CPartDrawing::Current()) CPartDrawing::Install(&drawing);
}

} // namespace

// ---------------------------------------------------------------- scopes

CDisplay::CDisplay(CView* view)
{
    CDC* dc = view ? GetViewDC(view) : nullptr;
    AttachDC(dc, view, true);
}

CDisplay::CDisplay(CDC* dc, CView* view) { AttachDC(dc, view, view != nullptr); }

CDisplay::~CDisplay()
{
    try {
        DetachDC(false);
    } catch (const CResourceException&) {
        // The view could not give its DC back for the outer scope; DetachDC
        // has ended the scopes, the outer ones draw nothing.
    }
}

void CDisplay::AttachDC(CDC* dc, CView* view, bool release)
{
    InstallPartDrawing();
    Layer& s = L();
    ++s.nesting;
    if (dc) dc->SetBkColor(kWhite);
    if (s.current || s.parked.dc) {
        if (s.view) {
            if (s.viewDC) s.view->ReleaseDC(s.viewDC);
            s.viewDC = nullptr;
            if (view) s.view = view;
            s.current = dc;
            if (release && view) s.viewDC = dc;
            MakeTextDC(dc);
        }
        return;
    }
    if (!s.view) {
        s.release = release;
        s.current = dc;
        if (s.nesting == 1 || view) s.view = view;
        if (release && view) s.viewDC = dc;
        bool ok = dc != nullptr;
        if (ok && !s.parked.dc) {
            s.bitmapDC = std::make_unique<CDC>();
            ok = s.bitmapDC->CreateCompatibleDC(dc);
        }
        MakeTextDC(dc);
        s.printing = dc && dc->IsPrinting();
        s.colour = dc && dc->GetDeviceCaps(PLANES) * dc->GetDeviceCaps(BITSPIXEL) > 1;
        if (ok && !s.screenFontCreated && s.view && TextAvailable()) InitFonts(nullptr, s.text);
        if (ok) {
            s.bufferDC = std::make_unique<CDC>();
            ok = s.bufferDC->CreateCompatibleDC(dc);
        }
        if (!ok) {
            DetachDC(true);
            throw CResourceException();
        }
    }
}

void CDisplay::DetachDC(bool force)
{
    Layer& s = L();
    --s.nesting;
    if ((s.nesting <= 0 || s.release || force) && s.view) {
        if (s.viewDC) s.view->ReleaseDC(s.viewDC);
        s.viewDC = nullptr;
        if (s.nesting > 0 && !force) {
            CDC* dc = GetViewDC(s.view);
            if (!dc) {
                DetachDC(true);
                throw CResourceException();
            }
            s.current = dc;
            s.viewDC = dc;
            MakeTextDC(dc);
            return;
        }
    }
    if (s.nesting <= 0 || force) {
        s.bitmapDC.reset();
        s.current = nullptr;
        s.text = nullptr;
        s.printing = false;
        s.bufferDC.reset();
        s.bufferBitmap.DeleteObject();
        s.view = nullptr;
        s.release = false;
        if (s.nesting < 0) s.nesting = 0;
    }
}

void CDisplay::DetachForced() { DetachDC(true); }

int CDisplay::SuspendDrawing()
{
    Layer& s = L();
    if (!s.parked.dc) {
        s.parked = {s.current, s.view, s.release, s.viewDC};
        s.current = nullptr;
        s.text = nullptr;
        s.view = nullptr;
        s.viewDC = nullptr;
    }
    return 0;
}

CDC* CDisplay::ResumeDrawing()
{
    Layer& s = L();
    if (!s.parked.dc) return nullptr;
    if (s.viewDC && s.view) s.view->ReleaseDC(s.viewDC);
    s.current = s.parked.dc;
    s.view = s.parked.view;
    s.release = s.parked.release;
    s.viewDC = s.parked.viewDC;
    MakeTextDC(s.current);
    s.parked = Parked();
    return s.current;
}

bool CDisplay::IsIdle()
{
    const Layer& s = L();
    return !s.current && !s.parked.dc && !s.text;
}

bool CDisplay::IsPrinting() { return L().printing; }
bool CDisplay::PtVisible(CPoint p) { return L().current && L().current->PtVisible(p); }
CDC* CDisplay::GetCurrentDC() { return L().current; }
CDC* CDisplay::GetTextDC() { return L().text; }
CDC* CDisplay::GetBitmapDC() { return L().bitmapDC.get(); }
CView* CDisplay::GetView() { return L().view; }
int CDisplay::GetNesting() { return L().nesting; }
bool CDisplay::IsColour() { return L().colour; }
void CDisplay::SetZoomWord(std::uint16_t zoom) { L().zoomWord = zoom; }
std::uint16_t CDisplay::GetZoomWord() { return L().zoomWord; }
void CDisplay::SetZoomLineCompensation(int on) { L().zoomCompensation = on; }
int CDisplay::GetZoomLineCompensation() { return L().zoomCompensation; }
const TEXTMETRIC& CDisplay::GetTextMetrics() { return L().tm; }
int CDisplay::GetScreenFontHeight() { return L().screenFontHeight; }
void CDisplay::SetTextFontInitialiser(int (*init)(CDC*)) { L().textFontInit = init; }

void CDisplay::SetPrintState(bool printing, bool colour)
{
    L().printing = printing;
    L().colour = colour;
}

CDC* CDisplay::SetCurrentDC(CDC* dc, CDC* textDC)
{
    Layer& s = L();
    CDC* old = s.current;
    s.current = dc;
    MakeTextDC(textDC);
    return old;
}

void CDisplay::ResetForTest()
{
    Layer& s = L();
    while (s.nesting > 0 || s.current || s.parked.dc) {
        s.parked = Parked();
        DetachDC(true);
        if (s.nesting <= 0) break;
    }
    s.nesting = 0;
    s.zoomWord = 0;
    s.zoomCompensation = 1;
}

// ---------------------------------------------------------------- fonts

int CDisplay::CreateFittingFont(CDC* dc, CFont& font, int& created, const CString& face, int maxWidth,
                                int maxHeight, bool scaled)
{
    if (maxWidth < 1) maxWidth = 40;
    if (maxHeight < 1) maxHeight = 14;
    CDC temp;
    if (!dc) {
        temp.CreateCompatibleDC(nullptr);
        dc = &temp;
    }
    const int oldScale = dc->GetScale();
    if (scaled) dc->SetScale(2);
    if (!dc->IsPrinting()) maxWidth += 1;
    const CString faceName = face == "Default Tesk Font" ? CString("Arial") : face;
    CFont* old = dc->GetCurrentFont();
    int height = maxHeight + 2;
    for (; height >= 7; --height) {
        font.CreateFont(height, 400, false, false, faceName);
        dc->SelectObject(&font);
        const CSize ext = dc->GetTextExtent("888gMV");
        if (ext.cx < maxWidth && ext.cy < maxHeight) break;
    }
    if (height < 7) {
        height = 7;
        font.CreateFont(height, 400, false, false, faceName);
    }
    created = 1;
    dc->SelectObject(old);
    dc->SetScale(oldScale);
    return height;
}

int CDisplay::CreateDefaultFont(CDC* dc)
{
    int created = 0;
    return CreateFittingFont(dc, L().printFont, created, "Default Tesk Font", 0, 0, false);
}

int CDisplay::InitFonts(CView* view, CDC* dc)
{
    Layer& s = L();
    if (s.screenFontCreated) return s.textFontsResult;
    if (!TextAvailable()) return 0;
    CDC* taken = nullptr;
    if (!dc && view) dc = taken = GetViewDC(view);
    s.screenFontHeight = CreateFittingFont(dc, s.screenFont, s.screenFontCreated, "Default Tesk Font", 0, 0, false);
    s.logPixelsY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
    if (s.screenFontCreated) {
        int created = 0;
        CreateFittingFont(dc, s.zoomFont, created, "Default Tesk Font", 0, 0, true);
    }
    if (taken) view->ReleaseDC(taken);
    if (s.icons[0].IsNull()) s.icons[0].LoadBitmap256(457);
    if (s.icons[1].IsNull()) s.icons[1].LoadBitmap256(418);
    s.textFontsResult = s.textFontInit ? s.textFontInit(dc) : 1;
    return s.textFontsResult;
}

CFont* GetDefaultFont()
{
    Layer& s = L();
    if (s.zoomWord && s.zoomCompensation) return s.zoomFont.IsValid() ? &s.zoomFont : nullptr;
    return s.screenFont.IsValid() ? &s.screenFont : nullptr;
}

COLORREF GetSchemeColour(int index)
{
    CBitmap256* bitmap = SchemeVisual().GetBitmap(0);
    if (!bitmap || index < 0 || index >= bitmap->Image().width()) return kBlack;
    return ColourOf(reinterpret_cast<const QRgb*>(bitmap->Image().constScanLine(0))[index]);
}

int GetScreenColourBits() { return 32; }

// ---------------------------------------------------------------- drawing

void CDisplay::EraseRect(const CRect& rect)
{
    if (CDC* dc = L().current) dc->FillRect(rect, &L().background);
}

void EraseClipBox()
{
    if (CDC* dc = L().current) CDisplay::EraseRect(dc->GetClipBox());
}

void CDisplay::FillRectColour(const CRect& rect, COLORREF colour)
{
    if (CDC* dc = L().current) {
        CBrush brush(colour);
        dc->FillRect(rect, &brush);
    }
}

void CDisplay::FillRectBrush(const CRect& rect, CBrush* brush)
{
    CDC* dc = L().current ? L().current : L().text;
    if (dc) dc->FillRect(rect, brush ? brush : &L().background);
}

void CDisplay::FrameRectHatched(const CRect& rect, CBrush* brush, COLORREF colour)
{
    CDC* dc = L().current;
    if (!dc) return;
    Layer& s = L();
    if (s.selection.IsNull()) s.selection.CreateHatchBrush(HS_FDIAGONAL, kWhite);
    const COLORREF old = dc->SetBkColor(colour);
    dc->FrameRect(rect, brush ? brush : &s.selection);
    dc->SetBkColor(old);
}

void CDisplay::InvertRect(const CRect& rect)
{
    if (CDC* dc = L().current) dc->InvertRect(rect);
}

void CDisplay::DrawLine(int x1, int y1, int x2, int y2, COLORREF colour, int penStyle, int width)
{
    CDC* dc = L().current;
    if (!dc) return;
    const Layer& s = L();
    const bool compensate = s.zoomCompensation && s.zoomWord && !dc->IsPrinting();
    CPoint oldOrg;
    if (compensate) {
        oldOrg = dc->OffsetViewportOrg(s.zoomWord, s.zoomWord);
        if (x1 == x2) y2 -= Sign(y2 - y1);
        else if (y1 == y2) x2 -= Sign(x2 - x1);
        if (penStyle != PS_SOLID) {
            CPen pen(PS_SOLID, 1, colour);
            CPen* old = dc->SelectObject(&pen);
            DrawDashedLine(x1, y1, x2, y2, 0, 1);
            dc->SelectObject(old);
            dc->SetViewportOrg(oldOrg);
            return;
        }
    }
    if (x1 == x2 && y1 == y2) {
        dc->SetPixel(x1, y1, colour);
    } else {
        CPen pen(penStyle, width, colour);
        CPen* oldPen = dc->SelectObject(&pen);
        const int oldMode = dc->SetBkMode(OPAQUE);
        const COLORREF oldBk = dc->SetBkColor(kWhite);
        dc->MoveTo(x1, y1);
        dc->LineTo(x2, y2);
        dc->SetBkColor(oldBk);
        dc->SetBkMode(oldMode);
        dc->SelectObject(oldPen);
    }
    if (compensate) dc->SetViewportOrg(oldOrg);
}

void CDisplay::DrawThinLine(int x1, int y1, int x2, int y2) { DrawLine(x1, y1, x2, y2, kBlack, PS_SOLID, 1); }

void DrawDashedLine(int x1, int y1, int x2, int y2, int, int style)
{
    CDC* dc = L().current;
    if (!dc) return;
    const int dx = x2 - x1, dy = y2 - y1;
    const int n = std::max(std::abs(dx), std::abs(dy));
    if (n == 0) return;
    const int dash = style == 1 ? 6 : (std::abs(dx) == std::abs(dy) ? 1 : 2);
    // Dashes and gaps of equal length along the longer axis; the shorter
    // axis follows by rounding the exact line.
    auto at = [&](int t) {
        auto round = [n](long long v) { return static_cast<int>(v >= 0 ? (2 * v + n) / (2 * n) : -((-2 * v + n) / (2 * n))); };
        return CPoint(x1 + round(static_cast<long long>(dx) * t), y1 + round(static_cast<long long>(dy) * t));
    };
    for (int t = 0; t < n; t += 2 * dash) {
        dc->MoveTo(at(t));
        dc->LineTo(at(std::min(t + dash, n)));
    }
}

void DrawXorLine(int x1, int y1, int x2, int y2, int dashedStyle)
{
    CDC* dc = L().current;
    if (!dc) return;
    Layer& s = L();
    if (!s.rubberBand.m_valid) s.rubberBand.CreatePen(PS_SOLID, 1, kBlack);
    CPen* oldPen = dc->SelectObject(&s.rubberBand);
    const int oldRop = dc->SetROP2(R2_NOTXORPEN);
    const CPoint oldOrg = dc->OffsetViewportOrg(s.zoomWord, s.zoomWord);
    if (dashedStyle) {
        DrawDashedLine(x1, y1, x2, y2, 0, dashedStyle);
    } else {
        dc->MoveTo(x1, y1);
        dc->LineTo(x2, y2);
    }
    dc->SetViewportOrg(oldOrg);
    dc->SetROP2(oldRop);
    dc->SelectObject(oldPen);
}

void CDisplay::DrawRect(CPoint a, CPoint b, COLORREF colour)
{
    DrawLine(a.x, a.y, b.x, a.y, colour, PS_SOLID, 1);
    DrawLine(b.x, a.y, b.x, b.y, colour, PS_SOLID, 1);
    DrawLine(b.x, b.y, a.x, b.y, colour, PS_SOLID, 1);
    DrawLine(a.x, b.y, a.x, a.y, colour, PS_SOLID, 1);
}

void CDisplay::DrawFrame(CPoint a, CPoint b, COLORREF colour, int style, int width, COLORREF second)
{
    CDC* dc = L().current;
    if (!dc) return;
    CRect r(a, b);
    r.NormalizeRect();
    if (width >= 2) {
        CBrush brush;
        if (style == 255) brush.CreateSolidBrush(colour);
        else brush.CreateHatchBrush(style, colour);
        const int w = width;
        dc->FillRect(CRect(r.left - w, r.top - w, r.right + w, r.top), &brush);
        dc->FillRect(CRect(r.left - w, r.bottom, r.right + w, r.bottom + w), &brush);
        dc->FillRect(CRect(r.left - w, r.top, r.left, r.bottom), &brush);
        dc->FillRect(CRect(r.right, r.top, r.right + w, r.bottom), &brush);
        return;
    }
    if (style == 1 || style == 2) {
        CPen pen(PS_SOLID, 1, colour);
        CPen* old = dc->SelectObject(&pen);
        DrawDashedLine(r.left, r.top, r.left, r.bottom, 0, style);
        DrawDashedLine(r.left, r.bottom, r.right, r.bottom, 0, style);
        DrawDashedLine(r.right, r.bottom, r.right, r.top, 0, style);
        DrawDashedLine(r.right, r.top, r.left, r.top, 0, style);
        dc->SelectObject(old);
        return;
    }
    const COLORREF other = second == kSameColour ? colour : second;
    DrawLine(r.left, r.top, r.left, r.bottom, colour, PS_SOLID, 1);
    DrawLine(r.left, r.bottom, r.right, r.bottom, other, PS_SOLID, 1);
    DrawLine(r.right, r.bottom, r.right, r.top, other, PS_SOLID, 1);
    const int topLeft = r.left + (L().zoomWord ? L().zoomWord : 0);
    DrawLine(r.right, r.top, topLeft, r.top, colour, PS_SOLID, 1);
}

void CDisplay::DrawCircle(CPoint centre, int size, int, int penWidth, COLORREF colour)
{
    CDC* dc = L().current;
    if (!dc) return;
    const int radius = size > 0 ? static_cast<int>(std::sqrt(2.0 * size)) : 0;
    CPen pen(PS_SOLID, penWidth, colour);
    CPen* oldPen = dc->SelectObject(&pen);
    CBrush* oldBrush = dc->SelectObject(StockWhiteBrush());
    dc->Ellipse(CRect(centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius));
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}

void FillPolygon(const CPoint* points, int count, CBrush* brush)
{
    CDC* dc = L().current;
    if (!dc) return;
    CBrush* old = dc->SelectObject(brush);
    const int oldMode = dc->SetPolyFillMode(ALTERNATE);
    dc->Polygon(points, count);
    dc->SetPolyFillMode(oldMode);
    dc->SelectObject(old);
}

void CDisplay::DrawEdgeLine(int x1, int y1, int x2, int y2, bool raised)
{
    DrawLine(x1, y1, x2, y2, GetSchemeColour(raised ? 3 : 2), PS_SOLID, 1);
}

int CDisplay::DrawText(const CString& text, const CRect& rect, int x, int y, int alignment, CFont* font, int flags,
                       COLORREF colour, int limit)
{
    CDC* dc = L().text;
    if (!dc) return 1;
    Layer& s = L();
    CFont* use = font ? font : (dc->IsPrinting() && s.printFont.IsValid() ? &s.printFont : GetDefaultFont());
    CFont* oldFont = use ? dc->SelectObject(use) : dc->GetCurrentFont();
    const COLORREF oldBk = dc->SetBkColor(kWhite);
    const COLORREF oldText = dc->SetTextColor(colour);
    int result = 1;
    if (flags & 1) {
        CRect r = rect;
        dc->DrawText(text, r, DT_EDITCONTROL | DT_NOPREFIX | DT_WORDBREAK);
    } else {
        const int oldAlign = dc->SetTextAlign(alignment);
        int leftOver = 0, rightOver = 0;
        if (!text.IsEmpty()) {
            ABC abc;
            dc->GetCharABCWidths(static_cast<unsigned char>(text.front()), static_cast<unsigned char>(text.front()), &abc);
            leftOver = abc.abcA < 0 ? -abc.abcA : 0;
            dc->GetCharABCWidths(static_cast<unsigned char>(text.back()), static_cast<unsigned char>(text.back()), &abc);
            rightOver = abc.abcC < 0 ? -abc.abcC : 0;
        }
        const int slack = dc->IsPrinting() ? rect.Width() / 100 + 4 : 0;
        int squeeze = 0;
        TEXTMETRIC tm;
        dc->GetTextMetrics(tm);
        if (!(flags & 2) && tm.tmMaxCharWidth * text.GetLength() >= rect.Width()) {
            if (dc->GetTextExtent(text).cx >= rect.Width() + slack) squeeze = 1;
        }
        const int oldExtra = dc->SetTextCharacterExtra(dc->GetTextCharacterExtra() - squeeze);
        switch (alignment & 6) {
        case TA_LEFT: if (squeeze + leftOver) x += 1; break;
        case TA_RIGHT: if (squeeze + rightOver) x -= 1; break;
        case TA_CENTER: x += leftOver - rightOver; break;
        default: break;
        }
        if (limit == -1) {
            dc->ExtTextOut(x, y, ETO_OPAQUE, &rect, text);
        } else if (dc->GetTextExtent(text).cx >= limit + rect.Width() + slack) {
            result = 0;
        }
        dc->SetTextCharacterExtra(oldExtra);
        dc->SetTextAlign(oldAlign);
    }
    dc->SetTextColor(oldText);
    dc->SetBkColor(oldBk);
    dc->SelectObject(oldFont);
    return result;
}

CSize CDisplay::GetTextExtent(const CString& text)
{
    if (CDC* dc = L().text) {
        CFont* old = GetDefaultFont() ? dc->SelectObject(GetDefaultFont()) : dc->GetCurrentFont();
        CSize size = dc->GetTextExtent(text);
        dc->SelectObject(old);
        return size;
    }
    CDC temp;
    temp.CreateCompatibleDC(nullptr);
    if (GetDefaultFont()) temp.SelectObject(GetDefaultFont());
    return temp.GetTextExtent(text);
}

void CDisplay::BlitMemoryBitmap(CBitmap* bitmap, const CRect& rect, CPalette* palette)
{
    Layer& s = L();
    const bool screen = (s.text && !s.printing) || (s.current && !s.text);
    if (!screen || !bitmap) return;
    CDC* target = s.text ? s.text : s.current;
    CDC temp;
    CDC* mem = s.bitmapDC.get();
    if (!mem) {
        temp.CreateCompatibleDC(target);
        mem = &temp;
    }
    CBitmap* old = mem->SelectObject(bitmap);
    CPalette* oldPal = palette ? target->SelectPalette(palette, false) : nullptr;
    target->RealizePalette();
    target->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), mem, 0, 0, SRCCOPY);
    if (palette) target->SelectPalette(oldPal, false);
    mem->SelectObject(old);
}

COLORREF CDisplay::GetBitmapPixel(CBitmap* bitmap, int x, int y)
{
    if (!bitmap) return CLR_INVALID;
    CDC temp;
    CDC* mem = L().bitmapDC.get();
    if (!mem) {
        temp.CreateCompatibleDC(nullptr);
        mem = &temp;
    }
    CBitmap* old = mem->SelectObject(bitmap);
    const COLORREF c = mem->GetPixel(x, y);
    mem->SelectObject(old);
    return c;
}

int CDisplay::BeginBuffer(const CRect& rect)
{
    Layer& s = L();
    if (!s.current) return 0;
    // A rectangle read from a damaged file may be inverted or vast: no
    // buffer then, and the part draws straight onto the canvas.
    if (rect.Width() < 0 || rect.Height() < 0 || rect.Width() > CBitmap::kMaxSide || rect.Height() > CBitmap::kMaxSide)
        return 0;
    s.bufferSaved = s.current;
    if (!s.bufferDC) {
        s.bufferDC = std::make_unique<CDC>();
        s.bufferDC->CreateCompatibleDC(s.current);
    }
    if (!s.bufferBitmap.CreateCompatibleBitmap(s.current, rect.Width(), rect.Height())) {
        s.bufferBitmap.DeleteObject();
        DetachDC(true);
        throw CResourceException();
    }
    s.bufferDC->SelectObject(&s.bufferBitmap);
    s.current = s.bufferDC.get();
    s.current->FillRect(CRect(0, 0, rect.Width(), rect.Height()), &s.background);
    return 1;
}

void CDisplay::EndBuffer(const CRect& rect, bool noInset)
{
    Layer& s = L();
    if (!s.bufferSaved || !s.bufferDC) return;
    s.current = s.bufferSaved;
    s.bufferSaved = nullptr;
    if (noInset)
        s.current->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), s.bufferDC.get(), 0, 0, SRCCOPY);
    else
        s.current->BitBlt(rect.left + 1, rect.top + 1, rect.Width() - 2, rect.Height() - 2, s.bufferDC.get(), 1, 1,
                          SRCCOPY);
    s.bufferDC->SelectObject(static_cast<CBitmap*>(nullptr));
    s.bufferBitmap.DeleteObject();
}

void CDisplay::LoadSharedBitmap(int slot, int id)
{
    if (slot < 0 || slot >= kSharedBitmapSlots || !L().shared[slot].LoadBitmap256(id)) throw CResourceException();
}

CBitmap256* GetSharedBitmap(int slot)
{
    if (slot < 0 || slot >= kSharedBitmapSlots) return nullptr;
    FillSharedBitmaps();
    return &L().shared[slot];
}

void SetSharedBitmapFiller(void (*fill)()) { L().sharedFiller = fill; }

void FillSharedBitmaps()
{
    // Taken before it runs: a filler that throws is not run again, and the
    // slots it left empty read as having no picture.
    if (void (*fill)() = std::exchange(L().sharedFiller, nullptr)) fill();
}

// ---------------------------------------------------------------- recolouring

void ReplaceBitmapColour(CBitmap& bitmap, COLORREF colour, COLORREF newColour)
{
    if (bitmap.IsNull()) return;
    const CSize size = bitmap.GetSize();
    CDC image;
    image.CreateCompatibleDC(nullptr);
    image.SelectObject(&bitmap);
    // The mask: 1 (white) where the bitmap holds the colour.
    CBitmap mask;
    if (!mask.CreateBitmap(size.cx, size.cy, 1, 1)) throw CResourceException();
    CDC maskDC;
    maskDC.CreateCompatibleDC(nullptr);
    maskDC.SelectObject(&mask);
    image.SetBkColor(colour);
    maskDC.BitBlt(0, 0, size.cx, size.cy, &image, 0, 0, SRCCOPY);
    image.SetBkColor(kWhite);
    image.SetTextColor(kBlack);
    if (colour == newColour) {
        // A silhouette: the colour's pixels white, everything else grey.
        CBrush grey(ColourRGB(0x80, 0x80, 0x80));
        image.FillRect(CRect(0, 0, size.cx, size.cy), &grey);
        image.BitBlt(0, 0, size.cx, size.cy, &maskDC, 0, 0, SRCPAINT);
        return;
    }
    if (newColour != kWhite) {
        // AND with the inverted mask: black where the colour was.
        CBitmap inverted;
        if (!inverted.CreateBitmap(size.cx, size.cy, 1, 1)) throw CResourceException();
        CDC invDC;
        invDC.CreateCompatibleDC(nullptr);
        invDC.SelectObject(&inverted);
        invDC.BitBlt(0, 0, size.cx, size.cy, &maskDC, 0, 0, NOTSRCCOPY);
        image.BitBlt(0, 0, size.cx, size.cy, &invDC, 0, 0, SRCAND);
    }
    if (newColour != kBlack) {
        // OR with the new colour where the mask is set, black elsewhere.
        CBitmap paint;
        if (!paint.CreateBitmap(size.cx, size.cy, 1, 32)) throw CResourceException();
        CDC paintDC;
        paintDC.CreateCompatibleDC(nullptr);
        paintDC.SelectObject(&paint);
        paintDC.SetTextColor(kBlack);
        paintDC.SetBkColor(newColour);
        paintDC.BitBlt(0, 0, size.cx, size.cy, &maskDC, 0, 0, SRCCOPY);
        image.BitBlt(0, 0, size.cx, size.cy, &paintDC, 0, 0, SRCPAINT);
    }
}

bool ComposeIconBitmap(CBitmap& source, CBitmap& destination, int leftIcon, int rightIcon)
{
    if (source.IsNull()) return false;
    const CSize size = source.GetSize();
    const int extra = (leftIcon ? 32 : 0) + (rightIcon ? 32 : 0);
    if (!destination.CreateBitmap(size.cx + extra, size.cy, 1, source.BitsPixel())) return false;
    destination.Image().fill(0xFFFFFFFFu);
    CDC src, dst;
    src.CreateCompatibleDC(nullptr);
    dst.CreateCompatibleDC(nullptr);
    dst.SelectObject(&destination);
    src.SelectObject(&source);
    dst.BitBlt(leftIcon ? 32 : 0, 0, size.cx, size.cy, &src, 0, 0, SRCCOPY);
    auto icon = [](int id, CBitmap256& loaded) -> CBitmap* {
        Layer& s = L();
        if (id == 457 || id == 418) {
            CBitmap256& shared = s.icons[id == 457 ? 0 : 1];
            if (shared.IsNull()) shared.LoadBitmap256(id);
            return shared.IsNull() ? nullptr : &shared;
        }
        return loaded.LoadBitmap256(id) ? &loaded : nullptr;
    };
    CBitmap256 leftLoaded, rightLoaded;
    if (leftIcon) {
        CBitmap* b = icon(leftIcon, leftLoaded);
        if (!b) return false;
        src.SelectObject(b);
        dst.BitBlt(0, 0, 32, 32, &src, 0, 0, SRCCOPY);
    }
    if (rightIcon) {
        CBitmap* b = icon(rightIcon, rightLoaded);
        if (!b) return false;
        src.SelectObject(b);
        dst.BitBlt(size.cx + (leftIcon ? 32 : 0), 0, 32, 32, &src, 0, 0, SRCCOPY);
    }
    return true;
}
