// CToggle: the lever of a switch, and the base of every canvas control.  A
// control is a small part that a component carries as a child; the canvas
// view presses, drags and releases it (OnPress, OnDrag, OnRelease) and the
// control reports a small integer to the part it operates through that
// part's SetInputValue, with the design as the first argument.
//
// The lever flips its state on every release and reports the new state.
#pragma once

#include "model/parts/part.h"

class CVisual;

class CToggle : public CPart {
    WB_DECLARE_SERIAL(CToggle)
public:
    // The lever picture, as a lever read from a file has no owner to give
    // it one; a derived control sets its own.
    CToggle();
    // Takes the picture's size at (0, 0); with the alternate look it takes
    // the alternate picture and stands beside the operated part on the side
    // with offset (0, 6), else without offset.
    CToggle(int side, CPart* operated, int alternateLook);

    // The CPart record, then WORD state, the operated part as a reference
    // and WORD alternate-look flag (read from version 4 on).
    void Serialize(CArchive& ar) override;

    int IsControl() override { return 1; }
    CPart* GetLinkedSwitch() override { return m_pOperated; }
    CPart* GetPropertyOwner() override { return GetLinkedSwitch(); }
    int OnPress(CPartTree*, int, int) override { return 0; }
    int OnMouseDown(CPartTree* design, int x, int y, UINT) override { return OnPress(design, x, y); }
    CRect OnDrag(CPartTree*, CPoint) override { return CRect(); }
    // Flips the state, redraws and reports it; returns 1.
    int OnRelease(CPartTree* design, int x, int y) override;
    int HasAlternateLook() override { return m_bAlternateLook; }
    void UseAlternateLook() override;
    int GetLabelPlacements(CLabelPlacement* records) override;
    // Frame = state, with option 0x80 or in the alternate look.
    int Draw(DWORD flags) override;
    // The control keeps its own shape and orientation code; only its place
    // turns with the part that carries it.
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    // The cursor the control asks the view to show while it is pressed or
    // dragged (ids of the shared cursor table), 0 when it asks for none.
    int GetOfferedCursor() const { return m_nOfferedCursor; }

    int GetState() const { return m_wState; }
    void SetState(int state) { m_wState = static_cast<WORD>(state); }
    CPart* GetOperated() const { return m_pOperated; }

    CVisual* m_pVisual = nullptr;
    CPart* m_pOperated = nullptr;
    WORD m_wState = 0;
    int m_bAlternateLook = 0;
    int m_nOfferedCursor = 0;

protected:
    // Draws with the design's options (nothing without a design).
    void RedrawFor(CPartTree* design);
    // The operated part's SetInputValue(design, value).
    void Report(CPartTree* design, int value);
    // The size of the present picture at (0, 0).
    void TakePictureSize();
    // Gives the rectangle this size about a centre in doubled coordinates
    // (the sum of the corners), halves rounded down, as turns leave it.
    void CentreRectOn(CPoint doubledCentre, CSize size);
    // The number of frames of the present picture (at least 1).
    int FrameCount() const;
    // A control whose picture set allows all eight turns (levers and keys)
    // turns its picture with the part it operates; the others (sliders,
    // knobs, handles) only move with it.
    bool TurnsWithPart() const;
};

// The option word of a design (0 without one).
DWORD DesignOptions(CPartTree* design);
