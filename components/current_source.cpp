#include "components/current_source.h"

#include "components/component_kit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CCurrent, "CComponent", 4)

namespace {

// Picture 317: 16 x 24, the arrow pointing at the first pin (top).
CVisual& CurrentVisual()
{
    static CVisual visual(0, 0, 317, 1, 0, 2, 16, 24);
    static const bool ready = (visual.SetOrientationMask(15), visual.SetOffsetRow(16), true);
    (void)ready;
    return visual;
}

} // namespace

CCurrent::CCurrent()
{
    m_pVisual = &CurrentVisual();
    m_nOrientationMask = 15;
    m_model.SetKnee(kVoltageLimit);
}

void CCurrent::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    AddChild(new CValue(1.0, 1.0, ' ', "A", 3, m_rect, 5));
}

double CCurrent::GetCurrent() { return LabelValue(this); }

void CCurrent::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    CTerminal* first = m_terminals[0];
    CTerminal* second = m_terminals[1];
    m->StampTransfer(0.0, GetCurrent(), second, first, second, first);
    m->StampTransfer(m_model.GetSlope(), m_model.GetIntercept(), first, second, first, second);
}

void CCurrent::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 2) return;
    m_model.LimitStep(out, fraction, nodeValues[m_terminals[0]->GetNode()] - nodeValues[m_terminals[1]->GetNode()]);
}

int CCurrent::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_model.Commit();
    return broken;
}
