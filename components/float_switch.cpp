#include "components/float_switch.h"

#include "components/waterlevel.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CFloatSwitch, "CComponent", 4)

namespace {
constexpr UINT IDS_FLOAT_RATINGS = 36569;
constexpr int kSwitchRows = 14;

CVisual& FloatVisual()
{
    static CVisual visual(0, 0, 352, 8, 0, 0, 24, 26);
    static const bool ready = (visual.SetOrientationMask(1), visual.SetOffsetRow(1), true);
    (void)ready;
    return visual;
}
} // namespace

CFloatSwitch::CFloatSwitch()
{
    m_pVisual = &FloatVisual();
    m_nOrientationMask = 1;
    LoadRatings(IDS_FLOAT_RATINGS);
}

void CFloatSwitch::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    auto* tank = new CWaterLevel(m_rect.left, m_rect.top + 8, this);
    AddChild(tank);
    m_wStateWord = static_cast<WORD>(tank->GetLevel());
    m_rect.bottom -= 14;
}

int CFloatSwitch::SetInputValue(CPartTree*, int level)
{
    m_wStateWord = static_cast<WORD>(level < 0 ? 0 : level > 7 ? 7 : level);
    CCircuit* design = GetDesign();
    if (!design) return 0;
    design->ControlSimulation(SIM_SENSOR_CHANGED);
    if (!design->HasBlownPart()) Draw(design->GetOptions());
    return 0;
}

int CFloatSwitch::Draw(DWORD flags)
{
    if (!m_pVisual) return CPartCircuit::Draw(flags);
    if (flags & 0x80)
        m_pVisual->DrawBitmap(m_rect.left, m_rect.top, m_wStateWord, GetDrawVariant(), CPoint(0, 0),
                              CSize(24, kSwitchRows), m_nOrientation);
    else
        m_pVisual->DrawWhole(m_rect.left, m_rect.top, 0, GetDrawVariant(), m_nOrientation);
    return CPartCircuit::Draw(flags);
}

void CFloatSwitch::Stamp(CMatrix* m)
{
    if (m_terminals.size() >= 2 && IsClosed()) m->AddLink(GetTerminal(0), GetTerminal(1));
}
