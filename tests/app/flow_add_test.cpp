// Flowchart elements from the flowchart toolbar in the real main window:
// the catalogue makes them, they land in the design, and each new start
// element names a flowchart of its own.
#include "flowchart/flow_start.h"
#include "model/parts/catalogue.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

namespace {

constexpr int kFlowchartBar = 476;
constexpr int kAddStart = 33851;
constexpr int kAddStop = 33852;
constexpr int kAddWait = 33853;
constexpr int kAddBeep = 33855;
constexpr int kAddDecision = 33856;

class FlowAdd : public CanvasWindowTest {};

TEST_F(FlowAdd, TheCatalogueMakesTheElements)
{
    const PartCatalogue& c = PartCatalogue::Get();
    for (int id : {kAddStart, kAddStop, kAddWait, kAddBeep, kAddDecision}) {
        const int row = c.FindCommand(id);
        ASSERT_GE(row, 0) << id;
        EXPECT_EQ(c.GetRowStatus(row), PartCatalogue::rowReady) << id;
    }
}

TEST_F(FlowAdd, StartsFromTheToolbarNameTwoFlowcharts)
{
    CPart* first = AddFromToolbar(kFlowchartBar, kAddStart, QPoint(300, 200));
    CPart* second = AddFromToolbar(kFlowchartBar, kAddStart, QPoint(600, 200));
    auto* a = dynamic_cast<CFlowStart*>(first);
    auto* b = dynamic_cast<CFlowStart*>(second);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    const std::vector<CPart*> starts = Design()->CollectFlowStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(a->m_strName, "Flowchart 1");
    EXPECT_EQ(b->m_strName, "Flowchart 2");
    EXPECT_EQ(Design()->FindFlowStart("Flowchart 2"), b);
    EXPECT_EQ(a->GetTerminalCount(), 1);
}

} // namespace
