#include "measure/sound_sample.h"

#include "measure/sound_system.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>

namespace {

constexpr unsigned kStrNotUsable = 36500;
constexpr unsigned kStrOldKept = 36501;
constexpr unsigned kStrNoMemory = 36507;

// The largest block a sample may take (1000 s at 48 kHz in 16-bit stereo
// is 192 MB); a design setting beyond it is refused like a failed
// allocation.
constexpr long long kMaxBytes = 1LL << 30;

// The built-in buzzer: a 441 Hz square wave with soft edges, 25 frames a
// period at 11025 Hz, 110 periods (about a quarter of a second), so that
// the looped buffer joins without a click.
std::string BuzzerWave()
{
    constexpr int kPeriod = 25;
    constexpr int kPeriods = 110;
    constexpr int16_t kHigh = 12000;
    std::vector<int16_t> frames;
    frames.reserve(kPeriod * kPeriods);
    for (int p = 0; p < kPeriods; ++p) {
        for (int i = 0; i < kPeriod; ++i) {
            // Two frames of ramp at each edge: -high .. +high.
            int16_t v = i < 12 ? kHigh : -kHigh;
            if (i == 0 || i == 12) v = 0;
            frames.push_back(v);
        }
    }
    return BuildWaveBytes(CWaveFormat::Mono16(11025), Frames16(frames, {0, static_cast<int>(frames.size())}));
}

} // namespace

CSoundSample::~CSoundSample()
{
    if (m_pProbe) m_pProbe->LinkSoundSample(nullptr);
}

int CSoundSample::DesignSampleLimit() const
{
    return m_pDesign ? m_pDesign->m_nSampleLimit : kDefaultSampleLimit;
}

int CSoundSample::DesignSegmentFrames() const
{
    return m_pDesign ? m_pDesign->m_nSoundSampleCount : kDefaultSegmentFrames;
}

void CSoundSample::Clear()
{
    m_bModified = false;
    m_nLength = 0;
    if (!m_bKeepBuffer) std::vector<uint8_t>().swap(m_data);
    m_nMark = 0;
}

bool CSoundSample::Resize(int frames)
{
    if (frames == 0) frames = DesignSampleLimit();
    const long long bytes = static_cast<long long>(frames) * m_format.blockAlign;
    if (bytes == static_cast<long long>(m_data.size())) return true;
    bool ok = frames > 0 && bytes <= kMaxBytes;
    if (ok) {
        try {
            m_data.resize(static_cast<size_t>(bytes));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (!ok) {
        WbMessageBox(kStrNoMemory, MB_ICONEXCLAMATION);
        m_bKeepBuffer = false;
        Clear();
        return false;
    }
    // A smaller block holds fewer frames.
    m_nLength = std::min(m_nLength, frames);
    m_nMark = std::min(m_nMark, m_nLength);
    m_bKeepBuffer = true;
    return true;
}

bool CSoundSample::Append(const void* bytes, int count)
{
    if (count <= 0) return true;
    const size_t used = size_t(m_nLength) * m_format.blockAlign;
    if (m_data.size() < used + size_t(count) && !Resize(m_nLength + count + 300)) return false;
    std::memcpy(m_data.data() + used, bytes, size_t(count));
    m_nLength += count / m_format.blockAlign;
    m_bModified = true;
    return true;
}

bool CSoundSample::AppendVolts(double volts)
{
    if (m_format.bitsPerSample == 8) {
        const uint8_t s = VoltsToSample8(volts, m_dFullScale);
        return Append(&s, 1);
    }
    const auto s = static_cast<uint16_t>(VoltsToSample16(volts, m_dFullScale));
    const uint8_t bytes[2] = {static_cast<uint8_t>(s & 0xFF), static_cast<uint8_t>(s >> 8)};
    return Append(bytes, 2);
}

bool CSoundSample::ReadFrame(void* dst, int index) const
{
    if (index < 0 || index >= m_nLength) {
        std::memset(dst, 0, m_format.blockAlign);
        return false;
    }
    std::memcpy(dst, FrameBytes(index), m_format.blockAlign);
    return true;
}

int CSoundSample::RawLevel(int index) const
{
    if (index < 0 || index >= m_nLength) return 0;
    const uint8_t* f = FrameBytes(index);
    if (m_format.bitsPerSample <= 8) return static_cast<int>(f[0]) - 128;
    // Little-endian: the top 16 bits are the sample's last two bytes.
    const int top = (m_format.bitsPerSample + 7) / 8 - 2;
    return static_cast<int16_t>(f[top] | (f[top + 1] << 8));
}

double CSoundSample::Value(int index) const
{
    if (index < 0 || index >= m_nLength) return 0.0;
    if (m_format.bitsPerSample <= 8) return Sample8ToVolts(FrameBytes(index)[0], m_dFullScale);
    return Sample16ToVolts(static_cast<int16_t>(RawLevel(index)), m_dFullScale);
}

void CSoundSample::SetRate(int rate)
{
    m_format.samplesPerSecond = static_cast<uint32_t>(rate);
    m_format.averageBytesPerSecond = static_cast<uint32_t>(rate) * m_format.blockAlign;
}

void CSoundSample::SetFormat(const CWaveFormat& format)
{
    m_bKeepBuffer = false;
    Clear();
    m_format = format;
}

bool CSoundSample::IsFull() const
{
    if (size_t(m_nLength) * m_format.blockAlign >= m_data.size()) return true;
    return m_pDesign && m_nLength >= DesignSampleLimit();
}

bool CSoundSample::IsSegmentDone() const { return m_pDesign && m_nLength - m_nMark >= DesignSegmentFrames(); }

int CSoundSample::Play(CSoundSystem* sound, int start, int count, bool loop)
{
    if (!sound) return 0;
    m_nPlayStart = start;
    m_nPlayCount = count ? count : m_nLength;
    if (loop) sound->Stop(false, true);
    const int result = sound->PlaySample(this);
    if (result) sound->SetLoopFlag(loop);
    return result;
}

int CSoundSample::PlayFromMark(CSoundSystem* sound, bool advance)
{
    const int result = Play(sound, m_nMark, DesignSegmentFrames(), false);
    if (advance) m_nMark = m_nLength;
    return result;
}

int CSoundSample::FindCrossing(int start, int count, double level, int wanted, bool forward, int* offset) const
{
    const double low = level - 2.0;
    const double high = level + 2.0;
    int direction = 0;
    *offset = 0;
    double previous = RawLevel(start);
    for (int i = 0; i < count; ++i) {
        const int frame = forward ? start + i : start - i;
        if (frame < 0 || frame >= m_nLength) break;
        const double current = RawLevel(frame);
        if ((current >= low && previous <= high) || (current <= high && previous >= low)) {
            const bool falls = forward ? current < previous : current > previous;
            direction = falls ? 2 : 1;
            *offset = i;
            if (wanted == 0 || direction == wanted) break;
        }
        previous = current;
    }
    return direction;
}

int CSoundSample::FindPeak(int start, int count, double level, double limit, bool forward) const
{
    const double low = std::min(level, limit);
    const double high = std::max(level, limit);
    const int step = forward ? 1 : -1;
    for (int i = 2; i < count; ++i) {
        const int a = start + step * (i - 2);
        const int b = start + step * (i - 1);
        const int c = start + step * i;
        if (std::min({a, b, c}) < 0 || std::max({a, b, c}) >= m_nLength) break;
        const int va = RawLevel(a), vb = RawLevel(b), vc = RawLevel(c);
        const bool peak = level >= 0 ? (vb > va && vb > vc) : (vb < va && vb < vc);
        if (peak && vb >= low && vb <= high) return i - 1;
    }
    return -1;
}

bool CSoundSample::ChooseSegment(int* first, int* count)
{
    if (m_bExactRange) {
        const int start = std::clamp(m_nPlayStart, 0, m_nLength);
        *first = start;
        *count = std::clamp(m_nPlayCount, 0, m_nLength - start);
        return *count > 0;
    }
    // The loop segment: it begins and ends where the signal crosses one
    // level in one direction, so that it repeats without a click.
    const int start = std::clamp(m_nPlayStart, 0, m_nLength);
    const int n = m_nLength - start;
    if (n < 2) return false;
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum += RawLevel(start + i);
    const double mean = sum / n;
    int startOffset = 0;
    m_nLoopDirection = FindCrossing(start, n / 5, mean, m_nLoopDirection, true, &startOffset);
    double level = mean;
    if (m_nLoopDirection) {
        level = (mean + RawLevel(start + startOffset)) / 2.0;
    } else {
        startOffset = 0;
        level = RawLevel(start);
        m_nLoopDirection = RawLevel(start + 1) >= RawLevel(start) ? 1 : 2;
    }
    int endOffset = 0;
    if (!FindCrossing(m_nLength - 1, n / 2, level, m_nLoopDirection, false, &endOffset)) endOffset = 0;
    *first = start + startOffset;
    *count = n - startOffset - endOffset;
    return *count > 0;
}

bool CSoundSample::ReadWave(const std::string& bytes)
{
    CWaveFormat format = m_format;
    std::string frames;
    switch (ParseWaveBytes(bytes, &format, &frames)) {
    case EWaveRead::kNotWave:
        WbMessageBox(kStrNotUsable, MB_ICONEXCLAMATION);
        WbMessageBox(kStrOldKept, MB_ICONEXCLAMATION);
        return false;
    case EWaveRead::kUnusable:
        WbMessageBox(kStrNotUsable, MB_ICONEXCLAMATION);
        m_bKeepBuffer = false;
        Clear();
        m_format = format;
        return false;
    case EWaveRead::kOk: break;
    }
    m_bKeepBuffer = false;
    Clear();
    m_format = format;
    const int count = static_cast<int>(frames.size() / format.blockAlign);
    if (count > 0 && (!Resize(count) || !Append(frames.data(), static_cast<int>(frames.size())))) return false;
    m_bModified = false;
    return true;
}

bool CSoundSample::WriteWave(std::string* bytes) const
{
    const CFrameRange range = FramesToSave(m_nLength, m_bExactRange, m_nRangeFirst, m_nRangeLast);
    if (m_bExactRange && range.count == 0) return false;
    const size_t at = size_t(range.first) * m_format.blockAlign;
    const size_t n = size_t(range.count) * m_format.blockAlign;
    *bytes = BuildWaveBytes(m_format, std::string(reinterpret_cast<const char*>(m_data.data()) + at, n));
    return true;
}

bool CSoundSample::LoadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return ReadWave(bytes);
}

bool CSoundSample::SaveFile(const std::string& path) const
{
    std::string bytes;
    if (!WriteWave(&bytes)) return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

std::string CSoundSample::BuiltInWave(int id) { return id == kBuzzerResource ? BuzzerWave() : std::string(); }

bool CSoundSample::LoadFromResource(int id)
{
    const std::string bytes = BuiltInWave(id);
    return !bytes.empty() && ReadWave(bytes);
}

bool CSoundSample::GetSelection(int* first, int* last) const
{
    if (!m_pProbe) return false;
    const int start = m_pProbe->GetSelectionStart();
    const int end = m_pProbe->GetSelectionEnd();
    if (start == CProbe::kNoSelection || end == CProbe::kNoSelection) return false;
    *first = std::min(start, end) - m_pProbe->GetFirstSampleNumber();
    *last = std::max(start, end) - m_pProbe->GetFirstSampleNumber();
    return *first <= *last;
}
