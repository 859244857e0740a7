// CPot: the potentiometer.  Terminals 0 and 1 are the track ends, 2 the
// wiper; a slider beside it sets the wiper position p = 0..20 (the state
// word), so R(0-wiper) = R p / 20 and R(1-wiper) = R (20 - p) / 20 with R
// the value label's value.  At either end of the track the wiper is a link
// to that end rather than an infinite conductance.
#pragma once

#include "model/components/component.h"

class CSlider;

class CPot : public CComponent {
    WB_DECLARE_SERIAL(CPot)
public:
    CPot();

    // The component record; files before version 4 get label type code 10.
    void Serialize(CArchive& ar) override;
    // The terminals, the slider (wiper 10) and the 10 k label.
    void CreateChildren() override;
    int SetInputValue(CPartTree* design, int position) override;
    // The slider's marks, the picture, and when selected the hatched frame
    // around the track's 8-pixel strip only (the slider covers the rest).
    int Draw(DWORD flags) override;
    // Unless quiet (flag 0x80000), whitens the rectangle's outline, where a
    // selection frame of the whole part may have stood, then the base.
    void Deselect(DWORD flags) override;
    // The 8-pixel strip of the track in the present turn: along the left
    // (code 0), top (1), right (2) or bottom (3) edge.
    CRect TrackStrip() const;
    // Turns the terminals in their order and puts label and slider on the
    // sides that suit the new turn.
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void Stamp(CMatrix* matrix) override;
    // The wiper stays where the user put it.
    void ResetState() override {}
    DWORD GetProbeQuantities(int, int) override { return 0x403; }

    int GetWiper() const { return m_wStateWord; }
    static constexpr int kPositions = 20;
};
