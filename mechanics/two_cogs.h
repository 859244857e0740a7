// CTwoCogs: a pair of meshed cog wheels side by side, each on its own
// shaft.  The tooth counts (8, 16, 24 or 40 each) become one ideal ratio
// link of the network: with N1 teeth on the left wheel and N2 on the right,
// the pitch circles roll on each other, r1 theta1 = -r2 theta2, so
//     theta1 = -(N2 / N1) theta2
// and the solver, which weights the stamps on a linked node by its ratio,
// passes torque back through the gearing with power conserved.  Each wheel
// carries its own inertia J = 1.12e-9 (N / 8)^4 kg m^2 and a viscous
// friction of 1e-7 N m s/rad, integrated by backward Euler.
//
// Terminals (array order; every shaft terminal's pin is its wheel's
// centre, the stub pointing up or down):
//   0  right wheel, stub down   linked to 3
//   1  left wheel, stub down    linked to 2
//   2  left wheel, stub up      carries inertia 1 and friction 1
//   3  right wheel, stub up     carries inertia 2 and friction 2
// The wheels' torque rings are drawn at terminals 2 and 3; each terminal's
// linked object is its wheel's other terminal.
//
// A rotate handle rides on each wheel (axis 0 the left wheel, axis 1 the
// right one); while it is held the wheel is pulled to the handle's angle by
// a torsion spring of 180/pi N m per radian.
#pragma once

#include "mechanics/cog.h"
#include "mechanics/mech_comp.h"
#include "mechanics/motion_models.h"

class CRotateKnob;

class CTwoCogs : public CMechComp {
    WB_DECLARE_SERIAL(CTwoCogs)
public:
    CTwoCogs();

    // The CComponent record, inertia 1 and 2, cog 1 and 2, then (from
    // version 4) friction 1 and 2.  An older file resets the part and gives
    // it fresh handles.
    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;

    // ---- CPart ----
    int Initialise() override;
    void CreateChildren() override {}
    void AccumulateMotion(CPartTree* design, int phase, int axis, double displacement) override;
    DWORD GetProbeQuantities(int, int) override { return 480; }
    double GetQuantity(int x, int y, int code) override;
    int CanProbeAt(int, int) override { return 1; }
    CRect GetExtent(int x, int y) override;
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;
    using CComponent::ApplySettingsText;
    // "N1:N2" rebuilds the pair; other texts go to the component.
    int ApplySettingsText(const CString& text, int flag) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int OnPropertyCommand(int commandId, const CString& text) override;

    // ---- CComponent ----
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;
    int GetKindCode() override { return 5; }

    // ---- the gear pair ----
    // Lays the pair out for the counts (0 means 8; a count that is not a
    // wheel's keeps that wheel) with new terminals and handles.
    int Build(int teeth1, int teeth2);
    // New handles for the stored wheels (files without them).
    virtual void RebuildHandles();
    // The wheels, their handles and every terminal; flag 1 is a full
    // repaint, flag 0 the redraw after a step (off-screen, then copied).
    virtual void DrawMoving(int flag, DWORD flags);

    static double InertiaOf(int teeth);
    static constexpr double kFriction = 1e-7;
    static constexpr double kHandleStiffness = 57.29577951308232;

    const CCog& GetCog(int i) const { return i == 0 ? m_cog1 : m_cog2; }
    const CMomentOfInertia& GetInertia(int i) const { return i == 0 ? m_inertia1 : m_inertia2; }
    const CFriction& GetFriction(int i) const { return i == 0 ? m_friction1 : m_friction2; }
    bool IsHeld(int i) const { return (i == 0 ? m_bHeld1 : m_bHeld2) != 0; }
    double GetTargetAngle(int i) const { return i == 0 ? m_dTarget1 : m_dTarget2; }
    CRotateKnob* GetHandle(int axis) const;
    // 0 the left wheel, 1 the right one: the wheel a point (canvas
    // coordinates) lies over for probes, left or right of the middle
    // between the left wheel's right edge and the right wheel's left edge.
    int WheelAt(CPoint point) const;

private:
    void AddHandles();
    void PlaceHandles();
    void LinkPartners();
    double Rate() const;

    CMomentOfInertia m_inertia1;
    CMomentOfInertia m_inertia2;
    CCog m_cog1;
    CCog m_cog2;
    CFriction m_friction1;
    CFriction m_friction2;
    int m_bHeld1 = 0;
    double m_dTarget1 = 0.0;
    int m_bHeld2 = 0;
    double m_dTarget2 = 0.0;
    int m_nTrapezoid = 0;
};
