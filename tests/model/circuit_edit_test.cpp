// The design root's editing operations: selections, the page offset, the
// drawing order and the flowchart collections.
#include "circuit_testparts.h"

#include <gtest/gtest.h>

namespace {

std::vector<CPart*> Group(CPart* g)
{
    std::vector<CPart*> v;
    for (CPart* p = g->GetFirstChild(); p; p = p->GetNextSibling()) v.push_back(p);
    return v;
}

TEST(CircuitEdit, DeleteSelectedAndCount)
{
    CCircuit d;
    auto* a = AddPart<CTestResistor>(d, 0, 0);
    auto* b = AddPart<CTestResistor>(d, 0, 100);
    auto* w = AddWire(d, {60, 0}, {60, 100});
    CPart* last = nullptr;
    EXPECT_EQ(d.CountSelected(&last, 0), 0);
    w->m_bSelected = 1;
    EXPECT_EQ(d.CountSelected(&last, 0), 1);
    EXPECT_EQ(d.CountSelected(&last, 1), 0);  // only wires selected
    a->m_bSelected = 1;
    EXPECT_EQ(d.CountSelected(&last, 1), 2);
    EXPECT_EQ(last, w);
    d.DeleteSelected();
    EXPECT_EQ(Group(d.m_pComponents), std::vector<CPart*>{b});
    EXPECT_TRUE(Group(d.m_pWires).empty());
    // b's terminal was joined to the deleted wire: nothing points at it now.
    EXPECT_FALSE(b->B()->IsJoined());
    d.DeleteUnselected();
    EXPECT_TRUE(d.IsEmpty());
}

TEST(CircuitEdit, OffsetMovesAndDropsPartsOffThePage)
{
    CCircuit d;
    auto* a = AddPart<CTestResistor>(d, 100, 100);
    auto* b = AddPart<CTestResistor>(d, 1500, 100);
    (void)b;
    d.SetOffset(CSize(200, 0));
    EXPECT_EQ(Group(d.m_pComponents), std::vector<CPart*>{a});
    EXPECT_EQ(a->A()->GetPinPoint(), CPoint(300, 100));
    d.SetPageRect(0, 0, 100, 100);
    EXPECT_EQ(d.GetPageRect(), CRect(0, 0, 100, 100));  // an offset is set: not widened
    CCircuit e;
    e.SetPageRect(0, 0, 100, 100);
    EXPECT_EQ(e.GetPageRect(), CRect(0, 0, 1600, 1400));
}

TEST(CircuitEdit, DrawingOrder)
{
    CCircuit d;
    auto* a = AddPart<CTestResistor>(d, 0, 0);
    auto* b = AddPart<CTestResistor>(d, 0, 100);
    auto* c = AddPart<CTestResistor>(d, 0, 200);
    d.MovePartInTree(c, 2);
    EXPECT_EQ(Group(d.m_pComponents), (std::vector<CPart*>{c, a, b}));
    d.MovePartInTree(c, 16);
    EXPECT_EQ(Group(d.m_pComponents), (std::vector<CPart*>{a, b, c}));
}

TEST(CircuitEdit, LinkedDesigns)
{
    CCircuit d;
    auto* floating = new CCircuit;
    floating->m_bTemporary = 1;
    d.SetLinkedDesign(floating);
    EXPECT_EQ(d.GetLinkedDesign(), floating);
    EXPECT_EQ(floating->m_pHostDesign, &d);
    // A part taken into the design leaves the linked design first.
    auto* r = new CTestResistor;
    r->Place(floating, 0, 0);
    floating->AddChild(r);
    d.AddChild(r);
    EXPECT_TRUE(floating->IsEmpty());
    EXPECT_EQ(d.GetFirstComponent(), r);
    delete floating;
    EXPECT_EQ(d.GetLinkedDesign(), nullptr);
}

} // namespace
