// CMechTerm: the terminal of a mechanism part, a node of the same network as
// the circuits.  Its node value is a displacement (metres on a linear
// terminal, radians on a rotational one); the flow the solver reports into
// it is the force or torque of the part's elements.  After every accepted
// solve it takes the new position, derives the velocity from the move,
// keeps the force and works out its force marks.
#pragma once

#include "model/components/terminal.h"

#include <vector>

class CComponent;

// Mark states: 0 to 3 show marks (direction and saturation), 7 to 9 none.
enum : WORD {
    MARK_FORWARD = 0,
    MARK_FORWARD_FULL = 1,
    MARK_BACKWARD = 2,
    MARK_BACKWARD_FULL = 3,
    MARK_FIXED = 7,
    MARK_RESET = 8,
    MARK_NONE = 9,
};

// What a mechanism part asks for when it adds a terminal.
struct CMechPin {
    int kind = WIRE_ROTATIONAL; // WIRE_ROTATIONAL or WIRE_LINEAR
    int side = 0;               // 0 top, 1 right, 2 bottom, 3 left
    CPoint pin;                 // the pin pixel on the part's edge
    CPoint a, b, c;             // anchors: force marks, stub, rotation marks
    WORD showForceMarks = 1;
    WORD showRotationMarks = 0;
};

// Pixels per metre of linear travel on the canvas.
constexpr double kPixelsPerMetre = 4000.0;
// A displacement on the canvas, rounded half up.
int MetresToPixels(double x);

class CMechTerm : public CTerminal {
    WB_DECLARE_SERIAL(CMechTerm)
public:
    CMechTerm() = default;
    // Anchors default to the pin; the stub is laid out from it.
    CMechTerm(const CMechPin& pin, uint16_t node);
    // No terminal keeps a link to this one once it is gone.
    ~CMechTerm() override;

    // position, velocity, force, anchors A and B, the linked terminal, the
    // force-marks flag, anchor C, the rotation-marks flag, then the
    // CTerminal record.  Files of version 3 and lower start at rest.
    void Serialize(CArchive& ar) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    void OnSimulationStopped() override;
    void OnSimulationReset() override;
    void TraceConnectedValues(double* value, double* current, CWire* from, CWire* before, int depth = 0) override;
    WORD SetStyle(int fixed) override;
    // Takes the owner's broken state and the design's update rate and runs
    // ReadMotion; the redraw flags of CTerminal::Refresh.
    int ReadSolution(const double* nodeValues, int disconnected, double low, double high) override;
    int IsMechanical() override { return 1; }
    // The anchors move and turn with the stub, so the marks stay on it
    // when the part is moved or turned.
    void Offset(int dx, int dy) override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    // Drawing (mech_term_draw.cpp).
    int Draw(DWORD flags) override;
    void EraseTree() override;

    // ---- virtual operations of the mechanical terminal ----
    virtual void SetAuxValue(int value) { m_nAuxValue = value; }
    // The link is watched from both ends: when either terminal is deleted
    // the other forgets it.
    virtual void SetLinkedObject(CMechTerm* linked);
    // Rotation marks at C, the linear stub moved by the position, and the
    // force marks when they are shown.
    virtual void DrawMarks(DWORD flags);
    virtual void OffsetPointB(int dx, int dy) { m_ptB.Offset(dx, dy); }
    virtual void OffsetPointA(int dx, int dy) { m_ptA.Offset(dx, dy); }
    virtual void OffsetPointC(int dx, int dy) { m_ptC.Offset(dx, dy); }
    // Recomputes the mark level and state; 1 when either changed.
    virtual int GetMotion();
    // The force marks: a ring of level ticks about A (rotational) or an
    // arrow beside the stub end moved by d + position (linear).
    virtual void DrawSymbol(DWORD flags, double d);

    // ---- plain operations ----
    // The read-back with its inputs given: x the node value, r the update
    // rate (steps per simulated second).
    int ReadMotion(double x, bool ownerBroken, double r);
    // Forces that a part reports into the terminal during a step, beside
    // what the solver reports; read back as the step's force.
    void AddForce(double f) { m_dPendingCurrent += f; }
    // The motion models of the owner folded their displacement into their
    // base: node values start again from 0, and so does the position the
    // next velocity is taken from.
    void Rebase() { m_dPosition = 0.0; }
    double GetPosition() const { return m_dPosition; }
    double GetVelocity() const { return m_dVelocity; }
    double GetForce() const { return m_dForce; }
    WORD GetMarkLevel() const { return m_wMarkLevel; }
    WORD GetMarkState() const { return m_wMarkState; }
    bool IsStopped() const { return m_bStopped; }
    CMechTerm* GetLinkedObject() const { return m_pLinked; }
    int GetAuxValue() const { return m_nAuxValue; }
    CComponent* GetOwnerComponent() const;
    // The rectangle the marks and the moving stub may cover.
    CRect GetMarksRect() const;

    double m_dPosition = 0.0;
    double m_dVelocity = 0.0;
    double m_dForce = 0.0;
    CPoint m_ptA, m_ptB, m_ptC;
    WORD m_wShowForceMarks = 1;
    WORD m_wShowRotationMarks = 0;
    int m_nAuxValue = 0;
    WORD m_wMarkLevel = 0;
    WORD m_wMarkState = MARK_NONE;

private:
    CMechTerm* m_pLinked = nullptr;
    // The terminals whose link names this one.
    std::vector<CMechTerm*> m_linkedBy;
    bool m_bStopped = true;
    // Set while the owner is broken and the marks are cleared.
    bool m_bMarksCleared = false;
};
