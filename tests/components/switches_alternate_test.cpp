// The alternate looks of the switches, the push button and the buzzer: the
// large pictures carry pins, so a part added in its other look has its
// terminals, its large control above it, and passes current when wired;
// the look and the pins survive the record.
#include "switches_bench.h"

#include "components/buzzer.h"
#include "components/dpdt.h"
#include "components/key.h"
#include "components/pushmake.h"
#include "components/spdt.h"
#include "components/spst.h"
#include "components/toggle.h"
#include "model/display/display.h"
#include "model/display/view.h"
#include "model/display/visual.h"
#include "tests/components/component_archive.h"

#include <QImage>

#include <memory>

namespace {

// Built as the Add menu builds a part in its other look: the look first,
// then the variant and the children.
template <class T>
T* AddAlternate(CCircuit& d, int x, int y)
{
    auto* p = new T;
    p->m_rect.SetRect(x, y, x, y);
    p->m_pCircuit = &d;
    p->UseAlternateLook();
    p->InitVariant(p->GetRuntimeClass());
    p->Initialise();
    d.AddChild(p);
    p->Drop(&d);
    return p;
}

struct LookCase {
    CComponent* (*make)(CCircuit&);
    int pictureId;
    int pins;
    bool hasControl;
    bool key;
};

template <class T>
CComponent* Make(CCircuit& d)
{
    return AddAlternate<T>(d, 200, 300);
}

const LookCase kCases[] = {{Make<CSPST>, 445, 2, true, false},
                           {Make<CSPDT>, 443, 3, true, false},
                           {Make<CPushMake>, 439, 2, true, true},
                           {Make<CBuzzer>, 425, 2, false, false}};

TEST(SwitchesAlternate, LargePicturesGiveTerminalsAndALargeControlAbove)
{
    for (const LookCase& c : kCases) {
        SwitchBench b;
        CComponent* part = c.make(b.d);
        const char* name = part->GetRuntimeClass()->m_lpszClassName;
        EXPECT_EQ(part->HasAlternateLook(), 1) << name;
        ASSERT_NE(part->m_pVisual, nullptr) << name;
        EXPECT_EQ(part->m_pVisual->GetBitmapId(0), c.pictureId) << name;
        EXPECT_EQ(part->GetTerminalCount(), c.pins) << name;
        // Every pin lies on the part's outline, where a wire can meet it.
        for (int i = 0; i < part->GetTerminalCount(); ++i) {
            const CPoint pin = part->GetTerminal(i)->GetPinPoint();
            CRect grown = part->m_rect;
            grown.InflateRect(1, 1);
            EXPECT_TRUE(grown.PtInRect(pin)) << name << " pin " << i;
        }
        CToggle* control = ControlOf<CToggle>(part);
        ASSERT_EQ(control != nullptr, c.hasControl) << name;
        if (!control) continue;
        EXPECT_EQ(dynamic_cast<CKey*>(control) != nullptr, c.key) << name;
        EXPECT_EQ(control->HasAlternateLook(), 1) << name;
        EXPECT_EQ(control->GetLinkedSwitch(), part) << name;
        // The large control stands on the part's top edge.
        EXPECT_LE(control->m_rect.bottom, part->m_rect.top + 2) << name;
        EXPECT_GE(control->m_rect.bottom, part->m_rect.top) << name;
        EXPECT_GE(control->m_rect.left, part->m_rect.left) << name;
        // (the key sits 2 pixels right of the middle, as keys do)
        EXPECT_LE(control->m_rect.right, part->m_rect.right + 2) << name;
    }
}

TEST(SwitchesAlternate, ALargeLeverSwitchesItsWiredLoop)
{
    SwitchBench b;
    CSPST* sw = AddAlternate<CSPST>(b.d, 200, 400);
    ASSERT_EQ(sw->GetTerminalCount(), 2);
    CDiodesResistor* r = b.Feed(sw->GetTerminal(0), sw->GetTerminal(1), 9.0, 1000.0, 40, 100);
    b.Start();
    b.Run(1);
    EXPECT_NEAR(Amps(r), 0.0, 1e-12);
    CToggle* lever = ControlOf<CToggle>(sw);
    ASSERT_NE(lever, nullptr);
    EXPECT_EQ(b.Click(lever->m_rect.CenterPoint()), 1);
    EXPECT_EQ(sw->m_wStateWord, 1);
    b.Run(1);
    EXPECT_NEAR(Amps(r), 0.009, 1e-12);
}

TEST(SwitchesAlternate, ALargeKeyMakesItsWiredLoopWhileHeld)
{
    SwitchBench b;
    CPushMake* button = AddAlternate<CPushMake>(b.d, 200, 400);
    ASSERT_EQ(button->GetTerminalCount(), 2);
    CDiodesResistor* r = b.Feed(button->GetTerminal(0), button->GetTerminal(1), 9.0, 1000.0, 40, 100);
    b.Start();
    b.Run(1);
    EXPECT_NEAR(Amps(r), 0.0, 1e-12);
    CKey* key = ControlOf<CKey>(button);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(b.Press(key->m_rect.CenterPoint()), key);
    b.Run(1);
    EXPECT_NEAR(Amps(r), 0.009, 1e-12);
    b.Release(key->m_rect.CenterPoint());
    b.Run(2);
    EXPECT_NEAR(Amps(r), 0.0, 1e-12);
}

// The changeover switch in its other look switches its common, pin 1,
// between pins 0 (state 1) and 2 (state 0).
TEST(SwitchesAlternate, ALargeChangeoverSwitchesPinOneBetweenZeroAndTwo)
{
    for (int state : {0, 1}) {
        SwitchBench b;
        CSPDT* sw = AddAlternate<CSPDT>(b.d, 300, 300);
        ASSERT_EQ(sw->GetTerminalCount(), 3);
        // 9 V into the common through 1 k; each contact back through 1 k.
        auto* cell = AddTestPart<CDiodesCell>(b.d, 40, 600);
        auto* feed = AddTestPart<CDiodesResistor>(b.d, 40, 700);
        Join(b.d, cell->A(), feed->A());
        Join(b.d, feed->B(), sw->GetTerminal(1));
        CDiodesResistor* loads[2];
        for (int i = 0; i < 2; ++i) {
            loads[i] = AddTestPart<CDiodesResistor>(b.d, 160 + 120 * i, 800 + 40 * i);
            Join(b.d, sw->GetTerminal(i == 0 ? 0 : 2), loads[i]->A());
            Join(b.d, loads[i]->B(), cell->B());
        }
        sw->SetInputValue(nullptr, state);
        b.Start();
        b.Run(1);
        EXPECT_NEAR(Amps(loads[0]), state == 1 ? 0.0045 : 0.0, 1e-9) << state;
        EXPECT_NEAR(Amps(loads[1]), state == 0 ? 0.0045 : 0.0, 1e-9) << state;
    }
}

TEST(SwitchesAlternate, ALargeBuzzerSoundsAcrossItsPins)
{
    SwitchBench b;
    CBuzzer* buzzer = AddAlternate<CBuzzer>(b.d, 200, 400);
    ASSERT_EQ(buzzer->GetTerminalCount(), 2);
    CDiodesResistor* r = b.Feed(buzzer->GetTerminal(0), buzzer->GetTerminal(1), 6.0, 1.0, 40, 100);
    b.Start();
    b.Run(1);
    // 6 V over 1 ohm and the buzzer's 0.00417 S.
    const double g = 0.00417;
    EXPECT_NEAR(Amps(r), 6.0 / (1.0 + 1.0 / g), 1e-9);
    EXPECT_EQ(buzzer->m_wStateWord, 1);
}

TEST(SwitchesAlternate, TheLookAndThePinsSurviveTheRecord)
{
    for (const LookCase& c : kCases) {
        SwitchBench b;
        CComponent* p = c.make(b.d);
        const char* name = p->GetRuntimeClass()->m_lpszClassName;
        p->m_wStateWord = 1;
        const Bytes bytes = WriteOne(p, kCurrentVersion);
        auto q = ReadOne(bytes, kCurrentVersion);
        ASSERT_NE(q, nullptr) << name;
        EXPECT_EQ(q->HasAlternateLook(), 1) << name;
        EXPECT_EQ(q->m_pVisual, p->m_pVisual) << name;
        EXPECT_EQ(q->m_wStateWord, 1) << name;
        ASSERT_EQ(q->GetTerminalCount(), p->GetTerminalCount()) << name;
        for (int i = 0; i < p->GetTerminalCount(); ++i)
            EXPECT_EQ(q->GetTerminal(i)->GetPinPoint(), p->GetTerminal(i)->GetPinPoint()) << name << i;
        CToggle* before = ControlOf<CToggle>(p);
        CToggle* after = ControlOf<CToggle>(q.get());
        ASSERT_EQ(before == nullptr, after == nullptr) << name;
        if (after) {
            EXPECT_EQ(after->HasAlternateLook(), 1) << name;
            EXPECT_EQ(after->m_rect, before->m_rect) << name;
            EXPECT_EQ(after->GetOperated(), q.get()) << name;
        }
        EXPECT_EQ(WriteOne(q.get(), kCurrentVersion), bytes) << name;
    }
}

// Built as the toolbar builds a part in its usual look.
template <class T>
CComponent* MakePlain(CCircuit& d)
{
    auto* p = new T;
    p->m_rect.SetRect(200, 300, 200, 300);
    p->m_pCircuit = &d;
    p->InitVariant(p->GetRuntimeClass());
    p->Initialise();
    d.AddChild(p);
    p->Drop(&d);
    return p;
}

// A lever or key is a picture over its switch: in every turn the switch
// allows, the control's picture is turned as the switch was turned from
// where it started, its rect has the turned size, a turned picture exists
// to draw, and the control still stands beside the switch, not over it.
TEST(SwitchesAlternate, ControlsTurnWithTheirSwitchInEveryOrientation)
{
    CComponent* (*const makers[])(CCircuit&) = {Make<CSPST>,      Make<CSPDT>,      Make<CPushMake>,
                                                MakePlain<CSPST>, MakePlain<CSPDT>, MakePlain<CDPDT>,
                                                MakePlain<CPushMake>};
    for (auto make : makers) {
        SwitchBench b;
        CComponent* part = make(b.d);
        const char* name = part->GetRuntimeClass()->m_lpszClassName;
        CToggle* control = ControlOf<CToggle>(part);
        ASSERT_NE(control, nullptr) << name;
        const int start = part->m_nOrientation;
        const CSize upright = control->m_rect.Size();
        for (int step = 1; step <= 8; ++step) {
            const int code = step & 7;
            if (!(part->m_nOrientationMask & (1 << code)) || code == part->m_nOrientation) continue;
            part->SetOrientation(code, part->m_nOrientation, 0, nullptr);
            SCOPED_TRACE(testing::Message() << name << (part->HasAlternateLook() ? " (other look)" : "")
                                            << ", turned from " << start << " to " << code);
            const int drawn = control->m_nOrientation;
            for (CPoint v : {CPoint(1, 0), CPoint(0, 1)})
                EXPECT_EQ(TurnDoubled(v, drawn), TurnPoint(v, CPoint(0, 0), code, start));
            EXPECT_EQ(control->m_rect.Size(), control->m_pVisual->GetSize(drawn));
            EXPECT_EQ(control->m_rect.Size(), IsOddOrientation(code) != IsOddOrientation(start)
                                                  ? CSize(upright.cy, upright.cx)
                                                  : upright);
            EXPECT_NE(control->m_pVisual->GetBitmap(drawn), nullptr);
            CRect inner = part->m_rect, overlap;
            inner.DeflateRect(3, 3);
            EXPECT_FALSE(overlap.IntersectRect(inner, control->m_rect)) << "the control stands over its switch";
        }
    }
}

// A lever or key read back from a file draws as it did before: every turn
// the switch allows, both states, both looks.  Controls are drawn while the
// design animates (option 0x80); the picture is compared pixel by pixel.
TEST(SwitchesAlternate, ControlsReadFromAFileDrawAsBefore)
{
    constexpr DWORD kAnimating = OPT_SIMULATE | 0x80;
    auto picture = [](CToggle* control) {
        CImageView view(400, 400, ColourRGB(255, 255, 255));
        {
            CDisplay display(&view);
            control->Draw(kAnimating);
        }
        return view.Image();
    };
    CComponent* (*const makers[])(CCircuit&) = {MakePlain<CSPST>, Make<CSPST>, MakePlain<CPushMake>,
                                                Make<CPushMake>};
    for (auto make : makers) {
        SwitchBench b;
        CComponent* part = make(b.d);
        for (int code = 0; code < 8; ++code) {
            if (!(part->m_nOrientationMask & (1 << code))) continue;
            if (code != part->m_nOrientation) part->SetOrientation(code, part->m_nOrientation, 0, nullptr);
            for (int state : {0, 1}) {
                SCOPED_TRACE(testing::Message() << part->GetRuntimeClass()->m_lpszClassName
                                                << (part->HasAlternateLook() ? " (other look)" : "") << ", turn "
                                                << code << ", state " << state);
                CToggle* control = ControlOf<CToggle>(part);
                ASSERT_NE(control, nullptr);
                control->SetState(state);
                const QImage before = picture(control);
                auto q = ReadOne(WriteOne(part, kCurrentVersion), kCurrentVersion);
                ASSERT_NE(q, nullptr);
                CToggle* read = ControlOf<CToggle>(q.get());
                ASSERT_NE(read, nullptr);
                ASSERT_NE(read->m_pVisual, nullptr);
                EXPECT_EQ(read->m_pVisual, control->m_pVisual);
                EXPECT_EQ(read->m_rect, control->m_rect);
                const QImage after = picture(read);
                int ink = 0;
                for (int y = 0; y < after.height(); ++y)
                    for (int x = 0; x < after.width(); ++x) ink += qGray(after.pixel(x, y)) < 200;
                EXPECT_GT(ink, 20);
                EXPECT_EQ(after, before);
            }
        }
    }
}

} // namespace
