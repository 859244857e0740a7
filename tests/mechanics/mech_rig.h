// A design to run mechanism tests in: parts dropped where the test says,
// wires drawn between terminals round one corner, solver passes run.
#pragma once

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"

#include <utility>

struct MechRig {
    CCircuit d;

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
    // A wire of the kind from a to b round a corner: down (or up) first, or
    // across first.
    void WireAt(CPoint a, CPoint b, int kind, bool horizontalFirst = false)
    {
        const CPoint corner = horizontalFirst ? CPoint(b.x, a.y) : CPoint(a.x, b.y);
        for (auto [p, q] : {std::pair{a, corner}, std::pair{corner, b}}) {
            if (p == q) continue;
            auto* w = new CWire(p, q);
            w->m_nKind = kind;
            d.AddChild(w);
            d.JoinAt(w, 0);
            d.JoinAt(w, 1);
        }
    }
    // A wire from one terminal's end to another's, of the first one's kind
    // unless the test names one.
    void Wire(CTerminal* from, CTerminal* to, int kind = -1, bool horizontalFirst = false)
    {
        WireAt(from->GetOuterEnd(), to->GetOuterEnd(), kind < 0 ? from->GetKind() : kind, horizontalFirst);
    }
    void Start(double rate)
    {
        d.ResetRun(0);
        d.SetUpdateRate(rate);
        d.RenumberNodes();
    }
    void Run(int steps)
    {
        for (int i = 0; i < steps; ++i) d.RunSolverPass();
    }
};
