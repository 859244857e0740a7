#include "components/resistors.h"

#include "components/component_kit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CResistors, "CComponent", 4)

// Ratings text of the pack: 2 W.
constexpr UINT IDS_RESISTORS_RATINGS = 4109;

namespace {

// Picture 4242: 24 x 122, eight pins down each long side.
CVisual& PackVisual()
{
    static CVisual visual(0, 0, 4242, 1, 0, 0, 24, 122);
    static const bool ready = (visual.SetOrientationMask(3), true);
    (void)ready;
    return visual;
}

} // namespace

CResistors::CResistors()
{
    m_pVisual = &PackVisual();
    m_nOrientationMask = 3;
    LoadRatings(IDS_RESISTORS_RATINGS);
}

void CResistors::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    AddChild(new CValue(220.0, 1.0, ' ', " ", 0, m_rect, 5));
}

double CResistors::GetResistance()
{
    const double r = LabelValue(this);
    return r >= kSmallest && r <= 1e30 ? r : (r > 1e30 ? 1e30 : kSmallest);
}

void CResistors::Stamp(CMatrix* m)
{
    if (m_terminals.size() != 2 * kPairs) return;
    const double g = 1.0 / GetResistance();
    for (int i = 0; i < kPairs; ++i) m->StampConductance(g, GetTerminal(i), Facing(i));
}
