// The loudspeaker in a running circuit: a resistor of its value, one frame
// per step of the voltage across it at the sound rate, auto-play of each
// completed stretch, the end of a Record Sound run, and its archive record.
#include "measure/loudspeaker.h"

#include "components/battery.h"
#include "components/resistor.h"
#include "measure/sound_recording.h"
#include "measure/sound_system.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "tests/components/passives_bench.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class SoundHost : public CSimulationHost {
public:
    SoundHost()
    {
        auto d = std::make_unique<CSilentSoundDevice>();
        device = d.get();
        sound = std::make_unique<CSoundSystem>(std::move(d));
    }
    bool SetStepTimer(int) override { return true; }
    void KillStepTimer() override {}
    bool TakePendingTick() override { return false; }
    Input PeekInput() override { return Input::kNone; }
    void DiscardMouseMove() override {}
    CSoundSystem* GetSoundSystem() override { return sound.get(); }

    CSilentSoundDevice* device;
    std::unique_ptr<CSoundSystem> sound;
};

// A battery driving the loudspeaker through a series resistor.
struct SpeakerBench : PassiveBench {
    SoundHost host;
    CBattery* cell = nullptr;
    CResistor* r = nullptr;
    CLoudSpeaker* speaker = nullptr;

    SpeakerBench(double volts, double ohms)
    {
        d.SetHost(&host);
        cell = Add<CBattery>(0, 100);
        r = Add<CResistor>(100, 0);
        speaker = Add<CLoudSpeaker>(100, 200);
        SetLabel(cell, volts);
        SetLabel(r, ohms);
        Wire(cell->GetTerminal(0), r->GetTerminal(0));
        Wire(r->GetTerminal(1), speaker->GetTerminal(0));
        Wire(speaker->GetTerminal(1), cell->GetTerminal(1));
    }
    ~SpeakerBench() { d.SetHost(nullptr); }
    void StartAtSoundRate() { Start(d.RequestedUpdateRate()); }
};

} // namespace

TEST(LoudSpeaker, IsAnEightOhmResistorThatRecordsItsVoltage)
{
    // 5 V across 24 ohms and the speaker's 8 ohms in series: the speaker
    // takes 5 x 8 / 32 = 1.25 V, frame 1.25 x 32767 / 10 = 4095.875 -> 4095
    // (the resistor dissipates 0.156^2 x 24 = 0.59 W of its 2 W).
    SpeakerBench b(5.0, 24.0);
    EXPECT_DOUBLE_EQ(b.speaker->GetResistance(), 8.0);
    EXPECT_EQ(b.d.FindProbe(4), b.speaker->SoundProbe());
    EXPECT_TRUE(b.speaker->IsRecording());
    // The design steps at the sound rate while a loudspeaker is in it.
    EXPECT_DOUBLE_EQ(b.d.RequestedUpdateRate(), 11025.0);
    b.StartAtSoundRate();
    b.Run(10);
    EXPECT_NEAR(Across(b.speaker), 1.25, 1e-9);
    CSoundSample& s = b.speaker->Sample();
    ASSERT_EQ(s.Length(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(s.RawLevel(i), 4095) << i;
    EXPECT_EQ(s.GetFormat().samplesPerSecond, 11025u);
    // The probe of channel 4 shows the sample; Save Sound finds it.
    CProbe* probe = b.speaker->SoundProbe();
    EXPECT_NEAR(probe->GetSample(probe->GetFirstSampleNumber() + 3, 1), 4095.0 / 32767.0 * 10.0, 1e-12);
    EXPECT_EQ(FindSoundRecording(&b.d), static_cast<CSoundRecording*>(&s));
}

TEST(LoudSpeaker, TwelveVoltsRecordAsTen)
{
    for (double volts : {10.0, 12.0}) {
        SpeakerBench b(volts, 0.0);
        b.StartAtSoundRate();
        b.Run(3);
        ASSERT_EQ(b.speaker->Sample().Length(), 3);
        EXPECT_EQ(b.speaker->Sample().RawLevel(2), 32767) << volts;
    }
}

TEST(LoudSpeaker, AutoPlayPlaysEachStretchUnlessASoundLoops)
{
    // 552 frames a stretch (50 ms at 11025 Hz).
    SpeakerBench b(5.0, 24.0);
    b.StartAtSoundRate();
    b.Run(551);
    EXPECT_TRUE(b.host.device->Queue().empty());
    b.Run(1);
    ASSERT_EQ(b.host.device->Queue().size(), 1u);
    // A steady level: the loop segment is the whole stretch.
    EXPECT_EQ(b.host.device->Queue().front()->bytes.size(), 552u * 2);
    EXPECT_EQ(b.speaker->Sample().GetMark(), 552);
    b.Run(552);
    // The second stretch replaced the first at the end of its pass.
    EXPECT_EQ(b.host.device->Queue().size(), 1u);
    EXPECT_EQ(b.host.device->PendingDone(), 1);
    b.host.device->DeliverDone();

    // A looping sound is left alone.
    b.speaker->OnSimulationEvent(1);
    ASSERT_TRUE(b.host.sound->IsSoundLooping());
    const CSoundBuffer* looping = b.host.device->Queue().front();
    b.Run(552);
    ASSERT_EQ(b.host.device->Queue().size(), 1u);
    EXPECT_EQ(b.host.device->Queue().front(), looping);

    // With auto-play off nothing plays during the run.
    SpeakerBench quiet(5.0, 24.0);
    quiet.d.m_bLoopPlayback = 0;
    quiet.StartAtSoundRate();
    quiet.Run(1200);
    EXPECT_TRUE(quiet.host.device->Queue().empty());
    EXPECT_EQ(quiet.host.device->OpenCount(), 0);
}

TEST(LoudSpeaker, AFullSampleEndsARecordSoundRunOnce)
{
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    SpeakerBench b(5.0, 24.0);
    b.d.m_nSampleLimit = 100;
    b.speaker->OnSimulationEvent(4);
    b.StartAtSoundRate();
    b.d.SetSoundPlaying(1);
    b.Run(100);
    EXPECT_TRUE(b.d.IsPaused());
    EXPECT_EQ(b.d.m_bSoundPlaying, 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, LoadResString(36554));
    // The recording stays to be played and saved.
    EXPECT_EQ(b.speaker->Sample().Length(), 100);
    EXPECT_FALSE(b.host.sound->IsSoundQueued());

    // Without Record Sound a full sample starts again, silently.
    SpeakerBench round(5.0, 24.0);
    round.d.m_nSampleLimit = 100;
    round.speaker->OnSimulationEvent(4);
    round.StartAtSoundRate();
    round.Run(130);
    EXPECT_FALSE(round.d.IsPaused());
    EXPECT_EQ(round.speaker->Sample().Length(), 30);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(LoudSpeaker, KeepsItsResistanceThroughTheArchive)
{
    SpeakerBench b(5.0, 24.0);
    SetLabel(b.speaker, 16.0);
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(&b.d);
    CArchive in(out.GetBuffer());
    in.SetVersion(kCurrentVersion);
    std::unique_ptr<CObject> o(in.ReadNewObject(RUNTIME_CLASS(CCircuit)));
    auto* design = dynamic_cast<CCircuit*>(o.get());
    ASSERT_NE(design, nullptr);
    design->AfterLoad(design, 0, kCurrentVersion);
    CLoudSpeaker* loaded = nullptr;
    for (CPart* p = design->GetGroup(GROUP_COMPONENTS)->GetFirstChild(); p; p = p->GetNextSibling())
        if (auto* s = dynamic_cast<CLoudSpeaker*>(p)) loaded = s;
    ASSERT_NE(loaded, nullptr);
    EXPECT_DOUBLE_EQ(loaded->GetResistance(), 16.0);
    // The last loudspeaker loaded provides the design's sound probe.
    EXPECT_EQ(design->FindProbe(4), loaded->SoundProbe());
    EXPECT_TRUE(loaded->IsRecording());
    o.reset();
}

TEST(LoudSpeaker, ItsToolbarEndsWithTheSampleRateButton)
{
    // The resistance items, then "Sample Rate.." (120 pixels), which runs
    // the view's sample-rate command.
    SpeakerBench b(5.0, 24.0);
    CControlItemList items;
    b.speaker->FillProperties(items);
    ASSERT_GT(items.GetCount(), 1);
    const CControlItem& last = items[items.GetCount() - 1];
    EXPECT_EQ(last.type, CI_PUSHBUTTON);
    EXPECT_EQ(last.id, 36012);
    EXPECT_EQ(last.width, 120);
    EXPECT_EQ(last.label, CString("Sample Rate.."));
    // A new resistance restarts the recording from an empty sample.
    b.StartAtSoundRate();
    b.Run(5);
    ASSERT_EQ(b.speaker->Sample().Length(), 5);
    EXPECT_NE(b.speaker->OnPropertyCommand(kFirstOrientCmd + 1, CString()), 0);
    EXPECT_EQ(b.speaker->Sample().Length(), 0);
}
