#include "model/parts/controlitem.h"
#include "model/parts/part.h"
#include "model/parts/parttree.h"
#include "part_testclasses.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A part with a chosen hit class that counts its draws.
class CHitPart : public CPart {
public:
    CHitPart(const CRect& r, DWORD hitClass) : m_hit(hitClass) { m_rect = r; }
    DWORD GetHitClass() override { return m_hit; }
    int Draw(DWORD flags) override
    {
        ++draws;
        return CPart::Draw(flags);
    }
    DWORD m_hit;
    int draws = 0;
};

struct SearchScope {
    SearchScope(DWORD mask, WORD options)
    {
        SharedHitSearch().Reset();
        SharedHitSearch().mask = mask;
        SharedHitSearch().options = options;
    }
    ~SearchScope() { SharedHitSearch().Reset(); }
};

} // namespace

TEST(PartBase, ConstructionDefaults)
{
    CPart p;
    EXPECT_TRUE(p.GetRect().IsRectNull());
    EXPECT_EQ(p.GetFirstChild(), nullptr);
    EXPECT_EQ(p.GetNextSibling(), nullptr);
    EXPECT_FALSE(p.IsSelected());
    EXPECT_EQ(p.GetFlags(), 0);
    EXPECT_EQ(p.GetOrientation(), 0);
    EXPECT_EQ(p.GetHitClass(), 2u);
    EXPECT_STREQ(p.GetRuntimeClass()->m_lpszClassName, "CPart");
    EXPECT_EQ(p.GetRuntimeClass()->m_wSchema, 2u);
}

TEST(PartBase, ChildListOperations)
{
    CPart parent;
    EXPECT_EQ(parent.AddChild(nullptr), nullptr);
    EXPECT_EQ(parent.ChildCount(), 0);
    auto* a = new CPart;
    auto* b = new CPart;
    parent.AddChild(a);
    parent.AddChild(b); // pushed at the front
    EXPECT_EQ(parent.GetFirstChild(), b);
    EXPECT_EQ(b->GetNextSibling(), a);
    CPart stranger;
    EXPECT_EQ(parent.RemoveChild(&stranger), 0);
    EXPECT_EQ(parent.RemoveChild(b), 1);
    EXPECT_EQ(b->GetNextSibling(), nullptr);
    delete b;
    EXPECT_EQ(CPart::FindParentOf(&parent, a), &parent);
    EXPECT_EQ(CPart::FindParentOf(&parent, &stranger), nullptr);
}

TEST(PartBase, HitTestingTable)
{
    // Each case: a parent with children (rect, hit class, selected), the
    // search mask and options, the point, and which part is found (index
    // into the children, -1 the parent, -2 none).
    struct Child { CRect r; DWORD hit; bool selected; };
    struct Case {
        const char* what;
        CRect parentRect;
        std::vector<Child> kids;
        DWORD mask;
        CPoint at;
        int found;
    };
    const Case cases[] = {
        {"plain child", CRect(0, 0, 100, 100), {{CRect(10, 10, 20, 20), 2, false}}, 1, {15, 15}, 0},
        {"parent when no child is there", CRect(0, 0, 100, 100), {{CRect(10, 10, 20, 20), 2, false}}, 1, {50, 50}, -1},
        {"empty parent rectangle is never hit, its child is", CRect(), {{CRect(10, 10, 20, 20), 2, false}}, 1,
         {15, 15}, 0},
        {"empty parent rectangle, nothing at the point", CRect(), {{CRect(10, 10, 20, 20), 2, false}}, 1, {50, 50}, -2},
        {"right and bottom edges are outside", CRect(0, 0, 10, 10), {}, 1, {10, 5}, -2},
        {"class mask filters", CRect(), {{CRect(0, 0, 10, 10), 2, false}}, 4, {5, 5}, -2},
        {"class mask matches", CRect(), {{CRect(0, 0, 10, 10), 6, false}}, 4, {5, 5}, 0},
        {"a wire-class part is only a candidate: the parent behind it ends the search with it",
         CRect(0, 0, 100, 100), {{CRect(0, 0, 10, 10), 0x20, false}}, 1, {5, 5}, 0},
        {"a selected 0x70 candidate beats a plain part found later", CRect(),
         {{CRect(0, 0, 10, 10), 0x20, true}, {CRect(0, 0, 10, 10), 2, false}}, 1, {5, 5}, 0},
        {"a later 0x70 part of higher class replaces an unselected one", CRect(),
         {{CRect(0, 0, 10, 10), 0x10, false}, {CRect(0, 0, 10, 10), 0x20, false}}, 1, {5, 5}, 1},
        {"a later unselected 0x70 part does not replace a selected one", CRect(),
         {{CRect(0, 0, 10, 10), 0x10, true}, {CRect(0, 0, 10, 10), 0x20, false}}, 1, {5, 5}, 0},
    };
    for (const Case& c : cases) {
        CHitPart parent(c.parentRect, 2);
        std::vector<CHitPart*> kids;
        for (const Child& k : c.kids) {
            auto* p = new CHitPart(k.r, k.hit);
            p->m_bSelected = k.selected;
            parent.AppendChild(p);
            kids.push_back(p);
        }
        SearchScope scope(c.mask, 0);
        CPart* found = SharedHitSearch().TakeResult(parent.HitTest(c.at));
        CPart* want = c.found == -2 ? nullptr : c.found == -1 ? static_cast<CPart*>(&parent) : kids[size_t(c.found)];
        EXPECT_EQ(found, want) << c.what;
    }
}

TEST(PartBase, HitTestExceptSkipsOnePart)
{
    CPart parent;
    auto* a = new CPart(CRect(0, 0, 10, 10));
    auto* b = new CPart(CRect(0, 0, 10, 10));
    parent.AppendChild(a);
    parent.AppendChild(b);
    SearchScope scope(1, 0);
    EXPECT_EQ(SharedHitSearch().TakeResult(parent.HitTestExcept({5, 5}, a)), b);
}

TEST(PartBase, FindPartAtWidensTheMaskAndStops)
{
    CTestDesign design;
    design.CreateMissingGroups();
    auto* p = new CHitPart(CRect(0, 0, 16, 16), 0x04);
    design.AddChild(p);
    // Mask 8 finds nothing; widened to 4 it finds the part.
    EXPECT_EQ(design.FindPartAt({5, 5}, 8, 0, 0), p);
    // A stop mask that shares a bit with the mask stops at once.
    EXPECT_EQ(design.FindPartAt({5, 5}, 8, 8, 0), nullptr);
    // 0x180 widens to itself: the search ends instead of looping.
    EXPECT_EQ(design.FindPartAt({5, 5}, 0x180, 0, 0), nullptr);
    // The search record is back to mask 1, options 0.
    EXPECT_EQ(SharedHitSearch().mask, 1u);
    EXPECT_EQ(SharedHitSearch().options, 0);
    // Near misses are found at the grid-snapped points: (17, 3) is outside,
    // its half-grid rounding (16 -> outside) and snap (16, 0) too, but
    // (15, 3) is inside.
    EXPECT_EQ(design.FindPartAt({15, 3}, 1, 0, 0), p);
    EXPECT_EQ(design.FindPartAt({21, 3}, 1, 0, 0), nullptr);
}

TEST(PartBase, OrientationTurnsTable)
{
    // Turning the offset (10, 5) from the anchor, screen coordinates (y down).
    struct Case { int from, to; CPoint want; };
    const Case cases[] = {
        {0, 0, {10, 5}},   {0, 1, {-5, 10}},  {0, 2, {-10, -5}}, {0, 3, {5, -10}},
        {1, 0, {5, -10}},  // three quarter turns, not minus one
        {3, 0, {-5, 10}},  {2, 1, {5, -10}},
        {0, 4, {-10, 5}},  // mirrored: x flips for an even new code
        {0, 5, {-5, -10}}, // turn then mirror: y flips for an odd new code
        {4, 0, {-10, 5}},  {4, 4, {10, 5}},    {5, 1, {10, -5}},   {4, 6, {-10, -5}},
    };
    const CPoint a(100, 200);
    for (const Case& c : cases) {
        CPoint r = TurnPoint(CPoint(a.x + 10, a.y + 5), a, c.to, c.from);
        EXPECT_EQ(r - a, c.want) << c.from << "->" << c.to;
        CPointD rd = TurnPoint(CPointD{a.x + 10.0, a.y + 5.0}, CPointD{double(a.x), double(a.y)}, c.to, c.from);
        EXPECT_DOUBLE_EQ(rd.x - a.x, c.want.x) << c.from << "->" << c.to;
        EXPECT_DOUBLE_EQ(rd.y - a.y, c.want.y) << c.from << "->" << c.to;
    }
    // Four quarter turns and mirroring twice come back.
    CPoint p(37, -11);
    for (int code = 1; code <= 4; ++code) p = TurnPoint(p, a, code % 4, code - 1);
    EXPECT_EQ(p, CPoint(37, -11));
    EXPECT_TRUE(IsMirroredOrientation(4));
    EXPECT_FALSE(IsMirroredOrientation(3));
    EXPECT_TRUE(IsOddOrientation(5));
    EXPECT_TRUE(IsEvenOrientation(6));
}

TEST(PartBase, SetOrientationMovesThePartWithItsChildren)
{
    CPart part(CRect(10, 0, 30, 10));
    auto* child = new CPart(CRect(12, 2, 14, 4));
    part.AddChild(child);
    const CPoint anchor(10, 0);
    EXPECT_EQ(part.SetOrientation(1, 0, 7, &anchor), 7);
    EXPECT_EQ(part.GetOrientation(), 1);
    // The top-left corner is the anchor itself: nothing moves.
    EXPECT_EQ(part.GetRect(), CRect(10, 0, 30, 10));
    const CPoint other(0, 0);
    part.SetOrientation(2, 1, 0, &other);
    // (10, 0) about (0, 0), one quarter turn: (0, 10); everything moves by (-10, 10).
    EXPECT_EQ(part.GetRect(), CRect(0, 10, 20, 20));
    EXPECT_EQ(child->GetRect(), CRect(2, 12, 4, 14));
    EXPECT_TRUE(part.HasOddOrientation() == false);
}

TEST(PartBase, LabelPlacementTable)
{
    struct Case { int side; CRect want; };
    const CRect other(100, 100, 140, 120); // 40 x 20
    const Case cases[] = {
        {0, CRect(115, 86, 125, 96)},  // above, centred
        {1, CRect(144, 105, 154, 115)}, // right
        {2, CRect(115, 124, 125, 134)}, // below
        {3, CRect(86, 105, 96, 115)},   // left
        {7, CRect(0, 0, 10, 10)},       // unknown side: unchanged
    };
    for (const Case& c : cases) {
        CPart label(CRect(0, 0, 10, 10));
        CPart target(other);
        label.PlaceLabel(c.side, &target, nullptr);
        EXPECT_EQ(label.GetRect(), c.want) << c.side;
    }
    CPart label(CRect(0, 0, 10, 10));
    CPart target(other);
    const CPoint off(1, 2);
    label.PlaceLabel(1, &target, &off);
    EXPECT_EQ(label.GetRect(), CRect(145, 107, 155, 117));
    CLabelPlacement rec[2];
    EXPECT_EQ(label.GetLabelPlacements(rec), 2);
    EXPECT_EQ(rec[0].side, 3);
    EXPECT_EQ(rec[1].side, 0);
    EXPECT_EQ(rec[0].pass, 5);
}

TEST(PartBase, SelectionDrawsOnlyWhenItChanges)
{
    CHitPart p(CRect(0, 0, 5, 5), 2);
    p.Deselect(0);
    EXPECT_EQ(p.draws, 0);
    p.Select(0x80000);
    EXPECT_TRUE(p.IsSelected());
    EXPECT_EQ(p.draws, 0);
    p.Deselect(0);
    EXPECT_EQ(p.draws, 1);
    p.Select(0);
    EXPECT_EQ(p.draws, 2);
}

TEST(PartBase, InformationTexts)
{
    CPart p;
    CString text;
    EXPECT_EQ(p.ShowInfo({0, 0}, text), 0); // no info flag
    p.m_bInfo = 1;
    EXPECT_EQ(p.ShowInfo({0, 0}, text), 1);
    EXPECT_EQ(text, "No information");
    for (UINT id = 0; id <= 9; ++id) {
        CString t;
        p.BuildInfo(t, id, {0, 0});
        EXPECT_TRUE(t.IsEmpty()) << id;
    }
}

TEST(PartBase, LockedDesignPermissions)
{
    CTestDesign design;
    CPart p;
    design.m_dwOptions = 0;
    EXPECT_TRUE(p.CanMoveWhenLocked(&design));
    design.m_dwOptions = 0x4000;
    EXPECT_FALSE(p.CanMoveWhenLocked(&design));
    EXPECT_FALSE(p.CanSelectWhenLocked(&design));
    EXPECT_FALSE(p.IsSelectableWhenLocked(&design));
    p.ModifyFlags16(PF_MOVABLE_LOCKED | PF_CANSELECT_LOCKED | PF_SELECTABLE_LOCKED, true);
    EXPECT_TRUE(p.CanMoveWhenLocked(&design));
    EXPECT_TRUE(p.CanSelectWhenLocked(&design));
    EXPECT_TRUE(p.IsSelectableWhenLocked(&design));
    p.ModifyFlags16(PF_MOVABLE_LOCKED, false);
    EXPECT_FALSE(p.CanMoveWhenLocked(&design));
}

TEST(PartBase, UnionAndIntersection)
{
    CPart p(CRect(0, 0, 10, 10));
    p.AddChild(new CPart(CRect(20, 20, 30, 25)));
    p.AddChild(new CPart()); // empty: ignored by the union
    EXPECT_EQ(p.GetUnionRect(), CRect(0, 0, 30, 25));
    EXPECT_TRUE(p.IntersectsRect(CRect(25, 21, 26, 22)));
    EXPECT_FALSE(p.IntersectsRect(CRect(12, 12, 18, 18)));
    EXPECT_TRUE(p.IsInRect(CRect(-1, -1, 11, 11), 1));
    EXPECT_FALSE(p.IsInRect(CRect(1, 1, 11, 11), 1));
    EXPECT_TRUE(p.IsInRect(CRect(1, 1, 11, 11), 0));
    p.Offset(5, -5);
    EXPECT_EQ(p.GetUnionRect(), CRect(5, -5, 35, 20));
    CPart empty;
    EXPECT_TRUE(empty.GetUnionRect().IsRectNull());
}

TEST(PartBase, AfterLoadAppliesVariantsAndOldFileFlags)
{
    class CVariantPart : public CPart {
    public:
        void InitVariant(const CRuntimeClass* v) override { got = v; }
        const CRuntimeClass* got = nullptr;
    };
    CTestDesign design;
    CVariantPart p;
    p.m_pPendingVariant = RUNTIME_CLASS(CTestValue);
    p.AfterLoad(&design, 0, 0x20B8);
    EXPECT_EQ(p.got, RUNTIME_CLASS(CTestValue));
    EXPECT_EQ(p.m_pPendingVariant, nullptr);
    EXPECT_EQ(p.GetFlags(), 0);
    p.AfterLoad(&design, 0, 399);
    EXPECT_EQ(p.GetFlags(), PF_CANSELECT_LOCKED | PF_MOVABLE_LOCKED);
    CPart q;
    design.m_dwOptions = 0x04000000;
    q.AfterLoad(&design, 0, 4);
    EXPECT_EQ(q.GetFlags(), PF_CANSELECT_LOCKED);
}

TEST(PartBase, DropChecksThePageAndOverlaps)
{
    CTestDesign design;
    design.CreateMissingGroups();
    design.AddChild(new CTestComp(CRect(100, 100, 140, 140)));
    CTestComp inside(CRect(10, 10, 20, 20));
    EXPECT_TRUE(inside.CanDrop(&design));
    CTestComp overlapping(CRect(130, 130, 150, 150));
    EXPECT_FALSE(overlapping.CanDrop(&design));
    CTestComp offPage(CRect(1590, 10, 1610, 20));
    EXPECT_FALSE(offPage.CanDrop(&design));
    CTestWire wire; // hit class 0x20: overlapping is allowed for class 0x10 only
    wire.SetRect(CRect(130, 130, 150, 150));
    EXPECT_FALSE(wire.CanDrop(&design));

    SharedPressState().Reset();
    auto* dropped = new CTestComp(CRect(300, 300, 320, 320));
    EXPECT_EQ(dropped->OnRelease(&design, 0, 0), 0); // no press armed
    dropped->StartDrag(&design, CPoint(301, 302));
    EXPECT_EQ(SharedPressState().dragOrigin, CPoint(304, 304));
    EXPECT_EQ(SharedPressState().dragRect, CRect(298, 298, 322, 322));
    EXPECT_EQ(dropped->OnRelease(&design, 0, 0), 9);
    EXPECT_EQ(design.m_pComponents->GetFirstChild()->GetNextSibling(), dropped);
    SharedPressState().Reset();
}

TEST(PartBase, PropertiesOfThePlainPart)
{
    CPart p;
    CControlItemList items;
    EXPECT_EQ(p.FillProperties(items), 0);
    EXPECT_EQ(items.GetCount(), 0);
}
