// Probes pasted into a design: each takes a channel of its own there, and
// those beyond the design's four stay behind.
#include "app/clipboard.h"
#include "measure/probe.h"
#include "model/circuit/circuit.h"

#include <gtest/gtest.h>

#include <set>

TEST(PasteProbes, PastedProbesTakeFreeChannelsUpToFour)
{
    CCircuit into;
    for (int i = 0; i < 3; ++i) into.AddChild(new CProbe(&into, CPoint(40 + 40 * i, 40)));
    CCircuit from;
    for (int i = 0; i < 2; ++i) from.AddChild(new CProbe(&from, CPoint(40 + 40 * i, 120)));
    EXPECT_EQ(MergeDesign(&into, &from, CPoint(16, 16)), 1);
    std::set<int> channels;
    int count = 0;
    for (CPart* p = into.GetGroup(GROUP_PROBES)->GetFirstChild(); p; p = p->GetNextSibling()) {
        channels.insert(dynamic_cast<CProbe*>(p)->GetChannel());
        ++count;
    }
    EXPECT_EQ(count, 4);
    EXPECT_EQ(channels, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(into.m_wProbeCount, 4);
    EXPECT_EQ(from.GetGroup(GROUP_PROBES)->GetFirstChild(), nullptr);
}
