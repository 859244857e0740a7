// CMechComp: the base of every mechanism part, a component whose pins are
// mechanical terminals.  It stores nothing of its own; its state word is the
// part's animation frame.  Its rating test looks at its plain electrical
// terminals only (the motor's, the solenoid's): forces and displacements
// are not voltages and currents.
#pragma once

#include "components/knob.h"
#include "mechanics/mech_term.h"
#include "model/components/component.h"

class CArchive;

// A body held by its drag handle: the press holds it where it is (phase 0),
// each drag moves the target by the handle's displacement (phase 1; a
// displacement that is not a number is ignored), the release lets it go
// (phase 2).  While held the part pulls the body to the target.
struct CHandHold {
    int held = 0;
    double target = 0.0;

    void Track(int phase, double displacement, double position);
    void Release() { held = 0; }
};

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
    // The drag handle (knob) child of the given type on an axis, or of any
    // axis for -1; none if there is no such child.
    template <class K = CKnob> K* FindKnob(int axis = -1) const
    {
        for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* k = dynamic_cast<K*>(c); k && (axis < 0 || k->GetAxis() == axis)) return k;
        return nullptr;
    }
    // Deletes every drag handle child; an archive being read forgets them,
    // so a later back reference to one is refused.
    void DropKnobs(CArchive* ar);
    CMechTerm* GetMechTerminal(int i) const { return dynamic_cast<CMechTerm*>(GetTerminal(i)); }
    // The part has at least n terminals and the first n are mechanical (a
    // damaged file may put another kind of terminal in their place).
    bool HasMechTerminals(size_t n) const
    {
        if (m_terminals.size() < n) return false;
        for (size_t i = 0; i < n; ++i)
            if (!GetMechTerminal(static_cast<int>(i))) return false;
        return true;
    }
    // The animation frame (the state word).
    WORD GetFrame() const { return m_wStateWord; }
    void SetFrame(WORD frame) { m_wStateWord = frame; }

    // Parts that draw themselves whole as they move.  DrawMoving with flag 1
    // is a full repaint; with flag 0, the redraw after a step, the picture is
    // composed off-screen over the part and copied in one blit, so it does
    // not flicker (the buffer is drawn in canvas coordinates through its
    // window origin), and the wires joined to the part go back on top.
    // DrawMovingBody draws the picture; the terminals follow it (a buffer
    // starts blank, so their stubs go back in with the marks).
    void DrawMoving(int flag, DWORD flags);

protected:
    virtual void DrawMovingBody(DWORD) {}
    // Draw of such a part: the terminals show the selection, the part is
    // repainted, and a selected part gets its hatched frame round `frame`.
    int DrawMovingPart(DWORD flags, const CRect& frame);
};
