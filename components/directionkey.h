// CDirectionKey: a key of two halves.  Pressing the upper half reports 1,
// the lower half 3; a half pressed once stays down (selected), pressed
// again it comes up on release (reporting 0 or 2).
#pragma once

#include "components/toggle.h"

class CDirectionKey : public CToggle {
    WB_DECLARE_SERIAL(CDirectionKey)
public:
    CDirectionKey();
    // 24 x 23 at (x, y), operating `operated`.
    CDirectionKey(int x, int y, CPart* operated);

    // The CToggle record; a state beyond 3 read from a file reads as 0.
    void Serialize(CArchive& ar) override;
    int OnPress(CPartTree* design, int x, int y) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int Draw(DWORD flags) override;

    int m_bRepeat = 0;
};
