#include "components/earth.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CEarth, "CVZero", 2)

namespace {
CVisual& EarthPicture()
{
    static CVisual picture(0, 0, 423, 1, 0, 0, 16, 16);
    return picture;
}
} // namespace

CEarth::CEarth()
{
    m_pVisual = &EarthPicture();
    SetOrientationMask(15);
    m_pVisual->SetOrientationMask(15);
    m_pVisual->SetOffsetRow(0);
}
