#include "model/display/part_resize.h"

WB_IMPLEMENT_SERIAL(CPartResize, "CPart", 1)

namespace {

CResizeHost g_defaultHost;
CResizeHost* g_host = nullptr;

// Handle codes in the order HandleAt tries their squares.
constexpr int kHandleOrder[8] = {RH_TOPLEFT, RH_TOP, RH_TOPRIGHT, RH_RIGHT,
                                 RH_BOTTOMRIGHT, RH_BOTTOM, RH_BOTTOMLEFT, RH_LEFT};

// Which edges a handle moves: left, top, right, bottom.
struct Edges {
    bool left, top, right, bottom;
};
Edges EdgesOf(int code)
{
    switch (code) {
    case RH_TOP: return {false, true, false, false};
    case RH_RIGHT: return {false, false, true, false};
    case RH_BOTTOM: return {false, false, false, true};
    case RH_LEFT: return {true, false, false, false};
    case RH_TOPLEFT: return {true, true, false, false};
    case RH_TOPRIGHT: return {false, true, true, false};
    case RH_BOTTOMRIGHT: return {false, false, true, true};
    case RH_BOTTOMLEFT: return {true, false, false, true};
    default: return {false, false, false, false};
    }
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

} // namespace

CResizeHost& CResizeHost::Current() { return g_host ? *g_host : g_defaultHost; }

CResizeHost* CResizeHost::Install(CResizeHost* host)
{
    CResizeHost* old = g_host;
    g_host = host;
    return old;
}

int& CPartResize::FrameDrawn()
{
    static int drawn = 0;
    return drawn;
}

CPartResize::CPartResize(CPart* framed) : m_framed(framed)
{
    m_rect = framed ? framed->m_rect : CRect();
    m_lastRect = m_rect;
}

void CPartResize::Serialize(CArchive& ar)
{
    CPart::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<WORD>(m_snap * 256 + (m_outerBand & 0xFF)) << m_handleSize << m_idleBand
           << static_cast<WORD>(m_activeHandle);
        ar.WriteObjectRef(m_framed);
        ar << m_minSize;
    } else {
        WORD band = 0, active = 0;
        ar >> band >> m_handleSize >> m_idleBand >> active;
        m_snap = static_cast<BYTE>(band >> 8);
        m_outerBand = band & 0xFF;
        if (m_outerBand > 20) m_outerBand = 2;
        m_activeHandle = active;
        m_framed = static_cast<CPart*>(ar.ReadObjectRef(RUNTIME_CLASS(CPart)));
        ar >> m_minSize;
        m_lastRect = m_rect;
    }
}

int CPartResize::DefersToParent() { return m_framed != this; }

DWORD CPartResize::GetHitClass()
{
    if (m_framed == this || !m_framed) return 16;
    return m_framed->GetHitClass();
}

int CPartResize::EdgeTest(CPoint p)
{
    const int o = m_outerBand;
    const int i = (m_framed && m_framed->IsSelected()) ? m_handleSize : m_idleBand;
    const CRect& r = m_rect;
    const bool ySpan = r.top - i < p.y && p.y < r.bottom + i;
    const bool xSpan = r.left - i < p.x && p.x < r.right + i;
    if (p.x >= r.right - o && p.x <= r.right + i && ySpan) return RH_RIGHT;
    if (p.x >= r.left - i && p.x <= r.left + o && ySpan) return RH_LEFT;
    if (p.y >= r.top - i && p.y <= r.top + o && xSpan) return RH_TOP;
    if (p.y >= r.bottom - o && p.y <= r.bottom + i && xSpan) return RH_BOTTOM;
    return RH_NONE;
}

CRect CPartResize::HandleRect(int code) const
{
    const CRect& r = m_rect;
    const int s = m_handleSize;
    const int mx = r.left + (r.right - r.left) / 2;
    const int my = r.top + (r.bottom - r.top) / 2;
    switch (code) {
    case RH_TOP: return {mx - s / 2, r.top - s, mx + s / 2, r.top};
    case RH_RIGHT: return {r.right, my - s / 2, r.right + s, my + s / 2};
    case RH_BOTTOM: return {mx - s / 2, r.bottom, mx + s / 2, r.bottom + s};
    case RH_LEFT: return {r.left - s, my - s / 2, r.left, my + s / 2};
    case RH_TOPLEFT: return {r.left - s, r.top - s, r.left, r.top};
    case RH_TOPRIGHT: return {r.right, r.top - s, r.right + s, r.top};
    case RH_BOTTOMRIGHT: return {r.right, r.bottom, r.right + s, r.bottom + s};
    case RH_BOTTOMLEFT: return {r.left - s, r.bottom, r.left, r.bottom + s};
    default: return {};
    }
}

int CPartResize::HandleAt(CPoint p)
{
    if (EdgeTest(p) == RH_NONE) return RH_NONE;
    for (int code : kHandleOrder)
        if (HandleRect(code).PtInRect(p)) return code;
    return RH_BAND;
}

int CPartResize::CursorOf(int code)
{
    switch (code) {
    case RH_TOP: case RH_BOTTOM: return 22;
    case RH_RIGHT: case RH_LEFT: return 18;
    case RH_TOPLEFT: case RH_BOTTOMRIGHT: return 23;
    case RH_TOPRIGHT: case RH_BOTTOMLEFT: return 24;
    default: return 0;
    }
}

CPoint CPartResize::RoundToHalfGrid(CPoint p, int step)
{
    const int h = step / 2;
    if (h <= 0) return p;
    return {h * FloorDiv(p.x + step / 4, h), h * FloorDiv(p.y + step / 4, h)};
}

int CPartResize::PtInPart(CPoint point) { return EdgeTest(point) != RH_NONE; }

bool CPartResize::CanEdit(CPartTree* design)
{
    CResizeHost& host = CResizeHost::Current();
    if (m_activeHandle == RH_NONE || m_activeHandle == RH_BAND) return false;
    if (!host.CanSelect(design, m_framed)) return false;
    if (!host.HasActiveView()) return false;
    CPart* captured = host.GetCapturedPart();
    return !captured || captured == m_framed;
}

void CPartResize::DrawOutline(const CRect& r)
{
    // The rubber band from the top-left corner to the bottom-right corner
    // less one pixel; drawn twice it disappears.
    const int l = r.left, t = r.top, rr = r.right - 1, b = r.bottom - 1;
    DrawXorLine(l, t, rr, t, 0);
    DrawXorLine(rr, t, rr, b, 0);
    DrawXorLine(rr, b, l, b, 0);
    DrawXorLine(l, b, l, t, 0);
}

int CPartResize::OnPress(CPartTree* design, int x, int y)
{
    CResizeHost& host = CResizeHost::Current();
    m_activeHandle = HandleAt({x, y});
    if (!host.HasActiveView() || m_activeHandle == RH_NONE) return 0;
    if (!m_framed || !m_framed->IsSelectableWhenLocked(design)) return 0;
    SharedPressState().dragPoint = RoundToHalfGrid({x, y}, design ? design->GetGridStep() : 8);
    if (!CanEdit(design)) {
        m_activeHandle = RH_NONE;
        return 0;
    }
    m_framed->Select(design ? design->GetRedrawFlags() : 0);
    if (!(design && (design->GetOptionWord() & 512))) {
        if (design) design->OnDragStarted(this);
        DrawOutline(m_rect);
    }
    host.SetCursor(CursorOf(m_activeHandle));
    return 0;
}

CRect CPartResize::OnDrag(CPartTree* design, CPoint p)
{
    CResizeHost& host = CResizeHost::Current();
    if (!IsSelectableWhenLocked(design)) return CRect();
    if (design && host.IsAllowed(design, 4))
        p = m_snap ? RoundToHalfGrid(p, design->GetGridStep()) : design->SnapToGrid(p);
    const Edges e = EdgesOf(m_activeHandle);
    if (e.left || e.top || e.right || e.bottom) {
        DrawOutline(m_rect);
        const CRect remembered = m_rect;
        CRect& r = m_rect;
        if (e.left) r.left = p.x;
        if (e.top) r.top = p.y;
        if (e.right) r.right = p.x;
        if (e.bottom) r.bottom = p.y;
        bool corrected = false;
        // Size limits: the edge being dragged gives way, the other stays.
        const bool rightMoves = e.right;
        const bool topMoves = e.top;
        auto fitWidth = [&](int width) {
            if (rightMoves) r.right = r.left + width;
            else r.left = r.right - width;
            corrected = true;
        };
        auto fitHeight = [&](int height) {
            if (topMoves) r.top = r.bottom - height;
            else r.bottom = r.top + height;
            corrected = true;
        };
        if (r.Width() > m_maxWidth) fitWidth(m_maxWidth);
        if (r.Height() > m_maxHeight) fitHeight(m_maxHeight);
        if (r.Width() < m_minSize) fitWidth(m_minSize);
        if (r.Height() < m_minSize) fitHeight(m_minSize);
        // The design's area.
        CRect area;
        bool limitX = false, limitY = false;
        host.GetArea(design, area, limitX, limitY);
        if (limitX) {
            if (r.right > area.right) r.right = area.right;
            else if (r.left < area.left) r.left = area.left;
        }
        if (limitY) {
            if (r.bottom > area.bottom) r.bottom = area.bottom;
            else if (r.top < area.top) r.top = area.top;
        }
        // No overlap with other parts unless the class may overlap.
        if (design && m_framed && !(GetHitClass() & 0x70)) {
            const CRect designRect = design->m_rect;
            const CRect framedRect = m_framed->m_rect;
            design->m_rect = CRect();
            m_framed->m_rect = r;
            if (design->Overlaps(m_framed)) {
                r = remembered;
                corrected = true;
            }
            design->m_rect = designRect;
            m_framed->m_rect = framedRect;
        }
        if (corrected) host.SetForbiddenCursor();
        else host.SetCursor(CursorOf(m_activeHandle));
        DrawOutline(m_rect);
    }
    if (m_framed) m_framed->SetRect(m_rect);
    return m_rect;
}

int CPartResize::OnRelease(CPartTree* design, int, int) { return (design && (design->GetOptionWord() & 512)) ? 8 : 0; }

void CPartResize::Drop(CPartTree*)
{
    if (m_framed) m_rect = m_framed->m_rect;
}

int CPartResize::ShowInfo(CPoint point, CString&)
{
    CPartTree* design = Design();
    CResizeHost& host = CResizeHost::Current();
    const bool canSelect = host.CanSelect(design, m_framed);
    if (!m_framed || (!m_framed->IsSelectableWhenLocked(design) && !canSelect)) return 0;
    const int code = HandleAt(point);
    if (code == RH_BAND || !canSelect) return 3;
    return CursorOf(code);
}

void CPartResize::OnSimulationStopped()
{
    if (m_framed && m_framed->IsSelected() && m_activeHandle != RH_NONE) m_lastRect = m_rect;
}

void CPartResize::OnSimulationReset()
{
    if (m_framed && m_framed->IsSelected()) {
        if (m_activeHandle != RH_NONE) {
            if (!(m_rect == m_lastRect)) {
                const CRect now = m_rect;
                m_rect = m_lastRect;
                EraseTree();
                m_rect = now;
                EraseTree();
            }
            CRect u;
            u.UnionRect(m_rect, m_lastRect);
            u.InflateRect(m_handleSize, m_handleSize);
            CResizeHost::Current().RedrawDesign(Design(), u);
        } else {
            CDisplay::DrawFrame(m_rect.TopLeft(), m_rect.BottomRight(), kWhite, 255, m_handleSize);
        }
    }
    m_activeHandle = RH_NONE;
}

void CPartResize::EraseHandles()
{
    for (int code : kHandleOrder) CDisplay::EraseRect(HandleRect(code));
}

void CPartResize::EraseTree()
{
    const int s = m_handleSize;
    const CRect& r = m_rect;
    CDisplay::EraseRect(CRect(r.left - s, r.top - s, r.right + s, r.top));
    CDisplay::EraseRect(CRect(r.left - s, r.bottom, r.right + s, r.bottom + s));
    CDisplay::EraseRect(CRect(r.left - s, r.top, r.left, r.bottom));
    CDisplay::EraseRect(CRect(r.right, r.top, r.right + s, r.bottom));
    EraseHandles();
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->EraseTree();
}

int CPartResize::Draw(DWORD)
{
    if (!m_framed || !m_framed->IsSelected() || SharedPressState().dragImage) return 0;
    CResizeHost& host = CResizeHost::Current();
    if (!host.CanSelect(Design(), m_framed)) return 0;
    m_lastRect = m_rect;
    CDisplay::DrawFrame(m_rect.TopLeft(), m_rect.BottomRight(), kBlack, m_framed->IsWindowShown() ? 3 : 2,
                        m_handleSize);
    const bool captured = host.GetCapturedPart() == m_framed;
    for (int code : kHandleOrder) {
        CRect h = HandleRect(code);
        if (captured) {
            h.DeflateRect(1, 1);
            CDisplay::FillRectColour(h, kBlack);
        } else {
            CDisplay::FillRectColour(h, kWhite);
            CDisplay::DrawRect(h.TopLeft(), CPoint(h.right - 1, h.bottom - 1), kBlack);
        }
    }
    FrameDrawn() = 1;
    return 1;
}

void CPartResize::Deselect(DWORD flags)
{
    m_bSelected = 0;
    if (flags & 0x80000) return;
    CDisplay::DrawFrame(m_rect.TopLeft(), m_rect.BottomRight(), kWhite, 255, m_handleSize + 1);
    EraseHandles();
    CRect u;
    u.UnionRect(m_rect, m_lastRect);
    u.InflateRect(m_handleSize, m_handleSize);
    CResizeHost::Current().RedrawDesign(Design(), u);
}

void CPartResize::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(m_framed)) m_framed = nullptr;
    CPart::DropDeadLinks(gone);
}
