// A pupil clicks a probe that stands on a wire or on a part: the probe, not
// what lies under it, takes the press, is selected and shows its property
// toolbar with Graph and Erase Data.  A press inside the probed part, away
// from the probe's band, still reaches the part.
#include "app/control_toolbar.h"
#include "measure/probe.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/parts/catalogue.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QToolButton>

namespace {

constexpr int kAddResistor = 32769;
constexpr int kGraph = 35004;
constexpr int kEraseData = 35006;

class ProbeClick : public CanvasWindowTest {
protected:
    // A resistor added at once, and a wire drawn with the mouse from its
    // right terminal 120 pixels to the right; returns the resistor.
    CComponent* ResistorWithWire()
    {
        int extra = 0;
        auto* r = dynamic_cast<CComponent*>(PartCatalogue::Get().CreateById(kAddResistor, nullptr, &extra));
        EXPECT_NE(r, nullptr);
        if (!r || !m_view->Controller().AddPartAtOnce(r, extra)) return nullptr;
        CTerminal* right = r->GetTerminal(0);
        for (int i = 1; i < r->GetTerminalCount(); ++i)
            if (r->GetTerminal(i)->GetOuterEnd().x > right->GetOuterEnd().x) right = r->GetTerminal(i);
        const CPoint from = right->GetOuterEnd();
        m_wireFrom = from;
        m_wireTo = CPoint(from.x + 120, from.y);
        const QPoint a = Client(m_wireFrom), b = Client(m_wireTo);
        QTest::mousePress(Port(), Qt::LeftButton, {}, a);
        QTest::mouseMove(Port(), (a + b) / 2);
        QTest::mouseMove(Port(), b);
        QTest::mouseRelease(Port(), Qt::LeftButton, {}, b);
        EXPECT_TRUE(right->IsJoined());
        return r;
    }
    // A probe dropped with its centre on a logical point.
    // A probe dropped with its centre on a logical point, as the design
    // files a dropped part.
    CProbe* ProbeAt(CPoint centre)
    {
        auto* probe = new CProbe(Design(), centre);
        Design()->AddChild(probe);
        probe->Drop(Design());
        QCoreApplication::processEvents();
        return probe;
    }
    void Click(CPoint logical)
    {
        QTest::mouseClick(Port(), Qt::LeftButton, {}, Client(logical));
        QCoreApplication::processEvents();
    }
    // Clicks empty canvas, so nothing is selected or shown.
    void ClickAway()
    {
        Click(CPoint(40, 500));
        ASSERT_EQ(ShownPart(), nullptr);
    }
    CPart* ShownPart() const { return m_app->GetMainFrame()->ControlBar()->Part(); }
    QToolButton* Button(int id) const
    {
        CControlToolBar* bar = m_app->GetMainFrame()->ControlBar();
        auto* action = bar->findChild<QAction*>(QStringLiteral("prop%1").arg(id));
        if (!action) return nullptr;
        return qobject_cast<QToolButton*>(bar->widgetForAction(action));
    }
    void ExpectProbeShown(CProbe* probe)
    {
        EXPECT_TRUE(probe->IsSelected());
        EXPECT_EQ(ShownPart(), probe);
        for (int id : {kGraph, kEraseData}) {
            QToolButton* b = Button(id);
            ASSERT_NE(b, nullptr) << id;
            EXPECT_FALSE(b->isHidden()) << id;
        }
        EXPECT_EQ(m_view->Controller().GetFloating() ? m_view->Controller().GetFloating()->GetFirstPart() : probe, probe);
    }

    CPoint m_wireFrom, m_wireTo;
};

} // namespace

TEST_F(ProbeClick, AProbeOnAWireOrOnAPartTakesTheClick)
{
    CComponent* r = ResistorWithWire();
    ASSERT_NE(r, nullptr);
    auto countWires = [&] {
        std::vector<CWire*> all;
        Design()->CollectConnections(all);
        return all.size();
    };
    const std::size_t wiresBefore = countWires();
    CProbe* onWire = ProbeAt(CPoint((m_wireFrom.x + m_wireTo.x) / 2, m_wireFrom.y));
    ASSERT_NE(onWire, nullptr);
    ASSERT_NE(onWire->GetProbedPart(), nullptr);
    ASSERT_TRUE(onWire->GetProbedPart()->IsWire());
    CProbe* onPart = ProbeAt(r->GetRect().CenterPoint());
    ASSERT_NE(onPart, nullptr);
    ASSERT_EQ(onPart->GetProbedPart(), r);
    SaveForShots("probes.zrn");
    for (CProbe* probe : {onWire, onPart}) {
        SCOPED_TRACE(probe == onWire ? "on the wire" : "on the resistor");
        ClickAway();
        ASSERT_FALSE(probe->IsSelected());
        // The probe's picture on a wire; the left edge of its band on a part.
        const CRect area = probe->GetRect();
        Click(probe == onWire ? area.CenterPoint() : CPoint(area.left + 1, area.CenterPoint().y));
        ExpectProbeShown(probe);
        // No wire was started from the wire under the probe.
        EXPECT_EQ(countWires(), wiresBefore);
        EXPECT_FALSE(m_view->Controller().IsRouting());
        EXPECT_FALSE(r->IsSelected());
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProbeClick, AProbeOnAPartTakesAClickOnItsBandAndThePartKeepsItsInside)
{
    CComponent* r = ResistorWithWire();
    ASSERT_NE(r, nullptr);
    const CPoint centre = r->GetRect().CenterPoint();
    CProbe* probe = ProbeAt(centre);
    ASSERT_NE(probe, nullptr);
    ASSERT_EQ(probe->GetProbedPart(), r);
    ASSERT_EQ(probe->GetRect(), r->GetRect());
    const CRect band = probe->GetRect();
    // The left, top and right edges of the band.
    for (const CPoint at : {CPoint(band.left + 1, centre.y), CPoint(centre.x, band.top + 1), CPoint(band.right - 2, centre.y)}) {
        SCOPED_TRACE(testing::Message() << "click at " << at.x << "," << at.y);
        ClickAway();
        ASSERT_FALSE(probe->IsSelected());
        Click(at);
        ExpectProbeShown(probe);
        EXPECT_FALSE(r->IsSelected());
        EXPECT_EQ(probe->GetRect(), r->GetRect()) << "the click moved nothing";
    }
    // The resistor's own inside still selects the resistor.
    ClickAway();
    Click(centre);
    EXPECT_TRUE(r->IsSelected());
    EXPECT_FALSE(probe->IsSelected());
    EXPECT_EQ(ShownPart(), r);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProbeClick, TheProbesHitAreaIsItsPictureOrItsBand)
{
    CProbe alone;
    alone.m_rect = CRect(101, 101, 116, 116);
    EXPECT_TRUE(alone.PtInPart(CPoint(108, 108)));
    EXPECT_TRUE(alone.PtInPart(CPoint(101, 115)));
    EXPECT_FALSE(alone.PtInPart(CPoint(116, 108)));
    EXPECT_FALSE(alone.PtInPart(CPoint(100, 108)));
    CProbe onPart;
    onPart.m_rect = CRect(100, 100, 148, 124);
    const int k = CProbe::kBandHit;
    EXPECT_TRUE(onPart.PtInPart(CPoint(100, 112)));
    EXPECT_TRUE(onPart.PtInPart(CPoint(100 + k - 1, 112)));
    EXPECT_FALSE(onPart.PtInPart(CPoint(100 + k, 112)));
    EXPECT_FALSE(onPart.PtInPart(CPoint(124, 112)));
    EXPECT_TRUE(onPart.PtInPart(CPoint(147, 123)));
    EXPECT_FALSE(onPart.PtInPart(CPoint(148, 112)));
}
