// CWaterLevel: the tank of the float switch.  The knob sets the water
// level: position 0 (top) .. 9; reported 7 at the top down to 1 for the
// positions 6 to 9 (7 - min(position, 6)); the initial position is 6.
#pragma once

#include "components/slider.h"

class CWaterLevel : public CSlider {
    WB_DECLARE_SERIAL(CWaterLevel)
public:
    CWaterLevel();
    // The tank from (x - 14, y + 2) to (x + 32, y + 32), operating `operated`.
    CWaterLevel(int x, int y, CPart* operated);

    CRect OnDrag(CPartTree* design, CPoint point) override;
    int Draw(DWORD flags) override;
    int MinPosition() const override { return 0; }
    int MaxPosition() const override { return 9; }
    int GetLevel() const { return 7 - (m_wState < 6 ? m_wState : 6); }
    int GetReported() const override { return GetLevel(); }
};
