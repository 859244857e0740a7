// The seven-segment display driven segment by segment: only the driven
// segment lights (from 0.009995 A, as its diode law says), a burnt segment
// destroys the whole display, and the record keeps the segment frames.
#include "components/seven_segment.h"
#include "diodes_support.h"
#include "model/components/explode.h"
#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Seg = CSevenSegmentDisplay;

// cell + -> R -> one segment pin; common cathode -> cell -.
struct DisplayLoop {
    CCircuit d;
    CDiodesCell* cell;
    CDiodesResistor* r;
    Seg* display;

    DisplayLoop(int segment, double amps, double ohms = 470.0)
    {
        cell = AddTestPart<CDiodesCell>(d, 100, 300);
        r = AddTestPart<CDiodesResistor>(d, 300, 100);
        display = AddRealPart<Seg>(d, 500, 200);
        cell->emf = DiodeVoltageAt(amps, 1.75) + amps * ohms;
        r->ohms = ohms;
        Join(d, cell->A(), r->A());
        Join(d, r->B(), display->GetTerminal(Seg::PinOfSegment(segment)));
        Join(d, display->GetTerminal(Seg::kPinCommon), cell->B());
        d.ResetRun(0);
    }
    void Run(int passes = 3)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
};

TEST(LampsDisplay, NinePinsAndEightSegmentsInTheirPlaces)
{
    CCircuit d;
    Seg* display = AddRealPart<Seg>(d, 40, 40);
    ASSERT_EQ(display->GetTerminalCount(), 9);
    EXPECT_EQ(display->m_rect, CRect(40, 40, 88, 104));
    // g f e d common along the top, dp c b a along the bottom, left to right.
    for (int i = 0; i < 9; ++i) {
        const CPoint p = display->GetTerminal(i)->GetPinPoint();
        EXPECT_EQ(p.y, i < 5 ? 40 : 103) << i;
        EXPECT_EQ(p.x, 40 + 8 + 8 * (i < 5 ? i : i - 5)) << i;
    }
    const WORD dark[8] = {1, 0, 0, 1, 0, 0, 1, 2};
    for (int s = 0; s < Seg::kSegments; ++s) {
        CSevenSegmentLED& seg = display->GetSegment(s);
        EXPECT_EQ(seg.GetTerminal(0), display->GetTerminal(Seg::PinOfSegment(s))) << s;
        EXPECT_EQ(seg.GetTerminal(1), display->GetTerminal(Seg::kPinCommon)) << s;
        EXPECT_EQ(seg.m_wStateWord, dark[s]) << s;
        EXPECT_EQ(seg.GetOwner(), display);
    }
    EXPECT_EQ(display->GetSegment(Seg::kA).m_rect, CRect(20, 8, 32, 12));
    EXPECT_EQ(display->GetSegment(Seg::kPoint).m_rect, CRect(30, 50, 36, 56));
}

TEST(LampsDisplay, EachSegmentLightsAloneWhenDriven)
{
    for (int s = 0; s < Seg::kSegments; ++s) {
        DisplayLoop loop(s, 0.015);
        loop.Run();
        ASSERT_FALSE(loop.display->IsBroken()) << s;
        // The loop follows the segment's exponential law (knee 1.75 V).
        EXPECT_NEAR(loop.r->A()->GetCurrent(), LoopCurrent(loop.cell->emf, 470.0, 1.75), kChordError / 470.0);
        for (int k = 0; k < Seg::kSegments; ++k) {
            const CSevenSegmentLED& seg = loop.display->GetSegment(k);
            EXPECT_EQ(seg.m_wStateWord, seg.GetBaseFrame() + (k == s ? 3 : 0)) << s << " " << k;
        }
    }
}

TEST(LampsDisplay, SegmentLightsFromJustBelowTenMilliamps)
{
    // Well inside the chord error on either side of the threshold.
    DisplayLoop dim(Seg::kG, 0.0085);
    dim.Run();
    EXPECT_EQ(dim.display->GetSegment(Seg::kG).m_wStateWord, 1);
    DisplayLoop lit(Seg::kG, 0.0115);
    lit.Run();
    EXPECT_EQ(lit.display->GetSegment(Seg::kG).m_wStateWord, 4);
    // Off again when the drive goes.
    lit.cell->emf = 0.0;
    lit.Run();
    EXPECT_EQ(lit.display->GetSegment(Seg::kG).m_wStateWord, 1);
}

TEST(LampsDisplay, ABurntSegmentDestroysTheDisplay)
{
    DisplayLoop loop(Seg::kB, 0.015);
    loop.Run();
    ASSERT_EQ(loop.display->GetSegment(Seg::kB).m_wStateWord, 3);
    loop.r->ohms = 20.0;
    loop.cell->emf = DiodeVoltageAt(0.05, 1.75) + 0.05 * 20.0;
    loop.Run(1);
    ASSERT_TRUE(loop.display->IsBroken());
    CExplode* marker = loop.display->GetExplosion();
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->m_cUnit, 'A');
    EXPECT_DOUBLE_EQ(marker->m_dRating, 0.03);
    // The marker covers the segment in design coordinates.
    const CPoint at = loop.display->m_rect.TopLeft() + CPoint(30, 12);
    EXPECT_EQ(marker->m_rect, CRect(at.x - 28, at.y - 28, at.x + 40, at.y + 40));
    EXPECT_EQ(loop.display->GetSegment(Seg::kB).GetFirstChild(), nullptr);
    for (int k = 0; k < Seg::kSegments; ++k)
        EXPECT_EQ(loop.display->GetSegment(k).m_wStateWord, loop.display->GetSegment(k).GetBaseFrame()) << k;
    loop.Run(2);
    EXPECT_EQ(loop.display->GetSegment(Seg::kB).m_wStateWord, 0);
}

TEST(LampsDisplay, IndestructibleDesignKeepsTheDisplay)
{
    DisplayLoop loop(Seg::kC, 0.05, 20.0);
    loop.d.SetOptionBits(OPT_INDESTRUCTIBLE, true);
    loop.Run();
    EXPECT_FALSE(loop.display->IsBroken());
    EXPECT_EQ(loop.display->GetSegment(Seg::kC).m_wStateWord, 3);
}

TEST(LampsDisplay, ResetDarkensEverySegment)
{
    DisplayLoop loop(Seg::kPoint, 0.015);
    loop.Run();
    ASSERT_EQ(loop.display->GetSegment(Seg::kPoint).m_wStateWord, 5);
    loop.display->ResetState();
    EXPECT_EQ(loop.display->GetSegment(Seg::kPoint).m_wStateWord, 2);
}

TEST(LampsDisplay, RecordKeepsTheSegmentFrames)
{
    DisplayLoop loop(Seg::kD, 0.015);
    loop.Run();
    ASSERT_EQ(loop.display->GetSegment(Seg::kD).m_wStateWord, 4);
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(loop.display);
    const std::vector<uint8_t> bytes = out.GetBuffer();

    CArchive in(bytes);
    in.SetVersion(kCurrentVersion);
    std::unique_ptr<CObject> obj(in.ReadNewObject(RUNTIME_CLASS(CPart)));
    EXPECT_EQ(in.BytesLeft(), 0u);
    auto* back = dynamic_cast<Seg*>(obj.get());
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetTerminalCount(), 9);
    for (int k = 0; k < Seg::kSegments; ++k) {
        EXPECT_EQ(back->GetSegment(k).m_wStateWord, loop.display->GetSegment(k).m_wStateWord) << k;
        EXPECT_EQ(back->GetSegment(k).GetTerminal(0), back->GetTerminal(Seg::PinOfSegment(k))) << k;
        EXPECT_EQ(back->GetSegment(k).GetOwner(), back);
    }
    // And the same bytes again.
    CArchive again;
    again.SetVersion(kCurrentVersion);
    again.WriteObject(back);
    EXPECT_EQ(again.GetBuffer(), bytes);
}

} // namespace
