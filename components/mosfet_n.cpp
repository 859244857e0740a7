#include "components/mosfet_n.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CMOSFETn, "CComponent", 6)

constexpr UINT IDS_MOSFET_N_RATINGS = 4130;

enum : WORD {
    MSG_VDS = 4132,
    MSG_VGS = 4133,
};

namespace {

// Picture 4245: 28 x 24, outer pins on top and below, gate left.
CVisual& MosfetNVisual()
{
    static CVisual visual(0, 0, 4245, 1, 2, 2, 28, 24);
    static const bool ready = (visual.SetOrientationMask(51), visual.SetOffsetRow(4), true);
    (void)ready;
    return visual;
}

} // namespace

CMOSFETn::CMOSFETn() : CMOSFETn(&MosfetNVisual(), IDS_MOSFET_N_RATINGS) {}

CMOSFETn::CMOSFETn(CVisual* visual, UINT ratingsId)
{
    m_bPChannel = ratingsId != IDS_MOSFET_N_RATINGS;
    m_pVisual = visual;
    m_nOrientationMask = 51;
    LoadRatings(ratingsId);
}

void CMOSFETn::LoadRatings(UINT stringId)
{
    CComponent::LoadRatings(stringId);
    LoadRatingLimits(IDS_MOSFET_N_RATINGS, {{"Vds", &m_dVdsLimit}, {"Vgs", &m_dVgsLimit}});
}

CTerminal* CMOSFETn::Drain() const
{
    // n: mode 0 drains at B; p: mode 0 drains at A.
    const bool atA = (m_model.GetMode() != 0) != m_bPChannel;
    return atA ? OuterA() : OuterB();
}

CTerminal* CMOSFETn::Source() const { return Drain() == OuterA() ? OuterB() : OuterA(); }

void CMOSFETn::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CMOSFETn::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 3) return;
    CTerminal* d = Drain();
    CTerminal* s = Source();
    CTerminal* g = Gate();
    m->StampConductance(m_model.GetSlope(), d, s);
    if (m_bPChannel)
        m->StampTransfer(m_model.GetTransconductance(), m_model.GetIntercept(), s, g, s, d);
    else
        m->StampTransfer(m_model.GetTransconductance(), m_model.GetIntercept(), g, s, d, s);
}

void CMOSFETn::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 3) return;
    const double g = nodeValues[Gate()->GetNode()];
    const double a = nodeValues[OuterA()->GetNode()];
    const double b = nodeValues[OuterB()->GetNode()];
    if (m_bPChannel)
        m_model.LimitStep(out, fraction, b - g, a - g);
    else
        m_model.LimitStep(out, fraction, g - a, g - b);
}

int CMOSFETn::AfterStep()
{
    CCircuit* design = GetDesign();
    if (m_terminals.size() >= 3 && !(design && design->TestOptions(OPT_INDESTRUCTIBLE))) {
        CTerminal* a = OuterA();
        CTerminal* g = Gate();
        CTerminal* b = OuterB();
        const double vds = std::fabs(a->GetVoltage() - b->GetVoltage());
        const double vgb = std::fabs(g->GetVoltage() - b->GetVoltage());
        const double vga = std::fabs(g->GetVoltage() - a->GetVoltage());
        if (!IsBroken() && vds > m_dVdsLimit && a->IsJoined() && b->IsJoined()) Explode(vds, m_dVdsLimit, MSG_VDS, 'V');
        if (!IsBroken() && vgb > m_dVgsLimit && g->IsJoined() && b->IsJoined()) Explode(vgb, m_dVgsLimit, MSG_VGS, 'V');
        if (!IsBroken() && vga > m_dVgsLimit && g->IsJoined() && a->IsJoined()) Explode(vga, m_dVgsLimit, MSG_VGS, 'V');
    }
    const int broken = CComponent::AfterStep();
    m_model.Commit();
    return broken;
}
