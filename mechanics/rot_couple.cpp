#include "mechanics/rot_couple.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CMechRotCouple, "CMechComp", 1)

namespace {

// 20 x 20: a shaft from the right and one from below meet in a block.
CVisual& CoupleVisual()
{
    static CVisual visual(0, 0, 400, 1, 0, 0, 20, 20);
    static const bool ready = (visual.SetOrientationMask(0xFF), true);
    (void)ready;
    return visual;
}

} // namespace

CMechRotCouple::CMechRotCouple() { m_pVisual = &CoupleVisual(); }

void CMechRotCouple::CreateChildren()
{
    if (!m_terminals.empty()) return;
    m_rect.OffsetRect(-10, -10);
    CreateTerminals(0);
}

void CMechRotCouple::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    m->AddLink(GetTerminal(0), GetTerminal(1));
}
