#include "components/stimulus_picture.h"

#include "model/display/visual.h"

#include <algorithm>

CStimulusPicture::CStimulusPicture(SystemsPicture picture, StimulusAction action) : m_action(action)
{
    m_pVisual = &GetSystemsPicture(picture);
    TakePictureSize();
}

void CStimulusPicture::PlaceBeside(int side, CPart* sensor)
{
    m_pOperated = sensor;
    PlaceLabel(side, sensor, nullptr);
}

int CStimulusPicture::OnPress(CPartTree* design, int, int)
{
    if (m_action == StimulusAction::kMomentary) {
        m_wState = 1;
        RedrawFor(design);
        Report(design, 1);
        return 0;
    }
    m_wState = m_wState == 1 ? 0 : 1;
    RedrawFor(design);
    if (m_action == StimulusAction::kAlarm) Report(design, 1);
    return 0;
}

int CStimulusPicture::OnRelease(CPartTree* design, int, int)
{
    if (m_action == StimulusAction::kMomentary) m_wState = 0;
    RedrawFor(design);
    Report(design, m_wState);
    return 1;
}

int CStimulusPicture::Draw(DWORD flags)
{
    if (!m_pVisual || !flags) return 0;
    // A state read from a damaged file never picks a frame beyond the strip.
    const int frame = (flags & 0x80) ? std::min<int>(m_wState, FrameCount() - 1) : 0;
    m_pVisual->DrawWhole(m_rect.left, m_rect.top, frame, 0, 0);
    return CPart::Draw(flags);
}

int CLatchingStimulus::GetLabelPlacements(CLabelPlacement* records)
{
    records[0] = {4, 3, 1};
    records[1] = {4, 0, 1};
    return 2;
}

void CMomentaryStimulus::PlaceLabel(int side, CPart* part, const CPoint* offset)
{
    const CPoint shifted = offset ? CPoint(offset->x + 2, offset->y) : CPoint(2, 0);
    CToggle::PlaceLabel(side, part, &shifted);
}
