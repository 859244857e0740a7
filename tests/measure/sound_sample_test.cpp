// The sound sample: frames at a full scale, the block it grows in, the
// WAVE file it writes (checked byte for byte against the RIFF layout) and
// reads (with the messages of a file it cannot use), and the loop segment
// and peak searches on a sine worked by hand.
#include "measure/sound_sample.h"

#include "platform/messagebox.h"
#include "platform/strings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace {

// 10000 x sin(2 pi i / 20), rounded: 20 frames a period, zero at 0 and 10.
void FillSine(CSoundSample& s, int frames)
{
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(std::lround(10000.0 * std::sin(2.0 * M_PI * i / 20.0)));
        const uint8_t b[2] = {uint8_t(v & 0xFF), uint8_t((v >> 8) & 0xFF)};
        s.Append(b, 2);
    }
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

} // namespace

TEST(SoundSample, RecordsVoltsAtTheFullScale)
{
    // 16 bits: +10 V is 32767, -10 V is -32768, +20 V is limited to 32767,
    // 12 V records as 10 V.
    CSoundSample s;
    for (double v : {10.0, -10.0, 20.0, 12.0, 5.0}) ASSERT_TRUE(s.AppendVolts(v));
    ASSERT_EQ(s.Length(), 5);
    EXPECT_EQ(s.RawLevel(0), 32767);
    EXPECT_EQ(s.RawLevel(1), -32768);
    EXPECT_EQ(s.RawLevel(2), 32767);
    EXPECT_EQ(s.RawLevel(3), 32767);
    EXPECT_EQ(s.RawLevel(4), 16383); // 5 x 32767 / 10 = 16383.5, truncated
    EXPECT_DOUBLE_EQ(s.Value(0), 10.0);
    EXPECT_DOUBLE_EQ(s.Value(1), -10.0);
    EXPECT_DOUBLE_EQ(s.Value(4), 16383.0 / 32767.0 * 10.0);
    EXPECT_TRUE(s.IsModified());
    // Outside the recording: zeros and false.
    uint8_t frame[2] = {1, 1};
    EXPECT_FALSE(s.ReadFrame(frame, 5));
    EXPECT_EQ(frame[0] | frame[1], 0);
    EXPECT_DOUBLE_EQ(s.Value(-1), 0.0);

    // 8 bits: +10 V is 255, -10 V is 0, 0 V is 128.
    CWaveFormat f8;
    f8.blockAlign = 1;
    f8.bitsPerSample = 8;
    f8.averageBytesPerSecond = f8.samplesPerSecond;
    CSoundSample b;
    b.SetFormat(f8);
    for (double v : {10.0, -10.0, 0.0, 5.0}) ASSERT_TRUE(b.AppendVolts(v));
    EXPECT_EQ(b.RawLevel(0), 127);
    EXPECT_EQ(b.RawLevel(1), -128);
    EXPECT_EQ(b.RawLevel(2), 0);
    EXPECT_DOUBLE_EQ(b.Value(3), 5.0); // 192: (192 - 128) / 128 x 10
}

TEST(SoundSample, GrowsClearsAndFills)
{
    CSoundSample s;
    EXPECT_EQ(s.AllocatedBytes(), 0);
    EXPECT_TRUE(s.IsFull()); // no block: full
    // Appending grows the block by the count and 300 frames more.
    const uint8_t two[2] = {0, 0};
    ASSERT_TRUE(s.Append(two, 2));
    EXPECT_EQ(s.AllocatedBytes(), (0 + 2 + 300) * 2);
    // Resize(0) without a design: 22050 frames.
    ASSERT_TRUE(s.Resize(0));
    EXPECT_EQ(s.AllocatedBytes(), 44100);
    EXPECT_FALSE(s.IsFull());
    // A sized block stays through Clear; the length and mark go.
    s.SetMark();
    EXPECT_EQ(s.GetMark(), 1);
    s.Clear();
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.GetMark(), 0);
    EXPECT_EQ(s.AllocatedBytes(), 44100);
    // A smaller block holds fewer frames.
    ASSERT_TRUE(s.Resize(3));
    for (int i = 0; i < 5; ++i) s.AppendVolts(1.0);
    ASSERT_TRUE(s.Resize(2));
    EXPECT_EQ(s.Length(), 2);
    EXPECT_TRUE(s.IsFull());
    // A rate sets the byte rate too.
    s.SetRate(22050);
    EXPECT_EQ(s.GetFormat().samplesPerSecond, 22050u);
    EXPECT_EQ(s.GetFormat().averageBytesPerSecond, 44100u);
    // Without a design a segment is never done.
    EXPECT_FALSE(s.IsSegmentDone());

    // A size beyond memory: 36507, cleared, false.
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    EXPECT_FALSE(s.Resize(2000000000));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, LoadResString(36507));
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.AllocatedBytes(), 0);
}

TEST(SoundSample, WritesTheRiffLayoutByteForByte)
{
    // Three frames 1, -2, 0x1234 at 11025 Hz mono 16-bit: RIFF size
    // 6 + 36 = 42, "fmt " of 16 bytes (tag 1, 1 channel, 11025 = 0x2B11,
    // 22050 = 0x5622 bytes a second, block 2, 16 bits), data size 6.
    CSoundSample s;
    const uint8_t frames[6] = {0x01, 0x00, 0xFE, 0xFF, 0x34, 0x12};
    ASSERT_TRUE(s.Append(frames, 6));
    std::string bytes;
    ASSERT_TRUE(s.WriteWave(&bytes));
    const std::string expected = Bytes({'R', 'I', 'F', 'F', 42, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                        16, 0, 0, 0, 1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x22, 0x56, 0, 0,
                                        2, 0, 16, 0, 'd', 'a', 't', 'a', 6, 0, 0, 0,
                                        0x01, 0x00, 0xFE, 0xFF, 0x34, 0x12});
    EXPECT_EQ(bytes, expected);

    // 8-bit at 8000 Hz (0x1F40): block 1, 8000 bytes a second.
    CWaveFormat f8;
    f8.samplesPerSecond = 8000;
    f8.averageBytesPerSecond = 8000;
    f8.blockAlign = 1;
    f8.bitsPerSample = 8;
    CSoundSample b;
    b.SetFormat(f8);
    b.AppendVolts(0.0);
    b.AppendVolts(10.0);
    ASSERT_TRUE(b.WriteWave(&bytes));
    EXPECT_EQ(bytes, Bytes({'R', 'I', 'F', 'F', 38, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                            16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0,
                            1, 0, 8, 0, 'd', 'a', 't', 'a', 2, 0, 0, 0, 0x80, 0xFF}));

    // An empty sample: 44 bytes, RIFF size 36, data size 0.
    CSoundSample empty;
    ASSERT_TRUE(empty.WriteWave(&bytes));
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(4, 4), Bytes({36, 0, 0, 0}));
    EXPECT_EQ(bytes.substr(40, 4), Bytes({0, 0, 0, 0}));

    // The exact range: frames 1..2 only; without a range nothing.
    s.SetExactRange(true);
    s.SetRange(1, 2);
    ASSERT_TRUE(s.WriteWave(&bytes));
    EXPECT_EQ(bytes.substr(40), Bytes({4, 0, 0, 0, 0xFE, 0xFF, 0x34, 0x12}));
    s.SetRange(0, -1);
    EXPECT_FALSE(s.WriteWave(&bytes));
}

TEST(SoundSample, ReadsBackWhatItWrote)
{
    CWaveFormat f8;
    f8.channels = 2;
    f8.samplesPerSecond = 8000;
    f8.averageBytesPerSecond = 16000;
    f8.blockAlign = 2;
    f8.bitsPerSample = 8;
    CSoundSample s;
    s.SetFormat(f8);
    const uint8_t frames[6] = {0, 255, 128, 64, 200, 10};
    ASSERT_TRUE(s.Append(frames, 6));
    std::string bytes;
    ASSERT_TRUE(s.WriteWave(&bytes));
    CSoundSample r;
    ASSERT_TRUE(r.ReadWave(bytes));
    EXPECT_EQ(r.Length(), 3);
    EXPECT_EQ(r.GetFormat().channels, 2);
    EXPECT_EQ(r.GetFormat().bitsPerSample, 8);
    EXPECT_EQ(r.GetFormat().samplesPerSecond, 8000u);
    uint8_t frame[2];
    ASSERT_TRUE(r.ReadFrame(frame, 2));
    EXPECT_EQ(frame[0], 200);
    EXPECT_EQ(frame[1], 10);
    // The first channel is the trace: 0 is -10 V.
    EXPECT_DOUBLE_EQ(r.Value(0), -10.0);
}

TEST(SoundSample, AFileItCannotUseLeavesAMessage)
{
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    CSoundSample s;
    s.AppendVolts(1.0);
    s.AppendVolts(2.0);
    std::string good;
    ASSERT_TRUE(s.WriteWave(&good));

    // Not RIFF: both messages, the old sound kept.
    EXPECT_FALSE(s.ReadWave("RIFX" + good.substr(4)));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, LoadResString(36500));
    EXPECT_EQ(messages.shown[1].text, LoadResString(36501));
    EXPECT_EQ(s.Length(), 2);

    // 4-bit PCM: 36500 alone, an empty sample with the file's format.
    messages.shown.clear();
    std::string fourBit = good;
    fourBit[34] = 4;
    EXPECT_FALSE(s.ReadWave(fourBit));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, LoadResString(36500));
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.GetFormat().bitsPerSample, 4);

    // Every truncation of a good file is read or refused, never past its end.
    for (size_t n = 0; n < good.size(); ++n) {
        CSoundSample t;
        t.ReadWave(good.substr(0, n));
        EXPECT_LE(t.Length(), 1) << n;
    }
}

TEST(SoundSample, SoxReadsAWrittenFile)
{
    const QString soxi = QStandardPaths::findExecutable(QStringLiteral("soxi"));
    if (soxi.isEmpty()) GTEST_SKIP() << "sox is not installed";
    // 8-bit mono at 8000 Hz, 400 frames.
    CWaveFormat f8;
    f8.samplesPerSecond = 8000;
    f8.averageBytesPerSecond = 8000;
    f8.blockAlign = 1;
    f8.bitsPerSample = 8;
    CSoundSample s;
    s.SetFormat(f8);
    for (int i = 0; i < 400; ++i) s.AppendVolts(5.0 * std::sin(2.0 * M_PI * i / 40.0));
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("eight.wav"));
    ASSERT_TRUE(s.SaveFile(path.toStdString()));
    QProcess p;
    p.start(soxi, {path});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString info = QString::fromLocal8Bit(p.readAllStandardOutput());
    EXPECT_TRUE(info.contains(QStringLiteral("Channels       : 1"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Sample Rate    : 8000"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Precision      : 8-bit"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("400 samples"))) << info.toStdString();
    CSoundSample back;
    ASSERT_TRUE(back.LoadFile(path.toStdString()));
    EXPECT_EQ(back.Length(), 400);
}

TEST(SoundSample, TheLoopSegmentStartsAndEndsAtLikeCrossings)
{
    // 1000 frames, 50 whole periods: the mean is 0.  Forward from frame 0
    // (itself 0, inside the band 0 +- 2) the first crossing is frame 0,
    // rising.  Backward from frame 999 the crossings are frame 990 and 989
    // (falling in time: sin passes 0 downward at phase 10) and then frame
    // 980 (phase 0, rising): 19 frames are cut from the end.
    CSoundSample s;
    FillSine(s, 1000);
    int first = -1, count = -1;
    ASSERT_TRUE(s.ChooseSegment(&first, &count));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(count, 981);
    EXPECT_EQ(s.RawLevel(first + count - 1), s.RawLevel(first));

    // The crossing search alone: falling crossings are wanted.
    int offset = -1;
    EXPECT_EQ(s.FindCrossing(999, 500, 0.0, 2, false, &offset), 2);
    EXPECT_EQ(offset, 9); // frame 990
    EXPECT_EQ(s.FindCrossing(1, 100, 0.0, 2, true, &offset), 2);
    EXPECT_EQ(offset, 9); // frame 10: 3090 -> 0
    // No crossing in the stretch: direction 0.
    EXPECT_EQ(s.FindCrossing(3, 4, 0.0, 0, true, &offset), 0);

    // Peaks: the first maximum between 6000 and 10000 is frame 5 (10000);
    // the first minimum between -10000 and -6000 is frame 15.
    EXPECT_EQ(s.FindPeak(0, 40, 6000.0, 10000.0, true), 5);
    EXPECT_EQ(s.FindPeak(0, 40, -6000.0, -10000.0, true), 15);
    EXPECT_EQ(s.FindPeak(0, 40, 20000.0, 30000.0, true), -1);

    // The exact range plays start..start + count - 1.
    s.SetExactRange(true);
    EXPECT_EQ(s.Play(nullptr, 0, 0, false), 0);
    // Fewer than 2 frames: nothing to play.
    CSoundSample one;
    FillSine(one, 1);
    EXPECT_FALSE(one.ChooseSegment(&first, &count));
}

TEST(SoundSample, TheBuiltInBuzzerLoopsWithoutAClick)
{
    // Resource 402: 11025 Hz mono 16-bit, whole periods of 25 frames.
    CSoundSample s;
    ASSERT_TRUE(s.LoadFromResource(CSoundSample::kBuzzerResource));
    EXPECT_EQ(s.GetFormat().samplesPerSecond, 11025u);
    EXPECT_GT(s.Length(), 0);
    EXPECT_EQ(s.Length() % 25, 0);
    EXPECT_EQ(s.RawLevel(0), s.RawLevel(25));
    EXPECT_FALSE(s.LoadFromResource(1));
}
