#include "components/spst.h"

#include "components/component_kit.h"
#include "components/toggle.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CSPST, "CComponent", 2)

// Ratings of the switches and push buttons: 400 V, 15 A.
constexpr UINT IDS_SWITCH_RATINGS = 38;

namespace {
// Drawn standing (the part starts a quarter turn anticlockwise, lying);
// frame 0 open, frame 1 closed.  The alternate look turns like the plain
// one: without the turned bitmaps it would find no pins.
CVisual& LargeSpstPicture()
{
    static CVisual picture(0, 0, 445, 2, 0, 0, 42, 94);
    static const bool turns = (picture.SetOrientationMask(9), true);
    (void)turns;
    return picture;
}
CVisual& SpstPicture()
{
    static CVisual picture(0, 0, 107, 2, 0, 0, 8, 24, 0, nullptr, &LargeSpstPicture());
    return picture;
}
} // namespace

CSPST::CSPST()
{
    m_pVisual = &SpstPicture();
    SetOrientationMask(9);
    m_pVisual->SetOrientationMask(9);
    m_pVisual->SetOffsetRow(7);
    LoadRatings(IDS_SWITCH_RATINGS);
}

void CSPST::CreateWithLever()
{
    CreateTerminals(0);
    OrderTerminalsByPicture(this);
    AddChild(new CToggle(m_bAlternateLook ? 0 : 2, this, m_bAlternateLook));
}

void CSPST::CreateChildren() { CreateWithLever(); }

void CSPST::UseAlternateLook()
{
    CComponent::UseAlternateLook();
    if (m_pVisual && m_pVisual->GetAlternate()) m_pVisual = m_pVisual->GetAlternate();
}

void CSPST::InitVariant(const CRuntimeClass*)
{
    SetOrientation(3, m_nOrientation, 0, nullptr);
    m_rcPicture.SetRect(0, -4, 24, 4);
}

int CSPST::SetInputValue(CPartTree* design, int value)
{
    SwitchStateChanged(this, design, value);
    return 0;
}

int CSPST::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingTerminalOrder(this, newCode, oldCode, flag, anchor);
}

void CSPST::Link(CMatrix* m, int a, int b)
{
    if (GetTerminal(a) && GetTerminal(b)) m->AddLink(GetTerminal(a), GetTerminal(b));
}

void CSPST::Stamp(CMatrix* m)
{
    if (m_wStateWord == 1) Link(m, 0, 1);
}
