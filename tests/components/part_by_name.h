// A part of a class given by name, built as the Add menu builds it (variant,
// then children), placed at (x, y) and dropped into the design.
#pragma once

#include "model/circuit/circuit.h"
#include "model/components/component.h"

// With alternateLook the part takes its other look first, as the view does.
inline CComponent* AddPartByName(CCircuit& d, const char* className, int x, int y, bool alternateLook = false)
{
    auto* p = dynamic_cast<CComponent*>(CRuntimeClass::CreateObject(className));
    if (!p) return nullptr;
    p->m_rect.SetRect(x, y, x, y);
    p->m_pCircuit = &d;
    if (alternateLook) p->UseAlternateLook();
    p->InitVariant(p->GetRuntimeClass());
    p->Initialise();
    d.AddChild(p);
    p->Drop(&d);
    return p;
}
