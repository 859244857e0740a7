// The moving image of a part: while a part is dragged, or a picture such as
// the explosion marker moves, the part is not drawn into the design; a
// CAnimate keeps a snapshot of it (drawn on white), a mask of where it drew
// and the screen pixels under it, and moves that image over the current DC
// of the drawing layer without flicker.  White pixels of the part are
// transparent.
#pragma once

#include "model/display/display.h"
#include "model/parts/part.h"

class CAnimate : public CPart {
public:
    // Takes the target's extent (its and its children's rectangles)
    // inflated by 2 and makes the three bitmaps; with non-zero flags it
    // captures the image and saves the background.  Throws
    // CResourceException (after ending the drawing scopes) on failure.
    CAnimate(CPart* target, DWORD flags);
    ~CAnimate() override;

    void Capture(DWORD flags);
    void SaveBackground();
    void RestoreBackground();
    void DrawImage();
    void CaptureAndDraw(DWORD flags);
    void MoveBy(CPoint offset, bool restore);
    void Update(DWORD flags);
    void SetBackgroundRect(int left, int top, int right, int bottom);

    CPart* GetTarget() const { return m_target; }
    const CBitmap& GetImage() const { return m_image; }
    const CBitmap& GetMask() const { return m_mask; }
    const CBitmap& GetBackground() const { return m_background; }

private:
    bool CreateBitmaps();
    void Fail();
    // Draws image and mask transparently onto dc at (x, y).
    void DrawTransparent(CDC& dc, int x, int y);

    CPart* m_target = nullptr;
    CBitmap m_background;
    CBitmap m_image;
    CBitmap m_mask;
};

// The drag image of the part being dragged on the canvas: one at a time,
// kept while the drag lasts (the part base's press state records that one
// exists).  Begin replaces an earlier one (restoring the screen under it);
// End restores the screen under the last position.
CAnimate* BeginDragAnimation(CPart* part, DWORD flags);
CAnimate* CurrentDragAnimation();
void EndDragAnimation();
