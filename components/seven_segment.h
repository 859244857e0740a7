// CSevenSegmentDisplay: a common-cathode seven-segment display of eight
// segment diodes (a-g and the decimal point, CSevenSegmentLED).  The display
// owns the nine terminals (g, f, e, d, common, dp, c, b, a in array order);
// each segment borrows its own pin and the common one, is stamped and
// limited by the display and updated after each step.  A segment that burns
// out destroys the whole display: its marker moves onto the display and
// every segment goes dark.
#pragma once

#include "components/segment_led.h"
#include "model/components/component.h"

#include <array>

class CSevenSegmentDisplay : public CComponent {
    WB_DECLARE_SERIAL(CSevenSegmentDisplay)
public:
    enum Segment { kA, kB, kC, kD, kE, kF, kG, kPoint, kSegments };
    // Terminal indexes of the display's pins.
    enum Pin { kPinG, kPinF, kPinE, kPinD, kPinCommon, kPinPoint, kPinC, kPinB, kPinA, kPins };

    CSevenSegmentDisplay();

    void CreateChildren() override;
    // The component record; on loading the segments are set up again; then
    // the eight segments' state words in segment order.
    void Serialize(CArchive& ar) override;
    void AttachToCircuit(CPartTree* design) override;
    void ResetState() override;
    // The case's picture, then every segment's rest frame (dark).
    void ResetVisual() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    // The display's rating test, then segment by segment until one burns out.
    int AfterStep() override;
    // The case, then (unless the design hides them, option 0x200) the segments.
    int Draw(DWORD flags) override;
    // A joined common pin is both rails of the display's rating test.
    int GetSupplyRails(double* high, double* low) override;

    CSevenSegmentLED& GetSegment(int i) { return m_segments[static_cast<size_t>(i)]; }
    // The terminal index of a segment's pin.
    static int PinOfSegment(int segment);
    // True when the display has its nine terminals (the segments work).
    bool HasAllPins() const { return m_terminals.size() == kPins; }

private:
    // Places each segment in the case, on its pin and the common pin.
    void SetupSegments();

    std::array<CSevenSegmentLED, kSegments> m_segments;
    int m_nSegments = kSegments;
};
