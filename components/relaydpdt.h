// CRelayDPDT: a relay with two changeover contacts.  Pins: pole commons 0
// and 1, coil 2 and 3, pole-1 contacts 4 (operated) and 5 (rest), pole-0
// contacts 6 (operated) and 7 (rest).  The coil and its thresholds are the
// single relay's.
#pragma once

#include "components/relayspdt.h"

class CRelayDPDT : public CRelaySPDT {
    WB_DECLARE_SERIAL(CRelayDPDT)
public:
    CRelayDPDT();
    void Stamp(CMatrix* matrix) override;

protected:
    int CoilPin() const override { return 2; }
};
