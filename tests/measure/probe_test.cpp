// Probes: what they record in a running circuit against the closed form,
// the ring of 2000 samples, the four channels, and their archive record
// (a free probe is not moved by loading).
#include "probe_bench.h"

#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr DWORD kVoltage = 1, kCurrent = 2, kEnergy = 0x100, kCharge = 0x200, kPower = 0x400;

std::vector<uint8_t> Write(const CCircuit& design)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(&design);
    return ar.GetBuffer();
}

std::unique_ptr<CCircuit> Read(const std::vector<uint8_t>& bytes)
{
    CArchive ar(bytes);
    ar.SetVersion(kCurrentVersion);
    std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
    auto* design = dynamic_cast<CCircuit*>(o.get());
    if (design) o.release();
    return std::unique_ptr<CCircuit>(design);
}

std::vector<CProbe*> ProbesOf(const CCircuit& design)
{
    std::vector<CProbe*> out;
    for (CPart* p = design.GetGroup(GROUP_PROBES)->GetFirstChild(); p; p = p->GetNextSibling())
        if (auto* probe = dynamic_cast<CProbe*>(p)) out.push_back(probe);
    return out;
}

} // namespace

TEST(Probe, RecordsTheRCChargingCurve)
{
    // 10 V through 1 k into 100 uF: tau = 0.1 s, steps of 1 ms.  The
    // capacitor's companion model is backward Euler, which lags the exact
    // V (1 - exp(-t/tau)) by at most V h / (2 e tau) < V h / (2 tau).
    const double v = 10.0, ohms = 1000.0, tau = 0.1, h = 0.001;
    RCBench b(v, ohms, 1e-4);
    CProbe* onR = b.ProbeOn(b.r);
    CProbe* onC = b.ProbeOn(b.c);
    EXPECT_EQ(onR->GetProbedPart(), b.r);
    EXPECT_EQ(onC->GetProbedPart(), b.c);
    EXPECT_EQ(onR->GetChannel(), 0);
    EXPECT_EQ(onC->GetChannel(), 1);
    // On a part the probe takes the part's rectangle.
    EXPECT_EQ(onR->GetRect(), b.r->GetRect());
    EXPECT_EQ(onR->GetQuantityMask(), kVoltage | kCurrent | kPower);
    EXPECT_EQ(onR->GetTraceCount(), 3);
    EXPECT_EQ(onC->GetQuantityMask(), kVoltage | kCurrent | kEnergy | kCharge);
    EXPECT_EQ(onC->GetTraceCount(), 4);

    b.Start(1.0 / h);
    const int steps = 500;
    b.Run(steps);
    ASSERT_EQ(b.d.GetSampleCount(), steps);
    const double bound = v * h / (2.0 * tau);
    for (int i = 0; i < steps; ++i) {
        const double t = (i + 1) * h;
        const int n = onC->GetFirstSampleNumber() + i;
        const double vc = onC->GetSample(n, kVoltage);
        EXPECT_NEAR(vc, v * (1.0 - std::exp(-t / tau)), bound) << i;
        // The resistor takes the rest of the supply and the loop's current.
        const double vr = std::fabs(onR->GetSample(n, kVoltage));
        EXPECT_NEAR(vr, v * std::exp(-t / tau), bound) << i;
        EXPECT_NEAR(vr + vc, v, 1e-9) << i;
        EXPECT_NEAR(std::fabs(onR->GetSample(n, kCurrent)), vr / ohms, 1e-9) << i;
        EXPECT_NEAR(onR->GetSample(n, kPower), vr * vr / ohms, 1e-9) << i;
        EXPECT_NEAR(onC->GetSample(n, kCharge), 1e-4 * vc, 1e-12) << i;
        EXPECT_NEAR(onC->GetSample(n, kEnergy), 0.5 * 1e-4 * vc * vc, 1e-12) << i;
    }
    // A quantity the probe does not record reads as 0.
    EXPECT_EQ(onR->GetSample(onR->GetFirstSampleNumber() + 10, kCharge), 0.0);
    EXPECT_TRUE(onR->IsSampleValid(steps - 1));
    EXPECT_FALSE(onR->IsSampleValid(steps));
    CString info;
    onC->BuildInfo(info, 36002, CPoint());
    EXPECT_NE(info.find("V, "), CString::npos) << info;
    EXPECT_NE(info.find("C"), CString::npos) << info;
}

TEST(Probe, RingKeepsTheLast2000Samples)
{
    RCBench b(10.0, 1000.0, 1e-1);
    CProbe* probe = b.ProbeOn(b.c);
    b.Start(1000.0);
    std::vector<double> seen;
    const int steps = 2345;
    for (int i = 0; i < steps; ++i) {
        b.Run(1);
        seen.push_back(b.c->GetVoltage());
    }
    ASSERT_EQ(b.d.GetSampleCount(), CProbe::kRingSize);
    EXPECT_EQ(b.d.GetRingStart(), steps - CProbe::kRingSize);
    const int oldest = steps - CProbe::kRingSize;
    for (int i = 0; i < CProbe::kRingSize; ++i)
        ASSERT_EQ(probe->GetSample(probe->GetFirstSampleNumber() + i, kVoltage), seen[oldest + i]) << i;
    // Outside the ring nothing is read.
    EXPECT_EQ(probe->GetSample(probe->GetFirstSampleNumber() + CProbe::kRingSize, kVoltage), 0.0);
    int from = -5, to = 99999;
    EXPECT_TRUE(probe->ClampRange(&from, &to));
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, CProbe::kRingSize - 1);
}

TEST(Probe, FourChannelsAreTakenAndGivenBack)
{
    RCBench b(5.0, 100.0, 1e-6);
    std::vector<CProbe*> probes;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(b.d.CanAddPart(3, false, false)) << i;
        probes.push_back(b.ProbeOn(b.r));
        EXPECT_EQ(probes.back()->GetChannel(), i);
    }
    // A fifth ordinary probe cannot be added.
    EXPECT_FALSE(b.d.CanAddPart(3, false, false));
    EXPECT_EQ(b.d.FindProbe(2), probes[2]);
    b.d.DeletePart(probes[1]);
    EXPECT_EQ(b.d.FindProbe(1), nullptr);
    EXPECT_TRUE(b.d.CanAddPart(3, false, false));
    // The lowest free channel is used again.
    CProbe* again = b.ProbeOn(b.c);
    EXPECT_EQ(again->GetChannel(), 1);
    EXPECT_EQ(b.d.FindProbe(1), again);
}

TEST(Probe, ProbeMadeByNameTakesItsChannelWhereItIsFiled)
{
    RCBench b(5.0, 100.0, 1e-6);
    b.d.AllocateProbeChannel();
    // The catalogue and the archive make probes without a design.
    std::unique_ptr<CObject> made(CRuntimeClass::CreateObject("CProbe"));
    auto* probe = dynamic_cast<CProbe*>(made.get());
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->GetPartKind(), 3);
    // Carried by a floating design first: no channel is taken there from
    // the design it will record in.
    CCircuit floating;
    floating.m_bTemporary = 1;
    probe->AttachToCircuit(&b.d);
    EXPECT_EQ(probe->GetChannel(), 1);
    probe->AttachToCircuit(&floating);
    EXPECT_EQ(probe->GetDesign(), &b.d);
    EXPECT_EQ(b.d.AllocateProbeChannel(), 2);
    made.reset();
    // Deleting it gave channel 1 back.
    EXPECT_EQ(b.d.AllocateProbeChannel(), 1);
}

TEST(Probe, MovedToAnotherPartTakesItsQuantitiesAndClearsItsData)
{
    RCBench b(10.0, 1000.0, 1e-4);
    CProbe* probe = b.ProbeOn(b.r);
    b.Start(1000.0);
    b.Run(20);
    EXPECT_NE(probe->GetSample(probe->GetFirstSampleNumber() + 19, kVoltage), 0.0);
    probe->Offset(b.c->GetRect().CenterPoint().x - probe->GetRect().CenterPoint().x,
                  b.c->GetRect().CenterPoint().y - probe->GetRect().CenterPoint().y);
    probe->ConnectToPart();
    EXPECT_EQ(probe->GetProbedPart(), b.c);
    EXPECT_EQ(probe->GetTraceCount(), 4);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(probe->GetSample(probe->GetFirstSampleNumber() + i, kVoltage), 0.0);
    // In empty space it keeps its traces but measures nothing.
    probe->Offset(5000, 5000);
    probe->ConnectToPart();
    EXPECT_EQ(probe->GetProbedPart(), nullptr);
    EXPECT_EQ(probe->GetTraceCount(), 4);
    EXPECT_EQ(probe->GetRect().Width(), CProbe::kPictureSize);
}

TEST(Probe, OnAWireKeepsItsPictureAndTheWiresNode)
{
    RCBench b(10.0, 1000.0, 1e-4);
    b.d.RenumberNodes();
    CWire* wire = nullptr;
    for (CPart* p = b.d.GetGroup(GROUP_WIRES)->GetFirstChild(); p && !wire; p = p->GetNextSibling())
        if (auto* w = dynamic_cast<CWire*>(p); w && w->GetEndA().y == 2000 && w->GetEndB().y == 2000) wire = w;
    ASSERT_NE(wire, nullptr);
    const CPoint mid((wire->GetEndA().x + wire->GetEndB().x) / 2, (wire->GetEndA().y + wire->GetEndB().y) / 2);
    auto* probe = new CProbe(&b.d, mid);
    b.d.AddChild(probe);
    probe->ConnectToPart();
    ASSERT_EQ(probe->GetProbedPart(), wire);
    EXPECT_EQ(probe->GetRect().Width(), CProbe::kPictureSize);
    EXPECT_EQ(probe->GetRect().Height(), CProbe::kPictureSize);
    EXPECT_EQ(probe->GetWireNode(), wire->GetNodeNumber());
}

TEST(Probe, ArchiveRoundTripKeepsProbesAndMarksTheirChannels)
{
    RCBench b(10.0, 1000.0, 1e-4);
    CProbe* p0 = b.ProbeOn(b.r);
    CProbe* p1 = b.ProbeOn(b.c);
    CProbe* p2 = b.ProbeOn(b.c);
    ASSERT_EQ(p2->GetChannel(), 2);
    b.d.DeletePart(p1);
    (void)p0;
    std::unique_ptr<CCircuit> copy = Read(Write(b.d));
    ASSERT_NE(copy, nullptr);
    const std::vector<CProbe*> probes = ProbesOf(*copy);
    ASSERT_EQ(probes.size(), 2u);
    for (CProbe* p : probes) {
        EXPECT_EQ(p->GetDesign(), copy.get());
        ASSERT_NE(p->GetProbedPart(), nullptr);
        EXPECT_EQ(p->GetRect(), p->GetProbedPart()->GetRect());
    }
    const CProbe* r0 = dynamic_cast<CProbe*>(copy->FindProbe(0));
    const CProbe* r2 = dynamic_cast<CProbe*>(copy->FindProbe(2));
    ASSERT_NE(r0, nullptr);
    ASSERT_NE(r2, nullptr);
    EXPECT_EQ(r0->GetQuantityMask(), kVoltage | kCurrent | kPower);
    EXPECT_EQ(r2->GetQuantityMask(), kVoltage | kCurrent | kEnergy | kCharge);
    EXPECT_EQ(r2->GetTraceCount(), 4);
    EXPECT_TRUE(r2->GetProbedPart()->IsKindOf("CCapacitor"));
    // The loaded probes hold channels 0 and 2: a new probe takes 1, then 3.
    EXPECT_EQ(copy->AllocateProbeChannel(), 1);
    EXPECT_EQ(copy->AllocateProbeChannel(), 3);
    EXPECT_EQ(copy->AllocateProbeChannel(), 4);
    // Written again, the bytes are the same.
    std::unique_ptr<CCircuit> again = Read(Write(*copy));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ProbesOf(*again).size(), 2u);
}

TEST(Probe, OldRecordReadsVoltageAndCurrent)
{
    // Version words 3 and below carry no mask: two traces, voltage and current.
    CProbe probe(2);
    CArchive out;
    out.SetVersion(3);
    out.WriteObject(&probe);
    CArchive in(out.GetBuffer());
    in.SetVersion(3);
    std::unique_ptr<CObject> o(in.ReadNewObject(RUNTIME_CLASS(CProbe)));
    auto* back = dynamic_cast<CProbe*>(o.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetChannel(), 2);
    EXPECT_EQ(back->GetQuantityMask(), kVoltage | kCurrent);
    EXPECT_EQ(back->GetTraceCount(), 2);
    EXPECT_FALSE(back->IsDetached());
    EXPECT_EQ(in.BytesLeft(), 0u);
}

TEST(Probe, DeletedPartIsNoLongerRead)
{
    RCBench b(10.0, 1000.0, 1e-4);
    CProbe* probe = b.ProbeOn(b.c);
    b.Start(1000.0);
    b.Run(3);
    EXPECT_GT(probe->GetSample(probe->GetFirstSampleNumber() + 2, kVoltage), 0.0);
    b.d.DeletePart(b.c);
    b.Run(1);
    EXPECT_EQ(probe->GetSample(probe->GetFirstSampleNumber() + 3, kVoltage), 0.0);
    CString info;
    probe->BuildInfo(info, 36002, CPoint());
    EXPECT_EQ(info.rfind("0", 0), 0u) << info;
}

TEST(Probe, DamagedRecordSizesItsRingsByTheMask)
{
    // A record whose trace count (the WORD before the detached flag at the
    // end) reads 65535 would ask for a gigabyte of rings.
    CProbe probe(1);
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(&probe);
    std::vector<uint8_t> bytes = out.GetBuffer();
    ASSERT_GE(bytes.size(), 4u);
    bytes[bytes.size() - 4] = 0xFF;
    bytes[bytes.size() - 3] = 0xFF;
    CArchive in(bytes);
    in.SetVersion(kCurrentVersion);
    std::unique_ptr<CObject> o(in.ReadNewObject(RUNTIME_CLASS(CProbe)));
    auto* back = dynamic_cast<CProbe*>(o.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetQuantityMask(), CProbe::kUnconnected);
    EXPECT_EQ(back->GetTraceCount(), 1);
}

TEST(Probe, PressedOnItsPartItComesOffAndReleasedOverAPartItTakesItsPlace)
{
    RCBench b(10.0, 1000.0, 1e-4);
    CProbe* probe = b.ProbeOn(b.r);
    ASSERT_EQ(probe->GetRect(), b.r->GetRect());
    const CPoint at = b.r->GetRect().CenterPoint();
    probe->OnPress(&b.d, at.x, at.y);
    EXPECT_TRUE(probe->IsDetached());
    const CPoint grid = b.d.SnapToGrid(at);
    EXPECT_EQ(probe->GetRect(), CRect(grid.x - 7, grid.y - 7, grid.x + 8, grid.y + 8));
    // Carried over the capacitor and let go there.
    const CPoint c = b.c->GetRect().CenterPoint();
    probe->Offset(c.x - probe->GetRect().CenterPoint().x, c.y - probe->GetRect().CenterPoint().y);
    probe->OnRelease(&b.d, c.x, c.y);
    EXPECT_FALSE(probe->IsDetached());
    EXPECT_EQ(probe->GetRect(), b.c->GetRect());
    probe->ConnectToPart();
    EXPECT_EQ(probe->GetProbedPart(), b.c);
}

namespace {

// A sound sample of n values 0.5 i, that knows the probe reading it.
struct RampSample : CProbeSampleSource {
    explicit RampSample(int n) : length(n) {}
    int GetLength() const override { return length; }
    double GetValue(int i) const override { return 0.5 * i; }
    void SetProbe(CProbe* p) override { probe = p; }
    int length;
    CProbe* probe = nullptr;
};

} // namespace

TEST(Probe, SoundProbeReadsItsLinkedSample)
{
    RampSample sample(100);
    {
        CProbe sound(CProbe::kSoundChannel);
        sound.LinkSoundSample(&sample);
        EXPECT_EQ(sample.probe, &sound);
        EXPECT_EQ(sound.GetQuantityMask(), kVoltage);
        // The sound probe's first sample is the graph's last shown one.
        sound.SetDisplayPosition(3, 40);
        EXPECT_EQ(sound.GetFirstSampleNumber(), 40);
        EXPECT_EQ(sound.GetSample(50, kVoltage), 5.0);
        EXPECT_TRUE(sound.IsSampleValid(139));
        EXPECT_FALSE(sound.IsSampleValid(140));
        EXPECT_FALSE(sound.IsSampleValid(39));
        sound.SetSelection(90, 60);
        sound.NormaliseSelection();
        EXPECT_EQ(sound.GetSelectionStart(), 60);
        EXPECT_EQ(sound.GetSelectionEnd(), 90);
    }
    // The deleted probe let go of the sample.
    EXPECT_EQ(sample.probe, nullptr);
    // An ordinary probe's first sample is the graph's first shown one.
    CProbe ordinary(1);
    ordinary.SetDisplayPosition(3, 40);
    EXPECT_EQ(ordinary.GetFirstSampleNumber(), 3);
    // Never connected, it has no information to give.
    CString info;
    ordinary.BuildInfo(info, 36002, CPoint());
    EXPECT_EQ(info, "No information");
}

TEST(Probe, TwoProbesOfOneChannelOnFileEndOnTwoChannels)
{
    // The second probe is filed without claiming a channel, as a damaged
    // file would hold it: both say channel 0.
    RCBench b(10.0, 1000.0, 1e-4);
    CProbe* first = b.ProbeOn(b.r);
    ASSERT_EQ(first->GetChannel(), 0);
    auto* second = new CProbe(0);
    second->Offset(b.c->GetRect().CenterPoint().x - 7, b.c->GetRect().CenterPoint().y - 7);
    b.d.CPartTree::AddChild(second);
    ASSERT_EQ(second->GetChannel(), 0);
    std::unique_ptr<CCircuit> copy = Read(Write(b.d));
    ASSERT_NE(copy, nullptr);
    const std::vector<CProbe*> probes = ProbesOf(*copy);
    ASSERT_EQ(probes.size(), 2u);
    EXPECT_NE(probes[0]->GetChannel(), probes[1]->GetChannel());
    EXPECT_LT(probes[0]->GetChannel(), 2);
    EXPECT_LT(probes[1]->GetChannel(), 2);
    EXPECT_EQ(copy->m_wProbeCount, 2);
    EXPECT_EQ(copy->AllocateProbeChannel(), 2);
}

TEST(Probe, FreeProbeStaysWhereItIsThroughLoads)
{
    // A probe on no part stands one pixel below and right of a grid point;
    // loading (with the after-load fix-ups, as File/Open does) must not move
    // it, whatever the grid: off, 1, 2 (where its corner is its own nearest
    // grid point) or 8.
    for (const int step : {0, 1, 2, 8}) {
        RCBench b(10.0, 1000.0, 1e-4);
        b.d.m_nGridStep = step;
        auto* probe = new CProbe(&b.d, CPoint(108, 48));
        b.d.AddChild(probe);
        probe->ConnectToPart();
        ASSERT_EQ(probe->GetProbedPart(), nullptr) << step;
        const CRect placed = probe->GetRect();
        std::vector<uint8_t> bytes = Write(b.d);
        for (int load = 1; load <= 2; ++load) {
            std::unique_ptr<CCircuit> copy = Read(bytes);
            ASSERT_NE(copy, nullptr) << step;
            copy->AfterLoad(copy.get(), 0, kCurrentVersion);
            const std::vector<CProbe*> probes = ProbesOf(*copy);
            ASSERT_EQ(probes.size(), 1u) << step;
            EXPECT_EQ(probes[0]->GetRect(), placed) << "grid " << step << ", load " << load;
            // A built design's first write differs from a loaded one's (its
            // run state), so the bytes are compared from the first load on.
            const std::vector<uint8_t> again = Write(*copy);
            if (load > 1) {
                EXPECT_EQ(again, bytes) << "grid " << step;
            }
            bytes = again;
        }
    }
}
