#include "model/parts/info_design.h"
#include "model/parts/partcircuit.h"
#include "model/parts/parttree.h"
#include "part_testclasses.h"

#include <gtest/gtest.h>

namespace {

class CPressTarget : public CPart {
public:
    int OnPress(CPartTree*, int x, int y) override
    {
        pressed = CPoint(x, y);
        return 5;
    }
    int OnRelease(CPartTree*, int, int) override { return 11; }
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT, CPoint) override
    {
        text = "target info";
        return 3;
    }
    CPoint pressed{-1, -1};
};

class CDragDesign : public CTestDesign {
public:
    void OnDragEnded() override { ++ended; }
    int ended = 0;
};

} // namespace

TEST(DummyPart, PassesActionsToItsTargetOrParent)
{
    CDragDesign design;
    design.CreateMissingGroups();
    CPressTarget target;
    CDummyPart withTarget(CRect(0, 0, 4, 4), &target);
    EXPECT_EQ(withTarget.DefersToParent(), 1);
    EXPECT_EQ(withTarget.OnPress(&design, 3, 4), 5);
    EXPECT_EQ(target.pressed, CPoint(3, 4));
    EXPECT_EQ(withTarget.OnRelease(&design, 0, 0), 11);
    CDummyPart alone(CRect(0, 0, 4, 4), nullptr);
    EXPECT_EQ(alone.OnPress(&design, 0, 0), 0);
    EXPECT_EQ(design.ended, 1);
    EXPECT_EQ(alone.OnRelease(&design, 0, 0), 7);

    // Information comes from the parent in the active design's tree.
    auto* parent = new CPressTarget;
    auto* proxy = new CDummyPart(CRect(0, 0, 4, 4), nullptr);
    parent->AddChild(proxy);
    design.AddChild(parent);
    CString text;
    EXPECT_EQ(proxy->HasInfo(0, 0), 0); // no active design
    CDummyPart::ActiveDesign() = &design;
    EXPECT_EQ(proxy->HasInfo(0, 0), 1);
    EXPECT_EQ(proxy->BuildInfo(text, 36002, CPoint(9, 9)), 3);
    EXPECT_EQ(text, "target info");
    proxy->m_bInfo = 0;
    EXPECT_EQ(proxy->HasInfo(0, 0), 0);

    // The text is built in the design it is asked for, not in the active
    // one: with another design active the parent is still found, and
    // asked for a design that does not hold it, none is.
    CDragDesign other;
    other.CreateMissingGroups();
    CDummyPart::ActiveDesign() = &other;
    text.clear();
    EXPECT_EQ(proxy->BuildInfo(text, 36002, CPoint(9, 9)), 0) << "not in the active design";
    {
        CInfoDesign given(&design);
        EXPECT_EQ(proxy->BuildInfo(text, 36002, CPoint(9, 9)), 3);
        EXPECT_EQ(text, "target info");
        {
            CInfoDesign nested(&other);
            text.clear();
            EXPECT_EQ(proxy->BuildInfo(text, 36002, CPoint(9, 9)), 0);
        }
        EXPECT_EQ(proxy->BuildInfo(text, 36002, CPoint(9, 9)), 3) << "the outer request again";
    }
    CDummyPart::ActiveDesign() = nullptr;
}

TEST(DummyPart, LabelPlacesByTheOrientationOfThePart)
{
    struct Case { int orientation; CRect want; };
    const Case cases[] = {
        {0, CRect(92, 209, 104, 218)},
        {2, CRect(92, 202, 104, 211)},
        {1, CRect(104, 192, 116, 209)},
        {5, CRect(104, 192, 116, 209)},
    };
    for (const Case& c : cases) {
        CPart part(CRect(100, 200, 140, 220));
        part.m_nOrientation = c.orientation;
        CDummyPart d;
        d.PlaceLabel(0, &part, nullptr);
        EXPECT_EQ(d.GetRect(), c.want) << c.orientation;
        const CPoint off(1, -1);
        d.PlaceLabel(0, &part, &off);
        CRect moved = c.want;
        moved.OffsetRect(1, -1);
        EXPECT_EQ(d.GetRect(), moved) << c.orientation;
    }
    CDummyPart d(CRect(0, 0, 2, 2), nullptr);
    const CPoint off(5, 6);
    d.PlaceLabel(0, nullptr, &off);
    EXPECT_EQ(d.GetRect(), CRect(5, 6, 7, 8));
}

TEST(PartCircuit, AttachesItsChildrenAndKeepsItsOwner)
{
    CTestDesign design;
    CTestDesign other;
    CPartCircuit pc;
    auto* child = new CPartCircuit;
    pc.AddChild(child);
    pc.AfterLoad(&design, 0, 0x20B8);
    EXPECT_EQ(pc.GetCircuit(), &design);
    EXPECT_EQ(child->GetCircuit(), &design);
    pc.AfterLoad(&other, 0, 0x20B8); // an owner is kept
    EXPECT_EQ(pc.GetCircuit(), &design);
}
