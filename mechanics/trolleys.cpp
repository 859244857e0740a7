#include "mechanics/trolleys.h"

#include "components/knob.h"
#include "components/resize.h"
#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/circuit/simhost.h"
#include "model/display/bitmap256.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"
#include "model/text/value.h"
#include "platform/archive.h"
#include "platform/strings.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CTrolleys, "CMechComp", 5)

namespace {

constexpr double kDefaultRate = 5.0;
// A label of no mass would divide the collision rule by zero: at least a
// milligram.
constexpr double kLeastMass = 1e-6;
constexpr double kStartRight = 0.1;
// Velocities closer than this never collide (they would meet at infinity).
constexpr double kSameVelocity = 1e-24;
constexpr int kTrolleyTop = 2;
constexpr int kTrackY = 26;
constexpr int kPinX = 5;
constexpr int kPinY = 14;
// Pixels from the track's left end to the left trolley's left edge at
// x1 = 0, and to the right trolley's at x2 = 0 (one trolley further).
constexpr int kLeftOrigin = 5;
constexpr int kRightOrigin = kLeftOrigin + CTrolleys::kTrolleyWidth;
// The drag handle on a trolley, and the resize grips at the track's ends.
constexpr int kHandleInset = 13;
constexpr int kHandleY = 8;
constexpr int kRightGripFromEnd = 5;
constexpr int kLeftGrip = 1;
constexpr int kGripY = 19;
constexpr int kButtonPictures = 132;

const UINT kCollisionTexts[] = {235, 237, 246};
const double kRestitution[] = {1.0, 0.0, 0.5};

CVisual& TrolleyVisual()
{
    static CVisual visual(0, 0, 1317, 1, 0, 0, CTrolleys::kTrolleyWidth, CTrolleys::kTrolleyHeight);
    return visual;
}

bool Finite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

} // namespace

CTrolleys::CTrolleys()
{
    m_nOrientationMask = 1;
    m_pos1.Assign(0.0, 3, "m", 15);
    m_pos2.Assign(100.0, 3, "m", 15);
    m_vel1.Assign(0.0, 3, "m/s", 14);
    m_vel2.Assign(0.0, 3, "m/s", 14);
}

double CTrolleys::Restitution(int type) { return type >= 0 && type <= 2 ? kRestitution[type] : 1.0; }

double CTrolleys::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

double CTrolleys::GetTrackLength() const
{
    // A part not yet laid out has the least track.
    return (std::max(m_rect.Width(), kMinWidth) - kTrackMargin) / kPixelsPerMetre;
}

CValue* CTrolleys::GetMassLabel(int i) const
{
    int n = 0;
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* v = dynamic_cast<CValue*>(c)) {
            if (n == i) return v;
            ++n;
        }
    return nullptr;
}

double CTrolleys::GetMassKg(int i) const
{
    const CValue* v = GetMassLabel(i);
    const double m = v ? v->GetValue() / 1000.0 : 1.0;
    return std::isfinite(m) && m >= kLeastMass ? m : kLeastMass;
}

void CTrolleys::SetMotion(int i, double x, double u)
{
    (i == 0 ? m_x1 : m_x2) = x;
    (i == 0 ? m_u1 : m_u2) = u;
    MirrorNumbers();
}

int CTrolleys::TrolleyLeft(int i) const
{
    return i == 0 ? MetresToPixels(m_x1) + kLeftOrigin : MetresToPixels(m_x2) + kRightOrigin;
}

CRect CTrolleys::GetLeftRect() const
{
    const int x = m_rect.left + TrolleyLeft(0), y = m_rect.top + kTrolleyTop;
    return CRect(x, y, x + kTrolleyWidth, y + kTrolleyHeight);
}

CRect CTrolleys::GetRightRect() const
{
    const int x = m_rect.left + TrolleyLeft(1), y = m_rect.top + kTrolleyTop;
    return CRect(x, y, x + kTrolleyWidth, y + kTrolleyHeight);
}

// ---------------------------------------------------------------- children

void CTrolleys::AddHandles()
{
    const CPoint corner = m_rect.TopLeft();
    for (int axis : {0, 1})
        if (!FindKnob(axis)) AppendChild(new CKnob(0, 0, -corner.x, -corner.y, axis, this));
    bool hasGrips = false;
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (dynamic_cast<CResize*>(c)) hasGrips = true;
    if (!hasGrips) {
        AppendChild(new CResize(m_rect.Width() - kRightGripFromEnd, kGripY, -corner.x, -corner.y, this, 1,
                                CResize::kHorizontal));
        AppendChild(new CResize(kLeftGrip, kGripY, -corner.x, -corner.y, this, 1, CResize::kHorizontal));
    }
    PlaceHandles();
}

void CTrolleys::PlaceHandles()
{
    for (int axis : {0, 1})
        if (CKnob* k = FindKnob(axis)) k->SetAnchor(CPoint(TrolleyLeft(axis) + kHandleInset, kHandleY));
}

void CTrolleys::CreateChildren()
{
    const CPoint corner = m_rect.TopLeft();
    if (m_rect.Width() < kMinWidth || m_rect.Height() != kHeight)
        m_rect.SetRect(corner.x, corner.y, corner.x + kMinWidth, corner.y + kHeight);
    if (m_terminals.empty()) {
        CMechPin pin;
        pin.kind = WIRE_LINEAR;
        pin.side = 3;
        pin.pin = corner + CPoint(kPinX, kPinY);
        AddMechTerminal(pin);
    }
    AddHandles();
    // The mass labels below the track at a quarter and three quarters.
    for (int i = 0; i < 2; ++i) {
        if (GetMassLabel(i)) continue;
        const int x = m_rect.left + (i == 0 ? m_rect.Width() / 4 : 3 * m_rect.Width() / 4);
        AppendChild(new CValue(1000.0, 1.0, 'k', "g", 2, CRect(x - 1, m_rect.top, x + 1, m_rect.bottom), 5));
    }
    MirrorNumbers();
}

// ---------------------------------------------------------------- archive

void CTrolleys::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_x1 << m_x2 << m_u1 << m_u2 << m_wCollision << m_dwShown;
        return;
    }
    ar >> m_x1 >> m_x2 >> m_u1 >> m_u2 >> m_wCollision >> m_dwShown;
    // The record drives the motion: numbers that are not finite start the
    // trolleys again, a type or trolley no button has becomes the first.
    if (!Finite({m_x1, m_x2, m_u1, m_u2})) {
        m_x1 = 0.0;
        m_x2 = kStartRight;
        m_u1 = m_u2 = 0.0;
    }
    if (m_wCollision > 2) m_wCollision = 0;
    if (m_dwShown > 1) m_dwShown = 0;
    const double L = GetTrackLength();
    m_x1 = std::clamp(m_x1, 0.0, L);
    m_x2 = std::clamp(m_x2, m_x1, L);
    MirrorNumbers();
}

void CTrolleys::SerializeLinks(CArchive& ar)
{
    CMechComp::SerializeLinks(ar);
    if (ar.IsStoring()) {
        LinkProbes();
        ar.WriteObjectRef(m_pProbe1);
        ar.WriteObjectRef(m_pProbe2);
        return;
    }
    // Only probes are linked; another part named here is no link.
    for (CPart** slot : {&m_pProbe1, &m_pProbe2}) {
        auto* p = dynamic_cast<CPart*>(ar.ReadObjectRef(RUNTIME_CLASS(CPart)));
        *slot = p && dynamic_cast<CProbeRecorder*>(p) ? p : nullptr;
    }
}

void CTrolleys::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(m_pProbe1)) m_pProbe1 = nullptr;
    if (gone.count(m_pProbe2)) m_pProbe2 = nullptr;
    CMechComp::DropDeadLinks(gone);
}

// ---------------------------------------------------------------- probes

CPart* CTrolleys::FindProbeAt(const CRect& rect) const
{
    const CCircuit* d = GetDesign();
    if (!d || !d->m_pProbes) return nullptr;
    for (CPart* p = d->m_pProbes->GetFirstChild(); p; p = p->GetNextSibling())
        if (dynamic_cast<CProbeRecorder*>(p) && p->GetAttachedPart() == this && p->m_rect == rect) return p;
    return nullptr;
}

CPart* CTrolleys::FindLeftProbe() const { return FindProbeAt(GetLeftRect()); }

CPart* CTrolleys::FindRightProbe() const { return FindProbeAt(GetRightRect()); }

void CTrolleys::LinkProbes()
{
    // A link is kept while the probe stands in the design and records this
    // part (its rectangle may be emptied during a resize).
    const CCircuit* d = GetDesign();
    const auto stillOurs = [&](CPart* probe) {
        if (!probe || !d || !d->m_pProbes) return false;
        for (CPart* p = d->m_pProbes->GetFirstChild(); p; p = p->GetNextSibling())
            if (p == probe) return p->GetAttachedPart() == this;
        return false;
    };
    if (!stillOurs(m_pProbe1)) m_pProbe1 = FindLeftProbe();
    if (!stillOurs(m_pProbe2)) m_pProbe2 = FindRightProbe();
    if (m_pProbe2 == m_pProbe1) m_pProbe2 = nullptr;
}

void CTrolleys::MoveProbes()
{
    if (m_pProbe1) m_pProbe1->m_rect = GetLeftRect();
    if (m_pProbe2) m_pProbe2->m_rect = GetRightRect();
}

void CTrolleys::FindAttachments(CPartTree*)
{
    LinkProbes();
    for (CPart* p : {m_pProbe1, m_pProbe2})
        if (p) p->m_rect.SetRectEmpty();
}

void CTrolleys::UpdateAttachments(CPartTree*) { MoveProbes(); }

// ---------------------------------------------------------------- the track

int CTrolleys::AttachMechanism(int handle, int movement)
{
    const int width = m_rect.Width();
    const bool rightEnd = handle > width / 2;
    int newWidth = width + (rightEnd ? movement : -movement);
    const bool clipped = newWidth < kMinWidth;
    if (clipped) newWidth = kMinWidth;
    const int change = newWidth - width;
    const int quarter = m_rect.left + width / 4, threeQuarters = m_rect.left + 3 * width / 4;
    if (rightEnd) {
        m_rect.right += change;
    } else {
        // The left end moves, and the trolleys (measured from it) with it.
        m_rect.left -= change;
        if (CTerminal* t = GetTerminal(0)) t->Offset(-change, 0);
        for (int axis : {0, 1})
            if (CKnob* k = FindKnob(axis)) k->Offset(-change, 0);
    }
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) {
            if (g->m_anchor.x > width / 2) g->MoveAnchor(CPoint(newWidth - kRightGripFromEnd, g->m_anchor.y));
            g->Place();
        }
    // The labels stay at a quarter and three quarters of the track.
    if (CValue* v = GetMassLabel(0)) v->Offset(m_rect.left + newWidth / 4 - quarter, 0);
    if (CValue* v = GetMassLabel(1)) v->Offset(m_rect.left + 3 * newWidth / 4 - threeQuarters, 0);
    const double L = GetTrackLength();
    m_x1 = std::clamp(m_x1, 0.0, L);
    m_x2 = std::clamp(m_x2, 0.0, L);
    m_hold1.target = std::clamp(m_hold1.target, 0.0, L);
    m_hold2.target = std::clamp(m_hold2.target, 0.0, L);
    MirrorNumbers();
    PlaceHandles();
    return clipped ? 0 : 1;
}

void CTrolleys::AccumulateMotion(CPartTree*, int phase, int axis, double displacement)
{
    if (axis == 0)
        m_hold1.Track(phase, displacement, m_x1);
    else if (axis == 1)
        m_hold2.Track(phase, displacement, m_x2);
}

// ---------------------------------------------------------------- the step

void CTrolleys::PrepareStep()
{
    LinkProbes();
    const double r = Rate();
    const double L = GetTrackLength();
    const bool held1 = m_hold1.held != 0, held2 = m_hold2.held != 0;
    const double u1 = m_u1, u2 = m_u2;
    const double p1 = m_x1 + u1 / r, p2 = m_x2 + u2 / r;
    m_bCollision = false;
    // They would pass through each other during the step: the collision
    // rule gives the velocities after it, and the trolleys start the step
    // from where the new velocities bring both to the meeting point.
    if (!held1 && !held2 && p2 - p1 < 0.0 && std::fabs(u1 - u2) > kSameVelocity) {
        const double m1 = GetMassKg(0), m2 = GetMassKg(1), e = Restitution(m_wCollision);
        const double v1 = (u1 * (m1 - e * m2) + m2 * u2 * (1.0 + e)) / (m1 + m2);
        const double v2 = (u2 * (m2 - e * m1) + m1 * u1 * (1.0 + e)) / (m1 + m2);
        const double c = (u1 * m_x2 - u2 * m_x1) / (u1 - u2);
        m_x1 = c - v1 / r;
        m_x2 = c - v2 / r;
        m_u1 = v1;
        m_u2 = v2;
        m_bCollision = true;
    }
    // The ends stop a trolley dead.
    if (!held1 && p1 < 0.0) m_x1 = m_u1 = 0.0;
    if (!held2 && p2 > L) {
        m_x2 = L;
        m_u2 = 0.0;
    }
    if (!held1 && !m_bCollision && p1 > L) {
        m_x1 = L;
        m_u1 = 0.0;
    }
    if (!held2 && !m_bCollision && p2 < 0.0) m_x2 = m_u2 = 0.0;
    // A held trolley goes where the hand takes it, but not through the
    // other one nor past an end.
    if (held1) {
        const double t = m_hold1.target;
        if (t < 0.0) {
            m_x1 = m_u1 = 0.0;
        } else if (t <= m_x2 + u2 / r) {
            m_u1 = r * (t - m_x1);
            m_x1 = t;
        } else {
            m_x1 = m_x2;
            m_u1 = m_u2 = 0.0;
        }
    }
    if (held2) {
        const double t = m_hold2.target;
        if (t > L) {
            m_x2 = L;
            m_u2 = 0.0;
        } else if (t < m_x1 + u1 / r) {
            m_x2 = m_x1;
            m_u1 = m_u2 = 0.0;
        } else {
            m_u2 = r * (t - m_x2);
            m_x2 = t;
        }
    }
}

int CTrolleys::AfterStep()
{
    if (CMechComp::AfterStep()) return IsBroken();
    const double r = Rate();
    if (!m_hold1.held) m_x1 += m_u1 / r;
    if (!m_hold2.held) m_x2 += m_u2 / r;
    MoveProbes();
    MirrorNumbers();
    PlaceHandles();
    if (CCircuit* design = GetDesign()) {
        DrawMoving(0, design->GetRedrawFlags());
        design->SetChanged();
    }
    return 0;
}

void CTrolleys::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_x1 = 0.0;
    m_x2 = kStartRight;
    m_u1 = m_u2 = 0.0;
    m_hold1 = CHandHold();
    m_hold2 = CHandHold();
    m_wCollision = 0;
    m_dwShown = 0;
    m_bCollision = false;
    m_pos1.Assign(0.0, 3, "m", 15);
    m_pos2.Assign(100.0, 3, "m", 15);
    m_vel1.Assign(0.0, 3, "m/s", 14);
    m_vel2.Assign(0.0, 3, "m/s", 14);
    m_pProbe1 = m_pProbe2 = nullptr;
    ResetState();
}

void CTrolleys::ResetState()
{
    m_hold1.Release();
    m_hold2.Release();
    for (int axis : {0, 1})
        if (CKnob* k = FindKnob(axis)) k->m_wState = 0;
    PlaceHandles();
}

void CTrolleys::MirrorNumbers()
{
    m_pos1.SetValue(m_x1 * 1000.0, 3);
    m_pos2.SetValue(m_x2 * 1000.0, 3);
    for (auto [n, u] : {std::pair{&m_vel1, m_u1}, std::pair{&m_vel2, m_u2}}) {
        const int code = n->GetMantissa(nullptr);
        n->SetValue(u / PrefixFactor(code), code);
    }
}

// ---------------------------------------------------------------- probing and information

double CTrolleys::GetQuantity(int x, int, int code)
{
    const int left = m_rect.left + TrolleyLeft(0), right = m_rect.left + TrolleyLeft(1);
    const int i = std::abs(x - right) < std::abs(x - left) ? 1 : 0;
    const double u = GetU(i);
    switch (code) {
    case 4:
        return GetX(i);
    case 8:
        return u;
    case 256:
        return 0.5 * GetMassKg(i) * u * u;
    default:
        return 0.0;
    }
}

int CTrolleys::CanProbeAt(int x, int y)
{
    const CPoint p(x, y);
    return GetLeftRect().PtInRect(p) || GetRightRect().PtInRect(p) ? 1 : 0;
}

CRect CTrolleys::GetExtent(int x, int)
{
    const CRect left = GetLeftRect(), right = GetRightRect();
    return x < (left.right + right.left) / 2 ? left : right;
}

int CTrolleys::BuildInfo(CString& text, UINT, CPoint point)
{
    const int middle = (MetresToPixels(m_x2) + MetresToPixels(m_x1) + 76) / 2;
    const int i = point.x - m_rect.left < middle ? 0 : 1;
    const CUnitChoices units = MechUnitChoices(GetDesign());
    const double u = GetU(i);
    text = MechSpeedText(u, WIRE_LINEAR, units);
    text += ", ";
    text += MechPositionText(GetX(i), WIRE_LINEAR, units);
    return MechDirectionCode(u, 2);
}

// ---------------------------------------------------------------- property toolbar

int CTrolleys::FillProperties(CControlItemList& items)
{
    CString types;
    for (UINT id : kCollisionTexts) {
        if (!types.empty()) types += "\n";
        types += LoadResString(id);
    }
    items.Add(CControlItem(CI_DROPLIST, types, kCollisionItem, 76));
    items.Add(CControlItem(CI_STATIC, CString(), kGapItem, 8));
    items.Add(CControlItem(CI_EDIT, CString(), kMassNumber, -1));
    items.Add(CControlItem(CI_SPIN, CString(), kMassSpin, -1));
    items.Add(CControlItem(CI_EDIT, CString(), kMassPrefix, 28));
    items.Add(CControlItem(CI_SPIN, CString(), kMassPrefixSpin, -1));
    items.Add(CControlItem(CI_STATIC, CString("g"), kMassUnit, 20));
    items.Add(CControlItem(CI_EDIT, CString(), kPositionNumber, -1, CIO_EDIT_LOCKED | CIO_LIVE));
    items.Add(CControlItem(CI_SPIN, CString(), kPositionSpin, -1));
    items.Add(CControlItem(CI_STATIC, CString("mm"), kPositionUnit, 20));
    items.Add(CControlItem(CI_EDIT, CString(), kVelocityNumber, -1, CIO_EDIT_LOCKED | CIO_LIVE));
    items.Add(CControlItem(CI_SPIN, CString(), kVelocitySpin, -1));
    items.Add(CControlItem(CI_EDIT, CString(), kVelocityPrefix, 28));
    items.Add(CControlItem(CI_SPIN, CString(), kVelocityPrefixSpin, -1));
    items.Add(CControlItem(CI_STATIC, LoadResString(36530), kVelocityUnit, 20));
    // The two radio buttons choose the trolley the items show.
    items.Add(CControlItem(CI_TOOLBUTTON, CString(), kLeftTrolley, -1));
    items.Add(CControlItem(CI_TOOLBUTTON, CString(), kRightTrolley, -1));
    return 0;
}

int CTrolleys::GetPropertyTexts(CControlItemList& items)
{
    const auto orBlank = [](const CString& s) { return s.empty() ? CString(" ") : s; };
    const int i = GetShownTrolley();
    if (const CValue* v = GetMassLabel(i)) {
        items.SetItemText(kMassNumber, v->GetNumberText(), -1);
        items.SetItemText(kMassPrefix, orBlank(v->GetPrefixText()), -1);
    }
    items.SetItemText(kPositionNumber, GetPositionNumber(i).Format(), -1);
    CString prefix;
    GetVelocityNumber(i).GetPrefixText(&prefix);
    items.SetItemText(kVelocityNumber, GetVelocityNumber(i).Format(), -1);
    items.SetItemText(kVelocityPrefix, orBlank(prefix), -1);
    items.SetItemText(kCollisionItem, LoadResString(kCollisionTexts[std::min<int>(m_wCollision, 2)]), -1);
    return 6;
}

int CTrolleys::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids = {kLeftTrolley, kRightTrolley};
    if (!bitmap) return 2;
    return AttachPicture(bitmap, kButtonPictures) ? 2 : -1;
}

int CTrolleys::IsPropertyChecked(int commandId, int& flag)
{
    flag = 1;
    if (commandId == kLeftTrolley || commandId == kRightTrolley)
        return (commandId == kRightTrolley ? 1u : 0u) == m_dwShown ? 1 : 0;
    return 0;
}

int CTrolleys::OnPropertyCommand(int commandId, const CString& text)
{
    int result = 0;
    switch (commandId) {
    case kCollisionItem:
        for (WORD t = 0; t < 3; ++t)
            if (LoadResString(kCollisionTexts[t]) == text) {
                m_wCollision = t;
                return 1;
            }
        return 0;
    case kLeftTrolley:
    case kRightTrolley:
        m_dwShown = commandId == kRightTrolley ? 1 : 0;
        return 0x41;
    case kMassNumber:
    case kMassSpin:
    case kMassPrefix:
    case kMassPrefixSpin:
        if (CValue* v = GetMassLabel(GetShownTrolley())) result = v->OnPropertyCommand(commandId, text);
        break;
    case kPositionNumber:
    case kPositionSpin:
        result = EditPosition(commandId, text);
        break;
    case kVelocityNumber:
    case kVelocitySpin:
    case kVelocityPrefix:
    case kVelocityPrefixSpin:
        result = EditVelocity(commandId, text);
        break;
    default:
        return 0;
    }
    MoveProbes();
    return result;
}

int CTrolleys::EditPosition(int commandId, const CString& text)
{
    LinkProbes();
    const int i = GetShownTrolley();
    CNumber& n = i == 0 ? m_pos1 : m_pos2;
    // In mm: the left trolley from the track's start to the right one, the
    // right one from the left one to the track's end.
    const double low = i == 0 ? 0.0 : m_x1 * 1000.0;
    const double high = i == 0 ? m_x2 * 1000.0 : GetTrackLength() * 1000.0;
    SetEditValueLimits(low, high, 3, 3);
    n.SetTypeCode(15);
    int result = 0;
    if (commandId == kPositionNumber) {
        result = n.SetFromText(text.c_str(), nullptr);
    } else if (const int amount = SpinAmount(text)) {
        result = n.StepValue(amount, nullptr);
    }
    if (result == 1 || result == 2) (i == 0 ? m_x1 : m_x2) = std::clamp(n.value, low / 1000.0, high / 1000.0);
    MirrorNumbers();
    PlaceHandles();
    return result;
}

int CTrolleys::EditVelocity(int commandId, const CString& text)
{
    const int i = GetShownTrolley();
    CNumber& n = i == 0 ? m_vel1 : m_vel2;
    int result = 0;
    switch (commandId) {
    case kVelocityNumber:
        result = n.SetFromText(text.c_str(), nullptr);
        break;
    case kVelocitySpin:
        if (const int amount = SpinAmount(text)) result = n.StepValue(amount, nullptr);
        break;
    case kVelocityPrefix:
        result = n.SetPrefixFromText(text.c_str(), nullptr);
        break;
    default:
        if (const int amount = SpinAmount(text)) result = n.StepPrefix(amount > 0 ? 1 : -1, nullptr);
        break;
    }
    if (result == 1 || result == 2) (i == 0 ? m_u1 : m_u2) = n.value;
    return result;
}

// ---------------------------------------------------------------- drawing

int CTrolleys::Draw(DWORD flags) { return DrawMovingPart(flags, m_rect); }

void CTrolleys::DrawMovingBody(DWORD flags)
{
    const COLORREF ink = ColourRGB(0, 0, 0x80);
    const int l = m_rect.left, t = m_rect.top, r = m_rect.right;
    // The track and its two end blocks.
    CDisplay::DrawLine(l + kLeftOrigin - 2, t + kTrackY, r - kLeftOrigin + 2, t + kTrackY, ink, PS_SOLID, 1);
    CDisplay::FillRectColour(CRect(l + kLeftOrigin - 3, t + 12, l + kLeftOrigin - 1, t + kTrackY), ink);
    CDisplay::FillRectColour(CRect(r - kLeftOrigin + 1, t + 12, r - kLeftOrigin + 3, t + kTrackY), ink);
    // The trolleys stand where they are, running or not: the toolbar's
    // positions are the ones a run starts from.
    CVisual& trolley = TrolleyVisual();
    for (const CRect& body : {GetLeftRect(), GetRightRect()})
        trolley.DrawBitmap(body.left, body.top, 0, GetDrawVariant(), {0, 0}, trolley.GetSize(), 0, SRCAND);
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) g->DrawHandle(flags);
    PlaceHandles();
    for (int axis : {0, 1})
        if (CKnob* k = FindKnob(axis)) k->DrawOnOwner(flags, 1);
}
