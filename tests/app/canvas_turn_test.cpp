// Turning a wired part on the canvas again and again, through the real
// orientation commands: each quarter turn is about a pixel fixed to the part,
// so the turns compose exactly. Four quarter turns give back the part's rect
// and its terminals' ends to the pixel, and the same four turns again
// give back the same places once more. The part classes cover two-pin parts whose
// sides have even and odd numbers of pixels, a switch and a three-pin
// transistor.
#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "model/circuit/circuit.h"
#include "model/parts/catalogue.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <cctype>
#include <string>
#include <vector>

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
    {"capacitor", 221, 32770},
    {"voltmeter", 147, 32798},
};

class CanvasTurnBase : public CanvasWindowTest {
protected:
    void Drag(CPoint from, CPoint to)
    {
        const QPoint a = Client(from), b = Client(to);
        QTest::mousePress(Port(), Qt::LeftButton, {}, a);
        QTest::mouseMove(Port(), (a + b) / 2);
        QTest::mouseMove(Port(), b);
        QTest::mouseRelease(Port(), Qt::LeftButton, {}, b);
    }

    void Turn(CComponent* part, int code)
    {
        ASSERT_EQ(part->OnPropertyCommand(36043 + code, CString()), 8);
        m_view->ReorientPart(part);
        ASSERT_EQ(part->m_nOrientation, code);
    }
};

class CanvasTurn : public CanvasTurnBase, public ::testing::WithParamInterface<TurnCase> {};
class CanvasTurnCircuit : public CanvasTurnBase {};

// The terminals' outer ends by terminal identity (the terminal list is
// reordered by side as the part turns).
std::vector<std::pair<CTerminal*, CPoint>> Ends(CComponent* c)
{
    std::vector<std::pair<CTerminal*, CPoint>> out;
    for (int i = 0; i < c->GetTerminalCount(); ++i) out.push_back({c->GetTerminal(i), c->GetTerminal(i)->GetOuterEnd()});
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return out;
}

// The free end of the run of wire that leaves a terminal.
CPoint FreeEndFrom(CTerminal* t)
{
    CWire* before = t;
    CWire* w = t->GetJoinedWire();
    for (int guard = 0; w && guard < 32; ++guard) {
        const int back = w->GetLink(0) == before ? 0 : 1;
        CWire* next = w->GetLink(1 - back);
        if (!next) return back ? w->GetEndA() : w->GetEndB();
        before = w;
        w = next;
    }
    return CPoint(-1, -1);
}

// The wire that ends at p (null: none).
CWire* WireEndingAt(CCircuit* design, CPoint p)
{
    std::vector<CWire*> all;
    design->CollectConnections(all);
    for (CWire* w : all)
        if (!dynamic_cast<CTerminal*>(w) && w->EndAt(p) >= 0) return w;
    return nullptr;
}

} // namespace

TEST_P(CanvasTurn, FourQuarterTurnsOfAWiredPartGiveBackItsPlaceExactly)
{
    auto* part = dynamic_cast<CComponent*>(AddFromToolbar(GetParam().layout, GetParam().command, QPoint(300, 260)));
    ASSERT_NE(part, nullptr);
    const int pins = part->GetTerminalCount();
    ASSERT_GE(pins, 2);
    // A wire from each terminal's end straight out from the part.
    static const CPoint kOut[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    for (int i = 0; i < pins; ++i) {
        const CPoint end = part->GetTerminal(i)->GetOuterEnd();
        const CPoint out = kOut[part->GetTerminal(i)->GetSide() & 3];
        Drag(end, CPoint(end.x + 96 * out.x, end.y + 96 * out.y));
    }
    for (int i = 0; i < pins; ++i) ASSERT_TRUE(part->GetTerminal(i)->IsJoined()) << i;
    // Each terminal and the far end of its wire: the circuit that every
    // turn must keep.
    std::vector<std::pair<CTerminal*, CPoint>> farEnds;
    for (int i = 0; i < pins; ++i) farEnds.push_back({part->GetTerminal(i), FreeEndFrom(part->GetTerminal(i))});

    // Quarter turns keep a mirrored part mirrored.  A part whose picture
    // has all four quarter turns goes round; one that has fewer goes a
    // quarter turn to an allowed neighbour and back, again and again (the
    // command refuses the others).
    // A part that has no quarter turn in its present sense (an LED lying
    // mirrored) is first put into the other sense, at a code that has one.
    int start = part->m_nOrientation & 3, mirror = part->m_nOrientation & 4;
    const auto allowed = [&](int quarter) { return part->IsOrientationAllowed(mirror + (quarter & 3)); };
    if (!allowed(start + 1) && !allowed(start + 3)) {
        mirror ^= 4;
        for (start = 0; start < 3 && !(allowed(start) && (allowed(start + 1) || allowed(start + 3)));) ++start;
        Turn(part, mirror + start);
    }
    const bool round = allowed(0) && allowed(1) && allowed(2) && allowed(3);
    const int neighbour = allowed(start + 1) ? start + 1 : start + 3;
    ASSERT_TRUE(allowed(neighbour));
    const CRect original = part->GetRect();
    const auto originalEnds = Ends(part);
    std::vector<CRect> rects;
    std::vector<std::vector<std::pair<CTerminal*, CPoint>>> ends;
    for (int turn = 1; turn <= 8; ++turn) {
        SCOPED_TRACE(testing::Message() << GetParam().name << ", turn " << turn);
        Turn(part, mirror + (round ? start + turn : (turn % 2 ? neighbour : start)) % 4);
        rects.push_back(part->GetRect());
        ends.push_back(Ends(part));
        // A quarter turn swaps the sides.
        const CRect before = turn == 1 ? original : rects[turn - 2];
        EXPECT_EQ(part->GetRect().Width(), before.Height());
        EXPECT_EQ(part->GetRect().Height(), before.Width());
        // Every pin stays joined, each to the net of its own wire's far end,
        // and no two pins share a net.
        std::vector<int> nodes;
        for (const auto& [terminal, far] : farEnds) {
            EXPECT_TRUE(terminal->IsJoined()) << "terminal at " << terminal->GetOuterEnd().x << ","
                                              << terminal->GetOuterEnd().y;
            CWire* wire = WireEndingAt(Design(), far);
            ASSERT_NE(wire, nullptr);
            EXPECT_EQ(terminal->GetNode(), wire->GetNodeNumber());
            nodes.push_back(terminal->GetNode());
        }
        std::sort(nodes.begin(), nodes.end());
        EXPECT_EQ(std::adjacent_find(nodes.begin(), nodes.end()), nodes.end());
    }
    // Four turns: the very same place, and the same again four turns on.
    EXPECT_EQ(rects[3], original);
    EXPECT_EQ(ends[3], originalEnds);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(rects[k + 4], rects[k]) << k;
        EXPECT_EQ(ends[k + 4], ends[k]) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(PartClasses, CanvasTurn, ::testing::ValuesIn(kTurnCases),
                         [](const testing::TestParamInfo<TurnCase>& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

// Every part class of the table wired on the same page, each turned a
// different number of quarter turns, one after the other: the runs laid for
// one part keep clear of the others, every pin stays joined to its own
// wire's far end and no two pins of a part share a net.  With WB_SHOTS_DIR
// set the design is also saved there (turned.zrn) to be looked at.
TEST_F(CanvasTurnCircuit, PartsTurnedSideBySideKeepTheirCircuit)
{
    static const CPoint kOut[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    std::vector<CComponent*> parts;
    // Each part's terminals with the far ends of their wires.
    std::vector<std::vector<std::pair<CTerminal*, CPoint>>> farEnds;
    const char* shots = std::getenv("WB_SHOTS_DIR");
    auto shoot = [&](const char* name) {
        if (!shots) return;
        QCoreApplication::processEvents();
        EXPECT_TRUE(Port()->grab().save(QString::fromLocal8Bit(shots) + "/" + name));
    };
    int index = 0;
    for (const TurnCase& c : kTurnCases) {
        const QPoint at(200 + 220 * (index % 3), 180 + 240 * (index / 3));
        ++index;
        auto* part = dynamic_cast<CComponent*>(AddFromToolbar(c.layout, c.command, at));
        ASSERT_NE(part, nullptr) << c.name;
        parts.push_back(part);
        shoot((std::string("added_") + std::to_string(index) + ".png").c_str());
        farEnds.emplace_back();
        for (int i = 0; i < part->GetTerminalCount(); ++i) {
            const CPoint end = part->GetTerminal(i)->GetOuterEnd();
            const CPoint out = kOut[part->GetTerminal(i)->GetSide() & 3];
            Drag(end, CPoint(end.x + 56 * out.x, end.y + 56 * out.y));
            ASSERT_TRUE(part->GetTerminal(i)->IsJoined()) << c.name << " pin " << i;
            farEnds.back().push_back({part->GetTerminal(i), FreeEndFrom(part->GetTerminal(i))});
        }
    }
    shoot("wired.png");
    for (size_t k = 0; k < parts.size(); ++k) {
        CComponent* part = parts[k];
        const int turns = 1 + int(k % 3);
        // Through the turns the part's picture allows, as its toolbar offers
        // them.
        const int mask = part->m_pVisual ? part->m_pVisual->GetOrientationMask() : 0xFF;
        for (int n = 0; n < turns; ++n) {
            int code = part->m_nOrientation;
            do
                code = (code + 1) & 7;
            while (!(mask & (1 << code)));
            if (code != part->m_nOrientation) Turn(part, code);
        }
    }
    // A part whose allowed turns skip a code turns half round in one step
    // and takes over its wiring the other way round (a pin on the other
    // pin's wire): so the pins together reach every far end, each its own.
    for (size_t k = 0; k < parts.size(); ++k) {
        CComponent* part = parts[k];
        std::vector<int> nodes, farNodes;
        for (const auto& [terminal, far] : farEnds[k]) {
            SCOPED_TRACE(testing::Message() << part->GetRuntimeClass()->m_lpszClassName << " pin at "
                                            << terminal->GetOuterEnd().x << "," << terminal->GetOuterEnd().y);
            EXPECT_TRUE(terminal->IsJoined());
            CWire* wire = WireEndingAt(Design(), far);
            ASSERT_NE(wire, nullptr);
            nodes.push_back(terminal->GetNode());
            farNodes.push_back(wire->GetNodeNumber());
        }
        std::sort(nodes.begin(), nodes.end());
        std::sort(farNodes.begin(), farNodes.end());
        EXPECT_EQ(nodes, farNodes);
        EXPECT_EQ(std::adjacent_find(nodes.begin(), nodes.end()), nodes.end());
    }
    EXPECT_TRUE(m_messages.shown.empty()) << "a pin was reported unjoined";
    shoot("turned_live.png");
    if (shots) {
        CTeskDoc* doc = m_app->Documents().front().get();
        EXPECT_TRUE(doc->DoSave(QString::fromLocal8Bit(shots) + QStringLiteral("/turned.zrn")));
    }
}

// A switch added from the part toolbar or through the controller takes its
// catalogue set-up before its children are made: it lies (the on/off switch
// and the push button a quarter turn anticlockwise, the changeover switch a
// half turn) and its lever or key stands clear of every pin's stub.
class CanvasAddSetUp : public CanvasTurnBase {};

namespace {

void ExpectLyingWithControlClear(CComponent* part, int orientation)
{
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->m_nOrientation, orientation);
    ASSERT_GE(part->GetTerminalCount(), 2);
    int controls = 0;
    for (CPart* c = part->GetFirstChild(); c; c = c->GetNextSibling()) {
        if (!c->IsControl()) continue;
        ++controls;
        for (int i = 0; i < part->GetTerminalCount(); ++i) {
            CRect overlap;
            EXPECT_FALSE(overlap.IntersectRect(c->GetRect(), part->GetTerminal(i)->GetRect())) << "pin " << i;
        }
    }
    EXPECT_EQ(controls, 1);
}

} // namespace

TEST_F(CanvasAddSetUp, ASwitchFromThePartToolbarLiesWithItsLeverClearOfThePins)
{
    auto* part = dynamic_cast<CComponent*>(AddFromToolbar(142, 32837, QPoint(300, 260)));
    ExpectLyingWithControlClear(part, 3);
}

TEST_F(CanvasAddSetUp, SwitchesAddedThroughTheControllerTakeTheirSetUp)
{
    const struct {
        int command;
        int orientation;
    } cases[] = {{32837, 3}, {32838, 2}, {32835, 3}, {32846, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        int extra = 0;
        auto* part = dynamic_cast<CComponent*>(PartCatalogue::Get().CreateById(c.command, nullptr, &extra));
        ASSERT_NE(part, nullptr);
        ASSERT_TRUE(m_view->Controller().AddPartAtOnce(part, extra));
        EXPECT_EQ(m_view->Controller().GetFloating(), nullptr);
        ExpectLyingWithControlClear(part, c.orientation);
    }
}

// A wired resistor with free space round it, turned a quarter turn each
// way: each pin's run to its wire's far end is straight or has one corner,
// and no run crosses the resistor's value.
TEST_F(CanvasTurnCircuit, ATurnedResistorInFreeSpaceGetsRunsOfAtMostOneCorner)
{
    static const CPoint kOut[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    auto* part = dynamic_cast<CComponent*>(AddFromToolbar(221, 32769, QPoint(400, 300)));
    ASSERT_NE(part, nullptr);
    std::vector<std::pair<CTerminal*, CPoint>> farEnds;
    for (int i = 0; i < part->GetTerminalCount(); ++i) {
        const CPoint end = part->GetTerminal(i)->GetOuterEnd();
        const CPoint out = kOut[part->GetTerminal(i)->GetSide() & 3];
        Drag(end, CPoint(end.x + 96 * out.x, end.y + 96 * out.y));
        farEnds.push_back({part->GetTerminal(i), FreeEndFrom(part->GetTerminal(i))});
    }
    const int upright = part->m_nOrientation;
    int turns = 0;
    for (int code : {(upright + 1) & 3, (upright + 3) & 3}) {
        if (!part->IsOrientationAllowed(code)) continue;
        SCOPED_TRACE(testing::Message() << "orientation " << code);
        if (part->m_nOrientation != upright) Turn(part, upright);
        Turn(part, code);
        ++turns;
        CRect label = part->GetValueLabel()->GetRect();
        label.NormalizeRect();
        for (const auto& [terminal, far] : farEnds) {
            ASSERT_TRUE(terminal->IsJoined());
            // The corners of the run from the pin to the far end.
            std::vector<CPoint> pts{terminal->GetOuterEnd()};
            CWire* before = terminal;
            CWire* w = terminal->GetJoinedWire();
            for (int guard = 0; w && guard < 32; ++guard) {
                const int back = w->GetLink(0) == before ? 0 : 1;
                const CPoint next = back ? w->GetEndA() : w->GetEndB();
                CRect line(std::min(pts.back().x, next.x), std::min(pts.back().y, next.y),
                           std::max(pts.back().x, next.x) + 1, std::max(pts.back().y, next.y) + 1);
                CRect overlap;
                EXPECT_FALSE(overlap.IntersectRect(line, label)) << "a leg over the value";
                pts.push_back(next);
                before = w;
                w = w->GetLink(1 - back);
            }
            EXPECT_EQ(pts.back(), far);
            int corners = 0;
            for (size_t k = 1; k + 1 < pts.size(); ++k) {
                const CPoint a = pts[k] - pts[k - 1], b = pts[k + 1] - pts[k];
                if ((a.x == 0) != (b.x == 0)) ++corners;
            }
            EXPECT_LE(corners, 1) << "pin at " << pts.front().x << "," << pts.front().y;
        }
    }
    EXPECT_GT(turns, 0);
    EXPECT_TRUE(m_messages.shown.empty());
}

// A wired part turned half round, as a pupil turns an LED or a meter to
// swap its pins over: the part turns round in its place and the wiring
// stays.  Each pin takes over the wire that ran to the other pin's old
// place (directly, or by a short jog where the picture's pins stand off its
// centre line), so the run from every pin to the far end of a wire has at
// most one corner and is no longer than the wire was, a few pixels aside:
// nothing goes round the part.
TEST_F(CanvasTurnCircuit, AHalfTurnKeepsTheWiringAndTurnsThePartInPlace)
{
    static const CPoint kOut[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    constexpr int kLength = 96;
    const TurnCase cases[] = {{"red LED", 141, 32779}, {"capacitor", 221, 32770}};
    int turned = 0;
    for (const TurnCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto* part = dynamic_cast<CComponent*>(AddFromToolbar(c.layout, c.command, QPoint(250 + 260 * turned, 300)));
        ASSERT_NE(part, nullptr);
        ASSERT_EQ(part->GetTerminalCount(), 2);
        std::vector<std::pair<CTerminal*, CPoint>> farEnds;
        for (int i = 0; i < 2; ++i) {
            const CPoint end = part->GetTerminal(i)->GetOuterEnd();
            const CPoint out = kOut[part->GetTerminal(i)->GetSide() & 3];
            Drag(end, CPoint(end.x + kLength * out.x, end.y + kLength * out.y));
            ASSERT_TRUE(part->GetTerminal(i)->IsJoined());
            farEnds.push_back({part->GetTerminal(i), FreeEndFrom(part->GetTerminal(i))});
        }
        // The half turn in the part's present sense (a mirrored part stays
        // mirrored).
        // (An LED lying mirrored that has no half turn flips instead.)
        int code = (part->m_nOrientation & 4) | ((part->m_nOrientation + 2) & 3);
        if (!part->IsOrientationAllowed(code)) code ^= 4;
        // (A symmetric part whose picture has only two orientations has
        // nothing to turn half round.)
        if (!part->IsOrientationAllowed(code)) continue;
        std::vector<CPoint> joints;
        for (const auto& fe : farEnds) joints.push_back(fe.first->GetOuterEnd());
        const CRect before = part->GetRect();
        Turn(part, code);
        ++turned;
        // Turned in its place (a pixel aside where its size is odd).
        EXPECT_LE(std::abs(part->GetRect().left - before.left) + std::abs(part->GetRect().top - before.top), 2);
        for (int k = 0; k < 2; ++k) {
            CTerminal* terminal = farEnds[static_cast<size_t>(k)].first;
            SCOPED_TRACE(testing::Message() << "pin at " << terminal->GetOuterEnd().x << "," << terminal->GetOuterEnd().y);
            ASSERT_TRUE(terminal->IsJoined());
            // The pin now leads to the far end of the wire at the old joint
            // it stands at (the other pin's, when the turn swapped them).
            const CPoint end = terminal->GetOuterEnd();
            const auto gap = [&](int j) {
                return std::abs(joints[size_t(j)].x - end.x) + std::abs(joints[size_t(j)].y - end.y);
            };
            const int j = gap(0) <= gap(1) ? 0 : 1;
            EXPECT_LE(gap(j), 6);
            const CPoint far = farEnds[static_cast<size_t>(j)].second;
            std::vector<CPoint> pts{terminal->GetOuterEnd()};
            CWire* back = terminal;
            CWire* w = terminal->GetJoinedWire();
            for (int guard = 0; w && guard < 32; ++guard) {
                const int from = w->GetLink(0) == back ? 0 : 1;
                pts.push_back(from ? w->GetEndA() : w->GetEndB());
                back = w;
                w = w->GetLink(1 - from);
            }
            EXPECT_EQ(pts.back(), far);
            int corners = 0;
            long length = 0;
            for (size_t i = 1; i < pts.size(); ++i) {
                length += std::abs(pts[i].x - pts[i - 1].x) + std::abs(pts[i].y - pts[i - 1].y);
                if (i + 1 < pts.size()) {
                    const CPoint a = pts[i] - pts[i - 1], b = pts[i + 1] - pts[i];
                    if ((a.x == 0) != (b.x == 0)) ++corners;
                }
            }
            EXPECT_LE(corners, 1);
            EXPECT_LE(length, kLength + 8) << "the run goes round the part";
            CWire* wire = WireEndingAt(Design(), far);
            ASSERT_NE(wire, nullptr);
            EXPECT_EQ(terminal->GetNode(), wire->GetNodeNumber());
        }
        EXPECT_NE(part->GetTerminal(0)->GetNode(), part->GetTerminal(1)->GetNode());
    }
    EXPECT_GE(turned, 1);
    EXPECT_TRUE(m_messages.shown.empty());
    SaveForShots("half_turned.zrn");
}
