// CCog: one toothed wheel as a drawing and animation object, owned by the
// gear pair (and by the drives and the flywheel that turn a wheel).  It
// holds no motion of its own: the owner hands it the angle and speed of its
// inertia after every step, and the cog picks the picture frame and the
// point where the owner's rotate handle rides.
//
// A wheel looks the same after turning by one tooth angle t = 2 pi / N, so
// sixteen frames span one tooth.  Coordinates (picture rectangle, centre,
// marker point) are relative to the owner's top-left corner, as the
// owner's handles are; Draw takes the owner's corner.
//
// Angles follow the shafts: a growing angle turns the wheel anticlockwise
// on the screen, and at angle 0 the marker stands straight above the centre.
#pragma once

#include "platform/geometry.h"
#include "platform/runtimeclass.h"

#include <cstdint>

class CArchive;
class CVisual;

class CCog : public CObject {
    WB_DECLARE_SERIAL(CCog)
public:
    CCog();

    // N, centre x, the sum field, centre y, the height field, current frame,
    // rest frame, visible flag, marker point, marker radius, fixed rim
    // offset, fast flag; from version 4 also the slow flag and print frame.
    // A stored tooth count outside 8, 16, 24, 40 is refused (the archive
    // reports a bad record): the wheel's tables and pictures need one of them.
    void Serialize(CArchive& ar) override;

    // Only 8, 16, 24 and 40 teeth; 0 and the cog unchanged otherwise.
    int SetTeeth(int teeth);
    // Moves the picture rectangle by (x, y); the centre follows.  The
    // rectangle's height and the sum field are stored as given.
    void Place(int x, int y, const CRect& rect);
    CPoint GetCentre() const { return m_rect.CenterPoint(); }
    const CRect& GetRect() const { return m_rect; }
    CSize GetSize() const { return m_rect.Size(); }
    CPoint GetMarkerPoint() const { return m_marker; }
    int GetTeeth() const { return m_wTeeth; }
    int GetPitchRadius() const { return m_wPitchRadius; }
    double GetToothAngle() const { return m_dToothAngle; }
    bool IsSlow() const { return m_bSlow != 0; }
    bool IsFast() const { return m_wFast != 0; }
    void SetVisible(int flag) { m_bVisible = flag; }
    void SetFixedRimOffset(int offset) { m_wFixedRimOffset = static_cast<uint16_t>(offset); }
    void SetMarkerRadius(int radius) { m_wMarkerRadius = static_cast<int16_t>(radius); }
    int GetCurrentFrame() const { return m_wFrame; }
    int GetRestFrame() const { return m_wRestFrame; }
    int GetPrintFrame() const { return m_wPrintFrame; }
    double GetRestAngle() const { return m_dRestAngle; }
    // The frame for a flag word: the current one while running (0x4), the
    // print frame while printing (0x200), the rest frame otherwise.
    int FrameForFlags(unsigned long flags) const;
    // The rim offset of a frame: the fixed one, or the table's.
    int GetRimOffset(int frame) const;

    // Frame 0..15 of an angle, centred: each frame covers t / 16 about its
    // own angle.
    int FrameOfAngle(double angle) const;
    // Stores the marker point for the frame and angle.
    void SetMarker(int frame, double angle);
    void SetRestAngle(double angle);
    // Back to the rest frame and angle (reset of the simulation).
    void RestoreRest();
    // After a step: the frame and marker of angle + offset, slow and fast by
    // the speed (rad/s) against the update rate (steps/s).
    void Animate(double angle, double offset, double speed, double rate);
    // The wheel's picture at origin + its rectangle (SRCAND), the blur
    // frame under it while turning fast; with edgeLine, the lowered edge
    // line from the rim up to the right, ending at the owner's top edge.
    void Draw(CPoint origin, int edgeLine, unsigned long flags) const;

    // The picture set holding frame 0..16 of a tooth count, and the frame's
    // index in it; null for other counts.
    static CVisual* PictureOf(int teeth, int frame, int* frameInPicture);

private:
    uint16_t m_wTeeth = 8;
    CRect m_rect;
    uint16_t m_wPitchRadius = 16;
    double m_dToothAngle;
    int16_t m_nPictureCount = 1;
    const uint8_t* m_pRimTable = nullptr;
    int m_nCentreX = 0;
    int m_nCentreY = 0;
    int m_nHeight = 0;
    int m_nSum = 0;
    uint16_t m_wFrame = 0;
    uint16_t m_wFast = 0;
    uint16_t m_wRestFrame = 0;
    uint16_t m_wFixedRimOffset = 0;
    double m_dRestAngle = 0.0;
    CPoint m_marker;
    double m_subSin[16] = {};
    double m_subCos[16] = {};
    double m_toothSin[40] = {};
    double m_toothCos[40] = {};
    int m_bVisible = 1;
    int16_t m_wMarkerRadius = 6;
    int m_bSlow = 1;
    uint16_t m_wPrintFrame = 0;
};
