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

uint32_t Get32(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[at + size_t(i)]);
    return v;
}

uint16_t Get16(const std::string& s, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | (static_cast<uint8_t>(s[at + 1]) << 8));
}

// The offset of the first chunk with that id in the payload (its header),
// or npos.  Offsets are 64-bit: a size near 4 GB must not wrap round.
size_t FindChunk(const std::string& payload, const char* id)
{
    uint64_t at = 0;
    while (payload.size() >= 8 && at <= payload.size() - 8) {
        if (payload.compare(size_t(at), 4, id) == 0) return size_t(at);
        at += uint64_t(Get32(payload, size_t(at) + 4)) + 8;
    }
    return std::string::npos;
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

uint8_t VoltsToSample8(double volts, double fullScale)
{
    if (fullScale == 0.0 || std::isnan(volts)) return 0;
    const double v = std::clamp(volts, -fullScale, fullScale);
    if (v == fullScale) return 255;
    return static_cast<uint8_t>(static_cast<int>(std::trunc(v * (128.0 / fullScale) + 128.0)) & 0xFF);
}

double Sample8ToVolts(uint8_t sample, double fullScale)
{
    if (fullScale == 0.0) return 0.0;
    return (static_cast<int>(sample) - 128) / 128.0 * fullScale;
}

EWaveRead ParseWaveBytes(const std::string& bytes, CWaveFormat* format, std::string* frames)
{
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return EWaveRead::kNotWave;
    // The payload after "WAVE": the RIFF size less the 4 bytes of "WAVE",
    // as far as the file goes.
    const uint32_t riffSize = Get32(bytes, 4);
    const size_t wanted = riffSize >= 4 ? size_t(riffSize - 4) : 0;
    const std::string payload = bytes.substr(12, std::min(wanted, bytes.size() - 12));
    const size_t fmt = FindChunk(payload, "fmt ");
    if (fmt == std::string::npos) return EWaveRead::kUnusable;
    // The first 16 bytes of the chunk are the format record; a file that
    // ends inside it has no usable format.
    if (payload.size() - fmt - 8 < 16) return EWaveRead::kUnusable;
    const size_t r = fmt + 8;
    format->formatTag = Get16(payload, r);
    format->channels = Get16(payload, r + 2);
    format->samplesPerSecond = Get32(payload, r + 4);
    format->averageBytesPerSecond = Get32(payload, r + 8);
    format->blockAlign = Get16(payload, r + 12);
    format->bitsPerSample = Get16(payload, r + 14);
    if (format->formatTag != 1 || format->bitsPerSample < 8) return EWaveRead::kUnusable;
    // Every frame must hold one sample per channel: a block of 0 bytes
    // would divide the data by zero, a smaller one read past each frame.
    const unsigned sampleBytes = (format->bitsPerSample + 7u) / 8u;
    if (format->channels == 0 || format->blockAlign < format->channels * sampleBytes) return EWaveRead::kUnusable;
    const size_t data = FindChunk(payload, "data");
    if (data == std::string::npos) return EWaveRead::kUnusable;
    const size_t present = std::min<size_t>(Get32(payload, data + 4), payload.size() - data - 8);
    *frames = payload.substr(data + 8, present - present % format->blockAlign);
    return EWaveRead::kOk;
}
