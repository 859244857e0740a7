#include "components/ammeter.h"

#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CAmmeter, "CComponent", 2)

namespace {

// Picture 159: three 24 x 24 frames (A, mA, uA), drawn upright with the
// positive pin on top.
CVisual& AmmeterVisual()
{
    static CVisual visual(2, 1, 159, 3, 0, 0, 24, 24, 336);
    static const bool ready = (visual.SetOrientationMask(75), true);
    (void)ready;
    return visual;
}

constexpr int kAmmeterStrip = 336;

} // namespace

CAmmeter::CAmmeter()
{
    m_pVisual = &AmmeterVisual();
    m_nOrientationMask = 75;
    m_nOrientation = 3;
}

void CAmmeter::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    CreateMeterText(this);
}

void CAmmeter::InitVariant(const CRuntimeClass* variant)
{
    ApplyOrientation(3);
    m_rcPicture.SetRect(-12, 0, 12, 24);
    CComponent::InitVariant(variant);
}

int CAmmeter::GetPropertyBitmap(std::vector<int>& ids, CBitmap*) { return ListMeterOrientationCommands(ids); }

int CAmmeter::GetPropertyBitmap(int) { return kAmmeterStrip; }

void CAmmeter::Stamp(CMatrix* matrix)
{
    if (m_terminals.size() >= 2) matrix->AddLink(m_terminals[0], m_terminals[1]);
}

int CAmmeter::AfterStep()
{
    if (CComponent::AfterStep()) return 1;
    UpdateMeterReading(this, m_ring, m_terminals.empty() ? 0.0 : m_terminals[0]->GetCurrent());
    return 0;
}
