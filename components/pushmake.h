// CPushMake: a push-to-make button operated by a key (CKey).  Held, the
// contact is closed (state 1: pins 0 and 1 linked).  A press and release
// that both fall between two steps still close the contact for one step:
// the first change acts at once, a later change within the same step waits
// (the pending value) until the end of that step.
#pragma once

#include "model/components/component.h"

class CPushMake : public CComponent {
    WB_DECLARE_SERIAL(CPushMake)
public:
    CPushMake();
    void CreateChildren() override;
    void InitVariant(const CRuntimeClass* variant) override;
    int SetInputValue(CPartTree* design, int value) override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void UseAlternateLook() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetState() override {}

    // The key value received during the present step, kNone for none.
    static constexpr WORD kNone = 2;
    WORD m_wPending = kNone;

protected:
    // Whether the contact conducts in the present state.
    virtual bool IsClosed() const { return m_wStateWord == 1; }
};
