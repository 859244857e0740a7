// Routes meet pins that lie off the grid: a route starting or ending exactly
// on a terminal's outer end (or on a wire) keeps that point, and the check
// walks to the route's real end.
#include "circuit_testparts.h"
#include "model/components/wire_route.h"

#include <gtest/gtest.h>

namespace {

int Nets(CCircuit& d)
{
    d.RenumberNodes();
    return d.GetNextNode();
}

} // namespace

TEST(WireRoutePins, OffGridPinsAreJoinedWhereTheyAre)
{
    // (x, y) of the two resistors; grid 8, so their outer ends are off it.
    const CPoint places[][2] = {
        {{101, 93}, {299, 203}},
        {{103, 90}, {405, 91}},   // nearly level: one leg plus a short one
        {{99, 301}, {301, 37}},
    };
    for (const auto& at : places) {
        CCircuit d;
        auto* r1 = AddPart<CTestResistor>(d, at[0].x, at[0].y);
        auto* r2 = AddPart<CTestResistor>(d, at[1].x, at[1].y);
        const CPoint from = r1->B()->GetOuterEnd(), to = r2->A()->GetOuterEnd();
        ASSERT_NE(d.SnapToGrid(from), from) << "the case needs an off-grid pin";
        CWireRoute route(d);
        route.Begin(from, r1->B());
        EXPECT_EQ(route.GetStart(), from);
        EXPECT_TRUE(route.MoveTo(to)) << at[0].x;
        EXPECT_EQ(route.GetEnd(), to);
        EXPECT_GE(route.Finish(), 1);
        EXPECT_TRUE(r1->B()->IsJoined()) << at[0].x;
        EXPECT_TRUE(r2->A()->IsJoined()) << at[0].x;
        // One net through the wires, plus each resistor's other pin.
        EXPECT_EQ(Nets(d), 3) << at[0].x;
    }
}

TEST(WireRoutePins, AFreePointStillSnapsToTheGrid)
{
    CCircuit d;
    CWireRoute route(d);
    route.Begin({13, 21}, nullptr);
    EXPECT_EQ(route.GetStart(), CPoint(16, 24));
    route.MoveTo({99, 21});
    EXPECT_EQ(route.GetEnd(), CPoint(96, 24));
}
