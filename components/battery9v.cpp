#include "components/battery9v.h"

#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/valuevariants.h"

WB_IMPLEMENT_SERIAL(CBattery9V, "CBattery", 2)

CVisual& Battery9VPicture();

CBattery9V::CBattery9V()
{
    SetOrientationMask(1);
    UseAlternateLook();
    m_pVisual = &Battery9VPicture();
    m_pVisual->SetOffsetRow(0);
}

void CBattery9V::CreateChildren()
{
    m_pVisual = &Battery9VPicture();
    CreateTerminals(0);
    AddChild(new CDummyValue(9.0, 1.0, ' ', "V", 5));
}

void CBattery9V::Stamp(CMatrix* m) { StampSource(m, GetTerminal(1), GetTerminal(0)); }
