// A design of 200 parts for the canvas benchmarks and pictures: a supply
// rail, 198 resistors in series in rows of 11 (each row's end wired down
// and back to the next row's start) and an earth, built as the catalogue
// builds parts and joined by dropping straight wires between terminal ends.
#pragma once

#include "components/component_kit.h"
#include "components/earth.h"
#include "components/resistor.h"
#include "components/voltrail.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"

#include <memory>

class CDesign200 {
public:
    static constexpr int kColumns = 11;
    static constexpr int kResistors = 198;

    CDesign200() : design(std::make_unique<CCircuit>())
    {
        design->SetPageRect(0, 0, 1600, 1400);
        CTerminal* last = nullptr;
        auto* rail = Add<CVoltRail>(40, 40);
        last = rail->GetTerminal(0);
        for (int i = 0; i < kResistors; ++i) {
            const int row = i / kColumns, col = i % kColumns;
            auto* r = Add<CResistor>(96 + col * 112, 96 + row * 64);
            Join(last, r->GetTerminal(0), 96 + row * 64 - 24);
            last = r->GetTerminal(1);
        }
        auto* earth = Add<CEarth>(96 + kColumns * 112, 96 + (kResistors / kColumns) * 64);
        Join(last, earth->GetTerminal(0), 96 + (kResistors / kColumns) * 64 - 24);
    }

    CCircuit* Get() const { return design.get(); }
    std::unique_ptr<CCircuit> design;

private:
    template <class T>
    T* Add(int x, int y)
    {
        auto* p = new T;
        p->m_rect = CRect(x, y, x, y);
        p->m_pCircuit = design.get();
        p->Initialise();
        design->AddChild(p);
        p->Drop(design.get());
        return p;
    }
    // Straight when the ends line up; else down (or up) to a lane, along it
    // and on to the other end.
    void Join(CTerminal* a, CTerminal* b, int lane)
    {
        const CPoint pa = a->GetOuterEnd(), pb = b->GetOuterEnd();
        if (pa.y == pb.y) {
            Segment(pa, pb);
            return;
        }
        Segment(pa, CPoint(pa.x, lane));
        Segment(CPoint(pa.x, lane), CPoint(pb.x, lane));
        Segment(CPoint(pb.x, lane), pb);
    }
    void Segment(CPoint a, CPoint b)
    {
        if (a == b) return;
        auto* w = new CWire(a, b);
        design->AddChild(w);
        w->Drop(design.get());
    }
};
