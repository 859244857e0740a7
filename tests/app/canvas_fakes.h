// A scripted window for the canvas controller: the client area is an image
// (the drawing layer draws into it), and every call the controller makes is
// recorded or answered from fields the test sets.
#pragma once

#include "app/canvas/canvas_controller.h"
#include "model/circuit/circuit.h"
#include "model/display/view.h"

#include <map>
#include <memory>
#include <vector>

class CFakeCanvasHost : public CCanvasHost {
public:
    CFakeCanvasHost() : view(400, 300) {}
    CView* GetDrawView() override
    {
        view.m_zoom = zoom;
        view.m_scroll = CPoint(scroll.x / zoom, scroll.y / zoom);
        return &view;
    }
    CSize GetClientSize() override { return client; }
    void SetScrollRange(CSize total) override { range = total; }
    CPoint GetScrollPos() override { return scroll; }
    void ScrollTo(CPoint pos) override
    {
        scroll = pos;
        ++scrolls;
    }
    void Invalidate() override { ++invalidations; }
    void InvalidateRect(const CRect&) override { ++invalidations; }
    void SetCapture(bool on) override { capture = on; }
    bool HasCapture() override { return capture; }
    CPoint GetCursorPos() override { return cursor; }
    void SetCursorCode(int code) override { cursorCode = code; }
    uint32_t GetTickCount() override { return ticks; }
    void ShowPartProperties(CPart* part) override { shownPart = part; }
    void ShowMessage(const CString& text) override { messages.push_back(text); }

    CImageView view;
    int zoom = 1;
    CSize client{400, 300};
    CSize range;
    CPoint scroll;
    int scrolls = 0;
    int invalidations = 0;
    bool capture = false;
    CPoint cursor;
    int cursorCode = 0;
    uint32_t ticks = 1000;
    CPart* shownPart = nullptr;
    std::vector<CString> messages;
};

class CFakeBubbleWindow : public CBubbleWindow {
public:
    void Place(CPoint screen) override { at = screen; }
    void SetVisible(bool on) override { visible = on; }
    void SetText(const CString& t) override
    {
        text = t;
        ++textChanges;
    }
    int GetWidth() override { return width; }
    int GetScreenWidth() override { return screenWidth; }
    bool SetTimer(int id, int ms) override
    {
        if (failTimers) return false;
        timers[id] = ms;
        return true;
    }
    void KillTimer(int id) override { timers.erase(id); }
    void SendPrompt(int id) override { prompts.push_back(id); }

    CPoint at;
    bool visible = false;
    CString text;
    int textChanges = 0;
    int width = 100;
    int screenWidth = 1000;
    bool failTimers = false;
    std::map<int, int> timers;
    std::vector<int> prompts;
};

// Scripted answers of the design root's editing operations.  The floating
// design follows the mouse by moving its parts; a release answers the next
// scripted result, and results 8 and 9 merge the floating design's parts
// into the design first.
// Timer 1 always sets; no input waits.
class CFakeSimulationHost : public CSimulationHost {
public:
    bool SetStepTimer(int ms) override
    {
        interval = ms;
        return true;
    }
    void KillStepTimer() override { interval = 0; }
    bool TakePendingTick() override { return false; }
    Input PeekInput() override { return Input::kNone; }
    void DiscardMouseMove() override {}
    int interval = 0;
};

class CScriptedEditOps : public CCanvasEditOps {
public:
    CRect DragFloating(CCircuit& floating, CCircuit& design, CPoint to) override
    {
        const CPoint p = design.SnapToGrid(to);
        const CPoint last = SharedPressState().dragPoint;
        for (CPartIterator it(&floating, 0); it.GetCurrent(); it.Next())
            it.GetCurrent()->Offset(p.x - last.x, p.y - last.y);
        SharedPressState().dragPoint = p;
        ++drags;
        return CRect();
    }
    int ReleaseFloating(CCircuit& floating, CCircuit& design, CPoint p) override
    {
        releasedAt.push_back(p);
        const int r = results.empty() ? 9 : results.front();
        if (!results.empty()) results.erase(results.begin());
        if (r == 8 || r == 9) {
            std::vector<CPart*> parts;
            for (CPartIterator it(&floating, 0); it.GetCurrent(); it.Next()) parts.push_back(it.GetCurrent());
            floating.DetachAll(false);
            for (CPart* part : parts) {
                part->SetNextSibling(nullptr);
                part->Deselect(0x80000);
                design.AddChild(part);
            }
        }
        return r;
    }
    int ForwardDrag(CCircuit& floating, int code, CSize offset) override
    {
        forwarded.push_back(code);
        if (code == 2 || code == 3)
            for (CPartIterator it(&floating, 0); it.GetCurrent(); it.Next())
                it.GetCurrent()->Offset(offset.cx, offset.cy);
        return 1;
    }
    void AfterLoadFloating(CCircuit& floating) override
    {
        if (throwAfterLoad) throw CArchiveException(CArchiveException::genericException);
        CCanvasEditOps::AfterLoadFloating(floating);
    }

    std::vector<int> results;
    std::vector<CPoint> releasedAt;
    std::vector<int> forwarded;
    int drags = 0;
    bool throwAfterLoad = false;
};
