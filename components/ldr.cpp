#include "components/ldr.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CLDR, "CComponent", 2)

namespace {
constexpr UINT IDS_LDR_RATINGS = 36;

CVisual& LdrVisual()
{
    static CVisual visual(0, 0, 227, 1, 0, 0, 28, 24);
    static const bool ready = (visual.SetOrientationMask(1), visual.SetOffsetRow(1), true);
    (void)ready;
    return visual;
}
} // namespace

CLDR::CLDR()
{
    m_pVisual = &LdrVisual();
    m_nOrientationMask = 1;
    LoadRatings(IDS_LDR_RATINGS);
}

void CLDR::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CLDR::SerializeLinks(CArchive& ar)
{
    CComponent::SerializeLinks(ar);
    if (ar.IsStoring())
        ar.WriteObjectRef(FindLightSourceLeftOf(this));
    else
        ar.ReadObjectRef(RUNTIME_CLASS(CPart));
}

double CLDR::LightConductance()
{
    CPart* source = FindLightSourceLeftOf(this);
    return source ? ConductanceFor(source->GetLightOutput()) : kDarkConductance;
}

// The sources set their light output after each step, so one look-up per
// pass serves every re-solve of it.
void CLDR::PrepareStep() { m_dConductance = LightConductance(); }

void CLDR::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    m->StampConductance(m_dConductance, GetTerminal(0), GetTerminal(1));
}

int CLDR::AfterStep()
{
    const int broken = CComponent::AfterStep();
    if (CCircuit* design = GetDesign()) design->SetChanged();
    return broken;
}

int CLDR::QuerySensorValue(double* value)
{
    *value = 5.0;
    return 1;
}
