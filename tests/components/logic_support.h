// Test-only helpers for the logic parts: a bench design with a chosen logic
// family, real parts placed so that one of their pins meets a given point,
// straight wires, and a one-pin test source at any voltage.
#pragma once

#include "diodes_support.h"

#include <vector>

// value(pin) = volts; one pin on the right side.
class CLogicTestSource : public CComponent {
public:
    void Place(CCircuit* design, int x, int y)
    {
        m_rect.SetRect(x - 8, y - 4, x + 1, y + 5);
        m_pCircuit = design;
        AddTerminal(1, CPoint(x, y));
    }
    void Stamp(CMatrix* m) override { m->AddVoltageSource(volts, GetTerminal(0), nullptr); }
    int GetKindCode() override { return 5; }
    double volts = 0.0;
};

struct LogicBench {
    CCircuit d;

    explicit LogicBench(int family = 0, double supply = 5.0) { d.SetLogicFamily(family, supply, 1); }

    // A real part built as the Add menu builds it, then moved so that the
    // outer end of its terminal `pin` lies at `at`.
    template <class T>
    T* AddMeeting(int pin, CPoint at)
    {
        auto* p = new T;
        p->m_rect.SetRect(0, 0, 0, 0);
        p->m_pCircuit = &d;
        p->InitVariant(p->GetRuntimeClass());
        p->Initialise();
        const CPoint end = p->GetTerminal(pin)->GetOuterEnd();
        p->Offset(at.x - end.x, at.y - end.y);
        d.AddChild(p);
        p->Drop(&d);
        return p;
    }

    template <class T>
    T* AddAt(int x, int y)
    {
        return AddRealPart<T>(d, x, y);
    }

    // A test source whose pin's outer end is joined by a straight wire
    // 40 pixels long to the outer end of `to`.
    CLogicTestSource* SourceTo(CTerminal* to, double volts = 0.0)
    {
        const CPoint q = to->GetOuterEnd();
        const int dx = to->GetSide() == 3 ? -40 : to->GetSide() == 1 ? 40 : 0;
        const int dy = to->GetSide() == 0 ? -40 : to->GetSide() == 2 ? 40 : 0;
        auto* s = new CLogicTestSource;
        s->Place(&d, q.x + dx - 4, q.y + dy);
        d.AddChild(s);
        s->Drop(&d);
        s->volts = volts;
        Join(d, s->GetTerminal(0), to);
        return s;
    }

    // A free test source with its pin at (x, y).
    CLogicTestSource* SourceAt(int x, int y, double volts = 0.0)
    {
        auto* s = new CLogicTestSource;
        s->Place(&d, x, y);
        d.AddChild(s);
        s->Drop(&d);
        s->volts = volts;
        return s;
    }

    // A logic input part wired to `to` the same way.
    template <class In>
    In* InputTo(CTerminal* to)
    {
        const CPoint q = to->GetOuterEnd();
        const int dx = to->GetSide() == 3 ? -40 : to->GetSide() == 1 ? 40 : 0;
        const int dy = to->GetSide() == 0 ? -40 : to->GetSide() == 2 ? 40 : 0;
        In* in = AddMeeting<In>(0, CPoint(q.x + dx, q.y + dy));
        Join(d, in->GetTerminal(0), to);
        return in;
    }

    void Reset() { d.ResetRun(0); }
    void Run(int passes = 1)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
    double Supply() const { return d.GetLogicSupplyVoltage(); }
};

// The logic families the tests run through: (family, supply).
struct LogicFamilyCase {
    int family;
    double supply;
};
inline const std::vector<LogicFamilyCase>& LogicFamilies()
{
    static const std::vector<LogicFamilyCase> cases = {{0, 5.0}, {1, 5.0}, {1, 9.0}, {2, 12.0}, {2, 3.0}};
    return cases;
}
