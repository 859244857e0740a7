// The stimulus controls of the systems sensors, worked as the canvas view
// works them: the sliders' reported values and frames against their
// formulas (integer divisions), and the clickable pictures' reports on
// press and release.
#include "systems_support.h"

#include "components/sensor_light.h"
#include "components/sensor_moisture.h"
#include "components/sensor_pressure.h"
#include "components/sensor_sound.h"
#include "components/sensor_switch.h"
#include "components/sensor_temperature.h"
#include "components/stimulus_picture.h"
#include "components/stimulus_slider.h"
#include "model/text_qtapp.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct SliderCase {
    const char* name;
    std::function<CThresholdSensor*(SystemsBench&)> add;
    int initialPosition, initialValue, lastPosition;
    // position -> value and frame, from the control's formulas
    std::function<int(int)> value, frame;
};

TEST(SystemsControls, SlidersReportTheirQuantity)
{
    EnsureTextGuiApp();
    const std::vector<SliderCase> cases = {
        {"thermometer", [](SystemsBench& b) { return b.AddAt<CTempSensor>(300, 200); }, 40, 293, 50,
         [](int p) { return 373 - 2 * p; }, [](int p) { return 10 - p / 5; }},
        {"sun", [](SystemsBench& b) { return b.AddAt<CLightSensor>(300, 200); }, 50, 0, 50,
         [](int p) { return 5 - p / 10; }, [](int p) { return 5 - p / 10; }},
        {"loudspeaker", [](SystemsBench& b) { return b.AddAt<CSoundSensor>(300, 200); }, 48, 0, 48,
         [](int p) { return 3 - p / 16; }, [](int p) { return 3 - p / 16; }},
    };
    for (const SliderCase& c : cases) {
        SystemsBench b;
        CThresholdSensor* s = c.add(b);
        b.Reset();
        auto* k = ControlOf<CStimulusSlider>(s);
        ASSERT_NE(k, nullptr) << c.name;
        EXPECT_EQ(k->GetPosition(), c.initialPosition) << c.name;
        EXPECT_EQ(k->GetValue(), c.initialValue) << c.name;
        const CRect r = k->GetRect();
        // Grabbed 5 pixels below the knob's top, dragged in steps; beyond
        // either end the knob stays at the end.
        k->OnPress(&b.d, r.left + 5, r.top + c.initialPosition + 5);
        for (int p = -8; p <= c.lastPosition + 8; ++p) {
            k->OnDrag(&b.d, CPoint(r.left + 5, r.top + p + 5));
            const int q = std::clamp(p, 0, c.lastPosition);
            EXPECT_EQ(k->GetPosition(), q) << c.name;
            EXPECT_EQ(s->GetLevel(), c.value(q)) << c.name << " at " << q;
            EXPECT_EQ(k->GetFrame(), c.frame(q)) << c.name << " at " << q;
        }
        k->OnRelease(&b.d, r.left + 5, r.top + 5);
        // The ends: the thermometer reads 373 K at the top, 273 K at the
        // bottom; the sun 5 and 0; the loudspeaker 3 and 0.
        EXPECT_EQ(c.value(0), c.name == std::string("thermometer") ? 373 : c.name == std::string("sun") ? 5 : 3);
        EXPECT_EQ(c.value(c.lastPosition), c.name == std::string("thermometer") ? 273 : 0);
        // Without animation the slider ignores the mouse.
        b.d.SetOptionBits(0x80, false);
        s->SetInputValue(&b.d, 1);
        k->OnPress(&b.d, r.left + 5, r.top + 5);
        EXPECT_TRUE(k->OnDrag(&b.d, CPoint(r.left + 5, r.top + 30)).IsRectEmpty());
        EXPECT_EQ(s->GetLevel(), 1) << c.name;
    }
}

TEST(SystemsControls, ThermometerStepsTwoKelvinPerPixel)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* s = b.AddAt<CTempSensor>(300, 200);
    b.Reset();
    auto* k = ControlOf<CStimulusSlider>(s);
    const CRect r = k->GetRect();
    k->OnPress(&b.d, r.left, r.top + k->GetPosition());
    int last = -1;
    for (int p = 0; p <= 50; ++p) {
        k->OnDrag(&b.d, CPoint(r.left, r.top + p));
        if (last >= 0) {
            EXPECT_EQ(last - s->GetLevel(), 2);
        }
        last = s->GetLevel();
    }
}

// Reports of a picture control: the operated part records every value.
class CReportLog : public CComponent {
public:
    int SetInputValue(CPartTree*, int value) override
    {
        log.push_back(value);
        return 1;
    }
    std::vector<int> log;
};

struct PictureCase {
    const char* name;
    std::function<CStimulusPicture*(CReportLog*)> make;
    // reports of two clicks: press, release, press, release
    std::vector<int> reports;
    int stateAfterFirstPress;
};

TEST(SystemsControls, PicturesReportOnPressAndRelease)
{
    EnsureTextGuiApp();
    auto build = [](const char* cls) {
        return [cls](CReportLog* log) {
            auto* p = dynamic_cast<CStimulusPicture*>(CRuntimeClass::CreateObject(cls));
            p->m_pOperated = log;
            return p;
        };
    };
    const std::vector<PictureCase> cases = {
        {"CLatch", build("CLatch"), {1, 0}, 1},
        {"CWindow", build("CWindow"), {1, 1, 1, 0}, 1},
        {"CPinball", build("CPinball"), {1, 1, 1, 0}, 1},
        {"CRain", build("CRain"), {1, 1, 1, 0}, 1},
        {"CPushSwitch", build("CPushSwitch"), {1, 0, 1, 0}, 1},
        {"CCoinHeight", build("CCoinHeight"), {1, 0, 1, 0}, 1},
        {"CFootHeight", build("CFootHeight"), {1, 0, 1, 0}, 1},
    };
    for (const PictureCase& c : cases) {
        SystemsBench b;
        b.d.SetOptionBits(0x80, false); // pictures answer without animation
        CReportLog log;
        std::unique_ptr<CStimulusPicture> p(c.make(&log));
        ASSERT_NE(p, nullptr) << c.name;
        EXPECT_EQ(p->OnPress(&b.d, 0, 0), 0);
        EXPECT_EQ(p->GetState(), c.stateAfterFirstPress) << c.name;
        EXPECT_EQ(p->OnRelease(&b.d, 0, 0), 1);
        p->OnPress(&b.d, 0, 0);
        p->OnRelease(&b.d, 0, 0);
        EXPECT_EQ(log.log, c.reports) << c.name;
    }
}

TEST(SystemsControls, PicturesStandOnTheLeftOfTheirSensor)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* latch = b.AddAt<CSwitchSensor>(300, 200);
    auto* foot = b.AddAt<CPressureSensor>(300, 400);
    auto* rain = b.AddAt<CMoistureSensor>(300, 600);
    b.Reset();
    for (CSwitchTypeSensor* s : {static_cast<CSwitchTypeSensor*>(latch), static_cast<CSwitchTypeSensor*>(foot),
                                 static_cast<CSwitchTypeSensor*>(rain)}) {
        CToggle* c = ControlOf(s);
        ASSERT_NE(c, nullptr);
        EXPECT_LE(c->GetRect().right, s->GetRect().left);
        EXPECT_EQ(c->GetLinkedSwitch(), s);
        EXPECT_EQ(c->GetPropertyOwner(), s);
    }
    // The momentary pictures stand 2 pixels further than the others.
    EXPECT_EQ(ControlOf(foot)->GetRect().Width(), 64);
    EXPECT_EQ(ControlOf(latch)->GetRect().Width(), 64);
    EXPECT_EQ(ControlOf(foot)->GetRect().left - foot->GetRect().left,
              ControlOf(latch)->GetRect().left - latch->GetRect().left + 2);
    CLabelPlacement records[4];
    EXPECT_EQ(ControlOf(latch)->GetLabelPlacements(records), 2);
    EXPECT_EQ(records[0].pass, 4);
    EXPECT_EQ(records[0].side, 3);
    EXPECT_EQ(records[1].side, 0);
}

} // namespace
