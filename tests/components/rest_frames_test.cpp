// Frames that a running design chooses go back to rest: the lit segments of
// a seven-segment display and the range a meter picked (A, mA, µA) are not
// shown by a display or meter added again or read back from a file.  And the
// motor's rotor turns with the motor: the turned motor's picture is the
// upright one turned, rotor and all.
#include "switches_bench.h"

#include "components/motor.h"
#include "components/seven_segment.h"
#include "model/display/display.h"
#include "model/display/view.h"
#include "model/display/visual.h"
#include "model/parts/parttree.h"
#include "part_by_name.h"

#include <QImage>

#include <cstring>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The part's picture as the running design draws it, alone on white with
// its top-left corner at (4, 4).
QImage PictureOf(CComponent* part)
{
    const CRect r = part->GetRect();
    CImageView view(r.Width() + 8, r.Height() + 8, ColourRGB(255, 255, 255));
    {
        CDisplay display(&view);
        part->Offset(4 - r.left, 4 - r.top);
        part->Draw(OPT_SIMULATE);
        part->Offset(r.left - 4, r.top - 4);
    }
    return view.Image();
}

QImage FreshPictureOf(const char* className)
{
    CCircuit d;
    CComponent* p = AddPartByName(d, className, 300, 300);
    return p ? PictureOf(p) : QImage();
}

std::unique_ptr<CCircuit> SaveAndReopen(CCircuit& d)
{
    CArchive out;
    out.SetDocumentSerialization(true);
    out.WriteObject(&d);
    CArchive ar(out.GetBuffer());
    ar.SetDocumentSerialization(true);
    std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
    auto r = std::unique_ptr<CCircuit>(dynamic_cast<CCircuit*>(o.release()));
    if (r) r->AfterLoad(r.get(), 0, r->m_wVersionWord);
    return r;
}

CComponent* FindByClass(CCircuit& d, const char* className)
{
    CPartIterator it(&d, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (std::strcmp(p->GetRuntimeClass()->m_lpszClassName, className) == 0) return dynamic_cast<CComponent*>(p);
    return nullptr;
}

struct RestCase {
    const char* cls;
    int plus, minus; // terminal indexes fed
    double emf, ohms;
};

} // namespace

// A display with segment a fed 5 V through 220 ohms lights it (14.8 mA, over
// the 10 mA that lights a segment); an ammeter passing 50 µA shows its µA
// range and a voltmeter across 5 mV its mV range.
TEST(RestFrames, LitSegmentsAndAMetersRangeAreNotShownAgain)
{
    const RestCase cases[] = {
        {"CSevenSegmentDisplay", CSevenSegmentDisplay::kPinA, CSevenSegmentDisplay::kPinCommon, 5.0, 220.0},
        {"CAmmeter", 0, 1, 5.0, 100000.0},
        {"CVoltmeter", 0, 1, 0.005, 1.0},
    };
    for (const RestCase& c : cases) {
        SCOPED_TRACE(c.cls);
        SwitchBench b;
        CComponent* part = AddPartByName(b.d, c.cls, 400, 300);
        ASSERT_NE(part, nullptr);
        ASSERT_GT(part->GetTerminalCount(), std::max(c.plus, c.minus));
        b.Feed(part->GetTerminal(c.plus), part->GetTerminal(c.minus), c.emf, c.ohms, 100, 100);
        b.Start();
        const QImage fresh = FreshPictureOf(c.cls);
        ASSERT_FALSE(fresh.isNull());
        ASSERT_EQ(PictureOf(part), fresh);
        b.Run(40);
        ASSERT_FALSE(part->IsBroken());
        if (auto* display = dynamic_cast<CSevenSegmentDisplay*>(part)) {
            CSevenSegmentLED& a = display->GetSegment(CSevenSegmentDisplay::kA);
            ASSERT_EQ(a.m_wStateWord, a.GetBaseFrame() + 3) << "segment a is lit";
        } else {
            ASSERT_NE(part->m_wStateWord, 0) << "the meter chose a smaller range";
            ASSERT_NE(PictureOf(part), fresh);
        }

        std::unique_ptr<CCircuit> reopened = SaveAndReopen(b.d);
        ASSERT_NE(reopened, nullptr);
        CComponent* again = FindByClass(*reopened, c.cls);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(PictureOf(again), fresh);
        if (auto* display = dynamic_cast<CSevenSegmentDisplay*>(again)) {
            for (int s = 0; s < CSevenSegmentDisplay::kSegments; ++s)
                EXPECT_EQ(display->GetSegment(s).m_wStateWord, display->GetSegment(s).GetBaseFrame()) << s;
        }

        part->ResetVisual();
        EXPECT_EQ(PictureOf(part), fresh);
        if (auto* display = dynamic_cast<CSevenSegmentDisplay*>(part)) {
            for (int s = 0; s < CSevenSegmentDisplay::kSegments; ++s)
                EXPECT_EQ(display->GetSegment(s).m_wStateWord, display->GetSegment(s).GetBaseFrame()) << s;
        }
    }
}

namespace {

// The picture's pixels inside the part's rectangle that are not white.
std::map<std::pair<int, int>, QRgb> Ink(const QImage& img, int w, int h)
{
    std::map<std::pair<int, int>, QRgb> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(4 + x, 4 + y) & 0xFFFFFF;
            if (c != 0xFFFFFF) out[{x, y}] = c;
        }
    return out;
}

// Whether `turned` is `upright` turned a quarter turn either way (about the
// square picture's centre), allowing the whole picture a shift of a pixel.
bool IsQuarterTurnOf(const std::map<std::pair<int, int>, QRgb>& turned,
                     const std::map<std::pair<int, int>, QRgb>& upright, int size)
{
    for (int sense = 0; sense < 2; ++sense)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                std::map<std::pair<int, int>, QRgb> t;
                for (const auto& [p, c] : upright) {
                    const int x = sense ? size - 1 - p.second : p.second;
                    const int y = sense ? p.first : size - 1 - p.first;
                    t[{x + dx, y + dy}] = c;
                }
                if (t == turned) return true;
            }
    return false;
}

} // namespace

TEST(RestFrames, TheRotorTurnsWithTheMotor)
{
    CCircuit d;
    auto* motor = dynamic_cast<CMotor*>(AddPartByName(d, "CMotor", 300, 300));
    ASSERT_NE(motor, nullptr);
    ASSERT_EQ(motor->m_nOrientation, 1);
    const int size = motor->GetRect().Width();
    ASSERT_EQ(size, motor->GetRect().Height());
    // Every rotor frame, the motor standing turned and upright.
    for (int frame = 0; frame < 16; ++frame) {
        SCOPED_TRACE(testing::Message() << "rotor frame " << frame);
        if (motor->m_nOrientation != 1) {
            ASSERT_EQ(motor->OnPropertyCommand(kFirstOrientCmd + 1, CString()), 8);
            motor->ApplySettingsText();
        }
        motor->m_wStateWord = static_cast<WORD>(frame);
        const auto turned = Ink(PictureOf(motor), size, size);
        ASSERT_EQ(motor->OnPropertyCommand(kFirstOrientCmd, CString()), 8);
        motor->ApplySettingsText();
        ASSERT_EQ(motor->m_nOrientation, 0);
        motor->m_wStateWord = static_cast<WORD>(frame);
        const auto upright = Ink(PictureOf(motor), size, size);
        // The rotor stands inside the circle: more ink than the body alone.
        CImageView body(size + 8, size + 8, ColourRGB(255, 255, 255));
        {
            CDisplay display(&body);
            motor->m_pVisual->DrawWhole(4, 4, 0, 0, 0);
        }
        EXPECT_GT(upright.size(), Ink(body.Image(), size, size).size());
        EXPECT_TRUE(IsQuarterTurnOf(turned, upright, size));
    }
}
