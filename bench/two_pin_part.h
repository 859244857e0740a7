// A bare two-pin component for the benchmarks: a body 40 units long between
// its two terminals, stamping nothing of its own.
#pragma once

#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"

class BenchTwoPin : public CComponent {
public:
    void Place(CCircuit* d, int x, int y)
    {
        m_rect.SetRect(x, y - 5, x + 41, y + 6);
        m_pCircuit = d;
        AddTerminal(3, CPoint(x, y));
        AddTerminal(1, CPoint(x + 40, y));
    }
    CTerminal* A() const { return GetTerminal(0); }
    CTerminal* B() const { return GetTerminal(1); }
};
