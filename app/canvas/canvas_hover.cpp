// What lies under the resting mouse: the cursor it offers and the help
// bubble with its information text.
#include "app/canvas/canvas_controller.h"

#include "model/parts/info_design.h"

#include "model/circuit/circuit.h"
#include "model/display/display.h"

namespace {
constexpr DWORD kOptBubbles = 0x10000;
constexpr DWORD kOptAnimation = 0x4;
constexpr int kStrNoInformation = 36002;
} // namespace

void CCanvasController::SetCursorCode(int code)
{
    if (code == m_cursor) return;
    m_cursor = code;
    m_host.SetCursorCode(code);
}

bool CCanvasController::IsVisible(CPoint client) const
{
    const CSize size = m_host.GetClientSize();
    return client.x >= 0 && client.y >= 0 && client.x < size.cx && client.y < size.cy;
}

void CCanvasController::UpdateCursor()
{
    if (m_bubble.IsShown() && m_hoverCode) OfferCursor(m_hoverCode, 1);
    if (m_editMode != 1 && m_hoverPriority) {
        SetCursorCode(m_hoverCode);
    } else if (m_editMode) {
        SetCursorCode(m_floating ? CURSOR_DELETE_HOLDING : CURSOR_DELETE);
    } else if (IsVisible(m_host.GetCursorPos())) {
        SetCursorCode(m_dragging ? CURSOR_DRAG : CURSOR_ARROW);
    }
}

void CCanvasController::OfferCursor(int code, int priority)
{
    if (priority < m_hoverPriority) return;
    m_hoverCode = code;
    m_hoverPriority = static_cast<uint16_t>(priority);
}

void CCanvasController::WithdrawCursor(int priority)
{
    if (priority < m_hoverPriority) return;
    m_hoverCode = 0;
    m_hoverPriority = 0;
}

void CCanvasController::RefreshHover()
{
    const int before = m_hoverCode;
    WithdrawCursor(1);
    if (!m_design) return;
    const CPoint client = m_host.GetCursorPos();
    if (IsVisible(client) && m_editMode == 0 && !m_host.HasCapture()) {
        const CPoint p = ToLogical(client);
        CPart* part = m_design->FindPartAt(p, 448, 0, 0);
        CPart*& hovered = CPart::HoveredPart();
        if (part != hovered) {
            if (hovered && hovered->OnHoverLeave()) hovered->DrawTree(0);
            hovered = part;
            if (part && part->OnHoverEnter()) part->DrawTree(0);
        }
        if (part) {
            CString text;
            if (int code = part->ShowInfo(p, text)) OfferCursor(code, 1);
        }
        UpdateCursor();
    } else if (!IsVisible(client) && before && before != CURSOR_ARROW) {
        UpdateCursor();
    }
}

int CCanvasController::CheckHover(CPoint client)
{
    if (!m_design || m_editMode || m_host.HasCapture() || m_design->HasBlownPart() || client.x < 0 || client.y < 0)
        return 0;
    if (client == m_lastHover) return m_bubble.IsShown() ? 2 : 0;
    m_lastHover = client;
    if (!(m_design->GetOptions() & kOptBubbles)) return 0;
    const CPoint p = ToLogical(client);
    CPart* part = Ops().FindInfoPart(*m_design, p);
    if (!part || !part->HasInfo(p.x, p.y)) {
        m_bubble.HideAndReset();
        return 0;
    }
    CPart::HoveredPart() = part;
    CString text;
    int code;
    {
        CDisplay display(m_host.GetDrawView());
        // The text is this view's design's, whichever view is active.
        CInfoDesign given(m_design);
        code = part->BuildInfo(text, kStrNoInformation, p);
    }
    if (code) OfferCursor(code, 1);
    UpdateCursor();
    if (m_bubble.IsShown()) {
        m_bubble.SetText(text);
        return 2;
    }
    // The bubble stands below the cursor.
    const CPoint screen = m_host.ClientToScreen(client);
    const int below = screen.y + static_cast<int>(m_host.GetCursorHeight() / 1.2);
    CCircuit* active = ActiveView() ? ActiveView()->m_design : nullptr;
    const double rate = active ? active->GetUpdateRate() : 0.0;
    m_bubble.SetCountdownRearm(active && rate > 10.0 && rate <= 20.01 && active->IsTimerSet());
    m_bubble.Show(-screen.x, below, text, 0, false, false);
    return 1;
}

void CCanvasController::TickBubbleHelp()
{
    m_bubble.TickCountdown();
    if (m_design && (m_design->GetOptions() & kOptBubbles) && (m_design->GetOptions() & kOptAnimation))
        m_hoverCheckPending = true;
}

void CCanvasController::EndHover()
{
    m_bubble.HideAndReset();
    m_lastHover = CPoint(-1000, -1000);
    WithdrawCursor(1);
    CPart*& hovered = CPart::HoveredPart();
    if (hovered) {
        if (hovered->OnHoverLeave()) m_host.Invalidate();
        hovered = nullptr;
    }
}
