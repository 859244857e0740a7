#include "components/voltmeter.h"

#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CVoltmeter, "CComponent", 2)

namespace {

// Picture 158: three 24 x 24 frames (V, mV, uV), drawn upright with the
// positive pin on top.
CVisual& VoltmeterVisual()
{
    static CVisual visual(2, 2, 158, 3, 0, 0, 24, 24, 335);
    static const bool ready = (visual.SetOrientationMask(75), true);
    (void)ready;
    return visual;
}

constexpr int kVoltmeterStrip = 335;

} // namespace

CVoltmeter::CVoltmeter()
{
    m_pVisual = &VoltmeterVisual();
    m_nOrientationMask = 75;
    m_nOrientation = 3;
}

void CVoltmeter::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    CreateMeterText(this);
}

void CVoltmeter::InitVariant(const CRuntimeClass* variant)
{
    ApplyOrientation(3);
    m_rcPicture.SetRect(-12, 0, 12, 24);
    CComponent::InitVariant(variant);
}

double CVoltmeter::GetQuantity(int, int, int code)
{
    if (code != 1 || m_terminals.size() < 2) return 0.0;
    return m_terminals[0]->GetVoltage() - m_terminals[1]->GetVoltage();
}

int CVoltmeter::GetPropertyBitmap(std::vector<int>& ids, CBitmap*) { return ListMeterOrientationCommands(ids); }

int CVoltmeter::GetPropertyBitmap(int) { return kVoltmeterStrip; }

int CVoltmeter::AfterStep()
{
    if (CComponent::AfterStep()) return 1;
    UpdateMeterReading(this, m_ring, GetQuantity(0, 0, 1));
    return 0;
}
