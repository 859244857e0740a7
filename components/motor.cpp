#include "components/motor.h"

#include "components/rotor.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CMotor, "CComponent", 2)

namespace {
constexpr UINT IDS_MOTOR_RATINGS = 24;

CVisual& MotorVisual()
{
    static CVisual visual(0, 0, 185, 3, 0, 0, 24, 24);
    static const bool ready = (visual.SetOrientationMask(3), visual.SetOffsetRow(1), true);
    (void)ready;
    return visual;
}

// The rotor's top-left pixel in the upright motor picture.
constexpr CPoint kRotorAt(6, 7);
} // namespace

CMotor::CMotor()
{
    m_pVisual = &MotorVisual();
    m_nOrientationMask = 3;
    LoadRatings(IDS_MOTOR_RATINGS);
}

void CMotor::InitVariant(const CRuntimeClass* variant)
{
    m_nOrientation = 1;
    m_rcPicture.SetRect(-12, 0, 12, 24);
    CComponent::InitVariant(variant);
}

void CMotor::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CMotor::ResetSimulation()
{
    m_dAngle = 0.08;
    m_dG = m_dI0 = m_dBackEmf = 0.0;
    m_nDirection = 0;
    m_wStateWord = RotorFrameOf(m_dAngle);
    ResetState();
}

void CMotor::ResetVisual()
{
    CComponent::ResetVisual();
    m_nDirection = 0;
    m_wStateWord = RotorFrameOf(m_dAngle);
}

void CMotor::PrepareStep()
{
    const double r = GetDesign() ? GetDesign()->GetUpdateRate() : 5.0;
    const double b = 0.05 / (r + 1.0);
    m_dG = (2.0 * r + 1.0) * b;
    m_dI0 = -2.0 * r * b * m_dBackEmf;
}

void CMotor::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    m->StampTransfer(m_dG, m_dI0, GetTerminal(0), GetTerminal(1), GetTerminal(0), GetTerminal(1));
}

int CMotor::AfterStep()
{
    if (CComponent::AfterStep() || m_terminals.size() < 2) return IsBroken();
    CCircuit* design = GetDesign();
    const double r = design ? design->GetUpdateRate() : 5.0;
    const double v = GetTerminal(0)->GetVoltage() - GetTerminal(1)->GetVoltage();
    const double i = v * m_dG + m_dI0;
    m_dBackEmf = v - kWindingOhms * i;
    const int oldDirection = m_nDirection;
    const WORD oldFrame = m_wStateWord;
    if (!IsMotorIdle(v, m_dBackEmf)) {
        double t = m_dBackEmf * kTurnsPerVoltSecond / r;
        t = std::clamp(t, -kMaxTurnPerStep, kMaxTurnPerStep);
        m_nDirection = t > 0.0 ? 1 : 2;
        // One whole turn is added so the angle stays positive; only its
        // fractional part is the rotor's place.
        m_dAngle += t + 1.0;
        if (m_dAngle > 256.0) m_dAngle -= 255.0;
        // A voltage that is not a number (a damaged design) stops the rotor
        // at rest instead of leaving it lost for the rest of the run.
        if (!std::isfinite(m_dAngle)) m_dAngle = 0.08;
        m_wStateWord = RotorFrameOf(m_dAngle);
    } else {
        m_dBackEmf = 0.0;
        m_nDirection = 0;
    }
    if (design) {
        if (m_nDirection != oldDirection)
            Draw(design->GetOptions());
        else if (m_wStateWord != oldFrame)
            DrawRotor();
        design->SetChanged();
    }
    return 0;
}

void CMotor::DrawRotor()
{
    // The rotor turns with the motor: its picture in the motor's orientation,
    // placed so that its upright top-left pixel lands where the motor's
    // turned picture has that pixel.
    const int o = m_nOrientation;
    const CPoint inMotor = MotorVisual().TurnedPixel(kRotorAt, o);
    const CPoint inRotor = RotorPicture().TurnedPixel(CPoint(0, 0), o);
    RotorPicture().DrawWhole(m_rect.left + inMotor.x - inRotor.x, m_rect.top + inMotor.y - inRotor.y, m_wStateWord, 0, o);
}

int CMotor::Draw(DWORD flags)
{
    if (m_pVisual) {
        m_pVisual->DrawWhole(m_rect.left, m_rect.top, IsBroken() ? 0 : m_nDirection, GetDrawVariant(),
                             m_nOrientation);
        if (flags & OPT_SIMULATE) DrawRotor();
    }
    return CPartCircuit::Draw(flags);
}

int CMotor::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    for (int id : {kFirstOrientCmd, kFirstOrientCmd + 1}) {
        CControlItem item(CI_TOOLBUTTON, 0u, id, -1);
        item.SetFlag2(true);
        items.Add(item);
    }
    return 0;
}
