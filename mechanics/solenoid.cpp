#include "mechanics/solenoid.h"

#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CSolenoid, "CMechComp", 4)

namespace {

constexpr UINT IDS_SOLENOID_RATINGS = 200;
constexpr double kDefaultRate = 5.0;
// The coil's leads leave its box downwards; the plunger's terminal is on
// the right edge.
constexpr int kLeadX0 = 10;
constexpr int kLeadX1 = 34;
constexpr int kPlungerPinY = 12;
// The plunger picture's corner at rest, and where the return spring starts
// (the coil's face).
constexpr int kPlungerX = 20;
constexpr int kPlungerY = 4;
constexpr int kPlungerHead = 56;
constexpr int kSpringStart = 48;
constexpr int kSpringAmplitude = 8;

// The coil, 100 x 24: a wound box with its two leads.
CVisual& BodyVisual()
{
    static CVisual visual(0, 0, 1318, 1, 0, 0, CSolenoid::kWidth, CSolenoid::kHeight);
    return visual;
}

// The plunger, 80 x 16: a rod with a head 56 pixels along it.
CVisual& PlungerVisual()
{
    static CVisual visual(0, 0, 1319, 1, 0, 0, 80, 16);
    return visual;
}

} // namespace

CSolenoid::CSolenoid()
{
    m_nOrientationMask = 1;
    LoadRatings(IDS_SOLENOID_RATINGS);
}

double CSolenoid::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

double CSolenoid::CoilVoltage() const
{
    CTerminal* a = GetTerminal(0);
    CTerminal* b = GetTerminal(1);
    return a && b ? a->GetVoltage() - b->GetVoltage() : 0.0;
}

void CSolenoid::CreateChildren()
{
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + kWidth, corner.y + kHeight);
    if (!m_terminals.empty()) return;
    AddTerminal(2, corner + CPoint(kLeadX0, kHeight - 1));
    AddTerminal(2, corner + CPoint(kLeadX1, kHeight - 1));
    CMechPin pin;
    pin.kind = WIRE_LINEAR;
    pin.side = 1;
    pin.pin = corner + CPoint(kWidth - 1, kPlungerPinY);
    AddMechTerminal(pin);
}

void CSolenoid::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    if (ar.GetVersion() <= 3) {
        if (!ar.IsStoring()) ResetSimulation();
        return;
    }
    m_spring.Serialize(ar);
    m_lower.Serialize(ar);
    m_upper.Serialize(ar);
}

void CSolenoid::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_lower.Set(-kTravel, 0);
    m_upper.Set(0.0, 1);
    // End A at minus the rest length and end B (the plunger) at 0: the
    // spring is slack with the plunger home.
    m_spring.Init(-kSpringLength, 0.0, kSpringStiffness);
    m_coil.Reset();
    m_reversed.ResetState();
    ResetState();
}

void CSolenoid::ResetState()
{
    m_lower.ApplyDelta();
    m_upper.ApplyDelta();
    m_spring.Commit();
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
}

void CSolenoid::PrepareStep() { m_coil.Prepare(Rate(), kCoilInductance, false); }

void CSolenoid::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 3) return;
    CTerminal* a = GetTerminal(0);
    CTerminal* b = GetTerminal(1);
    CTerminal* plunger = GetTerminal(2);
    m->StampTransfer(m_coil.GetConductance() + kShunt, m_coil.GetSource(), a, b, a, b);
    // The pull 4.2 |I| leaves the plunger's node: it drives the plunger in,
    // towards negative travel, whichever way the current flows.  I is the
    // coil current of this very step, G (V0 - V1) + J, so the pull is a
    // source controlled by the coil voltage, stamped with the sign of the
    // segment of |I| the current lies in.
    const double sign = PullSign();
    m->StampTransfer(sign * kPullPerAmp * m_coil.GetConductance(), sign * kPullPerAmp * m_coil.GetSource(), a, b,
                     plunger, nullptr);
    m_lower.StampAt(m, plunger);
    m_upper.StampAt(m, plunger);
    m->StampTransfer(m_spring.GetStiffness2(), m_spring.GetForce(), plunger, nullptr, plunger, nullptr);
}

void CSolenoid::LimitStep(CState** out, double* fraction, const double* v)
{
    if (m_terminals.size() < 3) return;
    const double coil = v[GetTerminal(0)->GetNode()] - v[GetTerminal(1)->GetNode()];
    m_coil.LimitStep(out, fraction, coil);
    // A current that turned round takes the other segment of |I|.
    m_reversed.LimitStep(out, fraction, -(m_coil.GetSource() + m_coil.GetConductance() * coil));
    const double x = v[GetTerminal(2)->GetNode()];
    m_lower.LimitStep(out, fraction, x);
    m_upper.LimitStep(out, fraction, x);
}

int CSolenoid::AfterStep()
{
    if (CMechComp::AfterStep() || m_terminals.size() < 3) return IsBroken();
    m_coil.AfterStep(CoilVoltage());
    m_reversed.Commit();
    const double x = GetMechTerminal(2) ? GetMechTerminal(2)->GetPosition() : 0.0;
    m_lower.SetDelta(x);
    m_upper.SetDelta(x);
    m_lower.Commit();
    m_upper.Commit();
    m_spring.SetPendingMoves(0.0, x);
    if (CCircuit* d = GetDesign()) {
        DrawMoving(0, d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

double CSolenoid::GetQuantity(int x, int y, int code)
{
    switch (code) {
    case 1:
    case 2:
        return CMechComp::GetQuantity(x, y, code);
    case 4:
        return GetPlungerPosition();
    default:
        return 0.0;
    }
}

int CSolenoid::BuildInfo(CString& text, UINT, CPoint)
{
    const CUnitChoices units = MechUnitChoices(GetDesign());
    const CMechTerm* plunger = GetMechTerminal(2);
    const double v = plunger ? plunger->GetVelocity() : 0.0;
    text = MechSpeedText(v, WIRE_LINEAR, units);
    text += ", ";
    text += MechPositionText(GetPlungerPosition(), WIRE_LINEAR, units);
    return MechDirectionCode(v, 2);
}

int CSolenoid::Draw(DWORD flags) { return DrawMovingPart(flags, m_rect); }

void CSolenoid::DrawMovingBody(DWORD flags)
{
    const int l = m_rect.left, t = m_rect.top;
    BodyVisual().DrawWhole(l, t, 0, GetDrawVariant(), 0);
    const bool running = (flags & OPT_SIMULATE) != 0;
    const int dx = running ? MetresToPixels(GetPlungerPosition()) : 0;
    PlungerVisual().DrawBitmap(l + kPlungerX + dx, t + kPlungerY, 0, GetDrawVariant(), {0, 0},
                               PlungerVisual().GetSize(), 0, SRCAND);
    // The return spring: five strokes from the coil's face to the head.
    const COLORREF ink = ColourRGB(0, 0, 0x80);
    const int head = l + kPlungerX + kPlungerHead + dx;
    const int from = l + kSpringStart, y = t + kPlungerY + 8;
    int px = from, py = y;
    for (int k = 1; k <= 5; ++k) {
        const int x = from + (head - from) * k / 5;
        const int ny = k == 5 ? y : y + (k % 2 ? -kSpringAmplitude : kSpringAmplitude);
        CDisplay::DrawLine(px, py, x, ny, ink, PS_SOLID, 1);
        px = x;
        py = ny;
    }
}
