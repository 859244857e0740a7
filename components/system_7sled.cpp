#include "components/system_7sled.h"

#include "components/logic_pins.h"
#include "model/circuit/circuit.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CSystem7SLED, "CComponent", 2)

namespace {
// The weight of each pin in the code.
constexpr int kWeights[] = {8, 4, 2, 1};
} // namespace

CSystem7SLED::CSystem7SLED()
{
    m_pVisual = &GetSystemsPicture(SystemsPicture::kSevenSegment);
    m_nOrientationMask = m_pVisual->GetOrientationMask();
}

void CSystem7SLED::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_nShownCode);
        return;
    }
    LONG code = 0;
    ar >> code;
    m_nShownCode = code;
}

void CSystem7SLED::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CSystem7SLED::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* design = GetDesign();
    if (!design) return broken;
    int code = 0;
    for (int i = 0; i < 4; ++i)
        if (IsLogicHigh(GetTerminal(i), *design)) code += kWeights[i];
    m_wStateWord = static_cast<WORD>(code);
    if (code != m_nShownCode) {
        m_nShownCode = code;
        Draw(design->GetRedrawFlags() | 0x4);
    }
    return broken;
}
