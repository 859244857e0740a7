// CVoltmeter: reads V(terminal 0) - V(terminal 1) and stamps nothing (an
// ideal voltmeter draws no current).  Readout and range as the ammeter's.
#pragma once

#include "components/meter_ring.h"

class CVoltmeter : public CComponent {
    WB_DECLARE_SERIAL(CVoltmeter)
public:
    CVoltmeter();

    void CreateChildren() override;
    void InitVariant(const CRuntimeClass* variant) override;
    DWORD GetProbeQuantities(int x, int y) override { return 1; }
    // 1: the voltage across the meter; anything else 0.
    double GetQuantity(int x, int y, int code) override;
    int CanProbeAt(int x, int y) override { return 1; }
    int GetPropertyBitmap(int id) override;
    // The four orientation commands of a meter (codes 0, 1, 6 and 3).
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int AfterStep() override;

    const CMeterRing& Ring() const { return m_ring; }

private:
    CMeterRing m_ring;
};
