#include "components/system_motor.h"

#include "components/logic_pins.h"
#include "model/circuit/circuit.h"

WB_IMPLEMENT_SERIAL(CSystemMotor, "CComponent", 2)

namespace {
constexpr int kFrames = 12;
} // namespace

CSystemMotor::CSystemMotor() { TakePicture(SystemsPicture::kMotor); }

void CSystemMotor::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    SerializeInt(ar, m_nDirection);
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
    m_nDirection = b ? 0 : 2;
    ShowFrame(b ? (frame + 1) % kFrames : (frame + kFrames - 1) % kFrames);
    return broken;
}
