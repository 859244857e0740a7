#include "mechanics/pulley.h"

#include "components/component_kit.h"
#include "components/resize.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CPulley, "CMechComp", 4)

namespace {

constexpr double kDefaultRate = 5.0;
// A label of no mass would leave the rope's node without inertia: at least
// a milligram.
constexpr double kLeastMass = 1e-6;
// The grips stand 5 pixels above the bottom edge.
constexpr int kGripFromBottom = 5;
constexpr int kGripX[2] = {20, 1};
constexpr CPoint kWheelAt(4, 4);
constexpr int kRopeTop = 8;

CVisual& WheelVisual()
{
    static CVisual visual(0, 0, 123, 1, 0, 0, 10, 10);
    return visual;
}

CVisual& WeightVisual()
{
    static CVisual visual(0, 0, 122, 1, 0, 0, 16, 16);
    return visual;
}

template <class F> void ForGrips(CPart* part, F f)
{
    for (CPart* c = part->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) f(g);
}

} // namespace

CPulley::CPulley()
{
    m_nOrientationMask = 1;
    m_rope.SetKnee(kRopeKnee);
    m_weight.SetMass(1.0);
}

double CPulley::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

double CPulley::GetPull()
{
    const CCircuit* d = GetDesign();
    const double g = d ? d->m_dGravity : kDefaultGravity;
    return LabelValue(this) * g / 1000.0;
}

void CPulley::CreateChildren()
{
    const CPoint corner = m_rect.TopLeft();
    if (m_rect.Width() != kWidth || m_rect.Height() < kMinHeight)
        m_rect.SetRect(corner.x, corner.y, corner.x + kWidth, corner.y + kMinHeight);
    if (m_terminals.empty()) {
        CMechPin pin;
        pin.kind = WIRE_LINEAR;
        pin.side = 0;
        pin.pin = corner + CPoint(kPinX, 0);
        AddMechTerminal(pin);
    }
    bool hasGrips = false;
    ForGrips(this, [&hasGrips](CResize*) { hasGrips = true; });
    if (!hasGrips)
        for (int x : kGripX)
            AppendChild(new CResize(x, m_rect.Height() - kGripFromBottom, -corner.x, -corner.y, this, 1,
                                    CResize::kVertical));
    if (!ValueLabelOf(this)) AddChild(new CValue(1000.0, 1.0, 'k', "g", 1, m_rect, 5));
}

void CPulley::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    m_weight.Serialize(ar);
    m_stop.Serialize(ar);
    if (ar.IsStoring()) return;
    m_rope.SetKnee(kRopeKnee);
    m_bResized = 1;
    const double numbers[] = {m_weight.GetMass(), m_weight.GetDisplacement(), m_weight.GetBase(),
                              m_weight.GetMomentum()};
    if (!std::all_of(std::begin(numbers), std::end(numbers), [](double v) { return std::isfinite(v); })) {
        m_weight.SetMass(1.0);
        ResetSimulation();
    }
}

void CPulley::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CMechComp::AfterLoad(design, flags, version);
    ForGrips(this, [](CResize* g) { g->Place(); });
    m_bResized = 1;
}

int CPulley::AttachMechanism(int, int movement)
{
    const int height = m_rect.Height();
    int newHeight = height + movement;
    const bool clipped = newHeight < kMinHeight;
    if (clipped) newHeight = kMinHeight;
    const int change = newHeight - height;
    m_rect.bottom += change;
    if (CValue* v = ValueLabelOf(this)) v->Offset(0, change / 2);
    // The grip being dragged follows the pointer by itself; the other one
    // moves with the bottom edge.
    ForGrips(this, [&](CResize* g) {
        g->MoveAnchor(CPoint(g->m_anchor.x, newHeight - kGripFromBottom));
        if (!g->IsDragging()) g->Place();
    });
    m_bResized = 1;
    return clipped ? 0 : 1;
}

void CPulley::Drop(CPartTree* design)
{
    // Moved on the canvas, the weight goes back to the top at rest; a
    // resize (or a part read back) keeps it where it hangs.
    if (!m_bResized) {
        m_weight.Clear();
        m_stop.SetDelta(0.0);
        m_stop.SetOffset(0.0);
        m_stop.ApplyDelta();
        for (CTerminal* t : m_terminals)
            if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
    }
    m_bResized = 0;
    CMechComp::Drop(design);
}

int CPulley::GetPropertyBitmap(std::vector<int>& ids, CBitmap*)
{
    // One orientation only: no orientation buttons.
    ids.clear();
    return 0;
}

void CPulley::PrepareStep()
{
    // The label may change during a run: the next step takes it.
    const double m = LabelValue(this) / 1000.0;
    m_weight.SetMass(std::isfinite(m) && m >= kLeastMass ? m : kLeastMass);
    m_weight.Prepare(Rate(), m_nTrapezoid);
}

void CPulley::Stamp(CMatrix* m)
{
    CTerminal* t = GetTerminal(0);
    if (!t || !t->IsJoined()) return;
    // The weight's pull enters the node; the rope's far limit, the
    // weight's inertia and the stop at the wheel leave it to the frame.
    m->StampTransfer(0.0, -GetPull(), nullptr, nullptr, t, nullptr);
    m->StampTransfer(m_rope.GetSlope(), m_rope.GetIntercept(), t, nullptr, t, nullptr);
    m_weight.StampAt(m, t);
    m_stop.StampAt(m, t);
}

void CPulley::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    CTerminal* t = GetTerminal(0);
    if (!t || !t->IsJoined()) return;
    const double x = nodeValues[t->GetNode()];
    m_stop.LimitStep(out, fraction, x);
    m_rope.LimitStep(out, fraction, x);
}

int CPulley::AfterStep()
{
    const int broken = CMechComp::AfterStep();
    m_rope.Commit();
    if (broken || !HasMechTerminals(1)) return broken;
    // An unjoined rope moves nothing: its node value is not the weight's.
    const CMechTerm* t = GetMechTerminal(0);
    const double x = t->IsJoined() ? t->GetPosition() : 0.0;
    m_weight.Update(x, Rate(), m_nTrapezoid);
    m_stop.SetDelta(x);
    m_stop.Commit();
    if (CCircuit* d = GetDesign()) {
        DrawMoving(0, d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

void CPulley::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_nTrapezoid = 0;
    m_rope.SetKnee(kRopeKnee);
    m_stop.Set(0.0, 0);
    m_stop.SetOffset(0.0);
    m_weight.Clear();
    ResetState();
}

void CPulley::ResetState()
{
    m_weight.Rebase();
    m_stop.ApplyDelta();
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
}

int CPulley::WeightTop() const { return m_rect.top + kWeightTop + MetresToPixels(m_weight.GetPosition()); }

bool CPulley::IsWeightShown() const { return m_weight.GetPosition() < m_rect.Height() / kPixelsPerMetre; }

int CPulley::Draw(DWORD flags) { return DrawMovingPart(flags, m_rect); }

void CPulley::DrawMovingBody(DWORD flags)
{
    const int variant = GetDrawVariant();
    const CPoint corner = m_rect.TopLeft();
    CVisual& wheel = WheelVisual();
    wheel.DrawBitmap(corner.x + kWheelAt.x, corner.y + kWheelAt.y, 0, variant, {0, 0}, wheel.GetSize(), 0, SRCAND);
    // The rope runs down from the wheel to the weight, or to the bottom
    // once the weight has fallen past it.
    int y = WeightTop();
    if (IsWeightShown()) {
        CVisual& weight = WeightVisual();
        weight.DrawBitmap(corner.x + kWeightX, y, 0, variant, {0, 0}, weight.GetSize(), 0, SRCAND);
    } else {
        y = m_rect.bottom - 1;
    }
    CDisplay::DrawEdgeLine(corner.x + kRopeX, corner.y + kRopeTop, corner.x + kRopeX, y, false);
    ForGrips(this, [flags](CResize* g) { g->DrawHandle(flags); });
}
