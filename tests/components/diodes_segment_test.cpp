// The segment diode of a seven-segment display, stepped by a small test
// display that owns it: lit from 0.009995 A, judged on its own pin only,
// its burn-out marker handed to the display, and its one-word record.
#include "components/segment_led.h"
#include "diodes_support.h"
#include "model/components/explode.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A display with one segment between pin A (segment) and pin B (common).
class CDiodesTestDisplay : public CDiodesTwoPin {
public:
    ~CDiodesTestDisplay() override { delete segment; }
    void Stamp(CMatrix* m) override { segment->Stamp(m); }
    void LimitStep(CState** out, double* fraction, const double* v) override { segment->LimitStep(out, fraction, v); }
    int AfterStep() override
    {
        const int broken = CComponent::AfterStep();
        CExplode* got = nullptr;
        if (segment->UpdateSegment(&got)) marker.reset(got);
        return broken;
    }
    void Attach(WORD baseFrame)
    {
        segment = new CSevenSegmentLED;
        segment->Setup(CPoint(4, 2), CSize(16, 16), A(), B(), baseFrame, this);
    }
    CSevenSegmentLED* segment = nullptr;
    std::unique_ptr<CExplode> marker;
};

struct SegmentLoop {
    CCircuit d;
    CDiodesCell* cell;
    CDiodesResistor* r;
    CDiodesTestDisplay* display;

    SegmentLoop(double amps, WORD baseFrame = 1, double ohms = 1000.0)
    {
        cell = AddTestPart<CDiodesCell>(d, 100, 300);
        r = AddTestPart<CDiodesResistor>(d, 300, 100);
        display = AddTestPart<CDiodesTestDisplay>(d, 500, 300);
        display->Attach(baseFrame);
        cell->emf = amps >= 0 ? DiodeVoltageAt(amps, 1.75) + amps * ohms : amps * ohms;
        r->ohms = ohms;
        Join(d, cell->A(), r->A());
        Join(d, r->B(), display->A());
        Join(d, display->B(), cell->B());
        d.ResetRun(0);
    }
    void Run(int passes = 3)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
};

TEST(DiodesSegment, SetupTakesTheDisplaysTerminals)
{
    SegmentLoop s(0.0, 2);
    CSevenSegmentLED* seg = s.display->segment;
    EXPECT_EQ(seg->GetTerminal(0), s.display->A());
    EXPECT_EQ(seg->GetTerminal(1), s.display->B());
    EXPECT_EQ(seg->GetFirstChild(), nullptr);
    EXPECT_EQ(seg->m_wStateWord, 2);
    EXPECT_EQ(seg->GetBaseFrame(), 2);
    EXPECT_EQ(seg->m_rect, CRect(4, 2, 20, 18));
    EXPECT_DOUBLE_EQ(seg->Model().GetKnee(), 1.75);
    EXPECT_DOUBLE_EQ(seg->m_dMaxI, 0.03);
    EXPECT_DOUBLE_EQ(seg->m_dMaxV, 3.0);
    EXPECT_DOUBLE_EQ(seg->m_dMaxRV, 3.0);
    seg->m_wStateWord = 5;
    seg->ResetState();
    EXPECT_EQ(seg->m_wStateWord, 2);
}

TEST(DiodesSegment, LightsFromJustBelowTenMilliamps)
{
    struct Case {
        double amps;
        WORD frame;
    };
    // The chord error moves the current by at most 1.53 uA at 1 kohm.
    for (const Case c : {Case{0.0, 1}, Case{0.005, 1}, Case{0.00997, 1}, Case{0.01002, 4}, Case{0.02, 4}}) {
        SegmentLoop s(c.amps);
        s.Run();
        EXPECT_NEAR(s.r->A()->GetCurrent(), c.amps, 2e-6) << c.amps;
        EXPECT_EQ(s.display->segment->m_wStateWord, c.frame) << c.amps;
    }
    EXPECT_DOUBLE_EQ(CSevenSegmentLED::kLitCurrent, 0.009995);
}

TEST(DiodesSegment, BurnOutHandsTheMarkerToTheDisplay)
{
    SegmentLoop s(0.04);
    s.Run(1);
    ASSERT_NE(s.display->marker, nullptr);
    // Over the segment in design coordinates: display top-left + (4, 2).
    const CPoint at = s.display->m_rect.TopLeft() + CPoint(4, 2);
    EXPECT_EQ(s.display->marker->m_rect, CRect(at.x - 28, at.y - 28, at.x + 40, at.y + 40));
    EXPECT_EQ(s.display->segment->GetFirstChild(), nullptr);
    EXPECT_EQ(s.display->segment->m_wStateWord, 1);
}

TEST(DiodesSegment, SharedCommonCurrentDoesNotBreakIt)
{
    // 20 mA on the segment is within its rating; the common pin's current
    // (which the display's other segments add to) is set aside for the test
    // and restored after it.
    SegmentLoop s(0.02);
    s.Run(1);
    s.display->B()->SetCurrent(-0.2);
    CExplode* got = nullptr;
    EXPECT_FALSE(s.display->segment->UpdateSegment(&got));
    EXPECT_EQ(got, nullptr);
    EXPECT_DOUBLE_EQ(s.display->B()->GetCurrent(), -0.2);
}

TEST(DiodesSegment, ReverseAboveThreeVoltsBreaksIt)
{
    SegmentLoop s(-0.004, 1, 1000.0);   // -4 V across the segment
    s.Run(1);
    EXPECT_NE(s.display->marker, nullptr);
}

TEST(DiodesSegment, RecordIsTheStateWordAlone)
{
    SegmentLoop s(0.02);
    s.Run();
    CArchive out;
    out.SetVersion(0x20B8);
    s.display->segment->Serialize(out);
    const std::vector<uint8_t> b = out.GetBuffer();
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0] | b[1] << 8, 4);
    CSevenSegmentLED back;
    CArchive in(b);
    in.SetVersion(0x20B8);
    back.Serialize(in);
    EXPECT_EQ(back.m_wStateWord, 4);
    EXPECT_EQ(CRuntimeClass::CreateObject("CSevenSegmentLED"), nullptr);
}

} // namespace
