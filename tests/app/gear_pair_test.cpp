// The gear pair in the real main window: it comes from the rotational
// mechanics toolbar and from the Add menu, its wheels are turned by hand
// with the mouse, and its tooth counts change on the property toolbar.
#include "app/add_menu.h"
#include "app/canvas/tesk_view.h"
#include "components/rotateknob.h"
#include "mechanics/two_cogs.h"
#include "model/circuit/circuit.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>

#include <numbers>

namespace {

constexpr int kRotationalBar = 571;
constexpr int kGears = 33921;

class GearPair : public CanvasWindowTest {};

TEST_F(GearPair, PlacedFromTheToolbarAndTurnedByHand)
{
    CPart* part = AddFromToolbar(kRotationalBar, kGears, QPoint(200, 160));
    auto* gears = dynamic_cast<CTwoCogs*>(part);
    ASSERT_NE(gears, nullptr);
    EXPECT_EQ(gears->GetTerminalCount(), 4);
    EXPECT_TRUE(CanCreatePart(kGears));
    bool inMenu = false;
    for (const CAddMenuEntry& e : AddMenuEntries(DefaultAddMenuSource()))
        if (e.id == kGears) {
            inMenu = true;
            EXPECT_EQ(e.path.join('/').toStdString(), "Mechanisms/Rotational");
        }
    EXPECT_TRUE(inMenu);
    // Animation and handles on: the left wheel's handle is grabbed and
    // carried a quarter turn anticlockwise about the wheel's centre.
    Design()->SetOptionBits(0x80 | 0x100000, true);
    CRotateKnob* handle = gears->GetHandle(0);
    ASSERT_NE(handle, nullptr);
    const CPoint centre = gears->m_rect.TopLeft() + gears->GetCog(0).GetCentre();
    const CPoint grip = handle->m_rect.CenterPoint();
    const int radius = centre.y - grip.y;
    ASSERT_GT(radius, 0) << "at rest the handle stands above the centre";
    QTest::mousePress(Port(), Qt::LeftButton, {}, Client(grip));
    EXPECT_TRUE(gears->IsHeld(0));
    EXPECT_FALSE(gears->IsHeld(1));
    QTest::mouseMove(Port(), Client(CPoint(centre.x - radius, centre.y - radius)));
    QTest::mouseMove(Port(), Client(CPoint(centre.x - radius, centre.y)));
    EXPECT_NEAR(gears->GetTargetAngle(0), std::numbers::pi / 2, 1e-9);
    QTest::mouseRelease(Port(), Qt::LeftButton, {}, Client(CPoint(centre.x - radius, centre.y)));
    EXPECT_FALSE(gears->IsHeld(0));
    EXPECT_EQ(gears->m_rect.TopLeft(), part->m_rect.TopLeft()) << "turning a wheel does not move the part";
}

} // namespace
