// The rack and pinion in the real main window: it comes from the
// rotational mechanics toolbar and from the Add menu, and its rack is
// pulled along by hand with its drag handle, turning the pinion.
#include "app/add_menu.h"
#include "app/canvas/tesk_view.h"
#include "components/knob.h"
#include "components/resize.h"
#include "measure/probe.h"
#include "mechanics/rack_pin.h"
#include "model/circuit/circuit.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

constexpr int kRotationalBar = 571;
constexpr int kRackPin = 33901;

class RackPinWindow : public CanvasWindowTest {};

TEST_F(RackPinWindow, PlacedFromTheToolbarAndPulledByHand)
{
    CPart* part = AddFromToolbar(kRotationalBar, kRackPin, QPoint(260, 200));
    auto* rack = dynamic_cast<CRackPin*>(part);
    ASSERT_NE(rack, nullptr);
    EXPECT_EQ(rack->GetTerminalCount(), 4);
    EXPECT_TRUE(CanCreatePart(kRackPin));
    bool inMenu = false;
    for (const CAddMenuEntry& e : AddMenuEntries(DefaultAddMenuSource()))
        if (e.id == kRackPin) {
            inMenu = true;
            EXPECT_EQ(e.path.join('/').toStdString(), "Mechanisms/Rotational");
        }
    EXPECT_TRUE(inMenu);
    // Animation and handles on: the rack's handle is carried 16 pixels
    // (4 mm) to the right; the hand's spring brings the rack there and the
    // pinion turns 4 mm / 0.0038196 m = 1.047 rad with it.
    Design()->SetOptionBits(0x80 | 0x100000, true);
    CKnob* handle = rack->GetRackHandle();
    ASSERT_NE(handle, nullptr);
    const CPoint grip = handle->m_rect.CenterPoint();
    const CPoint corner = rack->m_rect.TopLeft();
    const double angle = rack->GetPinionInertia().GetPosition();
    QTest::mousePress(Port(), Qt::LeftButton, {}, Client(grip));
    EXPECT_TRUE(rack->IsRackHeld());
    QTest::mouseMove(Port(), Client(grip + CPoint(8, 0)));
    QTest::mouseMove(Port(), Client(grip + CPoint(16, 0)));
    EXPECT_NEAR(rack->GetRackTarget(), 0.013, 1e-12);
    Design()->SetUpdateRate(20.0);
    for (int n = 0; n < 200; ++n) Design()->RunSolverPass();
    EXPECT_NEAR(rack->GetRackMass().GetPosition(), 0.013, 1e-8);
    EXPECT_NEAR(rack->GetPinionInertia().GetPosition() - angle, 0.004 / CRackPin::kRatio, 1e-5);
    QTest::mouseRelease(Port(), Qt::LeftButton, {}, Client(grip + CPoint(16, 0)));
    EXPECT_FALSE(rack->IsRackHeld());
    EXPECT_EQ(rack->m_rect.TopLeft(), corner) << "pulling the rack does not move the part";
}

// A probe on the pinion stays where it was put while the rack is
// lengthened by its right grip (the part leaves the design for the drag
// and is dropped back).
TEST_F(RackPinWindow, ProbeStaysOnThePinionWhileTheRackLengthens)
{
    CPart* part = AddFromToolbar(kRotationalBar, kRackPin, QPoint(260, 200));
    auto* rack = dynamic_cast<CRackPin*>(part);
    ASSERT_NE(rack, nullptr);
    Design()->SetOptionBits(0x80, true);
    const CPoint pinion = rack->m_rect.TopLeft() + rack->GetPinion().GetCentre();
    auto* probe = new CProbe(Design(), pinion + CPoint(4, -4));
    Design()->AddChild(probe);
    probe->ConnectToPart();
    ASSERT_EQ(probe->GetProbedPart(), rack);
    const CRect placed = probe->m_rect;
    CResize* grip = nullptr;
    for (CPart* c = rack->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c); g && g->m_anchor.x > CRackPin::kWidth / 2) grip = g;
    ASSERT_NE(grip, nullptr);
    const CPoint at = grip->m_rect.CenterPoint();
    const int width = rack->m_rect.Width();
    grip->OnPress(Design(), at.x, at.y);
    grip->OnDrag(Design(), at + CPoint(24, 0));
    EXPECT_EQ(grip->OnRelease(Design(), at.x + 24, at.y), 1);
    EXPECT_EQ(rack->m_rect.Width(), width + 24);
    EXPECT_EQ(probe->GetProbedPart(), rack);
    EXPECT_EQ(probe->m_rect, placed);
}

} // namespace
