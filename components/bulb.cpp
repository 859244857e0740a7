#include "components/bulb.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CBulb, "CComponent", 2)

// Ratings text of the bulb: 9 V.
constexpr UINT IDS_BULB_RATINGS = 29;

namespace {

// Picture 111: eleven 24 x 24 frames (brightness 0-10), drawn upright.
CVisual& BulbVisual()
{
    static CVisual visual(0, 0, 111, 11, 0, 0, 24, 24);
    static const bool ready = (visual.SetOrientationMask(3), visual.SetOffsetRow(19), true);
    (void)ready;
    return visual;
}

} // namespace

double ClampLampLight(double raw)
{
    if (!(raw >= 1.0)) return 0.0;  // also NaN
    return raw > 1000.0 ? 1000.0 : raw;
}

int LampLevelOf(double raw)
{
    // Truncated first: 9.5 is level 9, 10.01 is 10.
    if (!(raw >= 1.0)) return 0;  // also NaN
    if (raw >= 10.0) return 10;
    return static_cast<int>(raw);
}

CBulb::CBulb()
{
    m_pVisual = &BulbVisual();
    m_nOrientationMask = 3;
    LoadRatings(IDS_BULB_RATINGS);
}

void CBulb::InitVariant(const CRuntimeClass* variant)
{
    m_nOrientation = 1;
    m_rcPicture.SetRect(-12, 0, 12, 24);
    CComponent::InitVariant(variant);
}

void CBulb::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CBulb::ResetSimulation()
{
    m_dLight = 0.0;
    ResetState();
}

void CBulb::ResetState()
{
    m_dLight = 0.0;
    m_wStateWord = 0;
}

void CBulb::Stamp(CMatrix* matrix)
{
    if (m_terminals.size() < 2) return;
    matrix->StampConductance(kConductance, m_terminals[0], m_terminals[1]);
}

double CBulb::LightAt(double volts) { return ClampLampLight((volts * volts - 3.0) * 30.0); }

int CBulb::LevelAt(double volts) { return LampLevelOf((std::fabs(volts) - 0.995) * 2.0); }

void CBulb::ShowLevel(int level)
{
    if (level == m_wStateWord) return;
    m_wStateWord = static_cast<WORD>(level);
    CCircuit* design = GetDesign();
    Draw(design ? design->GetOptions() : 0);
}

int CBulb::AfterStep()
{
    if (CComponent::AfterStep() || m_terminals.size() < 2) return IsBroken();
    const double d = m_terminals[0]->GetVoltage() - m_terminals[1]->GetVoltage();
    m_dLight = LightAt(d);
    ShowLevel(LevelAt(d));
    return 0;
}
