#include "mechanics/two_wheels.h"

#include "components/rotateknob.h"
#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "platform/archive.h"

#include <cmath>

namespace {

// The update rate of a new design, for a part that stands in none.
constexpr double kDefaultRate = 5.0;

} // namespace

CTwoWheels::CTwoWheels()
{
    m_nOrientationMask = 1;
    m_friction1.SetCoefficient(kFriction);
    m_friction2.SetCoefficient(kFriction);
}

double CTwoWheels::InertiaOf(int teeth)
{
    const double s = teeth / 8.0;
    return 1.12e-9 * s * s * s * s;
}

double CTwoWheels::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

CRotateKnob* CTwoWheels::GetHandle(int axis) const { return FindKnob<CRotateKnob>(axis); }

void CTwoWheels::LinkPartners()
{
    if (m_terminals.size() < 4) return;
    static constexpr int kPartner[4] = {3, 2, 1, 0};
    for (int i = 0; i < 4; ++i)
        if (CMechTerm* t = GetMechTerminal(i)) t->SetLinkedObject(GetMechTerminal(kPartner[i]));
}

void CTwoWheels::AddShafts(CPoint corner)
{
    struct Shaft {
        const CCog* cog;
        int side;
        WORD forceMarks;
    };
    const Shaft shafts[4] = {{&m_cog2, 2, 0}, {&m_cog1, 2, 0}, {&m_cog1, 0, 1}, {&m_cog2, 0, 1}};
    for (const Shaft& s : shafts) {
        CMechPin pin;
        pin.kind = WIRE_ROTATIONAL;
        pin.side = s.side;
        pin.pin = corner + s.cog->GetCentre();
        pin.showForceMarks = s.forceMarks;
        AddMechTerminal(pin);
    }
    LinkPartners();
}

void CTwoWheels::AddHandles()
{
    // Handles whose anchors are relative to the part's corner; the knob's
    // rectangle is on the canvas, so it starts at the corner.
    DropKnobs(nullptr);
    const CPoint corner = m_rect.TopLeft();
    for (int axis : {1, 0}) {
        const CCog& cog = axis == 0 ? m_cog1 : m_cog2;
        const CPoint c = cog.GetCentre();
        auto* knob = new CRotateKnob(c.x, c.y, -corner.x, -corner.y, axis, this);
        knob->SetAnchor(cog.GetMarkerPoint());
        AppendChild(knob);
    }
}

void CTwoWheels::PlaceHandles()
{
    // Each handle rides on its wheel's marker point, also while nothing
    // draws, so that a press finds it where the wheel shows it.
    if (CRotateKnob* k = GetHandle(0)) k->SetAnchor(m_cog1.GetMarkerPoint());
    if (CRotateKnob* k = GetHandle(1)) k->SetAnchor(m_cog2.GetMarkerPoint());
}

void CTwoWheels::ReplaceOldHandles(CArchive& ar)
{
    DropKnobs(&ar);
    ResetSimulation();
    AddHandles();
}

void CTwoWheels::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    m_inertia1.Serialize(ar);
    m_inertia2.Serialize(ar);
    m_cog1.Serialize(ar);
    m_cog2.Serialize(ar);
    // The friction records are empty in files of version 3 and lower.
    m_friction1.Serialize(ar);
    m_friction2.Serialize(ar);
    if (ar.IsStoring()) return;
    // A terminal's link to a partner written after it comes back empty.
    LinkPartners();
    // Wheels whose motion is not a number start at rest: the numbers feed
    // the solver.
    const double numbers[] = {m_inertia1.GetPosition(), m_inertia1.GetMomentum(), m_inertia2.GetPosition(),
                              m_inertia2.GetMomentum(), m_friction1.GetPosition(), m_friction2.GetPosition()};
    for (double v : numbers)
        if (!std::isfinite(v)) {
            ResetSimulation();
            break;
        }
}

void CTwoWheels::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CMechComp::AfterLoad(design, flags, version);
    LinkPartners();
}

void CTwoWheels::AccumulateMotion(CPartTree*, int phase, int axis, double displacement)
{
    if (axis == 0)
        m_hold1.Track(phase, displacement, m_inertia1.GetPosition());
    else
        m_hold2.Track(phase, displacement, m_inertia2.GetPosition());
}

int CTwoWheels::WheelAt(CPoint point) const
{
    const double x = point.x - m_rect.left;
    const double middle = (m_cog1.GetRect().right + m_cog2.GetRect().left) / 2.0;
    return x < middle ? 0 : 1;
}

double CTwoWheels::GetQuantity(int x, int y, int code)
{
    const CMomentOfInertia& m = WheelAt(CPoint(x, y)) == 0 ? m_inertia1 : m_inertia2;
    switch (code) {
    case 32:
        return m.GetPosition();
    case 64:
        return m.GetVelocity();
    case 128:
        return m.GetAcceleration();
    case 256: {
        const double w = m.GetVelocity();
        return 0.5 * m.GetMass() * w * w;
    }
    default:
        return 0.0;
    }
}

CRect CTwoWheels::GetExtent(int x, int y)
{
    const int middle = m_rect.left + (m_cog1.GetRect().right + m_cog2.GetRect().left) / 2;
    if (WheelAt(CPoint(x, y)) == 0) return CRect(m_rect.left, m_rect.top, middle, m_rect.bottom);
    return CRect(middle, m_rect.top, m_rect.right, m_rect.bottom);
}

int CTwoWheels::BuildInfo(CString& text, UINT, CPoint point)
{
    const CPoint p(point.x - m_rect.left, point.y - m_rect.top);
    auto inside = [&p](const CCog& cog) {
        CRect r = cog.GetRect();
        r.DeflateRect(8, 8);
        return r.PtInRect(p) != 0;
    };
    int wheel = 0;
    bool onWheel = true;
    if (inside(m_cog1)) {
        wheel = 0;
    } else if (inside(m_cog2)) {
        wheel = 1;
    } else {
        // Between the wheels: the 45-degree line through the middle of
        // their overlap at the height of wheel 1's centre divides them.
        onWheel = false;
        const int middle = (m_cog1.GetRect().right + m_cog2.GetRect().left) / 2;
        wheel = p.x + p.y >= middle + m_cog1.GetCentre().y ? 1 : 0;
    }
    const CMomentOfInertia& m = wheel == 0 ? m_inertia1 : m_inertia2;
    const CUnitChoices units = MechUnitChoices(GetDesign());
    text = MechSpeedText(m.GetVelocity(), WIRE_ROTATIONAL, units);
    if (onWheel) {
        text += ", ";
        text += MechPositionText(m.GetPosition(), WIRE_ROTATIONAL, units);
    }
    return MechDirectionCode(m.GetVelocity(), 1);
}

int CTwoWheels::Draw(DWORD flags)
{
    CRect total;
    GetTotalRect(total);
    return DrawMovingPart(flags, total);
}

void CTwoWheels::DrawMovingBody(DWORD flags)
{
    DrawWheels(m_rect.TopLeft(), flags);
    const bool held = m_hold1.held || m_hold2.held;
    PlaceHandles();
    for (int axis : {0, 1})
        if (CRotateKnob* k = GetHandle(axis)) k->DrawOnOwner(flags, held ? 1 : (axis == 0 ? m_cog1 : m_cog2).IsSlow());
}

int CTwoWheels::GetPropertyBitmap(std::vector<int>& ids, CBitmap*)
{
    // One orientation only: no orientation buttons.
    ids.clear();
    return 0;
}

void CTwoWheels::PrepareStep()
{
    const double r = Rate();
    m_inertia1.Prepare(r, m_nTrapezoid);
    m_inertia2.Prepare(r, m_nTrapezoid);
    m_friction1.Prepare(r, m_nTrapezoid);
    m_friction2.Prepare(r, m_nTrapezoid);
}

void CTwoWheels::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 4) return;
    CMechTerm* t0 = GetMechTerminal(0);
    CMechTerm* t1 = GetMechTerminal(1);
    CMechTerm* t2 = GetMechTerminal(2);
    CMechTerm* t3 = GetMechTerminal(3);
    m_inertia1.StampAt(m, t2);
    m_inertia2.StampAt(m, t3);
    m->AddRatioLink(Ratio(), t3, t2);
    m->AddLink(t0, t3);
    m->AddLink(t1, t2);
    m_friction1.StampAt(m, t2);
    m_friction2.StampAt(m, t3);
    // A held wheel: a torsion spring pulls its absolute angle (base + node
    // value) to the handle's angle.
    const double k = kHandleStiffness;
    if (m_hold1.held) m->StampTransfer(k, -(m_hold1.target - m_inertia1.GetBase()) * k, t2, nullptr, t2, nullptr);
    if (m_hold2.held) m->StampTransfer(k, -(m_hold2.target - m_inertia2.GetBase()) * k, t3, nullptr, t3, nullptr);
}

int CTwoWheels::AfterStep()
{
    if (CMechComp::AfterStep() || m_terminals.size() < 4) return IsBroken();
    const double r = Rate();
    const double x1 = GetMechTerminal(2)->GetPosition();
    const double x2 = GetMechTerminal(3)->GetPosition();
    m_inertia1.Update(x1, r, m_nTrapezoid);
    m_friction1.Update(x1);
    m_inertia2.Update(x2, r, m_nTrapezoid);
    m_friction2.Update(x2);
    m_cog1.Animate(m_inertia1.GetPosition(), 0.0, m_inertia1.GetVelocity(), r);
    m_cog2.Animate(m_inertia2.GetPosition(), RestOffset2(), m_inertia2.GetVelocity(), r);
    PlaceHandles();
    if (CCircuit* d = GetDesign()) {
        DrawMoving(0, d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

void CTwoWheels::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_inertia1.Clear();
    m_inertia2.Clear();
    m_friction1.Clear();
    m_friction2.Clear();
    m_friction1.SetCoefficient(kFriction);
    m_friction2.SetCoefficient(kFriction);
    m_cog1.RestoreRest();
    m_cog2.RestoreRest();
    PlaceHandles();
    m_hold1 = CHandHold();
    m_hold2 = CHandHold();
    m_nTrapezoid = 0;
    ResetState();
}

void CTwoWheels::ResetState()
{
    m_inertia1.Rebase();
    m_inertia2.Rebase();
    m_friction1.Rebase();
    m_friction2.Rebase();
    // Node values start again from 0 with the models; so do the terminals'
    // positions, or the first step would read the whole old angle as speed.
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
    // A handle let go while the run stopped is released, or its spring
    // would hold the wheel for ever.
    m_hold1.Release();
    m_hold2.Release();
    for (int axis : {0, 1})
        if (CRotateKnob* k = GetHandle(axis)) k->m_wState = 0;
}
