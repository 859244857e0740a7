// CSevenSegmentLED: the diode of one segment of a seven-segment display.
// It lives inside its display, borrows two of the display's terminals
// (segment pin first, common pin second) and is stepped by the display: the
// solver operations are the diode's, and after each step the display calls
// UpdateSegment instead of AfterStep.  Its state word is the picture frame:
// the base frame dark, base frame + 3 lit.
#pragma once

#include "components/diode.h"

class CExplode;

class CSevenSegmentLED : public CDiode {
    WB_DECLARE_SERIAL(CSevenSegmentLED)
public:
    CSevenSegmentLED() = default;
    ~CSevenSegmentLED() override;

    // Places the segment (rect relative to the display), takes its terminals
    // and owner, the 1.75 V knee, picture 273 and ratings text 71.
    void Setup(CPoint position, CSize size, CTerminal* segmentPin, CTerminal* commonPin, WORD baseFrame,
               CPart* owner);

    // Only the state word: the display stores everything else.
    void Serialize(CArchive& ar) override;
    void ResetState() override { m_wStateWord = m_wBaseFrame; }
    // The rest frame of the segment picture, counted from this segment's
    // own dark frame (the frames are three shapes dark, then lit).
    void ResetVisual() override;

    // The rating test on the segment pin alone, the model's commit and the
    // lit frame (from 0.009995 A).  When the segment burns out its marker
    // is taken from it and handed out, placed over the segment in design
    // coordinates; returns true then.
    virtual bool UpdateSegment(CExplode** explosion);
    // Draws the segment's rectangle of the present frame at its place in a
    // display whose top-left is (x, y); only in passes that draw the live
    // state (0x4).
    virtual void DrawSegment(DWORD flags, int x, int y);

    // Lit at and above this segment current.
    static constexpr double kLitCurrent = 0.009995;

    CPart* GetOwner() const { return m_pOwner; }
    WORD GetBaseFrame() const { return m_wBaseFrame; }

private:
    CPoint OwnerTopLeft() const;

    CPart* m_pOwner = nullptr;
    WORD m_wBaseFrame = 0;
};
