#include "mechanics/spring_fixed.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"

WB_IMPLEMENT_SERIAL(CSpringFixed, "CSpring", 4)

void CSpringFixed::CreateChildren()
{
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + kWidth, corner.y + kHeight);
    if (m_terminals.empty()) AddMechTerminal(DescribePin(3, corner + CPoint(0, 9)));
    if (!ValueLabelOf(this)) AddChild(new CValue(1.0, 1.0, ' ', "N/m", 2, m_rect, 5));
}

void CSpringFixed::ResetSimulation()
{
    CSpring::ResetSimulation();
    m_spring.Init(0.0, kRestLength, 1.0);
    m_lower.Set(kLowerLimit, 0);
    m_upper.Set(kUpperLimit, 1);
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
    if (CMechComp::AfterStep() || m_terminals.empty()) return IsBroken();
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
