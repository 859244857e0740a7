#include "components/thermistor.h"

#include "components/component_kit.h"
#include "components/mercury.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/valuevariants.h"

WB_IMPLEMENT_SERIAL(CThermistor, "CComponent", 3)

namespace {
constexpr UINT IDS_THERMISTOR_RATINGS = 46;

CVisual& ThermistorVisual()
{
    static CVisual visual(0, 0, 313, 1, 0, 0, 24, 24);
    static const bool ready = (visual.SetOrientationMask(1), visual.SetOffsetRow(1), true);
    (void)ready;
    return visual;
}
} // namespace

CThermistor::CThermistor()
{
    m_pVisual = &ThermistorVisual();
    m_nOrientationMask = 1;
    LoadRatings(IDS_THERMISTOR_RATINGS);
}

void CThermistor::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    AddChild(new CMercury(m_rect.left - 60, m_rect.top - 28, this));
    AddChild(new CThermValue(15000.0, 1.0, 'k', " ", 1, m_rect, 5));
}

int CThermistor::SetInputValue(CPartTree*, int kelvin)
{
    CCircuit* design = GetDesign();
    if (CValue* label = ValueLabelOf(this)) label->SetScale(ScaleAt(kelvin), design ? design->GetOptions() : 0);
    if (design) design->ControlSimulation(SIM_SENSOR_CHANGED);
    return 0;
}

void CThermistor::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    const double r = LabelValue(this, true);
    if (r > 0.0) m->StampConductance(1.0 / r, GetTerminal(0), GetTerminal(1));
}
