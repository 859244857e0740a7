// CSPST: a single-pole on/off switch operated by a lever (CToggle).  The
// contact state is the state word (0 open, 1 closed), which is also the
// picture frame; a closed contact is an ideal link of the solver, an open
// one stamps nothing.  The state survives a simulation reset.  CSPDT,
// CDPST and CDPDT build on it.
#pragma once

#include "model/components/component.h"

class CSPST : public CComponent {
    WB_DECLARE_SERIAL(CSPST)
public:
    CSPST();
    void CreateChildren() override;
    void InitVariant(const CRuntimeClass* variant) override;
    // state = value; redraws; tells the controller a switch changed.
    int SetInputValue(CPartTree* design, int value) override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void Stamp(CMatrix* matrix) override;
    void ResetState() override {}
    // Also takes the large picture, when the class has one.
    void UseAlternateLook() override;

protected:
    // Terminals in pin order and the lever below (above in the alternate look).
    void CreateWithLever();
    void Link(CMatrix* m, int a, int b);
};
