// Switches and push buttons: their pins, the contacts each state links, the
// lever and key driven as the canvas view drives them, the one-step press,
// ratings and the state through a reset.
#include "switches_bench.h"

#include "components/dpdt.h"
#include "components/dpst.h"
#include "components/key.h"
#include "components/pushbreak.h"
#include "components/pushmake.h"
#include "components/spdt.h"
#include "components/spst.h"
#include "components/toggle.h"
#include "model/parts/catalogue.h"

#include <memory>

namespace {

TEST(SwitchesContacts, CatalogueRowsAndOldNamesCreateTheClasses)
{
    EnsureTextGuiApp();
    struct Row {
        const char* row;
        const char* made;
    };
    const Row rows[] = {{"CSPST", "CSPST"},           {"CSPDT", "CSPDT"},         {"CDPST", "CDPST"},
                        {"CDPDT", "CDPDT"},           {"CPushMake", "CPushMake"}, {"CPushBreak", "CPushBreak"},
                        {"CRelaySPDT", "CRelaySPDT"}, {"CRelayDPDT", "CRelayDPDT"}, {"CSPSTV", "CSPST"},
                        {"CSPDTX", "CSPDT"},          {"CPushMakeV", "CPushMake"}, {"CPushBreakV", "CPushBreak"}};
    PartCatalogue& cat = PartCatalogue::Get();
    for (const Row& r : rows) {
        const int i = cat.FindClass(r.row);
        ASSERT_GE(i, 0) << r.row;
        EXPECT_EQ(cat.GetRowStatus(i), PartCatalogue::rowReady) << r.row;
        std::unique_ptr<CObject> obj(cat.CreateAt(i, nullptr, nullptr));
        ASSERT_NE(obj, nullptr) << r.row;
        EXPECT_TRUE(obj->GetRuntimeClass()->IsNamed(r.made)) << r.row;
    }
}

TEST(SwitchesContacts, PartsTakeTheirPinsControlsAndRatings)
{
    SwitchBench b;
    struct Case {
        CComponent* part;
        int pins;
        int orientation;
        bool key;
    };
    const Case cases[] = {{b.Add<CSPST>(100, 100), 2, 3, false},    {b.Add<CSPDT>(200, 100), 3, 2, false},
                          {b.Add<CDPST>(300, 100), 4, 3, false},    {b.Add<CDPDT>(400, 100), 6, 3, false},
                          {b.Add<CPushMake>(500, 100), 2, 3, true}, {b.Add<CPushBreak>(600, 100), 2, 3, true}};
    for (const Case& c : cases) {
        const char* name = c.part->GetRuntimeClass()->m_lpszClassName;
        EXPECT_EQ(c.part->GetTerminalCount(), c.pins) << name;
        EXPECT_EQ(c.part->GetOrientation(), c.orientation) << name;
        EXPECT_DOUBLE_EQ(c.part->m_dMaxV, 400.0) << name;
        EXPECT_DOUBLE_EQ(c.part->m_dMaxI, 15.0) << name;
        CToggle* control = ControlOf<CToggle>(c.part);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(dynamic_cast<CKey*>(control) != nullptr, c.key) << name;
        EXPECT_EQ(control->GetLinkedSwitch(), c.part) << name;
        EXPECT_EQ(control->GetPropertyOwner(), c.part) << name;
        EXPECT_EQ(control->IsControl(), 1);
        // The control stands below the part, clear of it.
        EXPECT_GE(control->m_rect.top, c.part->m_rect.bottom) << name;
    }
}

// Which of the loads on pins `to` carries the current fed into pin `from`.
struct Pole {
    int from;
    std::vector<int> to;
};

std::vector<std::vector<bool>> Conducting(CComponent* (*make)(SwitchBench&), const std::vector<Pole>& poles, int state)
{
    SwitchBench b;
    CComponent* sw = make(b);
    std::vector<std::vector<CDiodesResistor*>> loads;
    int x = 40;
    for (const Pole& p : poles) {
        // 9 V into the pole's common through 1 k; every contact back to
        // the cell's minus through its own 1 k.
        auto* cell = AddTestPart<CDiodesCell>(b.d, x, 600);
        auto* feed = AddTestPart<CDiodesResistor>(b.d, x, 700);
        Join(b.d, cell->A(), feed->A());
        Join(b.d, feed->B(), sw->GetTerminal(p.from));
        x += 120;
        std::vector<CDiodesResistor*> row;
        for (int t : p.to) {
            auto* load = AddTestPart<CDiodesResistor>(b.d, x, 800 + 40 * static_cast<int>(row.size()));
            Join(b.d, sw->GetTerminal(t), load->A());
            Join(b.d, load->B(), cell->B());
            row.push_back(load);
            x += 120;
        }
        loads.push_back(row);
    }
    sw->SetInputValue(nullptr, state);
    b.Start();
    b.Run(1);
    std::vector<std::vector<bool>> on;
    for (auto& row : loads) {
        std::vector<bool> r;
        for (CDiodesResistor* load : row) r.push_back(std::fabs(Amps(load) - 0.0045) < 1e-9);
        on.push_back(r);
    }
    return on;
}

template <class T>
CComponent* Make(SwitchBench& b)
{
    return b.Add<T>(200, 100);
}

TEST(SwitchesContacts, EachStateLinksThePartsContacts)
{
    using Rows = std::vector<std::vector<bool>>;
    // SPST: 0-1 closed in state 1.
    EXPECT_EQ(Conducting(Make<CSPST>, {{0, {1}}}, 1), (Rows{{true}}));
    EXPECT_EQ(Conducting(Make<CSPST>, {{0, {1}}}, 0), (Rows{{false}}));
    // SPDT: the common to 1 in state 1, to 2 in state 0.
    EXPECT_EQ(Conducting(Make<CSPDT>, {{0, {1, 2}}}, 1), (Rows{{true, false}}));
    EXPECT_EQ(Conducting(Make<CSPDT>, {{0, {1, 2}}}, 0), (Rows{{false, true}}));
    // DPST: 0-3 and 1-2.
    EXPECT_EQ(Conducting(Make<CDPST>, {{0, {3}}, {1, {2}}}, 1), (Rows{{true}, {true}}));
    EXPECT_EQ(Conducting(Make<CDPST>, {{0, {3}}, {1, {2}}}, 0), (Rows{{false}, {false}}));
    // DPDT: 0-4 and 1-2 in state 1, 0-5 and 1-3 in state 0.
    EXPECT_EQ(Conducting(Make<CDPDT>, {{0, {4, 5}}, {1, {2, 3}}}, 1), (Rows{{true, false}, {true, false}}));
    EXPECT_EQ(Conducting(Make<CDPDT>, {{0, {4, 5}}, {1, {2, 3}}}, 0), (Rows{{false, true}, {false, true}}));
}

// A 9 V cell, 1 k and the switch's pins 0 and 1 in one loop.
template <class T>
struct Loop {
    SwitchBench b;
    T* sw;
    CDiodesResistor* r;
    explicit Loop(double emf = 9.0, double ohms = 1000.0)
    {
        // The feed lies above, clear of the control below the part.
        sw = b.Add<T>(200, 400);
        r = b.Feed(sw->GetTerminal(0), sw->GetTerminal(1), emf, ohms, 40, 100);
    }
};

TEST(SwitchesContacts, ALeverClickedOnTheCanvasFlipsTheSwitch)
{
    Loop<CSPST> s;
    s.b.Start();
    s.b.UseHost();
    s.b.Tick();
    EXPECT_NEAR(Amps(s.r), 0.0, 1e-12);
    CToggle* lever = ControlOf<CToggle>(s.sw);
    const CPoint middle = lever->m_rect.CenterPoint();
    EXPECT_EQ(s.b.Click(middle), 1);
    EXPECT_EQ(s.b.m_pPressed, nullptr);
    EXPECT_EQ(lever->GetState(), 1);
    EXPECT_EQ(s.sw->m_wStateWord, 1);
    // The controller waits for the view's timer.
    EXPECT_NEAR(Amps(s.r), 0.0, 1e-12);
    s.b.Tick();
    EXPECT_NEAR(Amps(s.r), 0.009, 1e-12);
    EXPECT_EQ(s.b.Click(middle), 1);
    s.b.Tick();
    EXPECT_NEAR(Amps(s.r), 0.0, 1e-12);
    // Without a timer a flip runs the pass at once.
    s.b.d.SetHost(nullptr);
    s.b.d.ControlSimulation(SIM_DEACTIVATE);
    s.b.Click(middle);
    EXPECT_NEAR(Amps(s.r), 0.009, 1e-12);
}

TEST(SwitchesContacts, LeversSwitchWithTheSimulationOff)
{
    Loop<CSPST> s;
    s.b.d.SetOptionBits(OPT_SIMULATE, false);
    CToggle* lever = ControlOf<CToggle>(s.sw);
    s.b.Click(lever->m_rect.CenterPoint());
    EXPECT_EQ(s.sw->m_wStateWord, 1);
}

TEST(SwitchesContacts, PushButtonsMakeAndBreakWhileHeld)
{
    for (bool make : {true, false}) {
        SwitchBench b;
        CPushMake* button = make ? b.Add<CPushMake>(200, 400) : b.Add<CPushBreak>(200, 400);
        CDiodesResistor* r = b.Feed(button->GetTerminal(0), button->GetTerminal(1), 9.0, 1000.0, 40, 100);
        b.Start();
        b.UseHost();
        const double released = make ? 0.0 : 0.009, held = make ? 0.009 : 0.0;
        b.Tick();
        EXPECT_NEAR(Amps(r), released, 1e-12) << make;
        CKey* key = ControlOf<CKey>(button);
        const CPoint p = key->m_rect.CenterPoint();
        EXPECT_EQ(b.Press(p), key);
        EXPECT_EQ(key->GetState(), 1);
        for (int i = 0; i < 3; ++i) {
            b.Tick();
            EXPECT_NEAR(Amps(r), held, 1e-12) << make << i;
        }
        EXPECT_EQ(b.Release(p), 1);
        b.Tick();
        EXPECT_NEAR(Amps(r), released, 1e-12) << make;
    }
}

TEST(SwitchesContacts, AQuickPressBetweenStepsClosesForExactlyOneStep)
{
    Loop<CPushMake> s;
    s.b.Start();
    s.b.UseHost();
    s.b.Tick();
    CKey* key = ControlOf<CKey>(s.sw);
    const CPoint p = key->m_rect.CenterPoint();
    s.b.Press(p);
    s.b.Release(p);
    // The press acted at once; the release waits for the end of the step.
    EXPECT_EQ(s.sw->m_wStateWord, 1);
    EXPECT_EQ(s.sw->m_wPending, 0);
    s.b.Tick();
    EXPECT_NEAR(Amps(s.r), 0.009, 1e-12);
    EXPECT_EQ(s.sw->m_wStateWord, 0);
    EXPECT_EQ(s.sw->m_wPending, CPushMake::kNone);
    s.b.Tick();
    EXPECT_NEAR(Amps(s.r), 0.0, 1e-12);
}

TEST(SwitchesContacts, AClosedSwitchStaysClosedThroughAReset)
{
    Loop<CSPST> s;
    s.sw->SetInputValue(nullptr, 1);
    s.b.Start();
    s.b.Run(1);
    s.b.d.OnSimulationStopped();
    s.sw->ResetSimulation();
    s.b.Start();
    s.b.Run(1);
    EXPECT_EQ(s.sw->m_wStateWord, 1);
    EXPECT_NEAR(Amps(s.r), 0.009, 1e-12);
}

TEST(SwitchesContacts, ContactsBurnAboveFifteenAmpsAndFourHundredVolts)
{
    struct Case {
        double emf;
        double ohms;
        int state;
        bool burns;
    };
    // 15 A through the closed contact; 400 V across the open one.
    const Case cases[] = {{15.0, 1.0, 1, false}, {15.1, 1.0, 1, true}, {400.0, 1000.0, 0, false},
                          {401.0, 1000.0, 0, true}, {-401.0, 1000.0, 0, true}};
    for (const Case& c : cases) {
        Loop<CSPST> s(c.emf, c.ohms);
        s.sw->SetInputValue(nullptr, c.state);
        s.b.Start();
        s.b.Run(3);
        EXPECT_EQ(s.sw->IsBroken() != 0, c.burns) << c.emf;
    }
}

} // namespace
