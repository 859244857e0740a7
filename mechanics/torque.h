// CTorque: a constant torque on a shaft, set in its value label (N m, 0.1
// by default) and turned either way by the property toolbar's two direction
// buttons.  Direction 0 drives the shaft's angle down, direction 1 up.  A
// far travel limit (a diode model whose knee lies at 1e12 rad) stands
// beside the source, so a free shaft is never driven without bound.
#pragma once

#include "mechanics/mech_comp.h"
#include "model/solver/diode_model.h"

class CTorque : public CMechComp {
    WB_DECLARE_SERIAL(CTorque)
public:
    CTorque();

    // The CComponent record, then WORD direction.
    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;

    // Centred on its place, the shaft from the picture's pin, the label.
    int Initialise() override;
    void CreateChildren() override {}
    int Draw(DWORD flags) override;
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    int OnPropertyCommand(int commandId, const CString& text) override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    void ResetSimulation() override;
    int GetKindCode() override { return 5; }

    int GetDirection() const { return m_wDirection; }
    // The label's torque, signed as it acts on the shaft's angle.
    double GetAppliedTorque();
    const CDiodeModel& GetLimit() const { return m_limit; }

    static constexpr int kDirection0 = 36070;
    static constexpr int kDirection1 = 36071;
    static constexpr double kLimitKnee = 1e12;

private:
    WORD m_wDirection = 0;
    CDiodeModel m_limit;
};
