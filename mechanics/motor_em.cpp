#include "mechanics/motor_em.h"

#include "components/component_kit.h"
#include "components/rotor.h"
#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CMotorEM, "CMechComp", 4)

namespace {

constexpr UINT IDS_MOTOR_EM_RATINGS = 201;
constexpr double kDefaultRate = 5.0;
// The rotor stands in the middle of the body's circle whatever the turn.
constexpr int kRotorX = 6;
constexpr int kRotorY = 6;

// The alternate look, 48 x 32: a hobby motor whose disc on the shaft
// shows the turning in 16 frames a turn (frame 15 - the rotor's frame).
CVisual& RealMotorPicture()
{
    static CVisual visual(0, 0, 1332, 16, 0, 0, 48, 32);
    static const bool ready = (visual.SetOrientationMask(0xFF), true);
    (void)ready;
    return visual;
}

// 24 x 24: a circle with its two leads, the shaft leaving on the right.
CVisual& MotorPicture()
{
    static CVisual visual(0, 0, 1330, 1, 0, 0, 24, 24, 0, nullptr, &RealMotorPicture());
    static const bool ready = (visual.SetOrientationMask(0xFF), true);
    (void)ready;
    return visual;
}

} // namespace

CMotorEM::CMotorEM()
{
    m_pVisual = &MotorPicture();
    m_nOrientationMask = 0xFF;
    LoadRatings(IDS_MOTOR_EM_RATINGS);
    m_friction.SetCoefficient(kFriction);
    m_inertia.SetMass(kInertia);
}

CVisual& CMotorEM::BodyPicture() { return MotorPicture(); }

double CMotorEM::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

void CMotorEM::InitVariant(const CRuntimeClass* variant)
{
    CMechComp::InitVariant(variant);
    m_nOrientation = 5;
    m_rcPicture.SetRect(0, 0, 24, 24);
}

void CMotorEM::CreateChildren()
{
    if (!m_terminals.empty()) return;
    if (!m_pVisual) m_pVisual = &BodyPicture();
    // A new motor stands centred on the point it was made at.
    const CSize size = m_pVisual->GetSize(m_nOrientation);
    m_rect.OffsetRect(-size.cx / 2, -size.cy / 2);
    CreateTerminals(0);
}

void CMotorEM::CreateTerminals(int)
{
    if (!m_pVisual) m_pVisual = &BodyPicture();
    // The picture's three pins as plain terminals, in the picture's order
    // (the shaft on the right edge, then the lead that comes next clockwise
    // and the + lead) ...
    CComponent::CreateTerminals(0);
    OrderTerminalsByPicture(this);
    if (m_terminals.size() != 3) return;
    CTerminal* shaft = m_terminals[0];
    CTerminal* next = m_terminals[1];
    CTerminal* plus = m_terminals[2];
    // ... and the shaft's pin becomes a rotational terminal.
    CMechPin pin;
    pin.kind = WIRE_ROTATIONAL;
    pin.side = shaft->GetSide();
    pin.pin = shaft->GetPinPoint();
    CPart::RemoveChild(shaft);
    delete shaft;
    m_terminals = {plus, next};
    m_wTerminalCount = 2;
    CMechTerm* mech = AddMechTerminal(pin);
    SetTerminalOrder(this, {plus, next, mech});
}

int CMotorEM::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingTerminalOrder(this, newCode, oldCode, flag, anchor);
}

void CMotorEM::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    if (ar.GetVersion() <= 3) {
        if (!ar.IsStoring()) ResetSimulation();
        return;
    }
    m_friction.Serialize(ar);
    m_inertia.Serialize(ar);
    if (ar.IsStoring()) return;
    // The rotor is the same for every motor, whatever the record says; a
    // record whose motion is not a number starts the motor at rest.
    m_inertia.SetMass(kInertia);
    if (!std::isfinite(m_inertia.GetPosition()) || !std::isfinite(m_inertia.GetMomentum()) ||
        !std::isfinite(m_inertia.GetDisplacement()) || !std::isfinite(m_friction.GetPosition()))
        ResetSimulation();
}

void CMotorEM::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_dBackEmf = 0.0;
    m_inertia.SetMass(kInertia);
    m_friction.SetCoefficient(kFriction);
    m_inertia.Clear();
    m_friction.Clear();
    SetFrame(0);
    ResetState();
}

void CMotorEM::ResetState()
{
    m_inertia.Rebase();
    m_friction.Rebase();
    // Node values start again from 0 with the models.
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
}

void CMotorEM::PrepareStep()
{
    const double r = Rate();
    m_inertia.Prepare(r, 0);
    m_friction.Prepare(r, 0);
}

void CMotorEM::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 3) return;
    CTerminal* a = GetTerminal(0);
    CTerminal* b = GetTerminal(1);
    CTerminal* shaft = GetTerminal(2);
    const double gf = m_friction.GetG(), jf = m_friction.GetJ();
    const double k = kKe * kGa / m_friction.GetCoefficient();
    m->StampConductance(kGa, a, b);
    m->StampTransfer(k * gf, k * jf, shaft, nullptr, a, b);
    m->StampConductance(k * gf * kKt, shaft, nullptr);
    m->StampTransfer(kKt * kGa, k * jf * kKt, a, b, shaft, nullptr);
    m_friction.StampAt(m, shaft);
    m_inertia.StampAt(m, shaft);
}

int CMotorEM::AfterStep()
{
    if (CMechComp::AfterStep() || m_terminals.size() < 3) return IsBroken();
    const double r = Rate();
    const double x = GetMechTerminal(2) ? GetMechTerminal(2)->GetPosition() : 0.0;
    m_inertia.Update(x, r, 0);
    m_friction.Update(x);
    m_dBackEmf = -(m_friction.GetForce() * kKe / m_friction.GetCoefficient());
    if (BrakesWhenIdle()) {
        const double v = GetTerminal(0)->GetVoltage() - GetTerminal(1)->GetVoltage();
        m_friction.SetCoefficient(IsMotorIdle(v, m_dBackEmf) ? kBrake : kFriction);
    }
    SetFrame(TurnRotorFrame(GetFrame(), AnimationAngle(), m_inertia.GetVelocity(), r));
    if (CCircuit* d = GetDesign()) {
        if (CDisplay::GetCurrentDC()) Draw(d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

double CMotorEM::GetQuantity(int x, int y, int code)
{
    switch (code) {
    case 1:
    case 2:
        return CMechComp::GetQuantity(x, y, code);
    case 32:
        return m_inertia.GetPosition();
    case 64:
        return m_inertia.GetVelocity();
    case 128:
        return m_inertia.GetAcceleration();
    case 256: {
        const double w = m_inertia.GetVelocity();
        return 0.5 * m_inertia.GetMass() * w * w;
    }
    default:
        return 0.0;
    }
}

int CMotorEM::BuildInfo(CString& text, UINT, CPoint)
{
    const CUnitChoices units = MechUnitChoices(GetDesign());
    const double w = m_inertia.GetVelocity();
    text = MechSpeedText(w, WIRE_ROTATIONAL, units);
    text += ", ";
    text += MechPositionText(m_inertia.GetPosition(), WIRE_ROTATIONAL, units);
    return MechDirectionCode(w, 1);
}

int CMotorEM::Draw(DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return 0;
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->SetAuxValue(m_bSelected);
    const bool running = (flags & OPT_SIMULATE) != 0 && !IsBroken();
    if (m_pVisual && m_pVisual->GetFrameCount() >= 16) {
        // The alternate look's picture turns by itself.
        m_pVisual->DrawWhole(m_rect.left, m_rect.top, 15 - (running ? GetFrame() % 16 : 0), GetDrawVariant(),
                             m_nOrientation);
    } else if (m_pVisual) {
        m_pVisual->DrawWhole(m_rect.left, m_rect.top, 0, GetDrawVariant(), m_nOrientation);
        RotorPicture().DrawBitmap(m_rect.left + kRotorX, m_rect.top + kRotorY, running ? GetFrame() % 16 : 0,
                                  GetDrawVariant() ? 1 : 0, {0, 0}, RotorPicture().GetSize(), 0, SRCAND);
    }
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->DrawMarks(flags);
    return CPartCircuit::Draw(flags);
}
