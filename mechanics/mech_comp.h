// CMechComp: the base of every mechanism part, a component whose pins are
// mechanical terminals.  It stores nothing of its own; its state word is the
// part's animation frame.  Its rating test looks at its plain electrical
// terminals only (the motor's, the solenoid's): forces and displacements
// are not voltages and currents.
#pragma once

#include "mechanics/mech_term.h"
#include "model/components/component.h"

class CMechComp : public CComponent {
    WB_DECLARE_SERIAL(CMechComp)
public:
    CMechComp() = default;

    int GetPartKind() override { return 2; }
    // Plain electrical terminals (kind 0) only.
    bool IsRatedTerminal(const CTerminal* t) const override;
    // The first plain electrical terminal, or none: the design's reference
    // net is the electrical 0 V, and a shaft or slider put on it would be
    // tied to the frame.
    CTerminal* GetReferenceTerminal() override;
    // Animation frame 0, and the terminals' positions restart with the
    // motion models' re-based displacements.
    void ResetSimulation() override;
    void ResetState() override {}
    // The picture's pin cells, each a mechanical terminal (DescribePin).
    void CreateTerminals(int flags) override;
    // A resize handle of the part is dragged: AttachMechanism with the
    // handle's anchor (x, or y for a vertical handle, from the part's
    // corner) and the movement in pixels; 0 when the part clipped it.
    int TrackHandle(CPartTree* design, CPoint point) override;

    // ---- virtual operations of the mechanism part ----
    virtual int QueryDefault144() { return 0; }
    // A mechanical terminal with a new node of the design, a child of the part.
    virtual CMechTerm* AddMechTerminal(const CMechPin& pin);
    // The terminal a pin cell becomes: a shaft with force marks, anchored
    // at the pin, unless the part says otherwise.
    virtual CMechPin DescribePin(int side, CPoint pin);

    // ---- plain operations ----
    CMechTerm* GetMechTerminal(int i) const { return dynamic_cast<CMechTerm*>(GetTerminal(i)); }
    // The animation frame (the state word).
    WORD GetFrame() const { return m_wStateWord; }
    void SetFrame(WORD frame) { m_wStateWord = frame; }
};
