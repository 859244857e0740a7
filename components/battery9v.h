// CBattery9V: the 9 V battery, a battery in its alternate look (the snap
// terminals picture) whose second terminal is the positive pole.
#pragma once

#include "components/battery.h"

class CBattery9V : public CBattery {
    WB_DECLARE_SERIAL(CBattery9V)
public:
    CBattery9V();
    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
    CTerminal* GetReferenceTerminal() override { return GetFirstTerminal(); }
};
