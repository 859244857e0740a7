// WAVE files of recorded sound, checked against sox: the header it reads
// (rate, channels, bits, length) and the sample values it decodes.
#include "measure/wave_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <sstream>

namespace {

// Runs a program with its arguments; its standard output, or "" when it
// could not run or failed.
QString RunProgram(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

} // namespace

TEST(WaveFile, VoltsToSamplesAtFullScale)
{
    struct Case {
        double volts;
        int sample;
    } cases[] = {{10.0, 32767}, {-10.0, -32768}, {20.0, 32767}, {-20.0, -32768}, {0.0, 0},
                 {5.0, 16383},  {-5.0, -16384},  {1e-4, 0}};
    for (const Case& c : cases) EXPECT_EQ(VoltsToSample16(c.volts, 10.0), c.sample) << c.volts;
    EXPECT_EQ(VoltsToSample16(3.0, 0.0), 0);
    EXPECT_DOUBLE_EQ(Sample16ToVolts(32767, 10.0), 10.0);
    EXPECT_DOUBLE_EQ(Sample16ToVolts(-32768, 10.0), -10.0);
}

TEST(WaveFile, RangeToSave)
{
    struct Case {
        int length;
        bool selection;
        int first, last;
        int outFirst, outCount;
    } cases[] = {
        {100, false, 10, 20, 0, 100}, {100, true, 10, 20, 10, 11}, {100, true, 90, 200, 90, 10},
        {100, true, -5, 3, 0, 4},     {100, true, 30, 20, 30, 0},  {0, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const CFrameRange r = FramesToSave(c.length, c.selection, c.first, c.last);
        EXPECT_EQ(r.first, c.outFirst) << c.first << ".." << c.last;
        EXPECT_EQ(r.count, c.outCount) << c.first << ".." << c.last;
    }
}

TEST(WaveFile, AnEmptySampleIsA44ByteFile)
{
    const std::string bytes = BuildWaveBytes(CWaveFormat(), std::string());
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(static_cast<unsigned char>(bytes[4]), 36u);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(bytes.substr(40, 4), std::string(4, '\0'));
}

TEST(WaveFile, SoxReadsTheHeaderAndTheSamples)
{
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    if (sox.isEmpty()) GTEST_SKIP() << "sox is not installed";
    // 0.1 s of a 1 kHz sine of 5 V at 22050 Hz, full scale 10 V, and the
    // selection of frames 100 to 1099.
    const int rate = 22050;
    std::vector<int16_t> samples;
    for (int i = 0; i < rate / 10; ++i)
        samples.push_back(VoltsToSample16(5.0 * std::sin(2 * M_PI * 1000.0 * i / rate), 10.0));
    const CFrameRange range = FramesToSave(static_cast<int>(samples.size()), true, 100, 1099);
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("sine.wav"));
    ASSERT_TRUE(WriteWaveFile(path.toStdString(), CWaveFormat::Mono16(rate), Frames16(samples, range)));

    const QString info = RunProgram(QStandardPaths::findExecutable(QStringLiteral("soxi")), {path});
    EXPECT_TRUE(info.contains(QStringLiteral("Channels       : 1"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Sample Rate    : 22050"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Precision      : 16-bit"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("1000 samples"))) << info.toStdString();

    // sox's text output: time and the sample scaled by 1/32768.
    const QString dat = RunProgram(sox, {path, QStringLiteral("-t"), QStringLiteral("dat"), QStringLiteral("-")});
    std::istringstream lines(dat.toStdString());
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == ';') continue;
        std::istringstream fields(line);
        double t = 0, v = 0;
        fields >> t >> v;
        ASSERT_LT(n, 1000);
        EXPECT_NEAR(t, double(n) / rate, 1e-6);
        EXPECT_NEAR(v * 32768.0, samples[size_t(100 + n)], 0.01) << n;
        ++n;
    }
    EXPECT_EQ(n, 1000);
}

namespace {

void Put16(std::string& s, unsigned v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}

void Put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xFF);
}

std::string Chunk(const char* id, const std::string& body, uint32_t size)
{
    std::string s(id, 4);
    Put32(s, size);
    return s + body;
}

std::string FmtBody(unsigned tag, unsigned channels, uint32_t rate, unsigned align, unsigned bits)
{
    std::string s;
    Put16(s, tag);
    Put16(s, channels);
    Put32(s, rate);
    Put32(s, rate * align);
    Put16(s, align);
    Put16(s, bits);
    return s;
}

// A RIFF/WAVE file of the chunks given; the RIFF size counts "WAVE" and them.
std::string Riff(const std::string& chunks)
{
    std::string s = "RIFF";
    Put32(s, uint32_t(4 + chunks.size()));
    return s + "WAVE" + chunks;
}

} // namespace

TEST(WaveFile, EightBitSamplesAtFullScale)
{
    // +fullScale is 255 exactly; otherwise v x 128 / fs + 128, truncated.
    struct Case {
        double volts;
        int sample;
    } cases[] = {{10.0, 255}, {20.0, 255}, {-10.0, 0}, {-20.0, 0}, {0.0, 128}, {5.0, 192}, {-5.0, 64}, {9.99, 255}};
    for (const Case& c : cases) EXPECT_EQ(VoltsToSample8(c.volts, 10.0), c.sample) << c.volts;
    EXPECT_EQ(VoltsToSample8(3.0, 0.0), 0);
    // (s - 128) / 128 x fs.
    EXPECT_DOUBLE_EQ(Sample8ToVolts(0, 10.0), -10.0);
    EXPECT_DOUBLE_EQ(Sample8ToVolts(192, 10.0), 5.0);
    EXPECT_DOUBLE_EQ(Sample8ToVolts(128, 10.0), 0.0);
}

TEST(WaveFile, WhichFilesAreRead)
{
    const std::string frames4 = std::string("\x01\x02\x03\x04", 4);
    const std::string fmt16 = Chunk("fmt ", FmtBody(1, 1, 11025, 2, 16), 16);
    const std::string data4 = Chunk("data", frames4, 4);
    const struct Case {
        const char* name;
        std::string bytes;
        EWaveRead result;
        size_t frameBytes;
    } cases[] = {
        {"16-bit mono", Riff(fmt16 + data4), EWaveRead::kOk, 4},
        {"stereo 16-bit", Riff(Chunk("fmt ", FmtBody(1, 2, 8000, 4, 16), 16) + data4), EWaveRead::kOk, 4},
        {"8-bit mono", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 1, 8), 16) + data4), EWaveRead::kOk, 4},
        {"a longer fmt chunk", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 2, 16) + std::string(2, '\0'), 18) + data4), EWaveRead::kOk, 4},
        {"LIST between fmt and data", Riff(fmt16 + Chunk("LIST", "abcd", 4) + data4), EWaveRead::kOk, 4},
        // The odd size is not evened up: the scan lands one byte short of
        // "data" and finds nothing.
        {"odd chunk before data", Riff(fmt16 + Chunk("LIST", "abc", 3) + std::string(1, '\0') + data4),
         EWaveRead::kUnusable, 0},
        {"4-bit PCM", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 1, 4), 16) + data4), EWaveRead::kUnusable, 0},
        {"compressed (tag 2)", Riff(Chunk("fmt ", FmtBody(2, 1, 8000, 2, 16), 16) + data4), EWaveRead::kUnusable, 0},
        {"no data chunk", Riff(fmt16), EWaveRead::kUnusable, 0},
        {"no fmt chunk", Riff(data4), EWaveRead::kUnusable, 0},
        {"block align 0", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 0, 16), 16) + data4), EWaveRead::kUnusable, 0},
        {"no channels", Riff(Chunk("fmt ", FmtBody(1, 0, 8000, 2, 16), 16) + data4), EWaveRead::kUnusable, 0},
        {"block smaller than its samples", Riff(Chunk("fmt ", FmtBody(1, 2, 8000, 2, 16), 16) + data4),
         EWaveRead::kUnusable, 0},
        {"fmt cut short", Riff(Chunk("fmt ", FmtBody(1, 1, 8000, 2, 16).substr(0, 10), 16)), EWaveRead::kUnusable, 0},
        // The data chunk claims 1000 bytes but 5 are there: two whole frames.
        {"data cut short", Riff(fmt16 + Chunk("data", std::string(5, '\x11'), 1000)), EWaveRead::kOk, 4},
        // A size near 4 GB must not wrap the scan round to the start.
        {"huge chunk size", Riff(Chunk("JUNK", "", 0xFFFFFFF8u) + fmt16 + data4), EWaveRead::kUnusable, 0},
        {"not RIFF", "RIFX" + Riff(fmt16 + data4).substr(4), EWaveRead::kNotWave, 0},
        {"not WAVE", Riff(fmt16 + data4).replace(8, 4, "AVI "), EWaveRead::kNotWave, 0},
        {"empty file", "", EWaveRead::kNotWave, 0},
        {"RIFF alone", "RIFF", EWaveRead::kNotWave, 0},
        {"header cut short", Riff(fmt16).substr(0, 10), EWaveRead::kNotWave, 0},
    };
    for (const Case& c : cases) {
        CWaveFormat f;
        std::string frames = "old";
        EXPECT_EQ(ParseWaveBytes(c.bytes, &f, &frames), c.result) << c.name;
        if (c.result == EWaveRead::kOk) {
            EXPECT_EQ(frames.size(), c.frameBytes) << c.name;
        }
    }
    // Every truncation of a good file fails cleanly or reads fewer frames.
    const std::string good = Riff(fmt16 + Chunk("LIST", "abcd", 4) + data4);
    for (size_t n = 0; n < good.size(); ++n) {
        CWaveFormat f;
        std::string frames;
        const EWaveRead r = ParseWaveBytes(good.substr(0, n), &f, &frames);
        if (r == EWaveRead::kOk) {
            EXPECT_LT(frames.size(), 4u) << n;
        }
    }
}
