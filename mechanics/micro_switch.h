// CMicroSwitch: a switch worked by a lever.  Terminals 0 and 2 are the
// contact's leads, 1 the lever (a linear terminal, on the left).  The lever
// travels between a lower stop 20 mm out and an upper stop 2.5 mm in; the
// contact closes once the lever is pushed past 2.5 mm (0.0025000049 m, so
// it closes as the lever meets the upper stop) and opens again below it.
// A closed contact is an ideal link between its leads (no resistance); the
// state a step ends with is stamped from the next step on.  The lever has
// no mass or spring of its own: what is joined to it moves it.
#pragma once

#include "mechanics/mech_comp.h"
#include "mechanics/stop.h"

class CMicroSwitch : public CMechComp {
    WB_DECLARE_SERIAL(CMicroSwitch)
public:
    CMicroSwitch();

    // The CComponent record, lever displacement, lever base, the lower
    // stop, the upper stop; files of version 3 and lower carry none of
    // them (the part restarts).
    void Serialize(CArchive& ar) override;

    // ---- CPart ----
    void CreateChildren() override;
    int CanProbeAt(int, int) override { return 1; }
    int HasInfo(int, int) override { return 1; }
    // 4 the lever's position.
    DWORD GetProbeQuantities(int, int) override { return 4; }
    double GetQuantity(int x, int y, int code) override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;

    // ---- CComponent ----
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;

    // ---- virtual operations of the switch ----
    void DrawMovingBody(DWORD flags) override;

    // ---- plain operations ----
    bool IsClosed() const { return m_wStateWord == 1; }
    double GetLeverPosition() const { return m_dBase + m_dDisplacement; }
    const CStop& GetLowerStop() const { return m_lower; }
    const CStop& GetUpperStop() const { return m_upper; }

    // Whether a lever at this position closes the contact.
    static bool ClosesAt(double position) { return position > kClosing; }

    static constexpr double kLowerLimit = -0.02;
    static constexpr double kUpperLimit = 0.0025;
    static constexpr double kClosing = 0.0025000049;
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 24;

private:
    CStop m_lower;
    CStop m_upper;
    double m_dDisplacement = 0.0;
    double m_dBase = 0.0;
};
