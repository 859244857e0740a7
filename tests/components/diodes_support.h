// Test-only helpers for the diode and meter tests: a cell and a resistor
// on the real component base (pins A left, B right), real parts placed and
// wired by their terminals' outer ends, and the exponential diode law the
// model follows.
#pragma once

#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"

#include <cmath>
#include <initializer_list>

class CDiodesTwoPin : public CComponent {
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

class CDiodesResistor : public CDiodesTwoPin {
public:
    void Stamp(CMatrix* m) override { m->StampConductance(1.0 / ohms, A(), B()); }
    double ohms = 1000.0;
};

// value(A) = value(B) + emf.
class CDiodesCell : public CDiodesTwoPin {
public:
    void Stamp(CMatrix* m) override { m->AddVoltageSource(emf, A(), B()); }
    int GetKindCode() override { return 1; }
    double emf = 9.0;
};

template <class T>
T* AddTestPart(CCircuit& d, int x, int y)
{
    auto* p = new T;
    p->Place(&d, x, y);
    d.AddChild(p);
    p->Drop(&d);
    return p;
}

// A real part built as the Add menu builds it: variant, then children.
template <class T>
T* AddRealPart(CCircuit& d, int x, int y)
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

// Joins two terminals' outer ends by an L of two wires (corner at a.x, b.y).
// The legs of one bench may pass over other pins' ends or cross each other
// without meaning a connection, so the wires are joined at their own ends
// only (the drop rules would split or bridge them where they touch).
inline void Join(CCircuit& d, CTerminal* a, CTerminal* b)
{
    const CPoint p = a->GetOuterEnd(), q = b->GetOuterEnd();
    const CPoint corner(p.x, q.y);
    for (auto [from, to] : {std::pair{p, corner}, std::pair{corner, q}}) {
        if (from == to) continue;
        auto* w = new CWire(from, to);
        d.AddChild(w);
        d.JoinAt(w, 0);
        d.JoinAt(w, 1);
    }
}

// A polyline of wires through the points.
inline void Route(CCircuit& d, std::initializer_list<CPoint> points)
{
    const CPoint* prev = nullptr;
    for (const CPoint& p : points) {
        if (prev && *prev != p) {
            auto* w = new CWire(*prev, p);
            d.AddChild(w);
            w->Drop(&d);
        }
        prev = &p;
    }
}

// The diode law the model approximates: I = Is * 2^((v - knee) / 0.0178).
constexpr double kIs = 2.2962e-8;
constexpr double kVStep = 0.0178;
// Largest voltage error of a chord against the exponential (1.53 mV).
constexpr double kChordError = 0.00153;

inline double DiodeVoltageAt(double amps, double knee) { return knee + kVStep * std::log2(amps / kIs); }

// Solves emf = R I + v(I) for the exponential law by bisection on I.
inline double LoopCurrent(double emf, double ohms, double knee)
{
    double lo = kIs, hi = emf / ohms;
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        (ohms * mid + DiodeVoltageAt(mid, knee) > emf ? hi : lo) = mid;
    }
    return 0.5 * (lo + hi);
}
