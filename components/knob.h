// CKnob: a drag handle of a mechanism part.  It moves the element that its
// axis id picks along a line: a press holds the element, each drag adds
// the pointer's x movement / 4000 (metres) to its target, the release
// lets it go (AccumulateMotion phases 0, 1, 2).  It answers only while
// animation and View/Handles are on (options 0x80 and 0x100000); the owner
// draws it (DrawOnOwner), so its own Draw draws nothing.
#pragma once

#include "components/toggle.h"

class CKnob : public CToggle {
    WB_DECLARE_SERIAL(CKnob)
public:
    CKnob();
    // 7 x 7 at (x - dx, y - dy), anchor (0, 0).
    CKnob(int x, int y, int dx, int dy, int axis, CPart* operated);

    // The CToggle record, the anchor (x low, y high word, signed), WORD axis.
    void Serialize(CArchive& ar) override;
    int OnPress(CPartTree* design, int x, int y) override;
    CRect OnDrag(CPartTree* design, CPoint point) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int Draw(DWORD) override { return 0; }
    int ShowInfo(CPoint point, CString& bubbleText) override;
    DWORD GetHitClass() override { return 8; }
    int HasInfo(int x, int y) override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;

    // Moves the knob by the change of anchor; 1 when the anchor is unchanged.
    virtual int SetAnchor(CPoint anchor);
    virtual CPoint GetAnchor() const { return m_anchor; }
    // Draws frame = state at the anchor from the operated part's top-left
    // with animation and handles on, and forced or with flag 0x200.
    virtual void DrawOnOwner(DWORD flags, int force);

    int GetAxis() const { return m_nAxis; }
    bool IsHighlighted() const { return (m_wState & 1) != 0; }

    CPoint m_anchor;
    int m_nAxis = 0;

protected:
    static bool HandlesShown(CPartTree* design);
    void Motion(CPartTree* design, int phase, double displacement);
    CPoint m_last;
};

// A signed pair packed in one DWORD: x in the low word, y in the high word.
DWORD PackPair(CPoint p);
CPoint UnpackPair(DWORD packed);
