#include "mechanics/mass_comp.h"

#include "components/component_kit.h"
#include "components/knob.h"
#include "components/resize.h"
#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "model/parts/part_records.h"
#include "platform/archive.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CMassComp, "CMechComp", 4)

namespace {

constexpr double kDefaultRate = 5.0;
// A label of no mass would leave a free slider's node floating: at least a
// milligram.
constexpr double kLeastMass = 1e-6;
constexpr int kBodyTop = 5;
constexpr int kTrackY = 23;
constexpr int kPinY = 14;
// The handles: the drag handle on the body, the resize grips on the stops.
constexpr int kHandleX = 12;
constexpr int kHandleY = 8;
constexpr int kLeftGrip = 18;
constexpr int kRightGripFromEnd = 26;

// The body: one frame, 32 x 18.
CVisual& BodyVisual()
{
    static CVisual visual(0, 0, 1342, 1, 0, 0, 32, 18);
    return visual;
}

} // namespace

CMassComp::CMassComp()
{
    m_nOrientationMask = 1;
    m_mass.SetMass(1.0);
}

double CMassComp::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

double CMassComp::TravelLimit() const { return (m_rect.Width() - kTravelMargin) / kPixelsPerMetre; }

int CMassComp::BodyLeft() const { return m_rect.left + MetresToPixels(m_mass.GetPosition()) + kLeftEnd; }

CKnob* CMassComp::GetHandle() const { return FindKnob(); }

void CMassComp::PlaceHandle()
{
    if (CKnob* k = GetHandle()) k->SetAnchor(CPoint(BodyLeft() - m_rect.left + kHandleX, kHandleY));
}

void CMassComp::AddHandles()
{
    const CPoint corner = m_rect.TopLeft();
    if (!GetHandle()) {
        // The knob's rectangle is the part's corner plus its anchor.
        auto* knob = new CKnob(0, 0, -corner.x, -corner.y, 0, this);
        AppendChild(knob);
        PlaceHandle();
    }
    bool hasGrips = false;
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (dynamic_cast<CResize*>(c)) hasGrips = true;
    if (hasGrips) return;
    AppendChild(new CResize(m_rect.Width() - kRightGripFromEnd, kTrackY, -corner.x, -corner.y, this, 1,
                            CResize::kHorizontal));
    AppendChild(new CResize(kLeftGrip, kTrackY, -corner.x, -corner.y, this, 1, CResize::kHorizontal));
}

void CMassComp::CreateChildren()
{
    const CPoint corner = m_rect.TopLeft();
    if (m_rect.Width() < kMinWidth || m_rect.Height() != kHeight)
        m_rect.SetRect(corner.x, corner.y, corner.x + kMinWidth, corner.y + kHeight);
    if (m_terminals.empty()) {
        for (int side : {3, 1}) {
            CMechPin pin;
            pin.kind = WIRE_LINEAR;
            pin.side = side;
            pin.pin = corner + CPoint(side == 3 ? 0 : m_rect.Width() - 1, kPinY);
            AddMechTerminal(pin);
        }
    }
    AddHandles();
    if (!ValueLabelOf(this)) AddChild(new CValue(1000.0, 1.0, 'k', "g", 2, m_rect, 5));
}

void CMassComp::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    m_mass.Serialize(ar);
    if (ar.IsStoring()) {
        if (ar.GetVersion() > 3) {
            m_lower.Serialize(ar);
            m_upper.Serialize(ar);
        }
        return;
    }
    if (ar.GetVersion() > 3) {
        m_lower.Serialize(ar);
        m_upper.Serialize(ar);
        // The mass's numbers feed the solver: a record that is not finite
        // starts the mass again.
        const double numbers[] = {m_mass.GetMass(), m_mass.GetDisplacement(), m_mass.GetBase(),
                                  m_mass.GetMomentum()};
        if (!std::all_of(std::begin(numbers), std::end(numbers), [](double v) { return std::isfinite(v); })) {
            m_mass.SetMass(1.0);
            ResetSimulation();
        }
        return;
    }
    // The oldest files: a new drag handle, the resize handles, a restart.
    DropKnobs(&ar);
    Offset(12, 14);
    if (m_rect.Width() < kMinWidth || m_rect.Height() != kHeight)
        m_rect.SetRect(m_rect.left, m_rect.top, m_rect.left + kMinWidth, m_rect.top + kHeight);
    AddHandles();
    ResetSimulation();
}

double CMassComp::GetQuantity(int, int, int code)
{
    switch (code) {
    case 4:
        return m_mass.GetPosition();
    case 8:
        return m_mass.GetVelocity();
    case 16:
        return m_mass.GetAcceleration();
    case 256: {
        const double v = m_mass.GetVelocity();
        return 0.5 * m_mass.GetMass() * v * v;
    }
    default:
        return 0.0;
    }
}

void CMassComp::AccumulateMotion(CPartTree*, int phase, int, double displacement)
{
    m_hold.Track(phase, displacement, m_mass.GetPosition());
}

int CMassComp::AttachMechanism(int handle, int movement)
{
    const int width = m_rect.Width();
    const bool rightEnd = handle > width / 2;
    int newWidth = width + (rightEnd ? movement : -movement);
    const bool clipped = newWidth < kMinWidth;
    if (clipped) newWidth = kMinWidth;
    const int change = newWidth - width;
    std::vector<CResize*> grips;
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) grips.push_back(g);
    if (rightEnd) {
        m_rect.right += change;
        if (CTerminal* t = GetTerminal(1)) t->Offset(change, 0);
        for (CResize* g : grips)
            if (g->m_anchor.x > width / 2) g->MoveAnchor(CPoint(newWidth - kRightGripFromEnd, g->m_anchor.y));
    } else {
        // The left end moves; the track and the mass go with it, the right
        // end stays.
        m_rect.left -= change;
        if (CTerminal* t = GetTerminal(0)) t->Offset(-change, 0);
        if (CKnob* k = GetHandle()) k->Offset(-change, 0);
        for (CResize* g : grips)
            if (g->m_anchor.x > width / 2) g->MoveAnchor(CPoint(newWidth - kRightGripFromEnd, g->m_anchor.y));
    }
    m_upper.SetLimit(TravelLimit());
    if (m_mass.GetBase() > m_upper.GetLimit()) {
        m_mass.SetBase(m_upper.GetLimit());
        m_lower.SetOffset(m_upper.GetLimit());
        m_upper.SetOffset(m_upper.GetLimit());
    }
    m_lower.ApplyDelta();
    m_upper.ApplyDelta();
    PlaceHandle();
    return clipped ? 0 : 1;
}

int CMassComp::BuildInfo(CString& text, UINT, CPoint point)
{
    const CUnitChoices units = MechUnitChoices(GetDesign());
    const double v = m_mass.GetVelocity();
    text = MechSpeedText(v, WIRE_LINEAR, units);
    const int x = BodyLeft();
    if (point.x >= x && point.x < x + kBodyWidth) {
        text += ", ";
        text += MechPositionText(m_mass.GetPosition(), WIRE_LINEAR, units);
    }
    return MechDirectionCode(v, 2);
}

int CMassComp::GetPropertyBitmap(std::vector<int>& ids, CBitmap*)
{
    ids.clear();
    return 0;
}

void CMassComp::PrepareStep()
{
    // The label may change during a run: the next step takes it.
    const double m = LabelValue(this) / 1000.0;
    m_mass.SetMass(std::isfinite(m) && m >= kLeastMass ? m : kLeastMass);
    // The flag a spring set after the last step holds for this step alone,
    // whichever of the two came first in the last step's after-step pass.
    // A held mass runs backward Euler: the hand's stiff spring is no part
    // of the energy balance that chose the trapezoidal rule, and undamped
    // it would ring for as long as the mass is held.
    m_nStepRule = m_hold.held ? 0 : m_nTrapezoid;
    m_nTrapezoid = 0;
    m_mass.Prepare(Rate(), m_nStepRule);
}

void CMassComp::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    CTerminal* left = GetTerminal(0);
    CTerminal* right = GetTerminal(1);
    m_mass.StampAt(m, right);
    m->AddLink(left, right);
    m_lower.StampAt(m, left);
    m_upper.StampAt(m, right);
    // Held: a spring of 4000 N/m pulls the mass to the held position.
    if (m_hold.held)
        m->StampTransfer(kHoldStiffness, -kHoldStiffness * (m_hold.target - m_mass.GetBase()), right, nullptr, right,
                         nullptr);
}

void CMassComp::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 2) return;
    m_lower.LimitStep(out, fraction, nodeValues[GetTerminal(0)->GetNode()]);
    m_upper.LimitStep(out, fraction, nodeValues[GetTerminal(1)->GetNode()]);
}

int CMassComp::AfterStep()
{
    if (CMechComp::AfterStep() || m_terminals.size() < 2) return IsBroken();
    const double x = GetMechTerminal(1)->GetPosition();
    m_mass.Update(x, Rate(), m_nStepRule);
    m_lower.SetDelta(x);
    m_upper.SetDelta(x);
    m_lower.Commit();
    m_upper.Commit();
    const double v = m_mass.GetVelocity();
    const CCircuit* d = GetDesign();
    m_ring[d ? d->GetStepIndex() % 10 : 0] = 0.5 * m_mass.GetMass() * v * v;
    PlaceHandle();
    if (CCircuit* design = GetDesign()) {
        DrawMoving(0, design->GetRedrawFlags());
        design->SetChanged();
    }
    return 0;
}

void CMassComp::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_nTrapezoid = m_nStepRule = 0;
    m_lower.Set(0.0, 0);
    // The travel of a new track, 0.04 m; a wider one read back keeps its own.
    m_upper.Set(m_rect.Width() >= kMinWidth ? TravelLimit() : 0.04, 1);
    m_mass.Clear();
    m_mass.SetBase(kStartPosition);
    m_lower.SetOffset(kStartPosition);
    m_upper.SetOffset(kStartPosition);
    std::fill(std::begin(m_ring), std::end(m_ring), 0.0);
    m_hold = CHandHold();
    ResetState();
}

void CMassComp::ResetState()
{
    m_mass.Rebase();
    m_lower.ApplyDelta();
    m_upper.ApplyDelta();
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
    m_hold.Release();
    if (CKnob* k = GetHandle()) k->m_wState = 0;
    PlaceHandle();
}

int CMassComp::Draw(DWORD flags) { return DrawMovingPart(flags, m_rect); }

void CMassComp::DrawMovingBody(DWORD flags)
{
    const COLORREF ink = ColourRGB(0, 0, 0x80);
    const int l = m_rect.left, t = m_rect.top, r = m_rect.right;
    // The track and the two stops at its ends.
    CDisplay::DrawLine(l + kLeftEnd - 4, t + kTrackY, r - kRightGripFromEnd + 4, t + kTrackY, ink, PS_SOLID, 1);
    CDisplay::FillRectColour(CRect(l + kLeftEnd - 3, t + kBodyTop, l + kLeftEnd - 1, t + kTrackY), ink);
    CDisplay::FillRectColour(CRect(r - kRightGripFromEnd + 1, t + kBodyTop, r - kRightGripFromEnd + 3, t + kTrackY),
                             ink);
    // The body, and the rods from it to the terminals' pins.
    const int x = BodyLeft();
    CDisplay::DrawLine(l, t + kPinY, std::max(l, x), t + kPinY, ink, PS_SOLID, 1);
    CDisplay::DrawLine(std::min(r - 1, x + kBodyWidth), t + kPinY, r, t + kPinY, ink, PS_SOLID, 1);
    CVisual& body = BodyVisual();
    body.DrawBitmap(x, t + kBodyTop, 0, GetDrawVariant(), {0, 0}, body.GetSize(), 0, SRCAND);
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) g->DrawHandle(flags);
    PlaceHandle();
    if (CKnob* k = GetHandle()) k->DrawOnOwner(flags, 1);
}
