// The systems outputs driven by test sources at logic levels: what each
// shows after every step, how often it redraws, the can dispenser's frame
// timing at several update rates, the wheel, the 7 segment code, the sign's
// text and the transmitter-receiver link.
#include "systems_support.h"

#include "components/system_7sled.h"
#include "components/system_alarm.h"
#include "components/system_can.h"
#include "components/system_heater.h"
#include "components/system_lamp.h"
#include "components/system_message.h"
#include "components/system_motor.h"
#include "components/system_receive.h"
#include "components/system_send.h"
#include "model/parts/controlitem.h"
#include "model/text_qtapp.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

template <class Base>
class Counted : public Base {
public:
    int Draw(DWORD flags) override
    {
        ++draws;
        return Base::Draw(flags);
    }
    int draws = 0;
};

template <class T>
void CheckOnOff(const char* name)
{
    for (const LogicFamilyCase& f : LogicFamilies()) {
        SystemsBench b(f.family, f.supply);
        auto* out = b.AddAt<Counted<T>>(300, 200);
        ASSERT_EQ(out->GetTerminalCount(), 1) << name;
        EXPECT_EQ(out->GetKindCode(), 7);
        CLogicTestSource* in = b.SourceTo(out->GetTerminal(0), 0.0);
        b.Reset();   // draws the whole design
        out->draws = 0;
        b.Run(3);
        EXPECT_EQ(out->GetFrame(), 0) << name;
        EXPECT_EQ(out->draws, 0) << name;
        // Exactly at the threshold is not above it.
        in->volts = b.d.GetLogicThreshold();
        b.Run(2);
        EXPECT_FALSE(out->InputHigh()) << name;
        // A high input turns the picture on once; staying high redraws nothing.
        in->volts = b.d.GetLogicThreshold() + 0.01;
        b.Run(5);
        EXPECT_TRUE(out->InputHigh()) << name;
        EXPECT_TRUE(out->OnShown()) << name;
        EXPECT_EQ(out->GetFrame(), 1) << name;
        EXPECT_EQ(out->draws, 1) << name;
        EXPECT_EQ(out->m_dwState, 0x101u) << name;
        in->volts = 0.0;
        b.Run(3);
        EXPECT_EQ(out->GetFrame(), 0) << name;
        EXPECT_EQ(out->draws, 2) << name;
        EXPECT_EQ(out->m_dwState, 0u) << name;
    }
}

TEST(SystemsOutputs, HeaterLampAndAlarmShowTheirInput)
{
    EnsureTextGuiApp();
    CheckOnOff<CSystemHeater>("heater");
    CheckOnOff<CSystemLamp>("lamp");
    CheckOnOff<CSystemAlarm>("alarm");
}

TEST(SystemsOutputs, AlarmAsksForIdleTimeWhileOn)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* alarm = b.AddAt<CSystemAlarm>(300, 200);
    CLogicTestSource* in = b.SourceTo(alarm->GetTerminal(0), 5.0);
    b.Reset();
    b.Run(2);
    EXPECT_EQ(b.d.m_fileExtras.idleRequest & 1, 1);
    in->volts = 0.0;
    b.Run(2);
    EXPECT_EQ(b.d.m_fileExtras.idleRequest, 0);
}

TEST(SystemsOutputs, CanDispenserStepsStayAnIntForAnyRateOnFile)
{
    // A damaged file may give any rate, infinity and no number included.
    const struct {
        double rate;
        int n;
    } cases[] = {{std::numeric_limits<double>::infinity(), 1000000}, {1e300, 1000000}, {1e7, 1000000},
                 {std::numeric_limits<double>::quiet_NaN(), 1}, {-std::numeric_limits<double>::infinity(), 1}};
    for (const auto& c : cases) EXPECT_EQ(CSystemCan::StepsPerFrame(c.rate), c.n) << c.rate;
}

TEST(SystemsOutputs, CanDispenserTakesFourFramesOfRateOverTenSteps)
{
    EnsureTextGuiApp();
    // (update rate, steps per frame n = rate / 10 from 10 up, else 1)
    for (auto [rate, n] : {std::pair{5.0, 1}, {1.0, 1}, {10.0, 1}, {19.0, 1}, {25.0, 2}, {50.0, 5}, {100.0, 10}}) {
        EXPECT_EQ(CSystemCan::StepsPerFrame(rate), n);
        SystemsBench b;
        auto* can = b.AddAt<CSystemCan>(300, 200);
        CLogicTestSource* in = b.SourceTo(can->GetTerminal(0), 0.0);
        b.Reset(); // takes the rate from the display period
        b.d.SetUpdateRate(rate);
        b.Run(2);
        in->volts = 5.0;
        b.Run(); // the rising step arms the animation
        EXPECT_EQ(can->m_bDispensing, 1);
        std::vector<int> frames;
        int steps = 0;
        while (can->m_bDispensing && steps < 1000) {
            b.Run();
            frames.push_back(can->GetFrame());
            ++steps;
        }
        // After the rising step, 4n steps: frames 1 to 3 n steps each (frame 0
        // the first n - 1), then frame 0 again.
        EXPECT_EQ(steps, 4 * n) << rate;
        for (size_t i = 0; i + 1 < frames.size(); ++i) EXPECT_EQ(frames[i], static_cast<int>(i + 1) / n) << rate;
        EXPECT_EQ(frames.back(), 0);
        // Held high: no second can.
        b.Run(4 * n + 2);
        EXPECT_EQ(can->m_bDispensing, 0);
        EXPECT_EQ(can->m_bArmed, 0);
        // Falling re-arms; the next rise dispenses again.
        in->volts = 0.0;
        b.Run();
        EXPECT_EQ(can->m_bArmed, 1);
        in->volts = 5.0;
        b.Run();
        EXPECT_EQ(can->m_bDispensing, 1);
    }
}

TEST(SystemsOutputs, WheelTurnsOneFramePerStep)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* motor = b.AddAt<CSystemMotor>(300, 200);
    ASSERT_EQ(motor->GetTerminalCount(), 2);
    CLogicTestSource* a = b.SourceTo(motor->GetTerminal(0), 0.0);
    CLogicTestSource* c = b.SourceTo(motor->GetTerminal(1), 0.0);
    b.Reset();
    struct Step {
        double a, b;
        int frame, direction;
    };
    // Frames wrap 11 -> 0 forwards and 0 -> 11 backwards.
    const Step steps[] = {{0, 0, 0, 1}, {5, 5, 0, 1},  {0, 5, 1, 0},  {0, 5, 2, 0},  {5, 5, 2, 1}, {5, 0, 1, 2},
                          {5, 0, 0, 2}, {5, 0, 11, 2}, {5, 0, 10, 2}, {0, 5, 11, 0}, {0, 5, 0, 0}, {0, 0, 0, 1}};
    for (const Step& s : steps) {
        a->volts = s.a;
        c->volts = s.b;
        b.Run();
        EXPECT_EQ(motor->GetFrame(), s.frame) << s.a << "," << s.b;
        EXPECT_EQ(motor->m_nDirection, s.direction);
    }
}

TEST(SystemsOutputs, SevenSegmentShowsTheCodeOfItsPins)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* led = b.AddAt<Counted<CSystem7SLED>>(300, 200);
    ASSERT_EQ(led->GetTerminalCount(), 4);
    std::vector<CLogicTestSource*> in;
    for (int i = 0; i < 4; ++i) in.push_back(b.SourceTo(led->GetTerminal(i), 0.0));
    b.Reset();
    // Pins 1 to 4 weigh 8, 4, 2, 1: pins 1 and 4 high give 9.
    for (int code : {9, 0, 15, 6, 10, 1, 8}) {
        for (int i = 0; i < 4; ++i) in[i]->volts = (code >> (3 - i)) & 1 ? 5.0 : 0.0;
        b.Run();
        EXPECT_EQ(led->m_nShownCode, code);
        EXPECT_EQ(led->m_wStateWord, code);
    }
    const int draws = led->draws;
    b.Run(3);
    EXPECT_EQ(led->draws, draws); // an unchanged code is not redrawn
    // The shown code survives a simulation reset.
    b.Reset();
    EXPECT_EQ(led->m_nShownCode, 8);
}

TEST(SystemsOutputs, TransmitterReachesReceiversOneStepLate)
{
    EnsureTextGuiApp();
    for (const LogicFamilyCase& f : LogicFamilies()) {
        SystemsBench b(f.family, f.supply);
        auto* send = b.AddAt<CSystemASend>(300, 200);
        auto* other = b.AddAt<CSystemASend>(300, 400);
        auto* receive = b.AddAt<CSystemAReceive>(600, 200);
        auto* receive2 = b.AddAt<CSystemAReceive>(600, 400);
        EXPECT_EQ(receive->GetKindCode(), 0);
        CLogicTestSource* in = b.SourceTo(send->GetTerminal(0), 0.0);
        b.SourceTo(other->GetTerminal(0), 0.0);
        b.Reset();
        b.Run(3);
        EXPECT_EQ(receive->GetTerminal(0)->GetVoltage(), 0.0);
        // The input is seen in the pass it rises, sent one pass later and
        // stamped by the receivers in the pass after that.
        in->volts = f.supply;
        std::vector<double> seen;
        for (int i = 0; i < 4; ++i) seen.push_back(b.After(receive));
        const std::vector<double> expected = {0.0, 0.0, f.supply, f.supply};
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(seen[i], expected[i], 1e-9) << i;
        EXPECT_NEAR(receive2->GetTerminal(0)->GetVoltage(), f.supply, 1e-9);
        in->volts = 0.0;
        seen.clear();
        for (int i = 0; i < 3; ++i) seen.push_back(b.After(receive));
        EXPECT_NEAR(seen[0], f.supply, 1e-9);
        EXPECT_NEAR(seen[1], f.supply, 1e-9);
        EXPECT_EQ(seen[2], 0.0);
    }
}

TEST(SystemsOutputs, AerialsAnimateThroughFourFrames)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* send = b.AddAt<CSystemASend>(300, 200);
    auto* receive = b.AddAt<CSystemAReceive>(600, 200);
    b.Reset();
    for (int i = 1; i <= 9; ++i) {
        b.Run();
        EXPECT_EQ(send->GetFrame(), i % 4);
        EXPECT_EQ(receive->m_wStateWord, i % 4);
    }
}

TEST(SystemsOutputs, SignShowsItsMessageCutToItsBox)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* sign = b.AddAt<CSystemMessage>(300, 200);
    auto* box = dynamic_cast<CStandInSignText*>(sign->GetSignText());
    ASSERT_NE(box, nullptr);
    // The box: from x - 25 to x + 50 at (77, -2) from the sign's place, so
    // (50 + 25 - 6) / 6 = 11 characters fit.
    EXPECT_EQ(box->GetRect(), CRect(300 + 52, 200 - 7, 300 + 127, 200 + 7));
    CLogicTestSource* in = b.SourceTo(sign->GetTerminal(0), 0.0);
    b.Reset();
    // (message, shown text)
    const std::pair<const char*, const char*> cases[] = {{"Hello", "Hello"},
                                                         {"Exactly 11!", "Exactly 11!"},
                                                         {"Twelve chars", "Twelve ch.."},
                                                         {"A very long message", "A very lo.."},
                                                         {"", " "}};
    for (auto [message, shown] : cases) {
        EXPECT_EQ(sign->OnPropertyCommand(kSignMessageItem, message), 65);
        EXPECT_EQ(sign->m_strShown, CString(shown)) << message;
        in->volts = 0.0;
        b.Run();
        EXPECT_EQ(box->shown, CString(" ")) << message;
        in->volts = 5.0;
        b.Run();
        EXPECT_EQ(box->shown, CString(shown)) << message;
    }
    EXPECT_EQ(sign->m_strMessage, CString(" "));
    EXPECT_EQ(sign->OnPropertyCommand(36099, "x"), 0);
    CControlItemList items;
    sign->FillProperties(items);
    ASSERT_EQ(items.GetCount(), 2);
    EXPECT_EQ(items[0].id, 36053);
    EXPECT_EQ(items[0].width, 100);
    EXPECT_EQ(items[1].type, CI_TOOLBUTTON);
    EXPECT_EQ(items[1].id, 33890);
    sign->OnPropertyCommand(kSignMessageItem, "Open");
    sign->GetPropertyTexts(items);
    EXPECT_EQ(items[0].label, CString("Open"));
}

// A box that finds every text too long leaves just the two dots.
class CNarrowSign : public CStandInSignText {
public:
    bool TextOverflows(const CString&) override { return true; }
};

TEST(SystemsOutputs, SignWithNoRoomShowsTwoDots)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* sign = b.AddAt<CSystemMessage>(300, 200);
    // Swap the box for a narrow one.
    CPart* old = dynamic_cast<CPart*>(sign->GetSignText());
    sign->RemoveChild(old);
    delete old;
    sign->AddChild(new CNarrowSign);
    sign->OnPropertyCommand(kSignMessageItem, "Hi");
    EXPECT_EQ(sign->m_strShown, CString(".."));
}

} // namespace
