#include "components/isolator.h"

#include "components/component_kit.h"
#include "components/led.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CIsolator, "CComponent", 4)

// Ratings text: 50 mA, 5300 V isolation, Vce 55 V, 6 V LED reverse.
constexpr UINT IDS_ISOLATOR_RATINGS = 4107;

enum : WORD {
    MSG_REVERSE_VOLTAGE = 13,
    MSG_VCE = 15,
};

namespace {

// Picture 4239: 48 x 24, the LED on the left, the transistor on the right.
CVisual& IsolatorVisual()
{
    static CVisual visual(0, 0, 4239, 1, 0, 0, 48, 24);
    static const bool ready = (visual.SetOrientationMask(15), visual.SetOffsetRow(19), true);
    (void)ready;
    return visual;
}

// Picture 4240: the LED's glow, 11 frames of 24 x 24 (level 0-10).
CVisual& GlowVisual()
{
    static CVisual visual(0, 0, 4240, 11, 0, 0, 24, 24);
    static const bool ready = (visual.SetOrientationMask(15), visual.SetOffsetRow(17), true);
    (void)ready;
    return visual;
}

} // namespace

CIsolator::CIsolator()
{
    m_pVisual = &IsolatorVisual();
    m_nOrientationMask = 15;
    m_led.SetKnee(0.967);
    LoadRatings(IDS_ISOLATOR_RATINGS);
}

void CIsolator::LoadRatings(UINT stringId)
{
    CComponent::LoadRatings(stringId);
    LoadRatingLimits(stringId, {{"Vled", &m_dVledLimit}, {"Vce", &m_dVceLimit}});
}

void CIsolator::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CIsolator::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring())
        ar << m_wBase;
    else
        ar >> m_wBase;
}

void CIsolator::AssignInternalNodes(uint16_t* nextNode) { m_wBase = (*nextNode)++; }

double CIsolator::GetLedCurrent() const
{
    if (m_terminals.size() < 4) return 0.0;
    return (Anode()->GetVoltage() - Cathode()->GetVoltage()) * m_led.GetSlope() + m_led.GetIntercept();
}

void CIsolator::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 4) return;
    CTerminal* a = Anode();
    CTerminal* k = Cathode();
    m->StampTransfer(m_led.GetSlope(), m_led.GetIntercept(), a, k, a, k);
    m_q.Stamp(m, m_wBase, Collector(), Emitter());
    m_q.StampBaseSource(m, -kTransfer * m_led.GetSlope(), -kTransfer * m_led.GetIntercept(), a, k, m_wBase,
                        Emitter());
}

void CIsolator::LimitStep(CState** out, double* fraction, const double* v)
{
    if (m_terminals.size() < 4) return;
    m_led.LimitStep(out, fraction, v[Anode()->GetNode()] - v[Cathode()->GetNode()]);
    m_q.LimitStep(out, fraction, v, m_wBase, Collector(), Emitter());
}

int CIsolator::AfterStep()
{
    CCircuit* design = GetDesign();
    if (m_terminals.size() >= 4 && !(design && design->TestOptions(OPT_INDESTRUCTIBLE))) {
        const double vce = std::fabs(Collector()->GetVoltage() - Emitter()->GetVoltage());
        const double vrev = Cathode()->GetVoltage() - Anode()->GetVoltage();
        if (!IsBroken() && vce > m_dVceLimit) Explode(vce, m_dVceLimit, MSG_VCE, 'V');
        if (!IsBroken() && vrev > m_dVledLimit) Explode(vrev, m_dVledLimit, MSG_REVERSE_VOLTAGE, 'V');
    }
    CComponent::AfterStep();
    m_led.Commit();
    m_q.Commit();
    if (IsBroken()) return 1;
    const int level = CLED::BrightnessOfCurrent(GetLedCurrent());
    if (level != m_wStateWord) {
        m_wStateWord = static_cast<WORD>(level);
        Draw(design ? design->GetOptions() : 0);
    }
    return 0;
}

void CIsolator::ResetVisual()
{
    CComponent::ResetVisual();
    const int rest = GlowVisual().GetRestFrame();
    if (rest >= 0) m_wStateWord = static_cast<WORD>(rest);
}

int CIsolator::Draw(DWORD flags)
{
    if (m_pVisual) m_pVisual->DrawWhole(m_rect.left, m_rect.top, 0, IsBroken(), m_nOrientation);
    if (flags & 0x4) {
        int x = m_rect.left, y = m_rect.top;
        if (m_nOrientation == 3) y = m_rect.bottom - 24;
        if (m_nOrientation == 2) x = m_rect.right - 24;
        GlowVisual().DrawWhole(x, y, std::min<int>(m_wStateWord, 10), IsBroken(), m_nOrientation);
    }
    return CPart::Draw(flags);
}
