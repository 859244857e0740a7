#include "components/system_motor.h"

#include "components/logic_pins.h"
#include "model/circuit/circuit.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CSystemMotor, "CComponent", 2)

namespace {
constexpr int kFrames = 12;
} // namespace

CSystemMotor::CSystemMotor()
{
    m_pVisual = &GetSystemsPicture(SystemsPicture::kMotor);
    m_nOrientationMask = m_pVisual->GetOrientationMask();
}

void CSystemMotor::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_nDirection);
        return;
    }
    LONG direction = 1;
    ar >> direction;
    m_nDirection = direction;
}

void CSystemMotor::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CSystemMotor::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* design = GetDesign();
    if (!design) return broken;
    const bool a = IsLogicHigh(GetTerminal(0), *design);
    const bool b = IsLogicHigh(GetTerminal(1), *design);
    if (a == b) {
        m_nDirection = 1;
        return broken;
    }
    // A frame read from a damaged file is taken back into the wheel's turn.
    const int frame = m_wStateWord % kFrames;
    m_wStateWord = static_cast<WORD>(b ? (frame + 1) % kFrames : (frame + kFrames - 1) % kFrames);
    m_nDirection = b ? 0 : 2;
    Draw(design->GetRedrawFlags() | 0x4);
    return broken;
}
