// Sliders: positions clamped to 0..20 whatever the drag, six pixels a step
// in the large look, no response with animation off; the variable resistor
// and the slide rail follow their sliders (the divider voltage against its
// closed form), and the rail's label stands clear of its slider.
#include "switches_bench.h"

#include "components/pot.h"
#include "model/display/visual.h"
#include "components/slider.h"
#include "components/vresistor.h"
#include "components/vslide.h"
#include "model/parts/part_records.h"

#include <memory>

namespace {

// 9 V into a 100 ohm resistor and the variable resistor (label 100 ohm) in
// series.
struct Divider {
    SwitchBench b;
    CVResistor* vr;
    CDiodesResistor* fixed;
    CSlider* slider;
    Divider()
    {
        vr = b.Add<CVResistor>(400, 400);
        fixed = b.Feed(vr->GetTerminal(0), vr->GetTerminal(1), 9.0, 100.0, 40, 100);
        slider = SliderOf(vr);
        b.Start();
        b.UseHost();
    }
    double Expected() const
    {
        const int p = slider->GetReported();
        const double r = p == 20 ? 0.0 : 100.0 * (1.0 - 0.05 * p);
        return 9.0 * r / (100.0 + r);
    }
    double Across() const { return vr->GetTerminal(0)->GetVoltage() - vr->GetTerminal(1)->GetVoltage(); }
};

TEST(ControlsSlider, TheVariableResistorCarriesAnUprightSliderOnItsRight)
{
    Divider s;
    ASSERT_NE(s.slider, nullptr);
    EXPECT_EQ(s.vr->GetFirstChild(), ValueLabelOf(s.vr));
    EXPECT_EQ(s.slider->GetOperated(), ValueLabelOf(s.vr));
    EXPECT_EQ(s.slider->GetPropertyOwner(), ValueLabelOf(s.vr));
    EXPECT_EQ(s.slider->m_rect.Width(), 15);
    EXPECT_EQ(s.slider->m_rect.Height(), 40);
    EXPECT_EQ(s.slider->m_rect.left, s.vr->m_rect.right + 4);
    EXPECT_TRUE(s.slider->IsVertical());
    EXPECT_EQ(s.slider->GetPosition(), 13);
    EXPECT_EQ(s.slider->GetReported(), 10);
    EXPECT_NEAR(LabelValue(s.vr, true), 50.0, 1e-12);
}

// The wiper's slider goes round with its part: in every turn the part's
// picture allows, the slider stands on the turned side, clear of the part,
// with its track along that side and its marks laid out for it.
TEST(ControlsSlider, SlidersTurnWithTheirPart)
{
    CComponent* (*const makers[])(SwitchBench&) = {
        [](SwitchBench& b) -> CComponent* { return b.Add<CVResistor>(400, 400); },
        [](SwitchBench& b) -> CComponent* { return b.Add<CPot>(400, 400); }};
    for (auto make : makers) {
        SwitchBench b;
        CComponent* part = make(b);
        const char* name = part->GetRuntimeClass()->m_lpszClassName;
        CSlider* slider = SliderOf(part);
        ASSERT_NE(slider, nullptr) << name;
        const int start = part->m_nOrientation;
        const CPoint away = slider->m_rect.CenterPoint() - part->m_rect.CenterPoint();
        const bool upright = slider->IsVertical();
        // (the potentiometer's wiper lies over its picture on purpose)
        CRect overlap;
        const bool clear = !overlap.IntersectRect(slider->m_rect, part->m_rect);
        const int mask = part->m_pVisual->GetOrientationMask();
        for (int code = 0; code < 8; ++code) {
            if (!(mask & (1 << code)) || code == part->m_nOrientation) continue;
            part->SetOrientation(code, part->m_nOrientation, 0, nullptr);
            SCOPED_TRACE(testing::Message() << name << " turned from " << start << " to " << code);
            const CPoint now = slider->m_rect.CenterPoint() - part->m_rect.CenterPoint();
            const CPoint want = TurnPoint(away, CPoint(0, 0), code, start);
            // The same side (the centres agree within the rounding of a turn).
            EXPECT_LE(std::abs(now.x - want.x) + std::abs(now.y - want.y), 2);
            EXPECT_EQ(slider->IsVertical(), upright == (IsOddOrientation(code) == IsOddOrientation(start)));
            EXPECT_EQ(slider->m_rect.Width() * slider->m_rect.Height(), 15 * 40);
            if (clear) {
                EXPECT_FALSE(overlap.IntersectRect(slider->m_rect, part->m_rect)) << "the slider stands over its part";
            }
        }
    }
}

TEST(ControlsSlider, DraggingTheKnobMovesTheDividerVoltage)
{
    Divider s;
    s.b.Tick();
    EXPECT_NEAR(s.Across(), 3.0, 1e-9);
    const CPoint grip = s.slider->KnobOrigin() + CPoint(7, 7);
    EXPECT_EQ(s.b.Press(grip), s.slider);
    // Down the upright track: one pixel a position, reported 0..20.
    for (int dy : {1, 4, -7, -10, 9, 30, -40}) {
        s.b.Drag(grip + CPoint(0, dy));
        s.b.Tick();
        const int expected = std::clamp(10 + dy, 0, 20);
        EXPECT_EQ(s.slider->GetReported(), expected) << dy;
        EXPECT_NEAR(s.Across(), s.Expected(), 1e-9) << dy;
    }
    EXPECT_EQ(s.b.Release(grip), 10);
    // At the far end the variable resistor is a link.
    s.b.Press(s.slider->KnobOrigin() + CPoint(7, 7));
    s.b.Drag(s.slider->KnobOrigin() + CPoint(7, 500));
    s.b.Release(CPoint(0, 0));
    s.b.Tick();
    EXPECT_EQ(s.slider->GetReported(), 20);
    EXPECT_NEAR(s.Across(), 0.0, 1e-12);
    EXPECT_NEAR(Amps(s.fixed), 0.09, 1e-12);
}

TEST(ControlsSlider, SlidersIgnoreTheMouseWithAnimationOff)
{
    Divider s;
    s.b.d.SetOptionBits(OPT_SIMULATE, false);
    const CPoint grip = s.slider->KnobOrigin() + CPoint(7, 7);
    s.b.Press(grip);
    s.b.Drag(grip + CPoint(0, 5));
    EXPECT_EQ(s.b.Release(grip), 0);
    EXPECT_EQ(s.slider->GetReported(), 10);
}

TEST(ControlsSlider, LyingAndLargeSlidersCountAlongTheirTrack)
{
    EnsureTextGuiApp();
    CCircuit d;
    d.SetOptionBits(OPT_SIMULATE, true);
    CPart owner(CRect(100, 100, 124, 124));
    struct Case {
        int side;
        int large;
        CSize size;
        int code;
    };
    for (Case c : {Case{0, 0, {40, 15}, 3}, Case{2, 0, {40, 15}, 1}, Case{3, 0, {15, 40}, 2}, Case{0, 1, {170, 38}, 3}}) {
        CSlider s(c.side, &owner, nullptr, nullptr, c.large);
        EXPECT_EQ(s.m_rect.Size(), c.size) << c.side << c.large;
        EXPECT_EQ(s.GetOrientation(), c.code) << c.side << c.large;
        const CPoint grip = s.KnobOrigin() + CPoint(7, 7);
        s.OnPress(&d, grip.x, grip.y);
        // Leftwards along a lying track raises the position; the large look
        // takes six pixels a position.
        const int step = c.large ? 6 : 1;
        const CPoint along = s.IsVertical() ? CPoint(0, 1) : CPoint(-1, 0);
        s.OnDrag(&d, grip + CPoint(along.x * 4 * step, along.y * 4 * step));
        EXPECT_EQ(s.GetReported(), 14) << c.side << c.large;
        s.OnDrag(&d, grip + CPoint(along.x * (4 * step + step - 1), along.y * (4 * step + step - 1)));
        EXPECT_EQ(s.GetReported(), 14) << c.side << c.large;
        s.OnDrag(&d, grip + CPoint(along.x * 1000, along.y * 1000));
        EXPECT_EQ(s.GetReported(), 20);
        s.OnDrag(&d, grip - CPoint(along.x * 1000, along.y * 1000));
        EXPECT_EQ(s.GetReported(), 0);
        EXPECT_EQ(s.OnRelease(&d, 0, 0), 10);
    }
}

TEST(ControlsSlider, TheSlideRailRunsFromTenVoltsDownToNothing)
{
    SwitchBench b;
    auto* rail = b.Add<CVSlide>(400, 400);
    CSlider* slider = SliderOf(rail);
    ASSERT_NE(slider, nullptr);
    CValue* label = ValueLabelOf(rail);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(rail->GetFirstChild(), label);
    // Slider left of the rail, the label left of the slider, none overlapping.
    EXPECT_EQ(slider->m_rect.right, rail->m_rect.left - 4);
    EXPECT_LE(label->m_rect.right, slider->m_rect.left);
    CRect meet;
    EXPECT_FALSE(meet.IntersectRect(label->m_rect, slider->m_rect));
    EXPECT_FALSE(meet.IntersectRect(label->m_rect, rail->m_rect));
    EXPECT_NEAR(rail->GetRailVoltage(), 5.0, 1e-12);
    b.Start();
    b.UseHost();
    const CPoint grip = slider->KnobOrigin() + CPoint(7, 7);
    b.Press(grip);
    b.Drag(grip - CPoint(0, 100));
    EXPECT_EQ(slider->GetReported(), 0);
    EXPECT_NEAR(rail->GetRailVoltage(), 10.0, 1e-12);
    b.Drag(grip + CPoint(0, 100));
    b.Release(grip);
    EXPECT_NEAR(rail->GetRailVoltage(), 0.0, 1e-12);
}

TEST(ControlsSlider, RecordsKeepThePositionAndAWildOneIsClamped)
{
    EnsureTextGuiApp();
    CVResistor vr;
    vr.m_rect.SetRect(40, 60, 40, 60);
    vr.Initialise();
    vr.SetSliderPosition(17);
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(&vr);
    std::vector<uint8_t> bytes = out.GetBuffer();
    {
        CArchive in(bytes);
        in.SetVersion(kCurrentVersion);
        std::unique_ptr<CVResistor> back(dynamic_cast<CVResistor*>(in.ReadNewObject(RUNTIME_CLASS(CPart))));
        ASSERT_NE(back, nullptr);
        CSlider* s = SliderOf(back.get());
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->GetReported(), 17);
        EXPECT_EQ(s->GetOperated(), ValueLabelOf(back.get()));
        EXPECT_NEAR(back->GetResistance(), 15.0, 1e-12);
    }
    // The same record with the slider's position word damaged to 500.
    CSlider* s = SliderOf(&vr);
    s->m_wState = 500;
    CArchive damaged;
    damaged.SetVersion(kCurrentVersion);
    damaged.WriteObject(&vr);
    CArchive in(damaged.GetBuffer());
    in.SetVersion(kCurrentVersion);
    std::unique_ptr<CVResistor> back(dynamic_cast<CVResistor*>(in.ReadNewObject(RUNTIME_CLASS(CPart))));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(SliderOf(back.get())->GetPosition(), CSlider::kLast);
}

} // namespace
