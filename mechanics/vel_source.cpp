#include "mechanics/vel_source.h"

#include "components/component_kit.h"
#include "components/rotor.h"
#include "mechanics/mech_text.h"
#include "model/circuit/circuit.h"
#include "model/display/bitmap256.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"
#include "platform/strings.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CVelSource, "CMechComp", 4)

namespace {

constexpr double kRpmToRadPerSecond = 0.10471975511966;
constexpr double kDefaultRate = 5.0;
// The two direction buttons, one 32 x 32 cell each.
constexpr int kDirectionButtons = 347;

// The body: frame 0 stopped, frames 1 and 2 the two directions.
CVisual& BodyVisual()
{
    static CVisual visual(0, 0, 1320, 3, 0, 0, 24, 24);
    static const bool ready = (visual.SetOrientationMask(1), true);
    (void)ready;
    return visual;
}

} // namespace

CVelSource::CVelSource()
{
    m_pVisual = &BodyVisual();
    m_nOrientationMask = 1;
}

double CVelSource::Rate() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetUpdateRate() : kDefaultRate;
}

int CVelSource::Initialise()
{
    CMechComp::Initialise();
    m_wDirection = 0;
    m_rect.SetRect(m_rect.left - 12, m_rect.top - 12, m_rect.left + 12, m_rect.top + 12);
    if (m_terminals.empty()) CreateTerminals(0);
    AddChild(new CValue(1.0, 1.0, ' ', LoadResString(36573), 3, m_rect, 5));
    return 1;
}

double CVelSource::GetDriveSpeed()
{
    const double s = m_wDirection == 1 ? 1.0 : -1.0;
    return s * LabelValue(this) * kRpmToRadPerSecond;
}

void CVelSource::Serialize(CArchive& ar)
{
    CMechComp::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_wDirection;
        if (ar.GetVersion() > 3) ar << m_dBase << m_dLast << m_dTarget;
        return;
    }
    ar >> m_wDirection;
    m_wDirection = m_wDirection == 1 ? 1 : 0;
    if (ar.GetVersion() <= 3) {
        ResetSimulation();
        return;
    }
    ar >> m_dBase >> m_dLast >> m_dTarget;
    // A record whose angles are not numbers would stamp a spring that
    // pulls the shaft to nowhere.
    if (!std::isfinite(m_dBase) || !std::isfinite(m_dLast) || !std::isfinite(m_dTarget)) ResetSimulation();
}

void CVelSource::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CMechComp::AfterLoad(design, flags, version);
    if (CValue* v = ValueLabelOf(this)) v->SetUnit(LoadResString(36573));
}

void CVelSource::PrepareStep() { m_dTarget += GetDriveSpeed() / Rate(); }

void CVelSource::Stamp(CMatrix* m)
{
    if (m_terminals.empty()) return;
    CTerminal* t = GetTerminal(0);
    m->StampTransfer(kStiffness, -kStiffness * m_dTarget, t, nullptr, t, nullptr);
}

int CVelSource::AfterStep()
{
    if (CMechComp::AfterStep() || m_terminals.empty()) return IsBroken();
    const double r = Rate();
    const double a = GetMechTerminal(0) ? GetMechTerminal(0)->GetPosition() : 0.0;
    m_dSpeed = (a - m_dLast) * r;
    m_dLast = a;
    m_dTarget = a;
    // The spinner: 16 frames a turn.
    m_wStateWord = TurnRotorFrame(m_wStateWord, a + m_dBase, m_dSpeed, r);
    if (CCircuit* d = GetDesign()) {
        if (CDisplay::GetCurrentDC()) Draw(d->GetRedrawFlags());
        d->SetChanged();
    }
    return 0;
}

void CVelSource::ResetSimulation()
{
    CMechComp::ResetSimulation();
    m_dTarget = m_dLast = m_dBase = m_dSpeed = 0.0;
    m_wStateWord = 0;
    ResetState();
}

void CVelSource::ResetState()
{
    m_dBase += m_dLast;
    m_dLast = m_dTarget = 0.0;
    m_dSpeed = 0.0;
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->Rebase();
}

int CVelSource::BuildInfo(CString& text, UINT, CPoint)
{
    const CUnitChoices units = MechUnitChoices(GetDesign());
    const double w = GetDriveSpeed();
    text = MechSpeedText(w, WIRE_ROTATIONAL, units);
    text += ", ";
    text += MechPositionText(m_dBase + m_dLast, WIRE_ROTATIONAL, units);
    return MechDirectionCode(w, 1);
}

void CVelSource::DrawBody(DWORD flags)
{
    const bool running = (flags & OPT_SIMULATE) != 0;
    BodyVisual().DrawBitmap(m_rect.left, m_rect.top, running ? m_wDirection + 1 : 0, GetDrawVariant(), {0, 0},
                            BodyVisual().GetSize(), 0, SRCAND);
    RotorPicture().DrawBitmap(m_rect.left + 6, m_rect.top + 7, running && !IsBroken() ? m_wStateWord % 16 : 0, 0,
                              {0, 0}, RotorPicture().GetSize(), 0, SRCAND);
    CDisplay::DrawEdgeLine(m_rect.left + 23, m_rect.top, m_rect.left + 19, m_rect.top + 4, false);
}

int CVelSource::Draw(DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return 0;
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->SetAuxValue(m_bSelected);
    // Off-screen, so the turning spinner does not flicker.
    const CRect area = m_rect;
    const bool buffered = CDisplay::BeginBuffer(area);
    CDC* dc = CDisplay::GetCurrentDC();
    const CPoint old = buffered ? dc->SetWindowOrg(area.TopLeft()) : CPoint();
    DrawBody(flags);
    for (CTerminal* t : m_terminals)
        if (auto* m = dynamic_cast<CMechTerm*>(t)) m->DrawMarks(flags);
    if (buffered) {
        dc->SetWindowOrg(old);
        CDisplay::EndBuffer(area, true);
    }
    // The hatched frame only while selected (flag 0x200 is the print flag
    // here, not a request for the frame).
    if (!m_bSelected) return 0;
    CPartDrawing* d = CPartDrawing::Current();
    return d ? d->FrameSelection(m_rect) : 0;
}

int CVelSource::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids = {kDirection0, kDirection1};
    if (!bitmap) return 2;
    return AttachPicture(bitmap, kDirectionButtons) ? 2 : -1;
}

int CVelSource::IsPropertyChecked(int commandId, int& flag)
{
    if (commandId == kDirection0 || commandId == kDirection1) {
        flag = 1;
        return commandId == kDirection0 + m_wDirection ? 1 : 0;
    }
    return CMechComp::IsPropertyChecked(commandId, flag);
}

int CVelSource::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == kDirection0 || commandId == kDirection1) {
        // 1 (changed: redraw, the design is modified) only for a new
        // direction; choosing the present one changes nothing.
        const WORD d = commandId == kDirection1 ? 1 : 0;
        if (d == m_wDirection) return 0;
        m_wDirection = d;
        return 1;
    }
    return CMechComp::OnPropertyCommand(commandId, text);
}
