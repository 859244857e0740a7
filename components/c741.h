// C741: the operational amplifier as three CTriState stages.
//   input stage: -64/3 x 12.5 per volt of (V+in - V-in) inside +-0.08 V, flat
//     beyond (a transconductance-like front end);
//   gain stage: a first-order lag of the input stage's value with the
//     coefficient k = 0.0032 x update rate, clipped at the swing s (the
//     supply half-span less 2 V) over 75 ohm;
//   output stage: 75 ohm with a 25 mA current limit.
// Open-loop gain 20000 (75 x (64/3) / 0.08), output within 2 V of each rail.
// The supply comes from the COpampSupply label child (V+ and V-).
#pragma once

#include "model/components/component.h"

class COpampSupply;

class C741 : public CComponent {
    WB_DECLARE_SERIAL(C741)
public:
    C741();

    void CreateChildren() override;
    void SerializeLinks(CArchive& ar) override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    // Rebuilds the gain stage from the supply label.
    int SetInputValue(CPartTree* design, int value) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    int OnPropertyCommand(int commandId, const CString& text) override;
    // The triangle with IEC analogue symbols off, else the IEC box.
    int Draw(DWORD flags) override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    int GetKindCode() override { return 8; }
    // V+ and V- of the supply label.
    int GetSupplyRails(double* high, double* low) override;

    enum Pin { kInverting, kNonInverting, kOutput, kPins };
    static constexpr double kOutputOhms = 75.0;

    COpampSupply* GetSupplyLabel() const;
    // V+ above and V- below a lying op-amp, V+ right and V- left of a
    // standing one.
    void PlaceSupplyLabel();
    double GetSwing() const { return m_dSwing; }
    // The lag coefficient of the present update rate.
    double LagCoefficient() const;

private:
    CTriState m_input;
    CTriState m_gain;
    CTriState m_output;
    double m_dPreviousGain = 0.0;
    double m_dMidTerm = 0.0;
    double m_dSwing = 7.0;
};
