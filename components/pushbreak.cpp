#include "components/pushbreak.h"

#include "components/component_kit.h"
#include "components/key.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CPushBreak, "CPushMake", 2)

namespace {
// Drawn standing (the part starts a quarter turn anticlockwise, lying
// with pin 0 on the right); frame 0 at rest (closed), frame 1 held.
CVisual& PushBreakPicture()
{
    static CVisual picture(0, 0, 151, 2, 0, 0, 10, 24);
    return picture;
}
} // namespace

CPushBreak::CPushBreak()
{
    m_pVisual = &PushBreakPicture();
    SetOrientationMask(9);
    m_pVisual->SetOrientationMask(9);
    m_pVisual->SetOffsetRow(0);
}

void CPushBreak::CreateChildren()
{
    CreateTerminals(0);
    OrderTerminalsByPicture(this);
    AddChild(new CKey(2, this, 0));
}

void CPushBreak::InitVariant(const CRuntimeClass*)
{
    SetOrientation(3, m_nOrientation, 0, nullptr);
    m_rcPicture.SetRect(4, -4, 28, 6);
}
