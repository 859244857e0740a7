#include "components/vslide.h"

#include "components/component_kit.h"
#include "components/slider.h"
#include "components/vresistor.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CVSlide, "CVoltRail", 2)

void CVSlide::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (!ar.IsStoring() && ar.GetVersion() < 4)
        if (CValue* v = ValueLabelOf(this)) v->number.SetTypeCode(2);
}

void CVSlide::CreateChildren()
{
    CreateTerminals(0);
    CRect beside = m_rect;
    beside.OffsetRect(-21, 0);
    auto* label = new CValue(10.0, 0.5, ' ', "V", 3, beside, 2);
    // The slider stands left of the rail and the label left of the slider.
    auto* slider = new CSlider(3, this, label, nullptr, 0);
    label->PlaceLabel(3, slider, nullptr);
    AddChild(slider);
    AddChild(label);
}

double CVSlide::GetRailVoltage() { return LabelValue(this, true); }

void CVSlide::SetSliderPosition(int p)
{
    if (CValue* v = ValueLabelOf(this)) v->SetScale(SliderScale(p), 0);
    if (CSlider* s = SliderOf(this)) s->SetPosition(p + CSlider::kFirst);
}
