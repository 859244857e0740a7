#include "components/npn.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/valuevariants.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CNPN, "CComponent", 2)

constexpr UINT IDS_NPN_RATINGS = 19;

// Messages of the transistor's own limits.
enum : WORD {
    MSG_REVERSE_VBE = 14,
    MSG_VCE = 15,
    MSG_VCB = 17,
};

namespace {

// Picture 321: 28 x 24, collector on top, base left, emitter below.
CVisual& NpnVisual()
{
    static CVisual visual(0, 0, 321, 1, 2, 2, 28, 24);
    static const bool ready = (visual.SetOrientationMask(255), visual.SetOffsetRow(4), true);
    (void)ready;
    return visual;
}

CDummyValue* NewGainLabel(double gain) { return new CDummyValue(gain, 1.0, ' ', "hFE", 11); }

} // namespace

CNPN::CNPN() : CNPN(&NpnVisual(), IDS_NPN_RATINGS) {}

CNPN::CNPN(CVisual* visual, UINT ratingsId)
{
    m_bPNP = ratingsId != IDS_NPN_RATINGS;
    m_pVisual = visual;
    m_nOrientationMask = 255;
    LoadRatings(ratingsId);
}

void CNPN::LoadRatings(UINT stringId)
{
    CComponent::LoadRatings(stringId);
    LoadRatingLimits(stringId, {{"Vce", &m_dVceLimit}, {"Vcb", &m_dVcbLimit}, {"VbeRev", &m_dVbeRevLimit}});
}

void CNPN::InitVariant(const CRuntimeClass* variant)
{
    m_nOrientation = 4;
    m_rcPicture.SetRect(-20, 0, 8, 24);
    CComponent::InitVariant(variant);
}

void CNPN::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    AddChild(NewGainLabel(kDefaultGain));
}

void CNPN::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring()) return;
    const WORD version = ar.GetVersion();
    double gain = kDefaultGain;
    if (version == 3) ar >> gain;
    if (version < 4) {
        // The label these files lack, made while reading: marked as every
        // value read is, so that saved and read again it keeps its bytes.
        CDummyValue* label = NewGainLabel(gain);
        label->flags = TF_VALUE;
        AddChild(label);
    }
}

double CNPN::GetGain()
{
    const double h = LabelValue(this);
    return h > 0.0 ? h : 0.01;
}

void CNPN::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 3) return;
    CTerminal* c = Collector();
    CTerminal* b = Base();
    CTerminal* e = Emitter();
    // Each junction in its forward direction: (p, n) for NPN, (n, p) for PNP.
    CTerminal* beP = m_bPNP ? e : b;
    CTerminal* beN = m_bPNP ? b : e;
    CTerminal* bcP = m_bPNP ? c : b;
    CTerminal* bcN = m_bPNP ? b : c;
    const double h = GetGain();
    if (!m_bPNP) m->StampConductance(kBaseLeak, b, e);
    // Base current I_F / hFE and the collector current I_F.
    m->StampTransfer(m_be.GetSlope() / h, m_be.GetIntercept() / h, beP, beN, beP, beN);
    m->StampTransfer(m_be.GetSlope(), m_be.GetIntercept(), beP, beN, m_bPNP ? e : c, m_bPNP ? c : e);
    // Base current I_R / 5 and the reverse current I_R.
    m->StampTransfer(m_bc.GetSlope() / kReverseGain, m_bc.GetIntercept() / kReverseGain, bcP, bcN, bcP, bcN);
    m->StampTransfer(m_bc.GetSlope(), m_bc.GetIntercept(), bcP, bcN, m_bPNP ? c : e, m_bPNP ? e : c);
}

void CNPN::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 3) return;
    const double p = Polarity();
    const double vb = nodeValues[Base()->GetNode()];
    m_be.LimitStep(out, fraction, p * (vb - nodeValues[Emitter()->GetNode()]));
    m_bc.LimitStep(out, fraction, p * (vb - nodeValues[Collector()->GetNode()]));
}

int CNPN::AfterStep()
{
    CCircuit* design = GetDesign();
    if (m_terminals.size() >= 3 && !(design && design->TestOptions(OPT_INDESTRUCTIBLE))) {
        const double vc = Collector()->GetVoltage(), vb = Base()->GetVoltage(), ve = Emitter()->GetVoltage();
        const double vce = std::fabs(vc - ve), vcb = std::fabs(vc - vb), vbeRev = Polarity() * (ve - vb);
        if (!IsBroken() && vce > m_dVceLimit && Emitter()->IsJoined()) Explode(vce, m_dVceLimit, MSG_VCE, 'V');
        if (!IsBroken() && vcb > m_dVcbLimit) Explode(vcb, m_dVcbLimit, MSG_VCB, 'V');
        if (!IsBroken() && vbeRev > m_dVbeRevLimit) Explode(vbeRev, m_dVbeRevLimit, MSG_REVERSE_VBE, 'V');
    }
    const int broken = CComponent::AfterStep();
    m_be.Commit();
    m_bc.Commit();
    return broken;
}
