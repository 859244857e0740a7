// A battery, a resistor and a capacitor in a loop, built as the catalogue
// builds parts and joined by straight wires, for the probes to measure.
#pragma once

#include "components/battery.h"
#include "components/capacitor.h"
#include "components/resistor.h"
#include "measure/probe.h"
#include "tests/components/passives_bench.h"

struct RCBench : PassiveBench {
    CBattery* cell = nullptr;
    CResistor* r = nullptr;
    CCapacitor* c = nullptr;

    RCBench(double volts, double ohms, double farads)
    {
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

    // A new probe with its tip on the part's centre, filed in the design.
    CProbe* ProbeOn(CPart* part)
    {
        auto* p = new CProbe(&d, part->GetRect().CenterPoint());
        d.AddChild(p);
        p->ConnectToPart();
        return p;
    }
};
