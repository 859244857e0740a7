// A test bench for the component classes: parts built as the catalogue
// builds them (constructor, then Initialise at a place in a design), joined
// by straight wires between terminal ends, and run pass by pass.
#pragma once

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/text_qtapp.h"

#include <gtest/gtest.h>

#include <cmath>

struct PassiveBench {
    CCircuit d;

    PassiveBench() { EnsureTextGuiApp(); }

    template <class T>
    T* Add(int x, int y)
    {
        auto* p = new T;
        p->m_rect = CRect(x, y, x, y);
        p->m_pCircuit = &d;
        p->Initialise();
        d.AddChild(p);
        p->Drop(&d);
        return p;
    }
    // Wires run straight only: down (or up) from each end to a lane of its
    // own below the parts and along the lane; wires join at their ends alone.
    void Wire(CTerminal* a, CTerminal* b)
    {
        const CPoint pa = a->GetOuterEnd(), pb = b->GetOuterEnd();
        const int lane = 2000 + 10 * m_nLanes++;
        Segment(pa, CPoint(pa.x, lane));
        Segment(CPoint(pa.x, lane), CPoint(pb.x, lane));
        Segment(CPoint(pb.x, lane), pb);
    }
    void Segment(CPoint a, CPoint b)
    {
        if (a == b) return;
        // Lanes share their first column with other lanes from the same
        // terminal: the wires are joined at their ends only, as laid out.
        auto* w = new CWire(a, b);
        d.AddChild(w);
        d.JoinAt(w, 0);
        d.JoinAt(w, 1);
    }
    int m_nLanes = 0;
    void Start(double rate = 5.0)
    {
        // The reset recomputes the rate from the display period; the test's
        // own rate is set after it.
        d.ResetRun(0);
        d.SetUpdateRate(rate);
    }
    void Run(int passes = 1)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
};

// Sets a label's value in base units, shown under its engineering prefix.
inline void SetLabel(CComponent* part, double value)
{
    CValue* v = ValueLabelOf(part);
    ASSERT_NE(v, nullptr);
    v->SetBaseValue(value);
}

inline double Across(CComponent* part, int a = 0, int b = 1)
{
    return part->GetTerminal(a)->GetVoltage() - part->GetTerminal(b)->GetVoltage();
}
