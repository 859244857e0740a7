#include "components/lamp_slider.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CLamp, "CSlider", 3)

namespace {
// The lamp knob: frame 0 resting, 1 held, 2 the track behind it.
CVisual& LampKnobPicture()
{
    static CVisual picture(0, 0, 226, 3, 0, 0, 26, 15);
    return picture;
}
} // namespace

CLamp::CLamp()
{
    m_pKnob = &LampKnobPicture();
    m_wState = kLast;
}

CLamp::CLamp(int x, int y, CPart* owner) : CLamp()
{
    m_pOperated = owner;
    const CPoint at = owner ? owner->m_rect.TopLeft() + CPoint(x, y) : CPoint(x, y);
    m_rect.SetRect(at.x, at.y, at.x + 26, at.y + 40);
    m_nOrientation = 0;
}
