// CPart: the base of every object that can stand in a design.  A part is a
// rectangle on the canvas with an orientation code (0..3 quarter turns, 4..7
// the mirrored forms), a 16-bit flag word, a selected flag and an ordered list
// of child parts that it owns.  Behaviour that subclasses refine is reached
// through the virtual operations below, declared in their fixed order.
#pragma once

#include "platform/archive.h"
#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/runtimeclass.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

class CPartTree;
class CControlItemList;
class CDisplay;
class CBitmap;

// Flag-word bits.
enum : WORD {
    PF_SELECTABLE_LOCKED = 0x0001, // may be selected while the design is locked
    PF_MOVABLE_LOCKED = 0x0002,    // may be moved while the design is locked
    PF_CANSELECT_LOCKED = 0x0004,  // CanSelectWhenLocked answers true when locked
    PF_PLACEHOLDER = 0x0008,       // stands in for a part whose class failed to load
    PF_ANCHORED = 0x0010,          // anchored in a group box
};

// Orientation tests on a code 0..7.
inline bool IsEvenOrientation(int code) { return (code & 1) == 0; }
inline bool IsOddOrientation(int code) { return (code & 1) != 0; }
inline bool IsMirroredOrientation(int code) { return code >= 4 && code <= 7; }
inline bool IsOrientation(int code, int other) { return code == other; }

// Turns point p about anchor a from orientation code oldCode to newCode
// (y grows downwards on the canvas; the turn is computed with y up).
CPoint TurnPoint(CPoint p, CPoint a, int newCode, int oldCode);
struct CPointD {
    double x = 0, y = 0;
};
CPointD TurnPoint(CPointD p, CPointD a, int newCode, int oldCode);

// A label placement: which pass places it, on which side of its part.
struct CLabelPlacement {
    int pass = 0;
    int side = 0;
    int flag = 0;
};

// The shared hit-search record: the class mask (bit 0: every class), options
// (bit 0 requires IsDesignItem, bit 1 requires CanProbeAt) and the best
// candidate so far.
class CPart;
struct CHitSearch {
    DWORD mask = 1;
    WORD options = 0;
    CPart* best = nullptr;
    CPart* skip = nullptr; // HitTestExcept: never offered
    // Returns the best candidate (or def when there is none) and clears it.
    CPart* TakeResult(CPart* def = nullptr);
    void Reset()
    {
        mask = 1;
        options = 0;
        best = nullptr;
        skip = nullptr;
    }
};
CHitSearch& SharedHitSearch();

// Where the part base draws its own marks (the selection frame, erasing).
// The drawing layer installs one while a drawing scope is open; with none
// installed nothing is drawn (headless use, tests).
class CPartDrawing {
public:
    virtual ~CPartDrawing() = default;
    // Frames rect with the hatched selection frame; returns the drawing's result.
    virtual int FrameSelection(const CRect& rect) = 0;
    // Fills rect with the background.
    virtual void EraseRect(const CRect& rect) = 0;
    static CPartDrawing* Current();
    // Installs d (null: none); returns the previous one.
    static CPartDrawing* Install(CPartDrawing* d);
};

// The shared press-and-drag state of the canvas.
struct CPressState {
    bool pressed = false;     // a press is armed
    bool dropAllowed = false; // the pressed part may be dropped
    bool dragImage = false;   // a drag image exists
    bool canDrop = false;     // CanDrop recorded when the drag started
    int childFlag = 0;        // the last OnChildPressed flag
    CPoint dragOrigin;        // grid-snapped point of the press
    CPoint dragPoint;         // the last drag point
    CRect dragRect;           // the drag image's rectangle
    // The pending drag or insert operation: the part whose drag the design
    // was told of (CPartTree::OnDragStarted) until the operation ends.  A
    // part being deleted clears it.
    CPart* pendingOp = nullptr;
    void Reset() { *this = CPressState(); }
};
CPressState& SharedPressState();

class CPart : public CObject {
    WB_DECLARE_SERIAL(CPart)
public:
    CPart();
    explicit CPart(const CRect& rect);
    ~CPart() override;
    CPart(const CPart&) = delete;
    CPart& operator=(const CPart&) = delete;

    // Writes or reads the part's record: child list, base data, trailer.
    void Serialize(CArchive& ar) override;

    // ---- virtual operations, in their fixed order ----
    virtual int Initialise();
    virtual void CreateChildren();
    virtual CRect BeginDragImage();
    virtual void ResetVisual();
    virtual void InitVariant(const CRuntimeClass* variant);
    virtual void SerializeBase(CArchive& ar);
    virtual void SerializeTrailer(CArchive& ar);
    virtual void SerializeChildren(CArchive& ar, int mode);
    virtual void SerializeLinks(CArchive& ar);
    // version: the version word of the archive the design was read from.
    virtual void AfterLoad(CPartTree* design, DWORD flags, WORD version);
    virtual int QueryDefault13();
    virtual int OnPress(CPartTree* design, int x, int y);
    virtual int OnMouseDown(CPartTree* design, int x, int y, UINT flags);
    virtual CRect OnDrag(CPartTree* design, CPoint point);
    virtual int OnRelease(CPartTree* design, int x, int y);
    virtual int SetInputValue(CPartTree* design, int value);
    virtual int DefersToParent();
    virtual void AfterParentPress();
    virtual int IsGroupBox();
    virtual void OnChildPressed(int flag, CPart* child);
    virtual int TrackHandle(CPartTree* design, CPoint point);
    virtual int AttachMechanism(int handle, int movement);
    virtual void FindAttachments(CPartTree* design);
    virtual void UpdateAttachments(CPartTree* design);
    // A drag handle moves a mechanism part: phase 0 holds the element the
    // axis id picks, 1 adds the displacement to its target, 2 lets it go.
    virtual void AccumulateMotion(CPartTree* design, int phase, int axis, double displacement);
    virtual void StartDrag(CPartTree* design, CPoint point);
    virtual int CanDrop(CPartTree* design);
    virtual void Drop(CPartTree* design);
    virtual CPart* FindContainer();
    virtual CPart* AddChild(CPart* part);
    virtual int RemoveChild(CPart* part);
    virtual void MarkChanged();
    virtual int IsChanged();
    virtual int HasText();
    virtual int ShowInfo(CPoint point, CString& bubbleText);
    virtual DWORD GetProbeQuantities(int x, int y);
    virtual double GetQuantity(int x, int y, int code);
    virtual int CanProbeAt(int x, int y);
    virtual CRect GetExtent(int x, int y);
    virtual CPart* FindLinkedControls(CPartTree* design, int matchExtent, int x, int y, int* count, CPart* skip);
    virtual void OnSimulationStopped();
    virtual void OnSimulationReset();
    virtual void OnRunStateChanged();
    virtual void UpdateChildWindow();
    virtual int QueryDefault47(CPart* part);
    virtual int CollectEnclosed(CPartTree* design);
    virtual int ReleaseEnclosed(CPartTree* design);
    virtual int CanConnectKind(int kind);
    virtual int IsInert();
    virtual int IsWire();
    virtual int LiesWithin(const CRect& rect);
    virtual void JoinConnections(CPartTree* design);
    virtual void RenumberNet(int oldNet, int newNet);
    virtual void VisitNets(int a, int b);
    virtual void NumberNets(int limit, int& counter);
    virtual void ClearNets();
    virtual int CoupleLight(CPart* part);
    virtual double GetLightOutput();
    virtual int IsControl();
    virtual int IsDesignItem();
    virtual int IsFreeDesignItem();
    virtual int IsBroken();
    virtual int IsWindowShown();
    virtual int OnHoverLeave();
    virtual int OnHoverEnter();
    virtual int IsPlainItem();
    virtual CPart* GetLinkedSwitch();
    virtual CPart* GetNext();
    virtual CPartTree* GetCircuit();
    virtual const char* GetLinkName();
    virtual bool HasResizeFrame();
    virtual bool CanMoveWhenLocked(CPartTree* design);
    virtual int HasAlternateLook();
    virtual void UseAlternateLook();
    virtual int HasInfo(int x, int y);
    virtual int BuildInfo(CString& text, UINT messageId, CPoint point);
    virtual void OnViewChanged(int code, void* view);
    virtual void SetRunning(int flag);
    virtual void OnPartChanged(CPart* part);
    virtual void AttachToCircuit(CPartTree* design);
    virtual void SetRect(const CRect& rect);
    virtual CPart* HitTest(CPoint point);
    virtual int PtInPart(CPoint point);
    virtual int IntersectsRect(const CRect& rect);
    virtual int IntersectsPart(CPart* other);
    virtual void Offset(int dx, int dy);
    virtual int IsInRect(const CRect& rect, int whole);
    virtual DWORD GetHitClass();
    virtual int GetPartKind();
    virtual void OnSettingsChanged(int value);
    virtual void RefreshState();
    virtual int QueryDefault94();
    virtual void DrawTree(DWORD flags);
    virtual void EraseTree();
    virtual void DrawTreeInRect(DWORD flags, int mode, const CRect& rect, CPart* except);
    virtual void Redraw(DWORD flags);
    virtual void SetHover(int flag, CPoint point);
    virtual int Draw(DWORD flags);
    virtual void Select(DWORD flags);
    virtual void Deselect(DWORD flags);
    virtual void FollowSelection(CPartTree* design);
    virtual void SelectIfInRect(const CRect& rect, DWORD flags, int whole);
    virtual int IsDeletable();
    virtual bool CanSelectWhenLocked(CPartTree* design);
    virtual CPart* GetPropertyOwner();
    virtual int GetLabelPlacements(CLabelPlacement* records);
    virtual int AllowsSharedLabelSide();
    // anchor: the point turned about (null: the centre of the part's rectangle).
    virtual int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor);
    virtual void SetRectRecursive(const CRect& rect);
    virtual void PlaceLabel(int side, CPart* part, const CPoint* offset);
    // Applies the settings text the part's last property command produced.
    virtual int ApplySettingsText();
    // Applies a settings text ("Orient:%d", ...); flag 0 moves the part out
    // of the way while it changes.  1: nothing to apply.
    virtual int ApplySettingsText(const CString& text, int flag);
    virtual void OnWaveformChanged();
    virtual int FillProperties(CControlItemList& items);
    virtual int GetPropertyTexts(CControlItemList& items);
    virtual int GetPropertyBitmap(int id);
    // The property toolbar's bitmap buttons: their command ids (0 a gap) and,
    // when bitmap is given, their pictures side by side; returns the count.
    virtual int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap);
    virtual int IsPropertyChecked(int commandId, int& flag);
    virtual int OnPropertyCommand(int commandId, const CString& text);
    virtual int IsFlowchartPart();

    // ---- plain operations ----
    bool IsSelected() const { return m_bSelected != 0; }
    bool HasFlag(WORD mask) const { return (m_wFlags & mask) != 0; }
    void ModifyFlags16(WORD bits, bool set);
    bool IsSelectableWhenLocked(CPartTree* design) const;
    bool HasOddOrientation() const { return IsOddOrientation(m_nOrientation); }
    // Unites this part's rectangle and every descendant's into rect.
    void GetTotalRect(CRect& rect) const;
    CRect GetUnionRect() const;
    // In the tree starting at list (its siblings and their children): the
    // part whose child list holds part, or null.
    static CPart* FindParentOf(CPart* list, CPart* part);
    CPart* HitTestExcept(CPoint point, CPart* skipped);
    bool OverlapsOtherPart(CPart* part);
    void BeginPress(CPartTree* design, CPoint point, bool cursorFlag);
    // The part of the base drop after filing: draw, then couple light.
    void FinishDrop(CPartTree* design);

    // The part a probe or meter is attached to (null for other parts); the
    // design's PROBES group is searched by it (FindLinkedControls).
    virtual CPart* GetAttachedPart();
    // Clears every reference (in this part and its descendants) to an object
    // of gone: objects that the design is about to delete after reading.
    // Subclasses that hold references to other parts override it.
    virtual void DropDeadLinks(const std::unordered_set<const CObject*>& gone);

    const CRect& GetRect() const { return m_rect; }
    CPart* GetFirstChild() const { return m_pFirstChild; }
    CPart* GetNextSibling() const { return m_pNext; }
    void SetNextSibling(CPart* next) { m_pNext = next; }
    void SetFirstChild(CPart* first) { m_pFirstChild = first; }
    int GetOrientation() const { return m_nOrientation; }
    WORD GetFlags() const { return m_wFlags; }
    int ChildCount() const;
    // Appends at the end of the child list (AddChild pushes at the front).
    void AppendChild(CPart* part);
    // Deletes every child and empties the list.
    void DeleteChildren();

    // Members, in their declared order.
    CRect m_rect;
    CPart* m_pNext = nullptr;
    CPart* m_pFirstChild = nullptr;
    int m_bSelected = 0;
    WORD m_wFlags = 0;
    int m_bInfo = 0;
    int m_bChanged = 0;
    const CRuntimeClass* m_pPendingVariant = nullptr;
    int m_nOrientation = 0;

    // The canvas view's hovered part; a part being deleted clears it.
    static CPart*& HoveredPart();
};

// Reads an owned part (null, or a new object of a kind of CPart).
CPart* ReadPart(CArchive& ar);
// Adds part and all its descendants to set.
void CollectTree(const CPart* part, std::unordered_set<const CObject*>& set);
// Tells the archive that part and its descendants are deleted, so that a
// later back reference to one of them is refused.
void ForgetTree(CArchive& ar, const CPart* part);
