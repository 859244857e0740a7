#include "components/relayspdt.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CRelaySPDT, "CComponent", 2)

// Ratings of the relays: 5 A, 400 V, 1 W.
constexpr UINT IDS_RELAY_RATINGS = 25;

namespace {
// The common on the right edge (0), the coil's pins on the bottom edge (1
// right, 2 left), the contacts on the left edge (3 operated below, 4 rest
// above).  Frame 0 at rest, frame 1 operated.
CVisual& RelayPicture()
{
    static CVisual picture(0, 0, 186, 2, 0, 0, 44, 24);
    return picture;
}
} // namespace

CRelaySPDT::CRelaySPDT()
{
    m_pVisual = &RelayPicture();
    SetOrientationMask(15);
    m_pVisual->SetOrientationMask(15);
    // Even by even: turned frames need no correction (rows 1-3 shift odd
    // turns by a pixel and would push the pins off the frame edge).
    m_pVisual->SetOffsetRow(0);
    LoadRatings(IDS_RELAY_RATINGS);
}

void CRelaySPDT::CreateChildren()
{
    CreateTerminals(0);
    OrderTerminalsByPicture(this);
}

int CRelaySPDT::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingTerminalOrder(this, newCode, oldCode, flag, anchor);
}

double CRelaySPDT::CoilVoltage() const
{
    CTerminal* a = GetTerminal(CoilPin());
    CTerminal* b = GetTerminal(CoilPin() + 1);
    return a && b ? a->GetVoltage() - b->GetVoltage() : 0.0;
}

void CRelaySPDT::PrepareStep()
{
    CCircuit* design = GetDesign();
    m_coil.Prepare(design ? design->GetUpdateRate() : 5.0, kCoilInductance, false);
}

void CRelaySPDT::StampCoil(CMatrix* m)
{
    CTerminal* a = GetTerminal(CoilPin());
    CTerminal* b = GetTerminal(CoilPin() + 1);
    if (a && b) m->StampTransfer(m_coil.GetConductance() + kCoilShunt, m_coil.GetSource(), a, b, a, b);
}

void CRelaySPDT::Link(CMatrix* m, int a, int b)
{
    if (GetTerminal(a) && GetTerminal(b)) m->AddLink(GetTerminal(a), GetTerminal(b));
}

void CRelaySPDT::Stamp(CMatrix* m)
{
    StampCoil(m);
    Link(m, 0, m_wStateWord == 1 ? 3 : 4);
}

void CRelaySPDT::LimitStep(CState** out, double* fraction, const double* v)
{
    CTerminal* a = GetTerminal(CoilPin());
    CTerminal* b = GetTerminal(CoilPin() + 1);
    if (a && b) m_coil.LimitStep(out, fraction, v[a->GetNode()] - v[b->GetNode()]);
}

int CRelaySPDT::AfterStep()
{
    CComponent::AfterStep();
    if (!IsBroken()) UpdateContacts(CoilVoltage());
    return IsBroken();
}

int CRelaySPDT::UpdateContacts(double v)
{
    const double i = std::fabs(m_coil.AfterStep(v));
    CCircuit* design = GetDesign();
    // The contact that changed in the last step is drawn now.
    if (m_bContactChanged && design) DrawTree(design->GetOptions());
    const int old = m_wStateWord;
    const int state = (old == 1 ? i > kDropOut : i > kPullIn) ? 1 : 0;
    m_bContactChanged = state != old;
    m_wStateWord = static_cast<WORD>(state);
    if (design) design->SetChanged();
    return state;
}

void CRelaySPDT::ResetSimulation()
{
    m_coil.Reset();
    m_bContactChanged = 0;
    ResetState();
}
