// Pictures that the running design animates (a lamp's glow, an LED's
// brightness, a sounding buzzer, a turning motor, an isolator's LED, a
// logic indicator) go back to their rest frame when the part's pictures are
// reset and when the part is read back from a file, so a part added or
// reopened never shows a frame of a run that is over; frames that are
// settings (switch positions) stay.  The pictures are compared pixel by
// pixel with a part fresh from the catalogue.
#include "switches_bench.h"

#include "components/buzzer.h"
#include "components/motor.h"
#include "components/spst.h"
#include "model/display/display.h"
#include "model/display/view.h"
#include "model/display/visual.h"
#include "model/parts/part_records.h"
#include "model/parts/parttree.h"
#include "part_by_name.h"

#include <QImage>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// The part's own picture as the running design draws it (frame = state
// word), alone on white with its top-left corner at (4, 4).
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

std::vector<uint8_t> Save(CCircuit& d)
{
    CArchive ar;
    ar.SetDocumentSerialization(true);
    ar.WriteObject(&d);
    return ar.GetBuffer();
}

std::unique_ptr<CCircuit> Reopen(const std::vector<uint8_t>& bytes)
{
    CArchive ar(bytes);
    ar.SetDocumentSerialization(true);
    std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
    auto d = std::unique_ptr<CCircuit>(dynamic_cast<CCircuit*>(o.release()));
    if (d) d->AfterLoad(d.get(), 0, d->m_wVersionWord);
    return d;
}

CComponent* FindByClass(CCircuit& d, const char* className)
{
    CPartIterator it(&d, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (std::strcmp(p->GetRuntimeClass()->m_lpszClassName, className) == 0) return dynamic_cast<CComponent*>(p);
    return nullptr;
}

struct AnimatedCase {
    const char* cls;
    double emf;   // cell in series with the resistor across the part's first two pins
    double ohms;
    // Whether the running frame outlives a stop and reset of the design
    // (parts whose own reset leaves the picture alone).
    bool outlivesReset;
};

const AnimatedCase kAnimated[] = {
    {"CBulb", 6.0, 0.001, false},      {"CFilament", 12.0, 0.001, false}, {"CLED", 5.0, 330.0, false},
    {"CLED_G", 5.0, 330.0, false},     {"CLED_Y", 5.0, 330.0, false},     {"CBuzzer", 6.0, 0.001, true},
    {"CMotor", 6.0, 0.001, true},
};

TEST(AnimationRest, ARunningFrameIsNotShownByAReopenedOrResetPart)
{
    for (const AnimatedCase& c : kAnimated) {
        SCOPED_TRACE(c.cls);
        SwitchBench b;
        CComponent* part = AddPartByName(b.d, c.cls, 400, 300);
        ASSERT_NE(part, nullptr);
        b.Feed(part->GetTerminal(0), part->GetTerminal(1), c.emf, c.ohms, 100, 100);
        b.Start();
        const QImage fresh = FreshPictureOf(c.cls);
        ASSERT_FALSE(fresh.isNull());
        ASSERT_EQ(PictureOf(part), fresh);
        b.Run(8);
        ASSERT_FALSE(part->IsBroken());
        const QImage running = PictureOf(part);
        ASSERT_NE(running, fresh) << "the part does not animate at this supply";

        // Saved while running, opened again: the rest frame.
        const std::vector<uint8_t> bytes = Save(b.d);
        std::unique_ptr<CCircuit> reopened = Reopen(bytes);
        ASSERT_NE(reopened, nullptr);
        CComponent* again = FindByClass(*reopened, c.cls);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(PictureOf(again), fresh);

        // Stopped and reset: some parts keep the frame of the run...
        b.d.OnSimulationStopped();
        b.d.ResetRun(0);
        EXPECT_EQ(PictureOf(part) == running, c.outlivesReset);
        // ...which resetting the pictures (as adding the part does) clears.
        part->ResetVisual();
        EXPECT_EQ(PictureOf(part), fresh);
    }
}

TEST(AnimationRest, EveryAnimatedFrameGoesBackAndSettingsStay)
{
    // The state word set to each frame in turn; the reset always gives the
    // rest frame 0 for the animated pictures.
    for (const char* cls : {"CBulb", "CFilament", "CLED", "CLED_G", "CLED_Y", "CBuzzer", "CIsolator", "CLogicOut"}) {
        SCOPED_TRACE(cls);
        CCircuit d;
        CComponent* part = AddPartByName(d, cls, 300, 300);
        ASSERT_NE(part, nullptr);
        ASSERT_NE(part->m_pVisual, nullptr);
        const int frames = std::string(cls) == "CIsolator" ? 11 : part->m_pVisual->GetFrameCount();
        ASSERT_GT(frames, 1);
        for (int k = 0; k < frames; ++k) {
            part->m_wStateWord = static_cast<WORD>(k);
            part->ResetVisual();
            EXPECT_EQ(part->m_wStateWord, 0) << k;
        }
    }
    // A closed switch is a setting: it stays closed through the reset and
    // through a file.
    CCircuit d;
    auto* sw = dynamic_cast<CSPST*>(AddPartByName(d, "CSPST", 300, 300));
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(sw->m_pVisual->GetRestFrame(), -1);
    sw->m_wStateWord = 1;
    sw->ResetVisual();
    EXPECT_EQ(sw->m_wStateWord, 1);
    std::unique_ptr<CCircuit> reopened = Reopen(Save(d));
    ASSERT_NE(reopened, nullptr);
    CComponent* again = FindByClass(*reopened, "CSPST");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->m_wStateWord, 1);
}

TEST(AnimationRest, TheMotorShowsNoArrowsAndTheRotorWhereItStands)
{
    SwitchBench b;
    auto* motor = dynamic_cast<CMotor*>(AddPartByName(b.d, "CMotor", 400, 300));
    ASSERT_NE(motor, nullptr);
    b.Feed(motor->GetTerminal(0), motor->GetTerminal(1), 6.0, 0.001, 100, 100);
    b.Start();
    b.Run(7);
    ASSERT_NE(motor->GetDirection(), 0);
    const double angle = motor->GetAngle();
    motor->ResetVisual();
    EXPECT_EQ(motor->GetDirection(), 0);
    EXPECT_EQ(motor->GetRotorFrame(), static_cast<long>(angle * 16.0) % 16);
    // A new run starts the rotor at its starting place, frame and all.
    motor->ResetSimulation();
    EXPECT_EQ(motor->GetRotorFrame(), static_cast<long>(0.08 * 16.0) % 16);
}

TEST(AnimationRest, ABurstStillPlayingEndsOnReset)
{
    SwitchBench b;
    CComponent* bulb = AddPartByName(b.d, "CBulb", 400, 300);
    ASSERT_NE(bulb, nullptr);
    bulb->Explode(20.0, 12.0, 0, 'V');
    CExplode* marker = bulb->GetExplosion();
    ASSERT_NE(marker, nullptr);
    marker->Animate();
    marker->Tick(bulb, 0);
    ASSERT_TRUE(marker->IsAnimating());
    ASSERT_GE(marker->GetDrawFrame(), 0);
    bulb->ResetVisual();
    EXPECT_FALSE(marker->IsAnimating());
    EXPECT_EQ(marker->GetDrawFrame(), -1);
    EXPECT_TRUE(bulb->IsBroken());
    // The design's destroyed flag falls back at the next blink.
    EXPECT_EQ(marker->Tick(bulb, 0), 0);
}

} // namespace
