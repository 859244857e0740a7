// Minimal components for the design-root and controller tests, written on
// the real component base: a resistor, a cell and a diode with two
// horizontal terminals each (pin A on the left, pin B on the right), and a
// recording fake of the view.
#pragma once

#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/solver/diode_model.h"

#include <deque>
#include <vector>

// Two terminals: A at (x, y) pointing left, B at (x + 40, y) pointing right;
// their outer ends are (x - 20, y) and (x + 60, y).  The pins stand
// symmetrically about the centre (x + 20, y), so a half turn swaps them.
class CTestTwoPin : public CComponent {
public:
    void Place(CCircuit* design, int x, int y)
    {
        m_rect.SetRect(x, y - 5, x + 41, y + 6);
        m_pCircuit = design;
        AddTerminal(3, CPoint(x, y));
        AddTerminal(1, CPoint(x + 40, y));
    }
    CTerminal* A() const { return GetTerminal(0); }
    CTerminal* B() const { return GetTerminal(1); }
};

class CTestResistor : public CTestTwoPin {
    WB_DECLARE_SERIAL(CTestResistor)
public:
    void Stamp(CMatrix* m) override { m->StampConductance(1.0 / m_dOhms, A(), B()); }
    double m_dOhms = 1000.0;
};

// value(A) = value(B) + emf: A is the positive pole.  Kind code 1 (a source
// files first among the components).
class CTestCell : public CTestTwoPin {
    WB_DECLARE_SERIAL(CTestCell)
public:
    void Stamp(CMatrix* m) override { m->AddVoltageSource(m_dEmf, A(), B()); }
    int GetKindCode() override { return m_nKind; }
    double m_dEmf = 9.0;
    int m_nKind = 0;
};

// Anode A, cathode B.
class CTestDiode : public CTestTwoPin {
    WB_DECLARE_SERIAL(CTestDiode)
public:
    void Stamp(CMatrix* m) override
    {
        m->StampTransfer(m_model.GetSlope(), m_model.GetIntercept(), A(), B(), A(), B());
    }
    void LimitStep(CState** out, double* fraction, const double* v) override
    {
        m_model.LimitStep(out, fraction, v[A()->GetNode()] - v[B()->GetNode()]);
    }
    int AfterStep() override
    {
        m_model.Commit();
        return CComponent::AfterStep();
    }
    CDiodeModel m_model;
};

// A model that always leaves its segment: every pass would re-solve for ever
// without the cap.
class CRestlessModel : public CState {
public:
    double Update() override { return 0.0; }
};
class CTestRestless : public CTestTwoPin {
    WB_DECLARE_SERIAL(CTestRestless)
public:
    void Stamp(CMatrix* m) override { m->StampConductance(1e-3, A(), B()); }
    void LimitStep(CState** out, double* fraction, const double*) override
    {
        // Offered directly: a fraction of 0.5 every time, no update budget.
        if (*fraction > 0.5) {
            *fraction = 0.5;
            *out = &m_model;
        }
    }
    CRestlessModel m_model;
};

// The scripted view: records what the controller asks and answers from a
// script of inputs.
class CFakeHost : public CSimulationHost {
public:
    bool SetStepTimer(int ms) override
    {
        calls.push_back("set " + std::to_string(ms));
        if (failTimer) return false;
        timerMs = ms;
        return true;
    }
    void KillStepTimer() override
    {
        calls.push_back("kill");
        timerMs = 0;
    }
    bool TakePendingTick() override
    {
        if (!tickDue) return false;
        tickDue = false;
        ++ticksTaken;
        return true;
    }
    Input PeekInput() override
    {
        ++peeks;
        if (inputs.empty()) return Input::kNone;
        if (inputs.front().delay > 0) {
            --inputs.front().delay;
            return Input::kNone;
        }
        return inputs.front().kind;
    }
    void DiscardMouseMove() override
    {
        ++movesDiscarded;
        inputs.pop_front();
    }
    bool IsDragging() override { return dragging; }
    void SetBusyCursor() override { ++busyCursors; }
    void SetStatusText(const CString& s) override { status.push_back(s); }
    void SetBuzzer(bool on) override { buzzer = on; }
    // Hands the waiting input to the view (as the event loop would).
    void ConsumeInput()
    {
        if (!inputs.empty()) inputs.pop_front();
    }

    struct Scripted {
        Input kind;
        int delay; // polls answered "none" before it shows
    };
    std::deque<Scripted> inputs;
    std::vector<std::string> calls;
    std::vector<CString> status;
    int timerMs = 0;
    bool failTimer = false;
    bool tickDue = false;
    bool dragging = false;
    bool buzzer = false;
    int ticksTaken = 0;
    int peeks = 0;
    int movesDiscarded = 0;
    int busyCursors = 0;
};

// A wire between two points, added to the design and joined at both ends.
inline CWire* AddWire(CCircuit& d, CPoint a, CPoint b)
{
    auto* w = new CWire(a, b);
    d.AddChild(w);
    w->Drop(&d);
    return w;
}

template <class T>
T* AddPart(CCircuit& d, int x, int y)
{
    auto* p = new T;
    p->Place(&d, x, y);
    d.AddChild(p);
    p->Drop(&d);
    return p;
}

// A probe that counts its samples and may point at a part.
class CTestRecProbe : public CPart, public CProbeRecorder {
    WB_DECLARE_SERIAL(CTestRecProbe)
public:
    void RecordSample(int step) override { steps.push_back(step); }
    void ConnectToPart() override { ++connects; }
    CPart* GetAttachedPart() override { return attached; }
    std::vector<int> steps;
    int connects = 0;
    CPart* attached = nullptr;
};

// Counts the controller's calls on a component.
class CTestCounting : public CTestResistor {
    WB_DECLARE_SERIAL(CTestCounting)
public:
    void FlushOutput() override { ++flushes; }
    void SetRunning(int flag) override { running = flag; }
    void PrepareStep() override { ++prepares; }
    int flushes = 0;
    int running = -1;
    int prepares = 0;
};
