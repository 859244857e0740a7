// Test-only helpers for the microcontroller part: the component bench with
// chips laid out for chosen pin counts.
#pragma once

#include "flowchart/chip.h"
#include "flowchart/meter_message.h"
#include "tests/components/passives_bench.h"

struct ChipBench : PassiveBench {
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
};
