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
    // The supply dialog: whole volts, V+ and the size of V- (0 to 99
    // each).  On OK the op-amp rebuilds its gain stage; returns 65 then,
    // else 0 (also when the part may not be edited in a locked design).
    int EditAdvanced(CPart* owner) override;
    // V+ = positive, V- = -negative; false (nothing changed) when either
    // lies outside 0 to 99.
    bool ApplySupply(int positive, int negative);

    CNumber negative;
    CPart* opamp = nullptr;
};

// The supply dialog's entries: whole volts from 0 to 99, 9 by default.
constexpr int kOpampSupplyMax = 99;
constexpr int kOpampSupplyDefault = 9;
inline bool IsValidOpampSupply(int volts) { return volts >= 0 && volts <= kOpampSupplyMax; }

// Shows the op-amp's supply dialog, provided by the user interface; without
// one the command changes nothing.
class COpampDialogHost {
public:
    virtual ~COpampDialogHost() = default;
    // Both in and out; false when cancelled.
    virtual bool Edit(int* positive, int* negative) = 0;
    static COpampDialogHost* Current();
    static COpampDialogHost* Install(COpampDialogHost* host);
};
