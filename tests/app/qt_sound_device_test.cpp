// The sound device on the default audio output: the byte feed's queue,
// loops, broken loops and resets (driven directly, no sound card needed),
// the device contract on a real output when this computer has one, and the
// silent device chosen when it has none.
#include "app/qt_sound_device.h"
#include "app/tesk_app.h"
#include "measure/sound_system.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QAudioSink>
#include <QMediaDevices>

#include <string>
#include <vector>

namespace {

CSoundBuffer Buffer(const std::string& bytes)
{
    CSoundBuffer b;
    b.bytes.assign(bytes.begin(), bytes.end());
    return b;
}

struct Feed {
    std::vector<CSoundBuffer*> ended;
    CSoundFeed feed{[this](CSoundBuffer* b) { ended.push_back(b); }};
    std::string Read(int n)
    {
        std::string s(static_cast<size_t>(n), '?');
        EXPECT_EQ(feed.read(s.data(), n), n);
        return s;
    }
};

TEST(SoundFeed, PlayingBufferLoopsUntilBroken)
{
    Feed f;
    CSoundBuffer a = Buffer("abcd");
    f.feed.Queue(&a);
    EXPECT_EQ(f.Read(10), "abcdabcdab");
    EXPECT_TRUE(f.ended.empty());
    EXPECT_EQ(f.feed.Position(), 2);
}

TEST(SoundFeed, BrokenLoopEndsAfterItsPassAndTheNextBufferFollows)
{
    Feed f;
    CSoundBuffer a = Buffer("abcd");
    CSoundBuffer b = Buffer("xy");
    f.feed.Queue(&a);
    EXPECT_EQ(f.Read(2), "ab");
    // The replacement is queued behind the playing buffer, then the old
    // loop is broken: the rest of its pass ("cd") still plays, seamlessly
    // followed by the new buffer, which loops in its turn.
    f.feed.Queue(&b);
    f.feed.BreakLoop();
    EXPECT_TRUE(f.ended.empty());
    EXPECT_EQ(f.Read(8), "cdxyxyxy");
    ASSERT_EQ(f.ended.size(), 1u);
    EXPECT_EQ(f.ended[0], &a);
    ASSERT_EQ(f.feed.Buffers().size(), 1u);
    EXPECT_EQ(f.feed.Buffers().front(), &b);
}

TEST(SoundFeed, ResetEndsEveryBufferInOrderAndSilenceFollows)
{
    struct Case {
        int bits;
        char silence;
    };
    for (Case c : {Case{16, '\0'}, Case{8, char(0x80)}}) {
        Feed f;
        f.feed.SetSilence(c.silence);
        CSoundBuffer a = Buffer("abc");
        CSoundBuffer b = Buffer("de");
        f.feed.Queue(&a);
        f.feed.Queue(&b);
        EXPECT_EQ(f.Read(1), "a");
        f.feed.Reset();
        ASSERT_EQ(f.ended.size(), 2u) << c.bits;
        EXPECT_EQ(f.ended[0], &a);
        EXPECT_EQ(f.ended[1], &b);
        EXPECT_TRUE(f.feed.Buffers().empty());
        EXPECT_EQ(f.Read(3), std::string(3, c.silence)) << c.bits;
        // A buffer queued after the reset starts at its beginning.
        f.feed.Queue(&a);
        EXPECT_EQ(f.Read(4), "abca");
    }
}

TEST(SoundFeed, EmptyBufferEndsAtOnceInsteadOfLoopingForever)
{
    Feed f;
    CSoundBuffer empty;
    CSoundBuffer a = Buffer("pq");
    f.feed.Queue(&empty);
    f.feed.Queue(&a);
    EXPECT_EQ(f.Read(5), "pqpqp");
    ASSERT_EQ(f.ended.size(), 1u);
    EXPECT_EQ(f.ended[0], &empty);
}

TEST(QtSoundDevice, WithoutAnOutputItBehavesAsNoSoundCard)
{
    shelltest::EnsureShellApp();
    CQtSoundDevice device{QAudioDevice()};
    uint32_t formats = 1;
    EXPECT_FALSE(device.GetFormats(&formats));
    EXPECT_EQ(formats, 0u);
    EXPECT_FALSE(device.Open(CWaveFormat::Mono16(11025)));
    EXPECT_FALSE(device.IsOpen());
    CSoundBuffer a = Buffer("ab");
    EXPECT_FALSE(device.Write(&a));
    EXPECT_FALSE(device.Reset());
    EXPECT_FALSE(device.BreakLoop());
}

TEST(QtSoundDevice, ContractOnTheDefaultOutput)
{
    shelltest::EnsureShellApp();
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) GTEST_SKIP() << "no audio output on this computer";
    CQtSoundDevice device(output);
    std::vector<CSoundBuffer*> done;
    device.SetDoneHandler([&](CSoundBuffer* b) { done.push_back(b); });

    uint32_t formats = 0;
    ASSERT_TRUE(device.GetFormats(&formats));
    EXPECT_NE(formats & RateFormatFlag(44100), 0u);

    CSoundBuffer a = Buffer(std::string(2205 * 2, '\0'));
    CSoundBuffer b = Buffer(std::string(2205 * 2, '\0'));
    EXPECT_FALSE(device.Write(&a));
    ASSERT_TRUE(device.Open(CWaveFormat::Mono16(44100)));
    EXPECT_TRUE(device.IsOpen());
    EXPECT_NE(device.Sink(), nullptr);
    ASSERT_TRUE(device.Write(&a));
    ASSERT_TRUE(device.Write(&b));
    EXPECT_TRUE(device.BreakLoop());
    // Ending is the reset's doing, handed back only through DeliverDone
    // (there is no poster here), never from inside the call.
    EXPECT_TRUE(device.Reset());
    EXPECT_TRUE(done.empty());
    EXPECT_EQ(device.PendingDone(), 2);
    device.DeliverDone();
    EXPECT_EQ(done, (std::vector<CSoundBuffer*>{&a, &b}));
    device.Close();
    EXPECT_FALSE(device.IsOpen());

    // 8-bit unsigned samples open too.
    CWaveFormat eight = CWaveFormat::Mono16(22050);
    eight.bitsPerSample = 8;
    eight.blockAlign = 1;
    eight.averageBytesPerSecond = 22050;
    EXPECT_TRUE(device.Open(eight));
    device.Close();
}

TEST(SoundDeviceChoice, NoOutputGivesTheSilentDevice)
{
    shelltest::EnsureShellApp();
    auto none = MakeSoundDevice(QAudioDevice());
    EXPECT_NE(dynamic_cast<CSilentSoundDevice*>(none.get()), nullptr);

    // The application makes the same choice from the default output.
    CTeskApp app;
    CSoundDevice& device = app.Sound().Device();
    if (QMediaDevices::defaultAudioOutput().isNull())
        EXPECT_NE(dynamic_cast<CSilentSoundDevice*>(&device), nullptr);
    else
        EXPECT_NE(dynamic_cast<CQtSoundDevice*>(&device), nullptr);
    uint32_t formats = 0;
    EXPECT_EQ(app.Sound().IsRatePlayable(11025), device.GetFormats(&formats) && (formats & kWaveFormat1M16));
}

} // namespace
