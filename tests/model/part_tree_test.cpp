#include "model/parts/parttree.h"
#include "part_testclasses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Names each part by its rectangle's left edge, for compact expectations.
std::vector<int> Walk(CPartTree& d, int filter, CPart* list = nullptr)
{
    std::vector<int> out;
    CPartIterator it(&d, filter, list);
    while (CPart* p = it.Next()) out.push_back(p->GetRect().left);
    return out;
}

CPart* Part(int tag) { return new CPart(CRect(tag, 0, tag + 1, 1)); }
CPart* Comp(int tag) { return new CTestComp(CRect(tag, 0, tag + 1, 1)); }

} // namespace

TEST(PartTree, NewDesignListsItsGroups)
{
    CTestDesign d;
    d.CreateMissingGroups();
    std::vector<std::string> names;
    for (CPart* g = d.GetFirstChild(); g; g = g->GetNextSibling()) names.push_back(d.NameOfGroup(g));
    EXPECT_EQ(names, (std::vector<std::string>{"OTHERS", "COMPONENTS", "WIRES", "PROBES", "FLOWOBJECTS"}));
    EXPECT_TRUE(d.IsEmpty());
    EXPECT_EQ(d.GetGroup(4), nullptr);
    CPart list;
    EXPECT_EQ(d.GetGroup(GROUP_PARTLIST, &list), &list);
    d.CreateMissingGroups(); // nothing more
    EXPECT_EQ(d.ChildCount(), 5);
    EXPECT_EQ(d.NameOfGroup(&list), "");
}

TEST(PartTree, FilingByClassTable)
{
    struct Case { CPart* part; int code; };
    const Case cases[] = {
        {new CTestComp, GROUP_COMPONENTS},
        {new CTestWire, GROUP_WIRES},
        {new CTestTerminal, GROUP_WIRES}, // a subclass of the wire family
        {new CTestProbe, GROUP_PROBES},
        {new CTestFlow, GROUP_FLOWOBJECTS},
        {new CTestValue, GROUP_OTHERS},
        {new CPart, GROUP_OTHERS},
        {new CDummyPart, GROUP_OTHERS},
    };
    CTestDesign d;
    d.CreateMissingGroups();
    for (const Case& c : cases) {
        EXPECT_EQ(CPartTree::FileByClass(c.part), c.code) << c.part->GetRuntimeClass()->m_lpszClassName;
        d.AddChild(c.part);
        CPart* g = d.GetGroup(c.code);
        CPart* last = g->GetFirstChild();
        while (last->GetNextSibling()) last = last->GetNextSibling();
        EXPECT_EQ(last, c.part); // appended
    }
}

TEST(PartTree, WalkOrders)
{
    CTestDesign d;
    d.CreateMissingGroups();
    d.GetGroup(GROUP_COMPONENTS)->AppendChild(Comp(1));
    d.GetGroup(GROUP_COMPONENTS)->AppendChild(Comp(2));
    d.GetGroup(GROUP_OTHERS)->AppendChild(Part(10));
    d.GetGroup(GROUP_PROBES)->AppendChild(Part(20));
    d.GetGroup(GROUP_WIRES)->AppendChild(Part(30));
    d.GetGroup(GROUP_WIRES)->AppendChild(Part(31));
    d.GetGroup(GROUP_FLOWOBJECTS)->AppendChild(Part(40));
    EXPECT_EQ(Walk(d, 0), (std::vector<int>{1, 2, 40, 20, 30, 31, 10}));
    EXPECT_EQ(Walk(d, 1), (std::vector<int>{10, 1, 2, 40, 20, 30, 31}));
    EXPECT_EQ(Walk(d, 7), Walk(d, 1));
    // Children of parts are not visited.
    d.GetGroup(GROUP_OTHERS)->GetFirstChild()->AddChild(Part(99));
    EXPECT_EQ(Walk(d, 1).size(), 7u);
    // A part list of a given part, then PROBES onwards.
    CPart list;
    list.AppendChild(Part(50));
    list.AppendChild(Part(51));
    EXPECT_EQ(Walk(d, 0, &list), (std::vector<int>{50, 51, 20, 30, 31, 10}));
    EXPECT_EQ(Walk(d, 1, &list), (std::vector<int>{50, 51, 20, 30, 31}));
}

TEST(PartTree, WalkSkipsEmptyGroupsAndRestrictsTemporaryDesigns)
{
    CTestDesign d;
    d.CreateMissingGroups();
    EXPECT_TRUE(Walk(d, 0).empty());
    CPartIterator empty(&d, 0);
    EXPECT_EQ(empty.GetCurrent(), nullptr);
    d.GetGroup(GROUP_WIRES)->AppendChild(Part(30));
    d.GetGroup(GROUP_OTHERS)->AppendChild(Part(10));
    EXPECT_EQ(Walk(d, 0), (std::vector<int>{30, 10}));
    CPartIterator it(&d, 1);
    EXPECT_EQ(it.GetCurrent()->GetRect().left, 10); // filter 1 starts with OTHERS
    d.m_bTemporary = 1;
    d.m_nSelectionScope = 0;
    EXPECT_EQ(Walk(d, 0), (std::vector<int>{30}));
    EXPECT_EQ(Walk(d, 1), (std::vector<int>{10}));
    d.m_nSelectionScope = 1;
    EXPECT_EQ(Walk(d, 0), (std::vector<int>{30, 10}));
    // Reset starts again.
    CPartIterator again(&d, 0);
    again.Next();
    again.Reset();
    EXPECT_EQ(again.GetCurrent()->GetRect().left, 30);
}

TEST(PartTree, GroupListOperations)
{
    CTestDesign d;
    d.CreateMissingGroups();
    EXPECT_EQ(d.PopBack(GROUP_OTHERS), nullptr);
    EXPECT_EQ(d.PopFront(GROUP_OTHERS), nullptr);
    EXPECT_EQ(d.GetBeforeLast(GROUP_OTHERS), nullptr);
    CPart* one = Part(1);
    d.AppendByClass(one);
    EXPECT_EQ(d.GetBeforeLast(GROUP_OTHERS), one);
    EXPECT_EQ(d.PopBack(GROUP_OTHERS), one); // one part: the group is left empty
    EXPECT_EQ(d.GetGroup(GROUP_OTHERS)->GetFirstChild(), nullptr);
    d.AppendByClass(one);
    CPart* two = Part(2);
    CPart* three = Part(3);
    d.AppendByClass(two);
    d.PushFrontByClass(three);
    // OTHERS: 3, 1, 2
    EXPECT_EQ(d.GetBeforeLast(GROUP_OTHERS), one);
    EXPECT_EQ(d.PopFront(GROUP_OTHERS), three);
    EXPECT_EQ(three->GetNextSibling(), nullptr);
    delete three;
    EXPECT_EQ(d.PopBack(GROUP_OTHERS), two);
    delete two;
    CPart stranger;
    EXPECT_EQ(d.RemovePart(&stranger), 0);
    EXPECT_EQ(d.RemovePart(one), 1);
    delete one;
    EXPECT_TRUE(d.IsEmpty());
    // Removing through a part list.
    CPart a, b;
    CPart* child = Part(5);
    b.AddChild(child);
    a.SetNextSibling(&b);
    EXPECT_EQ(d.RemoveFromGroup(GROUP_PARTLIST, &a, child), 1);
    a.SetNextSibling(nullptr);
    delete child;
}

TEST(PartTree, InsertByClassOffersThePartToAList)
{
    class CTaker : public CPart {
    public:
        int QueryDefault47(CPart*) override { return 1; }
    };
    CTestDesign d;
    d.CreateMissingGroups();
    CPart refuser;
    CTaker taker;
    refuser.SetNextSibling(&taker);
    CPart* p = Part(1);
    EXPECT_EQ(d.InsertByClass(p, &refuser), p);
    EXPECT_EQ(taker.GetFirstChild(), p);
    refuser.SetNextSibling(nullptr);
    CPart nobody;
    CPart* q = Part(2);
    EXPECT_EQ(d.InsertByClass(q, &nobody), nullptr);
    delete q;
}

TEST(PartTree, DetachAndDelete)
{
    CTestDesign d;
    d.CreateMissingGroups();
    CPart* p = Part(1);
    d.AddChild(p);
    d.DetachAll(false); // the parts now belong to whoever took them
    EXPECT_TRUE(d.IsEmpty());
    delete p;
    d.DetachAll(true);
    EXPECT_EQ(d.m_pOthers, nullptr);
    EXPECT_EQ(d.ChildCount(), 5); // still owned by the design
    d.DeleteGroups();
    EXPECT_EQ(d.ChildCount(), 0);
    EXPECT_TRUE(d.m_mapGroups.empty());
    d.CreateMissingGroups();
    d.RebuildNameMap();
    EXPECT_EQ(d.m_mapGroups.size(), 4u); // FLOWOBJECTS is not mapped for old files
}
