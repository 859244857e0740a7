// The part tree of a design: the design's own child list holds five group
// parts, and each group's child list holds the design's top-level parts of
// one kind.  CPartTree is the C++ base of the design root: it owns the
// groups and their name map, files parts into groups by class, walks them,
// reads and writes the tree, and answers the few questions about the design
// that the part base asks (locked?, grid, page, overlap).  The design root
// overrides those questions with its real settings.
#pragma once

#include "model/parts/part.h"

#include <map>
#include <vector>

// Group codes of the filing operations and the walk.
enum : int {
    GROUP_COMPONENTS = 0,
    GROUP_OTHERS = 1,
    GROUP_PROBES = 2,
    GROUP_WIRES = 3,
    GROUP_END = 4,
    GROUP_PARTLIST = 6,
    GROUP_PARTLIST2 = 7,
    GROUP_FLOWOBJECTS = 9,
};

// "COMPONENTS", "OTHERS", ... for a group code; null for other codes.
const char* GroupName(int code);

class CPartTree : public CPart {
public:
    CPartTree();
    ~CPartTree() override;

    // ---- what the part base asks of its design ----
    virtual DWORD GetOptionWord() const { return m_dwOptions; }
    bool IsLocked() const { return (GetOptionWord() & 0x4000) != 0; }
    virtual int GetGridStep() const { return m_nGridStep; }
    // Both coordinates rounded to the nearest multiple of the grid step.
    virtual CPoint SnapToGrid(CPoint p) const;
    virtual CRect GetPageRect() const { return m_rcPage; }
    virtual DWORD GetRedrawFlags() const { return 0; }
    virtual bool IsDropBlocked() const { return false; }
    virtual bool IsInProgress() const { return false; }
    // True when the point lies above the top of the view's client area.
    virtual bool IsAboveView(CPoint) const { return false; }
    // The design is told when a drag of part starts and when a drag ends.
    virtual void OnDragStarted(CPart*) {}
    virtual void OnDragEnded() {}
    // True when a top-level part other than part overlaps it.
    virtual bool Overlaps(CPart* part);
    // A temporary design belongs to no document (pasted, dragged parts).
    virtual bool IsTemporary() const { return m_bTemporary != 0; }
    virtual int GetSelectionScope() const { return m_nSelectionScope; }

    // ---- groups ----
    // 0 COMPONENTS, 3 WIRES, 2 PROBES, 9 FLOWOBJECTS, 1 OTHERS, tested in the
    // order kind of CComponent, CWire, CProbe, CFlowObject.
    static int FileByClass(const CPart* part);
    void CreateMissingGroups();
    // The group of a code, the given list part for code 6, else null.
    CPart* GetGroup(int code, CPart* list = nullptr) const;
    void PushFrontByClass(CPart* part);
    void AppendByClass(CPart* part);
    // Files by class and appends; with a list part, offers the part to it and
    // its following siblings (QueryDefault47) and adds it to the first taker.
    CPart* InsertByClass(CPart* part, CPart* listPart = nullptr);
    // The design's AddChild: files the part into its group.
    CPart* AddChild(CPart* part) override;
    CPart* PopFront(int code);
    CPart* PopBack(int code);
    CPart* GetBeforeLast(int code) const;
    int RemoveFromGroup(int code, CPart* listPart, CPart* part);
    int RemovePart(CPart* part);
    bool IsEmpty() const;
    void DetachAll(bool deleteFlag);
    void DeleteGroups();
    void RebuildNameMap();
    // While reading (ar given), the indices of the parts it deletes die.
    void AdoptNamedGroups(CArchive* ar = nullptr);
    CString NameOfGroup(const CPart* part) const;
    // Builds the groups from a chain of top-level parts read from a file
    // without a family; raises the bad-class exception when PROBES is missing.
    void ConvertOldChain(WORD storedVersion, CArchive* ar = nullptr);
    // Removes and deletes the placeholders that stand directly in a group.
    void DeletePlaceholders(CArchive* ar = nullptr);
    // Deletes parts already unlinked from the design after first clearing
    // every reference that the design's parts hold to them (and, while
    // reading, telling the archive they are gone).
    void DeleteDetached(const std::vector<CPart*>& parts, CArchive* ar = nullptr);

    // ---- the part tree in the archive ----
    // The groups (named, separated, ended by "NULLTREE"), the design's base
    // data and the links pass; after reading, the group fix-ups.  An archive
    // without a family carries a plain chain instead.
    void SerializeTree(CArchive& ar);

    // ---- hit search ----
    CPart* FindPartAt(CPoint point, DWORD mask, DWORD stopMask, WORD options);
    // One search at a point: exact, half-snapped, half-grid and snapped.
    CPart* SearchAt(CPoint point);

    CPart* m_pComponents = nullptr;
    CPart* m_pOthers = nullptr;
    CPart* m_pProbes = nullptr;
    CPart* m_pWires = nullptr;
    CPart* m_pFlowObjects = nullptr;
    std::map<CString, CPart*> m_mapGroups;

    DWORD m_dwOptions = 0xE97324D7;
    int m_nGridStep = 8;
    CRect m_rcPage{0, 0, 1600, 1400};
    int m_bTemporary = 0;
    int m_nSelectionScope = 1;
    // A part this tree heads a group with while it still stands in another
    // design (HoldOnlyPart of the canvas's floating design): its next link
    // belongs to that design's list, so the walk ends the group at it, and
    // removing or deleting the groups lets go of it without touching it.
    CPart* m_pHeldPart = nullptr;
    // The version of the file the design was read from.
    WORD m_wStoredVersion = 3;

private:
    CPart** GroupSlot(int code);
    void ReadGroups(CArchive& ar);
    void ReadOldChain(CArchive& ar);
    void WriteGroups(CArchive& ar);
    void WriteOldChain(CArchive& ar);
};

// The walk over a design's top-level parts, group by group, each group in
// list order, without descending into children.
//   filter 0:     COMPONENTS, FLOWOBJECTS, PROBES, WIRES, OTHERS
//   filter != 0:  OTHERS, COMPONENTS, FLOWOBJECTS, PROBES, WIRES
// With a list part, the walk covers that part's children first and then
// goes on from PROBES.  A temporary design whose selection scope is 0 is
// walked only through its first non-empty list.
class CPartIterator {
public:
    CPartIterator(CPartTree* design, int filter, CPart* list = nullptr);
    void Reset();
    CPart* GetCurrent() const { return m_pCurrent; }
    // Returns the current part and moves on.
    CPart* Next();

private:
    void EnterFrom(int step);

    CPartTree* m_pDesign;
    CPart* m_pList;
    int m_order[7];
    int m_nSteps = 0;
    int m_nStep = 0;
    bool m_bRestricted = false;
    CPart* m_pCurrent = nullptr;
};
