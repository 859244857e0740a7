#include "components/ecapacitor.h"

#include "model/display/visual.h"
#include "model/text/value.h"

WB_IMPLEMENT_SERIAL(CECapacitor, "CCapacitor", 2)

namespace {
CVisual& ECapacitorPicture()
{
    static CVisual picture(0, 0, 339, 1, 0, 0, 24, 24);
    return picture;
}
} // namespace

CECapacitor::CECapacitor()
{
    m_pVisual = &ECapacitorPicture();
    SetOrientationMask(15);
    m_pVisual->SetOrientationMask(15);
    m_pVisual->SetOffsetRow(1);
    LoadRatings(32);
}

void CECapacitor::CreateChildren()
{
    CreateTerminals(0);
    AddChild(new CValue(1e-4, 1.0, PrefixLetter(2), "F", 3, m_rect, 5));
}

void CECapacitor::InitVariant(const CRuntimeClass* variant)
{
    CCapacitor::InitVariant(variant);
    struct Row {
        const char* name;
        int orientation;
    };
    static const Row kRows[] = {{"CECapacitorU", 0}, {"CECapacitorR", 1}, {"CECapacitorD", 2}};
    int code = 3;
    for (const Row& r : kRows)
        if (variant && variant->IsNamed(r.name)) code = r.orientation;
    SetOrientation(code, m_nOrientation, 0, nullptr);
}
