#include "components/system_7sled.h"

#include "components/logic_pins.h"
#include "model/circuit/circuit.h"

WB_IMPLEMENT_SERIAL(CSystem7SLED, "CComponent", 2)

namespace {
// The weight of each pin in the code.
constexpr int kWeights[] = {8, 4, 2, 1};
} // namespace

CSystem7SLED::CSystem7SLED() { TakePicture(SystemsPicture::kSevenSegment); }

void CSystem7SLED::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    SerializeInt(ar, m_nShownCode);
}

int CSystem7SLED::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* design = GetDesign();
    if (!design) return broken;
    int code = 0;
    for (int i = 0; i < 4; ++i)
        if (IsLogicHigh(GetTerminal(i), *design)) code += kWeights[i];
    if (code == m_nShownCode) {
        m_wStateWord = static_cast<WORD>(code);
        return broken;
    }
    m_nShownCode = code;
    ShowFrame(code);
    return broken;
}
