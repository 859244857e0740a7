#include "measure/sound_system.h"

#include "measure/sound_sample.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"

#include <algorithm>
#include <new>

namespace {
constexpr unsigned kStrNoMemory = 36507;
constexpr unsigned kStrNoDevice = 36514;
constexpr unsigned kStrRateCannot = 36550;
constexpr unsigned kStrRateCan = 36551;
constexpr unsigned kStrBuzzerRetry = 36619;
} // namespace

CSoundSystem::CSoundSystem(std::unique_ptr<CSoundDevice> device) : m_device(std::move(device))
{
    m_bSynchronous = m_device->IsSynchronous();
    m_device->SetDoneHandler([this](CSoundBuffer* b) { OnWaveDone(b); });
}

CSoundSystem::~CSoundSystem()
{
    if (m_device->IsOpen()) {
        m_device->Reset();
        m_device->Close();
    }
    m_device->SetDoneHandler(nullptr);
    m_device->DeliverDone();
}

void CSoundSystem::Beep()
{
    if (m_beep) m_beep();
}

bool CSoundSystem::IsRatePlayable(int rate)
{
    uint32_t formats = 0;
    return m_device->GetFormats(&formats) && (formats & RateFormatFlag(rate)) != 0;
}

int CSoundSystem::Stop(bool close, bool reset)
{
    if (!m_device->IsOpen()) return 0;
    bool ok;
    if (close || reset) {
        ok = m_device->Reset();
        if (ok) m_nQueued = 0;
    } else {
        ok = m_device->BreakLoop();
        if (ok) m_nQueued = std::max(0, m_nQueued - 1);
    }
    m_bCloseRequest = close;
    return ok ? 1 : 0;
}

void CSoundSystem::Free(CSoundBuffer* buffer)
{
    if (!buffer) return;
    auto it = std::find_if(m_buffers.begin(), m_buffers.end(), [buffer](const auto& p) { return p.get() == buffer; });
    if (it != m_buffers.end()) m_buffers.erase(it);
}

void CSoundSystem::Report(unsigned stringId, CSoundBuffer* buffer)
{
    if (m_bUsable) WbMessageBox(stringId, MB_ICONEXCLAMATION);
    Free(buffer);
    Stop(false, true);
    m_bUsable = false;
}

int CSoundSystem::PlaySample(CSoundSample* sample)
{
    CCircuit* design = CCircuit::ActiveCircuit();
    if ((design && (design->m_dwOptions & OPT_MUTED)) || m_bBuzzing || !sample) return 1;
    int first = 0, count = 0;
    if (!sample->ChooseSegment(&first, &count)) return 1;
    const CWaveFormat& format = sample->GetFormat();
    CSoundBuffer* buffer = nullptr;
    try {
        m_buffers.push_back(std::make_unique<CSoundBuffer>());
        buffer = m_buffers.back().get();
        buffer->format = format;
        buffer->bytes.resize(size_t(count) * format.blockAlign);
    } catch (const std::bad_alloc&) {
        Report(kStrNoMemory, buffer);
        return 0;
    }
    for (int i = 0; i < count; ++i) sample->ReadFrame(buffer->bytes.data() + size_t(i) * format.blockAlign, first + i);
    // A device already open plays on in its format.
    if (!m_device->IsOpen() && (!IsRatePlayable(static_cast<int>(format.samplesPerSecond)) || !m_device->Open(format))) {
        Report(kStrNoDevice, buffer);
        return 0;
    }
    const bool seamless = !m_bSynchronous && m_nQueued > 0;
    if (!seamless) Stop(false, true);
    if (!m_device->Write(buffer)) {
        Report(kStrNoDevice, buffer);
        return 0;
    }
    ++m_nQueued;
    // The new buffer waits behind the playing one, whose loop now ends
    // after its pass.
    if (seamless) Stop(false, false);
    return 1;
}

int CSoundSystem::CheckSampleRate(int rate)
{
    const bool playable = IsRatePlayable(rate);
    int result = m_bUsable ? 1 : 0;
    if (playable && !m_bUsable) result = WbMessageBox(kStrRateCan, MB_ICONINFORMATION);
    else if (!playable) result = WbMessageBox(kStrRateCannot, MB_ICONEXCLAMATION);
    m_bUsable = playable;
    return result;
}

void CSoundSystem::OnWaveDone(CSoundBuffer* buffer)
{
    // A buffer is freed even when the device has been closed meanwhile (a
    // reset hands back every queued buffer, the first of which closes).
    Free(buffer);
    if (!m_device->IsOpen() || !m_bCloseRequest) return;
    m_device->Close();
    m_nQueued = 0;
    m_bCloseRequest = false;
}

int CSoundSystem::SetBuzzer(bool on)
{
    if (!on) {
        if (m_bBuzzing) Stop(true, true);
        if (m_nBuzzerCapability == 0) m_nBuzzerCapability = -1;
        m_bBuzzing = false;
        return 1;
    }
    if (m_nBuzzerCapability < 0) m_nBuzzerCapability = IsRatePlayable(11025) ? 1 : 0;
    if (m_nBuzzerCapability == 0 || !m_bUsable) {
        Beep();
        return 1;
    }
    if (!m_pBuzzer) {
        m_pBuzzer = std::make_unique<CSoundSample>();
        if (!m_pBuzzer->LoadFromResource(CSoundSample::kBuzzerResource) || m_pBuzzer->Length() == 0) m_pBuzzer.reset();
        // Played whole, looping until switched off.
        if (m_pBuzzer) m_pBuzzer->SetExactRange(true);
    }
    if (!m_pBuzzer) {
        Beep();
        return 1;
    }
    if (m_bBuzzing) return 1;
    if (IsSoundQueued()) Stop(false, true);
    const bool wasUsable = m_bUsable;
    if (m_pBuzzer->Play(this, 0, 0, false)) {
        // A muted design plays nothing and is no failure.
        m_bBuzzing = m_nQueued > 0;
        return 1;
    }
    if (wasUsable) {
        if (WbMessageBox(kStrBuzzerRetry, MB_RETRYCANCEL | MB_ICONQUESTION) == IDRETRY) m_bUsable = true;
        else m_nBuzzerCapability = 0;
    }
    return 1;
}
