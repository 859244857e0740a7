#include "components/component_kit.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

CValue* ValueLabelOf(CComponent* part) { return part ? dynamic_cast<CValue*>(part->GetValueLabel()) : nullptr; }

double LabelValue(CComponent* part, bool scaled)
{
    CValue* v = ValueLabelOf(part);
    if (!v) return 0.0;
    return scaled ? v->GetValue() * v->number.scale : v->GetValue();
}

void SetTerminalOrder(CComponent* part, const std::vector<CTerminal*>& order)
{
    if (order.size() != part->m_terminals.size()) return;
    for (CTerminal* t : order) part->CPart::RemoveChild(t);
    for (CTerminal* t : order) part->AppendChild(t);
    part->m_terminals = order;
}

CPart* FindLightSourceLeftOf(CPart* sensor)
{
    auto* design = sensor ? dynamic_cast<CCircuit*>(sensor->GetCircuit()) : nullptr;
    if (!design) return nullptr;
    const CPoint at = sensor->m_rect.CenterPoint() - CPoint(24, 0);
    for (CPart* p : design->CollectParts(GROUP_COMPONENTS, "CComponent"))
        if (p != sensor && p->CoupleLight(nullptr) == 2 && p->m_rect.PtInRect(at)) return p;
    return nullptr;
}
