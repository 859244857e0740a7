#include "mechanics/mech_comp.h"

#include "components/resize.h"
#include "model/circuit/circuit.h"
#include "model/components/wire.h"
#include "model/display/display.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CMechComp, "CComponent", 4)

bool CMechComp::IsRatedTerminal(const CTerminal* t) const { return t && t->GetKind() == WIRE_ELECTRIC; }

CTerminal* CMechComp::GetReferenceTerminal()
{
    for (CTerminal* t : m_terminals)
        if (IsRatedTerminal(t)) return t;
    return nullptr;
}

void CMechComp::ResetSimulation()
{
    m_wStateWord = 0;
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
}

void CMechComp::CreateTerminals(int)
{
    if (!m_pVisual) return;
    for (const PinCell& cell : GetPinCells()) AddMechTerminal(DescribePin(cell.side, cell.pin));
    ApplyOrientation(m_nOrientation);
}

CMechPin CMechComp::DescribePin(int side, CPoint pin)
{
    CMechPin p;
    p.side = side;
    p.pin = pin;
    return p;
}

CMechTerm* CMechComp::AddMechTerminal(const CMechPin& pin)
{
    CCircuit* design = GetDesign();
    auto* t = new CMechTerm(pin, design ? design->NewNode() : 0);
    t->m_pOwner = this;
    AppendChild(t);
    m_terminals.push_back(t);
    m_wTerminalCount = static_cast<WORD>(m_terminals.size());
    return t;
}

int CMechComp::TrackHandle(CPartTree*, CPoint)
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* h = dynamic_cast<CResize*>(c); h && h->IsDragging()) {
            const int at = h->m_nMode == CResize::kHorizontal ? h->m_anchor.x : h->m_anchor.y;
            return AttachMechanism(at, h->GetMovement());
        }
    return 0;
}

void CHandHold::Track(int phase, double displacement, double position)
{
    switch (phase) {
    case 0:
        held = 1;
        target = position;
        break;
    case 1:
        if (std::isfinite(displacement)) target += displacement;
        break;
    case 2:
        held = 0;
        break;
    default:
        break;
    }
}

void CMechComp::DropKnobs(CArchive* ar)
{
    while (CKnob* k = FindKnob()) {
        if (ar) ForgetTree(*ar, k);
        RemoveChild(k);
        delete k;
    }
}

void CMechComp::DrawMoving(int flag, DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return;
    const CRect area = m_rect;
    const bool buffered = !flag && CDisplay::BeginBuffer(area);
    CDC* dc = CDisplay::GetCurrentDC();
    const CPoint old = buffered ? dc->SetWindowOrg(area.TopLeft()) : CPoint();
    DrawMovingBody(flags);
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) {
            if (buffered)
                m->Draw(flags);
            else
                m->DrawMarks(flags);
        }
    if (!buffered) return;
    dc->SetWindowOrg(old);
    CDisplay::EndBuffer(area, true);
    for (CTerminal* t : m_terminals)
        if (CWire* wire = t->GetJoinedWire()) wire->Draw(flags);
}

int CMechComp::DrawMovingPart(DWORD flags, const CRect& frame)
{
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->SetAuxValue(m_bSelected);
    DrawMoving(1, flags);
    // The hatched frame only while selected (flag 0x200 is the print flag
    // here, not a request for the frame).
    if (!m_bSelected) return 0;
    CPartDrawing* d = CPartDrawing::Current();
    return d ? d->FrameSelection(frame) : 0;
}
