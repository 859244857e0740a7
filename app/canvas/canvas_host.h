// What the canvas controller needs of its window.  The widget (CTeskView)
// implements it on Qt; the tests script a fake.  Coordinates are client
// pixels (device units) unless named otherwise.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"

#include <cstdint>

class CView;
class CPart;

class CCanvasHost {
public:
    virtual ~CCanvasHost() = default;

    // The drawing layer's view of the client area (its DC carries the
    // scroll position and zoom the controller last set).
    virtual CView* GetDrawView() = 0;
    virtual CSize GetClientSize() = 0;

    // Scrolling: the scroll range (the whole canvas, device pixels) and the
    // position of the client area's top-left corner in it.
    virtual void SetScrollRange(CSize total) = 0;
    virtual CPoint GetScrollPos() = 0;
    virtual void ScrollTo(CPoint pos) = 0;

    // Repainting: the whole client area or a rectangle of it.
    virtual void Invalidate() = 0;
    virtual void InvalidateRect(const CRect& rect) = 0;

    // The mouse.
    virtual void SetCapture(bool on) = 0;
    virtual bool HasCapture() = 0;
    // The pointer in client coordinates (may lie outside the client area).
    virtual CPoint GetCursorPos() = 0;
    // Moves the pointer (client coordinates).
    virtual void SetCursorPos(CPoint) {}
    // Shows the application cursor of a code (GetAppCursor).
    virtual void SetCursorCode(int code) = 0;
    // Height of the system's mouse cursor, for placing the bubble below it.
    virtual int GetCursorHeight() { return 32; }
    virtual CPoint ClientToScreen(CPoint p) { return p; }

    // Milliseconds since some fixed start (the auto-scroll delays).
    virtual uint32_t GetTickCount() = 0;
    // The main frame is the active window.
    virtual bool IsFrameActive() { return true; }

    // The status bar prompt (a string id; 57345 is the idle prompt).
    virtual void SetStatusPrompt(int) {}
    // The property toolbar: show a part's properties (null clears).
    virtual void ShowPartProperties(CPart*) {}
    // The frame shows whether the design may be edited.
    virtual void SetEditAllowed(bool) {}
    // Messages to the user.
    virtual void ShowMessage(const CString& text) = 0;
    // A clicked picture's page action: 12 change page, 13 reload this page,
    // 14 both (the design's pending page change says where to).
    virtual void RunPageAction(int) {}
};
