#include "components/zener.h"

#include "components/component_kit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CZener, "CComponent", 2)

// Ratings text of the zener: 5 W.
constexpr UINT IDS_ZENER_RATINGS = 22;

namespace {

// Picture 323: 24 x 24, cathode on top, anode below.
CVisual& ZenerVisual()
{
    static CVisual visual(0, 0, 323, 1, 0, 2, 24, 24);
    static const bool ready = (visual.SetOrientationMask(15), true);
    (void)ready;
    return visual;
}

} // namespace

CZener::CZener()
{
    m_pVisual = &ZenerVisual();
    m_nOrientationMask = 15;
    LoadRatings(IDS_ZENER_RATINGS);
}

void CZener::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    AddChild(new CValue(kDefaultVz, 1.0, ' ', "V", 3, m_rect, 5));
}

double CZener::GetZenerVoltage() { return LabelValue(this); }

double CZener::GetOffset() { return std::max(GetZenerVoltage() - 0.7, 0.0); }

double CZener::ReverseIntercept()
{
    // Off (segment 0) carries only its leakage from 0 V.  Every other
    // segment holds the offset: the exponential steps are segments 3, 4, ...
    // each, and the offset must stay with all of them or the reverse current
    // jumps as soon as it passes the first step (46 nA).
    if (m_reverse.GetSegment() == 0) return 0.0;
    return m_reverse.GetIntercept() - GetOffset() * m_reverse.GetSlope();
}

void CZener::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    CTerminal* k = Cathode();
    CTerminal* a = Anode();
    m->StampTransfer(m_reverse.GetSlope(), ReverseIntercept(), k, a, k, a);
    m->StampTransfer(m_forward.GetSlope(), m_forward.GetIntercept(), a, k, a, k);
}

void CZener::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 2) return;
    const double forward = nodeValues[Anode()->GetNode()] - nodeValues[Cathode()->GetNode()];
    m_forward.LimitStep(out, fraction, forward);
    m_reverse.LimitStep(out, fraction, -forward - GetOffset());
}

int CZener::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_forward.Commit();
    m_reverse.Commit();
    return broken;
}
