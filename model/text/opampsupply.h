// COpampSupply: the twin supply label of an op-amp, the positive supply in
// the label's own number and the negative one in a second number, each shown
// at one of two proxy rectangles (CDummyPart children) that forward presses
// to the label.
#pragma once

#include "model/text/value.h"

class COpampSupply : public CValue {
    WB_DECLARE_SERIAL(COpampSupply)
public:
    COpampSupply() = default;
    // +9 V (type 3) and -9 V (type 4) for the op-amp part.
    explicit COpampSupply(CPart* opamp);

    // The CValue record (files before version 4: the CPart record and two
    // words p and n), the negative supply, the op-amp as a reference.
    void Serialize(CArchive& ar) override;
    void PlaceLabel(int sideAsked, CPart* part, const CPoint* offset) override;
    int GetLabelPlacements(CLabelPlacement* records) override;
    int Draw(DWORD drawFlags) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    CNumber negative;
    CPart* opamp = nullptr;
};
