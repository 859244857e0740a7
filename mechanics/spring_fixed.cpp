#include "mechanics/spring_fixed.h"

#include "components/component_kit.h"
#include "components/resize.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CSpringFixed, "CSpring", 4)

void CSpringFixed::AddHandle()
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (dynamic_cast<CResize*>(c)) return;
    const CPoint corner = m_rect.TopLeft();
    AppendChild(new CResize(kGripX, kGripY, -corner.x, -corner.y, this, 1, CResize::kHorizontal));
}

void CSpringFixed::CreateChildren()
{
    const CPoint corner = m_rect.TopLeft();
    if (m_rect.Width() < kWidth || m_rect.Height() != kHeight)
        m_rect.SetRect(corner.x, corner.y, corner.x + kWidth, corner.y + kHeight);
    if (m_terminals.empty()) AddMechTerminal(DescribePin(3, corner + CPoint(0, 9)));
    AddHandle();
    if (!ValueLabelOf(this)) AddChild(new CValue(1.0, 1.0, ' ', "N/m", 2, m_rect, 5));
}

void CSpringFixed::RestoreOldLayout(CArchive& ar)
{
    if (m_rect.Width() < kWidth || m_rect.Height() != kHeight)
        m_rect.SetRect(m_rect.left, m_rect.top, m_rect.left + kWidth, m_rect.top + kHeight);
    // A handle such a record may hold belongs to no layout of this part: a
    // new one replaces it.
    for (CPart* c = GetFirstChild(); c;) {
        CPart* next = c->GetNextSibling();
        if (auto* g = dynamic_cast<CResize*>(c)) {
            ForgetTree(ar, g);
            RemoveChild(g);
            delete g;
        }
        c = next;
    }
    AddHandle();
}

void CSpringFixed::Stretch(int d)
{
    // d pixels of the left edge: the rod and the coil each take half.
    m_lower.MoveLimit(d / kPixelsPerMetre / 2.0);
    m_upper.MoveLimit(-3.0 * d / 8.0 / kPixelsPerMetre);
    m_spring.MoveEndB(-d / kPixelsPerMetre / 2.0);
    m_spring.SetEndA(0.0);
    m_lower.SetOffset(0.0);
    m_upper.SetOffset(0.0);
    m_spring.Commit();
    m_lower.ApplyDelta();
    m_upper.ApplyDelta();
}

int CSpringFixed::AttachMechanism(int, int movement)
{
    const int width = m_rect.Width();
    int newWidth = width - movement;
    const bool clipped = newWidth < kWidth;
    if (clipped) newWidth = kWidth;
    const int d = width - newWidth;
    // The left edge and the terminal on it move; the wall stays.
    m_rect.left += d;
    if (CTerminal* t = GetTerminal(0)) t->Offset(d, 0);
    Stretch(d);
    return clipped ? 0 : 1;
}

void CSpringFixed::ResetSimulation()
{
    CSpring::ResetSimulation();
    m_spring.Init(0.0, kRestLength, 1.0);
    m_lower.Set(kLowerLimit, 0);
    m_upper.Set(kUpperLimit, 1);
    // A restart begins at rest: nothing of the last run stays in the stops.
    for (CStop* s : {&m_lower, &m_upper}) {
        s->SetDelta(0.0);
        s->SetOffset(0.0);
    }
    if (m_rect.Width() > kWidth) Stretch(kWidth - m_rect.Width());
    ResetState();
}

void CSpringFixed::ResetState()
{
    m_spring.Commit();
    m_lower.ApplyDelta();
    m_upper.ApplyDelta();
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
}

void CSpringFixed::Stamp(CMatrix* m)
{
    CTerminal* t = GetTerminal(0);
    if (!t) return;
    m->StampTransfer(m_spring.GetStiffness(), m_spring.GetForce(), t, nullptr, t, nullptr);
    m_lower.StampAt(m, t);
    m_upper.StampAt(m, t);
}

void CSpringFixed::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    CTerminal* t = GetTerminal(0);
    if (!t) return;
    const double x = nodeValues[t->GetNode()];
    m_lower.LimitStep(out, fraction, x);
    m_upper.LimitStep(out, fraction, x);
}

int CSpringFixed::AfterStep()
{
    if (CMechComp::AfterStep() || !HasMechTerminals(1)) return IsBroken();
    const double x = GetMechTerminal(0)->GetPosition();
    m_lower.SetDelta(x);
    m_upper.SetDelta(x);
    m_lower.Commit();
    m_upper.Commit();
    m_spring.SetPendingMoves(x, 0.0);
    RecordEnergy();
    if (CCircuit* d = GetDesign()) {
        if (CDisplay::GetCurrentDC()) Draw(d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}
