// The other canvas controls against a part that records what it is told:
// the latching key, the direction key, the thermometer, the tank, the lamp
// slider, the drag knobs, the hand and the resize handle; and every
// control's record.
#include "switches_bench.h"

#include "components/directionkey.h"
#include "components/hand.h"
#include "components/key.h"
#include "components/knob.h"
#include "components/lamp_slider.h"
#include "components/latchkey.h"
#include "components/mercury.h"
#include "components/resize.h"
#include "components/rotateknob.h"
#include "components/slider.h"
#include "components/toggle.h"
#include "components/waterlevel.h"
#include "model/parts/part_records.h"

#include <cmath>
#include <memory>
#include <numbers>

namespace {

// What a control reports.
class CRecorder : public CPart {
public:
    CRecorder() : CPart(CRect(100, 100, 140, 140)) {}
    int SetInputValue(CPartTree*, int value) override
    {
        values.push_back(value);
        return 0;
    }
    void AccumulateMotion(CPartTree*, int phase, int axis, double d) override
    {
        motions.push_back({phase, axis, d});
    }
    int TrackHandle(CPartTree*, CPoint) override { return accept; }
    struct Motion {
        int phase, axis;
        double d;
    };
    std::vector<int> values;
    std::vector<Motion> motions;
    int accept = 1;
};

struct Rig {
    CCircuit d;
    CRecorder part;
    Rig()
    {
        EnsureTextGuiApp();
        d.SetOptionBits(OPT_SIMULATE, true);
        d.SetOptionBits(0x100000, true);
    }
};

TEST(ControlsParts, ALatchingKeyLatchesOnReleaseAndReportsNothingOnPress)
{
    Rig r;
    CLatchKey key(1, &r.part);
    EXPECT_EQ(key.m_rect.Size(), CSize(16, 14));
    EXPECT_EQ(key.m_rect.left, r.part.m_rect.right + 4);
    struct Step {
        bool press;
        int state;
        std::vector<int> reported;
    };
    const Step steps[] = {{true, 2, {}},     {false, 1, {1}},       {true, 3, {1}},
                          {true, 3, {1}},    {false, 0, {1, 0}},    {true, 2, {1, 0}}};
    for (const Step& s : steps) {
        if (s.press)
            EXPECT_EQ(key.OnPress(&r.d, 0, 0), 0);
        else
            EXPECT_EQ(key.OnRelease(&r.d, 0, 0), 1);
        EXPECT_EQ(key.GetState(), s.state);
        EXPECT_EQ(r.part.values, s.reported);
    }
}

TEST(ControlsParts, ADirectionKeyHalfStaysDownUntilPressedAgain)
{
    Rig r;
    CDirectionKey key(100, 200, &r.part);
    const int upper = 205, lower = 215;
    struct Step {
        bool press;
        int y;
        int state;
    };
    const Step steps[] = {{true, upper, 1}, {false, upper, 1}, {true, upper, 1}, {false, upper, 0},
                          {true, lower, 3}, {false, lower, 3}, {true, upper, 1}, {false, upper, 1}};
    std::vector<int> expected;
    for (const Step& s : steps) {
        if (s.press)
            key.OnPress(&r.d, 110, s.y);
        else
            key.OnRelease(&r.d, 110, s.y);
        EXPECT_EQ(key.GetState(), s.state);
        expected.push_back(s.state);
    }
    EXPECT_EQ(r.part.values, expected);
}

TEST(ControlsParts, TheThermometerReportsKelvinAndTheTankItsLevel)
{
    Rig r;
    CMercury thermometer(100, 100, &r.part);
    EXPECT_EQ(thermometer.m_rect.Size(), CSize(40, 88));
    EXPECT_EQ(thermometer.GetTemperature(), 298);
    const CPoint grip = thermometer.KnobOrigin() + CPoint(7, 7);
    thermometer.OnPress(&r.d, grip.x, grip.y);
    for (auto [dy, kelvin] : {std::pair{-1000, 313}, std::pair{1000, 253}, std::pair{-5, 303}}) {
        thermometer.OnDrag(&r.d, grip + CPoint(0, dy));
        EXPECT_EQ(r.part.values.back(), kelvin) << dy;
    }
    CWaterLevel tank(100, 300, &r.part);
    EXPECT_EQ(tank.m_rect, CRect(86, 302, 132, 332));
    EXPECT_EQ(tank.GetLevel(), 1);
    const CPoint handle = tank.KnobOrigin() + CPoint(7, 7);
    tank.OnPress(&r.d, handle.x, handle.y);
    for (auto [dy, level] : {std::pair{-6, 7}, std::pair{-5, 6}, std::pair{-1, 2}, std::pair{0, 1}, std::pair{3, 1},
                             std::pair{100, 1}}) {
        tank.OnDrag(&r.d, handle + CPoint(0, dy));
        EXPECT_EQ(r.part.values.back(), level) << dy;
    }
    // With animation off neither moves.
    r.part.values.clear();
    r.d.SetOptionBits(OPT_SIMULATE, false);
    thermometer.OnDrag(&r.d, grip);
    tank.OnDrag(&r.d, handle);
    EXPECT_TRUE(r.part.values.empty());
}

TEST(ControlsParts, TheLampSliderStartsAtTheDarkEnd)
{
    Rig r;
    CLamp lamp(-46, 6, &r.part);
    EXPECT_EQ(lamp.m_rect, CRect(54, 106, 80, 146));
    EXPECT_EQ(lamp.GetReported(), 20);
    EXPECT_EQ(lamp.GetOperated(), &r.part);
}

TEST(ControlsParts, KnobsMoveTheirMechanismOnlyWithHandlesShown)
{
    Rig r;
    CKnob knob(120, 120, 3, 3, 2, &r.part);
    EXPECT_EQ(knob.m_rect, CRect(117, 117, 124, 124));
    EXPECT_EQ(knob.GetHitClass(), 8u);
    knob.OnPress(&r.d, 120, 120);
    EXPECT_EQ(knob.GetOfferedCursor(), 19);
    EXPECT_TRUE(knob.IsHighlighted());
    knob.OnDrag(&r.d, CPoint(160, 130));
    knob.OnDrag(&r.d, CPoint(140, 100));
    EXPECT_EQ(knob.OnRelease(&r.d, 140, 100), 1);
    EXPECT_FALSE(knob.IsHighlighted());
    EXPECT_EQ(knob.GetOfferedCursor(), 0);
    ASSERT_EQ(r.part.motions.size(), 4u);
    EXPECT_EQ(r.part.motions[0].phase, 0);
    EXPECT_EQ(r.part.motions[1].phase, 1);
    EXPECT_DOUBLE_EQ(r.part.motions[1].d, 0.01);
    EXPECT_DOUBLE_EQ(r.part.motions[2].d, -0.005);
    EXPECT_EQ(r.part.motions[3].phase, 2);
    for (const auto& m : r.part.motions) EXPECT_EQ(m.axis, 2);
    // View/Handles off: nothing happens.
    r.d.SetOptionBits(0x100000, false);
    knob.OnPress(&r.d, 120, 120);
    knob.OnDrag(&r.d, CPoint(200, 120));
    EXPECT_EQ(r.part.motions.size(), 4u);
    // The anchor moves the knob by its change.
    EXPECT_EQ(knob.SetAnchor(CPoint(0, 0)), 1);
    EXPECT_EQ(knob.SetAnchor(CPoint(5, -2)), 0);
    EXPECT_EQ(knob.m_rect.TopLeft(), CPoint(122, 115));
}

TEST(ControlsParts, ARotateKnobPassesTheTurnInWholeDegrees)
{
    constexpr double degree = std::numbers::pi / 180.0;
    const CPoint c(0, 0);
    // A quarter turn from +x to +y (downwards on the canvas) is -90 degrees.
    EXPECT_NEAR(CRotateKnob::TurnAngle(c, CPoint(100, 0), CPoint(0, 100)), -90 * degree, 1e-12);
    EXPECT_NEAR(CRotateKnob::TurnAngle(c, CPoint(0, 100), CPoint(100, 0)), 90 * degree, 1e-12);
    // Across the negative x axis the turn wraps to the short way round.
    EXPECT_NEAR(CRotateKnob::TurnAngle(c, CPoint(-100, 1), CPoint(-100, -1)), -1 * degree, 1e-12);
    // Half a degree and more rounds up; a straight half turn is +180.
    EXPECT_NEAR(CRotateKnob::TurnAngle(c, CPoint(1000, 0), CPoint(1000, -9)), 1 * degree, 1e-12);
    EXPECT_NEAR(CRotateKnob::TurnAngle(c, CPoint(100, 0), CPoint(-100, 0)), 180 * degree, 1e-12);
    Rig r;
    CRotateKnob knob(20, 20, 3, 3, 1, &r.part);
    knob.OnPress(&r.d, 220, 120);
    knob.OnDrag(&r.d, CPoint(120, 220));
    ASSERT_EQ(r.part.motions.size(), 2u);
    EXPECT_NEAR(r.part.motions[1].d, -90 * degree, 1e-12);
}

TEST(ControlsParts, TheHandFollowsThePointerAndReportsPressDragRelease)
{
    Rig r;
    CHand hand(&r.part, 40);
    EXPECT_EQ(hand.m_rect, CRect(0, 0, 40, 40));
    EXPECT_EQ(hand.GetHitClass(), 8u);
    // Radius 16 about (20, 20): the middle is zone 1, the rim zone 2.
    EXPECT_EQ(hand.Zone(CPoint(25, 20)), 1);
    EXPECT_EQ(hand.Zone(CPoint(38, 20)), 2);
    CString bubble;
    EXPECT_EQ(hand.ShowInfo(CPoint(38, 20), bubble), 21);
    EXPECT_EQ(hand.ShowInfo(CPoint(20, 20), bubble), 3);
    hand.OnPress(&r.d, 38, 20);
    EXPECT_EQ(hand.GetOfferedCursor(), 19);
    EXPECT_TRUE(hand.IsHeld());
    EXPECT_EQ(hand.GetCentre(nullptr), CPoint(38, 20));
    hand.OnDrag(&r.d, CPoint(50, 60));
    int state = 0;
    EXPECT_EQ(hand.GetCentre(&state), CPoint(50, 60));
    EXPECT_EQ(state, 2);
    EXPECT_EQ(hand.OnRelease(&r.d, 55, 60), 10);
    EXPECT_FALSE(hand.IsHeld());
    EXPECT_EQ(r.part.values, (std::vector<int>{0, 1, 2}));
    hand.m_wGrab = 0;
    EXPECT_EQ(hand.Zone(CPoint(1000, 1000)), 1);
}

TEST(ControlsParts, AResizeHandleMovesInWholeGridMultiples)
{
    Rig r;
    auto* part = new CRecorder;
    r.d.AddChild(part);
    CResize handle(40, 20, 0, 0, part, 2, CResize::kHorizontal);
    handle.Place();
    EXPECT_EQ(handle.m_rect, CRect(136, 116, 148, 128));
    const CPoint start(140, 120);
    handle.OnPress(&r.d, start.x, start.y);
    EXPECT_TRUE(part->IsSelected());
    EXPECT_EQ(handle.GetOfferedCursor(), 18);
    // Grid 8 x multiple 2: 8 pixels is no step, 16 is one.
    handle.OnDrag(&r.d, start + CPoint(8, 0));
    EXPECT_FALSE(handle.IsDragging());
    handle.OnDrag(&r.d, start + CPoint(16, 0));
    EXPECT_TRUE(handle.IsDragging());
    EXPECT_EQ(handle.m_rect.left, 152);
    // The part was taken out of the design for the drag and goes back.
    EXPECT_EQ(CPart::FindParentOf(r.d.GetFirstChild(), part), nullptr);
    EXPECT_EQ(handle.OnRelease(&r.d, 156, 120), 1);
    EXPECT_NE(CPart::FindParentOf(r.d.GetFirstChild(), part), nullptr);
    // A press and release without a drag only deselects.
    handle.OnPress(&r.d, 150, 120);
    EXPECT_EQ(handle.OnRelease(&r.d, 150, 120), 0);
    EXPECT_FALSE(part->IsSelected());
}

// ---- records ----

using Bytes = std::vector<uint8_t>;

template <class T>
std::unique_ptr<T> ReadBack(const Bytes& bytes)
{
    CArchive ar(bytes);
    ar.SetVersion(kCurrentVersion);
    std::unique_ptr<T> p(dynamic_cast<T*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

Bytes Write(CObject* o)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(o);
    return ar.GetBuffer();
}

template <class T>
void RoundTrip(T& control)
{
    const Bytes bytes = Write(&control);
    auto back = ReadBack<T>(bytes);
    ASSERT_NE(back, nullptr) << control.GetRuntimeClass()->m_lpszClassName;
    EXPECT_EQ(back->GetState(), control.GetState());
    EXPECT_EQ(back->m_rect, control.m_rect);
    EXPECT_EQ(Write(back.get()), bytes) << control.GetRuntimeClass()->m_lpszClassName;
}

TEST(ControlsParts, EveryControlReadsBackToItself)
{
    Rig r;
    CToggle lever(2, &r.part, 0);
    lever.SetState(1);
    RoundTrip(lever);
    CKey key(2, &r.part, 0);
    RoundTrip(key);
    CLatchKey latch(1, &r.part);
    latch.SetState(1);
    RoundTrip(latch);
    CSlider slider(1, &r.part, &r.part, nullptr, 0);
    slider.SetPosition(20);
    RoundTrip(slider);
    CLamp lamp(-46, 6, &r.part);
    RoundTrip(lamp);
    CMercury thermometer(0, 0, &r.part);
    thermometer.SetPosition(40);
    RoundTrip(thermometer);
    CWaterLevel tank(0, 0, &r.part);
    RoundTrip(tank);
    CDirectionKey direction(0, 0, &r.part);
    direction.SetState(3);
    RoundTrip(direction);
    CHand hand(&r.part, 30);
    hand.m_wGrab = 0;
    RoundTrip(hand);
    auto handBack = ReadBack<CHand>(Write(&hand));
    EXPECT_EQ(handBack->m_wGrab, 0);
    CKnob knob(10, 10, 3, 3, 7, &r.part);
    knob.SetAnchor(CPoint(-5, 9));
    RoundTrip(knob);
    auto knobBack = ReadBack<CKnob>(Write(&knob));
    EXPECT_EQ(knobBack->GetAnchor(), CPoint(-5, 9));
    EXPECT_EQ(knobBack->GetAxis(), 7);
    CRotateKnob turn(-12, 30, 3, 3, 4, &r.part);
    RoundTrip(turn);
    EXPECT_EQ(ReadBack<CRotateKnob>(Write(&turn))->m_centre, CPoint(-12, 30));
    CResize handle(40, -20, 0, 0, &r.part, 3, CResize::kVertical);
    RoundTrip(handle);
    auto handleBack = ReadBack<CResize>(Write(&handle));
    EXPECT_EQ(handleBack->m_anchor, CPoint(40, -20));
    EXPECT_EQ(handleBack->GetGridMultiple(), 3);
}

TEST(ControlsParts, DamagedControlRecordsAreKeptInRange)
{
    Rig r;
    // A grid multiple of 0 would divide the drag by zero.
    CResize handle(40, 20, 0, 0, &r.part, 1, CResize::kHorizontal);
    handle.m_wGridMultiple = 0;
    EXPECT_EQ(ReadBack<CResize>(Write(&handle))->GetGridMultiple(), 1);
    // States and positions beyond the pictures' frames.
    CLatchKey latch(1, &r.part);
    latch.SetState(9);
    EXPECT_EQ(ReadBack<CLatchKey>(Write(&latch))->GetState(), 0);
    CDirectionKey direction(0, 0, &r.part);
    direction.SetState(7);
    EXPECT_EQ(ReadBack<CDirectionKey>(Write(&direction))->GetState(), 0);
    CMercury thermometer(0, 0, &r.part);
    thermometer.m_wState = 0;
    EXPECT_EQ(ReadBack<CMercury>(Write(&thermometer))->GetPosition(), 1);
    CWaterLevel tank(0, 0, &r.part);
    tank.m_wState = 60;
    EXPECT_EQ(ReadBack<CWaterLevel>(Write(&tank))->GetPosition(), 9);
}

} // namespace
