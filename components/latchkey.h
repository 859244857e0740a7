// CLatchKey: a latching push button.  States: 0 off, 1 on, 2 off and held,
// 3 on and held (the picture frame).  A press only holds it; the release
// latches it the other way and reports 0 or 1.
#pragma once

#include "components/toggle.h"

class CLatchKey : public CToggle {
    WB_DECLARE_SERIAL(CLatchKey)
public:
    CLatchKey();
    // 16 x 14 beside the operated part.
    CLatchKey(int side, CPart* operated);

    // The CToggle record; a state beyond 3 read from a file reads as off.
    void Serialize(CArchive& ar) override;
    int OnPress(CPartTree* design, int x, int y) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int GetLabelPlacements(CLabelPlacement* records) override;
};
