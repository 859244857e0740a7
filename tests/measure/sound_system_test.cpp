// The sound system over the silent device: the buzzer, a playing sound
// replaced at the end of its pass, buffers handed back and freed, the rate
// test, and the messages when there is no device (shown once).
#include "measure/sound_system.h"

#include "measure/sound_sample.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Rig {
    CSilentSoundDevice* device;
    std::unique_ptr<CSoundSystem> sound;
    int beeps = 0;

    explicit Rig(bool present = true)
    {
        auto d = std::make_unique<CSilentSoundDevice>(present);
        device = d.get();
        sound = std::make_unique<CSoundSystem>(std::move(d));
        sound->SetBeep([this] { ++beeps; });
    }
};

// A device that reports every format but cannot be opened (another
// program holds it).
class CBusyDevice : public CSilentSoundDevice {
public:
    bool Open(const CWaveFormat&) override { return false; }
};

void Fill(CSoundSample& s, int frames, double volts)
{
    for (int i = 0; i < frames; ++i) s.AppendVolts(i % 2 ? volts : -volts);
}

} // namespace

TEST(SoundSystem, TheBuzzerPlaysOnceAndClosesWhenSwitchedOff)
{
    Rig r;
    EXPECT_EQ(r.sound->SetBuzzer(true), 1);
    EXPECT_EQ(r.sound->SetBuzzer(true), 1);
    EXPECT_TRUE(r.sound->IsBuzzing());
    EXPECT_EQ(r.device->Queue().size(), 1u);
    EXPECT_EQ(r.device->OpenCount(), 1);
    EXPECT_EQ(r.device->OpenFormat().samplesPerSecond, 11025u);
    EXPECT_EQ(r.sound->QueuedCount(), 1);
    EXPECT_EQ(r.beeps, 0);
    // While the buzzer sounds nothing else plays.
    CSoundSample s;
    Fill(s, 100, 5.0);
    EXPECT_EQ(r.sound->PlaySample(&s), 1);
    EXPECT_EQ(r.device->Queue().size(), 1u);

    r.sound->SetBuzzer(false);
    EXPECT_FALSE(r.sound->IsBuzzing());
    EXPECT_FALSE(r.sound->IsSoundQueued());
    // The device closes when the reset buffer comes back.
    EXPECT_TRUE(r.device->IsOpen());
    r.device->DeliverDone();
    EXPECT_FALSE(r.device->IsOpen());
    EXPECT_EQ(r.sound->LiveBuffers(), 0);
}

TEST(SoundSystem, ANewSoundFollowsThePassOfTheOneLooping)
{
    Rig r;
    CSoundSample a, b;
    Fill(a, 200, 5.0);
    Fill(b, 300, 2.0);
    a.SetExactRange(true);
    b.SetExactRange(true);
    ASSERT_EQ(a.Play(r.sound.get(), 0, 0, true), 1);
    EXPECT_TRUE(r.sound->IsSoundLooping());
    ASSERT_EQ(r.device->Queue().size(), 1u);
    CSoundBuffer* first = r.device->Queue().front();
    EXPECT_EQ(first->bytes.size(), 400u);

    // The second is queued behind the first, whose loop is broken: the
    // first ends after its pass and the second loops on.
    ASSERT_EQ(b.Play(r.sound.get(), 0, 0, false), 1);
    ASSERT_EQ(r.device->Queue().size(), 1u);
    EXPECT_EQ(r.device->Queue().front()->bytes.size(), 600u);
    EXPECT_EQ(r.device->PendingDone(), 1);
    EXPECT_EQ(r.sound->QueuedCount(), 1);
    EXPECT_FALSE(r.sound->IsSoundLooping());
    r.device->DeliverDone();
    EXPECT_EQ(r.sound->LiveBuffers(), 1);
    EXPECT_TRUE(r.device->IsOpen());

    // Stop with reset empties the queue; with close the device closes when
    // the buffer comes back.
    EXPECT_EQ(r.sound->Stop(true, true), 1);
    EXPECT_EQ(r.sound->QueuedCount(), 0);
    r.device->DeliverDone();
    EXPECT_FALSE(r.device->IsOpen());
    EXPECT_EQ(r.sound->LiveBuffers(), 0);
    // Without an open device Stop does nothing.
    EXPECT_EQ(r.sound->Stop(false, false), 0);
}

TEST(SoundSystem, TheExactRangeIsWhatIsCopied)
{
    Rig r;
    CSoundSample s;
    for (int i = 0; i < 10; ++i) s.AppendVolts(i);
    s.SetExactRange(true);
    ASSERT_EQ(s.Play(r.sound.get(), 3, 4, false), 1);
    const CSoundBuffer* b = r.device->Queue().front();
    ASSERT_EQ(b->bytes.size(), 8u);
    // Frame 3 is 3 V: 3 x 32767 / 10 = 9830.1, truncated.
    EXPECT_EQ(int16_t(b->bytes[0] | (b->bytes[1] << 8)), 9830);
}

TEST(SoundSystem, RatesAreTestedAgainstTheDevicesFormats)
{
    Rig r;
    // 11025, 22050 and 44100 Hz have a bit each; any other rate is tested
    // against the mask 123456789 (0x75BCD15: bits 0, 2, 4, 8, ...).
    EXPECT_EQ(RateFormatFlag(11025), 0x4u);
    EXPECT_EQ(RateFormatFlag(22050), 0x40u);
    EXPECT_EQ(RateFormatFlag(44100), 0x400u);
    EXPECT_EQ(RateFormatFlag(8000), 123456789u);
    r.device->SetFormats(kWaveFormat1M16);
    EXPECT_TRUE(r.sound->IsRatePlayable(11025));
    EXPECT_FALSE(r.sound->IsRatePlayable(22050));
    EXPECT_TRUE(r.sound->IsRatePlayable(8000)); // 0x4 is in the mask
    r.device->SetFormats(kWaveFormat2M16);
    EXPECT_FALSE(r.sound->IsRatePlayable(8000)); // 0x40 is not

    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    // Cannot play: 36550, sound unusable; can again: 36551.
    r.sound->CheckSampleRate(11025);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, LoadResString(36550));
    EXPECT_FALSE(r.sound->IsUsable());
    r.sound->CheckSampleRate(22050);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, LoadResString(36551));
    EXPECT_TRUE(r.sound->IsUsable());
    // Playable while usable: nothing to say.
    r.sound->CheckSampleRate(22050);
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST(SoundSystem, WithoutADeviceTheBuzzerBeepsAndPlayingSaysSoOnce)
{
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    Rig r(false);
    r.sound->SetBuzzer(true);
    EXPECT_EQ(r.beeps, 1);
    EXPECT_FALSE(r.sound->IsBuzzing());
    EXPECT_TRUE(messages.shown.empty());
    r.sound->SetBuzzer(false);

    CSoundSample s;
    Fill(s, 100, 5.0);
    EXPECT_EQ(r.sound->PlaySample(&s), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, LoadResString(36514));
    EXPECT_EQ(r.sound->PlaySample(&s), 0);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(r.sound->LiveBuffers(), 0);
    // The buzzer beeps from now on.
    r.sound->SetBuzzer(true);
    EXPECT_EQ(r.beeps, 2);
}

TEST(SoundSystem, ABusyDeviceAsksWhetherToRetry)
{
    for (const int answer : {IDRETRY, IDCANCEL}) {
        CRecordingMessageBox messages;
        messages.answer = answer;
        CMessageBoxScope scope(&messages);
        CSoundSystem sound(std::make_unique<CBusyDevice>());
        int beeps = 0;
        sound.SetBeep([&beeps] { ++beeps; });
        sound.SetBuzzer(true);
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_EQ(messages.shown[0].text, LoadResString(36514));
        EXPECT_EQ(messages.shown[1].text, LoadResString(36619));
        EXPECT_EQ(messages.shown[1].type & 0xF, unsigned(MB_RETRYCANCEL));
        // Retry: the next switch-on tries the device again (and fails
        // again, with the message); Cancel: the system speaker.
        EXPECT_EQ(sound.IsUsable(), answer == IDRETRY);
        sound.SetBuzzer(false);
        sound.SetBuzzer(true);
        EXPECT_EQ(beeps, answer == IDRETRY ? 0 : 1);
    }
}

TEST(SoundSystem, AMutedDesignPlaysNothing)
{
    Rig r;
    CCircuit design;
    design.m_dwOptions |= OPT_MUTED;
    CCircuit* was = CCircuit::ActiveCircuit();
    CCircuit::ActiveCircuit() = &design;
    CSoundSample s;
    Fill(s, 100, 5.0);
    EXPECT_EQ(r.sound->PlaySample(&s), 1);
    EXPECT_FALSE(r.sound->IsSoundQueued());
    EXPECT_EQ(r.device->OpenCount(), 0);
    CCircuit::ActiveCircuit() = was;
}
