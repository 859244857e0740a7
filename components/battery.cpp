#include "components/battery.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/valuevariants.h"

WB_IMPLEMENT_SERIAL(CBattery, "CComponent", 2)

CVisual& Battery9VPicture()
{
    static CVisual picture(0, 0, 419, 1, 0, 0, 24, 24);
    return picture;
}

namespace {
CVisual& BatteryPicture()
{
    static CVisual picture(0, 0, 308, 1, 0, 0, 24, 24, 0, nullptr, &Battery9VPicture());
    return picture;
}
constexpr double kLeak = 5e-10;
} // namespace

CBattery::CBattery()
{
    m_pVisual = &BatteryPicture();
    SetOrientationMask(195);
    m_pVisual->SetOrientationMask(195);
    m_pVisual->SetOffsetRow(1);
    m_pVisual->GetAlternate()->SetOrientationMask(5);
    m_pVisual->GetAlternate()->SetOffsetRow(1);
    LoadRatings(39);
}

void CBattery::CreateChildren()
{
    if (m_bAlternateLook && m_pVisual->GetAlternate()) m_pVisual = m_pVisual->GetAlternate();
    CreateTerminals(0);
    if (m_bAlternateLook)
        AddChild(new CDummyValue(1.5, 1.0, ' ', "V", 5));
    else
        AddChild(new CValue(9.0, 1.0, ' ', "V", 3, m_rect, 5));
}

void CBattery::InitVariant(const CRuntimeClass* variant)
{
    const bool right = variant && variant->IsNamed("CBatteryR");
    const bool left = variant && variant->IsNamed("CBatteryL");
    if (right || left) {
        m_rect.InflateRect(0, 2);
        if (right && GetFirstChild()) GetFirstChild()->Offset(0, -2);
        SetOrientation(right ? 1 : 7, m_nOrientation, 0, nullptr);
    } else if (variant && variant->IsNamed("CBatteryD")) {
        m_nOrientation = 6;
    } else {
        SetOrientation(0, m_nOrientation, 0, nullptr);
    }
    m_rcPicture.SetRect(-12, 0, 12, 24);
}

int CBattery::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    const int before = m_nOrientation;
    CComponent::SetOrientation(newCode, oldCode, flag, anchor);
    if (before != m_nOrientation && (m_nOrientation & 1) && GetFirstChild()) GetFirstChild()->Offset(0, 1);
    return 0;
}

double CBattery::GetEmf() { return LabelValue(this); }

void CBattery::StampSource(CMatrix* m, CTerminal* positive, CTerminal* negative)
{
    const double v = GetEmf();
    CCircuit* design = GetDesign();
    if (design && design->TestOptions(OPT_INTERNAL_RESISTANCE))
        m->StampTransfer(1.0, -v, positive, negative, positive, negative);
    else
        m->AddVoltageSource(v, positive, negative);
    m->StampConductance(kLeak, negative, nullptr);
}

void CBattery::Stamp(CMatrix* m) { StampSource(m, GetTerminal(0), GetTerminal(1)); }
