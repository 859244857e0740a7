// C4511: the seven-segment latch, decoder and driver.  Eleven internal
// nodes carry the decoded signals: node i (0-9) is high while the inputs
// A-D show digit i and blanking is high, node 10 while lamp test is low.
// Each segment output is the OR of the nodes whose digits light it (a
// CLogic2 watching the internal nodes).  A rising latch enable stores the
// digit on A-D; while latched only that digit's node is driven, from the
// blanking buffer, so blanking still darkens a latched display.
#pragma once

#include "model/components/component.h"

#include <array>

class C4511 : public CComponent {
    WB_DECLARE_SERIAL(C4511)
public:
    C4511();

    void CreateChildren() override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    void AssignInternalNodes(uint16_t* nextNode) override;
    void ResetSimulation() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    int GetKindCode() override { return 7; }

    enum Pin { kA, kB, kC, kD, kLampTest, kBlanking, kLatchEnable, kSegD, kSegE, kSegF, kSegG, kSegA, kSegB, kSegC, kPins };
    enum Segment { kA_, kB_, kC_, kD_, kE_, kF_, kG_, kSegments };
    static constexpr int kInternalNodes = 11;
    static constexpr int kDigits = 10;
    static constexpr int kLampTestNode = 10;

    // The terminal of segment s (a = 0 .. g = 6).
    static int PinOfSegment(int segment);
    bool IsLatched() const { return m_bLatched != 0; }
    int GetLatchedDigit() const { return m_wLatchedDigit; }
    uint16_t GetFirstInternalNode() const { return m_wFirstNode; }

private:
    uint16_t m_wFirstNode = 0;
    WORD m_wLatchedDigit = 0;
    int m_bLatched = 0;
    int m_bPreviousLatchEnable = 0;
    // Digit detectors 0-9, the lamp-test model, the blanking buffer.
    std::array<CLogic, 12> m_inputs;
    std::array<CLogic2, kSegments> m_segments;
};
