// The canvas's life: the design, painting, scroll sizes and zoom, the keys,
// activation, timer 1 and the idle step, auto-scroll while dragging.
#include "app/canvas/canvas_controller.h"

#include "model/parts/partcircuit.h"

#include "model/circuit/circuit.h"
#include "model/circuit/circuit_render.h"
#include "model/components/wire_route.h"
#include "model/display/colour.h"
#include "model/display/display.h"

namespace {

// The active design view: the one whose design runs.
CCanvasController* g_activeView = nullptr;

constexpr DWORD kOptZoom = 0x100;
constexpr DWORD kOptBubbles = 0x10000;
constexpr DWORD kOptAnimation = 0x4;
constexpr int kAutoScrollStep = 24;
constexpr int kAutoScrollMargin = 4;
constexpr COLORREF kWorkspace = ColourRGB(171, 171, 171);
constexpr COLORREF kPageEdge = ColourRGB(128, 128, 128);


} // namespace

CCanvasController::CCanvasController(CCanvasHost& host, CBubble& bubble, CCanvasEditOps* ops)
    : m_host(host), m_bubble(bubble), m_ownOps(ops ? nullptr : new CCanvasEditOps), m_ops(ops ? ops : m_ownOps.get())
{
}

CCanvasController::~CCanvasController()
{
    DetachDesign();
    if (g_activeView == this) g_activeView = nullptr;
}

void CCanvasController::DetachDesign()
{
    if (g_activeView == this && m_design) {
        m_design->ControlSimulation(SIM_DEACTIVATE);
        CCircuit::ActiveCircuit() = nullptr;
    }
    m_handle = nullptr;
    if (m_floating) DiscardFloating(false);
    m_route.reset();
    ForgetJoints();
    if (m_design && m_design->GetHost() == m_simHost) m_design->SetHost(nullptr);
    if (m_design && CDummyPart::ActiveDesign() == m_design) CDummyPart::ActiveDesign() = nullptr;
    m_design = nullptr;
}

void CCanvasController::ForgetDesign()
{
    if (m_floating) {
        m_floating->m_pHostDesign = nullptr;
        if (m_heldInDesign) Ops().HoldOnlyPart(*m_floating, nullptr);
        m_heldInDesign = false;
        m_floating.reset();
    }
    m_dragging = m_pressed = m_bandActive = m_releasePending = false;
    m_route.reset();
    ForgetJoints();
    m_editMode = 0;
    DisarmAutoScroll();
    if (m_host.HasCapture()) m_host.SetCapture(false);
    if (m_design && CDummyPart::ActiveDesign() == m_design) CDummyPart::ActiveDesign() = nullptr;
    m_design = nullptr;
}

// ---------------------------------------------------------------- update

void CCanvasController::OnUpdate(CCircuit* design, int hint)
{
    if (m_design && m_design != design) DetachDesign();
    m_design = design;
    if (!m_design) return;
    if (g_activeView == this) CDummyPart::ActiveDesign() = m_design;
    if (m_simHost) m_design->SetHost(m_simHost);
    if (hint == 1) {
        DeselectAll(false, true);
        // The recorded data goes; no pass runs here (a pass would change
        // the terminals' stored values of a design just opened).
        m_design->RestartRecording(0);
        m_editMode = 0;
        m_releasePending = false;
    }
    // The step limit is not recomputed here: the rate the file carries
    // stays until the first edit resets the run (ResetRun recomputes it),
    // so opening and saving a design writes the bytes it read.
    m_design->OnSettingsChanged(0);
    if (IsActiveView()) RefreshEditState();
    m_design->OnViewChanged(0, this);
    m_host.Invalidate();
    RecalcScrollSizes(hint == 0);
}

void CCanvasController::RefreshEditState()
{
    if (!m_design) return;
    const bool allowed = m_design->IsAllowed(2);
    if (m_knowEditAllowed && allowed == m_shownEditAllowed) return;
    m_knowEditAllowed = true;
    m_shownEditAllowed = allowed;
    m_host.SetEditAllowed(allowed);
}

// ---------------------------------------------------------------- zoom and scrolling

int CCanvasController::GetZoom() const { return m_design && (m_design->GetOptions() & kOptZoom) ? 2 : 1; }

void CCanvasController::SetZoom(bool x2)
{
    if (!m_design || (GetZoom() == 2) == x2) return;
    const CSize client = m_host.GetClientSize();
    // Keep the logical point at the centre of the client area where it is.
    const CPoint centre = ToLogical(CPoint(client.cx / 2, client.cy / 2));
    m_design->ToggleOptions(kOptZoom);
    RecalcScrollSizes(false);
    const int z = GetZoom();
    m_host.ScrollTo(CPoint(std::max(0, centre.x * z - client.cx / 2), std::max(0, centre.y * z - client.cy / 2)));
    m_host.Invalidate();
}

CPoint CCanvasController::ToLogical(CPoint client) const
{
    const int z = GetZoom();
    const CPoint s = m_host.GetScrollPos();
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    return CPoint(floorDiv(client.x + s.x, z), floorDiv(client.y + s.y, z));
}

CPoint CCanvasController::ToClient(CPoint logical) const
{
    const int z = GetZoom();
    const CPoint s = m_host.GetScrollPos();
    return CPoint(logical.x * z - s.x, logical.y * z - s.y);
}

void CCanvasController::RecalcPageRect()
{
    if (!m_design) {
        m_page = CRect(0, 0, 1200, 800);
        return;
    }
    CRect page = m_design->GetPageRect();
    const int z = GetZoom();
    const CSize client = m_host.GetClientSize();
    const int cw = client.cx / z, ch = client.cy / z;
    if (page.Width() < cw || page.Height() < ch) {
        // Centre the page in the client area, snapped to the grid.
        CPoint want(page.Width() < cw ? (cw - page.Width()) / 2 : page.left,
                    page.Height() < ch ? (ch - page.Height()) / 2 : page.top);
        want = m_design->SnapToGrid(want);
        const int dx = want.x - page.left, dy = want.y - page.top;
        if (dx || dy) {
            CPartIterator it(m_design, 0);
            for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) p->Offset(dx, dy);
            page.OffsetRect(dx, dy);
            m_design->m_rcPage = page;
        }
    }
    m_page = page;
}

void CCanvasController::RecalcScrollSizes(bool scroll)
{
    const int z = GetZoom();
    RecalcPageRect();
    CRect parts = m_design ? DesignExtent(*m_design) : CRect();
    m_scrollRange = CSize(z * std::max(m_page.right, parts.right), z * std::max(m_page.bottom, parts.bottom));
    m_host.SetScrollRange(m_scrollRange);
    if (!scroll || !m_design) return;
    // An empty design shows its page from the top-left corner (where parts
    // added from the toolbar start).
    if (parts.IsRectEmpty()) {
        m_host.ScrollTo(CPoint(std::max(0, m_page.left * z), std::max(0, m_page.top * z)));
        return;
    }
    // Otherwise the parts' top-left corner comes near the client's, with a
    // margin; an axis on which all the parts fit from 0 stays at 0.
    const CSize client = m_host.GetClientSize();
    const CSize offset = m_design->m_szOffset;
    int x = z * (parts.left - (parts.Width() > 350 ? 4 : 32));
    int y = z * (parts.top - (parts.Height() > 250 ? 4 : 32));
    if (client.cx > parts.right * z || offset.cx) x = 0;
    if (client.cy > parts.bottom * z || offset.cy) y = 0;
    m_host.ScrollTo(CPoint(std::max(0, x), std::max(0, y)));
}

void CCanvasController::OnSize() { RecalcScrollSizes(false); }

void CCanvasController::OnKey(CanvasKey key)
{
    const CSize client = m_host.GetClientSize();
    const CSize line(std::max(1, m_scrollRange.cx / 100), std::max(1, m_scrollRange.cy / 100));
    const CPoint pos = m_host.GetScrollPos();
    CPoint to = pos;
    switch (key) {
    case CanvasKey::kPageUp: to.y -= client.cy; break;
    case CanvasKey::kPageDown: to.y += client.cy; break;
    case CanvasKey::kEnd: to = CPoint(m_scrollRange.cx, m_scrollRange.cy); break;
    case CanvasKey::kHome: to = CPoint(0, 0); break;
    case CanvasKey::kLeft: to.x -= line.cx; break;
    case CanvasKey::kUp: to.y -= line.cy; break;
    case CanvasKey::kRight: to.x += line.cx; break;
    case CanvasKey::kDown: to.y += line.cy; break;
    case CanvasKey::kOther: return;
    }
    to.x = std::clamp(to.x, 0, std::max(0, m_scrollRange.cx - client.cx));
    to.y = std::clamp(to.y, 0, std::max(0, m_scrollRange.cy - client.cy));
    if (to != pos) m_host.ScrollTo(to);
}

// ---------------------------------------------------------------- painting

void CCanvasController::Paint(const CRect& update)
{
    CDisplay display(m_host.GetDrawView());
    const CRect logical(ToLogical(update.TopLeft()), ToLogical(update.BottomRight() + CPoint(1, 1)));
    // Background: the page white, outside it the workspace (only a design
    // with a fixed offset has an outside), the page edges as lines.
    const bool fixed = m_design && (m_design->m_szOffset.cx || m_design->m_szOffset.cy);
    if (fixed) CDisplay::FillRectColour(logical, kWorkspace);
    CRect page;
    if (page.IntersectRect(logical, m_page)) CDisplay::FillRectColour(page, kWhite);
    if (!fixed) {
        CRect outside = logical;
        if (outside.right > m_page.right) {
            CDisplay::FillRectColour(CRect(m_page.right, outside.top, outside.right, outside.bottom), kWorkspace);
            CDisplay::DrawLine(m_page.right, m_page.top, m_page.right, m_page.bottom, kPageEdge, PS_SOLID, 1);
        }
        if (outside.bottom > m_page.bottom) {
            CDisplay::FillRectColour(CRect(outside.left, m_page.bottom, outside.right, outside.bottom), kWorkspace);
            CDisplay::DrawLine(m_page.left, m_page.bottom, m_page.right + 1, m_page.bottom, kPageEdge, PS_SOLID, 1);
        }
    }
    if (!m_design) return;
    CDisplay::SetZoomWord(GetZoom() == 2 ? 1 : 0);
    if (!SharedPressState().dragImage) {
        CRect clip = logical;
        clip.InflateRect(1, 1);
        m_design->DrawTreeInRect(m_design->GetRedrawFlags(), 4, clip, nullptr);
    } else {
        m_design->DrawTree(m_design->GetRedrawFlags());
    }
    const bool moved = m_floatingDrawn;
    if (m_floatingDrawn && m_floating) Ops().ForwardDrag(*m_floating, 4, m_dragOffset);
    if (m_bandActive)
        DrawBand();
    else if (!moved && IsRouting())
        m_route->DrawDragLegs();
    m_floatingDrawn = false;
}

CRect CCanvasController::GetBandRect() const
{
    CRect r(m_bandStart, m_bandEnd);
    r.NormalizeRect();
    return r;
}

void CCanvasController::DrawBand() { CDisplay::InvertRect(GetBandRect()); }

// ---------------------------------------------------------------- activation

CCanvasController* CCanvasController::ActiveView() { return g_activeView; }

bool CCanvasController::IsActiveView() const { return g_activeView == this; }

void CCanvasController::OnActivate(bool active)
{
    EndHover();
    if (!active) {
        if (m_host.HasCapture()) FinishDragOnDeactivate();
        return;
    }
    if (g_activeView == this && CCircuit::ActiveCircuit() == m_design) return;
    if (g_activeView && g_activeView != this && g_activeView->m_design)
        g_activeView->m_design->ControlSimulation(SIM_DEACTIVATE);
    g_activeView = this;
    CCircuit::ActiveCircuit() = m_design;
    CDummyPart::ActiveDesign() = m_design;
    if (!m_design) {
        m_host.ShowPartProperties(nullptr);
        return;
    }
    if (m_simHost) m_design->SetHost(m_simHost);
    m_design->ControlSimulation(SIM_ACTIVATE);
    m_knowEditAllowed = false;
    RefreshEditState();
    if (CDisplay::IsIdle()) {
        ShowPartProperties(nullptr);
        m_host.Invalidate();
    }
}

void CCanvasController::FinishDragOnDeactivate()
{
    const CPoint p = m_host.GetCursorPos();
    // The part sees a forced release: the drag ends wherever the pointer is.
    OnRelease(p, 0);
}

// ---------------------------------------------------------------- timer 1 and idle

void CCanvasController::OnTimer(int id)
{
    if (id == CBubble::kDelayTimer || id == CBubble::kSettleTimer) {
        m_bubble.OnTimer(id);
        return;
    }
    if (id != TIMER_STEP || g_activeView != this || !m_design || !CDisplay::IsIdle()) return;
    {
        CDisplay display(m_host.GetDrawView());
        m_design->ControlSimulation(SIM_TIMER);
    }
    PerformPendingRelease();
}

void CCanvasController::PerformPendingRelease()
{
    if (!m_releasePending || !m_design || m_design->HasBlownPart()) return;
    m_releasePending = false;
    // The release happens where the button really went up.
    PerformRelease(m_pendingRelease, m_pendingFlags);
}

bool CCanvasController::IdleStep(long count)
{
    bool more = false;
    if (m_design && count % 4 == 0 && (m_design->GetOptions() & kOptBubbles) &&
        (m_design->GetOptions() & kOptAnimation))
        m_hoverCheckPending = true;
    if (g_activeView == this && m_design && CDisplay::IsIdle()) {
        if (m_scrollSince) {
            TestAutoScroll(m_host.GetCursorPos());
            more = m_scrollSince != 0;
        }
        if (m_design->WantsIdle()) {
            CDisplay display(m_host.GetDrawView());
            if (m_design->ControlSimulation(SIM_IDLE)) more = true;
        }
        PerformPendingRelease();
        if (m_releasePending) more = true;
        RefreshHover();
    }
    if (m_hoverCheckPending && m_design && CDisplay::IsIdle()) {
        m_hoverCheckPending = false;
        CheckHover(m_host.GetCursorPos());
    }
    // Idle time is asked for only while there is work: a pass owed, an
    // auto-scroll armed or a release held back.
    return more && m_host.IsFrameActive();
}

// ---------------------------------------------------------------- auto-scroll

void CCanvasController::DisarmAutoScroll() { m_scrollSince = 0; }

void CCanvasController::TestAutoScroll(CPoint client)
{
    if (!m_design || (!m_floating && !m_bandActive)) {
        DisarmAutoScroll();
        return;
    }
    const CSize size = m_host.GetClientSize();
    CSize step;
    if (client.x >= size.cx - kAutoScrollMargin) step.cx = kAutoScrollStep;
    if (client.x < kAutoScrollMargin) step.cx = -kAutoScrollStep;
    if (client.y >= size.cy - kAutoScrollMargin) step.cy = kAutoScrollStep;
    if (client.y < kAutoScrollMargin) step.cy = -kAutoScrollStep;
    if (m_design->m_szOffset.cx) step.cx = 0;
    if (m_design->m_szOffset.cy) step.cy = 0;
    if (!m_bandActive && m_floating && (step.cx || step.cy) && !Ops().ForwardDrag(*m_floating, 0, step))
        step = CSize();
    m_scrollStep = step;
    if ((!step.cx && !step.cy) || m_scrollLock) {
        DisarmAutoScroll();
        m_scrollLock = m_scrollLock && step.cy != 0;
        return;
    }
    const uint32_t now = m_host.GetTickCount();
    if (!m_scrollSince) {
        m_scrollSince = now ? now : 1;
        return;
    }
    if (now - m_scrollSince > 600) {
        m_scrollSince = now - 400;
        AutoScrollStep();
    }
}

void CCanvasController::AutoScrollStep()
{
    if (m_page.right > 10000 || m_page.bottom > 10000) return;
    const int z = GetZoom();
    const CSize client = m_host.GetClientSize();
    const CPoint pos = m_host.GetScrollPos();
    CPoint to(pos.x + m_scrollStep.cx * z, pos.y + m_scrollStep.cy * z);
    bool grown = false, moved = false;
    CRect page = m_design->GetPageRect();
    // Passing within a step of the page's edge grows the page (a negative
    // step moves the whole design instead).
    if (to.x < 0 || to.x + client.cx > (page.right - kAutoScrollStep) * z) {
        if (m_scrollStep.cx > 0) page.right += m_scrollStep.cx, grown = true;
        if (m_scrollStep.cx < 0) moved = true;
    }
    if (to.y < 0 || to.y + client.cy > (page.bottom - kAutoScrollStep) * z) {
        if (m_scrollStep.cy > 0) page.bottom += m_scrollStep.cy, grown = true;
        if (m_scrollStep.cy < 0) moved = true;
    }
    if (moved) {
        const int dx = to.x < 0 ? -m_scrollStep.cx : 0, dy = to.y < 0 ? -m_scrollStep.cy : 0;
        CPartIterator it(m_design, 0);
        for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) p->Offset(dx, dy);
        page.right += dx;
        page.bottom += dy;
        to.x = std::max(0, to.x);
        to.y = std::max(0, to.y);
    }
    if (grown || moved) {
        m_design->SetPageRect(page.left, page.top, page.right, page.bottom);
        RecalcScrollSizes(false);
        m_host.Invalidate();
    }
    m_host.ScrollTo(to);
    m_dragOffset = m_dragOffset + m_scrollStep;
    if (m_floating) Ops().ForwardDrag(*m_floating, moved ? 3 : 2, m_scrollStep);
    if (m_bandActive) m_bandEnd = ToLogical(m_host.GetCursorPos());
    m_floatingDrawn = true;
    m_host.Invalidate();
}
