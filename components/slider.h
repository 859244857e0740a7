// CSlider: a knob on a track.  Its state is the knob position 3..23 (21
// positions), reported to the operated part as 0..20; the initial position
// 13 reports 10.  A slider beside a part stands upright on the part's left
// or right (orientation codes 2 and 0) and lies across above or below it
// (codes 3 and 1); in the large look it lies across, 170 x 38, and six
// pixels of drag make one position.  Sliders answer the mouse only while the
// design shows animation (option 0x80).
#pragma once

#include "components/toggle.h"

class CSlider : public CToggle {
    WB_DECLARE_SERIAL(CSlider)
public:
    static constexpr int kFirst = 3;
    static constexpr int kLast = 23;
    static constexpr int kKnob = 15;

    CSlider();
    // Beside `beside` on the side (0 above, 1 right, 2 below, 3 left),
    // moved by the offset when one is given, operating `operated`; with
    // `large` in the large look.
    CSlider(int side, CPart* beside, CPart* operated, const CPoint* offset, int large);

    // The CToggle record: the state word holds the position; a position
    // read from a file is kept to the slider's range.
    void Serialize(CArchive& ar) override;
    void UseAlternateLook() override;
    void PlaceLabel(int side, CPart* part, const CPoint* offset) override;
    // A small slider goes round with the part it stands beside: it takes
    // the turned side, and its track lies along that side (the large one
    // only moves).
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    int OnPress(CPartTree* design, int x, int y) override;
    CRect OnDrag(CPartTree* design, CPoint point) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int Draw(DWORD flags) override;

    // The pointer mark and the lines between the middle of the track and
    // the knob (bit 0x4 of the flags) or the middle, beside the track.
    virtual void DrawSlider(DWORD flags);
    // Erases the strips beside the track that DrawSlider draws into.
    virtual void InvalidateTrack();

    int GetPosition() const { return m_wState; }
    // The value the operated part gets: position - 3 (the thermometer and
    // the tank report their own quantities).
    virtual int GetReported() const { return m_wState - kFirst; }
    // Keeps the position to the slider's range.
    void SetPosition(int position);
    virtual int MinPosition() const { return kFirst; }
    virtual int MaxPosition() const { return kLast; }
    bool IsLarge() const { return m_bLarge != 0; }
    bool IsVertical() const { return IsEvenOrientation(m_nOrientation) && !m_bLarge; }
    // Top-left of the knob for the present position.
    virtual CPoint KnobOrigin() const;

    int m_bLarge = 0;
    int m_nDragOffset = 0;
    CVisual* m_pTrack = nullptr;
    CVisual* m_pKnob = nullptr;
    CVisual* m_pMarks = nullptr;

protected:
    // Pixels per position: 6 in the large look, else 1.
    int Step() const { return m_bLarge ? 6 : 1; }
    // The pointer's distance along the track: down from the top edge of an
    // upright slider, left from the right edge of a lying one.
    int DistanceAlong(CPoint point) const;
    void DrawKnob(int frame);
    // The drag of the controls drawn whole at every position (thermometer,
    // tank): the position is the pointer's depth below the top edge less
    // the grab offset; the control redraws and reports GetReported().
    CRect DragWhole(CPartTree* design, CPoint point);
    // Whether the mouse may move the slider (option 0x80 of the design).
    static bool Animating(CPartTree* design) { return (DesignOptions(design) & 0x80) != 0; }
};

// The small round knob of the thermometer and the tank (3 frames, 15 x 15).
CVisual& SmallSliderKnob();
