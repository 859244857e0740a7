// The wave-output device the sound system plays through: a small interface
// of our own, with the silent device that stands in where there is no sound
// card (and in tests).  A device plays a queue of PCM buffers one after the
// other; each buffer loops until its loop is broken or the device is reset,
// and every buffer that ends (played out, broken after its pass, or reset)
// is handed back to the done handler from the event loop, never from inside
// the call that ended it, so the owner may free it there.
#pragma once

#include "measure/wave_file.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

// One queued buffer: a copy of the frames to play.
struct CSoundBuffer {
    std::vector<uint8_t> bytes;
    CWaveFormat format;
};

// The format bits a device reports for the rates it plays (mono 16-bit at
// 11025, 22050 and 44100 Hz); any other rate is tested against the mask
// 123456789, so it counts as playable when the device plays anything in
// common with that mask.
enum : uint32_t {
    kWaveFormat1M16 = 0x4,
    kWaveFormat2M16 = 0x40,
    kWaveFormat4M16 = 0x400,
    kWaveFormatOtherRate = 123456789,
};
uint32_t RateFormatFlag(int rate);

class CSoundDevice {
public:
    virtual ~CSoundDevice() = default;
    // The formats the device plays (the bits above); false when there is no
    // device at all.
    virtual bool GetFormats(uint32_t* formats) = 0;
    // Whether the device plays each buffer to the end before returning (it
    // then cannot replace a sound seamlessly).
    virtual bool IsSynchronous() const { return false; }
    virtual bool IsOpen() const = 0;
    virtual bool Open(const CWaveFormat& format) = 0;
    virtual void Close() = 0;
    // Queues a buffer behind those playing; false when it was refused.
    virtual bool Write(CSoundBuffer* buffer) = 0;
    // Ends every queued buffer at once.
    virtual bool Reset() = 0;
    // The playing buffer stops looping and ends after its present pass; the
    // next queued buffer follows it.
    virtual bool BreakLoop() = 0;

    // Who is told of ended buffers, and how the telling is put on the event
    // loop (without a poster the buffers wait for DeliverDone).
    void SetDoneHandler(std::function<void(CSoundBuffer*)> handler) { m_onDone = std::move(handler); }
    void SetPoster(std::function<void(std::function<void()>)> poster) { m_post = std::move(poster); }
    // Hands every ended buffer to the handler, oldest first.
    void DeliverDone();
    int PendingDone() const { return static_cast<int>(m_done.size()); }

protected:
    // A buffer has ended: queued for the handler.
    void Finished(CSoundBuffer* buffer);

private:
    std::function<void(CSoundBuffer*)> m_onDone;
    std::function<void(std::function<void()>)> m_post;
    std::deque<CSoundBuffer*> m_done;
};

// Plays nothing and keeps time by nothing: buffers are queued, a broken
// loop ends the playing buffer and a reset ends them all.  With present
// false it behaves as a computer without a sound card (no formats, open
// fails).
class CSilentSoundDevice : public CSoundDevice {
public:
    explicit CSilentSoundDevice(bool present = true) : m_present(present) {}
    bool GetFormats(uint32_t* formats) override;
    bool IsOpen() const override { return m_open; }
    bool Open(const CWaveFormat& format) override;
    void Close() override;
    bool Write(CSoundBuffer* buffer) override;
    bool Reset() override;
    bool BreakLoop() override;

    // The buffers queued, the playing one first.
    const std::deque<CSoundBuffer*>& Queue() const { return m_queue; }
    int OpenCount() const { return m_opens; }
    const CWaveFormat& OpenFormat() const { return m_format; }
    // The formats reported (every bit by default).
    void SetFormats(uint32_t formats) { m_formats = formats; }

private:
    bool m_present;
    bool m_open = false;
    int m_opens = 0;
    uint32_t m_formats = 0xFFFFFFFFu;
    CWaveFormat m_format;
    std::deque<CSoundBuffer*> m_queue;
};
