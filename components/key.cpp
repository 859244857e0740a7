#include "components/key.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CKey, "CToggle", 2)

namespace {
// Frame 0 up, frame 1 pressed down.
CVisual& LargeKeyPicture()
{
    static CVisual picture(0, 0, 429, 2, 0, 0, 32, 24);
    static const bool turns = (picture.SetOrientationMask(0xFF), true);
    (void)turns;
    return picture;
}
CVisual& KeyPicture()
{
    static CVisual picture(0, 0, 162, 2, 0, 0, 36, 28, 0, nullptr, &LargeKeyPicture());
    static const bool turns = (picture.SetOrientationMask(0xFF), true);
    (void)turns;
    return picture;
}
} // namespace

CKey::CKey() { m_pVisual = &KeyPicture(); }

CKey::CKey(int side, CPart* operated, int alternateLook) : CKey()
{
    m_pOperated = operated;
    TakePictureSize();
    if (alternateLook) {
        UseAlternateLook();
        const CPoint offset(0, 6);
        PlaceLabel(side, operated, &offset);
    } else {
        PlaceLabel(side, operated, nullptr);
    }
}

int CKey::OnPress(CPartTree* design, int x, int y)
{
    // The press is armed as any part's press is, so that the canvas hands
    // the button-up of a click back to the key (a key held down for good
    // would leave its part pressed).
    BeginPress(design, CPoint(x, y), false);
    m_wState = 1;
    RedrawFor(design);
    Report(design, 1);
    return 0;
}

int CKey::OnRelease(CPartTree* design, int, int)
{
    m_wState = 0;
    RedrawFor(design);
    Report(design, 0);
    return 1;
}

void CKey::PlaceLabel(int side, CPart* part, const CPoint* offset)
{
    const CPoint shifted = offset ? CPoint(offset->x + 2, offset->y) : CPoint(2, 0);
    CToggle::PlaceLabel(side, part, &shifted);
}
