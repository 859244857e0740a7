// CECapacitor: the electrolytic capacitor, a polarised CCapacitor (terminal
// 0 positive) whose reverse-voltage rating is 3 V.
#pragma once

#include "components/capacitor.h"

class CECapacitor : public CCapacitor {
    WB_DECLARE_SERIAL(CECapacitor)
public:
    CECapacitor();
    void CreateChildren() override;
    // The capacitor's, then the orientation of the catalogue entry:
    // CECapacitorU 0, CECapacitorR 1, CECapacitorD 2, any other 3.
    void InitVariant(const CRuntimeClass* variant) override;
};
