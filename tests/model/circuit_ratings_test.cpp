// Ratings and burn-out: the rating test's margins and messages, the power
// alarm over two steps, indestructible components, the blink that follows a
// burn-out while the design goes on, and repairing or deleting the part.
#include "circuit_testparts.h"

#include "model/components/explode.h"
#include "platform/messagebox.h"

#include <gtest/gtest.h>

namespace {

// A cell straight across a resistor (R's terminal A on the cell's negative
// pole, the reference), and a second resistor in parallel that survives.
struct Bench {
    CCircuit d;
    CFakeHost host;
    CTestCell* cell;
    CTestResistor* r;
    CTestResistor* keep;

    explicit Bench(double emf)
    {
        d.SetHost(&host);
        cell = AddPart<CTestCell>(d, 100, 100);
        cell->m_dEmf = emf;
        r = AddPart<CTestResistor>(d, 300, 100);
        keep = AddPart<CTestResistor>(d, 300, 300);
        AddWire(d, {160, 100}, {280, 100});
        AddWire(d, {360, 100}, {400, 100});
        AddWire(d, {400, 100}, {400, 200});
        AddWire(d, {400, 200}, {80, 200});
        AddWire(d, {80, 200}, {80, 100});
        // keep: A to the cell's negative pole, B to its positive one.
        AddWire(d, {280, 100}, {280, 300});
        AddWire(d, {400, 200}, {400, 300});
        AddWire(d, {400, 300}, {360, 300});
        d.RenumberNodes();
    }
};

// v(B) = -emf, v(A) = 0: the resistor sees +emf from A to its reference B.
TEST(CircuitRatings, VoltageMargin)
{
    struct Case {
        double emf;
        bool burns;
    };
    for (const Case& c : {Case{-6.004, false}, Case{-6.006, true}}) {
        Bench b(c.emf);
        b.r->LoadRatingsText("MaxV=6");
        b.d.RunSolverPass();
        EXPECT_EQ(b.r->IsBroken() != 0, c.burns) << c.emf;
        if (!c.burns) continue;
        CExplode* e = b.r->GetExplosion();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(b.r->GetFirstChild(), e);
        EXPECT_DOUBLE_EQ(e->m_dExcess, 6.006);
        EXPECT_DOUBLE_EQ(e->m_dRating, 6.0);
        EXPECT_EQ(e->m_wMessageId, 10);
        EXPECT_EQ(e->m_cUnit, 'V');
        EXPECT_EQ(e->BuildMessage(),
                  "The peak voltage was 6.006V.\n\nThe maximum rating is 6V.\n\nReplace the destroyed component?");
        EXPECT_EQ(b.r->GetPower(), 0.0);
        EXPECT_TRUE(b.d.HasBlownPart());
    }
}

TEST(CircuitRatings, ReverseUsesMaxVWithoutMaxRV)
{
    // +6.006 V from the cell: A is 6.006 V below B, a reverse voltage.
    Bench b(6.006);
    b.r->LoadRatingsText("MaxV=6");
    EXPECT_DOUBLE_EQ(b.r->m_dMaxRV, 6.0);
    b.d.RunSolverPass();
    ASSERT_TRUE(b.r->IsBroken());
    EXPECT_EQ(b.r->GetExplosion()->m_wMessageId, 13);
    // With its own MaxRV the same part survives.
    Bench c(6.006);
    c.r->LoadRatingsText("MaxV=6 MaxRV=20");
    c.d.RunSolverPass();
    EXPECT_FALSE(c.r->IsBroken());
}

TEST(CircuitRatings, ParsesRatingsText)
{
    CTestResistor r;
    r.LoadRatingsText("MaxI=0.05 MaxV=5300  Vce=55 Vled=6");
    EXPECT_DOUBLE_EQ(r.m_dMaxI, 0.05);
    EXPECT_DOUBLE_EQ(r.m_dMaxV, 5300);
    EXPECT_DOUBLE_EQ(r.m_dMaxRV, 5300);
    EXPECT_DOUBLE_EQ(r.m_dMaxP, 1e24);
    double v = 0;
    EXPECT_TRUE(ParseRatingValue("MaxP=2.0", "MaxP", &v));
    EXPECT_DOUBLE_EQ(v, 2.0);
    EXPECT_FALSE(ParseRatingValue("MaxP=2.0", "MaxI", &v));
}

TEST(CircuitRatings, CurrentRating)
{
    Bench b(-6.0);  // 6 mA through each resistor
    b.r->LoadRatingsText("MaxI=0.0055");
    b.d.RunSolverPass();
    EXPECT_FALSE(b.r->IsBroken());  // 6 mA is within 5.5 mA + 0.5 mA
    Bench c(-6.1);
    c.r->LoadRatingsText("MaxI=0.0055");
    c.d.RunSolverPass();
    ASSERT_TRUE(c.r->IsBroken());
    EXPECT_EQ(c.r->GetExplosion()->m_wMessageId, 11);
    EXPECT_EQ(c.r->GetExplosion()->m_cUnit, 'A');
}

TEST(CircuitRatings, PowerMustStayOverForTwoSteps)
{
    Bench b(-6.0);  // 36 mW in each resistor
    b.r->LoadRatingsText("MaxP=0.03");
    b.d.RunSolverPass();
    EXPECT_FALSE(b.r->IsBroken());
    EXPECT_EQ(b.r->m_bPowerAlarm, 1);
    EXPECT_EQ(b.d.GetChanged(), 1);
    // Back under the rating for a step: the alarm resets.
    b.cell->m_dEmf = -1.0;
    b.d.RunSolverPass();
    EXPECT_EQ(b.r->m_bPowerAlarm, 0);
    b.cell->m_dEmf = -6.0;
    b.d.RunSolverPass();
    EXPECT_FALSE(b.r->IsBroken());
    b.d.RunSolverPass();
    ASSERT_TRUE(b.r->IsBroken());
    EXPECT_EQ(b.r->GetExplosion()->m_wMessageId, 12);
    EXPECT_EQ(b.r->GetExplosion()->m_cUnit, 'W');
    EXPECT_NEAR(b.r->GetExplosion()->m_dExcess, 0.036, 1e-12);
}

TEST(CircuitRatings, IndestructibleComponentsSumPowerOnly)
{
    Bench b(-50.0);
    b.d.ToggleOptions(OPT_INDESTRUCTIBLE);
    b.r->LoadRatingsText("MaxV=6 MaxI=0.001 MaxP=0.01");
    for (int i = 0; i < 3; ++i) b.d.RunSolverPass();
    EXPECT_FALSE(b.r->IsBroken());
    EXPECT_FALSE(b.d.HasBlownPart());
    EXPECT_NEAR(b.r->GetPower(), 2.5, 1e-9);
    // The alternate look switches the test off as well.
    Bench c(-50.0);
    c.r->LoadRatingsText("MaxV=6");
    c.r->UseAlternateLook();
    c.d.RunSolverPass();
    EXPECT_FALSE(c.r->IsBroken());
}

TEST(CircuitRatings, BurnOutBlinksAndTheDesignGoesOn)
{
    Bench b(-10.0);
    b.r->LoadRatingsText("MaxV=6");
    b.d.ControlSimulation(SIM_ACTIVATE);
    b.d.ControlSimulation(SIM_TIMER);
    ASSERT_TRUE(b.r->IsBroken());
    EXPECT_EQ(b.host.timerMs, 200);
    ASSERT_EQ(b.host.status.size(), 1u);
    EXPECT_EQ(b.host.status[0], "<<<<<<<<<<   BANG !   >>>>>>>>>>");
    int passes = b.d.GetCompletedPasses();
    // Eight frames at 200 ms: no passes while the animation runs.
    std::vector<int> frames{b.r->GetExplosion()->GetDrawFrame()};
    while (b.d.HasBlownPart() && frames.size() < 20) {
        b.d.ControlSimulation(SIM_TIMER);
        frames.push_back(b.r->GetExplosion()->GetDrawFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 3, 2, 1, -1, -1}));
    EXPECT_EQ(b.d.GetCompletedPasses(), passes);
    EXPECT_EQ(b.host.status[1], "To replace a destroyed component, click on it, then on the marrowgate.");
    EXPECT_EQ(b.host.status[2], b.host.status[0]);
    EXPECT_TRUE(b.r->GetExplosion()->GetRect().IsRectEmpty());
    // The design runs on without the broken part.
    b.d.ControlSimulation(SIM_TIMER);
    EXPECT_EQ(b.d.GetCompletedPasses(), passes + 1);
    EXPECT_EQ(b.host.timerMs, 200);  // 5 per second
    EXPECT_NEAR(b.keep->B()->GetCurrent(), -0.01, 1e-12);
    EXPECT_NEAR(b.cell->A()->GetCurrent(), 0.01, 1e-12);
    EXPECT_TRUE(b.r->IsBroken());
}

TEST(CircuitRatings, RepairKeepsAProbeAndRuns)
{
    Bench b(-10.0);
    b.r->LoadRatingsText("MaxV=6");
    auto* probe = new CTestRecProbe;
    probe->attached = b.r;
    b.d.AddChild(probe);
    b.d.RunSolverPass();
    ASSERT_TRUE(b.r->IsBroken());
    CRecordingMessageBox box;
    CMessageBoxScope scope(&box);
    box.queuedAnswers = {IDYES};
    EXPECT_EQ(b.d.RepairOrDeleteBroken(b.r), 1);
    EXPECT_FALSE(b.r->IsBroken());
    // The probe on the repaired part stays.
    EXPECT_EQ(b.d.m_pProbes->GetFirstChild(), probe);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].type & 0xF, unsigned(MB_YESNO));
}

TEST(CircuitRatings, DeclinedRepairLeavesEverything)
{
    Bench b(-10.0);
    b.r->LoadRatingsText("MaxV=6");
    auto* probe = new CTestRecProbe;
    probe->attached = b.r;
    b.d.AddChild(probe);
    b.d.RunSolverPass();
    CRecordingMessageBox box;
    CMessageBoxScope scope(&box);
    box.queuedAnswers = {IDNO, IDNO};  // no repair, no delete
    EXPECT_EQ(b.d.RepairOrDeleteBroken(b.r), 0);
    EXPECT_TRUE(b.r->IsBroken());
    EXPECT_EQ(b.d.m_pProbes->GetFirstChild(), probe);
    EXPECT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].text, "Delete the destroyed component?");
}

TEST(CircuitRatings, DeleteAnswerTakesTheProbeFirst)
{
    Bench b(-10.0);
    b.r->LoadRatingsText("MaxV=6");
    auto* probe = new CTestRecProbe;
    probe->attached = b.r;
    b.d.AddChild(probe);
    b.d.RunSolverPass();
    CRecordingMessageBox box;
    CMessageBoxScope scope(&box);
    box.queuedAnswers = {IDNO, IDYES, IDNO, IDYES};
    EXPECT_EQ(b.d.RepairOrDeleteBroken(b.r), 1);
    EXPECT_EQ(b.d.m_pProbes->GetFirstChild(), nullptr);
    EXPECT_TRUE(b.r->IsBroken());
    // Asked again with no probe left: the part goes.
    CTestResistor* r = b.r;
    EXPECT_EQ(b.d.RepairOrDeleteBroken(r), 1);
    for (CPart* p = b.d.m_pComponents->GetFirstChild(); p; p = p->GetNextSibling()) EXPECT_NE(p, r);
    b.d.RunSolverPass();
    EXPECT_NEAR(b.keep->B()->GetCurrent(), -0.01, 1e-12);
}

TEST(CircuitRatings, ExplosionMarkerRecord)
{
    CExplode e(nullptr, CRect(1, 2, 3, 4), 6.006, 6.0, 10, 'V');
    EXPECT_EQ(e.m_wFrameCounter, 9);
    CArchive out;
    out.SetVersion(0x20B8);
    out.WriteObject(&e);
    CArchive in(out.GetBuffer());
    in.SetVersion(0x20B8);
    std::unique_ptr<CExplode> back(static_cast<CExplode*>(in.ReadNewObject(RUNTIME_CLASS(CExplode))));
    ASSERT_TRUE(back);
    EXPECT_DOUBLE_EQ(back->m_dExcess, 6.006);
    EXPECT_DOUBLE_EQ(back->m_dRating, 6.0);
    EXPECT_EQ(back->m_wMessageId, 10);
    EXPECT_EQ(back->m_cUnit, 'V');
    // Loaded markers never animate.
    EXPECT_EQ(back->m_wFrameCounter, 0);
    EXPECT_EQ(back->GetDrawFrame(), -1);
    back->Animate();
    EXPECT_EQ(back->Tick(nullptr, 0), 0);
}

} // namespace
