// Test helpers for flowcharts that run on a real microcontroller part: a
// bench that places the real elements, a chip and parts of the component
// library, joins connectors with flowchart wires and pins with electric
// ones, and runs until a stop is reached.
#pragma once

#include "chip_support.h"
#include "flow_start_support.h"
#include "flowchart/flow_stop.h"

struct ChipFlowBench : ChipBench {
    ChipFlowBench() { EnsureGuiApp(); }

    // A flowchart element placed as the Add command places it.
    template <class T>
    T* AddFlow(int x, int y)
    {
        auto* p = new T;
        p->m_rect.SetRect(x, y, x, y);
        p->m_pCircuit = &d;
        p->InitVariant(p->GetRuntimeClass());
        p->Initialise();
        d.AddChild(p);
        p->Drop(&d);
        return p;
    }

    // A flowchart wire (kind 3) between two connectors' outer ends, by an
    // L when they are not in line.
    void Join(CTerminal* a, CTerminal* b)
    {
        const CPoint p = a->GetOuterEnd(), q = b->GetOuterEnd();
        const CPoint corner(p.x, q.y);
        for (auto [from, to] : {std::pair{p, corner}, std::pair{corner, q}}) {
            if (from == to) continue;
            auto* w = new CWire(from, to, WIRE_SHORT_STUB);
            d.AddChild(w);
            d.JoinAt(w, 0);
            d.JoinAt(w, 1);
        }
    }
    // Elements in a column, each output joined to the next one's input.
    void Chain(std::initializer_list<CFlowObject*> elements)
    {
        CFlowObject* last = nullptr;
        for (CFlowObject* e : elements) {
            if (last) Join(last->GetOutputTerminal(), e->GetTerminal(0));
            last = e;
        }
    }
    // Resets (which checks the flowcharts), presses the start and runs at
    // 20 updates per second until the stop is reached; the passes after the
    // press, or -1 when it was not reached within `limit`.
    int RunToStop(CFlowStart* start, CFlowStop* stop, int limit = 400)
    {
        d.ResetRun(0);
        d.SetUpdateRate(20.0);
        Press(start, d);
        for (int passes = 1; passes <= limit; ++passes) {
            Run();
            if (stop->m_bStopped) return passes;
        }
        return -1;
    }
};
