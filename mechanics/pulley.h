// CPulley: a weight hanging on a rope over a pulley wheel at the top of a
// tall, narrow part.  Its one linear terminal, at the top, carries the
// rope's pull to the linear wire joined there: the weight (label in grams,
// 1 kg by default) pulls the node's displacement up with
//     W = m g   (g the design's gravity, 10 or 9.81 m/s^2),
// a displacement that rises being the weight going down.  The weight's
// inertia is a mass companion at the same node, so a load joined to the
// rope and the weight move together: a = m g / (m + M) for a free mass M.
// The weight cannot rise above the wheel: a lower stop at its starting
// height.  The rope is a one-way element (a diode model) whose knee lies
// 1000 m out, the far travel limit of every applied force.  A pulley whose
// terminal is joined to nothing stamps nothing: a weight that pulls on no
// rope does not fall.
//
// The rope lengthens by dragging the part's bottom (two resize grips); the
// part is never shorter than 196 pixels.  Moving the part on the canvas
// puts the weight back at the top; resizing it does not.
#pragma once

#include "mechanics/mech_comp.h"
#include "mechanics/motion_models.h"
#include "mechanics/stop.h"
#include "model/solver/diode_model.h"

class CPulley : public CMechComp {
    WB_DECLARE_SERIAL(CPulley)
public:
    CPulley();

    // The CComponent record, the weight, the travel stop.  After loading
    // the grips are placed again and the resized flag is set, so that the
    // drop of a pasted or restored part keeps the weight where it hung.  A
    // weight whose motion is not finite starts again at the top.
    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;

    // ---- CPart ----
    // The rectangle, the terminal, the two grips and the value label.
    void CreateChildren() override;
    // A vertical movement of the bottom edge; 0 when the part stopped at
    // its least height.
    int AttachMechanism(int handle, int movement) override;
    void Drop(CPartTree* design) override;
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

    // ---- virtual operations of the pulley ----
    // The wheel, the rope, the weight and the grips (CMechComp::DrawMoving).
    void DrawMovingBody(DWORD flags) override;

    // ---- plain operations ----
    // The weight's pull, m g (N), from the label and the design's gravity.
    double GetPull();
    const CMass& GetWeight() const { return m_weight; }
    const CStop& GetStop() const { return m_stop; }
    const CDiodeModel& GetRope() const { return m_rope; }
    bool IsResized() const { return m_bResized != 0; }
    // The weight's top edge on the canvas, and whether it is drawn (a
    // weight that fell past the part's bottom is not).
    int WeightTop() const;
    bool IsWeightShown() const;

    static constexpr int kWidth = 25;
    static constexpr int kMinHeight = 196;
    static constexpr int kPinX = 8;
    static constexpr int kWeightTop = 17;
    static constexpr int kWeightX = 5;
    static constexpr int kRopeX = 12;
    static constexpr double kRopeKnee = 1000.0;
    static constexpr double kDefaultGravity = 10.0;

private:
    double Rate() const;

    int m_nTrapezoid = 0;
    CDiodeModel m_rope;
    CMass m_weight;
    CStop m_stop;
    int m_bResized = 0;
};
