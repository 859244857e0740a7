// CTwoWheels: what the gear pair and the chain drive share, two wheels on
// shafts of their own joined by one ideal ratio link,
//     theta1 = Ratio() theta2,
// which the solver weights into the stamps on the linked node so that
// torque passes back through the drive with power conserved.  Each wheel
// carries its own inertia and a viscous friction of 1e-7 N m s/rad,
// integrated by backward Euler (the trapezoidal rule after a spring's
// settling test).
//
// Terminals (array order; each pin is its wheel's centre):
//   0  wheel 2, stub down   linked to 3
//   1  wheel 1, stub down   linked to 2
//   2  wheel 1, stub up     carries inertia 1 and friction 1
//   3  wheel 2, stub up     carries inertia 2 and friction 2
// A rotate handle rides on each wheel (axis 0 wheel 1, axis 1 wheel 2);
// while it is held the wheel is pulled to the handle's angle by a torsion
// spring of 180/pi N m per radian.
//
// The two parts differ in the sign and size of the ratio, in the rest
// angle of wheel 2 and in their pictures.
#pragma once

#include "mechanics/cog.h"
#include "mechanics/mech_comp.h"
#include "mechanics/motion_models.h"

class CRotateKnob;

class CTwoWheels : public CMechComp {
public:
    CTwoWheels();

    // The CComponent record, inertia 1 and 2, wheel 1 and 2, then (from
    // version 4) friction 1 and 2.  The caller mends what it read.
    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;

    // ---- CPart ----
    void AccumulateMotion(CPartTree* design, int phase, int axis, double displacement) override;
    DWORD GetProbeQuantities(int, int) override { return 480; }
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
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;
    int GetKindCode() override { return 5; }

    // ---- the two wheels ----
    // theta1 / theta2.
    virtual double Ratio() const = 0;
    // The angle wheel 2 shows at rest (its teeth between wheel 1's).
    virtual double RestOffset2() const { return 0.0; }
    // The wheels' pictures at the part's corner (the handles and terminals
    // are drawn after them).
    virtual void DrawWheels(CPoint corner, DWORD flags) = 0;
    // The wheels and their handles (CMechComp::DrawMoving).
    void DrawMovingBody(DWORD flags) override;

    static double InertiaOf(int teeth);
    static constexpr double kFriction = 1e-7;
    static constexpr double kHandleStiffness = 57.29577951308232;

    const CCog& GetCog(int i) const { return i == 0 ? m_cog1 : m_cog2; }
    const CMomentOfInertia& GetInertia(int i) const { return i == 0 ? m_inertia1 : m_inertia2; }
    const CFriction& GetFriction(int i) const { return i == 0 ? m_friction1 : m_friction2; }
    bool IsHeld(int i) const { return (i == 0 ? m_hold1 : m_hold2).held != 0; }
    double GetTargetAngle(int i) const { return (i == 0 ? m_hold1 : m_hold2).target; }
    CRotateKnob* GetHandle(int axis) const;
    // 0 wheel 1, 1 wheel 2: the wheel a point (canvas coordinates) lies
    // over for probes, left or right of the middle between wheel 1's right
    // edge and wheel 2's left edge.
    int WheelAt(CPoint point) const;

protected:
    // The four shaft terminals at the wheels' centres, partners linked.
    void AddShafts(CPoint corner);
    // Fresh handles on the wheels' marker points.
    void AddHandles();
    void PlaceHandles();
    void LinkPartners();
    // Replaces the handles a file of version 3 or lower brought (files of
    // that age carry none of their own) and restarts the motion.
    void ReplaceOldHandles(CArchive& ar);
    double Rate() const;

    CMomentOfInertia m_inertia1;
    CMomentOfInertia m_inertia2;
    CCog m_cog1;
    CCog m_cog2;
    CFriction m_friction1;
    CFriction m_friction2;
    CHandHold m_hold1;
    CHandHold m_hold2;
    int m_nTrapezoid = 0;
};
