#include "components/voltrail.h"

#include "components/component_kit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CVoltRail, "CComponent", 2)

CVisual& RailPicture()
{
    static CVisual picture(0, 0, 312, 1, 0, 0, 16, 16);
    return picture;
}

CVoltRail::CVoltRail()
{
    m_pVisual = &RailPicture();
    SetOrientationMask(15);
    m_pVisual->SetOrientationMask(15);
    m_pVisual->SetOffsetRow(10);
    LoadRatings(40);
}

void CVoltRail::CreateChildren()
{
    CreateTerminals(0);
    AddChild(new CValue(9.0, 1.0, ' ', "V", 3, m_rect, 2));
}

void CVoltRail::InitVariant(const CRuntimeClass* variant)
{
    CValue* label = ValueLabelOf(this);
    if (!label) return;
    if (variant && variant->IsNamed("CVNeg")) {
        label->number.scale = 1.0;
        double mantissa = 0.0;
        int prefix = label->number.GetMantissa(&mantissa);
        label->SetNumber(-mantissa, prefix);
    }
    label->number.SetTypeCode(2);
}

double CVoltRail::GetRailVoltage() { return LabelValue(this); }

void CVoltRail::Stamp(CMatrix* m) { m->AddVoltageSource(GetRailVoltage(), GetTerminal(0), nullptr); }
