#include "app/qt_sound_device.h"

#include <QAudioFormat>
#include <QAudioSink>

#include <algorithm>
#include <cstring>

CSoundFeed::CSoundFeed(std::function<void(CSoundBuffer*)> ended) : m_ended(std::move(ended))
{
    // Unbuffered: QIODevice would otherwise read 16 KB ahead, and a broken
    // loop or a reset would only be heard after that much more sound.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void CSoundFeed::Queue(CSoundBuffer* buffer)
{
    if (m_queue.empty()) {
        m_pos = 0;
        m_broken = false;
    }
    m_queue.push_back(buffer);
}

void CSoundFeed::BreakLoop()
{
    if (!m_queue.empty()) m_broken = true;
}

void CSoundFeed::Reset()
{
    std::deque<CSoundBuffer*> ended;
    ended.swap(m_queue);
    m_pos = 0;
    m_broken = false;
    for (CSoundBuffer* b : ended) m_ended(b);
}

qint64 CSoundFeed::bytesAvailable() const
{
    // Silence follows the queue, so there is always something to read.
    return 0x10000;
}

qint64 CSoundFeed::readData(char* data, qint64 maxSize)
{
    qint64 done = 0;
    while (done < maxSize && !m_queue.empty()) {
        CSoundBuffer* b = m_queue.front();
        const qint64 size = static_cast<qint64>(b->bytes.size());
        const qint64 n = std::min(maxSize - done, size - m_pos);
        if (n > 0) {
            std::memcpy(data + done, b->bytes.data() + m_pos, static_cast<size_t>(n));
            done += n;
            m_pos += n;
        }
        if (m_pos < size) break;
        // A pass is over: an unbroken loop starts again, anything else (and
        // an empty buffer, which would loop without end) hands over to the
        // next buffer.
        m_pos = 0;
        if (m_broken || size == 0) {
            m_queue.pop_front();
            m_broken = false;
            m_ended(b);
        }
    }
    if (done < maxSize) std::memset(data + done, m_silence, static_cast<size_t>(maxSize - done));
    return maxSize;
}

namespace {

// The sink's format for a wave format: its rate and channels, unsigned
// 8-bit or signed 16-bit samples.
QAudioFormat SinkFormat(const CWaveFormat& format)
{
    QAudioFormat f;
    f.setSampleRate(static_cast<int>(format.samplesPerSecond));
    f.setChannelCount(format.channels);
    f.setSampleFormat(format.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return f;
}

} // namespace

CQtSoundDevice::CQtSoundDevice(const QAudioDevice& output)
    : m_output(output), m_feed(std::make_unique<CSoundFeed>([this](CSoundBuffer* b) { Finished(b); }))
{
}

CQtSoundDevice::~CQtSoundDevice()
{
    // The owner is going too: nothing is handed back any more.
    if (m_sink) m_sink->stop();
}

bool CQtSoundDevice::GetFormats(uint32_t* formats)
{
    *formats = 0;
    if (m_output.isNull()) return false;
    static const int kRates[] = {11025, 22050, 44100};
    for (int rate : kRates)
        if (m_output.isFormatSupported(SinkFormat(CWaveFormat::Mono16(static_cast<uint32_t>(rate)))))
            *formats |= RateFormatFlag(rate);
    return true;
}

bool CQtSoundDevice::Open(const CWaveFormat& format)
{
    if (m_sink) return true;
    if (m_output.isNull() || format.formatTag != 1) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    const QAudioFormat f = SinkFormat(format);
    if (!f.isValid() || !m_output.isFormatSupported(f)) return false;
    m_sink = std::make_unique<QAudioSink>(m_output, f);
    m_feed->SetSilence(format.bitsPerSample == 8 ? char(0x80) : char(0));
    m_sink->start(m_feed.get());
    if (m_sink->error() != QAudio::NoError) {
        m_sink.reset();
        return false;
    }
    return true;
}

void CQtSoundDevice::Close()
{
    if (!m_sink) return;
    m_sink->stop();
    m_sink.reset();
    // Buffers still queued will not be played: they end with the device.
    m_feed->Reset();
}

bool CQtSoundDevice::Write(CSoundBuffer* buffer)
{
    if (!m_sink || !buffer) return false;
    m_feed->Queue(buffer);
    return true;
}

bool CQtSoundDevice::Reset()
{
    if (!m_sink) return false;
    m_feed->Reset();
    return true;
}

bool CQtSoundDevice::BreakLoop()
{
    if (!m_sink) return false;
    m_feed->BreakLoop();
    return true;
}

std::unique_ptr<CSoundDevice> MakeSoundDevice(const QAudioDevice& output)
{
    if (output.isNull()) return std::make_unique<CSilentSoundDevice>();
    return std::make_unique<CQtSoundDevice>(output);
}
