// What the ammeter and the voltmeter share: the ring of their last samples
// with its running sum of squares, and the reading it gives after a step.
//
// The sum is kept by difference: replacing sample `old` by x changes the sum
// of squares by (x - old)(x + old), so a reading costs O(1) whatever the
// ring length (1..8000).  The RMS is sqrt(sum / length) over the whole ring,
// so a steady reading builds up while the ring fills (2 A after one of 20
// samples reads 2 sqrt(1/20)).
#pragma once

#include "model/components/component.h"

#include <vector>

class CCircuit;
class CMeter;

// Option-word bits of the meter settings.
enum : DWORD {
    OPT_METER_AUTORANGE = 0x400,
    OPT_METER_INSTANT = 0x1000000,
};

// The orientation commands a meter offers (codes 0, 1, 6 and 3) and the
// 32 x 32 strip that shows them.
int ListMeterOrientationCommands(std::vector<int>& commands);

// The sample counts the Meter Controls dialog accepts.
constexpr int kMinMeterSamples = 1;
constexpr int kMaxMeterSamples = 8000;

class CMeterRing {
public:
    explicit CMeterRing(int length = 20) { Resize(length); }
    // A new zeroed ring of the length (clamped to 1..8000), index and sum 0.
    void Resize(int length);
    // Stores x over the oldest sample; returns sqrt(sum / length).
    double Add(double x);
    int GetLength() const { return static_cast<int>(m_ring.size()); }
    int GetIndex() const { return m_wIndex; }
    double GetSumOfSquares() const { return m_dSum; }

private:
    WORD m_wIndex = 0;
    double m_dSum = 0.0;
    std::vector<double> m_ring;
};

// The readout child of a meter component, or null.
CMeter* FindMeterText(CComponent* part);
// Adds a " 0.00" readout to the left of the meter.
void CreateMeterText(CComponent* part);
// One meter step: follows the design's sample count, adds x, sets the
// readout (instantaneous or RMS by the option word) and redraws the part
// when its range (the state word, the picture frame) changed.
void UpdateMeterReading(CComponent* part, CMeterRing& ring, double x);

// What the Meter Controls dialog edits: the design's autorange and
// instantaneous options (the RMS box shows the negation of the latter) and
// its meter sample count.  The dialog itself belongs to the application.
struct CMeterSettings {
    int autorange = 1;
    int instantaneous = 1;
    int rms = 0;
    int samples = 20;

    static CMeterSettings FromDesign(const CCircuit& design);
    // The dialog's range check: samples 1..8000.
    bool IsValid() const { return samples >= kMinMeterSamples && samples <= kMaxMeterSamples; }
    // OK: toggles each option that changed, stores the count and tells the
    // controller that a sensor changed (code 6).  Refuses (false, nothing
    // changed) a count outside the range.
    bool ApplyTo(CCircuit& design) const;
};
