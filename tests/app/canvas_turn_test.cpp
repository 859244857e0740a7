// Turning a wired part on the canvas, again and again: after every quarter
// turn each wire end lies on a terminal's end or where it was left free,
// every terminal stays joined, and four turns give back the part's rect to
// the pixel. The part classes cover two-pin parts of even and odd sizes and
// a three-pin transistor.
#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>

#include <set>
#include <utility>

using namespace shelltest;

namespace {

struct TurnCase {
    const char* name;
    int layout;
    int command;
};

const TurnCase kTurnCases[] = {
    {"resistor", 221, 32769},
    {"red LED", 141, 32779},
    {"SPST switch", 142, 32837},
    {"NPN transistor", 146, 32906},
};

class CanvasTurn : public CanvasWindowTest, public ::testing::WithParamInterface<TurnCase> {
protected:
    void Drag(CPoint from, CPoint to)
    {
        const QPoint a = Client(from), b = Client(to);
        QTest::mousePress(Port(), Qt::LeftButton, {}, a);
        QTest::mouseMove(Port(), (a + b) / 2);
        QTest::mouseMove(Port(), b);
        QTest::mouseRelease(Port(), Qt::LeftButton, {}, b);
    }

    std::vector<CWire*> Wires()
    {
        std::vector<CWire*> out;
        CPart* g = Design()->GetGroup(GROUP_WIRES);
        for (CPart* p = g ? g->GetFirstChild() : nullptr; p; p = p->GetNextSibling())
            if (auto* w = dynamic_cast<CWire*>(p)) out.push_back(w);
        return out;
    }
};

using PointSet = std::set<std::pair<int, int>>;

PointSet TerminalEnds(CComponent* c)
{
    PointSet ends;
    for (int i = 0; i < c->GetTerminalCount(); ++i) {
        const CPoint e = c->GetTerminal(i)->GetOuterEnd();
        ends.insert({e.x, e.y});
    }
    return ends;
}

} // namespace

TEST_P(CanvasTurn, AWiredPartTurnedAgainAndAgainKeepsItsWiresOnItsPins)
{
    auto* part = dynamic_cast<CComponent*>(AddFromToolbar(GetParam().layout, GetParam().command, QPoint(300, 260)));
    ASSERT_NE(part, nullptr);
    const int pins = part->GetTerminalCount();
    ASSERT_GE(pins, 2);

    // A wire from each terminal's end out to a free point well away from it.
    PointSet freeEnds;
    for (int i = 0; i < pins; ++i) {
        const CPoint end = part->GetTerminal(i)->GetOuterEnd();
        const CPoint away(end.x + (i % 2 ? 64 : -64), end.y + 48 * (i - 1));
        Drag(end, away);
    }
    for (CWire* w : Wires())
        for (const CPoint e : {w->GetEndA(), w->GetEndB()}) freeEnds.insert({e.x, e.y});
    for (const auto& e : TerminalEnds(part)) freeEnds.erase(e);
    for (int i = 0; i < pins; ++i) ASSERT_TRUE(part->GetTerminal(i)->IsJoined()) << i;
    const size_t wiresBefore = Wires().size();

    const CRect original = part->GetRect();
    for (int turn = 1; turn <= 4; ++turn) {
        SCOPED_TRACE(testing::Message() << GetParam().name << ", turn " << turn);
        const int next = (part->m_nOrientation + 1) % 4;
        ASSERT_EQ(part->OnPropertyCommand(36043 + next, CString()), 8);
        m_view->ReorientPart(part);
        ASSERT_EQ(part->m_nOrientation, next);

        const PointSet ends = TerminalEnds(part);
        for (int i = 0; i < pins; ++i) EXPECT_TRUE(part->GetTerminal(i)->IsJoined()) << i;
        // Every wire end is on a terminal's end or at its own free point:
        // no stub is left where a pin used to be.
        for (CWire* w : Wires())
            for (const CPoint e : {w->GetEndA(), w->GetEndB()})
                EXPECT_TRUE(ends.count({e.x, e.y}) || freeEnds.count({e.x, e.y})) << e.x << "," << e.y;
        // And every terminal's end has a wire end on it.
        for (const auto& t : ends) {
            bool met = false;
            for (CWire* w : Wires())
                met = met || CPoint(t.first, t.second) == w->GetEndA() || CPoint(t.first, t.second) == w->GetEndB();
            EXPECT_TRUE(met) << t.first << "," << t.second;
        }
        EXPECT_LE(Wires().size(), wiresBefore + pins);
    }
    EXPECT_EQ(part->GetRect(), original);
}

INSTANTIATE_TEST_SUITE_P(PartClasses, CanvasTurn, ::testing::ValuesIn(kTurnCases),
                         [](const testing::TestParamInfo<TurnCase>& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });
