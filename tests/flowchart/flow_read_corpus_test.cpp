// The four elements that join a flowchart's variables with the world
// around it, in one design: x = a_Input0 (a divider's 3 V reads 153),
// bit 0 of x on? -> display x -> read y -> stop, with a display box and
// an input box.  The design is saved, loaded and run; a number typed into
// the loaded input box reaches y.  The same design saved mid-read is a
// seed of the flowchart part-tree fuzz target: write it with
//   test_flowchart --gtest_also_run_disabled_tests --gtest_filter='FlowReadCorpus*'
// and commit tests/fuzz/corpus/flowtree/flowchart_read.
#include "components/earth.h"
#include "components/resistor.h"
#include "components/voltrail.h"
#include "flow_vars_support.h"
#include "flowchart/flow_inputbox.h"
#include "flowchart/flow_read.h"
#include "flowchart/flow_testbit.h"
#include "flowchart/flow_write.h"
#include "flowchart/flow_writebox.h"
#include "flowchart/flow_xanal.h"
#include "flowchart/panel_buttons.h"
#include "model/parts/part_records.h"
#include "tests/model/design_roundtrip.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string SeedPath() { return std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/flowtree/flowchart_read"; }

template <class T>
T* AddPanel(ChipFlowBench& b, int x, int y)
{
    auto* p = new T;
    p->m_rect.OffsetRect(x, y);
    p->m_pCircuit = &b.d;
    p->Initialise();
    b.d.AddChild(p);
    p->m_strFlowchart = "Flowchart 1";
    return p;
}

struct Design {
    ChipFlowBench b;
    CFlowStart* start;
    CFlowStop* stop;
    Design()
    {
        CChip* chip = b.AddChip(600, 40, 2, 2, 0, 4);
        auto* rail = b.Add<CVoltRail>(900, 0);
        auto* upper = b.Add<CResistor>(1000, 100);
        auto* lower = b.Add<CResistor>(1000, 400);
        auto* earth = b.Add<CEarth>(1000, 600);
        SetLabel(upper, 1000.0);
        SetLabel(lower, 500.0);
        CTerminal* pin = chip->GetPortTerminal(2);
        b.Wire(rail->GetTerminal(0), upper->GetTerminal(0));
        b.Wire(upper->GetTerminal(1), pin);
        b.Wire(pin, lower->GetTerminal(0));
        b.Wire(lower->GetTerminal(1), earth->GetTerminal(0));
        AddPanel<CWriteBox>(b, 300, 600);
        AddPanel<CInputBox>(b, 300, 800);
        start = b.AddFlow<CFlowStart>(100, 40);
        auto* analog = b.AddFlow<CFlowXanal>(100, 120);
        auto* test = b.AddFlow<CFlowTestBit>(80, 200);
        auto* show = b.AddFlow<CFlowWrite>(100, 340);
        auto* read = b.AddFlow<CFlowRead>(100, 420);
        stop = b.AddFlow<CFlowStop>(100, 520);
        auto* other = b.AddFlow<CFlowStop>(400, 340);
        b.Chain({start, analog, test});
        b.Join(test->GetTerminal(1), show->GetTerminal(0));
        b.Join(test->GetTerminal(2), other->GetTerminal(0));
        b.Chain({show, read, stop});
        read->OnPropertyCommand(36053, "y");
    }
};

template <class T>
T* Find(const std::vector<CPart*>& parts)
{
    for (CPart* p : parts)
        if (auto* t = dynamic_cast<T*>(p)) return t;
    return nullptr;
}

} // namespace

TEST(FlowReadCorpus, DISABLED_WriteFuzzSeed)
{
    Design g;
    g.b.RunToStop(g.start, g.stop, 40);
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    g.b.d.SerializeTree(ar);
    std::vector<uint8_t> bytes{static_cast<uint8_t>(kCurrentVersion & 0xFF), static_cast<uint8_t>(kCurrentVersion >> 8)};
    bytes.insert(bytes.end(), ar.GetBuffer().begin(), ar.GetBuffer().end());
    std::filesystem::create_directories(std::filesystem::path(SeedPath()).parent_path());
    std::ofstream f(SeedPath(), std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(FlowReadCorpus, SeedLoadsWithItsElements)
{
    EnsureGuiApp();
    std::ifstream f(SeedPath(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 2u) << "write the seed (see the top of this file)";
    CCircuit d;
    CArchive ar(bytes.data() + 2, bytes.size() - 2);
    ar.SetVersion(static_cast<WORD>(bytes[0] | (bytes[1] << 8)));
    d.SerializeTree(ar);
    d.AfterLoad(&d, 0, ar.GetVersion());
    EXPECT_EQ(d.CollectFlowObjects().size(), 7u);
    auto* read = Find<CFlowRead>(d.CollectFlowObjects());
    ASSERT_NE(read, nullptr);
    // Saved while it waited for a number.
    EXPECT_EQ(read->m_bWaiting, 1);
    EXPECT_EQ(read->m_strName, "y");
}

TEST(FlowReadCorpus, ADesignSavedAndLoadedRuns)
{
    Design g;
    auto loaded = LoadDesign(SaveDesign(g.b.d));
    ASSERT_TRUE(loaded);
    CCircuit& d = *loaded;
    auto* start = dynamic_cast<CFlowStart*>(d.FindFlowStart("Flowchart 1"));
    ASSERT_NE(start, nullptr);
    auto* read = Find<CFlowRead>(d.CollectFlowObjects());
    auto* box = Find<CInputBox>(d.CollectInputBoxes());
    auto* shown = Find<CWriteBox>(d.CollectFlowViewers());
    ASSERT_NE(read, nullptr);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(shown, nullptr);
    d.ResetRun(0);
    ASSERT_EQ(start->m_nCheckResult, 0);
    d.SetUpdateRate(20.0);
    Press(start, d);
    for (int i = 0; i < 60; ++i) d.RunSolverPass();
    // 153 = %10011001: bit 0 is on, so the display printed x.
    EXPECT_EQ(start->GetVariable("x"), 153);
    EXPECT_EQ(shown->m_strPanelText, shown->Title() + "153");
    ASSERT_EQ(read->m_bWaiting, 1);
    ASSERT_TRUE(box->IsArmed());
    box->CText::SetText("17");
    box->SetInputValue(&d, 0);
    for (int i = 0; i < 2; ++i) d.RunSolverPass();
    EXPECT_EQ(start->GetVariable("y"), 17);
    // The stop after the read (numbered nets once the design has run).
    CFlowStop* stop = nullptr;
    for (CPart* p : d.CollectFlowObjects())
        if (auto* s = dynamic_cast<CFlowStop*>(p); s && s->GetTerminal(0)->GetNode() == read->GetTerminal(1)->GetNode())
            stop = s;
    ASSERT_NE(stop, nullptr);
    EXPECT_TRUE(stop->m_bStopped);
}
