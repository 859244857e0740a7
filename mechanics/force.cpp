#include "mechanics/force.h"

#include "components/component_kit.h"
#include "components/directionkey.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CForce, "CMechComp", 4)

namespace {

// An arrow pushing on the terminal at its right end.
CVisual& ForceVisual()
{
    static CVisual visual(0, 0, 1341, 1, 0, 0, 32, 16);
    static const bool ready = (visual.SetOrientationMask(1), true);
    (void)ready;
    return visual;
}

CDirectionKey* KeyOf(CPart* part)
{
    for (CPart* c = part->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* k = dynamic_cast<CDirectionKey*>(c)) return k;
    return nullptr;
}

} // namespace

CForce::CForce()
{
    m_pVisual = &ForceVisual();
    m_nOrientationMask = 1;
    m_limit.SetKnee(kLimitKnee);
}

CMechPin CForce::DescribePin(int side, CPoint pin)
{
    CMechPin p = CMechComp::DescribePin(side, pin);
    p.kind = WIRE_LINEAR;
    return p;
}

void CForce::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    if (!ValueLabelOf(this)) AddChild(new CValue(1.0, 1.0, ' ', "N", 2, m_rect, 5));
    if (!KeyOf(this)) {
        auto* key = new CDirectionKey(m_rect.left - 44, m_rect.top - 11, this);
        key->m_wState = m_wDirection;
        AddChild(key);
    }
}

void CForce::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    if (ar.IsStoring())
        ar << m_wDirection;
    else
        ar >> m_wDirection;
}

void CForce::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CMechComp::AfterLoad(design, flags, version);
    m_limit.SetKnee(kLimitKnee);
}

int CForce::SetInputValue(CPartTree*, int value)
{
    m_wDirection = static_cast<WORD>(value);
    if (CCircuit* d = GetDesign()) d->ControlSimulation(SIM_SWITCH_CHANGED);
    return 0;
}

double CForce::GetAppliedForce()
{
    const double f = LabelValue(this);
    return m_wDirection == 1 ? f : m_wDirection == 3 ? -f : 0.0;
}

void CForce::Stamp(CMatrix* m)
{
    CTerminal* t = GetTerminal(0);
    if (!t) return;
    const double f = LabelValue(this);
    // Code 1: the force enters the node (its displacement rises) and the
    // limit acts on +x; code 3 the mirror image.
    if (m_wDirection == 1) {
        m->StampTransfer(0.0, -f, nullptr, nullptr, t, nullptr);
        m->StampTransfer(m_limit.GetSlope(), m_limit.GetIntercept(), t, nullptr, t, nullptr);
    } else if (m_wDirection == 3) {
        m->StampTransfer(0.0, f, nullptr, nullptr, t, nullptr);
        m->StampTransfer(m_limit.GetSlope(), m_limit.GetIntercept(), nullptr, t, nullptr, t);
    }
}

void CForce::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    CTerminal* t = GetTerminal(0);
    if (!t || (m_wDirection != 1 && m_wDirection != 3)) return;
    const double x = nodeValues[t->GetNode()];
    m_limit.LimitStep(out, fraction, m_wDirection == 1 ? x : -x);
}

int CForce::AfterStep()
{
    const int broken = CMechComp::AfterStep();
    m_limit.Commit();
    if (broken) return broken;
    if (CCircuit* d = GetDesign()) {
        if (CDisplay::GetCurrentDC()) Draw(d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

void CForce::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_limit.SetKnee(kLimitKnee);
}

int CForce::Draw(DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return 0;
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->SetAuxValue(m_bSelected);
    ForceVisual().DrawBitmap(m_rect.left, m_rect.top, 0, GetDrawVariant(), {0, 0}, ForceVisual().GetSize(), 0,
                             SRCAND);
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->DrawMarks(flags);
    if (!m_bSelected) return 0;
    CPartDrawing* d = CPartDrawing::Current();
    return d ? d->FrameSelection(m_rect) : 0;
}
