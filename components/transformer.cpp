#include "components/transformer.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"
#include "model/text/value.h"

WB_IMPLEMENT_SERIAL(CTransformer, "CComponent", 3)

namespace {
CVisual& TransformerPicture()
{
    static CVisual picture(0, 0, 320, 1, 0, 0, 28, 24);
    return picture;
}
// Magnetising inductance (henries).
constexpr double kMagnetising = 10.0;
} // namespace

CTransformer::CTransformer()
{
    m_pVisual = &TransformerPicture();
    SetOrientationMask(3);
    m_pVisual->SetOrientationMask(3);
    m_pVisual->SetOffsetRow(2);
    LoadRatings(34);
}

void CTransformer::Serialize(CArchive& ar) { CComponent::Serialize(ar); }

void CTransformer::CreateChildren()
{
    CreateTerminals(0);
    // The picture's pins by side: the n-turn winding's two on the left edge,
    // the one-turn winding's two on the right edge, each top first.
    if (m_terminals.size() == 4) {
        CTerminal* const* t = m_terminals.data();
        SetTerminalOrder(this, {t[2], t[0], t[1], t[3]});
    }
    auto* one = new CText("1", 3, this);
    AddChild(one);
    AddChild(new CValue(20.0, 1.0, ' ', ":", 3, one->m_rect, 5));
}

int CTransformer::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    // The windings keep their terminals whatever the turn.
    const std::vector<CTerminal*> order = m_terminals;
    const int before = m_nOrientation;
    int result = CComponent::SetOrientation(newCode, oldCode, flag, anchor);
    SetTerminalOrder(this, order);
    if (before != m_nOrientation && m_nOrientation == 1)
        for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
            if (!c->IsInert() && !dynamic_cast<CTerminal*>(c)) c->Offset(12, 0);
    return result;
}

double CTransformer::GetRatio() { return LabelValue(this); }

void CTransformer::PrepareStep()
{
    CCircuit* design = GetDesign();
    m_model.Prepare(design ? design->GetUpdateRate() : 5.0, kMagnetising, false);
}

void CTransformer::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 4) return;
    CTerminal *t0 = m_terminals[0], *t1 = m_terminals[1], *t2 = m_terminals[2], *t3 = m_terminals[3];
    const double n = GetRatio();
    m->StampConductance(1.0, t1, t2);
    m->StampConductance(n * n, t0, t3);
    m->StampTransfer(-n, 0.0, t1, t2, t0, t3);
    m->StampTransfer(-n, 0.0, t0, t3, t1, t2);
    m->StampTransfer(m_model.GetConductance(), m_model.GetSource(), t1, t2, t1, t2);
}

int CTransformer::AfterStep()
{
    CComponent::AfterStep();
    if (CCircuit* design = GetDesign()) design->SetChanged();
    if (m_terminals.size() >= 3) m_model.AfterStep(m_terminals[1]->GetVoltage() - m_terminals[2]->GetVoltage());
    return IsBroken();
}

void CTransformer::ResetSimulation()
{
    m_model.Reset();
    ResetState();
}

int CTransformer::FillProperties(CControlItemList& items)
{
    CComponent::FillProperties(items);
    items.SetItemText(36057, ": 1", 30);
    return 0;
}
