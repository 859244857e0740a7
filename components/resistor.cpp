#include "components/resistor.h"

#include "components/component_kit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/valuevariants.h"

WB_IMPLEMENT_SERIAL(CResistor, "CComponent", 2)

namespace {
CVisual& ResistorPicture()
{
    // The alternate look: a real resistor with its colour bands.
    static CVisual real(0, 0, 441, 1, 0, 0, 56, 16);
    static CVisual picture(0, 0, 307, 1, 0, 0, 8, 24, 0, nullptr, &real);
    real.SetOrientationMask(3);
    return picture;
}
} // namespace

CResistor::CResistor()
{
    m_pVisual = &ResistorPicture();
    SetOrientationMask(3);
    m_pVisual->SetOrientationMask(3);
    m_pVisual->SetOffsetRow(1);
    LoadRatings(37);
}

void CResistor::CreateChildren()
{
    CreateTerminals(0);
    if (m_bAlternateLook)
        AddChild(new CDummyValue(680.0, 1.0, ' ', " ", 5));
    else
        AddChild(new CValue(10000.0, 1.0, 'k', " ", 3, m_rect, 5));
}

void CResistor::InitVariant(const CRuntimeClass*)
{
    SetOrientation(1, m_nOrientation, 0, nullptr);
    m_rcPicture.SetRect(-4, 0, 4, 24);
}

double CResistor::GetResistance() { return LabelValue(this); }

void CResistor::Stamp(CMatrix* m)
{
    double r = GetResistance();
    // A label of 0 ohms is a short: an ideal link, not an infinite conductance.
    // (The solver takes links and stamps in their own phases only.)
    if (r == 0.0)
        m->AddLink(GetTerminal(0), GetTerminal(1));
    else
        m->StampConductance(1.0 / r, GetTerminal(0), GetTerminal(1));
}
