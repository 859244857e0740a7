// Test-only helpers for the flowchart elements: two element classes with
// the base behaviour (a step with a chosen run time and error, and a head
// that fires its output on request), a bench design and flowchart wires.
#pragma once

#include "flowchart/flow_object.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

#include <QGuiApplication>

// Text measuring needs a QGuiApplication (offscreen in the tests); made once.
inline bool EnsureGuiApp()
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_flowchart";
        static char* argv[] = {name, nullptr};
        static QGuiApplication* app = new QGuiApplication(argc, argv);
        (void)app;
    }
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// A process element: the base with a run time and an error code that
// Validate reports.
class CTestFlowStep : public CFlowObject {
    WB_DECLARE_SERIAL(CTestFlowStep)
public:
    CTestFlowStep()
    {
        m_pVisual = FlowVisual("CFlowWait");
        m_strCaption = "step";
        m_strMessageTag = m_strCaption;
    }
    double GetRunTime() override { return runTime < 0 ? CFlowObject::GetRunTime() : runTime; }
    int Validate() override
    {
        m_nErrorCode = error;
        return m_nErrorCode;
    }
    double runTime = -1.0; // < 0: the design's flow time step
    int error = kFlowNoError;
};

// A head: its only connector is the output, which Fire() drives for the
// next solve, as a start element does when the run begins.
class CTestFlowHead : public CFlowObject {
    WB_DECLARE_SERIAL(CTestFlowHead)
public:
    CTestFlowHead()
    {
        m_pVisual = FlowVisual("CFlowStart");
        m_strCaption = "head";
        m_strMessageTag = m_strCaption;
    }
    bool IsHead() const override { return true; }
    void SetCurrentElement(CFlowObject* e) override { current = e; }
    void Fire() { m_bFinishing = 1; }
    int AfterStep() override
    {
        const int r = CFlowObject::AfterStep();
        m_bFinishing = 0;
        return r;
    }
    CFlowObject* current = nullptr;
};

struct FlowBench {
    CCircuit d;

    template <class T>
    T* Add(int x, int y)
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
    // A straight flowchart wire (kind 3) between two connectors' outer ends,
    // by an L when they are not in line.
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
    void Reset() { d.ResetRun(0); }
    void Run(int passes = 1)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
};
