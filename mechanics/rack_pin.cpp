#include "mechanics/rack_pin.h"

#include "components/knob.h"
#include "components/resize.h"
#include "components/rotateknob.h"
#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "model/parts/parttree.h"
#include "platform/archive.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CRackPin, "CMechComp", 4)

namespace {

constexpr double kDefaultRate = 5.0;
// The rack's drag handle stands this far right of the rack's left end.
constexpr int kRackHandleX = 42;
// The rack picture: left end, a middle piece of two teeth (one tooth every
// 12 pixels, the pinion's pitch), right end; 24 x 17 each.
constexpr int kPieceWidth = 24;
constexpr int kRightEndWidth = 19;

CVisual& RackVisual()
{
    static CVisual visual(0, 0, 120, 3, 0, 0, 24, 17);
    return visual;
}

bool Finite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

} // namespace

CRackPin::CRackPin()
{
    m_nOrientationMask = 1;
    m_rack.SetMass(kRackMass);
    m_pinionInertia.SetMass(kPinionInertia);
    m_pinionFriction.SetCoefficient(kFriction);
    m_rackFriction.SetCoefficient(kFriction);
    LayPinion();
    m_pinion.SetRestAngle(0.0);
}

double CRackPin::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

int CRackPin::PinionCentreX() const { return kPinionCentre + MetresToPixels(m_dRest - kRestParameter); }

void CRackPin::LayPinion()
{
    // The cog's rectangle is relative to the part's corner; SetTeeth puts
    // it back at (0, 0) before it is placed.
    const double angle = m_pinionInertia.GetPosition();
    m_pinion.SetTeeth(8);
    const int half = m_pinion.GetSize().cx / 2;
    m_pinion.Place(PinionCentreX() - half, kPinionTop, CRect(0, 0, kWidth, kHeight));
    m_pinion.SetMarker(m_pinion.FrameOfAngle(angle), angle);
}

CRotateKnob* CRackPin::GetPinionHandle() const { return FindKnob<CRotateKnob>(1); }

CKnob* CRackPin::GetRackHandle() const
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* k = dynamic_cast<CKnob*>(c); k && !dynamic_cast<CRotateKnob*>(c) && k->GetAxis() == 0) return k;
    return nullptr;
}

void CRackPin::LinkPartners()
{
    if (!HasMechTerminals(4)) return;
    GetMechTerminal(0)->SetLinkedObject(GetMechTerminal(2));
    GetMechTerminal(2)->SetLinkedObject(GetMechTerminal(0));
}

void CRackPin::AddTerminals(CPoint corner)
{
    const CPoint shaft = corner + m_pinion.GetCentre();
    const int width = m_rect.Width();
    struct Pin {
        int kind, side;
        CPoint at;
        WORD forceMarks;
    };
    const Pin pins[4] = {
        {WIRE_ROTATIONAL, 2, shaft, 0},
        {WIRE_LINEAR, 3, corner + CPoint(0, kRackMiddle), 1},
        {WIRE_ROTATIONAL, 0, shaft, 1},
        {WIRE_LINEAR, 1, corner + CPoint(width - 1, kRackMiddle), 1},
    };
    for (const Pin& p : pins) {
        CMechPin pin;
        pin.kind = p.kind;
        pin.side = p.side;
        pin.pin = p.at;
        pin.showForceMarks = p.forceMarks;
        AddMechTerminal(pin);
    }
    LinkPartners();
}

void CRackPin::AddHandles()
{
    // Anchors are relative to the part's corner; the knobs' rectangles are
    // on the canvas, so they start at the corner.
    const CPoint corner = m_rect.TopLeft();
    const CPoint c = m_pinion.GetCentre();
    auto* turn = new CRotateKnob(c.x, c.y, -corner.x, -corner.y, 1, this);
    turn->SetAnchor(m_pinion.GetMarkerPoint());
    AppendChild(turn);
    AppendChild(new CKnob(0, 0, -corner.x, -corner.y, 0, this));
    AppendChild(new CResize(m_rect.Width() - kRightGripFromEnd, kRackMiddle, -corner.x, -corner.y, this, 1,
                            CResize::kHorizontal));
    AppendChild(new CResize(kLeftGrip, kRackMiddle, -corner.x, -corner.y, this, 1, CResize::kHorizontal));
    PlaceHandles();
}

void CRackPin::PlaceHandles()
{
    if (CRotateKnob* k = GetPinionHandle()) k->SetAnchor(m_pinion.GetMarkerPoint());
    if (CKnob* k = GetRackHandle())
        k->SetAnchor(CPoint(MetresToPixels(m_rack.GetPosition()) + kRackOrigin + kRackHandleX, kRackMiddle));
}

void CRackPin::CreateChildren()
{
    if (!m_terminals.empty()) return;
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + kWidth, corner.y + kHeight);
    m_pinion.SetRestAngle(0.0);
    LayPinion();
    AddTerminals(corner);
    AddHandles();
}

void CRackPin::SetNewRack()
{
    m_dRackLength = kRackLength;
    m_dRest = kRestParameter;
    LayPinion();
}

bool CRackPin::IsSane() const
{
    if (!Finite({m_dRackLength, m_dRest, m_stop1.GetLimit(), m_stop2.GetLimit()})) return false;
    // The rack must reach past the pinion, and the pinion must stand where
    // both ends can keep their distance from it inside the part.
    if (m_dRackLength <= 0.0 || m_dRackLength > 100.0) return false;
    if (m_dRest < kRestParameter - 1e-9 || m_dRest > 100.0) return false;
    const int centre = PinionCentreX();
    return centre >= kEndReach && m_rect.Width() - centre >= kEndReach;
}

void CRackPin::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    m_pinionInertia.Serialize(ar);
    m_rack.Serialize(ar);
    m_pinion.Serialize(ar);
    const bool current = ar.GetVersion() > 3;
    if (ar.IsStoring()) {
        if (current) {
            m_stop1.Serialize(ar);
            m_stop2.Serialize(ar);
            m_pinionFriction.Serialize(ar);
            m_rackFriction.Serialize(ar);
            ar << m_dRackLength << m_dRest;
        }
        return;
    }
    m_rack.SetMass(kRackMass);
    m_pinionInertia.SetMass(kPinionInertia);
    if (!current) {
        // The oldest files: a new rack's length and travel, fresh handles.
        DropKnobs(&ar);
        for (CPart* c = GetFirstChild(); c;) {
            CPart* next = c->GetNextSibling();
            if (auto* g = dynamic_cast<CResize*>(c)) {
                ForgetTree(ar, g);
                RemoveChild(g);
                delete g;
            }
            c = next;
        }
        m_rect.SetRect(m_rect.left, m_rect.top, m_rect.left + kWidth, m_rect.top + kHeight);
        SetNewRack();
        ResetSimulation();
        LinkPartners();
        AddHandles();
        return;
    }
    m_stop1.Serialize(ar);
    m_stop2.Serialize(ar);
    m_pinionFriction.Serialize(ar);
    m_rackFriction.Serialize(ar);
    ar >> m_dRackLength >> m_dRest;
    if (!IsSane()) throw CArchiveException(CArchiveException::badSchema);
    LayPinion();
    LinkPartners();
    // The motion feeds the solver: numbers that are not finite start the
    // rack again.
    if (!Finite({m_rack.GetDisplacement(), m_rack.GetBase(), m_rack.GetMomentum(), m_pinionInertia.GetDisplacement(),
                 m_pinionInertia.GetBase(), m_pinionInertia.GetMomentum(), m_pinionFriction.GetPosition(),
                 m_rackFriction.GetPosition()}))
        ResetSimulation();
}

void CRackPin::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CMechComp::AfterLoad(design, flags, version);
    LinkPartners();
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) g->Place();
    PlaceHandles();
}

void CRackPin::MoveBase(double position)
{
    m_rack.Rebase();
    m_rack.SetBase(position);
    m_pinionInertia.Rebase();
    m_pinionInertia.SetBase(position * kInverseRatio);
    m_pinionFriction.Rebase();
    m_rackFriction.Rebase();
    for (CStop* s : {&m_stop1, &m_stop2}) {
        s->SetDelta(0.0);
        s->SetOffset(position);
    }
    // The pinion's handle rides on the turned wheel.
    const double angle = m_pinionInertia.GetPosition();
    m_pinion.SetMarker(m_pinion.FrameOfAngle(angle), angle);
}

void CRackPin::ClampBase()
{
    const double p = m_rack.GetPosition();
    if (p > m_stop2.GetLimit())
        MoveBase(m_stop2.GetLimit());
    else if (p < 0.0)
        MoveBase(0.0);
    m_stop1.ApplyDelta();
    m_stop2.ApplyDelta();
}

int CRackPin::AttachMechanism(int handle, int movement)
{
    const int width = m_rect.Width();
    const int centre = PinionCentreX();
    const bool rightEnd = handle > width / 2;
    int change = movement;
    bool clipped = false;
    if (rightEnd && width + change - centre < kEndReach) {
        change = kEndReach + centre - width;
        clipped = true;
    } else if (!rightEnd && centre - change < kEndReach) {
        change = centre - kEndReach;
        clipped = true;
    }
    // The travel's far end: where the rack's right end stands at the upper
    // stop, from the rack's origin (0.04075 m on a new rack).
    double reach = m_stop2.GetLimit() + m_dRackLength;
    const double lower = m_stop1.GetLimit();
    std::vector<CResize*> grips;
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) grips.push_back(g);
    if (rightEnd) {
        m_rect.right += change;
        if (CTerminal* t = GetTerminal(3)) t->Offset(change, 0);
        reach += change / kPixelsPerMetre;
    } else {
        // The left edge moves with the rack's left end; the pinion, its
        // shaft and the right end stay where they are on the canvas, so the
        // rack's origin moves and the pinion's contact moves the other way.
        const double e = -change / kPixelsPerMetre;
        m_rect.left += change;
        if (CTerminal* t = GetTerminal(1)) t->Offset(change, 0);
        if (CKnob* k = GetRackHandle()) k->Offset(change, 0);
        m_dRest += e;
        reach += e;
        LayPinion();
        if (CRotateKnob* k = GetPinionHandle()) {
            k->m_centre = m_pinion.GetCentre();
            k->m_anchor = m_pinion.GetMarkerPoint();
        }
    }
    const int newWidth = m_rect.Width();
    for (CResize* g : grips)
        if (g->m_anchor.x > width / 2) g->MoveAnchor(CPoint(newWidth - kRightGripFromEnd, g->m_anchor.y));
    // The rack covers the pinion's contact, with the overlap to spare, at
    // both stops: long enough for the reach and for the lower stop.
    const double oldLength = m_dRackLength;
    m_dRackLength = std::max(reach - m_dRest, m_dRest - lower) + kOverlap;
    m_stop2.SetLimit(reach - m_dRackLength);
    if (!rightEnd) {
        // The rack's right end stays where it is on the canvas; measured
        // from the moved origin its position changes by what the left end
        // grew beyond the origin's move.  The pinion's angle follows, so it
        // stays the rack's position / r.
        const double shift = oldLength - change / kPixelsPerMetre - m_dRackLength;
        MoveBase(m_rack.GetPosition() + shift);
    }
    ClampBase();
    PlaceHandles();
    return clipped ? 0 : 1;
}

void CRackPin::FindAttachments(CPartTree* design)
{
    // The probes on the part stand over its body: while a grip is dragged
    // they step aside (an empty rectangle collides with nothing), so that
    // the part can be dropped back, and return to their places after.
    m_probes.clear();
    if (!design || !design->m_pProbes) return;
    for (CPart* p = design->m_pProbes->GetFirstChild(); p; p = p->GetNextSibling())
        if (p->GetAttachedPart() == this && m_probes.size() < 2) {
            m_probes.emplace_back(p, p->m_rect);
            p->m_rect = CRect(p->m_rect.TopLeft(), p->m_rect.TopLeft());
        }
}

void CRackPin::UpdateAttachments(CPartTree* design)
{
    // Only probes still in the design and still on this part go back.
    if (design && design->m_pProbes)
        for (auto& [probe, rect] : m_probes)
            for (CPart* p = design->m_pProbes->GetFirstChild(); p; p = p->GetNextSibling())
                if (p == probe && p->GetAttachedPart() == this) p->m_rect = rect;
    m_probes.clear();
}

void CRackPin::AccumulateMotion(CPartTree*, int phase, int axis, double displacement)
{
    if (axis == 1)
        m_pinionHold.Track(phase, displacement, m_pinionInertia.GetPosition());
    else
        m_rackHold.Track(phase, displacement, m_rack.GetPosition());
}

DWORD CRackPin::GetProbeQuantities(int, int y) { return y - m_rect.top < kTopRows ? 480 : 284; }

double CRackPin::GetQuantity(int, int y, int code)
{
    const CMass& m = y - m_rect.top < kTopRows ? static_cast<const CMass&>(m_pinionInertia) : m_rack;
    switch (code) {
    case 4:
    case 32:
        return m.GetPosition();
    case 8:
    case 64:
        return m.GetVelocity();
    case 16:
    case 128:
        return m.GetAcceleration();
    case 256: {
        const double v = m.GetVelocity();
        return 0.5 * m.GetMass() * v * v;
    }
    default:
        return 0.0;
    }
}

CRect CRackPin::GetExtent(int, int y)
{
    const int split = m_rect.top + kTopRows;
    if (y < split) return CRect(m_rect.left, m_rect.top, m_rect.right, split);
    return CRect(m_rect.left, split, m_rect.right, m_rect.bottom);
}

int CRackPin::RackLeft(DWORD) const { return m_rect.left + MetresToPixels(m_rack.GetPosition()) + kRackOrigin; }

int CRackPin::RackRight(DWORD flags) const { return RackLeft(flags) + MetresToPixels(m_dRackLength); }

CRackPin::CHit CRackPin::HitElement(CPoint point) const
{
    const CPoint p(point.x - m_rect.left, point.y - m_rect.top);
    CRect pinion = m_pinion.GetRect();
    if (p.x >= pinion.left && p.x < pinion.right && p.y >= pinion.top + 8 && p.y < pinion.bottom - 8)
        return {WIRE_ROTATIONAL, true};
    const int left = RackLeft(0) - m_rect.left, right = RackRight(0) - m_rect.left;
    if (p.y >= pinion.bottom) {
        if (p.x >= left && p.x < right) return {WIRE_LINEAR, true};
        const CTerminal* end = p.x < left ? GetTerminal(1) : GetTerminal(3);
        if (end && end->IsJoined()) return {WIRE_LINEAR, false};
    }
    return {p.y < kTopRows ? WIRE_ROTATIONAL : WIRE_LINEAR, false};
}

int CRackPin::BuildInfo(CString& text, UINT, CPoint point)
{
    const CHit hit = HitElement(point);
    const CMass& m = hit.kind == WIRE_ROTATIONAL ? static_cast<const CMass&>(m_pinionInertia) : m_rack;
    const CUnitChoices units = MechUnitChoices(GetDesign());
    text = MechSpeedText(m.GetVelocity(), hit.kind, units);
    if (hit.on) {
        text += ", ";
        text += MechPositionText(m.GetPosition(), hit.kind, units);
    }
    return MechDirectionCode(m.GetVelocity(), hit.kind == WIRE_LINEAR ? 2 : 1);
}

int CRackPin::Draw(DWORD flags) { return DrawMovingPart(flags, m_rect); }

void CRackPin::DrawMovingBody(DWORD flags)
{
    const CPoint corner = m_rect.TopLeft();
    m_pinion.Draw(corner, 1, flags);
    // The rack: its left end, the middle pieces every 24 pixels, its right end.
    const int b = RackLeft(flags), c = RackRight(flags);
    const int y = corner.y + kRackTop;
    CVisual& rack = RackVisual();
    const int variant = GetDrawVariant();
    rack.DrawBitmap(b, y, 0, variant, {0, 0}, rack.GetSize(), 0, SRCAND);
    const int pieces = (c - b - kRightEndWidth) / kPieceWidth;
    for (int k = 1; k < pieces; ++k) rack.DrawBitmap(b + k * kPieceWidth, y, 1, variant, {0, 0}, rack.GetSize(), 0, SRCAND);
    rack.DrawBitmap(c - kRightEndWidth, y, 2, variant, {0, 0}, rack.GetSize(), 0, SRCAND);
    // A joined end pushes and pulls through a rod to the part's edge.
    const COLORREF ink = ColourRGB(0, 0, 0x80);
    const int rodY = corner.y + kRackMiddle;
    if (CTerminal* t = GetTerminal(1); t && t->IsJoined() && b > m_rect.left)
        CDisplay::DrawLine(m_rect.left, rodY, b, rodY, ink, PS_SOLID, 1);
    if (CTerminal* t = GetTerminal(3); t && t->IsJoined() && c < m_rect.right)
        CDisplay::DrawLine(c, rodY, m_rect.right, rodY, ink, PS_SOLID, 1);
    for (CPart* ch = GetFirstChild(); ch; ch = ch->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(ch)) g->DrawHandle(flags);
    PlaceHandles();
    const bool held = m_pinionHold.held || m_rackHold.held;
    if (CRotateKnob* k = GetPinionHandle()) k->DrawOnOwner(flags, held ? 1 : m_pinion.IsSlow());
    if (CKnob* k = GetRackHandle()) k->DrawOnOwner(flags, 1);
}

int CRackPin::GetPropertyBitmap(std::vector<int>& ids, CBitmap*)
{
    // One orientation only: no orientation buttons.
    ids.clear();
    return 0;
}

void CRackPin::PrepareStep()
{
    const double r = Rate();
    m_pinionInertia.Prepare(r, m_nTrapezoid);
    m_rack.Prepare(r, m_nTrapezoid);
    m_pinionFriction.Prepare(r, m_nTrapezoid);
    m_rackFriction.Prepare(r, m_nTrapezoid);
}

void CRackPin::Stamp(CMatrix* m)
{
    if (!HasMechTerminals(4)) return;
    CMechTerm* t0 = GetMechTerminal(0);
    CMechTerm* t1 = GetMechTerminal(1);
    CMechTerm* t2 = GetMechTerminal(2);
    CMechTerm* t3 = GetMechTerminal(3);
    m_pinionInertia.StampAt(m, t2);
    m_rack.StampAt(m, t1);
    // x(rack) = r theta(pinion).
    m->AddRatioLink(kRatio, t2, t1);
    m->AddLink(t0, t2);
    m->AddLink(t1, t3);
    m_stop1.StampAt(m, t1);
    m_stop2.StampAt(m, t3);
    m_pinionFriction.StampAt(m, t2);
    m_rackFriction.StampAt(m, t1);
    // Held: springs pull the absolute positions (base + node value) to the
    // handles' targets.
    if (m_rackHold.held)
        m->StampTransfer(kHoldStiffness, -(m_rackHold.target - m_rack.GetBase()) * kHoldStiffness, t1, nullptr, t1,
                         nullptr);
    if (m_pinionHold.held)
        m->StampTransfer(kTurnStiffness, -(m_pinionHold.target - m_pinionInertia.GetBase()) * kTurnStiffness, t2,
                         nullptr, t2, nullptr);
}

void CRackPin::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 4) return;
    m_stop1.LimitStep(out, fraction, nodeValues[GetTerminal(1)->GetNode()]);
    m_stop2.LimitStep(out, fraction, nodeValues[GetTerminal(3)->GetNode()]);
}

int CRackPin::AfterStep()
{
    if (CMechComp::AfterStep() || !HasMechTerminals(4)) return IsBroken();
    const double r = Rate();
    const double theta = GetMechTerminal(2)->GetPosition();
    const double x = GetMechTerminal(1)->GetPosition();
    m_pinionInertia.Update(theta, r, m_nTrapezoid);
    m_pinionFriction.Update(theta);
    m_rack.Update(x, r, m_nTrapezoid);
    m_rackFriction.Update(x);
    m_stop1.SetDelta(x);
    m_stop2.SetDelta(x);
    m_stop1.Commit();
    m_stop2.Commit();
    m_pinion.Animate(m_pinionInertia.GetPosition(), 0.0, m_pinionInertia.GetVelocity(), r);
    PlaceHandles();
    if (CCircuit* d = GetDesign()) {
        DrawMoving(0, d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

void CRackPin::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_nTrapezoid = 0;
    m_rack.Clear();
    m_pinionInertia.Clear();
    m_pinionFriction.Clear();
    m_rackFriction.Clear();
    m_pinionFriction.SetCoefficient(kFriction);
    m_rackFriction.SetCoefficient(kFriction);
    m_stop1.Set(0.0, 0);
    // A new rack travels 0.018 m; a longer one read back keeps its travel
    // (the far reach is the part's width less the rack's margins).
    const int width = m_rect.Width();
    const double upper =
        width > kWidth ? (width - kRackOrigin - kRightGripFromEnd) / kPixelsPerMetre - m_dRackLength : kTravel;
    m_stop2.Set(std::max(upper, 0.0), 1);
    m_pinion.RestoreRest();
    MoveBase(std::min(kStartPosition, m_stop2.GetLimit()));
    m_pinionHold = CHandHold();
    m_rackHold = CHandHold();
    ResetState();
}

void CRackPin::ResetState()
{
    m_pinionInertia.Rebase();
    m_rack.Rebase();
    m_stop1.ApplyDelta();
    m_stop2.ApplyDelta();
    m_pinionFriction.Rebase();
    m_rackFriction.Rebase();
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
    // A handle let go while the run stopped is released.
    m_pinionHold.Release();
    m_rackHold.Release();
    if (CKnob* k = GetPinionHandle()) k->m_wState = 0;
    if (CKnob* k = GetRackHandle()) k->m_wState = 0;
    PlaceHandles();
}
