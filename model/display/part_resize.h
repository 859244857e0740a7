// CPartResize: the frame with eight grab handles through which the user
// resizes a part (pictures, text boxes, group boxes, movies carry one as
// their first child).  It keeps the framed part's rectangle, hit-tests its
// edge band and handles, draws itself in the selection style, and while a
// handle is dragged moves the matching edges within the size limits and the
// design's area, refuses overlaps, and gives the framed part its rectangle.
#pragma once

#include <climits>

#include "model/display/display.h"
#include "model/parts/part.h"
#include "model/parts/parttree.h"

// Handle codes.
enum : int {
    RH_TOP = 0, RH_RIGHT = 1, RH_BOTTOM = 2, RH_LEFT = 3,
    RH_NONE = 7, RH_BAND = 9,
    RH_TOPLEFT = 10, RH_TOPRIGHT = 11, RH_BOTTOMRIGHT = 12, RH_BOTTOMLEFT = 13,
};

// What the frame asks of the canvas view and the design root, which the
// application provides (the defaults answer for a design shown in no view).
class CResizeHost {
public:
    virtual ~CResizeHost() = default;
    virtual bool HasActiveView() { return false; }
    // The part the active canvas view has captured the mouse for, or null.
    virtual CPart* GetCapturedPart() { return nullptr; }
    // Shows the cursor of the shared cursor table's index.
    virtual void SetCursor(int) {}
    virtual void SetForbiddenCursor() {}
    // The design's permission word (all bits allowed by default).
    virtual bool IsAllowed(CPartTree*, DWORD) { return true; }
    // Whether the part may be selected in its design (canvas editing).
    virtual bool CanSelect(CPartTree*, CPart*) { return true; }
    // The design's area and the axes it limits.
    virtual void GetArea(CPartTree* design, CRect& area, bool& limitX, bool& limitY)
    {
        area = design ? design->GetPageRect() : CRect();
        limitX = limitY = design != nullptr;
    }
    // The design a part stands in (for drawing), or null.
    virtual CPartTree* DesignOf(CPart* part) { return part ? part->GetCircuit() : nullptr; }
    // Redraws the design's parts that meet the rectangle.
    virtual void RedrawDesign(CPartTree* design, const CRect& rect)
    {
        if (design) design->DrawTreeInRect(design->GetRedrawFlags(), 4, rect, nullptr);
    }

    static CResizeHost& Current();
    // Installs a host (null: the defaults); returns the previous one.
    static CResizeHost* Install(CResizeHost* host);
};

class CPartResize : public CPart {
    WB_DECLARE_SERIAL(CPartResize)
public:
    explicit CPartResize(CPart* framed = nullptr);

    void Serialize(CArchive& ar) override;

    int DefersToParent() override;
    DWORD GetHitClass() override;
    int PtInPart(CPoint point) override;
    int OnPress(CPartTree* design, int x, int y) override;
    CRect OnDrag(CPartTree* design, CPoint point) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    void Drop(CPartTree* design) override;
    int ShowInfo(CPoint point, CString& bubbleText) override;
    void OnSimulationStopped() override;
    void OnSimulationReset() override;
    void EraseTree() override;
    int Draw(DWORD flags) override;
    void Deselect(DWORD flags) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    // The code of the edge band at a point (RH_NONE off the band).
    int EdgeTest(CPoint point);
    // The handle at a point: RH_NONE off the band, RH_BAND between handles.
    int HandleAt(CPoint point);
    // The square of a handle code.
    CRect HandleRect(int code) const;
    static int CursorOf(int code);
    bool CanEdit(CPartTree* design);
    // x and y rounded to half the grid step: h = step / 2, x' = h * ((x + step / 4) / h).
    static CPoint RoundToHalfGrid(CPoint p, int gridStep);
    // Set whenever a frame is drawn (the canvas reads and clears it).
    static int& FrameDrawn();

    WORD m_outerBand = 2;
    WORD m_handleSize = 8;
    WORD m_idleBand = 1;
    WORD m_minSize = 24;
    int m_maxWidth = INT_MAX;
    int m_maxHeight = INT_MAX;
    int m_activeHandle = RH_NONE;
    BYTE m_snap = 0;
    CPart* m_framed = nullptr;
    CRect m_lastRect;

private:
    void DrawOutline(const CRect& rect);
    void EraseHandles();
    CPartTree* Design() { return CResizeHost::Current().DesignOf(m_framed); }
};
