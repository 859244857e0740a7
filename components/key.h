// CKey: a momentary key.  Pressed it reports 1, released 0.
#pragma once

#include "components/toggle.h"

class CKey : public CToggle {
    WB_DECLARE_SERIAL(CKey)
public:
    CKey();
    // As the lever, with the key picture; PlaceLabel adds 2 pixels in x.
    CKey(int side, CPart* operated, int alternateLook);

    int OnPress(CPartTree* design, int x, int y) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    void PlaceLabel(int side, CPart* part, const CPoint* offset) override;
};
