// CAmmeter: an ideal link between its two terminals (no voltage drop), so
// the current it reads is the branch current of the wire it stands in.
// Its CMeter child shows the RMS of the last samples or the present value;
// the state word is the range (0 A, 1 mA, 2 uA) and the picture frame.
#pragma once

#include "components/meter_ring.h"

class CAmmeter : public CComponent {
    WB_DECLARE_SERIAL(CAmmeter)
public:
    CAmmeter();

    // Terminals, then the " 0.00" readout on the left.
    void CreateChildren() override;
    // Orientation 3, picture rect (-12, 0, 12, 24).
    void InitVariant(const CRuntimeClass* variant) override;
    // The 32 x 32 strip of the orientation images.
    int GetPropertyBitmap(int id) override;
    // The four orientation commands of a meter (codes 0, 1, 6 and 3).
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;

    const CMeterRing& Ring() const { return m_ring; }

private:
    CMeterRing m_ring;
};
