// A flowchart saved in a design mid-run: it loads, saves the same bytes
// again, and the run goes on from where it was saved with the same timing.
#include "flow_support.h"
#include "model/parts/part_records.h"
#include "tests/model/design_roundtrip.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<CTestFlowStep*> StepsOf(CCircuit& d)
{
    std::vector<CTestFlowStep*> out;
    for (CPart* p : d.CollectFlowObjects())
        if (auto* s = dynamic_cast<CTestFlowStep*>(p)) out.push_back(s);
    return out;
}

TEST(FlowDesignArchive, SavedMidRunLoadsAndRunsOn)
{
    FlowBench b;
    auto* head = b.Add<CTestFlowHead>(100, 40);
    auto* first = b.Add<CTestFlowStep>(100, 120);
    auto* second = b.Add<CTestFlowStep>(100, 200);
    b.Join(head->GetOutputTerminal(), first->GetTerminal(0));
    b.Join(first->GetOutputTerminal(), second->GetTerminal(0));
    first->runTime = 1.0;
    second->runTime = 1.0;
    first->m_pFlowStart = head;
    second->m_pFlowStart = head;
    b.Reset();
    head->Fire();
    b.Run(2);
    ASSERT_TRUE(first->m_bActive);
    const int left = first->m_nStepsLeft;
    ASSERT_GE(left, 1);

    const Bytes saved = SaveDesign(b.d);
    auto loaded = LoadDesign(saved);
    ASSERT_TRUE(loaded);
    // Loading shows the pictures at rest (a design saved running opens with
    // its elements idle-looking), so the bytes settle after one load.
    const Bytes again = SaveDesign(*loaded);
    auto twice = LoadDesign(again);
    ASSERT_TRUE(twice);
    EXPECT_EQ(SaveDesign(*twice), again);
    std::vector<CTestFlowStep*> steps = StepsOf(*loaded);
    ASSERT_EQ(steps.size(), 2u);
    // The design keeps its parts in list order: the first step is the one
    // that was running.
    CTestFlowStep* a = steps[0]->m_bActive ? steps[0] : steps[1];
    CTestFlowStep* next = a == steps[0] ? steps[1] : steps[0];
    EXPECT_EQ(a->m_nStepsLeft, left);
    EXPECT_EQ(a->GetRunTime(), loaded->GetFlowTimeStep()); // run times are no part of the record
    // The owner reference came back to the loaded head.
    ASSERT_NE(a->m_pFlowStart, nullptr);
    EXPECT_EQ(a->GetOwner(), a->m_pFlowStart);
    a->runTime = 1.0;
    next->runTime = 1.0;
    // Counting on: `left` more after-steps finish it, the solve after drives.
    int passes = 0;
    while (!next->m_bActive && passes < 100) {
        loaded->RunSolverPass();
        ++passes;
    }
    EXPECT_EQ(passes, left + 1);
}

} // namespace
