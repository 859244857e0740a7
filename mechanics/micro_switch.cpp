#include "mechanics/micro_switch.h"

#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CMicroSwitch, "CMechComp", 4)

namespace {

constexpr UINT IDS_MICROSWITCH_RATINGS = 38;
// The body stands at the right end; its leads leave it upwards (terminal 2)
// and downwards (terminal 0) at x = 112.  The lever's terminal is on the
// left edge, its head 10 pixels (2.5 mm) short of the body at rest.
constexpr int kBodyX = 98;
constexpr int kLeadX = 112;
constexpr int kLeverY = 12;
constexpr int kHeadX = 81;
constexpr int kHeadY = 4;

CVisual& BodyVisual()
{
    static CVisual visual(0, 0, 1322, 2, 0, 0, 30, CMicroSwitch::kHeight);
    return visual;
}

CVisual& HeadVisual()
{
    static CVisual visual(0, 0, 1323, 1, 0, 0, 8, 16);
    return visual;
}

} // namespace

CMicroSwitch::CMicroSwitch()
{
    m_nOrientationMask = 1;
    LoadRatings(IDS_MICROSWITCH_RATINGS);
}

void CMicroSwitch::CreateChildren()
{
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + kWidth, corner.y + kHeight);
    if (!m_terminals.empty()) return;
    AddTerminal(2, corner + CPoint(kLeadX, kHeight - 1));
    CMechPin pin;
    pin.kind = WIRE_LINEAR;
    pin.side = 3;
    pin.pin = corner + CPoint(0, kLeverY);
    AddMechTerminal(pin);
    AddTerminal(0, corner + CPoint(kLeadX, 0));
}

void CMicroSwitch::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    if (ar.GetVersion() <= 3) {
        if (!ar.IsStoring()) ResetSimulation();
        return;
    }
    if (ar.IsStoring()) {
        ar << m_dDisplacement << m_dBase;
    } else {
        ar >> m_dDisplacement >> m_dBase;
    }
    m_lower.Serialize(ar);
    m_upper.Serialize(ar);
    if (ar.IsStoring()) return;
    // A lever whose position is not a number starts again at rest.
    if (!std::isfinite(m_dDisplacement) || !std::isfinite(m_dBase)) ResetSimulation();
    if (m_wStateWord > 1) m_wStateWord = 0;
}

void CMicroSwitch::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_wStateWord = 0;
    m_lower.SetFromPosition(kLowerLimit);
    m_upper.SetFromPosition(kUpperLimit);
    m_dDisplacement = m_dBase = 0.0;
    ResetState();
}

void CMicroSwitch::ResetState()
{
    m_lower.ApplyDelta();
    m_upper.ApplyDelta();
    m_dBase += m_dDisplacement;
    m_dDisplacement = 0.0;
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
}

void CMicroSwitch::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 3) return;
    if (IsClosed()) m->AddLink(GetTerminal(0), GetTerminal(2));
    m_lower.StampAt(m, GetTerminal(1));
    m_upper.StampAt(m, GetTerminal(1));
}

void CMicroSwitch::LimitStep(CState** out, double* fraction, const double* v)
{
    if (m_terminals.size() < 3) return;
    const double x = v[GetTerminal(1)->GetNode()];
    m_lower.LimitStep(out, fraction, x);
    m_upper.LimitStep(out, fraction, x);
}

int CMicroSwitch::AfterStep()
{
    if (CMechComp::AfterStep() || m_terminals.size() < 3) return IsBroken();
    const double x = GetMechTerminal(1) ? GetMechTerminal(1)->GetPosition() : 0.0;
    m_dDisplacement = x;
    m_wStateWord = ClosesAt(x + m_dBase) ? 1 : 0;
    m_lower.SetDelta(x);
    m_upper.SetDelta(x);
    m_lower.Commit();
    m_upper.Commit();
    if (CCircuit* d = GetDesign()) {
        DrawMoving(0, d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

double CMicroSwitch::GetQuantity(int, int, int code) { return code == 4 ? GetLeverPosition() : 0.0; }

int CMicroSwitch::BuildInfo(CString& text, UINT, CPoint)
{
    text = MechPositionText(GetLeverPosition(), WIRE_LINEAR, MechUnitChoices(GetDesign()));
    return 13;
}

int CMicroSwitch::Draw(DWORD flags) { return DrawMovingPart(flags, m_rect); }

void CMicroSwitch::DrawMovingBody(DWORD flags)
{
    const int l = m_rect.left, t = m_rect.top;
    const bool running = (flags & OPT_SIMULATE) != 0;
    BodyVisual().DrawBitmap(l + kBodyX, t, running && IsClosed() ? 1 : 0, GetDrawVariant(), {0, 0},
                            BodyVisual().GetSize(), 0, SRCAND);
    // The push rod from the left edge to the lever's head.
    const int head = l + kHeadX + (running ? MetresToPixels(GetLeverPosition()) : 0);
    CDisplay::DrawLine(l, t + kLeverY, std::max(l, head + 1), t + kLeverY, ColourRGB(0, 0, 0x80), PS_SOLID, 1);
    HeadVisual().DrawBitmap(head, t + kHeadY, 0, GetDrawVariant(), {0, 0}, HeadVisual().GetSize(), 0, SRCAND);
}
