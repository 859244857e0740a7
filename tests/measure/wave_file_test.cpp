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
