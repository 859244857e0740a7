// CHand: the invisible grip of a mechanism part that the user takes hold
// of.  A point within size / 2 - 4 of the centre is zone 1, the rim zone 2
// (always 1 when grabbing is off).  The press reports 0, each drag 1 and
// the release 2 to the operated part, which reads the hand's centre and
// state (GetCentre, IsHeld).
#pragma once

#include "components/toggle.h"

class CHand : public CToggle {
    WB_DECLARE_SERIAL(CHand)
public:
    // A hand is invisible: it has no picture.
    CHand() { m_pVisual = nullptr; }
    // A size x size square at (0, 0), operating `operated`.
    CHand(CPart* operated, int size);

    // The CToggle record, then WORD grab-enabled flag.
    void Serialize(CArchive& ar) override;
    int OnPress(CPartTree* design, int x, int y) override;
    CRect OnDrag(CPartTree* design, CPoint point) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int Draw(DWORD) override { return 0; }
    int ShowInfo(CPoint point, CString& bubbleText) override;
    DWORD GetHitClass() override { return 8; }
    int HasInfo(int x, int y) override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;

    int Zone(CPoint point) const;
    // Centres the square on the point.
    virtual void CentreOn(CPoint point);
    // The centre and the state (the zone held, 0 when let go).
    virtual CPoint GetCentre(int* state) const;
    virtual int IsHeld() const { return m_wState != 0; }

    WORD m_wGrab = 1;

private:
    static int CursorOfZone(int zone);
};
