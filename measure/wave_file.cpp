#include "measure/wave_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

void Put16(std::string& out, uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

constexpr uint32_t kHeaderAfterSize = 36; // "WAVE", the "fmt " chunk and the "data" chunk header

} // namespace

CWaveFormat CWaveFormat::Mono16(uint32_t rate)
{
    CWaveFormat f;
    f.samplesPerSecond = rate;
    f.averageBytesPerSecond = rate * f.blockAlign;
    return f;
}

int16_t VoltsToSample16(double volts, double fullScale)
{
    if (fullScale == 0.0 || std::isnan(volts)) return 0;
    const double v = std::clamp(volts, -fullScale, fullScale);
    const double s = v > 0 ? v * 32767.0 / fullScale : v * 32768.0 / fullScale;
    return static_cast<int16_t>(std::trunc(s));
}

double Sample16ToVolts(int16_t sample, double fullScale)
{
    if (fullScale == 0.0) return 0.0;
    return sample <= 0 ? sample / 32768.0 * fullScale : sample / 32767.0 * fullScale;
}

CFrameRange FramesToSave(int length, bool selection, int selFirst, int selLast)
{
    length = std::max(length, 0);
    if (!selection) return {0, length};
    const int first = std::max(selFirst, 0);
    const int last = std::min(selLast, length - 1);
    if (first > last) return {first, 0};
    return {first, last - first + 1};
}

std::string BuildWaveBytes(const CWaveFormat& f, const std::string& frames)
{
    std::string out;
    out.reserve(44 + frames.size());
    const auto dataBytes = static_cast<uint32_t>(frames.size());
    out += "RIFF";
    Put32(out, dataBytes + kHeaderAfterSize);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, f.formatTag);
    Put16(out, f.channels);
    Put32(out, f.samplesPerSecond);
    Put32(out, f.averageBytesPerSecond);
    Put16(out, f.blockAlign);
    Put16(out, f.bitsPerSample);
    out += "data";
    Put32(out, dataBytes);
    out += frames;
    return out;
}

std::string Frames16(const std::vector<int16_t>& samples, CFrameRange range)
{
    std::string out;
    const int end = std::min(range.first + range.count, static_cast<int>(samples.size()));
    for (int i = std::max(range.first, 0); i < end; ++i) Put16(out, static_cast<uint16_t>(samples[size_t(i)]));
    return out;
}

bool WriteWaveFile(const std::string& path, const CWaveFormat& format, const std::string& frames)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    const std::string bytes = BuildWaveBytes(format, frames);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}
