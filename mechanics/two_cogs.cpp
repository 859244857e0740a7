#include "mechanics/two_cogs.h"

#include "components/rotateknob.h"
#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/parts/controlitem.h"
#include "platform/archive.h"
#include "platform/numtext.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

WB_IMPLEMENT_SERIAL(CTwoCogs, "CMechComp", 4)

namespace {

// Property items: the two tooth-count lists, the colon between them, the
// caption after them.
constexpr int kTeeth1Item = 36053;
constexpr int kColonItem = 36057;
constexpr int kTeeth2Item = 36059;
constexpr int kCaptionItem = 36063;
constexpr unsigned IDS_TEETH = 36577;
constexpr int kRedrop = 8;

// The update rate of a new design, for a pair that stands in none.
constexpr double kDefaultRate = 5.0;

// A left wheel smaller than its partner: where its edge line starts, so the
// line clears the bigger wheel's rim instead of crossing it.
int PairRimOffset(int left, int right)
{
    struct Row {
        int left, right, offset;
    };
    static constexpr Row kRows[] = {{8, 16, 33}, {8, 24, 51}, {8, 40, 83}, {16, 40, 76}};
    for (const Row& r : kRows)
        if (r.left == left && r.right == right) return r.offset;
    return 0;
}

} // namespace

CTwoCogs::CTwoCogs()
{
    m_nOrientationMask = 1;
    m_friction1.SetCoefficient(kFriction);
    m_friction2.SetCoefficient(kFriction);
}

double CTwoCogs::InertiaOf(int teeth)
{
    const double s = teeth / 8.0;
    return 1.12e-9 * s * s * s * s;
}

double CTwoCogs::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

int CTwoCogs::Initialise()
{
    CMechComp::Initialise();
    return Build(8, 8);
}

CRotateKnob* CTwoCogs::GetHandle(int axis) const
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* k = dynamic_cast<CRotateKnob*>(c); k && k->GetAxis() == axis) return k;
    return nullptr;
}

void CTwoCogs::LinkPartners()
{
    if (m_terminals.size() < 4) return;
    static constexpr int kPartner[4] = {3, 2, 1, 0};
    for (int i = 0; i < 4; ++i)
        if (CMechTerm* t = GetMechTerminal(i)) t->SetLinkedObject(GetMechTerminal(kPartner[i]));
}

void CTwoCogs::AddHandles()
{
    // Handles whose anchors are relative to the part's corner; the knob's
    // rectangle is on the canvas, so it starts at the corner.
    for (CRotateKnob* k = GetHandle(0); k; k = GetHandle(0)) {
        RemoveChild(k);
        delete k;
    }
    for (CRotateKnob* k = GetHandle(1); k; k = GetHandle(1)) {
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

int CTwoCogs::Build(int teeth1, int teeth2)
{
    // A count that is no wheel's leaves that wheel as it was (laid out anew).
    if (!m_cog1.SetTeeth(teeth1 ? teeth1 : 8)) m_cog1.SetTeeth(m_cog1.GetTeeth());
    if (!m_cog2.SetTeeth(teeth2 ? teeth2 : 8)) m_cog2.SetTeeth(m_cog2.GetTeeth());
    const int r1 = m_cog1.GetPitchRadius(), r2 = m_cog2.GetPitchRadius();
    const int height = 2 * std::max(r1, r2) + 7;
    const CRect local(0, 0, 2 * r1 + 2 * r2 + 7, height);
    // The pitch circles touch; the smaller wheel sits lower so that both
    // centres lie on one line.
    m_cog1.Place(0, r1 < r2 ? r2 - r1 : 0, local);
    m_cog2.Place(2 * r1, r2 < r1 ? r1 - r2 : 0, local);
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + local.Width(), corner.y + height);

    // Wires joined to the old shafts forget them before they go; the
    // rebuilt shafts join what touches their ends when the part is dropped.
    if (CCircuit* d = GetDesign())
        for (CTerminal* t : m_terminals) d->UnlinkEverywhere(t);
    DetachTerminals();
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

    m_inertia1.SetMass(InertiaOf(m_cog1.GetTeeth()));
    m_inertia2.SetMass(InertiaOf(m_cog2.GetTeeth()));
    m_cog1.SetFixedRimOffset(PairRimOffset(m_cog1.GetTeeth(), m_cog2.GetTeeth()));
    m_cog2.SetFixedRimOffset(0);
    m_cog1.SetRestAngle(0.0);
    // Half a tooth on, the right wheel's teeth fall between the left one's.
    m_cog2.SetRestAngle(m_cog2.GetToothAngle() / 2.0);
    AddHandles();
    return 1;
}

void CTwoCogs::RebuildHandles() { AddHandles(); }

void CTwoCogs::PlaceHandles()
{
    // Each handle rides on its wheel's marker point, also while nothing
    // draws, so that a press finds it where the wheel shows it.
    if (CRotateKnob* k = GetHandle(0)) k->SetAnchor(m_cog1.GetMarkerPoint());
    if (CRotateKnob* k = GetHandle(1)) k->SetAnchor(m_cog2.GetMarkerPoint());
}

void CTwoCogs::Serialize(CArchive& ar)
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
    // The inertias follow from the wheels, whatever the record said: a
    // massless wheel would leave its node floating.
    m_inertia1.SetMass(InertiaOf(m_cog1.GetTeeth()));
    m_inertia2.SetMass(InertiaOf(m_cog2.GetTeeth()));
    if (ar.GetVersion() <= 3) {
        // Files of this age carry no handles of their own; any the record
        // brought are replaced, and the archive forgets them.
        for (int axis : {0, 1})
            while (CRotateKnob* k = GetHandle(axis)) {
                ForgetTree(ar, k);
                RemoveChild(k);
                delete k;
            }
        ResetSimulation();
        RebuildHandles();
    }
}

void CTwoCogs::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CMechComp::AfterLoad(design, flags, version);
    LinkPartners();
}

void CTwoCogs::AccumulateMotion(CPartTree*, int phase, int axis, double displacement)
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

int CTwoCogs::WheelAt(CPoint point) const
{
    const double x = point.x - m_rect.left;
    const double middle = (m_cog1.GetRect().right + m_cog2.GetRect().left) / 2.0;
    return x < middle ? 0 : 1;
}

double CTwoCogs::GetQuantity(int x, int y, int code)
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

CRect CTwoCogs::GetExtent(int x, int y)
{
    const int middle = m_rect.left + (m_cog1.GetRect().right + m_cog2.GetRect().left) / 2;
    if (WheelAt(CPoint(x, y)) == 0) return CRect(m_rect.left, m_rect.top, middle, m_rect.bottom);
    return CRect(middle, m_rect.top, m_rect.right, m_rect.bottom);
}

int CTwoCogs::BuildInfo(CString& text, UINT, CPoint point)
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
        // their overlap at the height of the centres divides them.
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

int CTwoCogs::Draw(DWORD flags)
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

void CTwoCogs::DrawMoving(int flag, DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return;
    // After a step the wheels are composed off-screen over the part and
    // copied in one blit, so they do not flicker; the buffer is drawn in
    // canvas coordinates through its window origin.
    const CRect area = m_rect;
    const bool buffered = !flag && CDisplay::BeginBuffer(area);
    CDC* dc = CDisplay::GetCurrentDC();
    const CPoint oldOrigin = buffered ? dc->SetWindowOrg(area.TopLeft()) : CPoint();
    const CPoint corner = m_rect.TopLeft();
    m_cog1.Draw(corner, 1, flags);
    m_cog2.Draw(corner, 1, flags);
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
    // Wires that run over the wheels to the shafts go back on top.
    for (CTerminal* t : m_terminals)
        if (CWire* w = t->GetJoinedWire()) w->Draw(flags);
}

int CTwoCogs::ApplySettingsText(const CString& text, int flag)
{
    int a = 0, b = 0;
    char tail = 0;
    if (text.IsEmpty() || !std::isdigit(static_cast<unsigned char>(text[0])) ||
        std::sscanf(text.c_str(), "%d:%d%c", &a, &b, &tail) != 2)
        return CMechComp::ApplySettingsText(text, flag);
    const CRect old = m_rect;
    const int oldRight = m_cog2.GetTeeth();
    ResetSimulation();
    const int r = Build(a, b);
    // The wheel that kept its count keeps its place.
    if (b == oldRight)
        Offset(old.right - m_rect.right, old.top - m_rect.top);
    else
        Offset(old.left - m_rect.left, old.top - m_rect.top);
    // The new shafts join the wires that end where they end (those of the
    // wheel that kept its place).
    if (m_pFiledIn)
        for (CTerminal* t : m_terminals) m_pFiledIn->JoinAt(t, t->GetOuterEndIndex());
    return r;
}

int CTwoCogs::FillProperties(CControlItemList& items)
{
    const CString counts("8\n16\n24\n40");
    items.Add(CControlItem(CI_DROPLIST, counts, kTeeth1Item, -1));
    items.Add(CControlItem(CI_STATIC, CString("  : "), kColonItem, 28));
    items.Add(CControlItem(CI_DROPLIST, counts, kTeeth2Item, -1));
    items.Add(CControlItem(CI_STATIC, IDS_TEETH, kCaptionItem, -1));
    return 0;
}

int CTwoCogs::GetPropertyTexts(CControlItemList& items)
{
    const int n = CMechComp::GetPropertyTexts(items);
    items.SetItemText(kTeeth1Item, FormatInt(m_cog1.GetTeeth()), -1);
    items.SetItemText(kTeeth2Item, FormatInt(m_cog2.GetTeeth()), -1);
    return n + 2;
}

int CTwoCogs::GetPropertyBitmap(std::vector<int>& ids, CBitmap*)
{
    // One orientation only: no orientation buttons.
    ids.clear();
    return 0;
}

int CTwoCogs::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == kTeeth1Item || commandId == kTeeth2Item) {
        const int n = std::atoi(text.c_str());
        const bool left = commandId == kTeeth1Item;
        if (n == (left ? m_cog1.GetTeeth() : m_cog2.GetTeeth())) return 0;
        m_strSettingsText = FormatInt(left ? n : m_cog1.GetTeeth());
        m_strSettingsText += ":";
        m_strSettingsText += FormatInt(left ? m_cog2.GetTeeth() : n);
        return kRedrop;
    }
    const int r = CMechComp::OnPropertyCommand(commandId, text);
    return r == kRedrop ? 0 : r;
}

void CTwoCogs::PrepareStep()
{
    const double r = Rate();
    m_inertia1.Prepare(r, m_nTrapezoid);
    m_inertia2.Prepare(r, m_nTrapezoid);
    m_friction1.Prepare(r, m_nTrapezoid);
    m_friction2.Prepare(r, m_nTrapezoid);
}

void CTwoCogs::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 4) return;
    CMechTerm* t0 = GetMechTerminal(0);
    CMechTerm* t1 = GetMechTerminal(1);
    CMechTerm* t2 = GetMechTerminal(2);
    CMechTerm* t3 = GetMechTerminal(3);
    m_inertia1.StampAt(m, t2);
    m_inertia2.StampAt(m, t3);
    // theta(left) = -(N2 / N1) theta(right).
    m->AddRatioLink(-static_cast<double>(m_cog2.GetTeeth()) / m_cog1.GetTeeth(), t3, t2);
    m->AddLink(t0, t3);
    m->AddLink(t1, t2);
    m_friction1.StampAt(m, t2);
    m_friction2.StampAt(m, t3);
    // A held wheel: a torsion spring pulls its absolute angle (base + node
    // value) to the handle's angle.
    if (m_bHeld1)
        m->StampTransfer(kHandleStiffness, -(m_dTarget1 - m_inertia1.GetBase()) * kHandleStiffness, t2, nullptr, t2,
                         nullptr);
    if (m_bHeld2)
        m->StampTransfer(kHandleStiffness, -(m_dTarget2 - m_inertia2.GetBase()) * kHandleStiffness, t3, nullptr, t3,
                         nullptr);
}

int CTwoCogs::AfterStep()
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
    m_cog2.Animate(m_inertia2.GetPosition(), m_cog2.GetToothAngle() / 2.0, m_inertia2.GetVelocity(), r);
    PlaceHandles();
    if (CCircuit* d = GetDesign()) {
        DrawMoving(0, d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

void CTwoCogs::ResetSimulation()
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
    m_bHeld1 = m_bHeld2 = 0;
    m_dTarget1 = m_dTarget2 = 0.0;
    m_nTrapezoid = 0;
    ResetState();
}

void CTwoCogs::ResetState()
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
    m_bHeld1 = m_bHeld2 = 0;
    for (int axis : {0, 1})
        if (CRotateKnob* k = GetHandle(axis)) k->m_wState = 0;
}
