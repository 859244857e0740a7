// CIsolator: the opto-isolator, an LED (knee 0.967 V) whose light drives the
// internal base of a transistor: 1.2 % of the LED current flows into the
// base (current transfer about 1.2 at gain 100).  Pins: collector, LED
// anode, LED cathode, emitter.  The state word is the LED's brightness
// level (0-10), drawn as a glow over the LED.
#pragma once

#include "components/base_node_transistor.h"
#include "model/components/component.h"

class CIsolator : public CComponent {
    WB_DECLARE_SERIAL(CIsolator)
public:
    CIsolator();

    void CreateChildren() override;
    // The internal base node number, then the models.
    void Serialize(CArchive& ar) override;
    // Ratings, then the extra limits "Vled" and "Vce".
    void LoadRatings(UINT stringId) override;
    void AssignInternalNodes(uint16_t* nextNode) override;
    void ResetState() override { m_wStateWord = 0; }
    // The base, then the glow's rest frame (the state word is the glow's
    // frame, not the case's).
    void ResetVisual() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    // The isolator's own limits, the ratings, the commits, the LED level.
    int AfterStep() override;
    // The case, then the LED glow at the level while simulating.
    int Draw(DWORD flags) override;

    CTerminal* Collector() const { return GetTerminal(0); }
    CTerminal* Anode() const { return GetTerminal(1); }
    CTerminal* Cathode() const { return GetTerminal(2); }
    CTerminal* Emitter() const { return GetTerminal(3); }
    uint16_t GetBaseNode() const { return m_wBase; }
    CDiodeModel& Led() { return m_led; }
    // The LED current for the solved voltages, anode to cathode.
    double GetLedCurrent() const;

    // Share of the LED current that reaches the base.
    static constexpr double kTransfer = 0.012;

    double m_dVledLimit = 1000.0;
    double m_dVceLimit = 1000.0;

private:
    uint16_t m_wBase = 0;
    CDiodeModel m_led;
    CBaseNodeTransistor m_q;
};
