// A pupil places a probe: Measure/Add Probe (the part toolbar's probe
// button) makes one, and dropped on a resistor it measures the resistor on
// the design's first channel; a fifth probe is not offered.
#include "measure/probe.h"
#include "model/parts/catalogue.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

namespace {

constexpr int kAddProbe = 32793;
constexpr int kAddResistor = 32769;
constexpr int kProbeLayout = 479;

class ProbeAdd : public CanvasWindowTest {};

} // namespace

TEST_F(ProbeAdd, ProbeDroppedOnAResistorMeasuresIt)
{
    int extra = 0;
    auto* resistor = dynamic_cast<CPart*>(PartCatalogue::Get().CreateById(kAddResistor, nullptr, &extra));
    ASSERT_NE(resistor, nullptr);
    ASSERT_TRUE(m_view->Controller().AddPartAtOnce(resistor, extra));
    const CPoint centre = resistor->GetRect().CenterPoint();
    const QPoint at = Client(CPoint(centre.x - 7, centre.y - 7));
    auto* probe = dynamic_cast<CProbe*>(AddFromToolbar(kProbeLayout, kAddProbe, at));
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(Design()->FindProbe(0), probe);
    EXPECT_EQ(probe->GetDesign(), Design());
    EXPECT_EQ(probe->GetProbedPart(), resistor);
    EXPECT_EQ(probe->GetRect(), resistor->GetRect());
    EXPECT_EQ(probe->GetTraceCount(), 3);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProbeAdd, AFifthProbeIsNotOffered)
{
    CCmdUI ui;
    for (int i = 0; i < 4; ++i) {
        ui = CCmdUI{};
        ui.id = kAddProbe;
        ASSERT_TRUE(m_view->OnUpdateCommand(ui));
        EXPECT_TRUE(ui.enabled) << i;
        int extra = 0;
        auto* probe = dynamic_cast<CPart*>(PartCatalogue::Get().CreateById(kAddProbe, nullptr, &extra));
        ASSERT_NE(probe, nullptr);
        ASSERT_TRUE(m_view->Controller().AddPartAtOnce(probe, extra)) << i;
    }
    ui = CCmdUI{};
    ui.id = kAddProbe;
    ASSERT_TRUE(m_view->OnUpdateCommand(ui));
    EXPECT_FALSE(ui.enabled);
    for (int c = 0; c < 4; ++c) EXPECT_NE(Design()->FindProbe(c), nullptr) << c;
}
