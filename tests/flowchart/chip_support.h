// Test-only helpers for the microcontroller part: a bench design with the
// component library's parts joined by straight wires, and chips laid out
// for chosen pin counts.
#pragma once

#include "flowchart/chip.h"
#include "flowchart/meter_message.h"
#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/text/value.h"
#include "model/text_qtapp.h"

#include <gtest/gtest.h>

struct ChipBench {
    CCircuit d;

    ChipBench() { EnsureTextGuiApp(); }

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
    // A chip of a chosen class name and pin counts (the class name keeps
    // the first naming from changing the counts).
    CChip* AddChip(int x, int y, int digital, int analogue, int reset, int outputs)
    {
        auto* c = new CChip;
        c->m_strClassName = "Generic";
        c->m_nClassCode = CHIP_GENERIC;
        c->m_digitalInputs = digital;
        c->m_analogueInputs = analogue;
        c->m_nResetPin = reset;
        c->m_outputs = outputs;
        c->m_rect = CRect(x, y, x, y);
        c->m_pCircuit = &d;
        c->Initialise();
        d.AddChild(c);
        c->Drop(&d);
        return c;
    }
    // Straight wires only: down from each end to a lane of its own below
    // the parts and along it; wires join at their ends alone.
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
        auto* w = new CWire(a, b);
        d.AddChild(w);
        d.JoinAt(w, 0);
        d.JoinAt(w, 1);
    }
    void Start()
    {
        d.ResetRun(0);
        d.SetUpdateRate(5.0);
    }
    void Run(int passes = 1)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
    int m_nLanes = 0;
};

inline void SetResistance(CComponent* r, double ohms)
{
    CValue* v = ValueLabelOf(r);
    ASSERT_NE(v, nullptr);
    v->SetBaseValue(ohms);
}
