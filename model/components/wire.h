// CWire: one straight segment of connection.  Wires and the terminals of
// components (CTerminal derives from CWire) are joined end to end through
// their two link words; everything joined together is one net, and the net
// numbering gives the whole net one solver node.  CCrossOver is one half of
// the marker where two wires cross without joining.
#pragma once

#include "model/parts/part.h"

class CCircuit;

// Kinds of connection.
enum : int {
    WIRE_ELECTRIC = 0,
    WIRE_ROTATIONAL = 1,
    WIRE_LINEAR = 2,
    WIRE_SHORT_STUB = 3, // electric, 12-pixel terminal stubs
    WIRE_LONG_STUB = 4,  // electric, 56-pixel stubs
    WIRE_MID_STUB = 5,   // electric, 48-pixel stubs
};

// Side codes of a wire (its CPart orientation): 0 vertical, 1 horizontal,
// 16 and 18 the two diagonals (kinds 1 and 2 only).
enum : int { WIRE_VERTICAL = 0, WIRE_HORIZONTAL = 1, WIRE_DIAGONAL_UP = 16, WIRE_DIAGONAL_DOWN = 18 };

// Kinds 0, 4 and 5 join each other; 1, 2 and 3 join only their own kind.
bool KindsJoin(int a, int b);

class CWire : public CPart {
    WB_DECLARE_SERIAL(CWire)
public:
    CWire() = default;
    // A wire from a to b (ordered as SetEndPoints orders them).
    CWire(CPoint a, CPoint b, int kind = WIRE_ELECTRIC);
    ~CWire() override;

    // Record: the CPart record, then WORD kind, WORD node, WORD 0.
    void Serialize(CArchive& ar) override;
    // Link A and link B as object references.
    void SerializeLinks(CArchive& ar) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    int IsWire() override { return 1; }
    int IsDesignItem() override { return 1; }
    DWORD GetHitClass() override { return 0x20; }
    int LiesWithin(const CRect& rect) override;
    int CanConnectKind(int kind) override { return KindsJoin(m_nKind, kind); }
    // Whether a route of routeKind may join this wire or terminal at point
    // (wire_edit.cpp): 0 no; at an end 2 when free (1 for kinds 1 and 2), 1
    // when joined to a wire that links back; in the middle 1 when nothing
    // else stands there.
    int CanConnectKind(CPoint point, CPartTree* design, int routeKind);
    // Leaves the net (wire_edit.cpp): the run of wires joined end to end on
    // either side goes with it, a junction it leaves is merged in line, and
    // every link word of the design that points here is cleared.
    void JoinConnections(CPartTree* design) override;
    // Every kind but 3 tells its net's values; the result is the cursor code.
    int HasInfo(int x, int y) override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    void RenumberNet(int oldNet, int newNet) override;
    void NumberNets(int limit, int& counter) override;
    void ClearNets() override;
    DWORD GetProbeQuantities(int x, int y) override;
    double GetQuantity(int x, int y, int code) override;
    // A probe may measure on any wire that has a quantity to offer.
    int CanProbeAt(int x, int y) override { return GetProbeQuantities(x, y) != 0; }
    // Files the wire into the design and lays it (CCircuit::LayWire): joins,
    // junctions, crossovers and merges.
    void Drop(CPartTree* design) override;
    // On the page.
    int CanDrop(CPartTree* design) override;
    // Drawing (wire_draw.cpp): the line, then the junction dot.
    int Draw(DWORD flags) override;
    // Shows (flag set) or hides the hover marker at point, then redraws.
    void SetHover(int flag, CPoint point) override;
    void DrawJoinDot();

    // Net tracing (voltage-like and current-like values of the net): walks
    // the joined wires without going back; a terminal ends the walk with its
    // own values.
    virtual void TraceConnectedValues(double* value, double* current, CWire* from, CWire* before, int depth = 0);

    // Orders the points (end A first), keeps the links with their ends, sets
    // the rect one past the far end and recomputes the side.
    void SetEndPoints(CPoint a, CPoint b);
    CPoint GetEndA() const;
    CPoint GetEndB() const;
    // 0 for end A, 1 for end B, -1 when the point is neither end.
    int EndAt(CPoint p) const;
    int GetKind() const { return m_nKind; }
    uint16_t GetNodeNumber() const { return m_wNode; }
    void SetNodeNumber(uint16_t node) { m_wNode = node; }
    CWire* GetLink(int end) const { return end ? m_pLinkB : m_pLinkA; }
    void SetLink(int end, CWire* w) { (end ? m_pLinkB : m_pLinkA) = w; }
    bool IsLinkedTo(const CWire* w) const { return m_pLinkA == w || m_pLinkB == w; }
    // Clears every link word of this wire that points to w.
    void UnlinkFrom(const CWire* w);

    // Joins end ea of a to end eb of b (both link words).
    static void Join(CWire* a, int ea, CWire* b, int eb);

    int m_nKind = WIRE_ELECTRIC;
    uint16_t m_wNode = 0;
    CWire* m_pLinkA = nullptr;
    CWire* m_pLinkB = nullptr;
    int m_bJoin = 0;
    CPoint m_ptJoin;
};

class CCrossOver : public CPart {
    WB_DECLARE_SERIAL(CCrossOver)
public:
    CCrossOver() = default;
    CCrossOver(CWire* wire, CPoint at);
    ~CCrossOver() override;
    void Serialize(CArchive& ar) override;
    void SerializeLinks(CArchive& ar) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    int OnPress(CPartTree*, int, int) override { return 0; }
    int LiesWithin(const CRect&) override { return 0; }
    // The bridge picture, frame = style, one pixel right of the rect.
    int Draw(DWORD flags) override;

    // Bridge style from the two crossing wires: -1 not drawn, else the frame.
    static int BridgeStyle(const CWire* a, const CWire* b);
    // Makes a pair on two crossing wires (each half is its wire's child).
    static void MakePair(CWire* a, CWire* b, CPoint at);
    // Takes the partners of the wire's halves off their wires and deletes them.
    static void DeletePartnersOf(CWire* wire);

    CWire* m_pWire = nullptr;
    CCrossOver* m_pPartner = nullptr;
    int16_t m_nStyle = 0;
};
