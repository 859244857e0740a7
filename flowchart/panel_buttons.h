// The four push buttons of the flowchart panels, drawn from tiny pictures:
// start and record (beside a start element), submit (an input box's) and
// the "more" arrow.  Each is a key: pressing passes 1 and releasing 0 to
// the part it operates, which decides what the press means.  State 0 up,
// 1 pressed, 2 disabled (the submit button only).  Unlike the switch
// keys, whose part's picture shows the key at rest, a panel button always
// draws its own picture.
#pragma once

#include "components/key.h"

class CFlowStartButton : public CKey {
    WB_DECLARE_SERIAL(CFlowStartButton)
public:
    CFlowStartButton();
    // Beside the owner on the side, offset (-10, -2).
    CFlowStartButton(int side, CPart* owner);
    int Draw(DWORD flags) override;
};

class CFlowRecordButton : public CKey {
    WB_DECLARE_SERIAL(CFlowRecordButton)
public:
    CFlowRecordButton();
    // Beside the owner on the side, offset (-(own width) - 10, -2).
    CFlowRecordButton(int side, CPart* owner);
    int Draw(DWORD flags) override;
};

class CFlowSubmitButton : public CKey {
    WB_DECLARE_SERIAL(CFlowSubmitButton)
public:
    CFlowSubmitButton();
    // At the key's default place beside the owner; starts disabled.
    CFlowSubmitButton(int side, CPart* owner);
    // State 0 when enabled, else 2; redraws with the flags when it changed.
    void SetEnabled(bool enabled, DWORD drawFlags);
    bool IsEnabled() const { return m_wState != 2; }
    // While disabled a press does nothing and a release only answers 1.
    int OnPress(CPartTree* design, int x, int y) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int Draw(DWORD flags) override;
};

class CFlowMoreArrow : public CKey {
    WB_DECLARE_SERIAL(CFlowMoreArrow)
public:
    CFlowMoreArrow();
    // Beside the owner on the side, centred on its height (by the key's
    // placement, so with no offset of its own).
    CFlowMoreArrow(int side, CPart* owner);
    int Draw(DWORD flags) override;
};
