// CVelSource: drives a shaft at a set speed (the value label, in rpm).
// Each step it advances a target angle by s w / r (w = rpm x 2 pi / 60,
// s = +1 in direction 1 and -1 in direction 0, r the update rate) and pulls
// the shaft to it with a torsion spring of 1000 N m per radian.  After the
// step the target starts again from where the shaft really is, so a
// heavily loaded source falls behind its speed instead of winding up an
// angle error that it would later catch up.
#pragma once

#include "mechanics/mech_comp.h"

class CVelSource : public CMechComp {
    WB_DECLARE_SERIAL(CVelSource)
public:
    CVelSource();

    // The CComponent record, direction, base angle, last angle, target
    // angle; files of version 3 and lower hold the direction only (the
    // source then starts at rest).
    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;

    int Initialise() override;
    void CreateChildren() override {}
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    int OnPropertyCommand(int commandId, const CString& text) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;
    int GetKindCode() override { return 5; }

    // The set speed in rad/s (signed by the direction).
    double GetDriveSpeed();
    int GetDirection() const { return m_wDirection; }
    double GetTargetAngle() const { return m_dTarget; }
    double GetLastAngle() const { return m_dLast; }
    double GetBaseAngle() const { return m_dBase; }
    // The shaft's speed over the last step (rad/s).
    double GetSpeed() const { return m_dSpeed; }

    static constexpr double kStiffness = 1000.0;
    static constexpr int kDirection0 = 36070;
    static constexpr int kDirection1 = 36071;

private:
    double Rate() const;
    void DrawBody(DWORD flags);

    WORD m_wDirection = 0;
    double m_dTarget = 0.0;
    double m_dLast = 0.0;
    double m_dBase = 0.0;
    double m_dSpeed = 0.0;
};
