#include "components/vzero.h"

#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/text.h"

WB_IMPLEMENT_SERIAL(CVZero, "CVoltRail", 2)

CVisual& ZeroRailPicture()
{
    static CVisual picture(0, 0, 310, 1, 0, 0, 16, 16);
    return picture;
}

CVZero::CVZero()
{
    m_pVisual = &ZeroRailPicture();
    m_pVisual->SetOrientationMask(15);
    m_pVisual->SetOffsetRow(10);
    LoadRatings(45);
}

void CVZero::CreateChildren()
{
    CreateTerminals(0);
    AddChild(new CText("0V", 3, this));
}

void CVZero::Stamp(CMatrix* m) { m->AddLink(GetTerminal(0), nullptr); }
