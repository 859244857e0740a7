// A battery, a resistor and a capacitor in a loop, built as the catalogue
// builds parts and joined by straight wires, for the probes to measure.
#pragma once

#include "components/battery.h"
#include "components/capacitor.h"
#include "components/component_kit.h"
#include "components/resistor.h"
#include "measure/probe.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/text_qtapp.h"

#include <gtest/gtest.h>

struct RCBench {
    CCircuit d;
    CBattery* cell = nullptr;
    CResistor* r = nullptr;
    CCapacitor* c = nullptr;
    int lanes = 0;

    RCBench(double volts, double ohms, double farads)
    {
        EnsureTextGuiApp();
        cell = Add<CBattery>(0, 100);
        r = Add<CResistor>(100, 0);
        c = Add<CCapacitor>(100, 200);
        ValueLabelOf(cell)->SetBaseValue(volts);
        ValueLabelOf(r)->SetBaseValue(ohms);
        ValueLabelOf(c)->SetBaseValue(farads);
        Wire(cell->GetTerminal(0), r->GetTerminal(0));
        Wire(r->GetTerminal(1), c->GetTerminal(0));
        Wire(c->GetTerminal(1), cell->GetTerminal(1));
    }

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
    // Down from each end to a lane of its own below the parts, and along it.
    void Wire(CTerminal* a, CTerminal* b)
    {
        const CPoint pa = a->GetOuterEnd(), pb = b->GetOuterEnd();
        const int lane = 2000 + 10 * lanes++;
        Segment(pa, CPoint(pa.x, lane));
        Segment(CPoint(pa.x, lane), CPoint(pb.x, lane));
        Segment(CPoint(pb.x, lane), pb);
    }
    CWire* Segment(CPoint a, CPoint b)
    {
        if (a == b) return nullptr;
        auto* w = new CWire(a, b);
        d.AddChild(w);
        d.JoinAt(w, 0);
        d.JoinAt(w, 1);
        return w;
    }
    // A new probe with its tip on the part's centre, filed in the design.
    CProbe* ProbeOn(CPart* part)
    {
        auto* p = new CProbe(&d, part->GetRect().CenterPoint());
        d.AddChild(p);
        p->ConnectToPart();
        return p;
    }
    void Start(double rate)
    {
        d.ResetRun(0);
        d.SetUpdateRate(rate);
    }
    void Run(int passes)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
};
