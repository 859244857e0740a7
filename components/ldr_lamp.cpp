#include "components/ldr_lamp.h"

#include "components/component_kit.h"
#include "components/lamp_slider.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"
#include "model/text/valuevariants.h"

WB_IMPLEMENT_SERIAL(CLDR_Lamp, "CComponent", 3)

namespace {
constexpr UINT IDS_LDR_RATINGS = 36;
constexpr int kOhmsPrefix = 4;
constexpr int kMegaPrefix = 6;

CVisual& LdrLampVisual()
{
    static CVisual visual(0, 0, 228, 3, 0, 0, 28, 24);
    static const bool ready = (visual.SetOrientationMask(1), visual.SetOffsetRow(1), true);
    (void)ready;
    return visual;
}
} // namespace

CLDR_Lamp::CLDR_Lamp()
{
    m_pVisual = &LdrLampVisual();
    m_nOrientationMask = 1;
    LoadRatings(IDS_LDR_RATINGS);
}

void CLDR_Lamp::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    AddChild(new CLamp(-46, 6, this));
    CRect below = m_rect;
    below.OffsetRect(0, 2);
    AddChild(new CFixedValue(1e6, 1.0, 'M', " ", 1, below, 5));
    m_wStateWord = 0;
}

int CLDR_Lamp::SetInputValue(CPartTree*, int b)
{
    CCircuit* design = GetDesign();
    const DWORD flags = design ? design->GetOptions() : 0;
    b = b < 0 ? 0 : b > 20 ? 20 : b;
    if (CValue* label = ValueLabelOf(this)) {
        if (b > 19)
            label->SetNumber(1.0, kMegaPrefix);
        else
            label->SetNumber(400.0 * b + 400.0, kOhmsPrefix);
        label->Draw(flags);
    }
    m_wStateWord = static_cast<WORD>(20 - b);
    Draw(flags);
    if (design) design->ControlSimulation(SIM_SENSOR_CHANGED);
    return 0;
}

int CLDR_Lamp::Draw(DWORD flags)
{
    if (!(flags & OPT_SIMULATE) || !m_pVisual) return CComponent::Draw(flags);
    const int glow = m_wStateWord;
    const CSize size = m_pVisual->GetSize();
    const int variant = GetDrawVariant();
    if (glow == 0) {
        m_pVisual->DrawWhole(m_rect.left, m_rect.top, 2, variant, m_nOrientation);
    } else {
        // The lamp fills from the bottom: glow + 1 rows of the lit frame
        // under the rest of the dark one.
        const int lit = glow + 1 < size.cy ? glow + 1 : size.cy;
        const int dark = size.cy - lit;
        m_pVisual->DrawBitmap(m_rect.left, m_rect.top, 0, variant, CPoint(0, 0), CSize(size.cx, dark),
                              m_nOrientation);
        m_pVisual->DrawBitmap(m_rect.left, m_rect.top, 1, variant, CPoint(0, dark), CSize(size.cx, lit),
                              m_nOrientation);
    }
    return CPartCircuit::Draw(flags);
}

int CLDR_Lamp::FillProperties(CControlItemList& items)
{
    const int r = CComponent::FillProperties(items);
    // The label is fixed: its number and prefix items are shown greyed.
    for (int i = 0; i < 4 && i < items.GetCount(); ++i) items[i].SetFlag2(true);
    return r;
}

void CLDR_Lamp::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    const double r = LabelValue(this);
    if (r > 0.0) m->StampConductance(1.0 / r, GetTerminal(0), GetTerminal(1));
}
