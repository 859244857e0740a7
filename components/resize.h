// CResize: the resize handle of a resizable part: a 12 x 12 grip around an
// anchor point of the operated part.  Dragged (with animation on and the
// design editable) it moves in whole multiples of the grid step times its
// grid multiple, along x (mode 1) or y (mode 0), and asks the operated part
// to follow (TrackHandle); the part is taken out of the design for the drag
// and dropped back on release.  The owner draws it (DrawHandle).
#pragma once

#include "components/toggle.h"

class CResize : public CToggle {
    WB_DECLARE_SERIAL(CResize)
public:
    enum Mode { kVertical = 0, kHorizontal = 1 };

    CResize();
    // Anchor (x, y) from the operated part's top-left; the grip starts at
    // (x - dx - 4, y - dy - 4).
    CResize(int x, int y, int dx, int dy, CPart* operated, int gridMultiple, int mode);

    // The CToggle record, the anchor packed in a DWORD, WORD grid multiple
    // (a multiple of 0 read from a file counts as 1).
    void Serialize(CArchive& ar) override;
    int OnPress(CPartTree* design, int x, int y) override;
    CRect OnDrag(CPartTree* design, CPoint point) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int Draw(DWORD) override { return 0; }
    int ShowInfo(CPoint point, CString& bubbleText) override;
    int HasInfo(int x, int y) override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;

    // Re-places the grip from the operated part's top-left and the anchor.
    virtual void Place();
    virtual void MoveAnchor(CPoint anchor) { m_anchor = anchor; }
    virtual void SetMode(int mode) { m_nMode = mode; }
    // Draws the handle (animation on) at the grip's middle.
    virtual void DrawHandle(DWORD flags);

    int GetGridMultiple() const { return m_wGridMultiple; }
    bool IsDragging() const { return m_bDragging; }
    // The snapped movement (pixels along the handle's axis) that the
    // operated part is asked to follow during its TrackHandle.
    int GetMovement() const { return m_nMovement; }

    int m_nMode = kHorizontal;
    CPoint m_anchor;
    WORD m_wGridMultiple = 1;

private:
    bool Editable(CPartTree* design) const;
    int ResizeCursor() const { return m_nMode == kHorizontal ? 18 : 22; }
    CPoint m_last;
    bool m_bDragging = false;
    int m_nMovement = 0;
};
