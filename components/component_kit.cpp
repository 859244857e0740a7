#include "components/component_kit.h"

#include "components/slider.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "platform/strings.h"
#include "model/display/visual.h"

#include <algorithm>

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

void OrderTerminalsByPicture(CComponent* part)
{
    if (!part->m_pVisual || part->m_terminals.size() < 2) return;
    const CSize size0 = part->m_pVisual->GetSize();
    const double W = size0.cx, H = size0.cy;
    const int o = part->GetOrientation();
    const CRect& r = part->m_rect;
    auto key = [&](CTerminal* t) {
        const CPoint p = t->GetPinPoint() - r.TopLeft();
        // Doubled coordinates about the frame centre turn back exactly.
        const CPoint d(2 * p.x - (r.Width() - 1), 2 * p.y - (r.Height() - 1));
        const CPoint u = TurnPoint(d, CPoint(0, 0), 0, o);
        const double x = (u.x + W - 1) / 2.0, y = (u.y + H - 1) / 2.0;
        const double toRight = W - 1 - x, toBottom = H - 1 - y, toLeft = x, toTop = y;
        const double nearest = std::min({toRight, toBottom, toLeft, toTop});
        if (nearest == toRight) return y;
        if (nearest == toBottom) return H + (W - 1 - x);
        if (nearest == toLeft) return H + W + (H - 1 - y);
        return 2 * H + W + x;
    };
    std::vector<CTerminal*> order = part->m_terminals;
    std::stable_sort(order.begin(), order.end(), [&](CTerminal* a, CTerminal* b) { return key(a) < key(b); });
    SetTerminalOrder(part, order);
}

int TurnKeepingTerminalOrder(CComponent* part, int newCode, int oldCode, int flag, const CPoint* anchor)
{
    const std::vector<CTerminal*> order = part->m_terminals;
    const int result = part->CComponent::SetOrientation(newCode, oldCode, flag, anchor);
    SetTerminalOrder(part, order);
    return result;
}

void SwitchStateChanged(CComponent* part, CPartTree* design, int state)
{
    part->m_wStateWord = static_cast<WORD>(state);
    if (!design) return;
    part->DrawTree(design->GetOptionWord());
    if (auto* root = dynamic_cast<CCircuit*>(design)) root->ControlSimulation(SIM_SWITCH_CHANGED);
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

CSlider* SliderOf(CPart* part)
{
    for (CPart* c = part ? part->GetFirstChild() : nullptr; c; c = c->GetNextSibling())
        if (auto* s = dynamic_cast<CSlider*>(c)) return s;
    return nullptr;
}

void LoadRatingLimits(UINT stringId, std::initializer_list<CRatingLimit> limits)
{
    const CString text = LoadResString(stringId);
    for (const CRatingLimit& l : limits) ParseRatingValue(text, l.key, l.value);
}
