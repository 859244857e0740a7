// Clicks and group moves in the real main window (offscreen), driven with
// synthetic mouse events: a click on a picture reaches its click actions
// (a drag does not), and wires joined to several parts moved together
// follow them.
#include "app/publish/picture.h"
#include "components/earth.h"
#include "components/resistor.h"
#include "components/voltrail.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>

#include <vector>

namespace {

class CanvasClick : public CanvasWindowTest {
protected:
    CPicture* AddPicture(CPoint at)
    {
        auto* p = new CPicture;
        p->m_rect = CRect(at.x, at.y, at.x, at.y);
        Design()->AddChild(p);
        p->AttachToCircuit(Design());
        p->document.OpenByName("<LOCAL>=ICONS\\ANSWER:A", CString());
        p->FitToPicture();
        m_view->viewport()->update();
        return p;
    }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(Port(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Port(), (from + to) / 2);
        QTest::mouseMove(Port(), to);
        QTest::mouseRelease(Port(), Qt::LeftButton, {}, to);
    }
    static CTerminal* Terminal(CPart* part, int i)
    {
        auto* c = dynamic_cast<CComponent*>(part);
        return c ? c->GetTerminal(i) : nullptr;
    }
    // Every terminal of the design that a wire joins.
    std::vector<CTerminal*> JoinedTerminals(const std::vector<CPart*>& parts) const
    {
        std::vector<CTerminal*> out;
        for (CPart* p : parts)
            if (auto* c = dynamic_cast<CComponent*>(p))
                for (int i = 0; i < c->GetTerminalCount(); ++i)
                    if (c->GetTerminal(i)->IsJoined()) out.push_back(c->GetTerminal(i));
        return out;
    }
};

} // namespace

TEST_F(CanvasClick, AClickOnAPictureRunsItsClickActionsAndADragDoesNot)
{
    CPicture* picture = AddPicture(CPoint(200, 120));
    ASSERT_TRUE(picture->document.IsLoaded());
    ASSERT_GT(picture->GetRect().Width(), 4);
    const QPoint centre = Client(picture->GetRect().CenterPoint());

    // A plain picture is a push button that stays down: each click turns it.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(picture->selected, 1);
    EXPECT_EQ(picture->look, 1);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(picture->selected, 0);
    EXPECT_EQ(picture->look, 0);

    // Carrying it elsewhere moves it and does not press it.
    const CRect before = picture->GetRect();
    Drag(centre, centre + QPoint(80, 40));
    EXPECT_EQ(picture->GetRect().left - before.left, 80);
    EXPECT_EQ(picture->selected, 0);
    EXPECT_EQ(picture->look, 0);
    EXPECT_EQ(m_view->Controller().GetFloating() ? m_view->Controller().GetFloating()->GetFirstPart() : picture,
              picture);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(CanvasClick, WiresFollowSeveralPartsMovedTogether)
{
    CPart* rail = AddFromToolbar(145, 33531, QPoint(120, 80));
    CPart* r1 = AddFromToolbar(221, 32769, QPoint(320, 200));
    CPart* r2 = AddFromToolbar(221, 32769, QPoint(440, 200));
    CPart* earth = AddFromToolbar(145, 32921, QPoint(640, 120));
    for (CPart* p : {rail, r1, r2, earth}) ASSERT_NE(p, nullptr);
    // The rail to the first resistor's top, its foot to the second's foot,
    // the second's top to the earth.
    const auto end = [](CPart* p, int i) { return Terminal(p, i)->GetOuterEnd(); };
    const struct {
        CPart* from;
        int a;
        CPart* to;
        int b;
    } links[] = {{rail, 0, r1, 0}, {r1, 1, r2, 1}, {r2, 0, earth, 0}};
    for (const auto& l : links) {
        Drag(Client(end(l.from, l.a)), Client(end(l.to, l.b)));
        EXPECT_TRUE(Terminal(l.from, l.a)->IsJoined())
            << end(l.from, l.a).x << "," << end(l.from, l.a).y << " to " << end(l.to, l.b).x << "," << end(l.to, l.b).y;
        EXPECT_TRUE(Terminal(l.to, l.b)->IsJoined());
    }
    const std::vector<CTerminal*> joined = JoinedTerminals({rail, r1, r2, earth});
    ASSERT_EQ(joined.size(), 6u) << "every terminal is wired";

    // A rubber band around the two resistors selects them (and the wire
    // between them), then a drag of one carries both.
    CRect both = r1->GetRect();
    both.UnionRect(both, r2->GetRect());
    both.InflateRect(28, 28);
    Drag(Client(both.TopLeft()), Client(both.BottomRight()));
    EXPECT_TRUE(r1->IsSelected());
    EXPECT_TRUE(r2->IsSelected());
    EXPECT_FALSE(rail->IsSelected());
    EXPECT_FALSE(earth->IsSelected());
    const CRect before = r1->GetRect();
    const QPoint grip = Client(before.CenterPoint());
    Drag(grip, grip + QPoint(80, 120));

    // The parts were copied into the floating design and dropped: find the
    // resistors at their new places.
    std::vector<CPart*> moved;
    for (CPartIterator it(Design(), 0); it.GetCurrent(); it.Next())
        if (dynamic_cast<CResistor*>(it.GetCurrent())) moved.push_back(it.GetCurrent());
    ASSERT_EQ(moved.size(), 2u);
    for (CPart* p : moved) EXPECT_GT(p->GetRect().top, before.top + 100) << "both moved down";
    // Every terminal is joined again: the wires to the rail and the earth
    // followed, the wire between the two came with them.
    EXPECT_EQ(JoinedTerminals({rail, moved[0], moved[1], earth}).size(), 6u);
    EXPECT_TRUE(Terminal(rail, 0)->IsJoined());
    EXPECT_TRUE(Terminal(earth, 0)->IsJoined());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(CanvasClick, ATurnedPartLeavesNoWireEndingNowhere)
{
    CPart* rail = AddFromToolbar(145, 33531, QPoint(120, 80));
    CPart* r = AddFromToolbar(221, 32769, QPoint(360, 240));
    CPart* earth = AddFromToolbar(145, 32921, QPoint(600, 420));
    for (CPart* p : {rail, r, earth}) ASSERT_NE(p, nullptr);
    const auto end = [](CPart* p, int i) { return Terminal(p, i)->GetOuterEnd(); };
    Drag(Client(end(rail, 0)), Client(end(r, 0)));
    Drag(Client(end(r, 1)), Client(end(earth, 0)));
    ASSERT_EQ(JoinedTerminals({rail, r, earth}).size(), 4u);

    // Turned across: every wire end stays joined to
    // a wire or a terminal (a free end is a stub left behind).
    for (int code : {1}) {
        if (r->m_nOrientation == code) continue;
        ASSERT_EQ(r->OnPropertyCommand(36043 + code, CString()), 8) << code;
        m_view->ReorientPart(r);
        EXPECT_EQ(r->m_nOrientation, code);
        EXPECT_EQ(JoinedTerminals({rail, r, earth}).size(), 4u) << "turned to " << code;
        for (CPart* w = Design()->GetGroup(GROUP_WIRES)->GetFirstChild(); w; w = w->GetNextSibling()) {
            auto* wire = static_cast<CWire*>(w);
            for (int e = 0; e < 2; ++e)
                EXPECT_NE(wire->GetLink(e), nullptr)
                    << "turned to " << code << ": wire end " << e << " at "
                    << (e ? wire->GetEndB().x : wire->GetEndA().x) << "," << (e ? wire->GetEndB().y : wire->GetEndA().y);
        }
    }
}
