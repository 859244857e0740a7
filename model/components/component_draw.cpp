// How a component shows itself: its picture in its orientation, the frame
// its state word chooses while the simulation runs, the broken colours once
// it burnt out, and the hatched selection frame.
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/display/visual.h"

DWORD CComponent::GetDrawFlags() const
{
    const CCircuit* design = GetDesign();
    return design ? design->GetRedrawFlags() : 0;
}

int CComponent::Draw(DWORD flags)
{
    if (m_pVisual) {
        // The state word picks the frame only while the live state is shown
        // (flag 0x4: the simulation is on); a frame the picture lacks shows 0.
        int frame = (flags & 0x4) ? m_wStateWord : 0;
        if (frame >= m_pVisual->GetFrameCount()) frame = 0;
        m_pVisual->DrawWhole(m_rect.left, m_rect.top, frame, GetDrawVariant(), m_nOrientation);
    }
    return CPartCircuit::Draw(flags);
}

int CComponent::DrawSecondPicture(DWORD flags)
{
    if (m_pVisual && m_pVisual->GetFrameCount() > 1)
        m_pVisual->DrawWhole(m_rect.left, m_rect.top, 1, IsBroken() ? 1 : 0, m_nOrientation);
    return CPartCircuit::Draw(flags);
}

void CComponent::Select(DWORD flags)
{
    CPartCircuit::Select(flags);
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling()) c->Select(flags);
}

void CComponent::Deselect(DWORD flags)
{
    CPartCircuit::Deselect(flags);
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling()) c->Deselect(flags);
}
