// CMercury: the thermometer of the thermistor.  Dragging the mercury's top
// sets the temperature: position 1..61 from the top reports 313 K down to
// 253 K (314 - position); the initial position 16 reports 298 K.
#pragma once

#include "components/slider.h"

class CMercury : public CSlider {
    WB_DECLARE_SERIAL(CMercury)
public:
    CMercury();
    // At (x, y), operating `operated`.
    CMercury(int x, int y, CPart* operated);

    CRect OnDrag(CPartTree* design, CPoint point) override;
    int Draw(DWORD flags) override;
    int MinPosition() const override { return 1; }
    int MaxPosition() const override { return 61; }
    CPoint KnobOrigin() const override;
    // Kelvin for the present position.
    int GetTemperature() const { return 314 - m_wState; }
    int GetReported() const override { return GetTemperature(); }
};
