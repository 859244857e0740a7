#include "components/pushmake.h"

#include "components/component_kit.h"
#include "components/key.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CPushMake, "CComponent", 2)

namespace {
// Drawn standing (the part starts a quarter turn anticlockwise, lying
// with pin 0 on the right); frame 0 released, frame 1 pressed.
CVisual& LargePushMakePicture()
{
    static CVisual picture(0, 0, 439, 2, 0, 0, 46, 34);
    static const bool turns = (picture.SetOrientationMask(9), true);
    (void)turns;
    return picture;
}
CVisual& PushMakePicture()
{
    static CVisual picture(0, 0, 106, 2, 0, 0, 12, 24, 0, nullptr, &LargePushMakePicture());
    return picture;
}
} // namespace

CPushMake::CPushMake()
{
    m_pVisual = &PushMakePicture();
    SetOrientationMask(9);
    m_pVisual->SetOrientationMask(9);
    m_pVisual->SetOffsetRow(0);
    LoadRatings(38);
}

void CPushMake::CreateChildren()
{
    CreateTerminals(0);
    OrderTerminalsByPicture(this);
    AddChild(new CKey(m_bAlternateLook ? 0 : 2, this, m_bAlternateLook));
}

void CPushMake::InitVariant(const CRuntimeClass*)
{
    SetOrientation(3, m_nOrientation, 0, nullptr);
    m_rcPicture.SetRect(0, -7, 24, 5);
}

void CPushMake::UseAlternateLook()
{
    CComponent::UseAlternateLook();
    if (m_pVisual && m_pVisual->GetAlternate()) m_pVisual = m_pVisual->GetAlternate();
}

int CPushMake::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    return TurnKeepingTerminalOrder(this, newCode, oldCode, flag, anchor);
}

int CPushMake::SetInputValue(CPartTree* design, int value)
{
    const WORD previous = m_wPending;
    m_wPending = static_cast<WORD>(value);
    // A change already waits for the end of the step: this one joins it.
    if (previous != kNone) return 0;
    SwitchStateChanged(this, design, value);
    return 0;
}

void CPushMake::Stamp(CMatrix* m)
{
    if (IsClosed() && GetTerminal(0) && GetTerminal(1)) m->AddLink(GetTerminal(0), GetTerminal(1));
}

int CPushMake::AfterStep()
{
    CComponent::AfterStep();
    if (m_wPending == kNone) return IsBroken();
    if (m_wPending != m_wStateWord) {
        m_wStateWord = m_wPending;
        CCircuit* design = GetDesign();
        if (design) {
            DrawTree(design->GetOptions());
            design->SetChanged();
        }
    }
    m_wPending = kNone;
    return IsBroken();
}
