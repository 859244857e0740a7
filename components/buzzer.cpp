#include "components/buzzer.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CBuzzer, "CComponent", 2)

namespace {
constexpr UINT IDS_BUZZER_RATINGS = 23;

// The alternate look: a round piezo sounder with its two leads.
CVisual& LargeBuzzerVisual()
{
    static CVisual visual(0, 0, 425, 2, 0, 0, 106, 96);
    static const bool ready = (visual.SetOrientationMask(15), true);
    (void)ready;
    return visual;
}
CVisual& BuzzerVisual()
{
    static CVisual visual(0, 0, 109, 2, 0, 0, 20, 24, 0, nullptr, &LargeBuzzerVisual());
    static const bool ready = (visual.SetOrientationMask(15), visual.SetOffsetRow(12), true);
    (void)ready;
    return visual;
}
} // namespace

CBuzzer::CBuzzer()
{
    m_pVisual = &BuzzerVisual();
    m_nOrientationMask = 15;
    LoadRatings(IDS_BUZZER_RATINGS);
}

void CBuzzer::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CBuzzer::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    m->StampConductance(kConductance, GetTerminal(0), GetTerminal(1));
}

int CBuzzer::AfterStep()
{
    if (CComponent::AfterStep() || m_terminals.size() < 2) return IsBroken();
    const double v = GetTerminal(0)->GetVoltage() - GetTerminal(1)->GetVoltage();
    const WORD sounding = (v > kSoundingVolts || v < -kSoundingVolts) ? 1 : 0;
    CCircuit* design = GetDesign();
    if (sounding != m_wStateWord) {
        m_wStateWord = sounding;
        if (m_pVisual && design)
            m_pVisual->DrawWhole(m_rect.left, m_rect.top, sounding, 0, m_nOrientation);
    }
    if (design && sounding) design->RequestBuzzer();
    return 0;
}
