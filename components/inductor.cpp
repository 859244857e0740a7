#include "components/inductor.h"

#include "components/capacitor.h"
#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "platform/archive.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CInductor, "CComponent", 2)

namespace {
CVisual& InductorPicture()
{
    static CVisual picture(0, 0, 319, 1, 0, 0, 8, 24);
    return picture;
}
// Below this change of the coil's energy (joules) a step counts as no change.
constexpr double kNoChange = 5e-19;

// The capacitors at the front of the design's component list.
template <class F>
void ForEachLeadingCapacitor(CCircuit* design, F f)
{
    if (!design) return;
    for (CPart* p = design->GetFirstComponent(); p; p = p->GetNextSibling()) {
        auto* c = dynamic_cast<CCapacitor*>(p);
        if (!c || c->GetKindCode() != 1) break;
        if (f(c)) break;
    }
}
} // namespace

CInductor::CInductor()
{
    m_pVisual = &InductorPicture();
    SetOrientationMask(9);
    m_pVisual->SetOrientationMask(9);
    m_pVisual->SetOffsetRow(1);
    LoadRatings(33);
}

void CInductor::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (!ar.IsStoring() && ar.GetVersion() <= 3 && m_nOrientation == 0) {
        m_rect.OffsetRect(-2, 0);
        m_rcPicture.SetRect(-2, 0, 6, 24);
    }
}

void CInductor::CreateChildren()
{
    CreateTerminals(0);
    CRect beside = m_rect;
    beside.OffsetRect(-2, 0);
    AddChild(new CValue(0.01, 1.0, 'm', "H", 3, beside, 5));
}

void CInductor::InitVariant(const CRuntimeClass*)
{
    SetOrientation(3, m_nOrientation, 0, nullptr);
    m_rcPicture.SetRect(-2, 0, 6, 24);
}

double CInductor::GetInductance() { return LabelValue(this); }

double CInductor::GetVoltage()
{
    if (m_terminals.size() < 2) return 0.0;
    return m_terminals[0]->GetVoltage() - m_terminals[1]->GetVoltage();
}

double CInductor::GetQuantity(int x, int y, int code)
{
    switch (code) {
    case 1:
        return GetVoltage();
    case 2:
        return m_terminals.empty() ? 0.0 : m_terminals[0]->GetCurrent();
    case 0x100: {
        double i = m_model.GetCurrent();
        return 0.5 * GetInductance() * i * i;
    }
    default:
        return 0.0;
    }
}

void CInductor::CheckLink()
{
    if (!m_pCapacitor) return;
    bool found = false;
    ForEachLeadingCapacitor(GetDesign(), [&](CCapacitor* c) { return found = (c == m_pCapacitor); });
    if (!found) m_pCapacitor = nullptr;
}

void CInductor::PrepareStep()
{
    CheckLink();
    CCircuit* design = GetDesign();
    m_model.Prepare(design ? design->GetUpdateRate() : 5.0, GetInductance(), m_pCapacitor != nullptr);
}

void CInductor::Stamp(CMatrix* m)
{
    m->StampTransfer(m_model.GetConductance(), m_model.GetSource(), GetTerminal(0), GetTerminal(1), GetTerminal(0),
                     GetTerminal(1));
}

void CInductor::LimitStep(CState** out, double* fraction, const double* v)
{
    if (m_terminals.size() < 2) return;
    m_model.LimitStep(out, fraction, v[m_terminals[0]->GetNode()] - v[m_terminals[1]->GetNode()]);
}

int CInductor::AfterStep()
{
    CComponent::AfterStep();
    const double i = m_model.AfterStep(GetVoltage());
    CCircuit* design = GetDesign();
    m_energy[design ? design->GetStepIndex() % 10 : 0] = 0.5 * GetInductance() * i * i;
    if (design) design->SetChanged();
    PairWithCapacitor();
    return IsBroken();
}

bool CInductor::PassesOscillationTest(const CCapacitor* cap) const
{
    const CCircuit* design = GetDesign();
    const int step = design ? design->GetStepIndex() : 0;
    int unchanged = 0;
    double previousSum = 0.0;
    int previous = 0;
    for (int i = 1; i <= 10; ++i) {
        const int d = (step + i) % 10;
        const double sum = m_energy[d] + cap->GetEnergy(d);
        if (i >= 2) {
            if (std::fabs(m_energy[previous] - m_energy[d]) < kNoChange) {
                if (++unchanged > 1) return false;
            } else {
                unchanged = 0;
            }
            if (0.6 * previousSum > sum || sum > 1.005 * previousSum) return false;
        }
        previousSum = sum;
        previous = d;
    }
    return true;
}

void CInductor::PairWithCapacitor()
{
    CheckLink();
    if (m_pCapacitor) {
        if (PassesOscillationTest(m_pCapacitor)) {
            m_pCapacitor->m_bTrapezoid = 1;
            return;
        }
        m_pCapacitor->m_bTrapezoid = 0;
        m_pCapacitor = nullptr;
        return;
    }
    ForEachLeadingCapacitor(GetDesign(), [&](CCapacitor* c) {
        if (!PassesOscillationTest(c)) return false;
        m_pCapacitor = c;
        c->m_bTrapezoid = 1;
        return true;
    });
}

void CInductor::ResetSimulation()
{
    m_model.Reset();
    m_pCapacitor = nullptr;
    for (double& e : m_energy) e = 0.0;
}

void CInductor::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    CComponent::DropDeadLinks(gone);
    if (gone.count(m_pCapacitor)) m_pCapacitor = nullptr;
}
