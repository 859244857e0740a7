// CPhotoQ: the phototransistor.  No base pin: light from its slider (0 full
// light to 20 dark) sets a photocurrent of 2 mA down to 0.1 mA (0.1 uA in
// the dark), a hundredth of which flows into the internal base, so the
// collector carries about the photocurrent.  Pins: collector, emitter.  The
// state word is the darkness (20 - slider position) and survives a reset.
#pragma once

#include "components/base_node_transistor.h"
#include "model/components/component.h"

class CPhotoQ : public CComponent {
    WB_DECLARE_SERIAL(CPhotoQ)
public:
    CPhotoQ();

    // The terminals, the light slider (when the program has one) and the
    // photocurrent label; dark to start with.
    void CreateChildren() override;
    // The internal base node number, then the models.
    void Serialize(CArchive& ar) override;
    void AssignInternalNodes(uint16_t* nextNode) override;
    // The slider's position b (0-20): photocurrent label, darkness, and the
    // controller's "sensor changed".
    int SetInputValue(CPartTree* design, int position) override;
    void ResetState() override {}
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    // Dark rows rising from the bottom as the light falls.
    int Draw(DWORD flags) override;

    // The photocurrent in amperes (the label's value).
    double GetPhotocurrent();
    CTerminal* Collector() const { return GetTerminal(0); }
    CTerminal* Emitter() const { return GetTerminal(1); }
    uint16_t GetBaseNode() const { return m_wBase; }
    CBaseNodeTransistor& Transistor() { return m_q; }

    static constexpr int kDark = 20;
    // Share of the photocurrent that reaches the base.
    static constexpr double kBaseShare = 0.01;

private:
    uint16_t m_wBase = 0;
    CBaseNodeTransistor m_q;
};
