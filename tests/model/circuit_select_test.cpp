// The design root's selection, find, drag, drop and delete, driven in the
// order the canvas calls them (a scripted view: press, move, release).
#include "circuit_testparts.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::vector<CPart*> Group(CPart* g)
{
    std::vector<CPart*> v;
    for (CPart* p = g->GetFirstChild(); p; p = p->GetNextSibling()) v.push_back(p);
    return v;
}

// A view's design with its floating design, linked both ways as the canvas
// links them.
struct Editing {
    Editing()
    {
        SharedPressState().Reset();
        floating->m_bTemporary = 1;
        d.SetLinkedDesign(floating.get());
    }
    ~Editing() { SharedPressState().Reset(); }

    // The canvas's press: the part under the point is picked up by the
    // floating design and told of the press.
    CPart* Press(CPoint p)
    {
        CPart* part = d.FindPartAtPoint(p);
        if (!part) return nullptr;
        floating->HoldOnlyPart(part);
        part->OnMouseDown(&d, p.x, p.y, 0);
        return part;
    }
    // The canvas's first move past the press point: the single part leaves
    // the design into the floating design, which starts its image and drags.
    void BeginDrag(CPart* part)
    {
        d.OnSimulationStopped();
        d.RemovePart(part);
        floating->BeginDragImage();
    }

    CCircuit d;
    std::unique_ptr<CCircuit> floating = std::make_unique<CCircuit>();
};

TEST(CircuitSelect, SelectDeselectAndRubberBand)
{
    CCircuit d;
    auto* a = AddPart<CTestResistor>(d, 100, 100);
    auto* b = AddPart<CTestResistor>(d, 100, 300);
    auto* w = AddWire(d, {160, 100}, {160, 300});
    d.Select(0x80000);
    EXPECT_TRUE(a->IsSelected() && b->IsSelected() && w->IsSelected());
    EXPECT_FALSE(d.IsSelected());  // the design itself is not a selected part
    d.Deselect(0x80000);
    EXPECT_EQ(d.CountSelected(nullptr, 0), 0);
    // A band around a's body only: a whole-containment band selects a alone.
    d.SelectIfInRect(CRect(90, 90, 150, 110), 0x80000, 1);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_FALSE(b->IsSelected());
    EXPECT_FALSE(w->IsSelected());
    // A touching band selects what it meets.
    d.SelectIfInRect(CRect(155, 200, 165, 210), 0x80000, 0);
    EXPECT_TRUE(w->IsSelected());
}

TEST(CircuitSelect, FindPartAtPointFindsDesignItemsOnly)
{
    CCircuit d;
    auto* a = AddPart<CTestResistor>(d, 100, 100);
    EXPECT_EQ(d.FindPartAtPoint({120, 100}), a);
    // On the terminal stub: terminals are no design items, the part is not
    // under the point either.
    EXPECT_EQ(d.FindPartAtPoint({85, 100}), nullptr);
    EXPECT_EQ(d.FindPartAtPoint({600, 600}), nullptr);
}

TEST(CircuitSelect, HeldPartIsNotOwnedByTheFloatingDesign)
{
    Editing e;
    auto* a = AddPart<CTestResistor>(e.d, 100, 100);
    auto* b = AddPart<CTestResistor>(e.d, 100, 300);
    e.floating->HoldOnlyPart(a);
    EXPECT_EQ(e.floating->GetFirstPart(), a);
    // The floating design's walk ends at the held part (a's next link still
    // belongs to the design's list).
    CPartIterator it(e.floating.get(), 0);
    EXPECT_EQ(it.Next(), a);
    EXPECT_EQ(it.GetCurrent(), nullptr);
    EXPECT_EQ(e.floating->CountSelected(nullptr, 0), 0);
    // Discarding the floating design leaves the design's parts alone.
    e.floating.reset();
    EXPECT_EQ(Group(e.d.m_pComponents), (std::vector<CPart*>{a, b}));
    // HoldOnlyPart(null) leaves no press armed.
    CCircuit f;
    SharedPressState().pressed = true;
    f.HoldOnlyPart(nullptr);
    EXPECT_FALSE(SharedPressState().pressed);
}

TEST(CircuitSelect, DragAndDropAPartJoinsItAtItsNewPlace)
{
    Editing e;
    auto* a = AddPart<CTestResistor>(e.d, 96, 96);
    // A wire whose left end waits where a's left terminal will land.
    auto* w = AddWire(e.d, {156, 200}, {156, 296});
    ASSERT_FALSE(a->A()->IsJoined());

    CPart* pressed = e.Press({120, 96});
    ASSERT_EQ(pressed, a);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_FALSE(e.d.HasPointMoved({121, 97}, true));  // same grid point
    EXPECT_TRUE(e.d.HasPointMoved({200, 300}, true));
    e.BeginDrag(a);
    EXPECT_TRUE(e.d.m_pComponents->GetFirstChild() == nullptr);
    EXPECT_EQ(e.floating->GetFirstPart(), a);

    // The pointer moves 80 right and 200 down: a's left terminal ends at
    // (156, 296), the wire's lower end.
    CRect dirty = e.floating->OnDrag(&e.d, {200, 296});
    EXPECT_EQ(a->A()->GetOuterEnd(), CPoint(156, 296));
    EXPECT_TRUE(dirty.PtInRect({100, 96}));
    EXPECT_TRUE(dirty.PtInRect({200, 296}));
    EXPECT_TRUE(SharedPressState().canDrop);

    EXPECT_EQ(e.floating->OnRelease(&e.d, 200, 296), 9);
    EXPECT_TRUE(e.floating->IsEmpty());
    EXPECT_EQ(Group(e.d.m_pComponents), std::vector<CPart*>{a});
    EXPECT_TRUE(a->A()->IsJoined());
    EXPECT_TRUE(w->IsLinkedTo(a->A()) || a->A()->IsLinkedTo(w));
    EXPECT_TRUE(IsDragIdle());
    EXPECT_FALSE(SharedPressState().pressed);
}

TEST(CircuitSelect, DropOnAnotherPartIsRefusedAndTheDragGoesOn)
{
    Editing e;
    auto* a = AddPart<CTestResistor>(e.d, 96, 96);
    auto* b = AddPart<CTestResistor>(e.d, 96, 296);
    ASSERT_EQ(e.Press({120, 96}), a);
    e.BeginDrag(a);
    e.floating->OnDrag(&e.d, {120, 296});  // onto b's body
    EXPECT_FALSE(SharedPressState().canDrop);
    EXPECT_EQ(e.floating->OnRelease(&e.d, 120, 296), 3);
    EXPECT_EQ(e.floating->GetFirstPart(), a);  // still carried
    EXPECT_EQ(Group(e.d.m_pComponents), std::vector<CPart*>{b});
    e.floating->OnDrag(&e.d, {120, 496});
    EXPECT_EQ(e.floating->OnRelease(&e.d, 120, 496), 9);
    EXPECT_EQ(Group(e.d.m_pComponents), (std::vector<CPart*>{b, a}));
    // Off the page: refused.
    ASSERT_EQ(e.Press({120, 496}), a);
    e.BeginDrag(a);
    e.floating->OnDrag(&e.d, {120, 1600});
    EXPECT_EQ(e.floating->OnRelease(&e.d, 120, 1600), 3);
}

TEST(CircuitSelect, ReleaseWithoutMoveDropsNothing)
{
    Editing e;
    auto* a = AddPart<CTestResistor>(e.d, 96, 96);
    ASSERT_EQ(e.Press({120, 96}), a);
    EXPECT_EQ(e.floating->OnRelease(&e.d, 120, 96), 0);
    EXPECT_EQ(Group(e.d.m_pComponents), std::vector<CPart*>{a});
    e.floating.reset();  // the held part stays the design's
    EXPECT_EQ(Group(e.d.m_pComponents), std::vector<CPart*>{a});
}

// A part added from the toolbar: the floating design starts a drag, which
// is the pending operation until the release drops it.
TEST(CircuitSelect, InsertedPartIsPendingUntilDropped)
{
    Editing e;
    auto* r = new CTestResistor;
    r->Place(nullptr, 8, 8);
    e.floating->HoldOnlyPart(r);
    r->AttachToCircuit(&e.d);
    e.floating->StartDrag(&e.d, {8, 8});
    EXPECT_FALSE(IsDragIdle());
    r->Select(0x80000);
    e.floating->OnDrag(&e.d, {400, 400});
    EXPECT_EQ(r->GetRect().TopLeft(), CPoint(400, 395));
    EXPECT_EQ(e.floating->OnRelease(&e.d, 400, 400), 9);
    EXPECT_TRUE(IsDragIdle());
    EXPECT_EQ(e.d.GetFirstComponent(), r);
    EXPECT_EQ(e.d.GetElectricCount(), 1);
}

// A part that is the pending operation of its own (a route being drawn)
// takes the drag and the release; the release ends the operation.
class CDragCounter : public CPart {
public:
    CRect OnDrag(CPartTree*, CPoint p) override
    {
        ++drags;
        return CRect(p.x, p.y, p.x + 1, p.y + 1);
    }
    int OnRelease(CPartTree*, int, int) override { return 7; }
    int drags = 0;
};

TEST(CircuitSelect, ForeignPendingOperationTakesTheMouse)
{
    Editing e;
    CDragCounter op;
    e.d.OnDragStarted(&op);
    EXPECT_FALSE(IsDragIdle());
    EXPECT_EQ(e.floating->OnDrag(&e.d, {5, 6}), CRect(5, 6, 6, 7));
    EXPECT_EQ(op.drags, 1);
    EXPECT_EQ(e.floating->OnRelease(&e.d, 5, 6), 7);
    EXPECT_TRUE(IsDragIdle());
    // A pending part that is deleted leaves no pointer behind.
    auto* gone = new CDragCounter;
    e.d.OnDragStarted(gone);
    delete gone;
    EXPECT_TRUE(IsDragIdle());
}

TEST(CircuitSelect, DeleteSelectionOfSeveralParts)
{
    CCircuit d;
    auto* a = AddPart<CTestResistor>(d, 96, 96);
    auto* b = AddPart<CTestResistor>(d, 96, 296);
    auto* c = AddPart<CTestResistor>(d, 96, 496);
    a->Select(0x80000);
    c->Select(0x80000);
    d.DeleteSelection();
    EXPECT_EQ(Group(d.m_pComponents), std::vector<CPart*>{b});
    // Locked: nothing goes.
    CCircuit locked;
    auto* x = AddPart<CTestResistor>(locked, 96, 96);
    auto* y = AddPart<CTestResistor>(locked, 96, 296);
    locked.Select(0x80000);
    locked.ToggleOptions(OPT_LOCKED);
    locked.DeleteSelection();
    EXPECT_EQ(Group(locked.m_pComponents), (std::vector<CPart*>{x, y}));
}

TEST(CircuitSelect, DeleteThePartTheFloatingDesignHolds)
{
    Editing e;
    auto* a = AddPart<CTestResistor>(e.d, 96, 96);
    auto* b = AddPart<CTestResistor>(e.d, 96, 296);
    auto* w = AddWire(e.d, {156, 96}, {156, 296});
    ASSERT_TRUE(b->B()->IsJoined());
    const void* gone = b->B();
    e.floating->HoldOnlyPart(b);
    e.d.DeleteSelection();
    EXPECT_EQ(Group(e.d.m_pComponents), std::vector<CPart*>{a});
    EXPECT_TRUE(e.floating->IsEmpty());
    // Nothing keeps a pointer to b's terminal.
    EXPECT_NE(static_cast<const void*>(w->GetLink(0)), gone);
    EXPECT_NE(static_cast<const void*>(w->GetLink(1)), gone);
    e.floating.reset();
    EXPECT_EQ(Group(e.d.m_pComponents), std::vector<CPart*>{a});
}

TEST(CircuitSelect, ForwardDragMovesTheFloatingDesignWithTheView)
{
    Editing e;
    auto* a = AddPart<CTestResistor>(e.d, 96, 96);
    ASSERT_EQ(e.Press({120, 96}), a);
    e.BeginDrag(a);
    EXPECT_EQ(e.floating->ForwardDrag(0, CSize(24, 0)), 1);
    EXPECT_EQ(e.floating->ForwardDrag(2, CSize(24, 0)), 1);
    EXPECT_EQ(a->GetRect().left, 120);
    EXPECT_EQ(SharedPressState().dragPoint, CPoint(144, 96));
    EXPECT_EQ(e.floating->ForwardDrag(4, CSize()), 1);
    EXPECT_EQ(e.floating->ForwardDrag(9, CSize()), 0);
}

TEST(CircuitSelect, ResetRunForgetsThePendingDragPart)
{
    CCircuit d;
    CDragCounter op;
    d.OnDragStarted(&op);
    d.ResetRun(0);
    EXPECT_TRUE(IsDragIdle());
}

} // namespace

namespace {

// A part asking for a rate, possibly nested in another part.
class CRatePart : public CTestResistor {
public:
    int GetRateRequest(double* rate) override
    {
        *rate = m_dRate;
        return m_nCode;
    }
    double m_dRate = 0.0;
    int m_nCode = 0;
};

TEST(CircuitRate, NewDesignRunsAtFivePerSecond)
{
    CCircuit d;
    EXPECT_DOUBLE_EQ(d.m_dDisplayRate, 5.0);
    d.RecalcStepLimit();
    EXPECT_DOUBLE_EQ(d.GetUpdateRate(), 5.0);
    EXPECT_EQ(d.GetTimerInterval(), 200);
}

TEST(CircuitRate, NestedPartsOfTheComponentsAreAsked)
{
    CCircuit d;
    auto* outer = AddPart<CRatePart>(d, 100, 100);
    auto* inner = new CRatePart;
    inner->m_dRate = 40.0;
    inner->m_nCode = 1;
    outer->AppendChild(inner);
    d.RecalcStepLimit();
    EXPECT_DOUBLE_EQ(d.GetUpdateRate(), 40.0);
    inner->m_nCode = 4;
    inner->m_dRate = 1.0;
    outer->m_dRate = 30.0;  // asked first, but the nested 4 ends the search
    outer->m_nCode = 1;
    d.RecalcStepLimit();
    EXPECT_DOUBLE_EQ(d.GetUpdateRate(), 1.0);
}

} // namespace
