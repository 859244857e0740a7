#include "components/vresistor.h"

#include "components/component_kit.h"
#include "components/slider.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/valuevariants.h"
#include "platform/archive.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CVResistor, "CComponent", 2)

namespace {
CVisual& VResistorPicture()
{
    // The alternate look: a slide potentiometer's track.
    static CVisual real(0, 0, 451, 2, 0, 0, 176, 24);
    static CVisual picture(0, 0, 316, 1, 0, 0, 20, 24, 0, nullptr, &real);
    real.SetOrientationMask(3);
    return picture;
}
} // namespace

double SliderScale(int position)
{
    position = std::clamp(position, 0, 20);
    return position == 20 ? 0.0 : 1.0 - 0.05 * position;
}

CVResistor::CVResistor()
{
    m_pVisual = &VResistorPicture();
    SetOrientationMask(3);
    m_pVisual->SetOrientationMask(3);
    m_pVisual->SetOffsetRow(11);
    LoadRatings(47);
}

void CVResistor::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (!ar.IsStoring() && ar.GetVersion() < 4)
        if (CValue* v = ValueLabelOf(this)) v->number.SetTypeCode(10);
}

void CVResistor::CreateChildren()
{
    CreateTerminals(0);
    // The label first, then the slider that operates it (on the right; in
    // the alternate look the large slider above).
    CValue* label;
    CSlider* slider;
    if (m_bAlternateLook) {
        label = new CDummyValue(100.0, 0.5, ' ', " ", 5);
        const CPoint offset(0, 6);
        slider = new CSlider(0, this, label, &offset, 1);
    } else {
        label = new CValue(100.0, 0.5, ' ', " ", 3, m_rect, 10);
        slider = new CSlider(1, this, label, nullptr, 0);
    }
    AddChild(slider);
    AddChild(label);
}

double CVResistor::GetResistance() { return LabelValue(this, true); }

void CVResistor::SetSliderPosition(int p)
{
    if (CValue* v = ValueLabelOf(this)) v->SetScale(SliderScale(p), 0);
    if (CSlider* s = SliderOf(this)) s->SetPosition(p + CSlider::kFirst);
}

void CVResistor::Stamp(CMatrix* m)
{
    double r = GetResistance();
    if (r == 0.0)
        m->AddLink(GetTerminal(0), GetTerminal(1));
    else
        m->StampConductance(1.0 / r, GetTerminal(0), GetTerminal(1));
}
