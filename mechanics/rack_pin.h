// CRackPin: a rack and pinion.  An 8-tooth pinion on a shaft meshes with a
// toothed rack that slides between two end stops; one ideal ratio link
//     x = r theta,   r = 0.0038196 m per radian
// joins the rack's displacement x to the pinion's angle theta, so one turn
// of the pinion moves the rack 2 pi r = 0.024 m (96 pixels).  The solver's
// ratio weighting passes the load back through the mesh with power
// conserved, F dx = T dtheta, so a torque T on the pinion pushes the rack
// with F = T / r.  The pinion carries the inertia of an 8-tooth wheel
// (1.12e-9 kg m^2), the rack a mass of 0.84 g; each has a viscous friction
// of 1e-7 (N m s/rad, N s/m), integrated by backward Euler.  A growing
// angle turns the pinion anticlockwise on the screen, which carries its
// bottom teeth, and the rack, to the right.
//
// Terminals (array order):
//   0  pinion shaft, stub down   linked to 2
//   1  rack, left end            carries the rack's mass and friction and
//                                the lower stop (travel 0)
//   2  pinion shaft, stub up     carries the pinion's inertia and friction
//   3  rack, right end           linked to 1; carries the upper stop
//                                (travel 0.018 m on a new rack)
// The pinion's handle (a rotate knob, axis 1) pulls it to the handle's
// angle with 180/pi N m per radian; the rack's handle (axis 0) pulls the
// rack with 4000 N/m.  The rack's two ends can be dragged out (resize
// grips); a longer rack keeps covering the pinion at both stops.
//
// Positions are absolute: the rack's is its left end's travel from the
// lower stop, the pinion's angle is the rack's position / r, so the
// pinion's teeth and the rack's stay in mesh on the screen across re-basing.
#pragma once

#include "mechanics/cog.h"
#include "mechanics/mech_comp.h"
#include "mechanics/motion_models.h"
#include "mechanics/stop.h"

#include <utility>
#include <vector>

class CKnob;
class CRotateKnob;

class CRackPin : public CMechComp {
    WB_DECLARE_SERIAL(CRackPin)
public:
    CRackPin();

    // The CComponent record, pinion inertia, rack mass, pinion; from
    // version 4 also the lower and upper stops, the pinion's and the rack's
    // friction, rack length and rest parameter (doubles).  Files of version
    // 3 and lower hold the first three only: the part restarts with a new
    // rack's length and travel and fresh handles.  A record whose numbers
    // are not finite, or whose rack would not reach the pinion, is refused.
    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;

    // ---- CPart ----
    void CreateChildren() override;
    // handle: the grip's anchor x (right half: the right end); movement in
    // pixels.  0 when the end stopped 108 pixels from the pinion's centre.
    int AttachMechanism(int handle, int movement) override;
    void FindAttachments(CPartTree* design) override;
    void UpdateAttachments(CPartTree* design) override;
    void AccumulateMotion(CPartTree* design, int phase, int axis, double displacement) override;
    DWORD GetProbeQuantities(int x, int y) override;
    double GetQuantity(int x, int y, int code) override;
    int CanProbeAt(int, int) override { return 1; }
    CRect GetExtent(int x, int y) override;
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;

    // ---- CComponent ----
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;
    int GetKindCode() override { return 5; }

    // ---- virtual operations of the rack and pinion ----
    // The pinion, the rack and the grips (CMechComp::DrawMoving).
    void DrawMovingBody(DWORD flags) override;
    // The rack's ends on the canvas (x).
    virtual int RackLeft(DWORD flags) const;
    virtual int RackRight(DWORD flags) const;
    // What a point (canvas) lies over: the element's terminal kind
    // (WIRE_ROTATIONAL the pinion, WIRE_LINEAR the rack) and whether the
    // point is on the element itself (else beside it).
    struct CHit {
        int kind;
        bool on;
    };
    virtual CHit HitElement(CPoint point) const;

    // ---- plain operations ----
    const CCog& GetPinion() const { return m_pinion; }
    const CMomentOfInertia& GetPinionInertia() const { return m_pinionInertia; }
    const CMass& GetRackMass() const { return m_rack; }
    const CFriction& GetPinionFriction() const { return m_pinionFriction; }
    const CFriction& GetRackFriction() const { return m_rackFriction; }
    const CStop& GetStop(int i) const { return i == 0 ? m_stop1 : m_stop2; }
    double GetRackLength() const { return m_dRackLength; }
    double GetRestParameter() const { return m_dRest; }
    bool IsPinionHeld() const { return m_pinionHold.held != 0; }
    bool IsRackHeld() const { return m_rackHold.held != 0; }
    double GetPinionTarget() const { return m_pinionHold.target; }
    double GetRackTarget() const { return m_rackHold.target; }
    CRotateKnob* GetPinionHandle() const;
    CKnob* GetRackHandle() const;
    // The pinion's centre from the part's left edge.
    int PinionCentreX() const;

    static constexpr double kRatio = 0.0038196;
    static constexpr double kInverseRatio = 261.8075;
    static constexpr double kRackMass = 0.00084;
    static constexpr double kPinionInertia = 1.12e-9;
    static constexpr double kFriction = 1e-7;
    static constexpr double kStartPosition = 0.009;
    static constexpr double kTravel = 0.018;
    static constexpr double kRackLength = 0.02275;
    static constexpr double kRestParameter = 0.020375;
    // The rack reaches this far past the pinion's contact at either stop.
    static constexpr double kOverlap = 0.002375;
    static constexpr double kHoldStiffness = 4000.0;
    static constexpr double kTurnStiffness = 57.29577951308232;
    static constexpr int kWidth = 216;
    static constexpr int kHeight = 56;
    static constexpr int kPinionCentre = 108;
    static constexpr int kPinionTop = 1;
    static constexpr int kRackTop = 32;
    static constexpr int kRackMiddle = 41;
    // The nearest a rack end comes to the pinion's centre (pixels).
    static constexpr int kEndReach = 108;
    // The rack's left end at position 0, from the part's left edge.
    static constexpr int kRackOrigin = 27;
    static constexpr int kRightGripFromEnd = 26;
    static constexpr int kLeftGrip = 23;
    static constexpr int kTopRows = 35;

private:
    double Rate() const;
    void LayPinion();
    void AddTerminals(CPoint corner);
    void AddHandles();
    void PlaceHandles();
    void LinkPartners();
    // The part's dimensions and the models for a new rack.
    void SetNewRack();
    // Rack base, pinion base and the stops' offsets at the position.
    void MoveBase(double position);
    // Keeps the rack between its stops after a resize.
    void ClampBase();
    bool IsSane() const;

    CMass m_rack;
    CMomentOfInertia m_pinionInertia;
    CCog m_pinion;
    CFriction m_pinionFriction;
    CFriction m_rackFriction;
    CStop m_stop1;
    CStop m_stop2;
    CHandHold m_pinionHold;
    CHandHold m_rackHold;
    double m_dRackLength = kRackLength;
    double m_dRest = kRestParameter;
    int m_nTrapezoid = 0;
    // Probes on the part and their rectangles while a grip is dragged.
    std::vector<std::pair<CPart*, CRect>> m_probes;
};
