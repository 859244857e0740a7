#include "mechanics/spring.h"

#include "components/component_kit.h"
#include "components/resize.h"
#include "mechanics/mass_comp.h"
#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CSpring, "CMechComp", 4)

namespace {

constexpr double kDefaultRate = 5.0;
constexpr int kAxisY = 9;
// The coil: zig-zag segments this far either side of the axis, seven on
// the 32 pixels of a new spring's rest length.  A lengthened spring has
// more turns at the same pitch, so that it looks like a longer spring of
// the same wire rather than a stretched one; the count is fixed by the
// rest length, so the turns close up and open out as the spring moves.
constexpr int kCoilSegments = 7;
constexpr int kCoilRestPixels = 32;
constexpr int kCoilAmplitude = 5;
// The end B pixel's place in a part of the least width; A rests 32 to its
// left when the rest length is 8 mm.
constexpr int kEndOrigin = 72;

// The wall that end B is fixed to.
CVisual& WallVisual()
{
    static CVisual visual(0, 0, 1343, 1, 0, 0, 4, 19);
    return visual;
}

// Energy balance limits of one step against the one before it.
constexpr double kLeastRatio = 0.6;
constexpr double kMostRatio = 1.005;
// A spring whose energy changes by no more than this on two steps running
// is at rest.
constexpr double kRestingChange = 5e-19;

} // namespace

CSpring::CSpring()
{
    m_nOrientationMask = 1;
    m_spring.Init(0.0, 0.0, 1.0);
}

double CSpring::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

CMechPin CSpring::DescribePin(int side, CPoint pin)
{
    CMechPin p = CMechComp::DescribePin(side, pin);
    p.kind = WIRE_LINEAR;
    return p;
}

void CSpring::CreateChildren()
{
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + kWidth, corner.y + kHeight);
    if (m_terminals.empty())
        for (int side : {3, 1}) {
            CMechPin pin = DescribePin(side, corner + CPoint(side == 3 ? 0 : kWidth - 1, kAxisY));
            AddMechTerminal(pin);
        }
    if (!ValueLabelOf(this)) AddChild(new CValue(1.0, 1.0, ' ', "N/m", 2, m_rect, 5));
}

void CSpring::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    if (ar.GetVersion() > 3) {
        m_spring.Serialize(ar);
        m_lower.Serialize(ar);
        m_upper.Serialize(ar);
        return;
    }
    if (ar.IsStoring()) {
        ar << 0.0 << 0.0;
        return;
    }
    double dropped = 0.0;
    ar >> dropped >> dropped;
    RestoreOldLayout(ar);
    ResetSimulation();
}

void CSpring::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_pPartner = nullptr;
    std::fill(std::begin(m_ring), std::end(m_ring), 0.0);
}

void CSpring::ResetState()
{
    m_spring.Commit();
    m_lower.ApplyDelta();
    m_upper.ApplyDelta();
    m_travel.ApplyDelta();
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
}

void CSpring::PrepareStep()
{
    const double k = LabelValue(this);
    m_spring.SetStiffness(std::isfinite(k) ? std::fabs(k) : 0.0);
}

void CSpring::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    CTerminal* a = GetTerminal(0);
    CTerminal* b = GetTerminal(1);
    const double k = m_spring.GetStiffness();
    m->StampTransfer(k, k * (m_spring.GetCommittedA() - m_spring.GetCommittedB() + m_spring.GetRestLength()), a, b, a,
                     b);
}

int CSpring::AfterStep()
{
    if (CMechComp::AfterStep() || m_terminals.size() < 2) return IsBroken();
    const double a = GetMechTerminal(0)->GetPosition();
    const double b = GetMechTerminal(1)->GetPosition();
    m_lower.SetDelta(a);
    m_upper.SetDelta(b);
    m_spring.SetPendingMoves(a, b);
    m_travel.SetDelta(b - a);
    RecordEnergy();
    if (CCircuit* d = GetDesign()) {
        if (CDisplay::GetCurrentDC()) Draw(d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

CMassComp* CSpring::LivePartner() const
{
    if (!m_pPartner) return nullptr;
    const CCircuit* d = GetDesign();
    for (CPart* p = d ? d->GetFirstComponent() : nullptr; p; p = p->GetNextSibling())
        if (p == m_pPartner) return m_pPartner;
    return nullptr;
}

CMassComp* CSpring::GetPartner() const { return LivePartner(); }

bool CSpring::Settled(const double* potential, const double* kinetic, int index)
{
    bool restingBefore = false;
    int prev = (index + 1) % 10;
    double before = potential[prev] + kinetic[prev];
    for (int j = 2; j <= 10; ++j) {
        const int i = (index + j) % 10;
        const double total = potential[i] + kinetic[i];
        if (!(total >= kLeastRatio * before && total <= kMostRatio * before)) return false;
        const bool resting = std::fabs(potential[i] - potential[prev]) <= kRestingChange;
        if (resting && restingBefore) return false;
        restingBefore = resting;
        before = total;
        prev = i;
    }
    return true;
}

int CSpring::SettlingTest(CMassComp* partner)
{
    const CCircuit* d = GetDesign();
    if (!partner || !d) return 0;
    double kinetic[10];
    for (int i = 0; i < 10; ++i) kinetic[i] = partner->GetKineticEnergy(i);
    return Settled(m_ring, kinetic, d->GetStepIndex()) ? 1 : 0;
}

void CSpring::RecordEnergy()
{
    const CCircuit* d = GetDesign();
    if (!d) return;
    const double e = m_spring.GetExtension();
    m_ring[d->GetStepIndex() % 10] = 0.5 * m_spring.GetStiffness() * e * e;
    // A mass held by hand is not oscillating freely: it is neither kept
    // nor chosen.
    if (CMassComp* partner = LivePartner()) {
        if (SettlingTest(partner) && !IsStopEngaged() && !partner->IsStopEngaged() && !partner->IsHeld()) {
            partner->SetTrapezoid(1);
            return;
        }
        partner->SetTrapezoid(0);
        m_pPartner = nullptr;
        return;
    }
    m_pPartner = nullptr;
    // Every mass of the design is tried, in the order of the component list.
    for (CPart* p = d->GetFirstComponent(); p; p = p->GetNextSibling()) {
        auto* mass = dynamic_cast<CMassComp*>(p);
        if (!mass || mass->GetKindCode() != 6 || mass->IsHeld()) continue;
        if (SettlingTest(mass) && !IsStopEngaged() && !mass->IsStopEngaged()) {
            m_pPartner = mass;
            mass->SetTrapezoid(1);
            return;
        }
    }
}

int CSpring::EndAPixel() const { return MetresToPixels(m_spring.GetEndA()) + kEndOrigin + (m_rect.Width() - kWidth) / 2; }

int CSpring::EndBPixel() const { return MetresToPixels(m_spring.GetEndB()) + kEndOrigin + (m_rect.Width() - kWidth) / 2; }

int CSpring::BuildInfo(CString& text, UINT, CPoint point)
{
    const CUnitChoices units = MechUnitChoices(GetDesign());
    const CMechTerm* t = GetMechTerminal(0);
    const double v = t ? t->GetVelocity() : 0.0;
    text = MechSpeedText(v, WIRE_LINEAR, units);
    if (point.x - m_rect.left >= EndAPixel()) {
        text += ", ";
        text += MechPositionText(m_spring.GetEndA(), WIRE_LINEAR, units);
    }
    return MechDirectionCode(v, 2);
}

int CSpring::GetPropertyBitmap(std::vector<int>& ids, CBitmap*)
{
    ids.clear();
    return 0;
}

void CSpring::DrawCoil(DWORD)
{
    const COLORREF ink = ColourRGB(0, 0, 0x80);
    const int y = m_rect.top + kAxisY;
    const int a = m_rect.left + std::clamp(EndAPixel(), 0, m_rect.Width() - 1);
    const int b = m_rect.left + std::clamp(EndBPixel(), 0, m_rect.Width() - 1);
    // The rod from the terminal to end A and the plate at end A.
    CDisplay::DrawLine(m_rect.left, y, a, y, ink, PS_SOLID, 1);
    CDisplay::DrawLine(a, y - 6, a, y + 7, ink, PS_SOLID, 1);
    // The coil from end A to end B.
    const int rest = MetresToPixels(m_spring.GetRestLength());
    const int segments = std::max(kCoilSegments, (rest * kCoilSegments + kCoilRestPixels / 2) / kCoilRestPixels);
    int px = a, py = y;
    for (int i = 1; i <= segments; ++i) {
        const int x = a + (b - a) * i / segments;
        const int yy = i == segments ? y : y + (i % 2 ? -kCoilAmplitude : kCoilAmplitude);
        CDisplay::DrawLine(px, py, x, yy, ink, PS_SOLID, 1);
        px = x;
        py = yy;
    }
    WallVisual().DrawBitmap(b, m_rect.top, 0, GetDrawVariant(), {0, 0}, WallVisual().GetSize(), 0, SRCAND);
}

int CSpring::Draw(DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return 0;
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->SetAuxValue(m_bSelected);
    const CRect area = m_rect;
    const bool buffered = CDisplay::BeginBuffer(area);
    CDC* dc = CDisplay::GetCurrentDC();
    const CPoint old = buffered ? dc->SetWindowOrg(area.TopLeft()) : CPoint();
    DrawCoil(flags);
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) g->DrawHandle(flags);
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->DrawMarks(flags);
    if (buffered) {
        dc->SetWindowOrg(old);
        CDisplay::EndBuffer(area, true);
    }
    if (!m_bSelected) return 0;
    CPartDrawing* d = CPartDrawing::Current();
    return d ? d->FrameSelection(m_rect) : 0;
}
