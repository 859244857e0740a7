// A picture-only part: the page mark at the top left of the page. It
// takes part in nothing but selection, moving and deletion.
#pragma once

#include "model/parts/part.h"

class CSpecial : public CPart {
    WB_DECLARE_SERIAL(CSpecial)
public:
    // At (4, 4), the size of its picture.
    CSpecial();
    int IsDesignItem() override { return 1; }
    // The picture at the part's top left, then the selection frame.
    int Draw(DWORD flags) override;
};
