// The systems sensors: each one worked through its stimulus control as the
// canvas view works it, its output checked against the logic pin model
// (G to ground with the source current I: an unloaded output reads -I / G,
// the logic supply for the high current Ih = -(supply x G)), and against the
// stamps themselves where the rule is "nothing at all".
#include "systems_support.h"

#include "components/sensor_coin.h"
#include "components/sensor_light.h"
#include "components/sensor_moisture.h"
#include "components/sensor_pressure.h"
#include "components/sensor_pushswitch.h"
#include "components/sensor_reed.h"
#include "components/sensor_sound.h"
#include "components/sensor_switch.h"
#include "components/sensor_temperature.h"
#include "components/sensor_tilt.h"
#include "components/stimulus_slider.h"
#include "model/parts/controlitem.h"
#include "model/text_qtapp.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

// What one pass's stamps put on the node of a part's first pin: the
// diagonal coefficient (the conductance to ground) and the constant term
// (the source current leaving the node).
struct PinStamp {
    double g;
    double i;
};
PinStamp StampOnPin(CComponent* part, CCircuit& d)
{
    d.RunSolverPass(); // numbers the nodes
    CMatrix m;
    m.Resize(d.GetNodeCount());
    m.MergeLinks();
    m.Clear();
    part->Stamp(&m);
    const uint16_t node = part->GetTerminal(0)->GetNode();
    return {m.GetCoefficient(node, node), m.GetRhs(node)};
}

template <class T>
T* AddSensor(SystemsBench& b)
{
    T* s = b.AddAt<T>(300, 200);
    b.Reset();
    return s;
}

// Presses and releases a picture control as the canvas view does; returns
// the sensor's state after the press and after the release.
std::pair<int, int> Click(SystemsBench& b, CSwitchTypeSensor* s)
{
    CToggle* c = ControlOf(s);
    const CPoint at = c->GetRect().CenterPoint();
    c->OnPress(&b.d, at.x, at.y);
    const int pressed = s->GetState();
    c->OnRelease(&b.d, at.x, at.y);
    return {pressed, s->GetState()};
}

// Drags a stimulus slider's knob to a position.
void DragTo(SystemsBench& b, CStimulusSlider* c, int position)
{
    const CRect r = c->GetRect();
    c->OnPress(&b.d, r.left + 5, r.top + c->GetPosition() + 5);
    c->OnDrag(&b.d, CPoint(r.left + 5, r.top + position + 5));
    c->OnRelease(&b.d, r.left + 5, r.top + position + 5);
}

struct SwitchCase {
    const char* name;
    std::function<CSwitchTypeSensor*(SystemsBench&)> add;
    // The state after press and after release, for a first and a second click.
    std::pair<int, int> first, second;
};

TEST(SystemsSensors, SwitchSensorsDriveTheirOutputFromTheirPictures)
{
    EnsureTextGuiApp();
    const std::vector<SwitchCase> cases = {
        {"pressure", AddSensor<CPressureSensor>, {1, 0}, {1, 0}},
        {"push switch", AddSensor<CPushSwitchSensor>, {1, 0}, {1, 0}},
        {"coin", AddSensor<CCoinSensor>, {1, 0}, {1, 0}},
        // The latch reports nothing on press.
        {"door switch", AddSensor<CSwitchSensor>, {0, 1}, {1, 0}},
        // The alarm pictures report 1 while pressed, then the latched state.
        {"reed", AddSensor<CReedSensor>, {1, 1}, {1, 0}},
        {"tilt", AddSensor<CTiltSensor>, {1, 1}, {1, 0}},
        {"moisture", AddSensor<CMoistureSensor>, {1, 1}, {1, 0}},
    };
    for (const SwitchCase& c : cases)
        for (const LogicFamilyCase& f : LogicFamilies()) {
            SystemsBench b(f.family, f.supply);
            CSwitchTypeSensor* s = c.add(b);
            ASSERT_EQ(s->GetTerminalCount(), 1) << c.name;
            ASSERT_NE(ControlOf(s), nullptr) << c.name;
            EXPECT_EQ(s->GetKindCode(), 5);
            // Off: nothing stamped at all, the lone output node reads 0 V.
            PinStamp off = StampOnPin(s, b.d);
            EXPECT_EQ(off.g, 0.0) << c.name;
            EXPECT_EQ(off.i, 0.0) << c.name;
            EXPECT_EQ(b.After(s), 0.0) << c.name;
            EXPECT_EQ(Click(b, s), c.first) << c.name;
            EXPECT_EQ(Click(b, s), c.second) << c.name;
            // On: G and Ih, so the unloaded output sits at the logic supply.
            s->SetInputValue(&b.d, 1);
            PinStamp on = StampOnPin(s, b.d);
            EXPECT_DOUBLE_EQ(on.g, b.d.GetLogicConductance()) << c.name;
            EXPECT_DOUBLE_EQ(on.i, -f.supply * b.d.GetLogicConductance()) << c.name;
            EXPECT_NEAR(b.After(s), f.supply, 1e-9) << c.name;
            // The level survives a simulation reset.
            b.Reset();
            EXPECT_NEAR(b.After(s), f.supply, 1e-9) << c.name;
        }
}

TEST(SystemsSensors, TemperatureThresholdIsReachedExactlyAtIt)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* s = AddSensor<CTempSensor>(b);
    auto* t = ControlOf<CStimulusSlider>(s);
    ASSERT_NE(t, nullptr);
    // 40 degrees Celsius: high from 313 K; 312 K leaves the output undriven.
    EXPECT_FLOAT_EQ(s->m_fThreshold, 313.0f);
    s->SetInputValue(&b.d, 313);
    EXPECT_NEAR(b.After(s), 5.0, 1e-9);
    s->SetInputValue(&b.d, 312);
    PinStamp off = StampOnPin(s, b.d);
    EXPECT_EQ(off.g, 0.0);
    EXPECT_EQ(off.i, 0.0);
    // Through the thermometer: position 30 is 373 - 60 = 313 K, 31 is 311 K.
    DragTo(b, t, 30);
    EXPECT_EQ(s->GetLevel(), 313);
    EXPECT_NEAR(b.After(s), 5.0, 1e-9);
    DragTo(b, t, 31);
    EXPECT_EQ(s->GetLevel(), 311);
    EXPECT_EQ(b.After(s), 0.0);
    // A typed threshold in Celsius.
    EXPECT_EQ(s->OnPropertyCommand(kSensorThreshold, "30"), 65);
    EXPECT_FLOAT_EQ(s->m_fThreshold, 303.0f);
    EXPECT_NEAR(b.After(s), 5.0, 1e-9);
}

struct AnalogueCase {
    int level;
    double fraction; // of the logic supply, from the sensor's formula
};

TEST(SystemsSensors, AnalogueOutputsAreTheLevelsShareOfTheSupply)
{
    EnsureTextGuiApp();
    for (const LogicFamilyCase& f : LogicFamilies()) {
        SystemsBench b(f.family, f.supply);
        auto* temp = AddSensor<CTempSensor>(b);
        EXPECT_EQ(temp->OnPropertyCommand(kSensorSignal, "Analog"), 65);
        EXPECT_FALSE(temp->IsDigital());
        EXPECT_EQ(temp->m_wStateWord, 1);
        // (T - 273) / 100: 323 K reads 2.5 V on a 5 V supply.
        for (AnalogueCase c : {AnalogueCase{323, 0.5}, {273, 0.0}, {373, 1.0}, {298, 0.25}}) {
            temp->SetInputValue(&b.d, c.level);
            EXPECT_NEAR(b.After(temp), c.fraction * f.supply, 1e-9) << c.level;
        }
    }
    SystemsBench b;
    auto* sound = AddSensor<CSoundSensor>(b);
    sound->OnPropertyCommand(kSensorSignal, "Analog");
    for (AnalogueCase c : {AnalogueCase{0, 0.0}, {1, 1.0 / 3}, {2, 2.0 / 3}, {3, 1.0}}) {
        sound->SetInputValue(&b.d, c.level);
        EXPECT_NEAR(b.After(sound), c.fraction * 5.0, 1e-9) << c.level;
    }
    auto* light = b.AddAt<CLightSensor>(300, 400);
    b.Reset();
    light->OnPropertyCommand(kSensorSignal, "Analog");
    for (AnalogueCase c : {AnalogueCase{0, 0.0}, {1, 0.2}, {4, 0.8}, {5, 1.0}}) {
        light->SetInputValue(&b.d, c.level);
        EXPECT_NEAR(b.After(light), c.fraction * 5.0, 1e-9) << c.level;
    }
    // Back to digital: the picture frame and the threshold test return.
    light->OnPropertyCommand(kSensorSignal, "Digital");
    EXPECT_TRUE(light->IsDigital());
    EXPECT_EQ(light->m_wStateWord, 0);
    light->SetInputValue(&b.d, 4);
    EXPECT_EQ(b.After(light), 0.0);
}

TEST(SystemsSensors, LightThresholdTextChoosesTheLevel)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* s = AddSensor<CLightSensor>(b);
    auto* sun = ControlOf<CStimulusSlider>(s);
    ASSERT_NE(sun, nullptr);
    const std::pair<const char*, int> texts[] = {{" 0% ", 0},  {" 20% ", 1},  {" 40% ", 2},   {" 60% ", 3},
                                                 {" 80% ", 4}, {" 100% ", 5}, {"anything", 5}};
    for (auto [text, level] : texts) {
        EXPECT_EQ(s->OnPropertyCommand(kSensorThreshold, text), 65);
        EXPECT_EQ(s->m_nThreshold, level) << text;
    }
    s->OnPropertyCommand(kSensorThreshold, " 60% ");
    // The sun reports 5 - position / 10: level 3 from position 29 up to 20.
    for (auto [position, high] : {std::pair{50, false}, {30, false}, {29, true}, {0, true}}) {
        DragTo(b, sun, position);
        EXPECT_EQ(s->GetLevel(), 5 - position / 10);
        EXPECT_NEAR(b.After(s), high ? 5.0 : 0.0, 1e-9) << position;
    }
}

TEST(SystemsSensors, SoundThresholdIsAWholeLevel)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* s = AddSensor<CSoundSensor>(b);
    EXPECT_EQ(s->OnPropertyCommand(kSensorThreshold, "2.7"), 65);
    EXPECT_FLOAT_EQ(s->m_fThreshold, 2.0f);
    EXPECT_EQ(s->m_threshold.Format(), CString("2"));
    s->SetInputValue(&b.d, 1);
    EXPECT_EQ(b.After(s), 0.0);
    s->SetInputValue(&b.d, 2);
    EXPECT_NEAR(b.After(s), 5.0, 1e-9);
    // Stepping goes by whole levels; out of 0..3 is clamped by the number.
    EXPECT_EQ(s->OnPropertyCommand(kSensorThresholdSpin, "1"), 65);
    EXPECT_FLOAT_EQ(s->m_fThreshold, 3.0f);
    EXPECT_EQ(s->OnPropertyCommand(36099, "1"), 0);
}

TEST(SystemsSensors, ALevelBeyondAnIntFromAFileCountsAsTheNearestInt)
{
    // The level is a float on file: a damaged file may hold any.
    EnsureTextGuiApp();
    SystemsBench b;
    auto* s = AddSensor<CTempSensor>(b);
    const struct {
        float level;
        int expected;
    } cases[] = {{5.9e13f, 2147483520}, {-5.9e13f, -2147483520}, {std::numeric_limits<float>::quiet_NaN(), 0},
                 {std::numeric_limits<float>::infinity(), 2147483520}, {42.75f, 42}, {-3.5f, -3}};
    for (const auto& c : cases) {
        s->m_fLevel = c.level;
        EXPECT_EQ(s->GetLevel(), c.expected) << c.level;
    }
}

struct ItemRow {
    int type;
    int id;
    const char* label;
    int width; // -1: the type's default
};

void ExpectItems(CPart* part, const std::vector<ItemRow>& rows)
{
    CControlItemList items;
    part->FillProperties(items);
    ASSERT_EQ(items.GetCount(), static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const CControlItem& it = items[static_cast<int>(i)];
        EXPECT_EQ(it.type, rows[i].type) << i;
        EXPECT_EQ(it.id, rows[i].id) << i;
        EXPECT_EQ(it.label, CString(rows[i].label)) << i;
        EXPECT_EQ(it.width, rows[i].width < 0 ? DefaultItemWidth(rows[i].type) : rows[i].width) << i;
    }
    EXPECT_TRUE(items[items.GetCount() - 1].options & CIO_ADDS_PART);
}

TEST(SystemsSensors, PropertyItemsAndTexts)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* temp = AddSensor<CTempSensor>(b);
    const std::vector<ItemRow> common = {{CI_STATIC, 36058, "Signal: ", 35},
                                         {CI_DROPLIST, 36059, "Digital\nAnalog", 70},
                                         {CI_STATIC, 36052, "   Threshold: ", 62}};
    std::vector<ItemRow> numbered = common;
    numbered.insert(numbered.end(),
                    {{CI_EDIT, 36053, "", 35}, {CI_SPIN, 36054, "", -1}, {CI_TOOLBUTTON, 33873, "", -1}});
    ExpectItems(temp, numbered);
    auto* sound = b.AddAt<CSoundSensor>(300, 400);
    numbered.back().id = 33878;
    ExpectItems(sound, numbered);
    auto* light = b.AddAt<CLightSensor>(300, 600);
    std::vector<ItemRow> listed = common;
    listed.insert(listed.end(), {{CI_DROPLIST, 36053, " 0% \n 20% \n 40% \n 60% \n 80% \n 100% ", 70},
                                 {CI_TOOLBUTTON, 33874, "", -1}});
    ExpectItems(light, listed);

    CControlItemList items;
    temp->FillProperties(items);
    EXPECT_EQ(temp->GetPropertyTexts(items), 2);
    EXPECT_EQ(items[items.FindById(36053)].label, CString("40"));
    EXPECT_EQ(items[items.FindById(36059)].label, CString("Digital"));
    // In analogue mode the threshold cannot be edited; other items can.
    for (bool digital : {true, false}) {
        temp->OnPropertyCommand(kSensorSignal, digital ? "Digital" : "Analog");
        int enabled = -1;
        temp->IsPropertyChecked(kSensorThreshold, enabled);
        EXPECT_EQ(enabled != 0, digital);
        enabled = -1;
        temp->IsPropertyChecked(kSensorSignal, enabled);
        EXPECT_EQ(enabled, 1);
    }
    temp->OnPropertyCommand(kSensorSignal, "Digital");
    // A threshold beyond 0..100 degrees is clamped to the range.
    EXPECT_EQ(temp->OnPropertyCommand(kSensorThreshold, "150"), 65);
    EXPECT_FLOAT_EQ(temp->m_fThreshold, 373.0f);
    // The same text again changes nothing: the toolbar shows the threshold again.
    EXPECT_EQ(temp->OnPropertyCommand(kSensorThreshold, "100"), 0x40);
}

} // namespace
