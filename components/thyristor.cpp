#include "components/thyristor.h"

#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CThyristor, "CComponent", 3)

// Ratings text of the thyristor: 400 V, 2 A.
constexpr UINT IDS_THYRISTOR_RATINGS = 21;

namespace {

// Picture 324: 24 x 24, anode on top, gate left, cathode below.
CVisual& ThyristorVisual()
{
    static CVisual visual(0, 0, 324, 1, 2, 2, 24, 24);
    static const bool ready = (visual.SetOrientationMask(255), visual.SetOffsetRow(10), true);
    (void)ready;
    return visual;
}

} // namespace

CThyristor::CThyristor()
{
    m_pVisual = &ThyristorVisual();
    m_nOrientationMask = 255;
    LoadRatings(IDS_THYRISTOR_RATINGS);
}

void CThyristor::ResetState()
{
    m_model.Reset();
    m_wStateWord = 0;
}

void CThyristor::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CThyristor::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 3) return;
    CTerminal* a = Anode();
    CTerminal* g = Gate();
    CTerminal* k = Cathode();
    const CDiodeModel& gate = m_model.GateDiode();
    m->StampTransfer(gate.GetSlope(), gate.GetIntercept(), g, k, g, k);
    m->StampConductance(m_model.GetOnConductance(), a, g);
    m->StampTransfer(m_model.GetGateConductance(), m_model.GetAnodeSource(), g, k, a, k);
    m->StampConductance(m_model.GetAnodeConductance(), a, k);
}

void CThyristor::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 3) return;
    const double vk = nodeValues[Cathode()->GetNode()];
    m_model.LimitStep(out, fraction, nodeValues[Gate()->GetNode()] - vk, nodeValues[Anode()->GetNode()] - vk);
}

int CThyristor::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_model.Commit();
    return broken;
}
