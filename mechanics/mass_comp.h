// CMassComp: a mass sliding along a track between two end stops.  Both
// terminals (left 0, right 1) carry the mass's displacement (one ideal
// link); the inertia (label in grams, 1000 by default) and the upper stop
// act at the right terminal, the lower stop at the left.  A new mass stands
// at 0.02 m between stops at 0 and 0.04 m; the stops are stiff springs
// (CStop) off which it bounces.  It can be grabbed by its drag handle and
// pulled with 4000 N per metre of lag, and the track can be lengthened by
// its two resize handles (never shorter than 240 pixels).  A spring that
// finds it oscillating freely sets its trapezoid flag for one step.
#pragma once

#include "mechanics/mech_comp.h"
#include "mechanics/motion_models.h"
#include "mechanics/stop.h"

class CKnob;
class CResize;

class CMassComp : public CMechComp {
    WB_DECLARE_SERIAL(CMassComp)
public:
    CMassComp();

    // The CComponent record, the mass, the lower stop, the upper stop.
    // Files of version 3 and lower hold the mass only: the part gets a new
    // drag handle and its resize handles, moves by (12, 14) and restarts.
    void Serialize(CArchive& ar) override;

    void CreateChildren() override;
    int CanProbeAt(int, int) override { return 1; }
    DWORD GetProbeQuantities(int, int) override { return 284; }
    double GetQuantity(int x, int y, int code) override;
    void AccumulateMotion(CPartTree* design, int phase, int axis, double displacement) override;
    // handle: the resize handle's anchor x; right of the middle it moves
    // the right end, else the left end.
    int AttachMechanism(int handle, int movement) override;
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;
    int GetKindCode() override { return 6; }

    // ---- virtual operations of the mass ----
    // Either stop in contact (the spring's settling test asks).
    virtual int IsStopEngaged() const { return m_lower.IsEngaged() || m_upper.IsEngaged(); }
    void DrawMovingBody(DWORD flags) override;

    // ---- plain operations ----
    void SetTrapezoid(int flag) { m_nTrapezoid = flag; }
    int GetTrapezoid() const { return m_nTrapezoid; }
    // The rule the last step ran by (1 trapezoidal, 0 backward Euler).
    int GetStepRule() const { return m_nStepRule; }
    // Kinetic energy recorded after the step of ring index i (0..9).
    double GetKineticEnergy(int i) const { return m_ring[(i % 10 + 10) % 10]; }
    const CMass& GetMass() const { return m_mass; }
    const CStop& GetLowerStop() const { return m_lower; }
    const CStop& GetUpperStop() const { return m_upper; }
    bool IsHeld() const { return m_hold.held != 0; }
    double GetHeldPosition() const { return m_hold.target; }
    CKnob* GetHandle() const;
    // The mass body's left edge on the canvas.
    int BodyLeft() const;

    static constexpr int kMinWidth = 240;
    static constexpr int kHeight = 28;
    // Track pixels the body takes beside its travel: the stops stand 22 from
    // the left end and 26 from the right one, the body is 32 wide.
    static constexpr int kLeftEnd = 22;
    static constexpr int kBodyWidth = 32;
    static constexpr int kTravelMargin = 80;
    static constexpr double kHoldStiffness = 4000.0;
    static constexpr double kStartPosition = 0.02;

private:
    double Rate() const;
    void AddHandles();
    void PlaceHandle();
    // Upper limit of the travel for the present width.
    double TravelLimit() const;

    CMass m_mass;
    CStop m_lower;
    CStop m_upper;
    int m_nTrapezoid = 0;
    int m_nStepRule = 0;
    double m_ring[10] = {};
    CHandHold m_hold;
};
