// CSpring: the base of the spring parts.  It holds the spring model, two end
// stops and a travel stop that follows the spring's length, the stiffness
// label (N/m, 1 by default), the drawing of the coil and the settling test;
// it stamps nothing itself.  After every step it records the spring's
// potential energy 0.5 k e^2 in a ring of 10 steps and looks for a mass
// that oscillates freely with it: while the spring's energy plus the
// mass's kinetic energy stays balanced over the last ten steps (each total
// 0.6 to 1.005 times the one before, and the spring not at rest), and no
// stop of either is in contact, the mass is integrated by the trapezoidal
// rule, which does not damp the oscillation as backward Euler does.
#pragma once

#include "mechanics/mech_comp.h"
#include "mechanics/spring_model.h"
#include "mechanics/stop.h"

class CMassComp;

class CSpring : public CMechComp {
    WB_DECLARE_SERIAL(CSpring)
public:
    CSpring();

    // The CComponent record, the spring model, the lower stop, the upper
    // stop.  Files of version 3 and lower hold two numbers instead, which
    // are dropped: the part restarts.
    void Serialize(CArchive& ar) override;

    // Two linear terminals: end A on the left, end B on the right.
    void CreateChildren() override;
    CMechPin DescribePin(int side, CPoint pin) override;
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    void PrepareStep() override;
    // The spring between its two ends: -k e flows from end A to end B, e
    // the extension at the committed ends plus the nodes' displacements.
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetSimulation() override;
    // The ends take the step's moves; the stops fold in their node values.
    void ResetState() override;
    int GetKindCode() override { return 5; }

    // ---- virtual operations of the spring ----
    virtual void DrawCoil(DWORD flags);
    virtual int IsStopEngaged() const { return m_lower.IsEngaged() || m_upper.IsEngaged(); }
    // The settling test with this partner over the last ten steps.
    virtual int SettlingTest(CMassComp* partner);
    // Records the step's potential energy and keeps or looks for a partner.
    virtual void RecordEnergy();
    virtual int EndAPixel() const;
    virtual int EndBPixel() const;

    // ---- plain operations ----
    // The settling test on recorded energies: index is the ring index of the
    // newest step.
    static bool Settled(const double* potential, const double* kinetic, int index);
    CMassComp* GetPartner() const;
    double GetPotentialEnergy(int i) const { return m_ring[(i % 10 + 10) % 10]; }
    const CSpringModel& GetModel() const { return m_spring; }
    const CStop& GetLowerStop() const { return m_lower; }
    const CStop& GetUpperStop() const { return m_upper; }

    static constexpr int kWidth = 108;
    static constexpr int kHeight = 19;

protected:
    // Called while reading a record of version 3 or lower, before the part
    // restarts: the owner puts its layout right.
    virtual void RestoreOldLayout(CArchive&) {}
    double Rate() const;
    // The partner, if it still stands in this design.
    CMassComp* LivePartner() const;

    CStop m_lower;
    CStop m_upper;
    CSpringModel m_spring;
    CStop m_travel;
    CMassComp* m_pPartner = nullptr;
    double m_ring[10] = {};
};
