#include "components/filament.h"

#include "components/bulb.h"
#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/valuevariants.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CFilament, "CComponent", 4)

// Ratings text of the filament lamp: 15 V.
constexpr UINT IDS_FILAMENT_RATINGS = 4106;

// The alternate look stands for a 3.5 V torch bulb: its voltage counts
// 3.428 times in the light and level figures.
constexpr double kAlternateVoltageScale = 3.428;

namespace {

// Picture 4236: eleven 24 x 24 frames (brightness 0-10); the alternate
// look 431 is a large bulb of 96 x 106.
CVisual& FilamentVisual()
{
    static CVisual large(0, 0, 431, 11, 2, 2, 96, 106);
    static CVisual visual(0, 0, 4236, 11, 0, 0, 24, 24, 0, nullptr, &large);
    static const bool ready =
        (visual.SetOrientationMask(9), visual.SetOffsetRow(10), large.SetOrientationMask(9), large.SetOffsetRow(10),
         true);
    (void)ready;
    return visual;
}

} // namespace

CFilament::CFilament()
{
    m_pVisual = &FilamentVisual();
    m_nOrientationMask = 9;
    LoadRatings(IDS_FILAMENT_RATINGS);
}

void CFilament::InitVariant(const CRuntimeClass* variant)
{
    m_nOrientation = 3;
    m_rcPicture.SetRect(-12, 0, 12, 24);
    CComponent::InitVariant(variant);
}

void CFilament::UseAlternateLook()
{
    CComponent::UseAlternateLook();
    if (CVisual* large = FilamentVisual().GetAlternate()) m_pVisual = large;
}

void CFilament::CreateChildren()
{
    if (m_bAlternateLook) m_pVisual = FilamentVisual().GetAlternate();
    if (m_terminals.empty()) CreateTerminals(0);
    if (m_bAlternateLook)
        AddChild(new CDummyValue(1.0, 1.0, ' ', "W", 5));
    else
        AddChild(new CValue(10.0, 1.0, ' ', "W", 3, m_rect, 5));
}

void CFilament::ResetSimulation()
{
    m_dLight = 0.0;
    ResetState();
}

void CFilament::ResetState()
{
    m_dLight = 0.0;
    m_wStateWord = 0;
}

double CFilament::GetPower() { return LabelValue(this); }

double CFilament::Across() const
{
    if (m_terminals.size() < 2) return 0.0;
    return m_terminals[0]->GetVoltage() - m_terminals[1]->GetVoltage();
}

void CFilament::Stamp(CMatrix* matrix)
{
    if (m_terminals.size() < 2) return;
    const double x = GetPower() * ScalePerWatt();
    CTerminal* a = m_terminals[0];
    CTerminal* b = m_terminals[1];
    matrix->StampTransfer(x * m_model.GetSlope(), x * m_model.GetIntercept(), a, b, a, b);
}

void CFilament::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 2) return;
    m_model.LimitStep(out, fraction, nodeValues[m_terminals[0]->GetNode()] - nodeValues[m_terminals[1]->GetNode()]);
}

double CFilament::LightAt(double volts, bool alternate)
{
    const double d = alternate ? volts * kAlternateVoltageScale : volts;
    return ClampLampLight((d * d - 8.0) * 7.4);
}

int CFilament::LevelAt(double volts, bool alternate)
{
    const double d = alternate ? volts * kAlternateVoltageScale : volts;
    return LampLevelOf(std::fabs(d) - 1.995);
}

int CFilament::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_model.Commit();
    if (broken || m_terminals.size() < 2) return IsBroken();
    const double d = Across();
    m_dLight = LightAt(d, m_bAlternateLook != 0);
    const int level = LevelAt(d, m_bAlternateLook != 0);
    if (level != m_wStateWord) {
        m_wStateWord = static_cast<WORD>(level);
        CCircuit* design = GetDesign();
        Draw(design ? design->GetOptions() : 0);
    }
    return 0;
}
