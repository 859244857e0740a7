#include "mechanics/flywheel.h"

#include "components/component_kit.h"
#include "components/rotateknob.h"
#include "mechanics/mech_text.h"
#include "mechanics/two_wheels.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "model/parts/part_records.h"
#include "platform/archive.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CFlywheel, "CMechComp", 4)

namespace {

constexpr double kDefaultRate = 5.0;
// The wheel: 16 frames per eighth of a turn and a blur frame.
constexpr int kBlurFrame = 16;
constexpr int kWheelOffset = 5;

CVisual& WheelVisual()
{
    static CVisual visual(0, 0, 1314, 17, 0, 0, 47, 47);
    return visual;
}

// The label's unit: gram square metres.
const char kUnit[] = "g m\xB2";

} // namespace

CFlywheel::CFlywheel()
{
    m_nOrientationMask = 1;
    m_inertia.SetMass(kDefaultInertia);
}

double CFlywheel::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

CRotateKnob* CFlywheel::GetHandle() const { return FindKnob<CRotateKnob>(); }

void CFlywheel::AddHandle()
{
    // The handle's anchor is relative to the part's corner; its rectangle
    // is on the canvas.
    const CPoint corner = m_rect.TopLeft();
    auto* knob = new CRotateKnob(kSize / 2, kSize / 2, -corner.x, -corner.y, 0, this);
    knob->SetAnchor(m_cog.GetMarkerPoint());
    AppendChild(knob);
}

void CFlywheel::PlaceHandle()
{
    if (CRotateKnob* k = GetHandle()) k->SetAnchor(m_cog.GetMarkerPoint());
}

void CFlywheel::CreateChildren()
{
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + kSize, corner.y + kSize);
    m_cog.SetTeeth(8);
    m_cog.Place(9, 9, CRect(0, 0, kSize, kSize));
    m_cog.SetVisible(0);
    m_cog.SetMarkerRadius(7);
    m_cog.SetRestAngle(0.0);
    if (m_terminals.empty()) {
        // The shaft through the wheel: out on the left and on the right.
        for (int side : {3, 1}) {
            CMechPin pin;
            pin.kind = WIRE_ROTATIONAL;
            pin.side = side;
            pin.pin = corner + CPoint(side == 3 ? 0 : kSize - 1, kSize / 2);
            AddMechTerminal(pin);
        }
        GetMechTerminal(0)->SetLinkedObject(GetMechTerminal(1));
        GetMechTerminal(1)->SetLinkedObject(GetMechTerminal(0));
    }
    if (!GetHandle()) AddHandle();
    if (!ValueLabelOf(this)) AddChild(new CValue(100.0, 1.0, ' ', kUnit, 2, m_rect, 5));
}

void CFlywheel::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    m_inertia.Serialize(ar);
    m_cog.Serialize(ar);
    if (ar.IsStoring()) return;
    if (GetMechTerminal(0) && GetMechTerminal(1)) {
        GetMechTerminal(0)->SetLinkedObject(GetMechTerminal(1));
        GetMechTerminal(1)->SetLinkedObject(GetMechTerminal(0));
    }
    if (ar.GetVersion() <= 3) {
        DropKnobs(&ar);
        ResetSimulation();
        AddHandle();
    }
}

void CFlywheel::AccumulateMotion(CPartTree*, int phase, int, double displacement)
{
    m_hold.Track(phase, displacement, m_inertia.GetPosition());
}

double CFlywheel::GetQuantity(int, int, int code)
{
    switch (code) {
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

int CFlywheel::BuildInfo(CString& text, UINT, CPoint point)
{
    const CUnitChoices units = MechUnitChoices(GetDesign());
    text = MechSpeedText(m_inertia.GetVelocity(), WIRE_ROTATIONAL, units);
    CRect inner = m_rect;
    inner.DeflateRect(8, 8);
    if (inner.PtInRect(point)) {
        text += ", ";
        text += MechPositionText(m_inertia.GetPosition(), WIRE_ROTATIONAL, units);
    }
    return MechDirectionCode(m_inertia.GetVelocity(), 1);
}

int CFlywheel::GetPropertyBitmap(std::vector<int>& ids, CBitmap*)
{
    ids.clear();
    return 0;
}

void CFlywheel::PrepareStep()
{
    // The label may change during a run: the next step takes it.  A wheel
    // of no inertia would leave a free shaft's node floating, so the label
    // is taken at no less than a milligram square metre.
    const double j = LabelValue(this) / 1000.0;
    m_inertia.SetMass(std::isfinite(j) && j >= 1e-6 ? j : 1e-6);
    m_inertia.Prepare(Rate(), m_nTrapezoid);
}

void CFlywheel::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    CTerminal* t0 = GetTerminal(0);
    m_inertia.StampAt(m, t0);
    m->AddLink(t0, GetTerminal(1));
    if (m_hold.held)
        m->StampTransfer(CTwoWheels::kHandleStiffness, -(m_hold.target - m_inertia.GetBase()) * CTwoWheels::kHandleStiffness,
                         t0, nullptr, t0, nullptr);
}

int CFlywheel::AfterStep()
{
    if (CMechComp::AfterStep() || m_terminals.size() < 2) return IsBroken();
    const double r = Rate();
    m_inertia.Update(GetMechTerminal(0)->GetPosition(), r, m_nTrapezoid);
    m_cog.Animate(m_inertia.GetPosition(), 0.0, m_inertia.GetVelocity(), r);
    PlaceHandle();
    if (CCircuit* d = GetDesign()) {
        DrawMoving(0, d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

void CFlywheel::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_nTrapezoid = 0;
    m_inertia.SetMass(kDefaultInertia);
    m_inertia.Clear();
    m_cog.RestoreRest();
    m_hold = CHandHold();
    PlaceHandle();
    ResetState();
}

void CFlywheel::ResetState()
{
    m_inertia.Rebase();
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
    m_hold.Release();
    if (CRotateKnob* k = GetHandle()) k->m_wState = 0;
}

int CFlywheel::Draw(DWORD flags) { return DrawMovingPart(flags, m_rect); }

void CFlywheel::DrawMovingBody(DWORD flags)
{
    const int x = m_rect.left + kWheelOffset, y = m_rect.top + kWheelOffset;
    CVisual& wheel = WheelVisual();
    wheel.DrawBitmap(x, y, m_cog.FrameForFlags(flags), GetDrawVariant(), {0, 0}, wheel.GetSize(), 0, SRCAND);
    if (m_cog.IsFast() && (flags & 0x4) && !(flags & 0x200))
        wheel.DrawBitmap(x, y, kBlurFrame, GetDrawVariant(), {0, 0}, wheel.GetSize(), 0, SRCAND);
    const int w = m_rect.Width();
    CDisplay::DrawEdgeLine(m_rect.left + w - 11, m_rect.top + 11, m_rect.left + w - 1, m_rect.top + 1, false);
    PlaceHandle();
    if (CRotateKnob* k = GetHandle()) k->DrawOnOwner(flags, m_hold.held ? 1 : m_cog.IsSlow());
}
