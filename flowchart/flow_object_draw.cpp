#include "flowchart/flow_object.h"

#include "model/display/visual.h"

int CFlowObject::Draw(DWORD flags)
{
    if (m_pVisual) {
        int frame = ((flags & 0x4) || m_wStateWord == FLOW_LOOK_ERROR) ? static_cast<int>(m_wStateWord) : static_cast<int>(FLOW_LOOK_IDLE);
        if (frame >= m_pVisual->GetFrameCount()) frame = FLOW_LOOK_IDLE;
        m_pVisual->DrawWhole(m_rect.left, m_rect.top, frame, GetDrawVariant(), m_nOrientation);
    }
    return CPartCircuit::Draw(flags);
}
