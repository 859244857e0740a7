// CChain: a chain drive, an 8-tooth sprocket (left) and a 24-tooth one
// (right) joined by a chain, each on its own shaft.  A chain moves both
// pitch circles at the same speed, r1 theta1 = r2 theta2, so with the
// teeth's common pitch
//     theta1 = (N2 / N1) theta2 = 3 theta2:
// one ideal ratio link of +3, and unlike meshed gears both sprockets turn
// the same way.  The solver weights the stamps on the linked node by the
// ratio, so torque passes back through the drive with power conserved.
// Each sprocket carries the inertia of a cog wheel of its teeth and a
// viscous friction of 1e-7 N m s/rad (backward Euler).
//
// Terminals (array order; each pin is its sprocket's centre):
//   0  big sprocket, stub down     linked to 3
//   1  small sprocket, stub down   linked to 2
//   2  small sprocket, stub up     carries inertia 1 and friction 1
//   3  big sprocket, stub up       carries inertia 2 and friction 2
// A rotate handle rides on each sprocket (axis 0 the small one, axis 1 the
// big one) and pulls it like the gear pair's.
//
// The sprockets are CCog objects that draw nothing themselves: the part
// draws the chain picture (16 frames per tooth of the small sprocket, in
// which the big one turns by the same fraction of its tooth) at the small
// sprocket's frame.
#pragma once

#include "mechanics/cog.h"
#include "mechanics/mech_comp.h"
#include "mechanics/motion_models.h"

class CRotateKnob;

class CChain : public CMechComp {
    WB_DECLARE_SERIAL(CChain)
public:
    CChain();

    // The CComponent record, inertia 1 and 2, sprocket 1 and 2, then (from
    // version 4) friction 1 and 2.  An older file resets the part and gives
    // it fresh handles.
    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;

    // ---- CPart ----
    // The fixed layout: terminals, sprockets and handles.
    void CreateChildren() override;
    void AccumulateMotion(CPartTree* design, int phase, int axis, double displacement) override;
    DWORD GetProbeQuantities(int, int) override { return 480; }
    double GetQuantity(int x, int y, int code) override;
    int CanProbeAt(int, int) override { return 1; }
    CRect GetExtent(int x, int y) override;
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;
    int FillProperties(CControlItemList&) override { return 0; }
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;

    // ---- CComponent ----
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;
    int GetKindCode() override { return 5; }

    // ---- the chain drive ----
    // The chain picture at the small sprocket's frame, the handles and the
    // terminals; flag 1 is a full repaint, flag 0 the redraw after a step
    // (off-screen, then copied).
    virtual void DrawMoving(int flag, DWORD flags);

    static constexpr double kRatio = 3.0;
    static constexpr int kWidth = 176;
    static constexpr int kHeight = 107;

    const CCog& GetSprocket(int i) const { return i == 0 ? m_cog1 : m_cog2; }
    const CMomentOfInertia& GetInertia(int i) const { return i == 0 ? m_inertia1 : m_inertia2; }
    const CFriction& GetFriction(int i) const { return i == 0 ? m_friction1 : m_friction2; }
    bool IsHeld(int i) const { return (i == 0 ? m_bHeld1 : m_bHeld2) != 0; }
    double GetTargetAngle(int i) const { return i == 0 ? m_dTarget1 : m_dTarget2; }
    CRotateKnob* GetHandle(int axis) const;
    // 0 the small sprocket, 1 the big one: the one a point (canvas
    // coordinates) lies over for probes.
    int SprocketAt(CPoint point) const;

private:
    void LaySprockets();
    void AddHandles();
    void PlaceHandles();
    void LinkPartners();
    double Rate() const;

    CMomentOfInertia m_inertia1;
    CMomentOfInertia m_inertia2;
    CFriction m_friction1;
    CFriction m_friction2;
    CCog m_cog1;
    CCog m_cog2;
    int m_bHeld1 = 0;
    double m_dTarget1 = 0.0;
    int m_bHeld2 = 0;
    double m_dTarget2 = 0.0;
    int m_nTrapezoid = 0;
};
