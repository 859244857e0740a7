// The picture set of one part class: up to eight bitmaps (one per
// orientation code), each a horizontal strip of equal frames, the frame
// size, the allowed orientations and the toolbar icon.  Pins are pixels of
// the picture: any pixel on a frame's outermost ring (or, with margin pins,
// on the ring just outside it) whose colour differs from the bitmap's
// top-left pixel.
#pragma once

#include <vector>

#include "model/display/bitmap256.h"
#include "model/parts/part.h"
#include "platform/geometry.h"

// A pixel offset from a frame's centre, in doubled coordinates so that the
// half-pixel centre of an even-sized frame is exact, turned from code 0 to
// `orientation` by the rule parts use for their rectangles (TurnPoint).
CPoint TurnDoubled(CPoint twiceOffset, int orientation);

// One terminal stub laid out from a picture's pin marks.
struct PinStub {
    CPoint from;   // on the frame's edge
    CPoint to;     // 4 pixels outward
};

// First command id of the orientation commands (code c is kFirstOrientCmd + c).
constexpr int kFirstOrientCmd = 36043;

class CVisual {
public:
    // imageCode: slot of the toolbar icon strip in the shared bitmap table,
    // negative when the pin marks lie just outside each frame.
    CVisual(int imageCode, int iconCell, int bitmapId, int frameCount, int offsetX, int offsetY, int width,
            int height, int stripId = 0, const int* idTable = nullptr, CVisual* alternate = nullptr,
            int highColourId = 0, int sameLayout = 0);
    ~CVisual();
    CVisual(const CVisual&) = delete;
    CVisual& operator=(const CVisual&) = delete;

    bool LoadFrames();
    CPoint GetFrameOrigin(int frame, int orientation) const;
    bool HasPinAt(int x, int y, int frame, COLORREF* colour, int bitmapIndex);
    bool IsPinCell(int x, int y, int orientation, int bitmapIndex);
    CPoint GetPinInset() const { return m_marginPins ? CPoint(0, 0) : CPoint(1, 1); }
    CSize GetSize() const { return m_size; }
    // The frame size in an orientation (width and height swap when odd).
    CSize GetSize(int orientation) const;
    int DrawBitmap(int x, int y, int frame, int recolour, CPoint sourceOffset, CSize size, int orientation,
                   std::uint32_t rop = SRCCOPY);
    int DrawWhole(int x, int y, int frame, int recolour, int orientation);
    // Where a pixel of the upright frame stands in the frame of an
    // orientation: turned about the frame's centre as the turned bitmaps
    // are built, with the correction they were given.  A part drawing a
    // second picture over its own (a motor's rotor) places it with this.
    CPoint TurnedPixel(CPoint pixel, int orientation);
    // Lists the allowed orientation commands; with a bitmap, fills it with
    // one 32 x 32 image per command.  flagA and flagB choose the alternative
    // icon strips of image indexes 3, 4 and 23.
    int GetOrientationImages(std::vector<int>& commands, CBitmap* bitmap, bool flagA = false, bool flagB = false);
    void SetOrientationMask(int mask) { m_mask = mask; }
    int GetOrientationMask() const { return m_mask; }
    void SetOffsetRow(int row) { m_offsetRow = (row >= 0 && row < 20) ? row : 0; }
    CVisual* GetAlternate() const { return m_alternate; }

    int GetFrameCount() const { return m_frameCount; }
    // The frame shown at rest when the running design animates these frames
    // (the picture source's rest frame), -1 when the frames are settings.
    int GetRestFrame() const;
    int GetBitmapId(int orientation) const { return m_ids[orientation & 7]; }
    bool HasMarginPins() const { return m_marginPins; }
    int GetImageIndex() const { return m_imageIndex; }
    int GetIconCell() const { return m_iconCell; }
    // The bitmap of an orientation (loaded), or null.
    CBitmap256* GetBitmap(int orientation);

    // The terminal stubs from the pin marks of frame 0 in an orientation, in
    // pin order: right edge downwards, bottom edge leftwards, left edge
    // upwards, top edge rightwards.
    std::vector<PinStub> LayoutPins(int orientation);

    // Every picture set of the program, for checks that walk them all.
    static const std::vector<CVisual*>& All();

    // Per-orientation corrections of turned frames: 20 rows x 8 codes.
    static CPoint OffsetTable(int row, int orientation);

private:
    bool BuildOrientation(int orientation);
    bool UsesResourceLayout(int orientation) const;

    int m_ids[8] = {};
    bool m_generated[8] = {};
    CPoint m_shift[8];
    int m_stripId = 0;
    int m_frameCount = 1;
    int m_mask = 1;
    int m_offsetRow = 0;
    CSize m_size;
    CPoint m_offset;
    CBitmap256 m_frames[8];
    int m_imageIndex = 0;
    int m_iconCell = 0;
    bool m_loaded = false;
    CVisual* m_alternate = nullptr;
    int m_sameLayout = 0;
    int m_frameGap = 0;
    bool m_marginPins = false;
    bool m_highColour = false;
};
