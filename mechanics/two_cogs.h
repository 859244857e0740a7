// CTwoCogs: a pair of meshed cog wheels side by side, each on its own
// shaft.  The tooth counts (8, 16, 24 or 40 each) set the ratio link of the
// two-wheel base: with N1 teeth on the left wheel and N2 on the right, the
// pitch circles roll on each other, r1 theta1 = -r2 theta2, so
//     theta1 = -(N2 / N1) theta2.
// Each wheel carries the inertia J = 1.12e-9 (N / 8)^4 kg m^2 of its teeth.
// Wheel 1 is the left wheel, wheel 2 the right one; the wheels' torque
// rings are drawn at terminals 2 and 3.
#pragma once

#include "mechanics/two_wheels.h"

class CTwoCogs : public CTwoWheels {
    WB_DECLARE_SERIAL(CTwoCogs)
public:
    CTwoCogs() = default;

    // The two-wheel record.  An older file (version 3 or lower) resets the
    // part and gives it fresh handles.
    void Serialize(CArchive& ar) override;

    // ---- CPart ----
    int Initialise() override;
    void CreateChildren() override {}
    using CComponent::ApplySettingsText;
    // "N1:N2" rebuilds the pair; other texts go to the component.
    int ApplySettingsText(const CString& text, int flag) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    int OnPropertyCommand(int commandId, const CString& text) override;

    // ---- the gear pair ----
    double Ratio() const override;
    // Half a tooth on, the right wheel's teeth fall between the left one's.
    double RestOffset2() const override { return m_cog2.GetToothAngle() / 2.0; }
    void DrawWheels(CPoint corner, DWORD flags) override;
    // Lays the pair out for the counts (0 means 8; a count that is not a
    // wheel's keeps that wheel) with new terminals and handles.
    int Build(int teeth1, int teeth2);
};
