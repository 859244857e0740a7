// The bench of the switch, relay and control tests: real parts built as the
// Add menu builds them (variant, then children) in a design driven by a
// scripted view, cells and loads from the diode tests' kit, and the mouse
// as the canvas view drives it (find the part under the point, press, drag,
// release).
#pragma once

#include "diodes_support.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/explode.h"
#include "model/text_qtapp.h"

#include <gtest/gtest.h>

// A view whose timer always starts; ticks are delivered by Tick().
class CScriptedHost : public CSimulationHost {
public:
    bool SetStepTimer(int ms) override
    {
        timerMs = ms;
        return true;
    }
    void KillStepTimer() override { timerMs = 0; }
    bool TakePendingTick() override { return false; }
    Input PeekInput() override { return Input::kNone; }
    void DiscardMouseMove() override {}
    int timerMs = 0;
};

struct SwitchBench {
    CCircuit d;
    CScriptedHost host;

    SwitchBench()
    {
        EnsureTextGuiApp();
        d.SetOptionBits(OPT_SIMULATE, true);
    }
    template <class T>
    T* Add(int x, int y)
    {
        return AddRealPart<T>(d, x, y);
    }
    // A cell in series with a resistor from a to b (cell + on a's side).
    CDiodesResistor* Feed(CTerminal* a, CTerminal* b, double emf, double ohms, int x, int y)
    {
        auto* cell = AddTestPart<CDiodesCell>(d, x, y);
        auto* r = AddTestPart<CDiodesResistor>(d, x, y + 60);
        cell->emf = emf;
        r->ohms = ohms;
        Join(d, cell->A(), r->A());
        Join(d, r->B(), a);
        Join(d, b, cell->B());
        return r;
    }
    void Start()
    {
        d.ResetRun(0);
        d.SetUpdateRate(5.0);
    }
    // Passes without a view: each runs at once.
    void Run(int passes)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
    // The view's timer: activation sets it; a tick runs one pass.
    void UseHost()
    {
        d.SetHost(&host);
        d.ControlSimulation(SIM_ACTIVATE);
    }
    void Tick() { d.ControlSimulation(SIM_TIMER); }

    // The canvas view's mouse: the part under the point takes the press,
    // the drags and the release.
    CPart* Press(CPoint p)
    {
        CPart* part = d.FindPartAt(p, 64, 1, 0);
        if (part) part->OnMouseDown(&d, p.x, p.y, 0);
        m_pPressed = part;
        return part;
    }
    void Drag(CPoint p)
    {
        if (m_pPressed) m_pPressed->OnDrag(&d, p);
    }
    int Release(CPoint p)
    {
        CPart* part = m_pPressed;
        m_pPressed = nullptr;
        return part ? part->OnRelease(&d, p.x, p.y) : -1;
    }
    int Click(CPoint p)
    {
        Press(p);
        return Release(p);
    }
    CPart* m_pPressed = nullptr;
};

inline double Amps(CDiodesResistor* r) { return r->A()->GetCurrent(); }

// The first child control of a part.
template <class T>
T* ControlOf(CPart* part)
{
    for (CPart* c = part->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* t = dynamic_cast<T*>(c)) return t;
    return nullptr;
}
