#include "mechanics/chain.h"

#include "components/rotateknob.h"
#include "mechanics/mech_text.h"
#include "mechanics/two_cogs.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CChain, "CMechComp", 4)

namespace {

constexpr double kDefaultRate = 5.0;
constexpr int kSmallTeeth = 8;
constexpr int kBigTeeth = 24;
// Where the sprockets' pictures and the chain picture stand in the part.
constexpr CPoint kSmallAt(6, 36);
constexpr CPoint kBigAt(70, 4);
constexpr CPoint kPictureAt(6, 4);
constexpr int kBlurPicture = 3;
constexpr int kBlurFrame = 4;

// The chain picture: frames 0-15 four to a bitmap, the blur frame last.
CVisual& ChainPicture(int part)
{
    static CVisual p0(0, 0, 1297, 4, 0, 0, 168, 103);
    static CVisual p1(0, 0, 1298, 4, 0, 0, 168, 103);
    static CVisual p2(0, 0, 1299, 4, 0, 0, 168, 103);
    static CVisual p3(0, 0, 1300, 5, 0, 0, 168, 103);
    CVisual* all[4] = {&p0, &p1, &p2, &p3};
    return *all[part & 3];
}

// The lowered edge lines from the sprockets' rims, by the small one's frame.
constexpr int kSmallRim[16] = {14, 14, 14, 13, 12, 9, 9, 9, 9, 9, 9, 9, 12, 12, 14, 14};
constexpr int kBigRim[16] = {37, 37, 37, 36, 36, 35, 36, 35, 36, 35, 36, 36, 36, 37, 37, 37};

} // namespace

CChain::CChain()
{
    m_nOrientationMask = 1;
    m_friction1.SetCoefficient(CTwoCogs::kFriction);
    m_friction2.SetCoefficient(CTwoCogs::kFriction);
    m_inertia1.SetMass(CTwoCogs::InertiaOf(kSmallTeeth));
    m_inertia2.SetMass(CTwoCogs::InertiaOf(kBigTeeth));
    LaySprockets();
}

double CChain::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

void CChain::LaySprockets()
{
    const CRect local(0, 0, kWidth, kHeight);
    m_cog1.SetTeeth(kSmallTeeth);
    m_cog1.Place(kSmallAt.x, kSmallAt.y, local);
    m_cog2.SetTeeth(kBigTeeth);
    m_cog2.Place(kBigAt.x, kBigAt.y, local);
    // The part draws the chain picture; the sprockets only keep the frame
    // and the handles' marker points.
    m_cog1.SetVisible(0);
    m_cog2.SetVisible(0);
    m_cog1.SetRestAngle(0.0);
    m_cog2.SetRestAngle(0.0);
}

CRotateKnob* CChain::GetHandle(int axis) const
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* k = dynamic_cast<CRotateKnob*>(c); k && k->GetAxis() == axis) return k;
    return nullptr;
}

void CChain::LinkPartners()
{
    if (m_terminals.size() < 4) return;
    static constexpr int kPartner[4] = {3, 2, 1, 0};
    for (int i = 0; i < 4; ++i)
        if (CMechTerm* t = GetMechTerminal(i)) t->SetLinkedObject(GetMechTerminal(kPartner[i]));
}

void CChain::AddHandles()
{
    for (int axis : {0, 1})
        while (CRotateKnob* k = GetHandle(axis)) {
            RemoveChild(k);
            delete k;
        }
    const CPoint corner = m_rect.TopLeft();
    for (int axis : {1, 0}) {
        const CCog& cog = axis == 0 ? m_cog1 : m_cog2;
        const CPoint c = cog.GetCentre();
        auto* knob = new CRotateKnob(c.x, c.y, -corner.x, -corner.y, axis, this);
        knob->SetAnchor(cog.GetMarkerPoint());
        AppendChild(knob);
    }
}

void CChain::PlaceHandles()
{
    if (CRotateKnob* k = GetHandle(0)) k->SetAnchor(m_cog1.GetMarkerPoint());
    if (CRotateKnob* k = GetHandle(1)) k->SetAnchor(m_cog2.GetMarkerPoint());
}

void CChain::CreateChildren()
{
    if (!m_terminals.empty()) return;
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + kWidth, corner.y + kHeight);
    LaySprockets();
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
    AddHandles();
}

void CChain::Serialize(CArchive& ar)
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
    LinkPartners();
    // The drive is always 8:24 with the wheels' inertias, whatever the
    // record said: the picture and the ratio are fixed.
    m_inertia1.SetMass(CTwoCogs::InertiaOf(kSmallTeeth));
    m_inertia2.SetMass(CTwoCogs::InertiaOf(kBigTeeth));
    if (m_cog1.GetTeeth() != kSmallTeeth || m_cog2.GetTeeth() != kBigTeeth) LaySprockets();
    const bool finite = std::isfinite(m_inertia1.GetPosition()) && std::isfinite(m_inertia1.GetMomentum()) &&
                        std::isfinite(m_inertia2.GetPosition()) && std::isfinite(m_inertia2.GetMomentum()) &&
                        std::isfinite(m_friction1.GetPosition()) && std::isfinite(m_friction2.GetPosition());
    if (ar.GetVersion() <= 3) {
        // Files of this age carry no handles of their own.
        for (int axis : {0, 1})
            while (CRotateKnob* k = GetHandle(axis)) {
                ForgetTree(ar, k);
                RemoveChild(k);
                delete k;
            }
        ResetSimulation();
        AddHandles();
    } else if (!finite) {
        // A drive whose motion is not a number starts at rest.
        ResetSimulation();
    }
}

void CChain::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CMechComp::AfterLoad(design, flags, version);
    LinkPartners();
}

void CChain::AccumulateMotion(CPartTree*, int phase, int axis, double displacement)
{
    int& held = axis == 0 ? m_bHeld1 : m_bHeld2;
    double& target = axis == 0 ? m_dTarget1 : m_dTarget2;
    const CMomentOfInertia& inertia = axis == 0 ? m_inertia1 : m_inertia2;
    switch (phase) {
    case 0:
        held = 1;
        target = inertia.GetPosition();
        break;
    case 1:
        if (std::isfinite(displacement)) target += displacement;
        break;
    case 2:
        held = 0;
        break;
    default:
        break;
    }
}

int CChain::SprocketAt(CPoint point) const
{
    const double x = point.x - m_rect.left;
    const double middle = (m_cog1.GetRect().right + m_cog2.GetRect().left) / 2.0;
    return x < middle ? 0 : 1;
}

double CChain::GetQuantity(int x, int y, int code)
{
    const CMomentOfInertia& m = SprocketAt(CPoint(x, y)) == 0 ? m_inertia1 : m_inertia2;
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

CRect CChain::GetExtent(int x, int y)
{
    const int middle = m_rect.left + (m_cog1.GetRect().right + m_cog2.GetRect().left) / 2;
    if (SprocketAt(CPoint(x, y)) == 0) return CRect(m_rect.left, m_rect.top, middle, m_rect.bottom);
    return CRect(middle, m_rect.top, m_rect.right, m_rect.bottom);
}

int CChain::BuildInfo(CString& text, UINT, CPoint point)
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

int CChain::GetPropertyBitmap(std::vector<int>& ids, CBitmap*)
{
    // One orientation only: no orientation buttons.
    ids.clear();
    return 0;
}

void CChain::PrepareStep()
{
    const double r = Rate();
    m_inertia1.Prepare(r, m_nTrapezoid);
    m_inertia2.Prepare(r, m_nTrapezoid);
    m_friction1.Prepare(r, m_nTrapezoid);
    m_friction2.Prepare(r, m_nTrapezoid);
}

void CChain::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 4) return;
    CMechTerm* t0 = GetMechTerminal(0);
    CMechTerm* t1 = GetMechTerminal(1);
    CMechTerm* t2 = GetMechTerminal(2);
    CMechTerm* t3 = GetMechTerminal(3);
    m_inertia1.StampAt(m, t2);
    m_inertia2.StampAt(m, t3);
    // theta(small) = +3 theta(big): the same sense.
    m->AddRatioLink(kRatio, t3, t2);
    m->AddLink(t0, t3);
    m->AddLink(t1, t2);
    m_friction1.StampAt(m, t2);
    m_friction2.StampAt(m, t3);
    const double k = CTwoCogs::kHandleStiffness;
    if (m_bHeld1) m->StampTransfer(k, -(m_dTarget1 - m_inertia1.GetBase()) * k, t2, nullptr, t2, nullptr);
    if (m_bHeld2) m->StampTransfer(k, -(m_dTarget2 - m_inertia2.GetBase()) * k, t3, nullptr, t3, nullptr);
}

int CChain::AfterStep()
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
    m_cog2.Animate(m_inertia2.GetPosition(), 0.0, m_inertia2.GetVelocity(), r);
    PlaceHandles();
    if (CCircuit* d = GetDesign()) {
        DrawMoving(0, d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

void CChain::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_inertia1.Clear();
    m_inertia2.Clear();
    m_friction1.Clear();
    m_friction2.Clear();
    m_friction1.SetCoefficient(CTwoCogs::kFriction);
    m_friction2.SetCoefficient(CTwoCogs::kFriction);
    m_cog1.RestoreRest();
    m_cog2.RestoreRest();
    PlaceHandles();
    m_bHeld1 = m_bHeld2 = 0;
    m_dTarget1 = m_dTarget2 = 0.0;
    m_nTrapezoid = 0;
    ResetState();
}

void CChain::ResetState()
{
    m_inertia1.Rebase();
    m_inertia2.Rebase();
    m_friction1.Rebase();
    m_friction2.Rebase();
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
    // A handle let go while the run stopped is released.
    m_bHeld1 = m_bHeld2 = 0;
    for (int axis : {0, 1})
        if (CRotateKnob* k = GetHandle(axis)) k->m_wState = 0;
}

int CChain::Draw(DWORD flags)
{
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->SetAuxValue(m_bSelected);
    DrawMoving(1, flags);
    if (m_bSelected) {
        CRect total;
        GetTotalRect(total);
        if (CPartDrawing* d = CPartDrawing::Current()) return d->FrameSelection(total);
    }
    return 0;
}

void CChain::DrawMoving(int flag, DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return;
    const CRect area = m_rect;
    const bool buffered = !flag && CDisplay::BeginBuffer(area);
    CDC* dc = CDisplay::GetCurrentDC();
    const CPoint oldOrigin = buffered ? dc->SetWindowOrg(area.TopLeft()) : CPoint();
    const CPoint corner = m_rect.TopLeft();
    const int f = m_cog1.FrameForFlags(flags) & 15;
    const CPoint at = corner + kPictureAt;
    CVisual& picture = ChainPicture(f / 4);
    picture.DrawBitmap(at.x, at.y, f % 4, GetDrawVariant(), {0, 0}, picture.GetSize(), 0, SRCAND);
    if (m_cog1.IsFast() && (flags & 0x4) && !(flags & 0x200)) {
        CVisual& blur = ChainPicture(kBlurPicture);
        blur.DrawBitmap(at.x, at.y, kBlurFrame, GetDrawVariant(), {0, 0}, blur.GetSize(), 0, SRCAND);
    }
    const int a = kSmallRim[f], b = kBigRim[f];
    CDisplay::DrawEdgeLine(corner.x + 25 + a, corner.y + 55 - a, corner.x + 45, corner.y + 35, false);
    CDisplay::DrawEdgeLine(corner.x + 55, corner.y + 25, corner.x + 80, corner.y, false);
    CDisplay::DrawEdgeLine(corner.x + 121 + b, corner.y + 55 - b, corner.x + 176, corner.y, false);
    const bool held = m_bHeld1 || m_bHeld2;
    PlaceHandles();
    for (int axis : {0, 1})
        if (CRotateKnob* k = GetHandle(axis)) k->DrawOnOwner(flags, held ? 1 : (axis == 0 ? m_cog1 : m_cog2).IsSlow());
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) {
            // The buffer starts blank: the stubs go back in with the marks.
            if (buffered)
                m->Draw(flags);
            else
                m->DrawMarks(flags);
        }
    if (!buffered) return;
    dc->SetWindowOrg(oldOrigin);
    CDisplay::EndBuffer(area, true);
    for (CTerminal* t : m_terminals)
        if (CWire* w = t->GetJoinedWire()) w->Draw(flags);
}
