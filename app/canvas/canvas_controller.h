// The canvas view's state and rules, without a window: the widget feeds it
// plain events (press, move, release, key, timer, idle, drag and drop) in
// client pixels and it answers through CCanvasHost.  It paints the design
// through the drawing layer, runs the simulation clock of the active view,
// edits the design with the mouse (the floating design, delete mode, the
// rubber band), scrolls and zooms, and decides what the help bubble shows.
#pragma once

#include "app/canvas/bubble.h"
#include "app/canvas/canvas_edit_ops.h"
#include "app/canvas/canvas_host.h"
#include "model/circuit/simhost.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CCircuit;
class CComponent;
class CPart;
class CTerminal;
class CWire;
class CWireRoute;

// Key flags of mouse events.
enum : unsigned {
    MK_LBUTTON = 0x0001,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
};

// Keys the canvas scrolls with.
enum class CanvasKey { kOther, kPageUp, kPageDown, kEnd, kHome, kLeft, kUp, kRight, kDown };

// Application cursor codes the canvas uses.
enum : int {
    CURSOR_ARROW = 1,
    CURSOR_DRAG = 3,
    CURSOR_DELETE_HOLDING = 7,
    CURSOR_DELETE = 8,
};

// Timer ids of the view.
enum : int { TIMER_STEP = 1, TIMER_BUBBLE = 2010, TIMER_BUBBLE_SETTLE = 2011 };

class CCanvasController {
public:
    // ops: the design root's editing operations (null: the design's own).
    CCanvasController(CCanvasHost& host, CBubble& bubble, CCanvasEditOps* ops = nullptr);
    ~CCanvasController();
    CCanvasController(const CCanvasController&) = delete;
    CCanvasController& operator=(const CCanvasController&) = delete;

    // ---- the design (the document owns it) ----
    // hint 1: a new document.
    void OnUpdate(CCircuit* design, int hint);
    CCircuit* GetDesign() const { return m_design; }
    CCircuit* GetFloating() const { return m_floating.get(); }
    // The design is going away (the view closes): nothing refers to it after.
    void DetachDesign();
    // The design is already gone (the document replaced it): forget it
    // without touching it.
    void ForgetDesign();

    // ---- painting, scrolling, zoom ----
    int GetZoom() const;
    void SetZoom(bool x2);
    CPoint ToLogical(CPoint client) const;
    CPoint ToClient(CPoint logical) const;
    void RecalcScrollSizes(bool scroll);
    // Paints the update rectangle (client pixels) onto the draw view.
    void Paint(const CRect& update);
    void OnSize();
    void OnKey(CanvasKey key);

    // ---- activation, the clock, idle ----
    void OnActivate(bool active);
    bool IsActiveView() const;
    static CCanvasController* ActiveView();
    void OnTimer(int id);
    // Returns whether more idle time is wanted.
    bool IdleStep(long count);

    // ---- mouse editing ----
    void OnPress(CPoint client, unsigned flags);
    void OnMove(CPoint client, unsigned flags);
    void OnRelease(CPoint client, unsigned flags);
    // A drag lost the capture (the window was deactivated): finish it with a
    // release at the pointer.
    void FinishDragOnDeactivate();
    // Edit/Delete.
    void OnDelete();
    // Select All.
    void SelectAll();
    // Adds a new part (owned from here on); false when it was refused.
    bool AddPart(CPart* part, int propertyCommand = 0, bool alternateLook = false, bool keepInitialised = false,
                 bool asTemplate = false);
    // A plain click on a part-toolbar button: the part goes straight into
    // the design, at the first free spot of the visible canvas (scanned in
    // rows from the top left), or at the top left when nothing is free.
    bool AddPartAtOnce(CPart* part, int propertyCommand = 0);
    // The point a part-toolbar add starts at (logical; y is set to 8).
    void SetToolbarDropPoint(CPoint logical) { m_toolbarDropPoint = logical; }
    // Reads a design file into a new floating design at the pointer; false
    // when it was not read (the message was shown).
    bool AddModuleFromFile(const CString& path);
    // Drag and drop of a design file onto the canvas.
    bool OnDragEnter(const CString& path, CPoint client);
    void OnDragMove(CPoint client);
    void OnDrop(CPoint client);
    void OnDragLeave();

    void DeselectAll(bool redraw, bool discard);
    void DiscardFloating(bool refresh);
    bool PickUp(CPart* part, bool select);
    void BeginDragSelection();
    // Returns false when the drag goes on.
    bool ApplyDropResult(int result);

    // ---- wiring and turning ----
    // The terminal or wire a press at a logical point draws from (null:
    // none): a terminal's outer end, its stub, then a wire.
    CWire* FindWireStart(CPoint logical) const;
    // A wire route is being drawn.
    bool IsRouting() const;
    const CWireRoute* GetRoute() const { return m_route.get(); }
    // Turns a part of the design by the settings text its last property
    // command left (an orientation): it is picked up, turned and dropped
    // where it stands, or carried by the pointer when it does not fit there.
    // Wires that were joined to it follow it.
    bool Reorient(CPart* part);

    // ---- hover, cursor, bubble ----
    void UpdateCursor();
    void OfferCursor(int code, int priority);
    void WithdrawCursor(int priority);
    void RefreshHover();
    void EndHover();
    // The bubble check at a client point: 0 hidden, 1 shown, 2 text updated.
    int CheckHover(CPoint client);
    void TickBubbleHelp();

    // ---- state, for the widget and tests ----
    int GetEditMode() const { return m_editMode; }
    bool IsBandActive() const { return m_bandActive; }
    CRect GetBandRect() const;
    bool IsReleasePending() const { return m_releasePending; }
    CPoint GetPendingReleasePoint() const { return m_pendingRelease; }
    bool IsAutoScrollArmed() const { return m_scrollSince != 0; }
    CSize GetDragOffset() const { return m_dragOffset; }
    CRect GetPageRect() const { return m_page; }
    CSize GetScrollRange() const { return m_scrollRange; }
    int GetHoverCode() const { return m_hoverCode; }
    int GetCursorCode() const { return m_cursor; }
    bool GetSelectWhenAdding() const { return m_selectWhenAdding; }
    void SetSelectWhenAdding(bool on) { m_selectWhenAdding = on; }
    int GetPressedSelected() const { return m_pressedSelected; }
    // The drag handle being worked, or null.
    CPart* GetHandle() const { return m_handle; }
    // The simulation host the design drives timer 1 through.
    void SetSimulationHost(CSimulationHost* host) { m_simHost = host; }

private:
    friend class CCanvasAutoScroll;
    CCanvasEditOps& Ops() { return *m_ops; }
    // click: the press made no move, nothing is carried.
    void PerformRelease(CPoint logical, unsigned flags, bool click = false);
    void DeleteHeldSelection();
    void RestoreParts(const std::vector<uint8_t>& bytes);
    bool InGroupList(CPart* part) const;
    // The part stands in the design (at the top of its group).
    bool HoldsPart(CPart* part) const;
    // Where a route meets what lies under a logical point: a terminal's
    // outer end, the grid point along a wire, else the point itself.
    CPoint RoutePoint(CPoint logical) const;
    void BeginRoute(CPoint logical, CWire* from);
    void MoveRoute(CPoint logical);
    void FinishRoute();
    // The joints of the parts about to move (each a component's joined
    // terminals), and the wires that join their terminals' new places to
    // them after the drop.  RecordJoints remembers the parts themselves;
    // when they travel as copies, SetJointParts names the copies, in the
    // same order.
    void RecordJoints(const std::vector<CPart*>& parts);
    void SetJointParts(const std::vector<CPart*>& parts);
    void ForgetJoints();
    // Each recorded terminal that did not come back to its joint is led
    // back to its own net: one it joined at its new place that is not its
    // own is left first; after a turn (m_turnZone not empty) the old wires
    // are cut back to the turn's box and laid round the part again.  The
    // last resort is a direct run; a pin that still stays unjoined is
    // reported.
    void LayFollowingWires();
    // Removes the run of wire that ends free at a point (an old joint that
    // a following wire bypassed), back to the junction it hangs from.
    void PruneDanglingAt(CPoint at);
    // After a turn whose pins took over the old joints (TakeOverJoints):
    // each taker stays joined to, or is led the pixel or two to, the wiring
    // at its joint; every other pin is freed.  standingAt: what stands at a
    // point besides the turned part.
    void KeepWiringAtJoints(CComponent& part, const std::vector<CPoint>& joints, const std::vector<CTerminal*>& takers,
                            const std::function<CWire*(CPoint)>& standingAt);
    void PerformPendingRelease();
    void EnsureFloating();
    void PrepareCopiedFloating();
    void RecalcPageRect();
    void RefreshEditState();
    // Auto-scroll: the test at a client point, and one step.
    void TestAutoScroll(CPoint client);
    void AutoScrollStep();
    void DisarmAutoScroll();
    void DrawBand();
    void SetCursorCode(int code);
    void ShowPartProperties(CPart* part);
    bool IsVisible(CPoint client) const;
    // The drag handle under a logical point while the design shows its
    // handles (animation and View/Handles), else null.
    CPart* FindHandleAt(CPoint logical) const;
    // The probe whose own hit area (its picture, or the band round the part
    // it measures) holds a logical point, else null.
    CPart* FindProbeAt(CPoint logical) const;

    CCanvasHost& m_host;
    CBubble& m_bubble;
    std::unique_ptr<CCanvasEditOps> m_ownOps;
    CCanvasEditOps* m_ops;
    CSimulationHost* m_simHost = nullptr;

    CCircuit* m_design = nullptr;
    CPoint m_bandStart, m_bandEnd;
    bool m_bandActive = false;
    bool m_releasePending = false;
    // The real point of the held-back release (logical) and its key flags.
    CPoint m_pendingRelease;
    unsigned m_pendingFlags = 0;
    int m_editMode = 0;
    std::unique_ptr<CCircuit> m_floating;
    CSize m_scrollStep;
    CSize m_dragOffset;
    uint32_t m_scrollSince = 0;
    bool m_floatingDrawn = false;
    bool m_selectWhenAdding = false;
    bool m_keepSelection = false;
    bool m_scrollLock = false;
    int m_pressedSelected = 0;
    int m_hoverCode = 0;
    uint16_t m_hoverPriority = 0;
    bool m_hoverCheckPending = false;

    CRect m_page{0, 0, 1200, 800};
    CSize m_scrollRange;
    int m_cursor = 0;
    CPoint m_toolbarDropPoint{8, 8};
    CPoint m_lastHover{-1000, -1000};
    bool m_shownEditAllowed = false;
    bool m_knowEditAllowed = false;
    // The drag handle (a mechanism's knob) being worked: it takes the
    // press, the moves and the release in place of the part under it.
    CPart* m_handle = nullptr;
    // A part has been pressed (a drag may begin on the next move).
    bool m_pressed = false;
    CPoint m_pressPoint;
    // The floating design is carrying its parts (a drag, an add or a paste).
    bool m_dragging = false;
    // The floating design holds a part that still stands in the design.
    bool m_heldInDesign = false;
    // The floating design carries parts new to the design (an add or a
    // module): their drop is an edit, reset and recorded for Undo.
    bool m_addPending = false;
    // A design file dragged over the canvas, read into the floating design.
    bool m_dragEntered = false;
    // The wire being drawn.
    std::unique_ptr<CWireRoute> m_route;
    // Where the terminals of the parts being moved were joined (index into
    // m_jointParts, terminal index, outer end).
    struct CJoint {
        size_t part;
        int terminal;
        CPoint at;
    };
    std::vector<CJoint> m_joints;
    std::vector<CPart*> m_jointParts;
    // While a part turns: the box its body and stubs cover before and after
    // the turn, a grid step wider, on grid lines (empty for a move).
    CRect m_turnZone;
};
