// CClock: a square-ish clock from the simulation steps.  Its output is an
// ideal source at 0 V for three and at the logic supply for two of every
// five accepted steps, so its frequency is the update rate / 5.
#pragma once

#include "model/components/component.h"

class CClock : public CComponent {
    WB_DECLARE_SERIAL(CClock)
public:
    CClock();

    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    int GetKindCode() override { return 5; }

    static constexpr int kPeriodSteps = 5;
    static constexpr int kLowSteps = 3;
    int GetCounter() const { return m_wCounter; }

private:
    WORD m_wCounter = 0;
};
