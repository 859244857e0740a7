#include "components/stimulus_slider.h"

#include "model/display/visual.h"

void CStimulusSlider::TakeRow()
{
    const StimulusSliderRow& r = Row();
    m_pTrack = &GetSystemsPicture(r.picture);
    m_pVisual = m_pTrack;
    m_pKnob = &GetSystemsPicture(r.knob);
    m_pMarks = nullptr;
    m_wState = static_cast<WORD>(r.initialPosition);
}

void CStimulusSlider::PlaceAt(int x, int y, int dl, int dr, int bottom, CPart* sensor)
{
    m_pOperated = sensor;
    m_rect.SetRect(x + dl, y + 2, x + dr, y + bottom);
    m_nOrientation = 0;
}

int CStimulusSlider::GetValue() const
{
    const StimulusSliderRow& r = Row();
    return r.valueTop - r.valueStep * (m_wState / r.valueDivisor);
}

int CStimulusSlider::GetFrame() const
{
    const StimulusSliderRow& r = Row();
    return r.frameTop - m_wState / r.frameDivisor;
}

CRect CStimulusSlider::OnDrag(CPartTree* design, CPoint point)
{
    if (!Animating(design)) return CRect();
    DrawKnob(2);
    SetPosition(point.y - (m_nDragOffset + m_rect.top));
    RedrawFor(design);
    DrawKnob(1);
    Report(design, GetValue());
    return m_rect;
}

int CStimulusSlider::Draw(DWORD flags)
{
    if (!flags) return 0;
    const StimulusSliderRow& r = Row();
    if (m_pTrack) m_pTrack->DrawWhole(m_rect.left + r.pictureDx, m_rect.top + r.pictureDy, GetFrame(), 0, 0);
    DrawKnob((flags & 0x80) ? 0 : 2);
    return CPart::Draw(flags);
}
