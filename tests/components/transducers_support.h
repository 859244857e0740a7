// The bench of the input transducer, motor, buzzer and signal source
// tests: the switch bench's design, scripted view and mouse, plus the
// readings these tests make.
#pragma once

#include "switches_bench.h"

#include "model/components/terminal.h"

// The resistance a two-terminal part shows: the volts across it over the
// current through it.
inline double OhmsOf(CComponent* part, int a = 0, int b = 1)
{
    const double v = part->GetTerminal(a)->GetVoltage() - part->GetTerminal(b)->GetVoltage();
    return v / part->GetTerminal(a)->GetCurrent();
}

inline double VoltsAcross(CComponent* part, int a = 0, int b = 1)
{
    return part->GetTerminal(a)->GetVoltage() - part->GetTerminal(b)->GetVoltage();
}

// Drags a slider-like control's knob by (dx, dy) from where it rests.
template <class T>
void DragKnob(SwitchBench& b, T* control, CPoint by)
{
    const CPoint grip = control->KnobOrigin() + CPoint(7, 7);
    b.m_pPressed = control;
    control->OnPress(&b.d, grip.x, grip.y);
    control->OnDrag(&b.d, grip + by);
    control->OnRelease(&b.d, grip.x + by.x, grip.y + by.y);
    b.m_pPressed = nullptr;
}

// A view that also records what the controller asks of the sound system.
class CSoundHost : public CScriptedHost {
public:
    void SetBuzzer(bool on) override { buzzer = on; }
    bool buzzer = false;
};
