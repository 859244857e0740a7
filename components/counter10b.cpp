#include "components/counter10b.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

WB_IMPLEMENT_SERIAL(CCounter10B, "CCounter16", 3)

CCounter10B::CCounter10B() : CCounter16(&LogicVisual(224, 1, 40, 120), 10) {}

void CCounter10B::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || GetTerminalCount() < kFirstOutput + m_wModulus) return;
    const int last = kFirstOutput + m_wModulus - 1;
    for (int digit = 0; digit < m_wModulus; ++digit)
        StampLogicLevel(matrix, GetTerminal(last - digit), digit == m_wCount, *design);
}
