// The mass on a track in the real main window: it comes from the linear
// mechanics toolbar and from the Add menu, and is dragged along its track
// by hand with its drag handle.
#include "app/add_menu.h"
#include "app/canvas/tesk_view.h"
#include "components/knob.h"
#include "mechanics/mass_comp.h"
#include "model/circuit/circuit.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

constexpr int kLinearBar = 570;
constexpr int kMass = 33915;

class MassTrack : public CanvasWindowTest {};

TEST_F(MassTrack, PlacedFromTheToolbarAndDraggedByHand)
{
    CPart* part = AddFromToolbar(kLinearBar, kMass, QPoint(240, 160));
    auto* mass = dynamic_cast<CMassComp*>(part);
    ASSERT_NE(mass, nullptr);
    EXPECT_EQ(mass->GetTerminalCount(), 2);
    bool inMenu = false;
    for (const CAddMenuEntry& e : AddMenuEntries(DefaultAddMenuSource()))
        if (e.id == kMass) inMenu = true;
    EXPECT_TRUE(inMenu);
    // Animation and handles on: the handle on the mass is grabbed and
    // carried 40 pixels (1 cm) along the track.
    Design()->SetOptionBits(0x80 | 0x100000, true);
    CKnob* handle = mass->GetHandle();
    ASSERT_NE(handle, nullptr);
    const CPoint grip = handle->m_rect.CenterPoint();
    EXPECT_GE(grip.x, mass->BodyLeft());
    EXPECT_LT(grip.x, mass->BodyLeft() + CMassComp::kBodyWidth);
    const CPoint corner = mass->m_rect.TopLeft();
    QTest::mousePress(Port(), Qt::LeftButton, {}, Client(grip));
    EXPECT_TRUE(mass->IsHeld());
    EXPECT_DOUBLE_EQ(mass->GetHeldPosition(), 0.02);
    QTest::mouseMove(Port(), Client(grip + CPoint(20, 0)));
    QTest::mouseMove(Port(), Client(grip + CPoint(40, 0)));
    EXPECT_NEAR(mass->GetHeldPosition(), 0.03, 1e-12);
    // The design runs on: the hand's 4000 N/m spring brings the mass there.
    Design()->SetUpdateRate(20.0);
    for (int n = 0; n < 200; ++n) Design()->RunSolverPass();
    EXPECT_NEAR(mass->GetMass().GetPosition(), 0.03, 1e-9);
    QTest::mouseRelease(Port(), Qt::LeftButton, {}, Client(grip + CPoint(40, 0)));
    EXPECT_FALSE(mass->IsHeld());
    EXPECT_EQ(mass->m_rect.TopLeft(), corner) << "dragging the mass does not move the part";
    // The handle went with the mass.
    EXPECT_EQ(mass->GetHandle()->m_rect.CenterPoint(), grip + CPoint(40, 0));
}

} // namespace
