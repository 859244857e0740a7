#include "mechanics/torque.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/display/bitmap256.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CTorque, "CMechComp", 4)

namespace {

// The two direction buttons, one 32 x 32 cell each.
constexpr int kDirectionButtons = 349;
const char kUnit[] = "N m";

// Frame 0 stopped, frames 1 and 2 the two directions while running.
CVisual& TorqueVisual()
{
    static CVisual visual(0, 0, 1340, 3, 0, 0, 24, 24);
    static const bool ready = (visual.SetOrientationMask(1), true);
    (void)ready;
    return visual;
}

} // namespace

CTorque::CTorque()
{
    m_pVisual = &TorqueVisual();
    m_nOrientationMask = 1;
    m_limit.SetKnee(kLimitKnee);
}

int CTorque::Initialise()
{
    CMechComp::Initialise();
    m_wDirection = 0;
    m_rect.SetRect(m_rect.left - 12, m_rect.top - 12, m_rect.left + 12, m_rect.top + 12);
    if (m_terminals.empty()) CreateTerminals(0);
    if (!ValueLabelOf(this)) AddChild(new CValue(0.1, 1.0, ' ', kUnit, 3, m_rect, 5));
    return 1;
}

void CTorque::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_wDirection;
        return;
    }
    ar >> m_wDirection;
    m_wDirection = m_wDirection == 1 ? 1 : 0;
}

void CTorque::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CMechComp::AfterLoad(design, flags, version);
    m_limit.SetKnee(kLimitKnee);
}

double CTorque::GetAppliedTorque()
{
    const double t = LabelValue(this);
    return m_wDirection == 1 ? t : -t;
}

void CTorque::Stamp(CMatrix* m)
{
    CTerminal* t = GetTerminal(0);
    if (!t) return;
    const double torque = LabelValue(this);
    // Direction 0: the torque leaves the shaft's node (its angle falls) and
    // the limit acts on -angle; direction 1 the mirror image.
    if (m_wDirection == 0) {
        m->StampTransfer(0.0, torque, nullptr, nullptr, t, nullptr);
        m->StampTransfer(m_limit.GetSlope(), m_limit.GetIntercept(), nullptr, t, nullptr, t);
    } else {
        m->StampTransfer(0.0, -torque, nullptr, nullptr, t, nullptr);
        m->StampTransfer(m_limit.GetSlope(), m_limit.GetIntercept(), t, nullptr, t, nullptr);
    }
}

void CTorque::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    CTerminal* t = GetTerminal(0);
    if (!t) return;
    const double x = nodeValues[t->GetNode()];
    m_limit.LimitStep(out, fraction, m_wDirection == 0 ? -x : x);
}

int CTorque::AfterStep()
{
    const int broken = CMechComp::AfterStep();
    m_limit.Commit();
    if (broken) return broken;
    if (CCircuit* d = GetDesign()) {
        if (CDisplay::GetCurrentDC()) Draw(d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

void CTorque::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_limit.SetKnee(kLimitKnee);
}

int CTorque::Draw(DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return 0;
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->SetAuxValue(m_bSelected);
    const bool running = (flags & OPT_SIMULATE) != 0;
    TorqueVisual().DrawBitmap(m_rect.left, m_rect.top, running ? m_wDirection + 1 : 0, GetDrawVariant(), {0, 0},
                              TorqueVisual().GetSize(), 0, SRCAND);
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->DrawMarks(flags);
    if (!m_bSelected) return 0;
    CPartDrawing* d = CPartDrawing::Current();
    return d ? d->FrameSelection(m_rect) : 0;
}

int CTorque::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids = {kDirection0, kDirection1};
    if (!bitmap) return 2;
    return AttachPicture(bitmap, kDirectionButtons) ? 2 : -1;
}

int CTorque::IsPropertyChecked(int commandId, int& flag)
{
    if (commandId == kDirection0 || commandId == kDirection1) {
        flag = 1;
        return commandId == kDirection0 + m_wDirection ? 1 : 0;
    }
    return CMechComp::IsPropertyChecked(commandId, flag);
}

int CTorque::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == kDirection0 || commandId == kDirection1) {
        const WORD d = commandId == kDirection1 ? 1 : 0;
        if (d == m_wDirection) return 0;
        m_wDirection = d;
        return 1;
    }
    return CMechComp::OnPropertyCommand(commandId, text);
}
