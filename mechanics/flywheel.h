// CFlywheel: a moment of inertia on a shaft, set in its value label (g m^2,
// 100 by default, i.e. 0.1 kg m^2), which can be turned by hand.  Both
// terminals are the one shaft (an ideal link); the inertia is stamped at
// terminal 0.  A cog of 8 teeth does the angle arithmetic: a spoked wheel
// looks the same an eighth of a turn on, so the cog's sixteen frames per
// tooth are sixteen frames per eighth of a turn.  The wheel's picture is
// drawn here, not by the cog.
#pragma once

#include "mechanics/cog.h"
#include "mechanics/mech_comp.h"
#include "mechanics/motion_models.h"

class CRotateKnob;

class CFlywheel : public CMechComp {
    WB_DECLARE_SERIAL(CFlywheel)
public:
    CFlywheel();

    // The CComponent record, the inertia, the cog.  An older file resets the
    // wheel and gives it a fresh handle.
    void Serialize(CArchive& ar) override;

    void CreateChildren() override;
    void AccumulateMotion(CPartTree* design, int phase, int axis, double displacement) override;
    DWORD GetProbeQuantities(int, int) override { return 480; }
    double GetQuantity(int x, int y, int code) override;
    int CanProbeAt(int, int) override { return 1; }
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;
    int GetKindCode() override { return 5; }

    void DrawMovingBody(DWORD flags) override;

    const CMomentOfInertia& GetInertia() const { return m_inertia; }
    const CCog& GetCog() const { return m_cog; }
    bool IsHeld() const { return m_hold.held != 0; }
    double GetTargetAngle() const { return m_hold.target; }
    CRotateKnob* GetHandle() const;

    static constexpr int kSize = 56;
    static constexpr double kDefaultInertia = 0.1;

private:
    double Rate() const;
    void AddHandle();
    void PlaceHandle();

    CMomentOfInertia m_inertia;
    CCog m_cog;
    CHandHold m_hold;
    int m_nTrapezoid = 0;
};
