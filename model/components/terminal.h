// CTerminal: the connection point of a component, a short wire stub that is
// the component's child.  It starts at a pin of the picture and points
// outward; its outer end is where wires and other terminals join.  After
// every solve it holds its node voltage and the current into the component
// at this pin; the solver reaches it through CSolverTerminal.
#pragma once

#include "model/components/wire.h"
#include "model/solver/solver_terminal.h"

// Level styles.
enum : WORD {
    LEVEL_FIXED_MARKER = 7, // bar frame 7, voltage not tracked, not treated as joined
    LEVEL_DEFAULT = 8,      // no level shown yet
    LEVEL_NONE = 9,         // no level display
};

// Stub length of a kind: 3 -> 12, 4 -> 56, 5 -> 48, others 20.
int GetStubLength(int kind);

class CTerminal : public CWire, public CSolverTerminal {
    WB_DECLARE_SERIAL(CTerminal)
public:
    CTerminal() = default;
    // side 0 top, 1 right, 2 bottom, 3 left; the stub runs outward from the pin.
    CTerminal(int side, CPoint pin, uint16_t node, int kind = WIRE_ELECTRIC, DWORD extra = 0);

    void Serialize(CArchive& ar) override;
    int IsDesignItem() override { return 0; }
    DWORD GetHitClass() override { return 0x40; }
    void OnSimulationStopped() override;
    void OnSimulationReset() override;
    // Unlinks the terminal from its net (the design's link words to it and
    // its own) and gives it a fresh node of its own.
    void JoinConnections(CPartTree* design) override;
    // Joins its outer end to touching wire ends and terminals of other parts.
    void Drop(CPartTree* design) override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void TraceConnectedValues(double* value, double* current, CWire* from, CWire* before, int depth = 0) override;

    // CSolverTerminal.
    uint16_t GetNode() const override { return m_wNode; }
    void AddCurrent(double current) override { m_dPendingCurrent += current; }

    // ---- virtual operations of the terminal ----
    virtual WORD SetStyle(int fixed);
    // Takes the node's value and the collected current; returns redraw flags
    // (0x01 draw itself, 0x04 level changed, 0x08 direction changed, 0x10|0x20
    // the joined wire).
    virtual int ReadSolution(const double* nodeValues, int disconnected, double low, double high);
    // Redraws what ReadSolution reported: 0x02 erase itself, 0x10 erase and
    // 0x20 draw the joined wire, 0x01 draw itself, 0x08 its current arrow,
    // 0x04 its level display (terminal_draw.cpp).
    virtual void Refresh(int what, DWORD drawFlags);
    virtual int GetLevelCode(double low, double high);
    virtual int IsMechanical() { return 0; }
    // Adds the proxy child over the stub that passes presses to the terminal.
    virtual void CreatePinMarker();
    // The current arrow beside the stub (short stubs always, others with
    // draw flag 0x10), frame = direction state.
    virtual void DrawMarker(DWORD drawFlags);

    // ---- drawing (terminal_draw.cpp) ----
    int Draw(DWORD flags) override;
    void EraseTree() override;
    // The voltage-level bar beside the stub (shown for level styles 0-3 and 7).
    void DrawLevel(DWORD drawFlags);
    bool ShowsLevel() const;
    // Where the arrow and the level bar stand (4 x 8 bar, 6 x 3 or 4 x 5 arrow).
    CRect GetArrowRect() const;
    CRect GetLevelRect() const;

    // ---- plain operations ----
    void SetCurrent(double current) { m_dCurrent = current; }
    double GetCurrent() const { return m_dCurrent; }
    double GetVoltage() const { return m_dVoltage; }
    int UpdateCurrentDirection();
    // Joined to a wire or another terminal at its outer end (a fixed-marker
    // terminal never counts).
    bool IsJoined() const;
    CWire* GetJoinedWire() const;
    // The pin point (inner end) and the outer end where joins are made.
    CPoint GetPinPoint() const;
    CPoint GetOuterEnd() const;
    int GetOuterEndIndex() const { return (m_nOrientation == 0 || m_nOrientation == 3) ? 0 : 1; }
    int GetSide() const { return m_nOrientation; }
    // The side the stub stands on as seen from its owner's rectangle: a
    // vertical stub above or below the owner's middle is 0 or 2, a
    // horizontal one left or right of it 3 or 1.  Files of version 2 and
    // lower code the side otherwise; the stub itself tells it.
    int SideFromOwner(const CRect& owner) const;
    // Takes that side; the stub stays where it lies, the pin marker follows.
    void TakeSideFromOwner(const CRect& owner);
    // Lays the stub out from the pin for the side and kind.
    void LayOut(int side, CPoint pin);
    CPart* GetOwner() const { return m_pOwner; }

    double m_dVoltage = 0.0;
    double m_dCurrent = 0.0;
    double m_dPendingCurrent = 0.0;
    WORD m_wLevelStyle = LEVEL_NONE;
    WORD m_wFlagsWord = 0;
    int m_nDirection = 3;
    int m_nLevelCode = 4;
    WORD m_wLevelNumber = 0;
    WORD m_wPrevLevelNumber = 0;
    WORD m_wPrevLevelStyle = 0;
    int m_bBroken = 0;
    DWORD m_dwExtra = 0;
    bool m_bHasPinMarker = false;
    CPart* m_pOwner = nullptr; // the component (its parent), set by the owner
};
