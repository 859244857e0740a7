#include "measure/sound_device.h"

uint32_t RateFormatFlag(int rate)
{
    switch (rate) {
    case 11025: return kWaveFormat1M16;
    case 22050: return kWaveFormat2M16;
    case 44100: return kWaveFormat4M16;
    default: return kWaveFormatOtherRate;
    }
}

void CSoundDevice::Finished(CSoundBuffer* buffer)
{
    m_done.push_back(buffer);
    if (m_post && m_done.size() == 1) m_post([this] { DeliverDone(); });
}

void CSoundDevice::DeliverDone()
{
    while (!m_done.empty()) {
        CSoundBuffer* b = m_done.front();
        m_done.pop_front();
        if (m_onDone) m_onDone(b);
    }
}

bool CSilentSoundDevice::GetFormats(uint32_t* formats)
{
    *formats = m_present ? m_formats : 0;
    return m_present;
}

bool CSilentSoundDevice::Open(const CWaveFormat& format)
{
    if (!m_present) return false;
    m_open = true;
    m_format = format;
    ++m_opens;
    return true;
}

void CSilentSoundDevice::Close() { m_open = false; }

bool CSilentSoundDevice::Write(CSoundBuffer* buffer)
{
    if (!m_open) return false;
    m_queue.push_back(buffer);
    return true;
}

bool CSilentSoundDevice::Reset()
{
    if (!m_open) return false;
    while (!m_queue.empty()) {
        Finished(m_queue.front());
        m_queue.pop_front();
    }
    return true;
}

bool CSilentSoundDevice::BreakLoop()
{
    if (!m_open) return false;
    if (!m_queue.empty()) {
        Finished(m_queue.front());
        m_queue.pop_front();
    }
    return true;
}
