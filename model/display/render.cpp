#include "model/display/render.h"

#include "model/display/dib.h"
#include "model/parts/part.h"

namespace {

void PaintCaptionLine(CDC*, const CString& caption, const CRect& rect)
{
    CDisplay::DrawText(caption, rect, rect.left + rect.Width() / 2, rect.top, TA_CENTER, nullptr, 2, kBlack, -1);
}

void (*g_caption)(CDC*, const CString&, const CRect&) = &PaintCaptionLine;

} // namespace

void SetCaptionPainter(void (*paint)(CDC*, const CString&, const CRect&))
{
    g_caption = paint ? paint : &PaintCaptionLine;
}

CRect RenderPartToBitmap(CBitmap& bitmap, CPart* part, DWORD flags, bool withText, bool keepColours,
                         const CPrintInfo* info)
{
    if (!part) throw CResourceException();
    CRect r = part->m_rect;
    if (info) r.IntersectRect(r, info->m_rectDraw);
    r.InflateRect(8, 8);
    CDC mem;
    if (!mem.CreateCompatibleDC(nullptr) || !bitmap.CreateCompatibleBitmap(nullptr, r.Width(), r.Height()))
        throw CResourceException();
    mem.SelectObject(&bitmap);
    mem.FillSolidRect(CRect(0, 0, r.Width(), r.Height()), kWhite);
    // The DCs of an enclosing scope are given back afterwards, so rendering
    // inside a scope leaves that scope drawing.
    CDC* oldCurrent = CDisplay::GetCurrentDC();
    CDC* oldText = CDisplay::GetTextDC();
    CDisplay::SetCurrentDC(&mem, withText ? &mem : nullptr);
    part->Offset(-r.left, -r.top);
    bool failed = false;
    try {
        part->DrawTree(flags);
    } catch (...) {
        failed = true;
    }
    part->Offset(r.left, r.top);
    CDisplay::SetCurrentDC(oldCurrent, oldText);
    mem.SelectObject(static_cast<CBitmap*>(nullptr));
    if (failed) throw CResourceException();
    if (!keepColours) ReplaceBitmapColour(bitmap, GetSchemeColour(0), GetSchemeColour(1));
    return r;
}

bool PrintBitmap(CDC* dc, const CBitmap& bitmap)
{
    int w = 0, h = 0;
    const PackedDib dib = GetDibFromBitmap(nullptr, bitmap, w, h, nullptr, false, true);
    if (dib.empty()) return false;
    return DibPaint(dc, CRect(0, 0, w + 1, h + 1), dib, CRect(0, 0, w, h), nullptr);
}

void CDisplay::PrintPart(CDC* printer, CPrintInfo* info, CPart* part, DWORD flags, const CString& caption)
{
    if (!printer || !info || !part) return;
    SetPrintState(true, printer->GetDeviceCaps(PLANES) * printer->GetDeviceCaps(BITSPIXEL) > 1);
    CBitmap bitmap;
    const CRect r = RenderPartToBitmap(bitmap, part, flags, true, false, info);
    const CSize size = bitmap.GetSize();
    const CRect& draw = info->m_rectDraw;
    // The picture centred across the draw rect, 90 units below its top.
    const CPoint oldOrg = printer->SetWindowOrg(-(draw.left + (draw.Width() - size.cx) / 2), -(draw.top + 90));
    PrintBitmap(printer, bitmap);
    // Then the part itself straight onto the printer, clipped to the page,
    // over its picture (text and lines at the printer's resolution).
    CDC* oldCurrent = GetCurrentDC();
    CDC* oldText = GetTextDC();
    SetCurrentDC(printer, printer);
    part->Offset(-r.left, -r.top);
    const CRect page = printer->DPtoLP(CRect(0, 0, printer->Surface() ? printer->Surface()->width() : 0,
                                             printer->Surface() ? printer->Surface()->height() : 0));
    printer->SelectClipRect(&page);
    part->Redraw(flags);
    printer->SelectClipRect(nullptr);
    part->Offset(r.left, r.top);
    if (!caption.IsEmpty()) g_caption(printer, caption, CRect(0, size.cy + 10, size.cx, size.cy + 110));
    printer->SetWindowOrg(oldOrg);
    SetCurrentDC(oldCurrent, oldText);
    info->m_rectDraw.top += size.cy + 120;
    SetPrintState(false, IsColour());
    SetCurrentDC(GetCurrentDC(), nullptr);
}
