// The trolleys, the solenoid and the microswitch in the real main window:
// they come from their toolbars and the Add menu; a probe dropped on a
// trolley follows it; the property toolbar's radio buttons choose the
// trolley its items show.
#include "app/add_menu.h"
#include "app/canvas/tesk_view.h"
#include "app/control_toolbar.h"
#include "app/part_icons.h"
#include "measure/probe.h"
#include "mechanics/micro_switch.h"
#include "mechanics/solenoid.h"
#include "mechanics/trolleys.h"
#include "model/circuit/circuit.h"
#include "model/parts/part_records.h"
#include "platform/archive.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace {

constexpr int kLinearBar = 570;
constexpr int kElectroBar = 569;
constexpr int kTrolleys = 33919;
constexpr int kSolenoid = 33911;
constexpr int kMicroSwitch = 33912;

class TrolleysTrack : public CanvasWindowTest {
protected:
    static bool InAddMenu(int id)
    {
        const std::vector<CAddMenuEntry> entries = AddMenuEntries(DefaultAddMenuSource());
        return std::any_of(entries.begin(), entries.end(), [id](const CAddMenuEntry& e) { return e.id == id; });
    }
    // The property toolbar's control of an item.
    QWidget* Item(int id) const
    {
        CControlToolBar* bar = m_app->GetMainFrame()->ControlBar();
        auto* action = bar->findChild<QAction*>(QStringLiteral("prop%1").arg(id));
        return action ? bar->widgetForAction(action) : nullptr;
    }
    QToolButton* Button(int id) const { return qobject_cast<QToolButton*>(Item(id)); }
    CPart* ShownPart() const { return m_app->GetMainFrame()->ControlBar()->Part(); }
};

TEST_F(TrolleysTrack, PlacedProbedAndChosenOnTheToolbar)
{
    auto* t = dynamic_cast<CTrolleys*>(AddFromToolbar(kLinearBar, kTrolleys, QPoint(300, 200)));
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(InAddMenu(kTrolleys));
    // The toolbar button shows the track's left end with its trolley.
    const QImage icon = RenderPartPicture(kTrolleys);
    EXPECT_EQ(icon.size(), QSize(2 * CTrolleys::kHeight + 4, CTrolleys::kHeight + 4));
    EXPECT_FALSE(PartIcon(kTrolleys).isNull());
    EXPECT_EQ(t->m_rect.Width(), CTrolleys::kMinWidth);

    // A probe dropped on the right trolley takes its rectangle and records
    // its position, velocity and kinetic energy.
    const CRect right = t->GetRightRect();
    auto* probe = new CProbe(Design(), right.CenterPoint());
    Design()->AddChild(probe);
    probe->Drop(Design());
    QCoreApplication::processEvents();
    ASSERT_EQ(probe->GetProbedPart(), t);
    EXPECT_EQ(probe->GetRect(), right);
    EXPECT_EQ(probe->GetQuantityMask(), 268u);

    // The right trolley runs back towards the left one at 0.125 m/s; the
    // probe rides along.
    t->SetMotion(1, 0.1, -0.125);
    Design()->SetUpdateRate(16.0);
    for (int n = 0; n < 8; ++n) Design()->RunSolverPass();
    EXPECT_EQ(t->GetX(1), 0.1 - 8 * 0.125 / 16.0);
    EXPECT_EQ(t->GetLinkedProbe(1), probe);
    EXPECT_EQ(probe->GetRect(), t->GetRightRect());
    EXPECT_NE(probe->GetRect(), right);
    EXPECT_EQ(probe->GetRect().left, right.left - 8 * 125 / 4);
    // The design's record links the probe to its trolley again.
    {
        CArchive out;
        out.SetVersion(kCurrentVersion);
        out.WriteObject(Design());
        CArchive in(out.GetBuffer());
        in.SetVersion(kCurrentVersion);
        std::unique_ptr<CObject> read(in.ReadNewObject(RUNTIME_CLASS(CCircuit)));
        auto* copy = dynamic_cast<CCircuit*>(read.get());
        ASSERT_NE(copy, nullptr);
        CTrolleys* back = nullptr;
        for (CPart* p = copy->GetGroup(GROUP_COMPONENTS)->GetFirstChild(); p && !back; p = p->GetNextSibling())
            back = dynamic_cast<CTrolleys*>(p);
        ASSERT_NE(back, nullptr);
        ASSERT_NE(back->GetLinkedProbe(1), nullptr);
        EXPECT_EQ(back->GetLinkedProbe(1)->GetAttachedPart(), back);
        EXPECT_EQ(back->GetLinkedProbe(0), nullptr);
        EXPECT_EQ(back->GetX(1), t->GetX(1));
    }

    // Selected, the part shows its items; the right trolley's button
    // chooses the trolley they show.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Client(t->m_rect.TopLeft() + CPoint(30, 5)));
    QCoreApplication::processEvents();
    ASSERT_EQ(ShownPart(), t) << (ShownPart() ? ShownPart()->GetRuntimeClass()->m_lpszClassName : "none");
    QToolButton* leftButton = Button(CTrolleys::kLeftTrolley);
    QToolButton* rightButton = Button(CTrolleys::kRightTrolley);
    ASSERT_NE(leftButton, nullptr);
    ASSERT_NE(rightButton, nullptr);
    EXPECT_TRUE(leftButton->isChecked());
    rightButton->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(t->GetShownTrolley(), 1);
    EXPECT_TRUE(rightButton->isChecked());
    auto* position = qobject_cast<QLineEdit*>(m_app->GetMainFrame()->ControlBar()->Control(CTrolleys::kPositionNumber));
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(position->text(), QStringLiteral("37.5")); // 0.1 - 8 x 0.125 / 16 m
    // While the design runs, the timer's tick brings the live boxes up to
    // date: the right trolley moved to 60 mm.
    Design()->SetOptionBits(OPT_SIMULATE, true);
    t->SetMotion(1, 0.06, 0.0);
    m_view->SimulationHost().tick();
    EXPECT_EQ(position->text(), QStringLiteral("60"));
}

TEST_F(TrolleysTrack, SolenoidAndMicroswitchFromTheirToolbar)
{
    EXPECT_TRUE(InAddMenu(kSolenoid));
    EXPECT_TRUE(InAddMenu(kMicroSwitch));
    auto* s = dynamic_cast<CSolenoid*>(AddFromToolbar(kElectroBar, kSolenoid, QPoint(200, 300)));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetTerminalCount(), 3);
    auto* m = dynamic_cast<CMicroSwitch*>(AddFromToolbar(kElectroBar, kMicroSwitch, QPoint(500, 400)));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetTerminalCount(), 3);
}

} // namespace
