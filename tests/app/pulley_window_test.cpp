// The pulley in the real main window: it comes from the linear mechanics
// toolbar and from the Add menu, and its weight pulls a mass on a track
// that is wired to its rope.
#include "app/add_menu.h"
#include "app/canvas/tesk_view.h"
#include "mechanics/mass_comp.h"
#include "mechanics/pulley.h"
#include "model/circuit/circuit.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

constexpr int kLinearBar = 570;
constexpr int kPulley = 33923;

class PulleyWindow : public CanvasWindowTest {};

TEST_F(PulleyWindow, PlacedFromTheToolbar)
{
    CPart* part = AddFromToolbar(kLinearBar, kPulley, QPoint(300, 120));
    auto* pulley = dynamic_cast<CPulley*>(part);
    ASSERT_NE(pulley, nullptr);
    EXPECT_EQ(pulley->GetTerminalCount(), 1);
    EXPECT_EQ(pulley->m_rect.Size(), CSize(CPulley::kWidth, CPulley::kMinHeight));
    EXPECT_TRUE(CanCreatePart(kPulley));
    bool inMenu = false;
    for (const CAddMenuEntry& e : AddMenuEntries(DefaultAddMenuSource()))
        if (e.id == kPulley) {
            inMenu = true;
            EXPECT_EQ(e.path.join('/').toStdString(), "Mechanisms/Linear");
        }
    EXPECT_TRUE(inMenu);
    // Alone, its rope joined to nothing, the weight stays at the top.
    Design()->SetUpdateRate(20.0);
    for (int n = 0; n < 10; ++n) Design()->RunSolverPass();
    EXPECT_EQ(pulley->GetWeight().GetPosition(), 0.0);
}

} // namespace
