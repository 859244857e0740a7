#include "model/display/animate.h"

#include <memory>

namespace {

CRect TargetExtent(CPart* target)
{
    CRect r = target ? target->GetUnionRect() : CRect();
    r.InflateRect(2, 2);
    return r;
}

// A memory DC for the duration of a blit, on the drawing layer's bitmap DC
// when there is one.
class CScratchDC {
public:
    explicit CScratchDC(CBitmap* bitmap)
    {
        m_dc = CDisplay::GetBitmapDC();
        if (!m_dc) {
            m_own.CreateCompatibleDC(nullptr);
            m_dc = &m_own;
        }
        m_old = m_dc->SelectObject(bitmap);
        m_bk = m_dc->GetBkColor();
        m_text = m_dc->GetTextColor();
    }
    ~CScratchDC()
    {
        m_dc->SetBkColor(m_bk);
        m_dc->SetTextColor(m_text);
        m_dc->SelectObject(m_old);
    }
    CDC* operator->() { return m_dc; }
    CDC* Get() { return m_dc; }

private:
    CDC m_own;
    CDC* m_dc = nullptr;
    CBitmap* m_old = nullptr;
    COLORREF m_bk = kWhite;
    COLORREF m_text = kBlack;
};

} // namespace

CAnimate::CAnimate(CPart* target, DWORD flags) : m_target(target)
{
    m_rect = TargetExtent(target);
    if (!CreateBitmaps()) Fail();
    if (flags) {
        Capture(flags);
        SaveBackground();
    }
}

CAnimate::~CAnimate()
{
    if (!m_background.IsNull() && CDisplay::GetCurrentDC()) RestoreBackground();
    m_background.DeleteObject();
    m_image.DeleteObject();
    m_mask.DeleteObject();
    m_target = nullptr;
}

bool CAnimate::CreateBitmaps()
{
    const int w = m_rect.Width(), h = m_rect.Height();
    CDC* dc = CDisplay::GetCurrentDC();
    return m_background.CreateCompatibleBitmap(dc, w, h) && m_image.CreateCompatibleBitmap(dc, w, h) &&
           m_mask.CreateBitmap(w, h, 1, 1);
}

void CAnimate::Fail()
{
    m_background.DeleteObject();
    m_image.DeleteObject();
    m_mask.DeleteObject();
    CDisplay::DetachForced();
    throw CResourceException();
}

void CAnimate::Capture(DWORD flags)
{
    CDC* current = CDisplay::GetCurrentDC();
    CDC* text = CDisplay::GetTextDC();
    CDC mem;
    mem.CreateCompatibleDC(current);
    mem.SelectObject(&m_image);
    CDisplay::SetCurrentDC(&mem, &mem);
    mem.FillSolidRect(CRect(0, 0, m_rect.Width(), m_rect.Height()), kWhite);
    if (m_target) {
        m_target->Offset(-m_rect.left, -m_rect.top);
        m_target->Redraw(flags);
        m_target->Offset(m_rect.left, m_rect.top);
    }
    CDisplay::SetCurrentDC(current, text);
    // The mask: 1 (white) where the image stayed white.
    mem.SetBkColor(kWhite);
    CDC maskDC;
    maskDC.CreateCompatibleDC(nullptr);
    maskDC.SelectObject(&m_mask);
    maskDC.BitBlt(0, 0, m_rect.Width(), m_rect.Height(), &mem, 0, 0, SRCCOPY);
}

void CAnimate::SaveBackground()
{
    CDC* dc = CDisplay::GetCurrentDC();
    if (!dc || m_background.IsNull()) return;
    CRect c;
    if (!c.IntersectRect(m_rect, dc->GetClipBox())) return;
    CScratchDC mem(&m_background);
    mem->BitBlt(c.left - m_rect.left, c.top - m_rect.top, c.Width(), c.Height(), dc, c.left, c.top, SRCCOPY);
}

void CAnimate::RestoreBackground()
{
    CDC* dc = CDisplay::GetCurrentDC();
    if (!dc || m_background.IsNull()) return;
    CRect c;
    if (!c.IntersectRect(m_rect, dc->GetClipBox())) return;
    CScratchDC mem(&m_background);
    dc->BitBlt(c.left, c.top, c.Width(), c.Height(), mem.Get(), c.left - m_rect.left, c.top - m_rect.top, SRCCOPY);
}

void CAnimate::DrawTransparent(CDC& dc, int x, int y)
{
    const COLORREF oldText = dc.SetTextColor(kWhite);
    const COLORREF oldBk = dc.SetBkColor(kBlack);
    {
        CScratchDC mask(&m_mask);
        dc.BitBlt(x, y, m_rect.Width(), m_rect.Height(), mask.Get(), 0, 0, SRCPAINT);
    }
    {
        CScratchDC image(&m_image);
        dc.BitBlt(x, y, m_rect.Width(), m_rect.Height(), image.Get(), 0, 0, SRCAND);
    }
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBk);
}

void CAnimate::DrawImage()
{
    if (CDC* dc = CDisplay::GetCurrentDC()) DrawTransparent(*dc, m_rect.left, m_rect.top);
}

void CAnimate::CaptureAndDraw(DWORD flags)
{
    Capture(flags);
    DrawImage();
}

void CAnimate::MoveBy(CPoint offset, bool restore)
{
    CDC* dc = CDisplay::GetCurrentDC();
    if (!dc) return;
    CRect next = m_rect;
    next.OffsetRect(offset);
    CRect overlap;
    if (!overlap.IntersectRect(next, m_rect)) {
        if (restore) RestoreBackground();
        if (m_target) m_target->Offset(offset.x, offset.y);
        Offset(offset.x, offset.y);
        SaveBackground();
        DrawImage();
        return;
    }
    // Compose the move off-screen over the union of both places and show it
    // with one copy, so no pixel of the screen is drawn twice.
    CRect u;
    u.UnionRect(m_rect, next);
    CBitmap comp;
    if (!comp.CreateCompatibleBitmap(dc, u.Width(), u.Height())) Fail();
    CDC compDC;
    compDC.CreateCompatibleDC(dc);
    compDC.SelectObject(&comp);
    compDC.SetWindowOrg(u.left, u.top);
    // The screen around the old place, then the saved background under it.
    compDC.BitBlt(u.left, u.top, u.Width(), u.Height(), dc, u.left, u.top, SRCCOPY);
    CRect c;
    if (c.IntersectRect(m_rect, dc->GetClipBox())) {
        CScratchDC mem(&m_background);
        compDC.BitBlt(c.left, c.top, c.Width(), c.Height(), mem.Get(), c.left - m_rect.left, c.top - m_rect.top,
                      SRCCOPY);
    }
    // The new background from the composition, then the image over it.
    {
        CScratchDC mem(&m_background);
        mem->BitBlt(0, 0, next.Width(), next.Height(), &compDC, next.left, next.top, SRCCOPY);
    }
    if (m_target) m_target->Offset(offset.x, offset.y);
    Offset(offset.x, offset.y);
    DrawTransparent(compDC, m_rect.left, m_rect.top);
    dc->BitBlt(u.left, u.top, u.Width(), u.Height(), &compDC, u.left, u.top, SRCCOPY);
}

void CAnimate::Update(DWORD flags)
{
    const CRect extent = TargetExtent(m_target);
    if (extent == m_rect) {
        SaveBackground();
        DrawImage();
        return;
    }
    m_rect = extent;
    if (!CreateBitmaps()) Fail();
    Capture(flags);
    SaveBackground();
    DrawImage();
}

void CAnimate::SetBackgroundRect(int left, int top, int right, int bottom)
{
    m_rect.SetRect(left, top, right, bottom);
    if (!m_background.CreateCompatibleBitmap(CDisplay::GetCurrentDC(), m_rect.Width(), m_rect.Height())) {
        CDisplay::DetachForced();
        throw CResourceException();
    }
}

namespace {

std::unique_ptr<CAnimate>& DragAnimation()
{
    static std::unique_ptr<CAnimate> animation;
    return animation;
}

} // namespace

CAnimate* BeginDragAnimation(CPart* part, DWORD flags)
{
    DragAnimation().reset();
    DragAnimation() = std::make_unique<CAnimate>(part, flags);
    CPressState& s = SharedPressState();
    s.dragImage = true;
    s.dragRect = DragAnimation()->m_rect;
    return DragAnimation().get();
}

CAnimate* CurrentDragAnimation() { return DragAnimation().get(); }

void EndDragAnimation()
{
    DragAnimation().reset();
    SharedPressState().dragImage = false;
}
